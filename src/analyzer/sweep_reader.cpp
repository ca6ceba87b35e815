#include "analyzer/sweep_reader.h"

#include <algorithm>
#include <limits>

#include "analyzer/file_bytes.h"
#include "analyzer/json_fields.h"
#include "analyzer/lenient_text.h"
#include "analyzer/results_reader.h"

namespace {

using json_fields::Json;
using json_fields::Malformed;
using json_fields::Place;
using json_fields::WrongType;

std::string Indexed(const std::string& where, size_t index) { return where + "[" + std::to_string(index) + "]"; }

// The member, or null when `required` is false and there is none.
const Json* Member(const Json& object, const std::string& where, const char* key, bool required) {
  if (!object.is_object()) WrongType(object, where.empty() ? "the file" : where, "an object");
  const auto found = object.find(key);
  if (found != object.end()) return &*found;
  if (required) throw Malformed{Place(where, key) + " is missing"};
  return nullptr;
}

double NumberAt(const Json& value, const std::string& where) {
  if (value.is_null()) return kMissing;
  if (!value.is_number()) WrongType(value, where, "a number or null");
  return value.get<double>();
}
double Number(const Json& object, const std::string& where, const char* key, bool required = false) {
  const Json* value = Member(object, where, key, required);
  return value == nullptr ? kMissing : NumberAt(*value, Place(where, key));
}

uint32_t Whole(const Json& value, const std::string& where) {
  if (!value.is_number_unsigned() || value.get<uint64_t>() > std::numeric_limits<uint32_t>::max()) {
    WrongType(value, where, "a whole number");
  }
  return static_cast<uint32_t>(value.get<uint64_t>());
}
uint32_t Whole(const Json& object, const std::string& where, const char* key, bool required = false) {
  const Json* value = Member(object, where, key, required);
  return value == nullptr ? 0 : Whole(*value, Place(where, key));
}

std::string Text(const Json& object, const std::string& where, const char* key, bool required = false) {
  const Json* value = Member(object, where, key, required);
  if (value == nullptr) return "";
  if (!value->is_string()) WrongType(*value, Place(where, key), "a text");
  return LenientUtf8(value->get<std::string>());
}

const Json& List(const Json& object, const std::string& where, const char* key, bool required = false) {
  static const Json kNone = Json::array();
  const Json* value = Member(object, where, key, required);
  if (value == nullptr) return kNone;
  if (!value->is_array()) WrongType(*value, Place(where, key), "a list");
  return *value;
}

CompanionRange RangeAt(const Json& value, const std::string& where) {
  if (value.is_null()) return {};
  if (!value.is_array() || value.size() != 2) WrongType(value, where, "[low, high]");
  return {NumberAt(value[0], where + "[0]"), NumberAt(value[1], where + "[1]")};
}

// {"value": v, "ci95": [lo, hi]}, or null.
CompanionFigure FigureOf(const Json& object, const std::string& where, const char* key) {
  const Json* value = Member(object, where, key, false);
  if (value == nullptr || value->is_null()) return {};
  const std::string here = Place(where, key);
  CompanionFigure figure{Number(*value, here, "value"), {}};
  if (const Json* range = Member(*value, here, "ci95", false); range != nullptr) {
    figure.ci95 = RangeAt(*range, Place(here, "ci95"));
  }
  return figure;
}

// Any JSON value as the report shows it: texts unquoted, the rest as written.
std::string Shown(const Json& value) {
  if (value.is_string()) return LenientUtf8(value.get<std::string>());
  if (value.is_null()) return "-";
  return LenientUtf8(value.dump());
}

std::vector<std::pair<std::string, std::string>> Pairs(const Json& object, const std::string& where, const char* key) {
  std::vector<std::pair<std::string, std::string>> pairs;
  const Json* value = Member(object, where, key, false);
  if (value == nullptr || value->is_null()) return pairs;
  if (!value->is_object()) WrongType(*value, Place(where, key), "an object");
  for (const auto& [name, setting] : value->items()) pairs.emplace_back(LenientUtf8(name), Shown(setting));
  return pairs;
}

SweepPoint PointAt(const Json& point, const std::string& where) {
  SweepPoint p;
  p.emitters = Whole(point, where, "emitters", true);
  p.rounds = Whole(point, where, "rounds");
  p.cost.value = Number(point, where, "cost", true);
  if (const Json* range = Member(point, where, "ci95", false); range != nullptr) {
    p.cost.ci95 = RangeAt(*range, Place(where, "ci95"));
  }
  if (const Json* parts = Member(point, where, "parts", false); parts != nullptr && !parts->is_null()) {
    const std::string here = Place(where, "parts");
    p.program = Number(*parts, here, "program");
    p.servers = Number(*parts, here, "servers");
    p.kernel = Number(*parts, here, "kernel");
    p.other = Number(*parts, here, "other");
    p.unexplained = Number(*parts, here, "unexplained");
  }
  const Json& files = List(point, where, "results_files");
  for (size_t i = 0; i < files.size(); ++i) {
    if (!files[i].is_string()) WrongType(files[i], Indexed(Place(where, "results_files"), i), "a text");
    p.resultsFiles.push_back(LenientUtf8(files[i].get<std::string>()));
  }
  return p;
}

SweepConfiguration ConfigurationAt(const Json& configuration, const std::string& where) {
  SweepConfiguration c;
  c.name = Text(configuration, where, "name", true);
  c.output = Text(configuration, where, "output");
  c.settings = Pairs(configuration, where, "settings");
  c.effective = Pairs(configuration, where, "effective");
  const Json& differences = List(configuration, where, "differences");
  for (size_t i = 0; i < differences.size(); ++i) {
    if (!differences[i].is_string()) WrongType(differences[i], Indexed(Place(where, "differences"), i), "a text");
    c.differences.push_back(LenientUtf8(differences[i].get<std::string>()));
  }
  c.perEmitter = FigureOf(configuration, where, "per_emitter");
  c.perEmitterOfOneProcessor = FigureOf(configuration, where, "per_emitter_of_one_processor");
  c.emittersPerPercentOfOneProcessor = FigureOf(configuration, where, "emitters_per_percent_of_one_processor");
  c.ratioToFirst = FigureOf(configuration, where, "ratio_to_first");
  const Json& points = List(configuration, where, "points", true);
  for (size_t i = 0; i < points.size(); ++i) c.points.push_back(PointAt(points[i], Indexed(Place(where, "points"), i)));
  return c;
}

// One line, whatever the names in the file held.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return text;
}

}  // namespace

std::optional<Sweep> ParseSweep(std::string_view text, std::string& error) {
  error.clear();
  try {
    const Json document = Json::parse(text.begin(), text.end());
    if (!document.is_object()) throw Malformed{"it is " + json_fields::Kind(document) + ", not a sweep file's object"};
    const Json* marker = Member(document, "", "kv3r_sweep", false);
    if (marker == nullptr) throw Malformed{"it is not a sweep file (it has no \"kv3r_sweep\": 1)"};
    if (!marker->is_number_integer() || marker->get<int64_t>() != 1) {
      throw Malformed{"kv3r_sweep is " + Shown(*marker) + ": a sweep file of another format than 1"};
    }
    Sweep sweep;
    sweep.programVersion = Text(document, "", "program_version");
    sweep.started = Text(document, "", "started");
    sweep.backEnd = Text(document, "", "back_end");
    sweep.device = Text(document, "", "device");
    sweep.mode = Text(document, "", "mode");
    sweep.seconds = Number(document, "", "seconds");
    sweep.rounds = Whole(document, "", "rounds");
    sweep.roundsAsked = Whole(document, "", "rounds_asked");
    sweep.processors = Whole(document, "", "processors");
    if (const Json* method = Member(document, "", "measuring_method", false); method != nullptr) {
      sweep.measuringMethod = static_cast<int>(std::min<uint32_t>(Whole(*method, "measuring_method"), 1000));
    }
    if (const Json* interrupted = Member(document, "", "interrupted", false); interrupted != nullptr) {
      if (!interrupted->is_boolean()) WrongType(*interrupted, "interrupted", "true or false");
      sweep.interrupted = interrupted->get<bool>();
    }
    const Json& counts = List(document, "", "emitter_counts");
    for (size_t i = 0; i < counts.size(); ++i) sweep.emitterCounts.push_back(Whole(counts[i], Indexed("emitter_counts", i)));
    const Json& configurations = List(document, "", "configurations", true);
    for (size_t i = 0; i < configurations.size(); ++i) {
      sweep.configurations.push_back(ConfigurationAt(configurations[i], Indexed("configurations", i)));
    }
    return sweep;
  } catch (const Malformed& malformed) {
    error = OneLine(malformed.why);
  } catch (const Json::exception& failure) {
    // Its "[json.exception...] " prefix names the library, not the fault.
    const std::string what = failure.what();
    const size_t bracket = what.find("] ");
    error = OneLine("not JSON: " + (bracket == std::string::npos ? what : what.substr(bracket + 2)));
  }
  return std::nullopt;
}

std::optional<Sweep> ReadSweep(const std::string& path, std::string& error) {
  std::string bytes;
  if (!ReadFileBytes(path, kMaxResultsFileBytes, bytes, error)) return std::nullopt;
  std::optional<Sweep> sweep = ParseSweep(bytes, error);
  if (sweep) sweep->path = path;
  return sweep;
}
