#include <cmath>
#include <filesystem>
#include <string_view>

#include "platform/text_encoding.h"
#include "results/companion.h"
#include "results/file_bytes.h"
#include "results/json_fields.h"

namespace results {
// Named, not anonymous: the unity builds compile both formats in one unit.
namespace companion_format {

using namespace json_fields;

// The file's keys, for the writer and the reader alike.
namespace companion_key {
constexpr const char* kFormat = "format";
constexpr const char* kResultsFile = "results_file";
constexpr const char* kRounds = "rounds";
constexpr const char* kProcessors = "processors";
constexpr const char* kMeasuringMethod = "measuring_method";
constexpr const char* kSystemSource = "system_source";
constexpr const char* kName = "name";
constexpr const char* kResolutionNs = "resolution_ns";
constexpr const char* kMeasuredErrorPercent = "measured_error_percent";
constexpr const char* kAttributionAvailable = "attribution_available";
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
constexpr const char* kTest = "test";
constexpr const char* kMoment = "moment";
constexpr const char* kSecondsIntoTest = "seconds_into_test";
}  // namespace companion_key

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
  if (!parts.attributionAvailable) object[companion_key::kAttributionAvailable] = false;
  return object;
}

Json TestJson(const CompanionTest& test) {
  Json object = {{companion_key::kMode, test.mode},
                 {companion_key::kEmitters, test.emitters},
                 {companion_key::kRound, test.round},
                 {companion_key::kSeconds, NumberJson(test.seconds)},
                 {companion_key::kReadings, test.readings},
                 {companion_key::kSystem, NumberJson(test.system)},
                 {companion_key::kAttributed, test.attributed},
                 {companion_key::kParts, PartsJson(test.parts, NumberJson)}};
  if (!test.backEnd.empty()) {
    Json backEnd = Json::object();
    for (const BackEndFigure& figure : test.backEnd) {
      backEnd[figure.name] = figure.text.empty() ? FigureJson(figure.value) : Json(figure.text);
    }
    object[companion_key::kBackEnd] = backEnd;
  }
  if (test.deviceLost) object[companion_key::kDeviceLost] = true;
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
  Json object = {{companion_key::kMode, cost.mode},
          {companion_key::kEmitters, cost.emitters},
          {companion_key::kRounds, cost.rounds},
          {companion_key::kCost, NumberJson(cost.cost.value)},
          {companion_key::kCi95, IntervalJson(cost.cost.ci95)},
          {companion_key::kVerdict, cost.verdict},
          {companion_key::kPerRound, rounds},
          {companion_key::kParts, PartsJson(cost.parts, [](const stats::Estimate& e) { return NumberJson(e.value); })},
          {companion_key::kPartsCi95, PartsJson(cost.parts, [](const stats::Estimate& e) { return IntervalJson(e.ci95); })},
          {companion_key::kPerEmitter, NumberJson(one.ofMachine.value)},
          {companion_key::kPerEmitterCi95, IntervalJson(one.ofMachine.ci95)},
          {companion_key::kOfOneProcessor, NumberJson(one.ofOneProcessor.value)},
          {companion_key::kOfOneProcessorCi95, IntervalJson(one.ofOneProcessor.ci95)},
          {companion_key::kEmittersPerPercent, NumberJson(one.emittersPerPercentOfOneProcessor.value)},
          {companion_key::kEmittersPerPercentCi95, IntervalJson(one.emittersPerPercentOfOneProcessor.ci95)},
          {companion_key::kAttributed_, NumberJson(cost.attributed.value)},
          {companion_key::kAttributedCi95, IntervalJson(cost.attributed.ci95)},
          {companion_key::kAttributedPerRound, Numbers(cost.attributedPerRound)},
          {companion_key::kAttributedPerEmitter, NumberJson(attributed.ofMachine.value)},
          {companion_key::kAttributedPerEmitterCi95, IntervalJson(attributed.ofMachine.ci95)},
          {companion_key::kAttributedOfOneProcessor, NumberJson(attributed.ofOneProcessor.value)},
          {companion_key::kAttributedOfOneProcessorCi95, IntervalJson(attributed.ofOneProcessor.ci95)},
          {companion_key::kAttributedEmittersPerPercent, NumberJson(attributed.emittersPerPercentOfOneProcessor.value)},
          {companion_key::kAttributedEmittersPerPercentCi95, IntervalJson(attributed.emittersPerPercentOfOneProcessor.ci95)}};
  if (!cost.fault.empty()) object[companion_key::kFault] = cost.fault;
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
  if (const Json* available = Find(object, where, companion_key::kAttributionAvailable)) {
    parts.attributionAvailable = BooleanAt(*available, Place(where, companion_key::kAttributionAvailable));
  }
  const std::string serversWhere = Place(where, kServersPart);
  const Json& servers = ObjectAt(Member(object, where, kServersPart), serversWhere);
  for (const auto& [name, value] : servers.items()) {
    parts.servers[name] = read(value, serversWhere + "." + name, name.c_str(), true);
  }
  return parts;
}

CompanionTest TestAt(const Json& test, const std::string& where) {
  CompanionTest t;
  t.mode = Text(test, where, companion_key::kMode);
  t.emitters = Whole(test, where, companion_key::kEmitters);
  t.round = Whole(test, where, companion_key::kRound);
  if (const Json* seconds = Find(test, where, companion_key::kSeconds)) t.seconds = NumberAt(*seconds, Place(where, companion_key::kSeconds));
  if (const Json* readings = Find(test, where, companion_key::kReadings)) t.readings = WholeAt(*readings, Place(where, companion_key::kReadings));
  t.system = Number(test, where, companion_key::kSystem);
  if (const Json* attributed = Find(test, where, companion_key::kAttributed)) {
    t.attributed = BooleanAt(*attributed, Place(where, companion_key::kAttributed));
  }
  t.parts = PartsAt<double>(Member(test, where, companion_key::kParts), Place(where, companion_key::kParts),
                            [](const Json& value, const std::string& at, const char*, bool) { return NumberAt(value, at); });
  if (const Json* backEnd = Find(test, where, companion_key::kBackEnd)) {
    const std::string here = Place(where, companion_key::kBackEnd);
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
  if (const Json* lost = Find(test, where, companion_key::kDeviceLost)) t.deviceLost = BooleanAt(*lost, Place(where, companion_key::kDeviceLost));
  return t;
}

stats::Estimate EstimateOf(const Json& object, const std::string& where, const char* value, const char* interval) {
  return {Number(object, where, value), IntervalAt(Member(object, where, interval), Place(where, interval))};
}

CompanionCost CostAt(const Json& cost, const std::string& where) {
  CompanionCost c;
  c.mode = Text(cost, where, companion_key::kMode);
  c.emitters = Whole(cost, where, companion_key::kEmitters);
  c.rounds = Whole(cost, where, companion_key::kRounds);
  c.cost = EstimateOf(cost, where, companion_key::kCost, companion_key::kCi95);
  c.verdict = Text(cost, where, companion_key::kVerdict);
  if (const Json* rounds = Find(cost, where, companion_key::kPerRound)) {
    const std::string here = Place(where, companion_key::kPerRound);
    const Json& list = ListAt(*rounds, here);
    for (size_t i = 0; i < list.size(); ++i) c.perRound.push_back(NumberAt(list[i], Indexed(here, i)));
  }
  const Json& ranges = Member(cost, where, companion_key::kPartsCi95);
  const std::string rangesWhere = Place(where, companion_key::kPartsCi95);
  c.parts = PartsAt<stats::Estimate>(
      Member(cost, where, companion_key::kParts), Place(where, companion_key::kParts),
      [&](const Json& value, const std::string& at, const char* name, bool server) {
        const Json& range = server ? Member(Member(ranges, rangesWhere, kServersPart), Place(rangesWhere, kServersPart), name)
                                   : Member(ranges, rangesWhere, name);
        return stats::Estimate{NumberAt(value, at), IntervalAt(range, Place(rangesWhere, name))};
      });
  c.perEmitter.ofMachine = EstimateOf(cost, where, companion_key::kPerEmitter, companion_key::kPerEmitterCi95);
  if (Find(cost, where, companion_key::kOfOneProcessor) != nullptr) {
    c.perEmitter.ofOneProcessor = EstimateOf(cost, where, companion_key::kOfOneProcessor, companion_key::kOfOneProcessorCi95);
  }
  c.perEmitter.emittersPerPercentOfOneProcessor =
      EstimateOf(cost, where, companion_key::kEmittersPerPercent, companion_key::kEmittersPerPercentCi95);
  // Written since the attributed cost was added; older companions lack them.
  if (Find(cost, where, companion_key::kAttributed_) != nullptr) {
    c.attributed = EstimateOf(cost, where, companion_key::kAttributed_, companion_key::kAttributedCi95);
    const std::string here = Place(where, companion_key::kAttributedPerRound);
    const Json& list = List(cost, where, companion_key::kAttributedPerRound);
    for (size_t i = 0; i < list.size(); ++i) c.attributedPerRound.push_back(NumberAt(list[i], Indexed(here, i)));
    c.attributedPerEmitter.ofOneProcessor =
        EstimateOf(cost, where, companion_key::kAttributedOfOneProcessor, companion_key::kAttributedOfOneProcessorCi95);
    c.attributedPerEmitter.emittersPerPercentOfOneProcessor =
        EstimateOf(cost, where, companion_key::kAttributedEmittersPerPercent, companion_key::kAttributedEmittersPerPercentCi95);
    c.attributedPerEmitter.ofMachine = EstimateOf(cost, where, companion_key::kAttributedPerEmitter, companion_key::kAttributedPerEmitterCi95);
  }
  if (const Json* fault = Find(cost, where, companion_key::kFault)) c.fault = TextAt(*fault, Place(where, companion_key::kFault));
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
  e.processor = text(companion_key::kProcessor);
  e.clockMhzStart = number(companion_key::kClockMhzStart);
  e.clockMhzEnd = number(companion_key::kClockMhzEnd);
  e.os = text(companion_key::kOs);
  e.kernel = text(companion_key::kKernel);
  e.backEnd = text(companion_key::kBackEnd);
  e.device = text(companion_key::kDevice);
  e.openalOutput = text(companion_key::kOpenalOutput);
  e.openalSettingsFile = text(companion_key::kOpenalSettingsFile);
  e.soundServer = text(companion_key::kSoundServer);
  return e;
}

Companion CompanionAt(const Json& document, const std::string& resultsFileName) {
  Companion companion;
  const Json& format = Member(document, "", companion_key::kFormat);
  if (!format.is_number_integer() || format.get<int64_t>() != kCompanionFormat) {
    throw Malformed{"format is " + OneLine(format.dump()) + ": a companion of another format than " +
                    std::to_string(kCompanionFormat)};
  }
  companion.resultsFile = Text(document, "", companion_key::kResultsFile);
  // Converted as the writer converts it (on Windows a name in the ANSI code
  // page can also be valid UTF-8).
  const std::string expected = platform::AnsiToUtf8(resultsFileName);
  if (companion.resultsFile != expected) {
    throw Malformed{"it belongs to " + companion.resultsFile + ", not to " + expected};
  }
  companion.rounds = Whole(document, "", companion_key::kRounds);
  companion.processors = Whole(document, "", companion_key::kProcessors);
  if (const Json* method = Find(document, "", companion_key::kMeasuringMethod); method != nullptr && !method->is_null()) {
    companion.measuringMethod = static_cast<int>(std::min<uint32_t>(WholeAt(*method, companion_key::kMeasuringMethod), 1000));
  }
  if (const Json* source = Find(document, "", companion_key::kSystemSource)) {
    companion.systemSource = Text(*source, companion_key::kSystemSource, companion_key::kName);
    const Json& resolution = Member(*source, companion_key::kSystemSource, companion_key::kResolutionNs);
    if (!resolution.is_number_unsigned()) WrongType(resolution, Place(companion_key::kSystemSource, companion_key::kResolutionNs), "a whole number");
    companion.systemSourceResolutionNs = resolution.get<uint64_t>();
    if (const Json* error = Find(*source, companion_key::kSystemSource, companion_key::kMeasuredErrorPercent)) {
      companion.systemSourceErrorPercent =
          NumberAt(*error, Place(companion_key::kSystemSource, companion_key::kMeasuredErrorPercent));
    }
  }
  if (const Json* resolution = Find(document, "", companion_key::kAttributionResolutionNs)) {
    if (!resolution->is_number_unsigned()) WrongType(*resolution, companion_key::kAttributionResolutionNs, "a whole number");
    companion.attributionResolutionNs = resolution->get<uint64_t>();
  }
  if (const Json* environment = Find(document, "", companion_key::kEnvironment)) {
    companion.environment = EnvironmentAt(*environment, companion_key::kEnvironment);
  }
  const Json& tests = List(document, "", companion_key::kTests);
  for (size_t i = 0; i < tests.size(); ++i) companion.tests.push_back(TestAt(tests[i], Indexed(companion_key::kTests, i)));
  const Json& costs = List(document, "", companion_key::kCosts);
  for (size_t i = 0; i < costs.size(); ++i) companion.costs.push_back(CostAt(costs[i], Indexed(companion_key::kCosts, i)));
  if (const Json* saturated = Find(document, "", companion_key::kSaturated)) companion.saturated = BooleanAt(*saturated, companion_key::kSaturated);
  const Json& warnings = List(document, "", companion_key::kWarnings);
  for (size_t i = 0; i < warnings.size(); ++i) companion.warnings.push_back(TextAt(warnings[i], Indexed(companion_key::kWarnings, i)));
  if (const Json* busiest = Find(document, "", companion_key::kBusiest)) {
    const Json& list = ListAt(*busiest, companion_key::kBusiest);
    for (size_t i = 0; i < list.size(); ++i) {
      const std::string here = Indexed(companion_key::kBusiest, i);
      companion.busiestOtherProcesses.push_back({Text(list[i], here, companion_key::kName), Number(list[i], here, companion_key::kPercent)});
    }
  }
  if (const Json* lost = Find(document, "", companion_key::kDeviceLost)) {
    const std::string here = companion_key::kDeviceLost;
    companion.deviceLoss = {Text(*lost, here, companion_key::kTest), Text(*lost, here, companion_key::kMoment),
                            Number(*lost, here, companion_key::kSecondsIntoTest)};
  }
  return companion;
}

}  // namespace companion_format

using namespace companion_format;

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
    busiest.push_back({{companion_key::kName, share.name}, {companion_key::kPercent, NumberJson(share.percent)}});
  }
  const CompanionEnvironment& e = companion.environment;
  Json document = {
      {companion_key::kFormat, kCompanionFormat},
      {companion_key::kResultsFile, companion.resultsFile},
      {companion_key::kRounds, companion.rounds},
      {companion_key::kProcessors, companion.processors},
      {companion_key::kMeasuringMethod, companion.measuringMethod < 0 ? Json(nullptr) : Json(companion.measuringMethod)},
      {companion_key::kSystemSource,
       {{companion_key::kName, companion.systemSource},
        {companion_key::kResolutionNs, companion.systemSourceResolutionNs},
        {companion_key::kMeasuredErrorPercent, NumberJson(companion.systemSourceErrorPercent)}}},
      {companion_key::kAttributionResolutionNs, companion.attributionResolutionNs},
      {companion_key::kEnvironment,
       {{companion_key::kProcessor, e.processor},
        {companion_key::kClockMhzStart, NumberJson(e.clockMhzStart)},
        {companion_key::kClockMhzEnd, NumberJson(e.clockMhzEnd)},
        {companion_key::kOs, e.os},
        {companion_key::kKernel, e.kernel},
        {companion_key::kBackEnd, e.backEnd},
        {companion_key::kDevice, e.device},
        {companion_key::kOpenalOutput, e.openalOutput},
        {companion_key::kOpenalSettingsFile, e.openalSettingsFile},
        {companion_key::kSoundServer, e.soundServer}}},
      {companion_key::kTests, tests},
      {companion_key::kCosts, costs},
      {companion_key::kSaturated, companion.saturated},
      {companion_key::kWarnings, companion.warnings},
      {companion_key::kBusiest, busiest}};
  const CompanionDeviceLoss& loss = companion.deviceLoss;
  if (!loss.test.empty()) {
    document[companion_key::kDeviceLost] = {{companion_key::kTest, loss.test},
                                            {companion_key::kMoment, loss.moment},
                                            {companion_key::kSecondsIntoTest, NumberJson(loss.secondsIntoTest)}};
  }
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
