// SPDX-License-Identifier: GPL-3.0-or-later
// The Link Status page against trelvaned. Link figures move randomly in the service, so
// expectations are computed from the answers the journal recorded.
#include <functional>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QProgressBar>

#include "MonitorPageFixture.h"
#include "monitor/LinkFigures.h"
#include "monitor/LinkStatusPageController.h"
#include "support/EventLoop.h"
#include "support/Journal.h"

namespace {

using zvtest::JournalLine;

constexpr const char* kName32 = "ZvLinkTestNetworkNameOf32Bytes!!";
// One open network on channel 6, and byte counters a few hundred bytes below 2^32.
constexpr const char* kScenario = R"({
  "adapter": {"counters": {"tx_bytes": 4294967000, "rx_bytes": 4294967100}},
  "networks": [
    {"ssid": "ZvLinkTestNetworkNameOf32Bytes!!", "bssid": "00:1A:2B:3C:4D:5E",
     "channel": 6, "signal_dbm": -62}
  ]
})";

template <typename Record>
Record AnswerOf(const JournalLine& line) {
  Record record{};
  const std::vector<uint8_t> out = zvtest::HexField(line, "out");
  EXPECT_EQ(out.size(), sizeof record);
  std::memcpy(&record, out.data(), std::min(out.size(), sizeof record));
  return record;
}

class LinkStatusPageTest : public monitortest::MonitorPageTest {
 protected:
  LinkStatusPageTest() {
    Outlets outlets;
    outlets.SiteSurveyPage = &survey;
    page.setOutlets(outlets);
  }

  QString Shown(const char* name) { return Text(page.widget(), name); }
  int Bar(const char* name) { return page.widget()->findChild<QProgressBar*>(name)->value(); }
  QCheckBox* dBm() { return page.widget()->findChild<QCheckBox*>("dBm"); }

  // Runs one refresh and returns the structure calls it made.
  std::vector<JournalLine> Refresh(const std::string& mark, std::size_t expectedCalls) {
    EXPECT_TRUE(service.Mark(mark));
    page.OnTimer();
    const auto lines = service.WaitForJournal([&](const auto& journal) {
      return zvtest::CallsOfKind(zvtest::AfterMark(journal, mark), "close").size() >= expectedCalls;
    });
    return zvtest::CallsOfKind(zvtest::AfterMark(lines, mark), "struct");
  }

  void ExpectBlankPage(const QString& status) {
    EXPECT_EQ(Shown("Status"), status);
    for (const char* name : {"CurrentChannel", "CurrentTxRate", "ThroughputTx", "ThroughputRx",
                             "LinkQualityState", "SignalStrengthState"}) {
      EXPECT_EQ(Shown(name), "") << name;
    }
    EXPECT_EQ(Bar("LinkQuality"), 0);
    EXPECT_EQ(Bar("SignalStrength"), 0);
    EXPECT_FALSE(dBm()->isChecked());
    EXPECT_EQ(SurveyConnectionLine(), "** Disconnected **");
  }

  LinkStatusPageController page{context};
};

TEST_F(LinkStatusPageTest, connectedRefreshShowsTheLinkFromSixQueriesInOrder) {
  StartService(kScenario);
  ASSERT_TRUE(service.Mark("awake"));
  page.awakeFromNib();
  const auto baselineLines = service.WaitForJournal([](const auto& journal) {
    return !zvtest::CallsOfKind(zvtest::AfterMark(journal, "awake"), "struct").empty();
  });
  const auto baseline = AnswerOf<ZX_802_11_LINK_STATUS>(
      zvtest::CallsOfKind(zvtest::AfterMark(baselineLines, "awake"), "struct").at(0));
  Associate(kName32);
  G_configFromProfile = 1;
  // Let traffic flow (about 200 frames a second) so that the byte counters wrap.
  zvtest::RunEventLoopFor(200);

  const auto first = Refresh("first", 6);
  ASSERT_EQ(first.size(), 6u);
  const uint32_t expectedOrder[] = {
      OID_GEN_MEDIA_CONNECT_STATUS,    OID_802_11_SSID, OID_802_11_BSSID, OID_802_11_CONFIGURATION,
      ZX_OID_802_11_QUERY_LINK_STATUS, OID_802_11_RSSI};
  for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(zvtest::SelectorOf(first[i]), expectedOrder[i]);

  EXPECT_EQ(Shown("Status"), QString(kName32) + " <--> 00-1A-2B-3C-4D-5E");
  EXPECT_EQ(Shown("CurrentChannel"), "6 <--> 2437000 KHz");
  EXPECT_EQ(SurveyConnectionLine(), QString("Connected <--> ") + kName32);
  EXPECT_EQ(G_bCheckedProfileConnect, 1);

  const auto link1 = AnswerOf<ZX_802_11_LINK_STATUS>(first[4]);
  const int32_t rssi1 = AnswerOf<int32_t>(first[5]);
  EXPECT_EQ(Shown("CurrentTxRate").toStdString(), TxRateText(link1.TxRate));
  // The counters wrapped since the baseline: the difference is still the bytes sent.
  ASSERT_LT(link1.TxBytes, baseline.TxBytes) << "the service's counter did not wrap";
  uint32_t txBaseline = baseline.TxBytes;
  uint32_t rxBaseline = baseline.RxBytes;
  EXPECT_EQ(Shown("ThroughputTx").toStdString(), ThroughputText(link1.TxBytes, txBaseline));
  EXPECT_EQ(Shown("ThroughputRx").toStdString(), ThroughputText(link1.RxBytes, rxBaseline));

  const uint32_t quality1 = SmoothLinkQuality(0, link1.LinkQualityRaw);
  const uint32_t signal1 = adapter.ConvertRssiToSignalQuality(rssi1);
  EXPECT_EQ(Shown("LinkQualityState"),
            QString(QualityGrade(quality1)) + QString::number(quality1) + "%");
  EXPECT_EQ(Shown("SignalStrengthState"),
            QString(QualityGrade(signal1)) + QString::number(signal1) + "%");
  EXPECT_EQ(Bar("LinkQuality"), static_cast<int>(quality1));
  EXPECT_EQ(Bar("SignalStrength"), static_cast<int>(signal1));

  // The second sample is averaged with the first; the dBm box shows the raw level.
  dBm()->setChecked(true);
  G_configFromProfile = 0;
  const auto second = Refresh("second", 6);
  ASSERT_EQ(second.size(), 6u);
  const auto link2 = AnswerOf<ZX_802_11_LINK_STATUS>(second[4]);
  const int32_t rssi2 = AnswerOf<int32_t>(second[5]);
  const uint32_t quality2 = SmoothLinkQuality(quality1, link2.LinkQualityRaw);
  const uint32_t signal2 = SmoothSignalQuality(signal1, adapter.ConvertRssiToSignalQuality(rssi2));
  EXPECT_EQ(Shown("LinkQualityState"),
            QString(QualityGrade(quality2)) + QString::number(quality2) + "%");
  EXPECT_EQ(Shown("SignalStrengthState"),
            QString(QualityGrade(signal2)) + QString::number(rssi2) + " dBm");
  EXPECT_EQ(Bar("SignalStrength"), static_cast<int>(signal2));
  EXPECT_TRUE(dBm()->isChecked());
  EXPECT_EQ(G_bCheckedProfileConnect, 0);
}

TEST_F(LinkStatusPageTest, everyWayOfHavingNoLinkBlanksThePage) {
  StartService(kScenario);
  page.awakeFromNib();
  Associate(kName32);
  G_configFromProfile = 1;
  page.OnTimer();
  ASSERT_EQ(G_bCheckedProfileConnect, 1);
  ASSERT_NE(Shown("CurrentChannel"), "");

  const struct {
    const char* name;
    std::function<void()> arrange;
    const char* status;
  } states[] = {
      {"disassociated", [&] { SetU32(OID_802_11_DISASSOCIATE, 0); }, "Disconnected"},
      {"radio flag off", [&] { G_bRadio = 0; }, "Radio Status <--> OFF"},
      {"adapter radio off",
       [&] {
         G_bRadio = 1;
         SetU32(ZX_OID_802_11_RADIO, 0);
       },
       "Radio Status <--> OFF"},
      {"service gone", [&] { ASSERT_EQ(service.Control("unplug"), "ok"); }, "No Device!!"},
      {"no device", [&] { G_bDeviceExist = 0; }, "No Device!!"},
  };
  for (const auto& state : states) {
    SCOPED_TRACE(state.name);
    dBm()->setChecked(true);
    state.arrange();
    page.OnTimer();
    ExpectBlankPage(state.status);
    EXPECT_EQ(G_bCheckedProfileConnect, 0);
  }

  // Not from a profile: the flag is left as it was.
  G_configFromProfile = 0;
  G_bCheckedProfileConnect = 1;
  page.OnTimer();
  EXPECT_EQ(G_bCheckedProfileConnect, 1);
}

TEST_F(LinkStatusPageTest, everyOutletIsNamedForScreenReaders) {
  for (const char* name :
       {"CurrentChannel", "CurrentTxRate", "dBm", "LinkQuality", "LinkQualityState",
        "SignalStrength", "SignalStrengthState", "Status", "ThroughputRx", "ThroughputTx"}) {
    QWidget* control = page.widget()->findChild<QWidget*>(name);
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(control->accessibleName(), name);
  }
}

}  // namespace
