-- Missing values (NULL, NaN), infinities, empty groups, many groups, and the
-- class of each value.
CREATE TABLE m (g int, v float8, w float8);
INSERT INTO m VALUES
  (1, 1, 1), (1, NULL, 1), (1, 'NaN', 1), (1, 2, 1), (1, 3, NULL), (1, 10, 2),
  (2, NULL, 1), (2, 'NaN', 1),
  (3, '-Infinity', 1), (3, 1, 1), (3, 2, 1), (3, 'Infinity', 1), (3, 5, 1), (3, 6, 1),
  (4, 7, 0), (4, 8, 0);
SELECT g, mensora_breaks(v, 'natural', 2) AS "natural", mensora_breaks(v, 'quantile', 2) AS quantile,
       mensora_breaks(v, 'maxbreaks', 2) AS maxbreaks, mensora_breaks(v, w, 'natural', 2) AS weighted,
       mensora_summary(v) ->> 'count' AS count, mensora_summary(v) ->> 'missing' AS missing
  FROM m GROUP BY g ORDER BY g;
SELECT mensora_summary(v) FROM m WHERE g = 3;
-- No rows, or no values: NULL.
SELECT mensora_breaks(v, 'natural', 3), mensora_summary(v) FROM m WHERE g > 4;
SELECT mensora_breaks(v, 'equal', 3), mensora_breaks(v, w, 'quantile', 3) FROM m WHERE g = 2;
SELECT count(*) FROM (SELECT mensora_breaks(v, 'natural', 3) FROM m WHERE false GROUP BY g) t;

-- Many groups (hashed and sorted): each as the weighted breaks of its counts.
CREATE TABLE many AS
  SELECT i % 1000 AS g, (i * 7919 % 10007)::float8 / 8 AS v FROM generate_series(1, 100000) i;
CREATE TABLE many_counts AS SELECT g, v, count(*)::float8 AS n FROM many GROUP BY g, v;
SET enable_hashagg = on;
SELECT count(*) AS groups, count(*) FILTER (WHERE a.b IS DISTINCT FROM c.b) AS differ
  FROM (SELECT g, mensora_breaks(v, 'natural', 4) AS b FROM many GROUP BY g) a
  JOIN (SELECT g, mensora_breaks(v, n, 'natural', 4) AS b FROM many_counts GROUP BY g) c USING (g);
SET enable_hashagg = off;
SELECT count(*) AS groups, count(*) FILTER (WHERE a.b IS DISTINCT FROM c.b) AS differ
  FROM (SELECT g, mensora_breaks(v, 'quantile', 6) AS b FROM many GROUP BY g) a
  JOIN (SELECT g, mensora_breaks(v, n, 'quantile', 6) AS b FROM many_counts GROUP BY g) c USING (g);
RESET enable_hashagg;

-- Classes: [b0, b1), [b1, b2), ..., the last closed; repeated breaks leave
-- an empty class; NULL outside the breaks and for NaN.
SELECT v, mensora_class(v, '{1,2,3,3,5}') AS class
  FROM unnest('{0,1,1.5,2,3,4,5,6,NaN,NULL}'::float8[]) v;
SELECT mensora_class(v, '{-Infinity,0,Infinity}') FROM unnest('{-1e308,0,Infinity}'::float8[]) v;
-- With the breaks of a window aggregate: the class sizes of the tool (26, 16, 6, 2).
CREATE TABLE state_pop (name text, population float8);
INSERT INTO state_pop
  SELECT 's' || i, p FROM unnest('{3615,365,2212,2110,21198,2541,3100,579,8277,4931,868,813,
    11197,5313,2861,2280,3387,3806,1058,4122,5814,9111,3921,2341,4767,746,1544,590,812,7333,
    1144,18076,5441,637,10735,2715,2284,11860,931,2816,681,4173,12237,1203,472,4981,3559,1799,
    4589,376}'::float8[]) WITH ORDINALITY AS t(p, i);
SELECT class, count(*)
  FROM (SELECT mensora_class(population, mensora_breaks(population, 'natural', 4) OVER ()) AS class
          FROM state_pop) t
 GROUP BY class ORDER BY class;
