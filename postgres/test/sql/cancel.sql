-- A long natural-breaks call answers a statement timeout, and the next call
-- runs as usual.
CREATE TABLE wide AS SELECT (i::bigint * 7919 % 1000003)::float8 AS v FROM generate_series(1, 1000000) i;
SET statement_timeout = '500ms';
SELECT mensora_breaks(v, 'natural', 40) FROM wide;
RESET statement_timeout;
SELECT mensora_breaks(v, 'natural', 3) FROM wide WHERE v < 100;
