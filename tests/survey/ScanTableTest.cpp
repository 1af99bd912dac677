// SPDX-License-Identifier: GPL-3.0-or-later
// The survey table rebuilt from crafted scan lists, and the connected-row marker.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QIcon>
#include <QLabel>
#include <QTableView>
#include <QWidget>

#include "app/AppContext.h"
#include "app/state/GlobalState.h"
#include "driver/ZX7100Access.h"
#include "platform/UserDefaults.h"
#include "support/PrivateEnvironment.h"
#include "support/RecordingAlertPanel.h"
#include "survey/AccessPointTableModel.h"
#include "survey/ScanListBuilder.h"
#include "survey/SiteSurveyPageController.h"

namespace {

using surveytest::Bytes;
using surveytest::Concat;
using surveytest::Element;
using surveytest::Entry;
using surveytest::Network;
using surveytest::WpaElement;

class ScanTable : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobalState(); }
  void TearDown() override { ResetGlobalState(); }

  zvtest::PrivateEnvironment environment;
  zvtest::RecordingAlertPanel alerts;
  ZX7100Access adapter{alerts};
  platform::UserDefaults defaults{environment.HomeDir() + "/defaults.plist"};
  AppContext context{adapter, alerts, defaults};
  SiteSurveyPageController page{context};

  const std::vector<AccessPoint>& rows() const { return page.tableData().rows(); }
  QTableView* table() const { return page.widget()->findChild<QTableView*>("ApList"); }
};

struct RowExpectation {
  const char* name;
  Entry entry;
  const char* ssid;
  const char* authentication;
  const char* encryption;
  const char* networkType = "Infrastructure";
};

// Every row kind the walk tells apart, in one list.
std::vector<RowExpectation> CraftedNeighbourhood() {
  const Bytes tkipPsk = WpaElement(2, {2}, {2});
  const Entry name32 = Network("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345").Frequency(2437000);
  const Entry hidden = Network("").Privacy();
  const Entry pskTkip = Network("psk").Privacy().Elements(tkipPsk);
  const Entry noneTkip = Network("adhoc").Privacy().Mode(0).Elements(tkipPsk);
  const Entry enterprise = Network("corp").Privacy().Elements(WpaElement(2, {2}, {1}));
  const Entry group4 = Network("ccmp").Privacy().Elements(WpaElement(4, {4}, {2}));
  const Entry group1 = Network("wep40").Privacy().Elements(WpaElement(1, {2}, {2}));
  const Entry group5 = Network("wep104").Privacy().Elements(WpaElement(5, {2}, {2}));
  const Entry twoPairwise = Network("two").Privacy().Elements(WpaElement(2, {2, 4}, {2}));
  const Entry vendorFirst =
      Network("vendor").Privacy().Elements(Concat({Element(221, Bytes(16, 0x11)), tkipPsk}));
  const Entry shortVendorFirst =
      Network("short").Privacy().Elements(Concat({Element(221, Bytes(15, 0x11)), tkipPsk}));
  const Entry emptyFirst =
      Network("emptyfirst").Privacy().Elements(Concat({Element(0, {}), tkipPsk}));
  const Entry emptySecond =
      Network("emptysecond")
          .Privacy()
          .Elements(Concat({Element(0, Bytes(4, 'x')), Element(3, {}), tkipPsk}));
  // The WPA element continues past IELength.
  const Entry runsPast = Network("runspast").Privacy().Elements(tkipPsk).IeLengthField(12 + 10);
  // IELength beyond the entry: the next entry's WPA element must not be read as ours.
  const Entry overstated =
      Network("overstated").Elements(Element(0, Bytes(4, 'x'))).IeLengthField(400);
  const Entry behindOverstated = Network("behind").Elements(tkipPsk);
  const Entry automatic = Network("auto").Mode(2).Elements(tkipPsk);
  // Last: the next entry would start inside this one.
  const Entry length104 = Network("short entry").Privacy().Elements(tkipPsk).LengthField(104);

  return {
      {"32-byte name", name32, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", "Unknown", "Not Used"},
      {"hidden name", hidden, "", "Unknown", "WEP"},
      {"WPA-PSK TKIP", pskTkip, "psk", "WPA-PSK", "TKIP"},
      {"WPA-NONE TKIP", noneTkip, "adhoc", "WPA-NONE", "TKIP", "Ad Hoc"},
      {"key management 1", enterprise, "corp", "WPA", "TKIP"},
      {"group suite 4", group4, "ccmp", "WPA-PSK", "AES-CCMP"},
      {"group suite 1", group1, "wep40", "WPA-PSK", "WEP"},
      {"group suite 5", group5, "wep104", "WPA-PSK", "WEP"},
      {"two pairwise suites", twoPairwise, "two", "WPA-PSK", "TKIP"},
      {"vendor element of 16 bytes first", vendorFirst, "vendor", "Unknown", "WEP"},
      {"short vendor element skipped", shortVendorFirst, "short", "WPA-PSK", "TKIP"},
      {"first element of Length 0", emptyFirst, "emptyfirst", "WPA-PSK", "TKIP"},
      {"element of Length 0 after the first", emptySecond, "emptysecond", "Unknown", "WEP"},
      {"element running past IELength", runsPast, "runspast", "Unknown", "WEP"},
      {"IELength beyond the entry", overstated, "overstated", "Unknown", "Not Used"},
      {"entry behind it", behindOverstated, "behind", "WPA-PSK", "TKIP"},
      {"automatic network", automatic, "auto", "WPA-PSK", "TKIP", "Automatic"},
      {"Length 104 with bytes behind it", length104, "short entry", "Unknown", "WEP"},
  };
}

TEST_F(ScanTable, rebuildShowsOneRowPerEntryWithTheWalksTexts) {
  const std::vector<RowExpectation> expected = CraftedNeighbourhood();
  std::vector<Entry> entries;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    entries.push_back(expected[i].entry);
    entries.back().mac[5] = static_cast<uint8_t>(0xA0 + i);
  }
  surveytest::InstallScanList(entries);

  page.RefreshAPList();

  ASSERT_EQ(rows().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    const AccessPoint& row = rows()[i];
    EXPECT_EQ(row.ssid().toStdString(), expected[i].ssid);
    EXPECT_EQ(row.bssid(), QString::asprintf("00-11-22-33-44-%02X", unsigned(0xA0 + i)));
    EXPECT_EQ(row.authentication().toStdString(), expected[i].authentication);
    EXPECT_EQ(row.encryption().toStdString(), expected[i].encryption);
    EXPECT_EQ(row.network().toStdString(), expected[i].networkType);
  }
  EXPECT_EQ(rows()[0].channel(), "6");
  EXPECT_EQ(rows()[1].channel(), "1");
  EXPECT_EQ(rows()[0].description(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345 00-11-22-33-44-A0 " +
                                         rows()[0].signal() + " 6 Unknown Not Used Infrastructure");
}

TEST_F(ScanTable, rebuildLeavesNoRowSelected) {
  surveytest::InstallScanList({Network("a"), Network("b")});
  page.RefreshAPList();
  table()->selectRow(1);
  ASSERT_TRUE(table()->selectionModel()->hasSelection());

  page.RefreshAPList();

  EXPECT_FALSE(table()->selectionModel()->hasSelection());
  EXPECT_EQ(rows().size(), 2u);
}

TEST_F(ScanTable, emptyOrMissingListGivesAnEmptyTable) {
  page.RefreshAPList();  // no list fetched yet
  EXPECT_TRUE(rows().empty());
  surveytest::InstallScanList({Network("a")});
  page.RefreshAPList();
  surveytest::InstallScanList({});
  page.RefreshAPList();
  EXPECT_TRUE(rows().empty());
}

TEST_F(ScanTable, unknownFrequencyAbandonsThatRebuildOnly) {
  surveytest::InstallScanList(
      {Network("before"), Network("odd").Frequency(2413000), Network("after")});
  testing::internal::CaptureStderr();
  page.RefreshAPList();
  const std::string report = testing::internal::GetCapturedStderr();
  EXPECT_NE(report.find("Invalid parameter not satisfying: FALSE"), std::string::npos);
  ASSERT_EQ(rows().size(), 1u);
  EXPECT_EQ(rows()[0].ssid(), "before");

  // The next tick's rebuild (the probe finds G_bRescan set) works on a sound list again.
  surveytest::InstallScanList({Network("before"), Network("after")});
  G_bDeviceExist = 1;
  G_bRescan = 1;
  G_bRadio = 0;  // the probe stops after marking nothing: no driver here
  page.ProbeConnectStatus();
  EXPECT_EQ(rows().size(), 2u);
  EXPECT_EQ(G_bRescan, 0);
}

TEST_F(ScanTable, markerFollowsTheConnectedRowWhateverItsPosition) {
  std::vector<Entry> entries(130, Network("n"));
  surveytest::InstallScanList(entries);
  page.RefreshAPList();
  const QAbstractItemModel* model = table()->model();
  auto marked = [&] {
    std::vector<int> markedRows;
    for (int row = 0; row < model->rowCount(); ++row) {
      const QVariant image =
          model->index(row, AccessPointTableModel::ConnectedMarker).data(Qt::DecorationRole);
      if (image.isValid()) {
        EXPECT_FALSE(image.value<QIcon>().pixmap(16, 16).isNull()) << "no HANDSHAK image";
        markedRows.push_back(row);
      }
    }
    return markedRows;
  };

  for (int connectedRow : {0, 3, 127, 128, 129}) {
    G_bCurSelItem = connectedRow;
    EXPECT_EQ(marked(), std::vector<int>{connectedRow});
  }
  G_bCurSelItem = -1;
  EXPECT_TRUE(marked().empty());
}

TEST_F(ScanTable, everyControlIsNamedForScreenReaders) {
  for (const char* name : {"ApList", "AddProfile", "Connect", "Rescan", "ConnectStatus"}) {
    QWidget* control = page.widget()->findChild<QWidget*>(name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(control->accessibleName(), name);
  }
  page.UpdateConnectStatus("Connected <--> ZvOpenCafe");
  EXPECT_EQ(page.widget()->findChild<QLabel*>("ConnectStatus")->text(),
            "Connected <--> ZvOpenCafe");
}

}  // namespace
