// SPDX-License-Identifier: GPL-3.0-or-later
// The advanced settings file and the transmit-rate lists, without Qt or a driver.
#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/PropertyList.h"
#include "settings/AdvancedSettingsFile.h"
#include "settings/TxRateTables.h"

using platform::PlistArray;
using platform::PlistData;
using platform::PlistDict;
using platform::PlistValue;

namespace {

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/zv-settings-XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

PlistDict StoredStrings(int rate, int bg, int burst, int ofdm, int mode) {
  return {{kTxRateKey, std::to_string(rate)},
          {kBGProtectionKey, std::to_string(bg)},
          {kTxBurstKey, std::to_string(burst)},
          {kAdHocUseOfdmKey, std::to_string(ofdm)},
          {kWirelessModeKey, std::to_string(mode)}};
}

}  // namespace

TEST(PlistIntValue, ReadsStringsAndNumbersTheSameLenientWay) {
  struct Case {
    PlistValue value;
    int32_t expected;
  } cases[] = {
      {PlistValue("12"), 12},
      {PlistValue("  -3 Mbps"), -3},
      {PlistValue("+5"), 5},
      {PlistValue("abc"), 0},
      {PlistValue(""), 0},
      {PlistValue("99999999999999999999999"), INT_MAX},
      {PlistValue("-99999999999999999999999"), INT_MIN},
      {PlistValue(int64_t{7}), 7},
      {PlistValue(int64_t{1} << 40), INT_MAX},
      {PlistValue(2.9), 2},
      {PlistValue(-1e300), INT_MIN},
      {PlistValue(true), 1},
      {PlistValue(PlistData{1, 2}), 0},
      {PlistValue(PlistArray{PlistValue("4")}), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlistIntValue(c.value), c.expected) << platform::SerializePropertyList(c.value);
  }
}

TEST(AdvancedSettingsFile, LoadsElementZeroAndLeavesSettingsAloneWhenEmpty) {
  AdvancedSettings settings;
  settings.nTxRate = 9;
  EXPECT_FALSE(LoadAdvancedSettings({}, settings));
  EXPECT_EQ(settings.nTxRate, 9);

  // Numbers and strings mixed, one key missing, a flag stored as 5.
  PlistArray records{PlistValue(PlistDict{{kTxRateKey, PlistValue("7")},
                                          {kBGProtectionKey, PlistValue(int64_t{2})},
                                          {kTxBurstKey, PlistValue("5")},
                                          {kWirelessModeKey, PlistValue("3")}}),
                     PlistValue(StoredStrings(1, 1, 1, 1, 1))};
  ASSERT_TRUE(LoadAdvancedSettings(records, settings));
  EXPECT_EQ(settings, (AdvancedSettings{7, 2, 1, 0, 3}));

  // An element 0 that is not a dictionary holds none of the keys.
  ASSERT_TRUE(LoadAdvancedSettings({PlistValue("junk")}, settings));
  EXPECT_EQ(settings, AdvancedSettings{});
}

TEST(AdvancedSettingsFile, StoreWritesDecimalStringsAndKeepsFurtherElements) {
  PlistArray records;
  StoreAdvancedSettings(records, AdvancedSettings{});
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0], PlistValue(StoredStrings(0, 0, 0, 0, 0)));

  records = {PlistValue("old"), PlistValue(PlistDict{{"Other", PlistValue("x")}}),
             PlistValue(int64_t{3})};
  const PlistArray before = records;
  StoreAdvancedSettings(records, AdvancedSettings{12, 1, 1, 0, 3});
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0], PlistValue(StoredStrings(12, 1, 1, 0, 3)));
  EXPECT_EQ(records[1], before[1]);
  EXPECT_EQ(records[2], before[2]);
}

TEST(AdvancedSettingsFile, ReadGivesAnEmptyArrayForAnythingButAnArrayFile) {
  TempDir dir;
  EXPECT_TRUE(ReadAdvancedSettingsRecords(dir.File("missing.plist")).empty());

  std::ofstream(dir.File("garbage.plist")) << "not a property list";
  EXPECT_TRUE(ReadAdvancedSettingsRecords(dir.File("garbage.plist")).empty());

  ASSERT_TRUE(platform::WritePropertyListFileAtomically(dir.File("dict.plist"),
                                                        PlistValue(StoredStrings(1, 1, 1, 1, 1))));
  EXPECT_TRUE(ReadAdvancedSettingsRecords(dir.File("dict.plist")).empty());

  const PlistArray array{PlistValue(StoredStrings(4, 0, 1, 0, 1)), PlistValue("extra")};
  ASSERT_TRUE(platform::WritePropertyListFileAtomically(dir.File("a.plist"), PlistValue(array)));
  EXPECT_EQ(ReadAdvancedSettingsRecords(dir.File("a.plist")), array);
}

TEST(AdvancedSettingsFile, LivesInThePreferencesFolder) {
  EXPECT_EQ(AdvancedSettingsFilePath(),
            platform::PreferencesDirectory() + "/AdvancedProfileSetting.plist");
}

TEST(TxRateTables, ListsAndRateSetsPerWirelessMode) {
  struct Case {
    int mode;
    size_t entries;
    int index;
    const char* caption;
    RateSet rates;
  } cases[] = {
      {0, 13, 0, "Auto", {108, 96, 72, 48, 22, 11, 4, 2}},
      {0, 13, 3, "5.5 Mbps", {11}},
      {0, 13, 7, "12 Mbps", {24}},
      {0, 13, 12, "54 Mbps", {108}},
      {3, 13, 5, "6 Mbps", {12}},
      {1, 5, 0, "Auto", {22, 11, 4, 2}},
      {1, 5, 1, "1", {2}},
      {1, 5, 2, "2", {4}},
      {1, 5, 4, "11 Mbps", {22}},
      {2, 9, 0, "Auto", {108, 96, 72, 48, 36, 24, 18, 12}},
      {2, 9, 1, "6 Mbps", {12}},
      {2, 9, 8, "54 Mbps", {108}},
  };
  for (const auto& c : cases) {
    const auto list = TxRateListForMode(c.mode);
    ASSERT_EQ(list.size(), c.entries) << "mode " << c.mode;
    EXPECT_STREQ(list[c.index].caption, c.caption) << "mode " << c.mode << " entry " << c.index;
    EXPECT_EQ(list[c.index].rates, c.rates) << "mode " << c.mode << " entry " << c.index;
  }
  EXPECT_TRUE(TxRateListForMode(-1).empty());
  EXPECT_TRUE(TxRateListForMode(4).empty());
}
