// SPDX-License-Identifier: GPL-3.0-or-later
// ZX7100Access and the main window's objects against a driver service that lies: every
// answer it bends must give NO without touching the caller's buffer (AddressSanitizer
// watches for reads and writes outside it), a lying scan list shows only the entries that
// really lie inside it, and the window keeps running: its timers go on and the pages show
// what the honest answers carry.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTabWidget>

#include "HostileDriverService.h"
#include "app/MainWindowObjects.h"
#include "app/ZvConfig7100Controller.h"
#include "app/state/GlobalState.h"
#include "driver/OidCatalogue.h"
#include "driver/ScanList.h"
#include "driver/ZX7100Access.h"
#include "engine/TaskQueue.h"
#include "platform/qt/RunLoopTimer.h"
#include "support/EventLoop.h"
#include "support/RecordingAlertPanel.h"
#include "support/TrelvanedFixture.h"
#include "survey/AccessPointTableModel.h"
#include "survey/SiteSurveyPageController.h"

namespace {

using zvtest::Hostility;

constexpr std::chrono::milliseconds kShortTimeout{300};

class HostileDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalState();
    ASSERT_TRUE(service.Start()) << service.LastError();
  }
  void TearDown() override {
    hostile.reset();
    ProfileDataQueue.clear();
    ResetGlobalState();
  }

  // Puts the lying service in front of trelvaned; the utility finds it as the last unit.
  void Interpose(zvtest::HostileDriverService::Plan plan) {
    hostile = std::make_unique<zvtest::HostileDriverService>(
        service.Environment().RegistryDir(), "Trelvane-1", service.ServiceSocketPath(),
        std::move(plan));
  }

  static zvtest::HostileDriverService::Plan Always(Hostility hostility) {
    return [hostility](uint32_t, int) { return hostility; };
  }

  zvtest::TrelvanedFixture service;
  zvtest::RecordingAlertPanel alerts;
  std::unique_ptr<zvtest::HostileDriverService> hostile;
};

TEST_F(HostileDriverTest, BentAnswersGiveNoAndLeaveTheBufferAlone) {
  // Sets fail too: an answer that is not whole leaves the status in doubt.
  const Hostility cases[] = {Hostility::kPass, Hostility::kTruncated, Hostility::kOversized,
                             Hostility::kSilent, Hostility::kDropMidReply};
  ZX7100Access adapter(alerts, kShortTimeout);
  for (Hostility hostility : cases) {
    SCOPED_TRACE(static_cast<int>(hostility));
    const bool honest = hostility == Hostility::kPass;
    Interpose(Always(hostility));

    // Exactly as large as the answer, on the heap, so that any byte written past it shows.
    std::vector<uint8_t> status(sizeof(ZX_802_11_LINK_STATUS), 0x5A);
    uint32_t returned = 777;
    EXPECT_EQ(adapter.OidQueryInformation(ZX_OID_802_11_QUERY_LINK_STATUS, status.data(),
                                          static_cast<uint32_t>(status.size()), &returned),
              honest);
    if (!honest) {
      EXPECT_EQ(returned, 777u);
      EXPECT_TRUE(std::all_of(status.begin(), status.end(), [](uint8_t b) { return b == 0x5A; }));
    }

    uint32_t power = 50;
    EXPECT_EQ(adapter.OidSetInformation(ZX_OID_802_11_TX_POWER_PERCENT, &power, sizeof(power),
                                        nullptr, 0),
              honest);
    hostile.reset();
  }
  EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(HostileDriverTest, LyingScanListShowsOnlyTheEntriesInsideIt) {
  ZX7100Access adapter(alerts, kShortTimeout);
  auto scanAndCount = [&] {
    uint32_t none = 0;
    EXPECT_TRUE(
        adapter.OidSetInformation(OID_802_11_BSSID_LIST_SCAN, &none, sizeof(none), nullptr, 0));
    adapter.QueryBssidList();
    size_t entries = 0;
    for (const ScanEntry& entry : ScanListView::OfGlobalList()) {
      EXPECT_LE(entry.Offset() + entry.Length(), kBssidListBufferSize);
      EXPECT_FALSE(entry.SsidText().empty() && entry.Fixed().Ssid.SsidLength > 0);
      ++entries;
    }
    return entries;
  };

  Interpose(Always(Hostility::kPass));
  const size_t honest = scanAndCount();
  ASSERT_GE(honest, 3u);

  // Every block claims a thousand entries and its second entry runs off the end: each
  // block still gives its first entry, and nothing from beyond the lie.
  hostile->SetPlan(Always(Hostility::kLyingScanList));
  const size_t lied = scanAndCount();
  EXPECT_GE(lied, 1u);
  EXPECT_LT(lied, honest);
  EXPECT_GT(hostile->Played(Hostility::kLyingScanList), 0);
}

TEST_F(HostileDriverTest, WindowKeepsRunningAndShowsWhatItCan) {
  // Every second scan block lies about its entries; of the other answers every fifth is
  // bent, in turn truncated, oversized or dropped mid-reply; one reply never comes (it
  // costs one reply timeout).
  const Hostility bent[] = {Hostility::kTruncated, Hostility::kOversized, Hostility::kDropMidReply};
  Interpose([&bent, silenced = false](uint32_t selector, int call) mutable {
    if (selector == OID_802_11_BSSID_LIST || selector == ZX_OID_802_11_BSSID_LIST_NEXT) {
      return call % 2 == 0 ? Hostility::kLyingScanList : Hostility::kPass;
    }
    if (call >= 7 && !silenced) {
      silenced = true;
      return Hostility::kSilent;
    }
    if (call % 5 != 4) return Hostility::kPass;
    return bent[(call / 5) % std::size(bent)];
  });

  MainWindowObjects::Options options;
  options.alerts = &alerts;
  MainWindowObjects objects(options);
  objects.Show();
  QTabWidget* tabs = objects.outlets().TabView;
  SiteSurveyPageController& survey = *objects.outlets().SiteSurveyPage;
  ASSERT_NE(tabs, nullptr);

  auto supervisionQueries = [&] {
    const auto selectors = hostile->Selectors();
    return std::count(selectors.begin(), selectors.end(), OID_GEN_MEDIA_CONNECT_STATUS);
  };

  // The survey shows networks from the honest answers.
  EXPECT_TRUE(zvtest::RunEventLoopUntil([&] { return survey.tableData().rowCount() > 0; }, 12000));

  // Every page in turn, one tick each, while the bending goes on.
  for (int page = 0; page < tabs->count(); ++page) {
    tabs->setCurrentIndex(page);
    zvtest::RunEventLoopFor(2050);
  }

  // The supervision timer still ticks.
  const auto before = supervisionQueries();
  zvtest::RunEventLoopFor(4500);
  EXPECT_GE(supervisionQueries() - before, 2);
  EXPECT_TRUE(objects.window()->isVisible());

  for (Hostility played : bent) EXPECT_GT(hostile->Played(played), 0) << static_cast<int>(played);
  EXPECT_GT(hostile->Played(Hostility::kLyingScanList), 0);
  EXPECT_EQ(hostile->Played(Hostility::kSilent), 1);
}

}  // namespace
