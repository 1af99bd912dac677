// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic of the Link Status page's figures.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "monitor/LinkFigures.h"

namespace {

TEST(LinkFigures, txRateInHalfMegabits) {
  const struct {
    uint32_t rate;
    const char* text;
  } cases[] = {{0, "0 Mbps"},    {1, "0.5 Mbps"}, {2, "1 Mbps"},
               {11, "5.5 Mbps"}, {22, "11 Mbps"}, {108, "54 Mbps"}};
  for (const auto& c : cases) EXPECT_EQ(TxRateText(c.rate), c.text) << c.rate;
}

TEST(LinkFigures, throughputIsWholeKilobitsPerTickAcrossCounterWraps) {
  const struct {
    uint32_t previous;
    uint32_t now;
    const char* text;
  } cases[] = {
      {0xFFFFFFFFu - 295, 200, "1.0"},  // wrapped: 496 bytes
      {1000, 1249, "0.0"},              // remainder dropped
      {1000, 1250, "1.0"},
      {0, 250000, "1000.0"},
      {7, 7, "0.0"},
  };
  for (const auto& c : cases) {
    uint32_t previous = c.previous;
    EXPECT_EQ(ThroughputText(c.now, previous), c.text) << c.previous << " -> " << c.now;
    EXPECT_EQ(previous, c.now);
  }
}

TEST(LinkFigures, linkQualityIsScaledCappedAndAveragedHalfUp) {
  const struct {
    uint32_t previous;
    uint32_t raw;
    uint32_t expected;
  } cases[] = {
      {0, 0, 10},             // first sample, no averaging
      {0, 75, 100},           // exactly 100
      {0, 80, 100},           // 106 capped
      {0, 0xFFFFFFFFu, 100},  // capped before the conversion
      {60, 51, 66},           // 51 -> 71; (60 + 71) / 2.0 + 0.5
      {100, 0, 55},           // (100 + 10) / 2.0 + 0.5
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SmoothLinkQuality(c.previous, c.raw), c.expected) << c.previous << ", " << c.raw;
  }
}

TEST(LinkFigures, signalIsAveragedHalfUpUnlessThereIsNoSample) {
  EXPECT_EQ(SmoothSignalQuality(0, 83), 83u);
  EXPECT_EQ(SmoothSignalQuality(60, 71), 66u);
  EXPECT_EQ(SmoothSignalQuality(60, 0), 30u);
  // A value that reaches 0 counts as no sample: the next one is taken as it is.
  EXPECT_EQ(SmoothSignalQuality(SmoothSignalQuality(0, 0), 50), 50u);
}

TEST(LinkFigures, gradeBoundaries) {
  const struct {
    uint32_t percent;
    const char* grade;
  } cases[] = {{100, "GOOD "},  {71, "GOOD "}, {70, "NORMAL "},
               {41, "NORMAL "}, {40, "WEAK "}, {0, "WEAK "}};
  for (const auto& c : cases) EXPECT_STREQ(QualityGrade(c.percent), c.grade) << c.percent;
}

}  // namespace
