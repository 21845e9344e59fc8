-- Bad arguments: SQLSTATE 22023 with the reason; bad data and limits have
-- their own codes. No input brings the backend down.
CREATE TABLE t (v float8, w float8);
INSERT INTO t VALUES (-1, 1), (1, 1), (2, 2), (3, 1);
CREATE FUNCTION try(query text) RETURNS text LANGUAGE plpgsql AS $$
BEGIN
  EXECUTE query;
  RETURN 'ok';
EXCEPTION WHEN others THEN
  RETURN SQLSTATE || ': ' || SQLERRM;
END $$;
SELECT query, try(query) FROM (VALUES
  ('SELECT mensora_breaks(v, ''jenks'', 5) FROM t'),
  ('SELECT mensora_breaks(v, NULL, 5) FROM t'),
  ('SELECT mensora_breaks(v, ''natural'') FROM t'),
  ('SELECT mensora_breaks(v, ''natural'', 0) FROM t'),
  ('SELECT mensora_breaks(v, ''natural'', 2147483647) FROM t'),
  ('SELECT mensora_breaks(v, ''equal'', 2000000) FROM t'),
  ('SELECT mensora_breaks(v, ''stddev'', ''{"steps": 1000000000, "times": 1}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, w, ''quantile'', 2000000) FROM t'),
  ('SELECT mensora_breaks(v, ''natural'', NULL, ''{"classes": "auto", "max-classes": 1e7}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''equal'', -3) FROM t'),
  ('SELECT mensora_breaks(v, ''headtail'', 3) FROM t'),
  ('SELECT mensora_breaks(v, ''step'', ''{"start": 0}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''step'', ''{"start": 0, "step": 0}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''step'', ''{"start": 5, "step": 1, "end": 1}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''step'', ''{"start": 0, "step": 1e-300}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''natural'', 3, ''{"classes": 4}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''natural'', 3, ''{"gvf": 0.5}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''equal'', NULL, ''{"classes": "auto"}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''box'', ''{"hinge": -1}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''box'', ''{"hinge": "wide"}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''box'', ''{"colour": 1}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''box'', ''[1, 2]''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''percentile'', ''{"percentiles": [50, 10]}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''percentile'', ''{"percentiles": [50, 101]}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''breaks'', ''{"breaks": [1]}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''breaks'', ''{"breaks": 1}''::jsonb) FROM t'),
  ('SELECT mensora_breaks(v, ''geometric'', 3) FROM t'),
  ('SELECT mensora_breaks(v, w, ''equal'', 3) FROM t'),
  ('SELECT mensora_breaks(v, -w, ''natural'', 3) FROM t'),
  ('SELECT mensora_breaks(v, w * ''Infinity'', ''quantile'', 3) FROM t'),
  ('SELECT mensora_class(1, ''{1}'')'),
  ('SELECT mensora_class(1, ''{3,2}'')'),
  ('SELECT mensora_class(1, ''{1,NULL,3}'')'),
  ('SELECT mensora_class(1, ''{1,NaN}'')'),
  ('SELECT mensora_class(1, ''{{1,2},{3,4}}'')')
) AS c(query);
-- The backend is still there, and so is its library.
SELECT mensora_breaks(v, 'natural', 2) FROM t;
