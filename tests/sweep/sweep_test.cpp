// The sweep's order, settings files, refusals and figures.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "sweep/openal_settings.h"
#include "sweep/sweep_figures.h"
#include "sweep/sweep_plan.h"

namespace {

using namespace sweep;

// Every point runs once per round, and with an even number of rounds each
// point's mean position in the order is the same: a linear drift of the
// machine weighs on all of them alike.
TEST(SweepOrder, InterleavesConfigurationsAndCancelsDrift) {
  const auto order = SweepOrder(2, 3, 4);
  ASSERT_EQ(order.size(), 24u);
  // Neighbours compare: the configurations alternate within a count.
  EXPECT_EQ(order[0].configuration, 0u);
  EXPECT_EQ(order[1].configuration, 1u);
  EXPECT_EQ(order[0].count, order[1].count);
  std::map<std::pair<size_t, size_t>, double> position;
  std::map<std::pair<size_t, size_t>, int> runs;
  for (size_t i = 0; i < order.size(); ++i) {
    const auto point = std::make_pair(order[i].configuration, order[i].count);
    position[point] += static_cast<double>(i % 6);
    ++runs[point];
  }
  for (const auto& [point, sum] : position) {
    EXPECT_EQ(runs[point], 4);
    EXPECT_DOUBLE_EQ(sum / 4, 2.5);
  }
  // The second pair of rounds starts elsewhere.
  EXPECT_NE(order[12].configuration * 10 + order[12].count, order[0].configuration * 10 + order[0].count);
}

TEST(SweepConfigurations, CombineEveryValueWithTheLastKeyFastest) {
  const auto configurations =
      SweepConfigurations({{"hrtf", {"false", "true"}}, {"resampler", {"point", "bsinc24"}}}, {"null", "pulse"});
  ASSERT_EQ(configurations.size(), 8u);
  EXPECT_EQ(configurations[0].name, "hrtf=false resampler=point");
  EXPECT_EQ(configurations[1].name, "hrtf=false resampler=bsinc24");
  EXPECT_EQ(configurations[4].output, "pulse");
  EXPECT_EQ(SweepConfigurations({}, {}).at(0).name, "default");
}

// The user's settings come first, so that ours, read later, win; a section
// key goes to its section, and a $ is not taken for a variable.
TEST(SweepSettingsText, KeepsTheUsersSettingsUnderneath) {
  SweepConfiguration configuration;
  configuration.settings = {{"hrtf", "true"}, {"decoder/hq-mode", "false"}, {"default-hrtf", "a$b"}};
  const std::string text = SweepSettingsText("[general]\nhrtf = false\nperiods = 4", configuration);
  EXPECT_EQ(text,
            "[general]\nhrtf = false\nperiods = 4\n"
            "[general]\nhrtf = true\ndefault-hrtf = a$$b\n"
            "[decoder]\nhq-mode = false\n");
}

// A key or choice the library's strings lack is refused, with what it has;
// a key merged into a longer string's tail still counts.
TEST(SettingRefusal, AsksTheLibrarysOwnStrings) {
  using namespace std::string_literals;
  const std::string library = "\0default-hrtf\0resampler\0point\0linear\0cubic\0bsinc12\0true\0false\0auto\0sources\0"s;
  EXPECT_EQ(SettingRefusal("hrtf", "true", library), "");
  EXPECT_EQ(SettingRefusal("sources", "512", library), "");
  EXPECT_EQ(SettingRefusal("resampler", "bsinc24", library),
            "resampler: \"bsinc24\" is not one of point, linear, cubic, bsinc12");
  EXPECT_NE(SettingRefusal("sources", "many", library), "");
  EXPECT_EQ(SettingRefusal("hrtf-size", "32", library).rfind("\"hrtf-size\" is not a setting", 0), 0u);
}

sweep::RunResult RunOf(size_t configuration, size_t count, double cost) {
  sweep::RunResult run;
  run.configuration = configuration;
  run.count = count;
  run.cost.value = cost;
  return run;
}

// Costs that grow by 0.02 % a emitter (and 0.06 %) with a little noise:
// the slope is found with an interval that holds it, and the ratio's holds 3.
TEST(SweepFigures, SlopeAndRatioWithIntervals) {
  const std::vector<uint32_t> counts = {1, 64, 128};
  std::vector<sweep::RunResult> runs;
  const double noise[] = {0.05, -0.04, 0.03, -0.05, 0.04, -0.03};
  for (size_t round = 0; round < 2; ++round) {
    for (size_t k = 0; k < counts.size(); ++k) {
      runs.push_back(RunOf(0, k, 0.3 + 0.02 * counts[k] + noise[round * 3 + k]));
      runs.push_back(RunOf(1, k, 0.3 + 0.06 * counts[k] - noise[round * 3 + k]));
    }
  }
  std::vector<results::SweepConfiguration> figures(2);
  sweep::AddFigures(runs, counts, 2, figures);
  ASSERT_EQ(figures[0].points.size(), 3u);
  EXPECT_EQ(figures[0].points[2].rounds, 2u);
  EXPECT_NEAR(figures[0].perEmitter.ofMachine.value, 0.02, 0.001);
  EXPECT_LT(figures[0].perEmitter.ofMachine.ci95.low, 0.02);
  EXPECT_GT(figures[0].perEmitter.ofMachine.ci95.high, 0.02);
  EXPECT_NEAR(figures[1].perEmitter.ofOneProcessor.value, 0.12, 0.002);
  EXPECT_NEAR(figures[1].perEmitter.emittersPerPercentOfOneProcessor.value, 1 / 0.12, 0.2);
  EXPECT_LT(figures[1].ratioToFirst.ci95.low, 3);
  EXPECT_GT(figures[1].ratioToFirst.ci95.high, 3);
  EXPECT_GT(figures[1].ratioToFirst.ci95.low, 2);
  EXPECT_EQ(figures[0].ratioToFirst.value, 1);
}

TEST(SettingDifferences, SayWhatTheLibraryDidInstead) {
  SweepConfiguration configuration;
  configuration.settings = {{"hrtf", "true"}, {"period_size", "1024"}, {"frequency", "48000"}};
  EffectiveSettings effective;
  effective.hrtf = false;
  effective.frequency = 48000;
  effective.refresh = 46;  // 48000 / 1024, whole
  EXPECT_EQ(SettingDifferences(configuration, effective),
            std::vector<std::string>{"hrtf: asked true, the library gave false"});
}

}  // namespace

namespace {

// Back ends are one more dimension; OpenAL Soft's settings and outputs do
// not multiply the others.
TEST(SweepConfigurations, BackEndsAreADimensionAndOnlyOpenALTakesItsSettings) {
  const auto configurations =
      sweep::SweepConfigurations({{"hrtf", {"false", "true"}}}, {"null"}, {"OpenAL", "XAudio2"});
  ASSERT_EQ(configurations.size(), 3u);
  EXPECT_EQ(configurations[0].name, "OpenAL hrtf=false");
  EXPECT_EQ(configurations[1].backEnd, "OpenAL");
  EXPECT_EQ(configurations[2].name, "XAudio2");
  EXPECT_TRUE(configurations[2].settings.empty());
  EXPECT_EQ(configurations[2].output, "");
}

}  // namespace
