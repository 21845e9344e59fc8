-- Round breaks that keep every class, and the labels of the legend.
\getenv abs_srcdir PG_ABS_SRCDIR
CREATE SCHEMA legends;
SET search_path = legends, public;
CREATE TABLE states ("State" text, "Population" float8, "Income" float8, "Illiteracy" float8,
                     "Life Exp" float8, "Murder" float8, "HS Grad" float8, "Frost" float8,
                     "Area" float8);
\set file :abs_srcdir '/data/us_states_1977.csv'
COPY states FROM :'file' (FORMAT csv, HEADER);
CREATE TABLE obs AS
  SELECT key AS col, value::float8 AS v FROM states, jsonb_each_text(to_jsonb(states) - 'State');

-- Natural breaks of Income: round inner breaks, the counts 14/20/15/1 kept,
-- the same as those breaks given ('breaks') round to.
SELECT mensora_breaks("Income", 'natural', 4) AS exact,
       mensora_breaks("Income", 'natural', 4, '{"round": true}') AS round FROM states;
SELECT class, count(*)
  FROM (SELECT mensora_class("Income", mensora_breaks("Income", 'natural', 4, '{"round": true}')
                                         OVER ()) AS class FROM states) t
 GROUP BY class ORDER BY class;
SELECT mensora_breaks("Income", 'breaks', '{"breaks": [3098, 4091, 4751, 6315, 6315], "round": true}'::jsonb)
  FROM states;

-- Rounding moves no value of any column to another class.
SELECT col, method, count(*) FILTER (WHERE mensora_class(v, exact) IS DISTINCT FROM
                                            mensora_class(v, round)) AS moved
  FROM obs JOIN (SELECT col, method, mensora_breaks(v, method, 5) AS exact,
                        mensora_breaks(v, method, 5, '{"round": true}') AS round
                   FROM obs, unnest('{natural,quantile,maxbreaks}'::text[]) method
                  GROUP BY col, method) b USING (col)
 GROUP BY col, method HAVING count(*) FILTER (WHERE mensora_class(v, exact) IS DISTINCT FROM
                                                     mensora_class(v, round)) > 0;

-- An infinite value: its break stays.
SELECT mensora_breaks(v, 'quantile', 2, '{"round": true}'), mensora_labels(v, 'quantile', 2)
  FROM unnest('{1.25,2,3,Infinity}'::float8[]) v;

-- Labels of those breaks, of the group's classes (a one-value class by its
-- value), in interval notation with thousands separators.
SELECT mensora_labels('{3000,4100,4800,6000,6315}'::float8[]);
SELECT mensora_labels("Income", 'natural', 4, '{"round": true}') FROM states;
SELECT mensora_labels("Income", 'natural', 4, '{"round": true, "interval": true, "thousands": true}')
  FROM states;
-- Whole numbers: each class up to the largest whole number it can hold.
SELECT mensora_labels("Population", 'equal', 3) FROM states;
SELECT mensora_labels('{0,10,20,30}'::float8[], '{"integer": true}'),
       mensora_labels('{0,10,20,30}'::float8[], '{"integer": true, "interval": true}');
-- The standard-deviation classes: open outer classes, which rounding keeps.
SELECT mensora_labels("Income", 'stddev', '{"steps": 1, "times": 1, "round": true}'::jsonb) FROM states;
SELECT b[1] = -b[5] AND b[5] > 1e307 AS outer_kept,
       mensora_labels(b, '{"method": "stddev"}') AS labels
  FROM (SELECT mensora_breaks("Income", 'stddev', '{"steps": 1, "times": 1, "round": true}'::jsonb) b
          FROM states) t;
-- Empty groups have no labels.
SELECT mensora_labels(v, 'natural', 3) FROM obs WHERE false;
RESET search_path;
