// SPDX-License-Identifier: GPL-3.0-or-later
// The Site Survey page (offscreen) against trelvaned: the table of its default
// neighbourhood, the connected-row marker, and Rescan through the page's own ticks.
#include <cstring>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/AppContext.h"
#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "driver/ZX7100Access.h"
#include "engine/TaskQueue.h"
#include "platform/UserDefaults.h"
#include "support/EventLoop.h"
#include "support/Journal.h"
#include "support/RecordingAlertPanel.h"
#include "support/TrelvanedFixture.h"
#include "survey/AccessPointTableModel.h"
#include "survey/ScanListBuilder.h"
#include "survey/SiteSurveyPageController.h"

namespace {

class SurveyPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalState();
    while (TaskQueue::GetTaskObject() != nullptr) TaskQueue::RemoveTaskObject();
    ASSERT_TRUE(service.Start()) << service.LastError();
    G_bDeviceExist = 1;
    // What the supervision tick does when it finds the adapter: scan, fetch, show.
    adapter.RescanBssidList();
    adapter.QueryBssidList();
    page.RefreshAPList();
  }
  void TearDown() override {
    page.StopSiteSurveyTimer();
    while (TaskQueue::GetTaskObject() != nullptr) TaskQueue::RemoveTaskObject();
    ResetGlobalState();
  }

  QTableView* table() { return page.widget()->findChild<QTableView*>("ApList"); }
  QString Cell(int row, int column) {
    return table()->model()->index(row, column).data().toString();
  }
  int RowOf(const QString& ssid) {
    for (int row = 0; row < table()->model()->rowCount(); ++row) {
      if (Cell(row, AccessPointTableModel::SsidColumn) == ssid) return row;
    }
    return -1;
  }
  std::vector<int> MarkedRows() {
    std::vector<int> rows;
    for (int row = 0; row < table()->model()->rowCount(); ++row) {
      const QModelIndex marker =
          table()->model()->index(row, AccessPointTableModel::ConnectedMarker);
      if (marker.data(Qt::DecorationRole).isValid()) rows.push_back(row);
    }
    return rows;
  }
  void Associate(const std::string& ssid) {
    NDIS_802_11_SSID record{};
    record.SsidLength = static_cast<uint32_t>(ssid.size());
    std::memcpy(record.Ssid, ssid.data(), ssid.size());
    uint32_t returned = 0;
    ASSERT_TRUE(adapter.OidSetInformation(OID_802_11_SSID, &record, sizeof record, &returned, 3));
  }

  zvtest::TrelvanedFixture service;
  zvtest::RecordingAlertPanel alerts;
  ZX7100Access adapter{alerts};
  platform::UserDefaults defaults{service.Environment().HomeDir() + "/defaults.plist"};
  AppContext context{adapter, alerts, defaults};
  SiteSurveyPageController page{context};
};

TEST_F(SurveyPageTest, tableShowsTheDefaultNeighbourhood) {
  ASSERT_EQ(table()->model()->rowCount(), 10);
  const struct {
    const char* ssid;
    const char* channel;
    const char* authentication;
    const char* encryption;
    const char* networkType;
  } expected[] = {
      {"ZvOpenCafe", "1", "Unknown", "Not Used", "Infrastructure"},
      {"ZvWep64", "3", "Unknown", "WEP", "Infrastructure"},
      {"ZvHomeTKIP", "6", "WPA-PSK", "TKIP", "Infrastructure"},
      {"ZvOfficeAES", "8", "WPA-PSK", "AES-CCMP", "Infrastructure"},
      {"ZvCorp8021X", "11", "WPA", "TKIP", "Infrastructure"},
      {"ZvAdhocOpen", "10", "Unknown", "Not Used", "Ad Hoc"},
      {"ZvAdhocWpaNone", "13", "WPA-NONE", "TKIP", "Ad Hoc"},
      {"", "14", "WPA-PSK", "AES-CCMP", "Infrastructure"},  // hidden network
  };
  for (const auto& network : expected) {
    SCOPED_TRACE(network.ssid);
    const int row = RowOf(network.ssid);
    ASSERT_GE(row, 0);
    EXPECT_EQ(Cell(row, AccessPointTableModel::ChannelColumn), network.channel);
    EXPECT_EQ(Cell(row, AccessPointTableModel::AuthenticationColumn), network.authentication);
    EXPECT_EQ(Cell(row, AccessPointTableModel::EncryptionColumn), network.encryption);
    EXPECT_EQ(Cell(row, AccessPointTableModel::NetworkTypeColumn), network.networkType);
  }
  const int cafe = RowOf("ZvOpenCafe");
  EXPECT_EQ(Cell(cafe, AccessPointTableModel::SignalColumn),
            QString::number(adapter.ConvertRssiToSignalQuality(-48)));
  EXPECT_EQ(Cell(cafe, AccessPointTableModel::BssidColumn).size(), 17);
  EXPECT_FALSE(table()->selectionModel()->hasSelection());
}

TEST_F(SurveyPageTest, probeMarksTheConnectedRow) {
  const int farAway = RowOf("ZvFarAway");
  ASSERT_GT(farAway, 0);
  Associate("ZvFarAway");

  page.OnTimer();

  EXPECT_EQ(G_bCurSelItem, farAway);
  EXPECT_EQ(MarkedRows(), std::vector<int>{farAway});
  EXPECT_EQ(G_bRescan, 0);
  EXPECT_EQ(TaskQueue::GetTaskObject(), nullptr);
}

TEST_F(SurveyPageTest, probeAsksForARescanWhileTheConnectedNetworkIsNotListed) {
  Associate("ZvFarAway");
  surveytest::InstallScanList({surveytest::Network("elsewhere")});

  page.ProbeConnectStatus();

  EXPECT_EQ(G_bCurSelItem, -1);
  EXPECT_TRUE(MarkedRows().empty());
  EXPECT_EQ(G_bRescan, 1);
  ASSERT_NE(TaskQueue::GetTaskObject(), nullptr);
  EXPECT_EQ(TaskQueue::GetTaskObject()->getTaskType(), kTaskRescan);

  // The next probe rebuilds the rows from the newest list and asks again.
  page.ProbeConnectStatus();
  ASSERT_EQ(table()->model()->rowCount(), 1);
  EXPECT_EQ(Cell(0, AccessPointTableModel::SsidColumn), "elsewhere");
  EXPECT_EQ(ProfileDataQueue.size(), 2u);
}

TEST_F(SurveyPageTest, rescanShowsAChangedNeighbourhoodWithinTwoTicks) {
  const std::string scenario = service.Environment().HomeDir() + "/changed.json";
  std::ofstream(scenario) << R"({"networks": [
      {"ssid": "ZvNewNeighbour", "bssid": "00:1A:2B:3C:4D:01", "channel": 9},
      {"ssid": "ZvSecondNewcomer", "bssid": "00:1A:2B:3C:4D:02", "channel": 2}]})";
  ASSERT_EQ(service.Control("load " + scenario), "ok");
  ASSERT_TRUE(service.Mark("rescan"));

  page.StartSiteSurveyTimer();
  QTest::mouseClick(page.widget()->findChild<QPushButton*>("Rescan"), Qt::LeftButton);
  ASSERT_TRUE(zvtest::RunEventLoopUntil([&] { return table()->model()->rowCount() == 2; }, 10000));

  EXPECT_GE(RowOf("ZvNewNeighbour"), 0);
  EXPECT_GE(RowOf("ZvSecondNewcomer"), 0);
  // One probe per tick: the rows changed on the second tick at the latest.
  const auto probes = zvtest::StructCalls(zvtest::AfterMark(service.Journal(), "rescan"),
                                          OID_GEN_MEDIA_CONNECT_STATUS);
  EXPECT_LE(probes.size(), 2u);
}

}  // namespace
