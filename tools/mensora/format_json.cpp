// JSON output: one object per run, numbers exact.
#include "format.h"
#include "json_writer.h"

namespace mensora_tool {

namespace {

void WriteSource(JsonWriter& json, const Sample& sample) {
  json.Key("source");
  json.BeginObject();
  json.Key("file");
  json.String(sample.source);
  json.Key("column");
  if (sample.column.empty()) {
    json.Null();
  } else {
    json.String(sample.column);
  }
  json.Key("label_column");
  if (sample.labelColumn.empty()) {
    json.Null();
  } else {
    json.String(sample.labelColumn);
  }
  json.Key("values");
  json.Integer(static_cast<std::int64_t>(sample.values.size()));
  json.Key("missing_skipped");
  json.Integer(sample.missingSkipped);
  json.EndObject();
}

// Each member as {"id", "row", "label" (with --label), "value"}; "id" is the
// zero-based position in the sample handed to the library.
void WriteMembers(JsonWriter& json, const Sample& sample, const std::vector<std::int32_t>& ids) {
  json.Key("members");
  json.BeginArray();
  for (std::int32_t id : ids) {
    const auto index = static_cast<std::size_t>(id);
    json.BeginObject();
    json.Key("id");
    json.Integer(id);
    json.Key("row");
    json.Integer(sample.rows[index]);
    if (index < sample.columnOf.size()) {
      json.Key("column");
      json.String(sample.pooled[static_cast<std::size_t>(sample.columnOf[index])]);
    }
    if (!sample.labels.empty()) {
      json.Key("label");
      json.String(sample.labels[index]);
    }
    json.Key("value");
    json.Number(sample.values[index]);
    json.EndObject();
  }
  json.EndArray();
}

}  // namespace

void WriteSummaryJson(std::ostream& out, const Sample& sample, const SummaryResult& result) {
  JsonWriter json(out);
  json.BeginObject();
  json.Key("command");
  json.String("summary");
  WriteSource(json, sample);
  json.Key("measures");
  json.BeginObject();
  for (const Measure& m : result.measures) {
    json.Key(m.key);
    if (m.defined) {
      json.Number(m.value);
    } else {
      json.Null();
    }
  }
  json.EndObject();
  if (result.everyStep > 0) {
    json.Key("every");
    json.BeginObject();
    json.Key("step");
    json.Integer(result.everyStep);
    json.Key("values");
    json.BeginArray();
    for (double v : result.every) json.Number(v);
    json.EndArray();
    json.EndObject();
  }
  json.EndObject();
}

void WriteClassifyJson(std::ostream& out, const Sample& sample, const ClassifyResult& result,
                       bool members) {
  JsonWriter json(out);
  json.BeginObject();
  json.Key("command");
  json.String("classify");
  WriteSource(json, sample);
  json.Key("method");
  json.String(result.method->name);
  json.Key("parameters");
  json.BeginObject();
  for (const Parameter& p : result.parameters) {
    json.Key(p.name);
    if (p.automatic) {
      json.String("auto");
    } else if (p.list) {
      json.BeginArray();
      for (double v : p.values) json.Number(v);
      json.EndArray();
    } else {
      json.Number(p.values[0]);
    }
  }
  json.EndObject();
  if (result.windowed) {
    json.Key("window");
    json.BeginArray();
    json.Number(result.windowMin);
    json.Number(result.windowMax);
    json.EndArray();
  }
  json.Key("breaks");
  json.BeginArray();
  for (double b : result.breaks) json.Number(b);
  json.EndArray();
  json.Key("rounded");
  json.Bool(result.rounded);
  json.Key("unclassified");
  json.Integer(result.unclassified);
  json.Key("classes");
  json.BeginArray();
  for (const ClassRow& row : result.classes) {
    json.BeginObject();
    json.Key("lower");
    json.Number(row.lower);
    json.Key("upper");
    json.Number(row.upper);
    json.Key("upper_included");
    json.Bool(row.closed);
    json.Key("label");
    json.String(row.label);
    json.Key("count");
    json.Integer(static_cast<std::int64_t>(row.ids.size()));
    if (!sample.pooled.empty()) {
      json.Key("pooled_counts");
      json.BeginObject();
      for (std::size_t c = 0; c < sample.pooled.size(); ++c) {
        json.Key(sample.pooled[c]);
        json.Integer(row.pooledCounts[c]);
      }
      json.EndObject();
    }
    if (members) WriteMembers(json, sample, row.ids);
    json.EndObject();
  }
  json.EndArray();
  json.Key("fit");
  if (result.fit.defined) {
    const FitMeasures& fit = result.fit;
    json.BeginObject();
    for (const auto& [key, value] : {std::pair<const char*, double>{"sdam", fit.sdam},
                                     {"sdcm", fit.sdcm}, {"gvf", fit.gvf}, {"adcm", fit.adcm},
                                     {"tai", fit.tai}}) {
      json.Key(key);
      json.Number(value);
    }
    json.EndObject();
  } else {
    json.Null();
  }
  json.EndObject();
}

void WriteSelectJson(std::ostream& out, const Sample& sample, const SelectResult& result,
                     bool members) {
  JsonWriter json(out);
  json.BeginObject();
  json.Key("command");
  json.String("select");
  WriteSource(json, sample);
  json.Key("min");
  json.Number(result.min);
  json.Key("max");
  json.Number(result.max);
  json.Key("count");
  json.Integer(static_cast<std::int64_t>(result.ids.size()));
  if (members) WriteMembers(json, sample, result.ids);
  json.EndObject();
}

}  // namespace mensora_tool
