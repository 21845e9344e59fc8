-- Times the aggregates against percentile_disc on a table of 10^7 rows of
-- distinct values, with and without parallel workers, and prints the ratios
-- (each time the best of two runs). psql -f bench.sql, in one session.
\set ON_ERROR_STOP on
CREATE EXTENSION IF NOT EXISTS mensora;
SELECT setseed(0.24);
DROP TABLE IF EXISTS bench;
CREATE TABLE bench AS SELECT random() * 1e6 AS v FROM generate_series(1, 10000000);
VACUUM ANALYZE bench;
SET work_mem = '1GB';  -- percentile_disc sorts in memory
SET max_parallel_workers_per_gather = 2;

CREATE FUNCTION pg_temp.seconds(query text) RETURNS float8 LANGUAGE plpgsql AS $$
DECLARE
  best float8;
  started timestamptz;
BEGIN
  FOR run IN 1..2 LOOP
    started := clock_timestamp();
    EXECUTE query;
    best := least(best, extract(epoch FROM clock_timestamp() - started));
  END LOOP;
  RETURN best;
END $$;

CREATE FUNCTION pg_temp.ratios(parallel_workers int) RETURNS TABLE (workers int, query text, seconds numeric,
                                                           ratio numeric, goal text)
LANGUAGE plpgsql AS $$
DECLARE
  base float8;
  t float8;
BEGIN
  EXECUTE format('SET max_parallel_workers_per_gather = %s', parallel_workers);
  PERFORM count(*) FROM bench;  -- warm the cache
  base := pg_temp.seconds(
    'SELECT percentile_disc(ARRAY[0.2, 0.4, 0.6, 0.8]) WITHIN GROUP (ORDER BY v) FROM bench');
  workers := parallel_workers;
  query := 'percentile_disc(ARRAY[.2,.4,.6,.8])';
  seconds := round(base::numeric, 2); ratio := 1; goal := '';
  RETURN NEXT;
  t := pg_temp.seconds('SELECT mensora_breaks(v, ''quantile'', 5) FROM bench');
  query := 'mensora_breaks(v, ''quantile'', 5)';
  seconds := round(t::numeric, 2); ratio := round((t / base)::numeric, 2); goal := '<= 1.0';
  RETURN NEXT;
  t := pg_temp.seconds('SELECT mensora_breaks(v, ''natural'', 7) FROM bench');
  query := 'mensora_breaks(v, ''natural'', 7)';
  seconds := round(t::numeric, 2); ratio := round((t / base)::numeric, 2); goal := '<= 2.0';
  RETURN NEXT;
END $$;

SELECT * FROM pg_temp.ratios(0) UNION ALL SELECT * FROM pg_temp.ratios(2);
DROP TABLE bench;
