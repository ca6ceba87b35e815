#include "analyzer/companion_reader.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>

#include "analyzer/file_bytes.h"
#include "analyzer/json_fields.h"
#include "analyzer/lenient_text.h"
#include "analyzer/results_reader.h"

namespace {

using json_fields::Json;
using json_fields::Malformed;
using json_fields::Place;
using json_fields::WrongType;

const Json& Member(const Json& object, const std::string& where, const char* key) {
  if (!object.is_object()) WrongType(object, where.empty() ? "the file" : where, "an object");
  const auto found = object.find(key);
  if (found == object.end()) throw Malformed{Place(where, key) + " is missing"};
  return *found;
}

// null is NaN: the writer's spelling of an undefined figure.
double NumberAt(const Json& value, const std::string& where) {
  if (value.is_null()) return kMissing;
  if (!value.is_number()) WrongType(value, where, "a number or null");
  return value.get<double>();
}
double Number(const Json& object, const std::string& where, const char* key) {
  return NumberAt(Member(object, where, key), Place(where, key));
}

uint32_t Whole(const Json& object, const std::string& where, const char* key) {
  const Json& value = Member(object, where, key);
  if (!value.is_number_unsigned() || value.get<uint64_t>() > std::numeric_limits<uint32_t>::max()) {
    WrongType(value, Place(where, key), "a whole number");
  }
  return static_cast<uint32_t>(value.get<uint64_t>());
}

std::string Text(const Json& object, const std::string& where, const char* key) {
  const Json& value = Member(object, where, key);
  if (!value.is_string()) WrongType(value, Place(where, key), "a text");
  return value.get<std::string>();
}

const Json& List(const Json& object, const std::string& where, const char* key) {
  const Json& value = Member(object, where, key);
  if (!value.is_array()) WrongType(value, Place(where, key), "a list");
  return value;
}

CompanionRange RangeAt(const Json& value, const std::string& where) {
  if (value.is_null()) return {};
  if (!value.is_array() || value.size() != 2) WrongType(value, where, "[low, high] or null");
  return {NumberAt(value[0], where + "[0]"), NumberAt(value[1], where + "[1]")};
}
CompanionRange Range(const Json& object, const std::string& where, const char* key) {
  return RangeAt(Member(object, where, key), Place(where, key));
}

// A test's parts, or a cost's with their intervals beside them (`ranges`).
CompanionParts Parts(const Json& object, const std::string& where, const Json* ranges, const std::string& rangesWhere) {
  CompanionParts parts;
  const auto figure = [&](const char* key) {
    CompanionFigure f{Number(object, where, key), {}};
    if (ranges != nullptr) f.ci95 = Range(*ranges, rangesWhere, key);
    return f;
  };
  parts.program = figure("program");
  parts.kernel = figure("kernel");
  parts.other = figure("other");
  parts.unexplained = figure("unexplained");
  const std::string serversWhere = Place(where, "servers");
  const Json& servers = Member(object, where, "servers");
  if (!servers.is_object()) WrongType(servers, serversWhere, "an object");
  const Json* serverRanges = ranges != nullptr ? &Member(*ranges, rangesWhere, "servers") : nullptr;
  for (const auto& [name, value] : servers.items()) {
    CompanionFigure f{NumberAt(value, serversWhere + "." + name), {}};
    if (serverRanges != nullptr) f.ci95 = Range(*serverRanges, Place(rangesWhere, "servers"), name.c_str());
    parts.servers.emplace_back(name, f);
  }
  return parts;
}

CompanionTest TestAt(const Json& test, const std::string& where) {
  CompanionTest t;
  t.mode = Text(test, where, "mode");
  t.emitters = Whole(test, where, "emitters");
  t.round = Whole(test, where, "round");
  if (test.contains("seconds")) t.seconds = Number(test, where, "seconds");
  t.system = Number(test, where, "system");
  t.parts = Parts(Member(test, where, "parts"), Place(where, "parts"), nullptr, "");
  return t;
}

CompanionCost CostAt(const Json& cost, const std::string& where) {
  CompanionCost c;
  c.mode = Text(cost, where, "mode");
  c.emitters = Whole(cost, where, "emitters");
  c.rounds = Whole(cost, where, "rounds");
  c.cost = {Number(cost, where, "cost"), Range(cost, where, "ci95")};
  c.verdict = Text(cost, where, "verdict");
  c.parts = Parts(Member(cost, where, "parts"), Place(where, "parts"), &Member(cost, where, "parts_ci95"),
                  Place(where, "parts_ci95"));
  c.perEmitter = {Number(cost, where, "per_emitter"), Range(cost, where, "per_emitter_ci95")};
  c.emittersPerPercentOfOneProcessor = {Number(cost, where, "emitters_per_percent_of_one_processor"),
                                        Range(cost, where, "emitters_per_percent_of_one_processor_ci95")};
  return c;
}

std::string Indexed(const char* list, size_t index) { return std::string(list) + "[" + std::to_string(index) + "]"; }

// One line, whatever the names in the file held.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return text;
}

}  // namespace

std::string CompanionPathOf(const std::string& resultsPath) {
  return std::filesystem::path(resultsPath).replace_extension(".json").string();
}

std::optional<Companion> ParseCompanion(std::string_view text, const std::string& resultsFileName, std::string& error) {
  error.clear();
  try {
    const Json document = Json::parse(text.begin(), text.end());
    Companion companion;
    const std::string belongsTo = Text(document, "", "results_file");
    if (belongsTo != LenientUtf8(resultsFileName)) {
      throw Malformed{"it belongs to " + belongsTo + ", not to " + LenientUtf8(resultsFileName)};
    }
    companion.rounds = Whole(document, "", "rounds");
    companion.processors = Whole(document, "", "processors");
    // Older companions lack it.
    if (document.contains("measuring_method")) {
      companion.measuringMethod = static_cast<int>(std::min<uint32_t>(Whole(document, "", "measuring_method"), 1000));
    }
    const Json& tests = List(document, "", "tests");
    for (size_t i = 0; i < tests.size(); ++i) companion.tests.push_back(TestAt(tests[i], Indexed("tests", i)));
    const Json& costs = List(document, "", "costs");
    for (size_t i = 0; i < costs.size(); ++i) companion.costs.push_back(CostAt(costs[i], Indexed("costs", i)));
    const Json& warnings = List(document, "", "warnings");
    for (size_t i = 0; i < warnings.size(); ++i) {
      if (!warnings[i].is_string()) WrongType(warnings[i], Indexed("warnings", i), "a text");
      companion.warnings.push_back(warnings[i].get<std::string>());
    }
    return companion;
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

std::optional<Companion> ReadCompanion(const std::string& resultsPath, std::string& error) {
  error.clear();
  const std::filesystem::path path(CompanionPathOf(resultsPath));
  std::error_code failure;
  if (!std::filesystem::exists(path, failure)) return std::nullopt;
  std::string bytes;
  if (!ReadFileBytes(path.string(), kMaxResultsFileBytes, bytes, error)) return std::nullopt;
  std::optional<Companion> companion =
      ParseCompanion(bytes, std::filesystem::path(resultsPath).filename().string(), error);
  if (companion) companion->path = path.string();
  return companion;
}
