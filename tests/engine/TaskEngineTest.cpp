// SPDX-License-Identifier: GPL-3.0-or-later
// The task engine against a running trelvaned: the requests each task sends, read back
// from the service's journal.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "driver/ZX7100Access.h"
#include "engine/TaskEngine.h"
#include "engine/TaskQueue.h"
#include "support/Journal.h"
#include "support/RecordingAlertPanel.h"
#include "support/TrelvanedFixture.h"

namespace {

using zvtest::JournalLine;

constexpr uint32_t Set(uint32_t oid) {
  return oid | OID_SET_FLAG;
}

struct Request {
  uint32_t selector;
  uint32_t inSize;
  bool operator==(const Request&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Request& r) {
  char text[48];
  std::snprintf(text, sizeof text, "{0x%08X, %u}", r.selector, r.inSize);
  return out << text;
}

// The infrastructure settings every type-2 task starts with (after DISASSOCIATE).
const std::vector<Request> kSettings = {
    {Set(OID_802_11_INFRASTRUCTURE_MODE), 4}, {Set(ZX_OID_802_11_PREAMBLE), 4},
    {Set(OID_802_11_RTS_THRESHOLD), 4},       {Set(OID_802_11_FRAGMENTATION_THRESHOLD), 4},
    {Set(OID_802_11_AUTHENTICATION_MODE), 4}, {Set(OID_802_11_WEP_STATUS), 4},
    {Set(ZX_OID_802_11_TX_POWER_PERCENT), 4},
};

std::vector<Request> Series(std::initializer_list<std::vector<Request>> parts) {
  std::vector<Request> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

uint32_t U32At(const std::vector<uint8_t>& bytes, std::size_t offset) {
  uint32_t value = 0;
  if (offset + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

std::unique_ptr<ProfileRecord> InfrastructureRecord(const std::string& ssid) {
  auto record = std::make_unique<ProfileRecord>();
  PROFILE_DATA& r = record->data();
  r.NetworkType = Ndis802_11Infrastructure;
  r.PreambleType = 2;
  r.RtsThreshold = 2347;
  r.AuthMode = Ndis802_11AuthModeOpen;
  r.WepStatus = Ndis802_11WEPDisabled;
  r.PowerMode = Ndis802_11PowerModeMAX_PSP;
  r.bDisassociateFirst = 1;
  r.Ssid.SsidLength = static_cast<uint32_t>(ssid.size());
  std::memcpy(r.Ssid.Ssid, ssid.data(), ssid.size());
  return record;
}

class TaskEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalState();
    ASSERT_TRUE(service.Start()) << service.LastError();
  }
  void TearDown() override { ProfileDataQueue.clear(); }

  void Queue(std::unique_ptr<ProfileRecord> record, int32_t type) {
    auto task = ProfileData::setProfileData(std::move(record));
    task->setTaskType(type);
    TaskQueue::InsertTaskObject(std::move(task));
  }

  // Runs one DoTask and returns the structure calls it caused.
  std::vector<JournalLine> RunOnce() {
    const std::string mark = "task-" + std::to_string(++marks_);
    EXPECT_TRUE(service.Mark(mark));
    DoTask(adapter, runFlag);
    const auto lines = service.WaitForJournal([&](const std::vector<JournalLine>& all) {
      const auto after = zvtest::AfterMark(all, mark);
      return zvtest::CallsOfKind(after, "open").size() ==
             zvtest::CallsOfKind(after, "close").size();
    });
    return zvtest::CallsOfKind(zvtest::AfterMark(lines, mark), "struct");
  }

  static std::vector<Request> Requests(const std::vector<JournalLine>& calls) {
    std::vector<Request> requests;
    for (const auto& call : calls)
      requests.push_back({zvtest::SelectorOf(call), call.value("in_size", 0u)});
    return requests;
  }

  static std::vector<JournalLine> Sets(const std::vector<JournalLine>& calls, uint32_t oid) {
    return zvtest::StructCalls(calls, Set(oid));
  }

  zvtest::TrelvanedFixture service;
  zvtest::RecordingAlertPanel alerts;
  ZX7100Access adapter{alerts};
  TaskQueue queue;
  int8_t runFlag = 0;
  int marks_ = 0;
};

TEST_F(TaskEngineTest, tasksAreAppliedOnePerCallOldestFirst) {
  for (const char* ssid : {"A", "B", "C"}) Queue(InfrastructureRecord(ssid), kTaskConfigure);

  for (const std::string expected : {"A", "B", "C"}) {
    const auto ssidSets = Sets(RunOnce(), OID_802_11_SSID);
    ASSERT_EQ(ssidSets.size(), 1u) << expected;
    const auto in = zvtest::HexField(ssidSets[0], "in");
    ASSERT_EQ(in.size(), sizeof(NDIS_802_11_SSID));
    EXPECT_EQ(U32At(in, 0), 1u);
    EXPECT_EQ(std::string(1, static_cast<char>(in[4])), expected);
    EXPECT_EQ(runFlag, 0);
  }
  EXPECT_EQ(TaskQueue::GetTaskObject(), nullptr);
  EXPECT_TRUE(Requests(RunOnce()).empty());
}

// The whole type-2 series for the record shapes the producers build.
struct SeriesCase {
  const char* name;
  void (*shape)(ProfileRecord&);
  std::vector<Request> expected;
};

const SeriesCase kSeriesCases[] = {
    {"open without keys", [](ProfileRecord&) {},
     Series({{{Set(OID_802_11_DISASSOCIATE), 4}},
             kSettings,
             {{Set(OID_802_11_POWER_MODE), 4}, {Set(OID_802_11_SSID), 36}}})},
    {"WEP with keys in slots 0 and 2",
     [](ProfileRecord& record) {
       const uint8_t key5[5] = {1, 2, 3, 4, 5};
       const uint8_t key13[13] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
       record.data().WepStatus = Ndis802_11WEPEnabled;
       record.SetWepKey(0, key5, sizeof key5, true);
       record.SetWepKey(2, key13, sizeof key13, false);
     },
     Series({{{Set(OID_802_11_DISASSOCIATE), 4}},
             kSettings,
             {{Set(OID_802_11_ADD_KEY), 44},
              {Set(OID_802_11_REMOVE_KEY), 16},
              {Set(OID_802_11_ADD_KEY), 52},
              {Set(OID_802_11_REMOVE_KEY), 16},
              {Set(OID_802_11_POWER_MODE), 4},
              {Set(OID_802_11_SSID), 36}}})},
    {"WPA-PSK",
     [](ProfileRecord& record) {
       const uint8_t pmk[32] = {0x5A};
       record.data().AuthMode = Ndis802_11AuthModeWPAPSK;
       record.data().WepStatus = Ndis802_11Encryption2Enabled;
       record.SetWpaKey(pmk);
     },
     Series({{{Set(OID_802_11_DISASSOCIATE), 4}},
             kSettings,
             {{Set(ZX_OID_802_11_ADD_WPA), 71},
              {Set(OID_802_11_POWER_MODE), 4},
              {Set(OID_802_11_SSID), 36}}})},
    {"WPA-None ad hoc",
     [](ProfileRecord& record) {
       const uint8_t pmk[32] = {0x33};
       record.data().NetworkType = Ndis802_11IBSS;
       record.data().AuthMode = Ndis802_11AuthModeWPANone;
       record.data().WepStatus = Ndis802_11Encryption3Enabled;
       record.data().ChannelFrequency = 2437000;
       record.SetWpaKey(pmk);
     },
     Series({{{Set(OID_802_11_DISASSOCIATE), 4}},
             kSettings,
             {{Set(OID_802_11_ADD_KEY), 71},
              {OID_802_11_CONFIGURATION, 32},
              {Set(OID_802_11_CONFIGURATION), 32},
              {Set(OID_802_11_SSID), 36}}})},
    {"selected by BSSID without disassociating first",
     [](ProfileRecord& record) {
       record.data().bDisassociateFirst = 0;
       record.data().bUseBssid = 1;
     },
     Series({kSettings, {{Set(OID_802_11_POWER_MODE), 4}, {Set(OID_802_11_BSSID), 6}}})},
    {"with the advanced settings", [](ProfileRecord& record) { record.data().bApplyAdvanced = 1; },
     Series({{{Set(OID_802_11_DISASSOCIATE), 4}},
             kSettings,
             {{Set(OID_802_11_POWER_MODE), 4},
              {Set(ZX_OID_802_11_PHY_MODE), 4},
              {Set(ZX_OID_802_11_STA_CONFIG), 32},
              {Set(OID_802_11_DESIRED_RATES), 8},
              {Set(OID_802_11_SSID), 36}}})},
};

TEST_F(TaskEngineTest, configurationSeriesFollowsTheRecord) {
  for (const SeriesCase& c : kSeriesCases) {
    SCOPED_TRACE(c.name);
    auto record = InfrastructureRecord("Net");
    c.shape(*record);
    Queue(std::move(record), kTaskConfigure);
    EXPECT_EQ(Requests(RunOnce()), c.expected);
  }
}

TEST_F(TaskEngineTest, keyRecordsAndPayloadsReachTheDriverWhole) {
  auto record = InfrastructureRecord("Net");
  const uint8_t key5[5] = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
  record->data().WepStatus = Ndis802_11WEPEnabled;
  record->data().TxPowerIndex = 7;
  record->SetWepKey(0, key5, sizeof key5, true);
  Queue(std::move(record), kTaskConfigure);
  const auto calls = RunOnce();

  // An index outside 0..4 is sent as full power.
  const auto power = Sets(calls, ZX_OID_802_11_TX_POWER_PERCENT);
  ASSERT_EQ(power.size(), 1u);
  EXPECT_EQ(U32At(zvtest::HexField(power[0], "in"), 0), 100u);

  const auto added = Sets(calls, OID_802_11_ADD_KEY);
  ASSERT_EQ(added.size(), 1u);
  const auto key = zvtest::HexField(added[0], "in");
  ASSERT_EQ(key.size(), 44u);
  EXPECT_EQ(U32At(key, 0), 44u);          // Length
  EXPECT_EQ(U32At(key, 4), 0x80000000u);  // slot 0, transmit key
  EXPECT_EQ(U32At(key, 8), 5u);           // KeyLength
  EXPECT_EQ(std::vector<uint8_t>(key.begin() + 28, key.begin() + 33),
            std::vector<uint8_t>(std::begin(key5), std::end(key5)));

  const auto removed = Sets(calls, OID_802_11_REMOVE_KEY);
  ASSERT_EQ(removed.size(), 3u);
  for (uint32_t i = 0; i < 3; ++i) {
    const auto in = zvtest::HexField(removed[i], "in");
    EXPECT_EQ(U32At(in, 0), 16u);
    EXPECT_EQ(U32At(in, 4), i + 1);
    EXPECT_EQ(std::vector<uint8_t>(in.begin() + 8, in.end()),
              (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}));
  }
}

TEST_F(TaskEngineTest, adHocKeepsTheDriversConfigurationAndReplacesItsChannel) {
  auto record = InfrastructureRecord("Peers");
  record->data().NetworkType = Ndis802_11IBSS;
  record->data().ChannelFrequency = 2484000;
  Queue(std::move(record), kTaskConfigure);

  testing::internal::CaptureStderr();
  const auto calls = RunOnce();
  const std::string trace = testing::internal::GetCapturedStderr();

  const auto queried = zvtest::StructCalls(calls, OID_802_11_CONFIGURATION);
  const auto set = Sets(calls, OID_802_11_CONFIGURATION);
  ASSERT_EQ(queried.size(), 1u);
  ASSERT_EQ(set.size(), 1u);
  EXPECT_TRUE(Sets(calls, OID_802_11_POWER_MODE).empty());

  auto expected = zvtest::HexField(queried[0], "out");
  ASSERT_EQ(expected.size(), 32u);
  const uint32_t channel14 = 2484000;
  std::memcpy(expected.data() + 12, &channel14, 4);
  EXPECT_EQ(zvtest::HexField(set[0], "in"), expected);

  EXPECT_NE(trace.find("#### SiteSurveyPageController - DoTask - taskType = 2 ####\n"
                       "#### SiteSurveyPageController - Probe - 2 ####\n"),
            std::string::npos);
  EXPECT_NE(trace.find("#### SiteSurveyPageController - OID_802_11_CONFIGURATION - "
                       "Configuration.BeaconPeriod = " +
                       std::to_string(U32At(expected, 4)) + " ####\n"),
            std::string::npos);
}

TEST_F(TaskEngineTest, selectionTasksAndRescan) {
  auto bySsid = InfrastructureRecord("Only");
  Queue(std::move(bySsid), kTaskSelectBySsid);
  EXPECT_EQ(Requests(RunOnce()), (std::vector<Request>{{Set(OID_802_11_SSID), 36}}));

  auto byBssid = InfrastructureRecord("Only");
  Queue(std::move(byBssid), kTaskSelectByBssid);
  EXPECT_EQ(Requests(RunOnce()), (std::vector<Request>{{Set(OID_802_11_BSSID), 6}}));

  Queue(std::make_unique<ProfileRecord>(), kTaskRescan);
  const auto rescan = RunOnce();
  ASSERT_FALSE(rescan.empty());
  EXPECT_EQ(zvtest::SelectorOf(rescan.front()), Set(OID_802_11_BSSID_LIST_SCAN));
  EXPECT_FALSE(zvtest::StructCalls(rescan, OID_802_11_BSSID_LIST).empty());
  EXPECT_EQ(G_bRescan, 1);
  EXPECT_NE(G_pBssidList, nullptr);
}

TEST_F(TaskEngineTest, tasksThatCannotBeAppliedAreDroppedWithoutRequests) {
  auto withoutRecord = ProfileData::setProfileData(nullptr);
  withoutRecord->setTaskType(kTaskConfigure);
  TaskQueue::InsertTaskObject(std::move(withoutRecord));
  Queue(InfrastructureRecord("Net"), 9);

  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(Requests(RunOnce()).empty());
    EXPECT_EQ(runFlag, 0);
  }
  EXPECT_EQ(TaskQueue::GetTaskObject(), nullptr);
}

TEST_F(TaskEngineTest, callWhileATaskIsAppliedLeavesTheQueueAlone) {
  Queue(InfrastructureRecord("Net"), kTaskConfigure);
  ProfileData* pending = TaskQueue::GetTaskObject();
  runFlag = 1;
  EXPECT_TRUE(Requests(RunOnce()).empty());
  EXPECT_EQ(TaskQueue::GetTaskObject(), pending);
  EXPECT_EQ(runFlag, 1);

  // With nothing queued the flag is cleared again.
  ProfileDataQueue.clear();
  DoTask(adapter, runFlag);
  EXPECT_EQ(runFlag, 0);
}

// Lengths in a record that would take bytes from outside it never reach the driver.
TEST_F(TaskEngineTest, recordLengthsNeverReachPastTheirRecords) {
  auto record = InfrastructureRecord("Net");
  PROFILE_DATA& r = record->data();
  r.Ssid.SsidLength = 40;
  r.WepStatus = Ndis802_11WEPEnabled;
  r.WepKey1Length = 44;  // a length without a key record
  Queue(std::move(record), kTaskConfigure);
  const auto calls = RunOnce();

  EXPECT_TRUE(Sets(calls, OID_802_11_ADD_KEY).empty());
  EXPECT_EQ(Sets(calls, OID_802_11_REMOVE_KEY).size(), 3u);
  const auto ssid = Sets(calls, OID_802_11_SSID);
  ASSERT_EQ(ssid.size(), 1u);
  EXPECT_EQ(U32At(zvtest::HexField(ssid[0], "in"), 0), 32u);
}

}  // namespace
