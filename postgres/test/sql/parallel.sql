-- Parallel plans give the results of one process, bit for bit.
CREATE TABLE big AS
  SELECT (i * 7919 % 100003)::float8 / 7 + (i % 5) AS v, i % 3 AS g, (i % 11 + 1)::float8 AS w
    FROM generate_series(1, 200000) i;
ANALYZE big;
CREATE VIEW every_method AS
  SELECT mensora_breaks(v, 'equal', 5) AS equal,
         mensora_breaks(v, 'step', '{"start": 0, "step": 2500}'::jsonb) AS step,
         mensora_breaks(v, 'count', 4, '{"start": 100}'::jsonb) AS count,
         mensora_breaks(v, 'stddev', '{"steps": 2, "times": 1}'::jsonb) AS stddev,
         mensora_breaks(v, 'stddev-window', '{"steps": 1, "times": 1, "max": 9000}'::jsonb) AS window,
         mensora_breaks(v, 'quantile', 7) AS quantile,
         mensora_breaks(v, 'natural', 6) AS "natural",
         mensora_breaks(v, 'natural', NULL, '{"classes": "auto", "gvf": 0.95}'::jsonb) AS auto,
         mensora_breaks(v, 'breaks', '{"breaks": [0, 5000, 15000]}'::jsonb) AS breaks,
         mensora_breaks(v, 'pretty', 5) AS pretty,
         mensora_breaks(v, 'headtail') AS headtail,
         mensora_breaks(v, 'box') AS box,
         mensora_breaks(v, 'maxbreaks', 5) AS maxbreaks,
         mensora_breaks(v, 'percentile', '{"percentiles": [5, 50, 95]}'::jsonb) AS percentile,
         mensora_breaks(v, 'geometric', 4) AS geometric,
         mensora_breaks(v, w, 'natural', 5) AS weighted_natural,
         mensora_breaks(v, w / 3, 'quantile', 5) AS weighted_quantile,
         mensora_summary(v) AS summary
    FROM big;
SET max_parallel_workers_per_gather = 0;
CREATE TABLE one_process AS SELECT * FROM every_method;
CREATE TABLE one_process_groups AS
  SELECT g, mensora_breaks(v, 'natural', 4) AS b, mensora_summary(v) AS s FROM big GROUP BY g;

SET force_parallel_mode = on;
SET parallel_setup_cost = 0;
SET parallel_tuple_cost = 0;
SET min_parallel_table_scan_size = 0;
SET max_parallel_workers_per_gather = 2;
SET parallel_leader_participation = off;
EXPLAIN (COSTS OFF) SELECT * FROM every_method;
CREATE TABLE workers AS SELECT * FROM every_method;
CREATE TABLE workers_groups AS
  SELECT g, mensora_breaks(v, 'natural', 4) AS b, mensora_summary(v) AS s FROM big GROUP BY g;
-- What differs: nothing.
SELECT key FROM jsonb_each(to_jsonb((SELECT o FROM one_process o))) a
  JOIN jsonb_each(to_jsonb((SELECT w FROM workers w))) b USING (key)
 WHERE a.value IS DISTINCT FROM b.value;
SELECT count(*) AS groups, count(*) FILTER (WHERE to_jsonb(o) IS DISTINCT FROM to_jsonb(w)) AS differ
  FROM one_process_groups o JOIN workers_groups w USING (g);
SELECT "natural", weighted_natural, headtail FROM workers;
