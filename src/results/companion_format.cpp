#include <cmath>
#include <filesystem>
#include <string_view>

#include "results/companion.h"
#include "results/file_bytes.h"
#include "results/json_fields.h"
#include "results/lenient_text.h"

namespace results {
namespace {

using namespace json_fields;

// The file's keys, for the writer and the reader alike.
namespace key {
constexpr const char* kFormat = "format";
constexpr const char* kResultsFile = "results_file";
constexpr const char* kRounds = "rounds";
constexpr const char* kProcessors = "processors";
constexpr const char* kMeasuringMethod = "measuring_method";
constexpr const char* kSystemSource = "system_source";
constexpr const char* kName = "name";
constexpr const char* kResolutionNs = "resolution_ns";
constexpr const char* kAttributionResolutionNs = "attribution_resolution_ns";
constexpr const char* kEnvironment = "environment";
constexpr const char* kProcessor = "processor";
constexpr const char* kClockMhzStart = "clock_mhz_start";
constexpr const char* kClockMhzEnd = "clock_mhz_end";
constexpr const char* kOs = "os";
constexpr const char* kKernel = "kernel";
constexpr const char* kBackEnd = "back_end";
constexpr const char* kDevice = "device";
constexpr const char* kOpenalOutput = "openal_output";
constexpr const char* kOpenalSettingsFile = "openal_settings_file";
constexpr const char* kSoundServer = "sound_server";
constexpr const char* kTests = "tests";
constexpr const char* kMode = "mode";
constexpr const char* kEmitters = "emitters";
constexpr const char* kRound = "round";
constexpr const char* kSeconds = "seconds";
constexpr const char* kReadings = "readings";
constexpr const char* kSystem = "system";
constexpr const char* kAttributed = "attributed";
constexpr const char* kParts = "parts";
constexpr const char* kPartsCi95 = "parts_ci95";
constexpr const char* kDeviceLost = "device_lost";
constexpr const char* kCosts = "costs";
constexpr const char* kCost = "cost";
constexpr const char* kCi95 = "ci95";
constexpr const char* kVerdict = "verdict";
constexpr const char* kPerRound = "per_round";
constexpr const char* kPerEmitter = "per_emitter";
constexpr const char* kPerEmitterCi95 = "per_emitter_ci95";
constexpr const char* kOfOneProcessor = "per_emitter_of_one_processor";
constexpr const char* kOfOneProcessorCi95 = "per_emitter_of_one_processor_ci95";
constexpr const char* kEmittersPerPercent = "emitters_per_percent_of_one_processor";
constexpr const char* kEmittersPerPercentCi95 = "emitters_per_percent_of_one_processor_ci95";
constexpr const char* kAttributed_ = "attributed_cost";
constexpr const char* kAttributedCi95 = "attributed_cost_ci95";
constexpr const char* kAttributedPerRound = "attributed_per_round";
constexpr const char* kAttributedPerEmitter = "attributed_per_emitter";
constexpr const char* kAttributedPerEmitterCi95 = "attributed_per_emitter_ci95";
constexpr const char* kAttributedOfOneProcessor = "attributed_per_emitter_of_one_processor";
constexpr const char* kAttributedOfOneProcessorCi95 = "attributed_per_emitter_of_one_processor_ci95";
constexpr const char* kAttributedEmittersPerPercent = "attributed_emitters_per_percent_of_one_processor";
constexpr const char* kAttributedEmittersPerPercentCi95 = "attributed_emitters_per_percent_of_one_processor_ci95";
constexpr const char* kFault = "fault";
constexpr const char* kSaturated = "saturated";
constexpr const char* kWarnings = "warnings";
constexpr const char* kBusiest = "busiest_other_processes";
constexpr const char* kPercent = "percent";
}  // namespace key

// ---- writing

// A count stays a count ("xruns": 2, not 2.0).
Json FigureJson(double value) {
  if (std::isfinite(value) && std::trunc(value) == value && std::fabs(value) < 9e15) {
    return Json(static_cast<int64_t>(value));
  }
  return NumberJson(value);
}

template <class T, class Spell>
Json PartsJson(const PartsOf<T>& parts, Spell&& spell) {
  Json servers = Json::object();
  for (const auto& [name, value] : parts.servers) servers[name] = spell(value);
  Json object = Json::object();
  // The servers stand after the program's own parts.
#define KV3R_WRITE_PART(member, name)                                     \
  object[name] = spell(parts.member);                                     \
  if (std::string_view(name) == "program_kernel") object[kServersPart] = servers;
  KV3R_PART_FIELDS(KV3R_WRITE_PART)
#undef KV3R_WRITE_PART
  return object;
}

Json TestJson(const CompanionTest& test) {
  Json object = {{key::kMode, test.mode},
                 {key::kEmitters, test.emitters},
                 {key::kRound, test.round},
                 {key::kSeconds, NumberJson(test.seconds)},
                 {key::kReadings, test.readings},
                 {key::kSystem, NumberJson(test.system)},
                 {key::kAttributed, test.attributed},
                 {key::kParts, PartsJson(test.parts, NumberJson)}};
  if (!test.backEnd.empty()) {
    Json backEnd = Json::object();
    for (const BackEndFigure& figure : test.backEnd) {
      backEnd[figure.name] = figure.text.empty() ? FigureJson(figure.value) : Json(figure.text);
    }
    object[key::kBackEnd] = backEnd;
  }
  if (test.deviceLost) object[key::kDeviceLost] = true;
  return object;
}

Json Numbers(const std::vector<double>& values) {
  Json list = Json::array();
  for (const double value : values) list.push_back(NumberJson(value));
  return list;
}

Json CostJson(const CompanionCost& cost) {
  const Json rounds = Numbers(cost.perRound);
  const stats::PerEmitterFigures& one = cost.perEmitter;
  const stats::PerEmitterFigures& attributed = cost.attributedPerEmitter;
  Json object = {{key::kMode, cost.mode},
          {key::kEmitters, cost.emitters},
          {key::kRounds, cost.rounds},
          {key::kCost, NumberJson(cost.cost.value)},
          {key::kCi95, IntervalJson(cost.cost.ci95)},
          {key::kVerdict, cost.verdict},
          {key::kPerRound, rounds},
          {key::kParts, PartsJson(cost.parts, [](const stats::Estimate& e) { return NumberJson(e.value); })},
          {key::kPartsCi95, PartsJson(cost.parts, [](const stats::Estimate& e) { return IntervalJson(e.ci95); })},
          {key::kPerEmitter, NumberJson(one.ofMachine.value)},
          {key::kPerEmitterCi95, IntervalJson(one.ofMachine.ci95)},
          {key::kOfOneProcessor, NumberJson(one.ofOneProcessor.value)},
          {key::kOfOneProcessorCi95, IntervalJson(one.ofOneProcessor.ci95)},
          {key::kEmittersPerPercent, NumberJson(one.emittersPerPercentOfOneProcessor.value)},
          {key::kEmittersPerPercentCi95, IntervalJson(one.emittersPerPercentOfOneProcessor.ci95)},
          {key::kAttributed_, NumberJson(cost.attributed.value)},
          {key::kAttributedCi95, IntervalJson(cost.attributed.ci95)},
          {key::kAttributedPerRound, Numbers(cost.attributedPerRound)},
          {key::kAttributedPerEmitter, NumberJson(attributed.ofMachine.value)},
          {key::kAttributedPerEmitterCi95, IntervalJson(attributed.ofMachine.ci95)},
          {key::kAttributedOfOneProcessor, NumberJson(attributed.ofOneProcessor.value)},
          {key::kAttributedOfOneProcessorCi95, IntervalJson(attributed.ofOneProcessor.ci95)},
          {key::kAttributedEmittersPerPercent, NumberJson(attributed.emittersPerPercentOfOneProcessor.value)},
          {key::kAttributedEmittersPerPercentCi95, IntervalJson(attributed.emittersPerPercentOfOneProcessor.ci95)}};
  if (!cost.fault.empty()) object[key::kFault] = cost.fault;
  return object;
}

// ---- reading

// A test's parts, or a cost's with their intervals beside them (`ranges`).
template <class T, class Read>
PartsOf<T> PartsAt(const Json& object, const std::string& where, Read&& read) {
  PartsOf<T> parts;
#define KV3R_READ_PART(member, name) parts.member = read(Member(object, where, name), Place(where, name), name, false);
  KV3R_PART_FIELDS(KV3R_READ_PART)
#undef KV3R_READ_PART
  const std::string serversWhere = Place(where, kServersPart);
  const Json& servers = ObjectAt(Member(object, where, kServersPart), serversWhere);
  for (const auto& [name, value] : servers.items()) {
    parts.servers[name] = read(value, serversWhere + "." + name, name.c_str(), true);
  }
  return parts;
}

CompanionTest TestAt(const Json& test, const std::string& where) {
  CompanionTest t;
  t.mode = Text(test, where, key::kMode);
  t.emitters = Whole(test, where, key::kEmitters);
  t.round = Whole(test, where, key::kRound);
  if (const Json* seconds = Find(test, where, key::kSeconds)) t.seconds = NumberAt(*seconds, Place(where, key::kSeconds));
  if (const Json* readings = Find(test, where, key::kReadings)) t.readings = WholeAt(*readings, Place(where, key::kReadings));
  t.system = Number(test, where, key::kSystem);
  if (const Json* attributed = Find(test, where, key::kAttributed)) {
    t.attributed = BooleanAt(*attributed, Place(where, key::kAttributed));
  }
  t.parts = PartsAt<double>(Member(test, where, key::kParts), Place(where, key::kParts),
                            [](const Json& value, const std::string& at, const char*, bool) { return NumberAt(value, at); });
  if (const Json* backEnd = Find(test, where, key::kBackEnd)) {
    const std::string here = Place(where, key::kBackEnd);
    for (const auto& [name, value] : ObjectAt(*backEnd, here).items()) {
      BackEndFigure figure{name};
      if (value.is_string()) {
        figure.text = TextAt(value, Place(here, name));
      } else {
        figure.value = NumberAt(value, Place(here, name));
      }
      t.backEnd.push_back(figure);
    }
  }
  if (const Json* lost = Find(test, where, key::kDeviceLost)) t.deviceLost = BooleanAt(*lost, Place(where, key::kDeviceLost));
  return t;
}

stats::Estimate EstimateOf(const Json& object, const std::string& where, const char* value, const char* interval) {
  return {Number(object, where, value), IntervalAt(Member(object, where, interval), Place(where, interval))};
}

CompanionCost CostAt(const Json& cost, const std::string& where) {
  CompanionCost c;
  c.mode = Text(cost, where, key::kMode);
  c.emitters = Whole(cost, where, key::kEmitters);
  c.rounds = Whole(cost, where, key::kRounds);
  c.cost = EstimateOf(cost, where, key::kCost, key::kCi95);
  c.verdict = Text(cost, where, key::kVerdict);
  if (const Json* rounds = Find(cost, where, key::kPerRound)) {
    const std::string here = Place(where, key::kPerRound);
    const Json& list = ListAt(*rounds, here);
    for (size_t i = 0; i < list.size(); ++i) c.perRound.push_back(NumberAt(list[i], Indexed(here, i)));
  }
  const Json& ranges = Member(cost, where, key::kPartsCi95);
  const std::string rangesWhere = Place(where, key::kPartsCi95);
  c.parts = PartsAt<stats::Estimate>(
      Member(cost, where, key::kParts), Place(where, key::kParts),
      [&](const Json& value, const std::string& at, const char* name, bool server) {
        const Json& range = server ? Member(Member(ranges, rangesWhere, kServersPart), Place(rangesWhere, kServersPart), name)
                                   : Member(ranges, rangesWhere, name);
        return stats::Estimate{NumberAt(value, at), IntervalAt(range, Place(rangesWhere, name))};
      });
  c.perEmitter.ofMachine = EstimateOf(cost, where, key::kPerEmitter, key::kPerEmitterCi95);
  if (Find(cost, where, key::kOfOneProcessor) != nullptr) {
    c.perEmitter.ofOneProcessor = EstimateOf(cost, where, key::kOfOneProcessor, key::kOfOneProcessorCi95);
  }
  c.perEmitter.emittersPerPercentOfOneProcessor =
      EstimateOf(cost, where, key::kEmittersPerPercent, key::kEmittersPerPercentCi95);
  // Written since the attributed cost was added; older companions lack them.
  if (Find(cost, where, key::kAttributed_) != nullptr) {
    c.attributed = EstimateOf(cost, where, key::kAttributed_, key::kAttributedCi95);
    const std::string here = Place(where, key::kAttributedPerRound);
    const Json& list = List(cost, where, key::kAttributedPerRound);
    for (size_t i = 0; i < list.size(); ++i) c.attributedPerRound.push_back(NumberAt(list[i], Indexed(here, i)));
    c.attributedPerEmitter.ofOneProcessor =
        EstimateOf(cost, where, key::kAttributedOfOneProcessor, key::kAttributedOfOneProcessorCi95);
    c.attributedPerEmitter.emittersPerPercentOfOneProcessor =
        EstimateOf(cost, where, key::kAttributedEmittersPerPercent, key::kAttributedEmittersPerPercentCi95);
    c.attributedPerEmitter.ofMachine = EstimateOf(cost, where, key::kAttributedPerEmitter, key::kAttributedPerEmitterCi95);
  }
  if (const Json* fault = Find(cost, where, key::kFault)) c.fault = TextAt(*fault, Place(where, key::kFault));
  return c;
}

CompanionEnvironment EnvironmentAt(const Json& object, const std::string& where) {
  CompanionEnvironment e;
  const auto text = [&](const char* name) {
    const Json* value = Find(object, where, name);
    return value == nullptr ? std::string() : TextAt(*value, Place(where, name));
  };
  const auto number = [&](const char* name) {
    const Json* value = Find(object, where, name);
    return value == nullptr ? kMissing : NumberAt(*value, Place(where, name));
  };
  e.processor = text(key::kProcessor);
  e.clockMhzStart = number(key::kClockMhzStart);
  e.clockMhzEnd = number(key::kClockMhzEnd);
  e.os = text(key::kOs);
  e.kernel = text(key::kKernel);
  e.backEnd = text(key::kBackEnd);
  e.device = text(key::kDevice);
  e.openalOutput = text(key::kOpenalOutput);
  e.openalSettingsFile = text(key::kOpenalSettingsFile);
  e.soundServer = text(key::kSoundServer);
  return e;
}

Companion CompanionAt(const Json& document, const std::string& resultsFileName) {
  Companion companion;
  const Json& format = Member(document, "", key::kFormat);
  if (!format.is_number_integer() || format.get<int64_t>() != kCompanionFormat) {
    throw Malformed{"format is " + OneLine(format.dump()) + ": a companion of another format than " +
                    std::to_string(kCompanionFormat)};
  }
  companion.resultsFile = Text(document, "", key::kResultsFile);
  if (companion.resultsFile != LenientUtf8(resultsFileName)) {
    throw Malformed{"it belongs to " + companion.resultsFile + ", not to " + LenientUtf8(resultsFileName)};
  }
  companion.rounds = Whole(document, "", key::kRounds);
  companion.processors = Whole(document, "", key::kProcessors);
  if (const Json* method = Find(document, "", key::kMeasuringMethod); method != nullptr && !method->is_null()) {
    companion.measuringMethod = static_cast<int>(std::min<uint32_t>(WholeAt(*method, key::kMeasuringMethod), 1000));
  }
  if (const Json* source = Find(document, "", key::kSystemSource)) {
    companion.systemSource = Text(*source, key::kSystemSource, key::kName);
    const Json& resolution = Member(*source, key::kSystemSource, key::kResolutionNs);
    if (!resolution.is_number_unsigned()) WrongType(resolution, Place(key::kSystemSource, key::kResolutionNs), "a whole number");
    companion.systemSourceResolutionNs = resolution.get<uint64_t>();
  }
  if (const Json* resolution = Find(document, "", key::kAttributionResolutionNs)) {
    if (!resolution->is_number_unsigned()) WrongType(*resolution, key::kAttributionResolutionNs, "a whole number");
    companion.attributionResolutionNs = resolution->get<uint64_t>();
  }
  if (const Json* environment = Find(document, "", key::kEnvironment)) {
    companion.environment = EnvironmentAt(*environment, key::kEnvironment);
  }
  const Json& tests = List(document, "", key::kTests);
  for (size_t i = 0; i < tests.size(); ++i) companion.tests.push_back(TestAt(tests[i], Indexed(key::kTests, i)));
  const Json& costs = List(document, "", key::kCosts);
  for (size_t i = 0; i < costs.size(); ++i) companion.costs.push_back(CostAt(costs[i], Indexed(key::kCosts, i)));
  if (const Json* saturated = Find(document, "", key::kSaturated)) companion.saturated = BooleanAt(*saturated, key::kSaturated);
  const Json& warnings = List(document, "", key::kWarnings);
  for (size_t i = 0; i < warnings.size(); ++i) companion.warnings.push_back(TextAt(warnings[i], Indexed(key::kWarnings, i)));
  if (const Json* busiest = Find(document, "", key::kBusiest)) {
    const Json& list = ListAt(*busiest, key::kBusiest);
    for (size_t i = 0; i < list.size(); ++i) {
      const std::string here = Indexed(key::kBusiest, i);
      companion.busiestOtherProcesses.push_back({Text(list[i], here, key::kName), Number(list[i], here, key::kPercent)});
    }
  }
  return companion;
}

}  // namespace

std::string CompanionPathOf(const std::string& resultsPath) {
  const size_t dot = resultsPath.rfind('.');
  const size_t separator = resultsPath.find_last_of("/\\");
  const bool hasExtension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
  return (hasExtension ? resultsPath.substr(0, dot) : resultsPath) + ".json";
}

std::string CompanionText(const Companion& companion) {
  Json tests = Json::array();
  for (const CompanionTest& test : companion.tests) tests.push_back(TestJson(test));
  Json costs = Json::array();
  for (const CompanionCost& cost : companion.costs) costs.push_back(CostJson(cost));
  Json busiest = Json::array();
  for (const ProcessPercent& share : companion.busiestOtherProcesses) {
    busiest.push_back({{key::kName, share.name}, {key::kPercent, NumberJson(share.percent)}});
  }
  const CompanionEnvironment& e = companion.environment;
  const Json document = {
      {key::kFormat, kCompanionFormat},
      {key::kResultsFile, companion.resultsFile},
      {key::kRounds, companion.rounds},
      {key::kProcessors, companion.processors},
      {key::kMeasuringMethod, companion.measuringMethod < 0 ? Json(nullptr) : Json(companion.measuringMethod)},
      {key::kSystemSource,
       {{key::kName, companion.systemSource}, {key::kResolutionNs, companion.systemSourceResolutionNs}}},
      {key::kAttributionResolutionNs, companion.attributionResolutionNs},
      {key::kEnvironment,
       {{key::kProcessor, e.processor},
        {key::kClockMhzStart, NumberJson(e.clockMhzStart)},
        {key::kClockMhzEnd, NumberJson(e.clockMhzEnd)},
        {key::kOs, e.os},
        {key::kKernel, e.kernel},
        {key::kBackEnd, e.backEnd},
        {key::kDevice, e.device},
        {key::kOpenalOutput, e.openalOutput},
        {key::kOpenalSettingsFile, e.openalSettingsFile},
        {key::kSoundServer, e.soundServer}}},
      {key::kTests, tests},
      {key::kCosts, costs},
      {key::kSaturated, companion.saturated},
      {key::kWarnings, companion.warnings},
      {key::kBusiest, busiest}};
  // Texts are UTF-8 by the time they get here; a stray byte is replaced, never fatal.
  return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<Companion> ParseCompanion(std::string_view text, const std::string& resultsFileName, std::string& error) {
  return ParseWith<Companion>(text, error, [&](const Json& document) { return CompanionAt(document, resultsFileName); });
}

std::optional<Companion> ReadCompanion(const std::string& resultsPath, std::string& error) {
  error.clear();
  const std::string path = CompanionPathOf(resultsPath);
  std::error_code failure;
  if (!std::filesystem::exists(std::filesystem::path(path), failure)) return std::nullopt;
  std::string bytes;
  if (!ReadFileBytes(path, kMaxJsonFileBytes, bytes, error)) return std::nullopt;
  const size_t separator = resultsPath.find_last_of("/\\");
  std::optional<Companion> companion =
      ParseCompanion(bytes, separator == std::string::npos ? resultsPath : resultsPath.substr(separator + 1), error);
  if (companion) companion->path = path;
  return companion;
}

}  // namespace results
