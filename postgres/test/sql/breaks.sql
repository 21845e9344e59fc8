-- Every method and the summary against `mensora classify` and `mensora
-- summary` over the bundled data (data/tool_*.csv, written by
-- tool-breaks.py; "ascending": the tool read the values in ascending order,
-- as the aggregates do).
\getenv abs_srcdir PG_ABS_SRCDIR
CREATE TABLE states ("State" text, "Population" float8, "Income" float8, "Illiteracy" float8,
                     "Life Exp" float8, "Murder" float8, "HS Grad" float8, "Frost" float8,
                     "Area" float8);
\set file :abs_srcdir '/data/us_states_1977.csv'
COPY states FROM :'file' (FORMAT csv, HEADER);
CREATE TABLE air ("Ozone" float8, "Solar.R" float8, "Wind" float8, "Temp" float8,
                  "Month" int, "Day" int);
\set file :abs_srcdir '/data/new_york_air_quality_1973.csv'
COPY air FROM :'file' (FORMAT csv, HEADER, NULL 'NA');
-- One row per value, NA as NULL.
CREATE TABLE obs AS
  SELECT 'us_states_1977.csv' AS file, key AS col, value::float8 AS v
    FROM states, jsonb_each_text(to_jsonb(states) - 'State')
  UNION ALL
  SELECT 'new_york_air_quality_1973.csv', key, value::float8
    FROM air, jsonb_each_text(to_jsonb(air));
CREATE TABLE tool_breaks (id int, file text, col text, method text, k int, options jsonb,
                          input text, breaks float8[]);
\set file :abs_srcdir '/data/tool_breaks.csv'
COPY tool_breaks FROM :'file' (FORMAT csv, HEADER);

SELECT input, count(*) AS cases, count(DISTINCT method) AS methods FROM tool_breaks GROUP BY 1;
-- The cases whose breaks differ from the tool's: none.
SELECT t.id, t.col, t.method, t.k, t.options, t.breaks, got
  FROM tool_breaks t,
       LATERAL (SELECT mensora_breaks(v, t.method, t.k, t.options) AS got
                  FROM obs WHERE obs.file = t.file AND obs.col = t.col) r
 WHERE got IS DISTINCT FROM t.breaks;

-- The three forms of the arguments.
SELECT mensora_breaks("Population", 'natural', 4) FROM states;
SELECT mensora_breaks("Population", 'step', '{"start": 0, "step": 5000}'::jsonb) FROM states;
SELECT mensora_breaks("Ozone", 'natural', NULL, '{"classes": "auto", "max_classes": 6}'::jsonb)
  FROM air;

-- Pre-aggregated rows give the breaks of the rows they stand for.
CREATE TABLE temp_counts AS SELECT "Temp" AS v, count(*)::float8 AS n FROM air GROUP BY 1;
SELECT (SELECT mensora_breaks(v, n, method, 5) FROM temp_counts)
       = (SELECT mensora_breaks("Temp", method, 5) FROM air) AS same, method
  FROM unnest(ARRAY['natural', 'quantile']) method;
SELECT mensora_breaks(v, w, 'quantile', 2)
  FROM (VALUES (1.0, 0.5), (2.0, 0.25), (3.0, 0.25), (4.0, 0.0)) AS t(v, w);

CREATE TABLE tool_summary (file text, col text, measures jsonb);
\set file :abs_srcdir '/data/tool_summary.csv'
COPY tool_summary FROM :'file' (FORMAT csv, HEADER);
-- The measures that differ from the tool's: none (missing is the extension's own).
SELECT t.col, key, t.measures -> key AS tool, got -> key AS got
  FROM tool_summary t,
       LATERAL (SELECT mensora_summary(v) AS got
                  FROM obs WHERE obs.file = t.file AND obs.col = t.col) r,
       LATERAL jsonb_object_keys(t.measures || got) key
 WHERE (t.measures -> key IS DISTINCT FROM got -> key) AND key <> 'missing';
SELECT jsonb_pretty(mensora_summary("Ozone")) FROM air;
