#include <gtest/gtest.h>

#include <cmath>

#include "engine/motion_tables.h"

namespace {

bool HasFourDecimals(float value) {
  const double scaled = static_cast<double>(value) * 10000.0;
  return std::fabs(scaled - std::round(scaled)) < 0.01;
}

TEST(MotionTables, FirstEntriesAreTheFixedOnes) {
  EXPECT_FLOAT_EQ(kListenerPositions[0].x, -0.2943f);
  EXPECT_FLOAT_EQ(kListenerPositions[2].z, -0.1253f);
  EXPECT_FLOAT_EQ(kListenerOrientations[1].frontX, 0.7552f);
  EXPECT_FLOAT_EQ(kListenerOrientations[2].frontZ, -0.8015f);
  EXPECT_FLOAT_EQ(kEmitterPositions[0].z, 0.8183f);
  EXPECT_FLOAT_EQ(kEmitterPositions[1].y, -0.6985f);
  EXPECT_FLOAT_EQ(kEmitterDistances[1].maximum, 7.8179f);
  EXPECT_FLOAT_EQ(kEmitterDistances[2].maximum, 5.9665f);
}

TEST(MotionTables, EveryEntryKeepsItsBoundsAndShape) {
  for (int i = 0; i < kMotionTableSize; ++i) {
    SCOPED_TRACE(i);
    for (float v : {kListenerPositions[i].x, kListenerPositions[i].y, kListenerPositions[i].z}) {
      EXPECT_GE(v, -0.5f);
      EXPECT_LE(v, 0.5f);
      EXPECT_TRUE(HasFourDecimals(v));
    }
    const ListenerOrientation& o = kListenerOrientations[i];
    EXPECT_GE(o.frontX, 0.0022f);
    EXPECT_LE(o.frontX, 0.8410f);
    EXPECT_EQ(o.frontY, 0.0f);
    EXPECT_GE(o.frontZ, -1.0f);
    EXPECT_LE(o.frontZ, -0.5411f);
    EXPECT_NEAR(o.frontX * o.frontX + o.frontZ * o.frontZ, 1.0f, 0.001f) << "front is a unit vector";
    EXPECT_EQ(o.topX, 0.0f);
    EXPECT_EQ(o.topY, -1.0f);
    EXPECT_EQ(o.topZ, 0.0f);
    for (float v : {kEmitterPositions[i].x, kEmitterPositions[i].y, kEmitterPositions[i].z}) {
      EXPECT_GE(v, -1.0f);
      EXPECT_LE(v, 1.0f);
    }
    EXPECT_EQ(kEmitterDistances[i].minimum, 1.0f);
    EXPECT_GE(kEmitterDistances[i].maximum, 5.0f);
    EXPECT_LE(kEmitterDistances[i].maximum, 10.0f);
  }
}

TEST(MotionTables, ValuesAreSpreadNotRepeated) {
  // A table filled with one value would pass the bounds; the sources must move.
  int changes = 0;
  for (int i = 1; i < kMotionTableSize; ++i) {
    if (kEmitterPositions[i].x != kEmitterPositions[i - 1].x) ++changes;
  }
  EXPECT_GT(changes, kMotionTableSize * 9 / 10);
  float low = 1, high = -1;
  for (const auto& p : kEmitterPositions) {
    low = std::fmin(low, p.x);
    high = std::fmax(high, p.x);
  }
  EXPECT_LT(low, -0.9f);
  EXPECT_GT(high, 0.9f);
}

}  // namespace
