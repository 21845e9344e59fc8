-- mensora: class breaks and descriptive statistics as aggregates.
\echo Use "CREATE EXTENSION mensora" to load this file. \quit

CREATE FUNCTION mensora_breaks_trans(internal, float8, text, integer) RETURNS internal
    AS 'MODULE_PATHNAME', 'mensora_pg_breaks_trans' LANGUAGE C PARALLEL SAFE;
CREATE FUNCTION mensora_breaks_trans(internal, float8, text, jsonb) RETURNS internal
    AS 'MODULE_PATHNAME', 'mensora_pg_breaks_options_trans' LANGUAGE C PARALLEL SAFE;
CREATE FUNCTION mensora_breaks_trans(internal, float8, text, integer, jsonb) RETURNS internal
    AS 'MODULE_PATHNAME', 'mensora_pg_breaks_k_options_trans' LANGUAGE C PARALLEL SAFE;
CREATE FUNCTION mensora_breaks_trans(internal, float8, float8, text, integer) RETURNS internal
    AS 'MODULE_PATHNAME', 'mensora_pg_weighted_trans' LANGUAGE C PARALLEL SAFE;
CREATE FUNCTION mensora_summary_trans(internal, float8) RETURNS internal
    AS 'MODULE_PATHNAME', 'mensora_pg_summary_trans' LANGUAGE C PARALLEL SAFE;

CREATE FUNCTION mensora_combine(internal, internal) RETURNS internal
    AS 'MODULE_PATHNAME', 'mensora_pg_combine' LANGUAGE C PARALLEL SAFE;
CREATE FUNCTION mensora_serialize(internal) RETURNS bytea
    AS 'MODULE_PATHNAME', 'mensora_pg_serialize' LANGUAGE C STRICT PARALLEL SAFE;
CREATE FUNCTION mensora_deserialize(bytea, internal) RETURNS internal
    AS 'MODULE_PATHNAME', 'mensora_pg_deserialize' LANGUAGE C STRICT PARALLEL SAFE;
CREATE FUNCTION mensora_breaks_final(internal) RETURNS float8[]
    AS 'MODULE_PATHNAME', 'mensora_pg_breaks_final' LANGUAGE C PARALLEL SAFE;
CREATE FUNCTION mensora_summary_final(internal) RETURNS jsonb
    AS 'MODULE_PATHNAME', 'mensora_pg_summary_final' LANGUAGE C PARALLEL SAFE;

-- The class breaks of a column: method is one of equal, step, count,
-- stddev, stddev-window, quantile, natural, breaks, pretty, headtail, box,
-- maxbreaks, percentile, geometric; k the number of classes (NULL for the
-- methods without one); options the other arguments as a JSON object
-- ('{"start": 0, "step": 10}'). NULL and NaN values are left out.
CREATE AGGREGATE mensora_breaks(value float8, method text, k integer) (
    SFUNC = mensora_breaks_trans, STYPE = internal, FINALFUNC = mensora_breaks_final,
    COMBINEFUNC = mensora_combine, SERIALFUNC = mensora_serialize,
    DESERIALFUNC = mensora_deserialize, PARALLEL = SAFE);
CREATE AGGREGATE mensora_breaks(value float8, method text, options jsonb) (
    SFUNC = mensora_breaks_trans, STYPE = internal, FINALFUNC = mensora_breaks_final,
    COMBINEFUNC = mensora_combine, SERIALFUNC = mensora_serialize,
    DESERIALFUNC = mensora_deserialize, PARALLEL = SAFE);
CREATE AGGREGATE mensora_breaks(value float8, method text, k integer, options jsonb) (
    SFUNC = mensora_breaks_trans, STYPE = internal, FINALFUNC = mensora_breaks_final,
    COMBINEFUNC = mensora_combine, SERIALFUNC = mensora_serialize,
    DESERIALFUNC = mensora_deserialize, PARALLEL = SAFE);
-- Natural or quantile breaks of pre-aggregated rows: value stands for
-- weight observations.
CREATE AGGREGATE mensora_breaks(value float8, weight float8, method text, k integer) (
    SFUNC = mensora_breaks_trans, STYPE = internal, FINALFUNC = mensora_breaks_final,
    COMBINEFUNC = mensora_combine, SERIALFUNC = mensora_serialize,
    DESERIALFUNC = mensora_deserialize, PARALLEL = SAFE);

-- Every measure of a column as a JSON object.
CREATE AGGREGATE mensora_summary(value float8) (
    SFUNC = mensora_summary_trans, STYPE = internal, FINALFUNC = mensora_summary_final,
    COMBINEFUNC = mensora_combine, SERIALFUNC = mensora_serialize,
    DESERIALFUNC = mensora_deserialize, PARALLEL = SAFE);

-- The class (1 .. number of breaks - 1) of a value: breaks[s] <= value <
-- breaks[s + 1], the last class also holding its upper break; NULL for a
-- missing value and a value in no class.
CREATE FUNCTION mensora_class(value float8, breaks float8[]) RETURNS integer
    AS 'MODULE_PATHNAME', 'mensora_pg_class' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
