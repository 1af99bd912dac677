// SPDX-License-Identifier: GPL-3.0-or-later
// ZX7100Access against a running trelvaned: each request's lifecycle as the service sees
// it, the scan list assembled from several blocks, the card initialisation.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "driver/ScanList.h"
#include "driver/ZX7100Access.h"
#include "support/RecordingAlertPanel.h"
#include "support/TrelvanedFixture.h"

namespace {

using zvtest::CallOf;
using zvtest::CallSequence;
using zvtest::CallsOfKind;
using zvtest::JournalLine;
using zvtest::StructCalls;

// Five networks whose 1,500 IE bytes let only two entries share a 4,096-byte block, so the
// list comes in three blocks (2 + 2 + 1).
std::string ThreeBlockScenario() {
  std::string ies =
      "0000000000000000"
      "6400"
      "0100";  // timestamp, interval, capabilities
  for (int i = 0; i < 1488; ++i) ies += "dd";
  std::string networks;
  for (int i = 1; i <= 5; ++i) {
    if (!networks.empty()) networks += ",";
    networks += R"({"ssid": "net)" + std::to_string(i) + R"(", "bssid": "00:11:22:33:44:0)" +
                std::to_string(i) + R"(", "channel": )" + std::to_string(i) +
                R"(, "signal_dbm": -60, "raw_ies": ")" + ies + R"("})";
  }
  return R"({"adapter": {"mac": "00:0C:41:7A:10:99"}, "networks": [)" + networks + "]}";
}

class DriverAccessTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobalState(); }
  void TearDown() override { ResetGlobalState(); }

  // The journal lines after `mark`, once the service has logged `closes` connection ends.
  std::vector<JournalLine> LinesAfter(const std::string& mark, size_t closes) {
    return zvtest::AfterMark(service.WaitForJournal([&](const auto& lines) {
      return CallsOfKind(zvtest::AfterMark(lines, mark), "close").size() >= closes;
    }),
                             mark);
  }

  zvtest::TrelvanedFixture service;
  zvtest::RecordingAlertPanel alerts;
  ZX7100Access adapter{alerts};
};

TEST_F(DriverAccessTest, QueryAndSetEachUseOneFullConnection) {
  ASSERT_TRUE(service.Start(ThreeBlockScenario())) << service.LastError();
  ASSERT_TRUE(service.Mark("query"));

  uint8_t mac[6] = {};
  uint32_t returned = 0;
  ASSERT_TRUE(adapter.OidQueryInformation(OID_802_3_CURRENT_ADDRESS, mac, sizeof(mac), &returned));
  EXPECT_EQ(returned, 6u);
  EXPECT_EQ(std::vector<uint8_t>(mac, mac + 6),
            (std::vector<uint8_t>{0x00, 0x0C, 0x41, 0x7A, 0x10, 0x99}));

  auto lines = LinesAfter("query", 1);
  EXPECT_EQ(CallSequence(lines), "open struct scalar close");
  ASSERT_EQ(StructCalls(lines, OID_802_3_CURRENT_ADDRESS).size(), 1u);
  const JournalLine query = StructCalls(lines, OID_802_3_CURRENT_ADDRESS)[0];
  EXPECT_EQ(query["in_size"], 6);
  EXPECT_EQ(query["out_capacity"], 6);
  EXPECT_EQ(query["set"], false);
  auto scalars = CallsOfKind(lines, "scalar");
  ASSERT_EQ(scalars.size(), 1u);
  EXPECT_EQ(zvtest::SelectorOf(scalars[0]), 1u);

  ASSERT_TRUE(service.Mark("set"));
  uint32_t power = 75;
  uint32_t cell = 0;
  EXPECT_TRUE(adapter.OidSetInformation(ZX_OID_802_11_TX_POWER_PERCENT, &power, 4, &cell, 3));
  lines = LinesAfter("set", 1);
  EXPECT_EQ(CallSequence(lines), "open struct scalar close");
  auto sets = StructCalls(lines, ZX_OID_802_11_TX_POWER_PERCENT | OID_SET_FLAG);
  ASSERT_EQ(sets.size(), 1u) << "a set is sent once, with the set flag";
  EXPECT_EQ(sets[0]["in"], "4b000000");
  EXPECT_EQ(sets[0]["out_capacity"], 0);

  // A code that already carries the flag is sent unchanged.
  ASSERT_TRUE(service.Mark("flagged"));
  EXPECT_TRUE(adapter.OidSetInformation(ZX_OID_802_11_TX_POWER_PERCENT | OID_SET_FLAG, &power, 4,
                                        &cell, 3));
  lines = LinesAfter("flagged", 1);
  EXPECT_EQ(StructCalls(lines, ZX_OID_802_11_TX_POWER_PERCENT | OID_SET_FLAG).size(), 1u);
}

TEST_F(DriverAccessTest, RefusedRequestReportsNoAndLeavesBufferAlone) {
  ASSERT_TRUE(service.Start(ThreeBlockScenario())) << service.LastError();
  // An OID the driver does not know is refused.
  constexpr uint32_t kUnknownOid = 0x0D01FFFF;
  uint32_t value = 0xA5A5A5A5;
  uint32_t returned = 77;
  EXPECT_FALSE(adapter.OidQueryInformation(kUnknownOid, &value, 4, &returned));
  EXPECT_EQ(value, 0xA5A5A5A5);
  EXPECT_EQ(returned, 77u);
}

TEST_F(DriverAccessTest, UnpluggedAdapterAnswersNoWithoutTouchingTheBuffer) {
  ASSERT_TRUE(service.Start(ThreeBlockScenario())) << service.LastError();
  ASSERT_EQ(service.Control("unplug"), "ok");
  uint8_t buffer[6] = {1, 2, 3, 4, 5, 6};
  uint32_t returned = 42;
  EXPECT_FALSE(adapter.OidQueryInformation(OID_802_3_CURRENT_ADDRESS, buffer, 6, &returned));
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 6), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(returned, 42u);
  EXPECT_FALSE(adapter.SearchDevice());
  adapter.CloseConnectToDevice();

  ASSERT_EQ(service.Control("plug"), "ok");
  EXPECT_TRUE(adapter.SearchDevice());
  EXPECT_TRUE(adapter.OpenConnectToDevice());
  adapter.CloseConnectToDevice();
}

TEST_F(DriverAccessTest, ScanListInThreeBlocksBecomesOneList) {
  ASSERT_TRUE(service.Start(ThreeBlockScenario())) << service.LastError();
  uint32_t scan = 0;
  uint32_t returned = 0;
  ASSERT_TRUE(
      adapter.OidQueryInformation(OID_802_11_BSSID_LIST_SCAN | OID_SET_FLAG, &scan, 4, &returned));
  ASSERT_TRUE(service.Mark("fetch"));
  adapter.QueryBssidList();

  auto lines = LinesAfter("fetch", 4);
  EXPECT_EQ(StructCalls(lines, OID_802_11_BSSID_LIST).size(), 1u);
  auto next = StructCalls(lines, ZX_OID_802_11_BSSID_LIST_NEXT);
  ASSERT_EQ(next.size(), 3u) << "two more blocks, then the empty answer";
  EXPECT_EQ(next[2]["out_size"], 0);
  EXPECT_EQ(CallsOfKind(lines, "open").size(), 4u) << "one connection per block";

  ASSERT_NE(G_pBssidList, nullptr);
  ScanListView list = ScanListView::OfGlobalList();
  EXPECT_EQ(list.DeclaredCount(), 5u);
  std::vector<std::string> ssids;
  for (const ScanEntry& entry : list) {
    ssids.push_back(entry.SsidText());
    EXPECT_EQ(entry.Length(), kBssidExFixedSize + 1500);
    EXPECT_EQ(entry.IeArea().size(), 1500u);
  }
  EXPECT_EQ(ssids, (std::vector<std::string>{"net1", "net2", "net3", "net4", "net5"}));

  // Each fetch replaces the list.
  const uint8_t* first = G_pBssidList.get();
  adapter.QueryBssidList();
  EXPECT_NE(G_pBssidList.get(), first);
  EXPECT_EQ(ScanListView::OfGlobalList().Count(), 5u);
}

TEST_F(DriverAccessTest, InitCardWithEepromErrorAlertsOnceAndScansNothing) {
  ASSERT_TRUE(service.Start(R"({"adapter": {"eeprom_error": true}, "networks": []})"))
      << service.LastError();
  ASSERT_TRUE(service.Mark("init"));
  EXPECT_FALSE(adapter.InitCard());

  ASSERT_EQ(alerts.alerts.size(), 1u);
  EXPECT_EQ(alerts.alerts[0].title, "EEPRON error!!");
  EXPECT_EQ(alerts.alerts[0].message, "EEPROM Version error. Please update EEPROM contents.");
  EXPECT_EQ(G_bRescan, 0);
  EXPECT_EQ(G_pBssidList, nullptr);
  auto lines = LinesAfter("init", 1);
  ASSERT_EQ(CallsOfKind(lines, "struct").size(), 1u);
  EXPECT_EQ(zvtest::SelectorOf(CallsOfKind(lines, "struct")[0]), ZX_OID_802_11_STA_CONFIG);
}

TEST_F(DriverAccessTest, InitCardProbesTypesScansAndFetches) {
  // 5 GHz OFDM as the third listed type.
  ASSERT_TRUE(service.Start(R"({"adapter": {"network_types": ["DS", "OFDM24", "OFDM5"]},
                                "networks": [{"ssid": "lab", "bssid": "00:11:22:33:44:55",
                                              "channel": 6}]})"))
      << service.LastError();
  ASSERT_TRUE(service.Mark("init"));
  EXPECT_TRUE(adapter.InitCard());
  EXPECT_TRUE(alerts.alerts.empty());
  EXPECT_EQ(G_bSupportAMode, 1);
  EXPECT_EQ(G_bDialogRunning, 0);
  EXPECT_EQ(G_bRescan, 1);
  ASSERT_EQ(ScanListView::OfGlobalList().Count(), 1u);
  EXPECT_EQ(ScanListView::OfGlobalList().At(0)->SsidText(), "lab");

  auto lines = LinesAfter("init", 5);
  std::vector<uint32_t> selectors;
  for (const auto& line : CallsOfKind(lines, "struct"))
    selectors.push_back(zvtest::SelectorOf(line));
  EXPECT_EQ(selectors,
            (std::vector<uint32_t>{ZX_OID_802_11_STA_CONFIG, OID_802_11_NETWORK_TYPES_SUPPORTED,
                                   OID_802_11_BSSID_LIST_SCAN | OID_SET_FLAG, OID_802_11_BSSID_LIST,
                                   ZX_OID_802_11_BSSID_LIST_NEXT}));
  auto scan = StructCalls(lines, OID_802_11_BSSID_LIST_SCAN | OID_SET_FLAG);
  EXPECT_EQ(scan[0]["in"], "00000000");
  EXPECT_EQ(scan[0]["out_capacity"], 4);
}

TEST(SignalQuality, FollowsTheTable) {
  zvtest::RecordingAlertPanel alerts;
  ZX7100Access adapter(alerts);
  const std::pair<int32_t, uint32_t> cases[] = {
      {0, 100},  {-50, 100}, {-51, 99}, {-70, 50}, {-79, 26}, {-80, 24},      {-81, 23},
      {-85, 13}, {-89, 2},   {-90, 0},  {-91, 0},  {-120, 0}, {INT32_MIN, 0}, {INT32_MAX, 100}};
  for (auto [rssi, quality] : cases) {
    EXPECT_EQ(adapter.ConvertRssiToSignalQuality(rssi), quality) << rssi;
  }
  // The integer form agrees everywhere in the two sloped ranges.
  for (int32_t r = -90; r < -50; ++r) {
    uint32_t expected = r >= -80 ? (r + 80) * 13 / 5 + 24 : (r + 90) * 13 / 5;
    EXPECT_EQ(adapter.ConvertRssiToSignalQuality(r), expected) << r;
  }
}

}  // namespace
