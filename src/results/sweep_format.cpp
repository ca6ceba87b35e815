#include <algorithm>

#include "results/file_bytes.h"
#include "results/json_fields.h"
#include "results/sweep_file.h"

namespace results {
// Named, not anonymous: the unity builds compile both formats in one unit.
namespace sweep_format {

using namespace json_fields;

namespace sweep_key {
constexpr const char* kFormat = "kv3r_sweep";
constexpr const char* kProgramVersion = "program_version";
constexpr const char* kStarted = "started";
constexpr const char* kBackEnd = "back_end";
constexpr const char* kDevice = "device";
constexpr const char* kMode = "mode";
constexpr const char* kSeconds = "seconds";
constexpr const char* kRounds = "rounds";
constexpr const char* kRoundsAsked = "rounds_asked";
constexpr const char* kInterrupted = "interrupted";
constexpr const char* kProcessors = "processors";
constexpr const char* kMeasuringMethod = "measuring_method";
constexpr const char* kEmitterCounts = "emitter_counts";
constexpr const char* kConfigurations = "configurations";
constexpr const char* kWarnings = "warnings";
constexpr const char* kName = "name";
constexpr const char* kSettings = "settings";
constexpr const char* kOutput = "output";
constexpr const char* kEffective = "effective";
constexpr const char* kDifferences = "differences";
constexpr const char* kPerEmitter = "per_emitter";
constexpr const char* kOfOneProcessor = "per_emitter_of_one_processor";
constexpr const char* kEmittersPerPercent = "emitters_per_percent_of_one_processor";
constexpr const char* kRatioToFirst = "ratio_to_first";
constexpr const char* kPoints = "points";
constexpr const char* kEmitters = "emitters";
constexpr const char* kCost = "cost";
constexpr const char* kCi95 = "ci95";
constexpr const char* kParts = "parts";
constexpr const char* kResultsFiles = "results_files";
constexpr const char* kValue = "value";
constexpr const char* kAttributed = "attributed";
constexpr const char* kAttributedPerEmitter = "attributed_per_emitter";
constexpr const char* kAttributedOfOneProcessor = "attributed_per_emitter_of_one_processor";
constexpr const char* kAttributedEmittersPerPercent = "attributed_emitters_per_percent_of_one_processor";
constexpr const char* kAttributedRatioToFirst = "attributed_ratio_to_first";
}  // namespace sweep_key

// ---- writing

Json EstimateJson(const stats::Estimate& estimate) {
  return {{sweep_key::kValue, NumberJson(estimate.value)},
          {sweep_key::kCi95, Json::array({NumberJson(estimate.ci95.low), NumberJson(estimate.ci95.high)})}};
}

Json PartsJson(const Parts& parts) {
  Json object = Json::object();
#define KV3R_WRITE_PART(member, name) object[name] = NumberJson(parts.member);
  KV3R_PART_FIELDS(KV3R_WRITE_PART)
#undef KV3R_WRITE_PART
  Json servers = Json::object();
  for (const auto& [name, value] : parts.servers) servers[name] = NumberJson(value);
  object[kServersPart] = servers;
  return object;
}

Json PairsJson(const std::vector<std::pair<std::string, std::string>>& pairs) {
  Json object = Json::object();
  for (const auto& [name, value] : pairs) object[name] = value;
  return object;
}

Json ConfigurationJson(const SweepConfiguration& configuration) {
  Json points = Json::array();
  for (const SweepPoint& point : configuration.points) {
    points.push_back({{sweep_key::kEmitters, point.emitters},
                      {sweep_key::kCost, NumberJson(point.cost.value)},
                      {sweep_key::kCi95, Json::array({NumberJson(point.cost.ci95.low), NumberJson(point.cost.ci95.high)})},
                      {sweep_key::kRounds, point.rounds},
                      {sweep_key::kAttributed, EstimateJson(point.attributed)},
                      {sweep_key::kParts, PartsJson(point.parts)},
                      {sweep_key::kResultsFiles, point.resultsFiles}});
  }
  const stats::PerEmitterFigures& one = configuration.perEmitter;
  return {{sweep_key::kName, configuration.name},
          {sweep_key::kSettings, PairsJson(configuration.settings)},
          {sweep_key::kOutput, configuration.output},
          {sweep_key::kBackEnd, configuration.backEnd},
          {sweep_key::kEffective, PairsJson(configuration.effective)},
          {sweep_key::kDifferences, configuration.differences},
          {sweep_key::kPerEmitter, EstimateJson(one.ofMachine)},
          {sweep_key::kOfOneProcessor, EstimateJson(one.ofOneProcessor)},
          {sweep_key::kEmittersPerPercent, EstimateJson(one.emittersPerPercentOfOneProcessor)},
          {sweep_key::kRatioToFirst, EstimateJson(configuration.ratioToFirst)},
          {sweep_key::kAttributedPerEmitter, EstimateJson(configuration.attributedPerEmitter.ofMachine)},
          {sweep_key::kAttributedOfOneProcessor, EstimateJson(configuration.attributedPerEmitter.ofOneProcessor)},
          {sweep_key::kAttributedEmittersPerPercent,
           EstimateJson(configuration.attributedPerEmitter.emittersPerPercentOfOneProcessor)},
          {sweep_key::kAttributedRatioToFirst, EstimateJson(configuration.attributedRatioToFirst)},
          {sweep_key::kPoints, points}};
}

// ---- reading

// Optional members of each kind.
std::string TextOr(const Json& object, const std::string& where, const char* name) {
  const Json* value = Find(object, where, name);
  return value == nullptr ? std::string() : TextAt(*value, Place(where, name));
}
double NumberOr(const Json& object, const std::string& where, const char* name) {
  const Json* value = Find(object, where, name);
  return value == nullptr ? kMissing : NumberAt(*value, Place(where, name));
}
uint32_t WholeOr(const Json& object, const std::string& where, const char* name) {
  const Json* value = Find(object, where, name);
  return value == nullptr ? 0 : WholeAt(*value, Place(where, name));
}
std::vector<std::string> TextsOr(const Json& object, const std::string& where, const char* name) {
  std::vector<std::string> texts;
  const Json* value = Find(object, where, name);
  if (value == nullptr) return texts;
  const std::string here = Place(where, name);
  const Json& list = ListAt(*value, here);
  for (size_t i = 0; i < list.size(); ++i) texts.push_back(TextAt(list[i], Indexed(here, i)));
  return texts;
}

// {"value": v, "ci95": [lo, hi]}, or null.
stats::Estimate EstimateAt(const Json& object, const std::string& where, const char* name) {
  const Json* value = Find(object, where, name);
  if (value == nullptr || value->is_null()) return {};
  const std::string here = Place(where, name);
  stats::Estimate estimate{NumberOr(*value, here, sweep_key::kValue), {}};
  if (const Json* range = Find(*value, here, sweep_key::kCi95)) estimate.ci95 = IntervalAt(*range, Place(here, sweep_key::kCi95));
  return estimate;
}

// Any value as the report shows it: texts unquoted, the rest as written.
std::string Shown(const Json& value, const std::string& where) {
  if (value.is_string()) return TextAt(value, where);
  if (value.is_null()) return "-";
  return OneLine(value.dump());
}

std::vector<std::pair<std::string, std::string>> PairsAt(const Json& object, const std::string& where,
                                                         const char* name) {
  std::vector<std::pair<std::string, std::string>> pairs;
  const Json* value = Find(object, where, name);
  if (value == nullptr || value->is_null()) return pairs;
  const std::string here = Place(where, name);
  for (const auto& [setting, shown] : ObjectAt(*value, here).items()) {
    pairs.emplace_back(TextAt(Json(setting), here), Shown(shown, Place(here, setting)));
  }
  return pairs;
}

Parts PartsAt(const Json& object, const std::string& where) {
  Parts parts;
#define KV3R_READ_PART(member, name) parts.member = NumberOr(object, where, name);
  KV3R_PART_FIELDS(KV3R_READ_PART)
#undef KV3R_READ_PART
  if (const Json* servers = Find(object, where, kServersPart)) {
    const std::string here = Place(where, kServersPart);
    for (const auto& [name, value] : ObjectAt(*servers, here).items()) parts.servers[name] = NumberAt(value, Place(here, name));
  }
  return parts;
}

SweepPoint PointAt(const Json& point, const std::string& where) {
  SweepPoint p;
  p.emitters = Whole(point, where, sweep_key::kEmitters);
  p.rounds = WholeOr(point, where, sweep_key::kRounds);
  p.cost.value = Number(point, where, sweep_key::kCost);
  if (const Json* range = Find(point, where, sweep_key::kCi95)) p.cost.ci95 = IntervalAt(*range, Place(where, sweep_key::kCi95));
  p.attributed = EstimateAt(point, where, sweep_key::kAttributed);
  if (const Json* parts = Find(point, where, sweep_key::kParts); parts != nullptr && !parts->is_null()) {
    p.parts = PartsAt(*parts, Place(where, sweep_key::kParts));
  }
  p.resultsFiles = TextsOr(point, where, sweep_key::kResultsFiles);
  return p;
}

SweepConfiguration ConfigurationAt(const Json& configuration, const std::string& where) {
  SweepConfiguration c;
  c.name = Text(configuration, where, sweep_key::kName);
  c.output = TextOr(configuration, where, sweep_key::kOutput);
  c.backEnd = TextOr(configuration, where, sweep_key::kBackEnd);
  c.settings = PairsAt(configuration, where, sweep_key::kSettings);
  c.effective = PairsAt(configuration, where, sweep_key::kEffective);
  c.differences = TextsOr(configuration, where, sweep_key::kDifferences);
  c.perEmitter.ofMachine = EstimateAt(configuration, where, sweep_key::kPerEmitter);
  c.perEmitter.ofOneProcessor = EstimateAt(configuration, where, sweep_key::kOfOneProcessor);
  c.perEmitter.emittersPerPercentOfOneProcessor = EstimateAt(configuration, where, sweep_key::kEmittersPerPercent);
  c.ratioToFirst = EstimateAt(configuration, where, sweep_key::kRatioToFirst);
  c.attributedPerEmitter.ofMachine = EstimateAt(configuration, where, sweep_key::kAttributedPerEmitter);
  c.attributedPerEmitter.ofOneProcessor = EstimateAt(configuration, where, sweep_key::kAttributedOfOneProcessor);
  c.attributedPerEmitter.emittersPerPercentOfOneProcessor =
      EstimateAt(configuration, where, sweep_key::kAttributedEmittersPerPercent);
  c.attributedRatioToFirst = EstimateAt(configuration, where, sweep_key::kAttributedRatioToFirst);
  const std::string here = Place(where, sweep_key::kPoints);
  const Json& points = List(configuration, where, sweep_key::kPoints);
  for (size_t i = 0; i < points.size(); ++i) c.points.push_back(PointAt(points[i], Indexed(here, i)));
  return c;
}

Sweep SweepAt(const Json& document) {
  if (!document.is_object()) throw Malformed{"it is " + Kind(document) + ", not a sweep file's object"};
  const Json* marker = Find(document, "", sweep_key::kFormat);
  if (marker == nullptr) throw Malformed{"it is not a sweep file (it has no \"kv3r_sweep\")"};
  if (!marker->is_number_integer() || marker->get<int64_t>() != kSweepFormat) {
    throw Malformed{"kv3r_sweep is " + Shown(*marker, sweep_key::kFormat) + ": a sweep file of another format than " +
                    std::to_string(kSweepFormat)};
  }
  Sweep sweep;
  sweep.programVersion = TextOr(document, "", sweep_key::kProgramVersion);
  sweep.started = TextOr(document, "", sweep_key::kStarted);
  sweep.backEnd = TextOr(document, "", sweep_key::kBackEnd);
  sweep.device = TextOr(document, "", sweep_key::kDevice);
  sweep.mode = TextOr(document, "", sweep_key::kMode);
  sweep.seconds = NumberOr(document, "", sweep_key::kSeconds);
  sweep.rounds = WholeOr(document, "", sweep_key::kRounds);
  sweep.roundsAsked = WholeOr(document, "", sweep_key::kRoundsAsked);
  sweep.processors = WholeOr(document, "", sweep_key::kProcessors);
  if (const Json* method = Find(document, "", sweep_key::kMeasuringMethod)) {
    sweep.measuringMethod = static_cast<int>(std::min<uint32_t>(WholeAt(*method, sweep_key::kMeasuringMethod), 1000));
  }
  if (const Json* interrupted = Find(document, "", sweep_key::kInterrupted)) {
    sweep.interrupted = BooleanAt(*interrupted, sweep_key::kInterrupted);
  }
  if (const Json* counts = Find(document, "", sweep_key::kEmitterCounts)) {
    const Json& list = ListAt(*counts, sweep_key::kEmitterCounts);
    for (size_t i = 0; i < list.size(); ++i) sweep.emitterCounts.push_back(WholeAt(list[i], Indexed(sweep_key::kEmitterCounts, i)));
  }
  const Json& configurations = List(document, "", sweep_key::kConfigurations);
  for (size_t i = 0; i < configurations.size(); ++i) {
    sweep.configurations.push_back(ConfigurationAt(configurations[i], Indexed(sweep_key::kConfigurations, i)));
  }
  sweep.warnings = TextsOr(document, "", sweep_key::kWarnings);
  return sweep;
}

}  // namespace sweep_format

using namespace sweep_format;

std::string SweepText(const Sweep& sweep) {
  Json configurations = Json::array();
  for (const SweepConfiguration& configuration : sweep.configurations) {
    configurations.push_back(ConfigurationJson(configuration));
  }
  const Json document = {{sweep_key::kFormat, kSweepFormat},
                         {sweep_key::kProgramVersion, sweep.programVersion},
                         {sweep_key::kStarted, sweep.started},
                         {sweep_key::kBackEnd, sweep.backEnd},
                         {sweep_key::kDevice, sweep.device},
                         {sweep_key::kMode, sweep.mode},
                         {sweep_key::kSeconds, NumberJson(sweep.seconds)},
                         {sweep_key::kRounds, sweep.rounds},
                         {sweep_key::kRoundsAsked, sweep.roundsAsked},
                         {sweep_key::kInterrupted, sweep.interrupted},
                         {sweep_key::kProcessors, sweep.processors},
                         {sweep_key::kMeasuringMethod, sweep.measuringMethod < 0 ? Json(nullptr) : Json(sweep.measuringMethod)},
                         {sweep_key::kEmitterCounts, sweep.emitterCounts},
                         {sweep_key::kConfigurations, configurations},
                         {sweep_key::kWarnings, sweep.warnings}};
  // Texts are UTF-8 by the time they get here; a stray byte is replaced, never fatal.
  return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<Sweep> ParseSweep(std::string_view text, std::string& error) {
  return ParseWith<Sweep>(text, error, SweepAt);
}

std::optional<Sweep> ReadSweep(const std::string& path, std::string& error) {
  std::string bytes;
  if (!ReadFileBytes(path, kMaxJsonFileBytes, bytes, error)) return std::nullopt;
  std::optional<Sweep> sweep = ParseSweep(bytes, error);
  if (sweep) sweep->path = path;
  return sweep;
}

}  // namespace results
