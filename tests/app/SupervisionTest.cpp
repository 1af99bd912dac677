// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's objects against a running trelvaned: the supervision tick's
// re-initialisation, the adapter unplugged and plugged again, and the re-apply exchange.
// Ticks are driven by calling OnTimer, so each test decides exactly when one happens.
#include <algorithm>

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTabWidget>

#include "app/MainWindowObjects.h"
#include "app/ZvConfig7100Controller.h"
#include "app/state/GlobalState.h"
#include "driver/OidCatalogue.h"
#include "engine/TaskQueue.h"
#include "platform/UserDefaults.h"
#include "platform/qt/RunLoopTimer.h"
#include "profiles/ProfileStore.h"
#include "support/Journal.h"
#include "support/RecordingAlertPanel.h"
#include "support/StoredProfile.h"
#include "support/TrelvanedFixture.h"
#include "survey/AccessPointTableModel.h"
#include "survey/SiteSurveyPageController.h"

namespace {

using profiles::ProfileEntry;
using zvtest::JournalLine;
namespace key = profiles::key;

constexpr uint32_t Set(uint32_t oid) {
  return oid | OID_SET_FLAG;
}

// An open infrastructure profile that was activated: the one to re-apply.
void StoreActiveProfile() {
  const ProfileEntry entry = testsupport::StoredProfile({{key::kProfileName, "Home"},
                                                         {key::kSsid, "ZvOpen"},
                                                         {key::kEncryptionType, "1"},
                                                         {key::kActiveProfileFlag, "YES"},
                                                         {key::kSelected, "0"}});
  platform::UserDefaults defaults;
  defaults.SetObject(profiles::kProfilesDefaultsKey, platform::PlistArray{entry});
  defaults.SetObject(profiles::kProfileSettingDefaultsKey, platform::PlistArray{entry});
  ASSERT_TRUE(defaults.Synchronize());
}

class SupervisionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalState();
    ASSERT_TRUE(service.Start()) << service.LastError();
  }
  void TearDown() override {
    objects.reset();
    ProfileDataQueue.clear();
    ResetGlobalState();
  }

  void CreateObjects() {
    MainWindowObjects::Options options;
    options.alerts = &alerts;
    objects = std::make_unique<MainWindowObjects>(options);
  }

  ZvConfig7100Controller& controller() { return *objects->outlets().MainController; }
  SiteSurveyPageController& survey() { return *objects->outlets().SiteSurveyPage; }

  bool SurveyTimerRunning() {
    for (auto* timer : survey().findChildren<platform::RunLoopTimer*>())
      if (timer->IsValid()) return true;
    return false;
  }

  // Runs one supervision tick and returns every journal line it caused.
  std::vector<JournalLine> Tick() {
    const std::string mark = "tick-" + std::to_string(++ticks_);
    EXPECT_TRUE(service.Mark(mark));
    controller().OnTimer();
    const auto lines = service.WaitForJournal([&](const std::vector<JournalLine>& all) {
      const auto after = zvtest::AfterMark(all, mark);
      return zvtest::CallsOfKind(after, "open").size() ==
             zvtest::CallsOfKind(after, "close").size();
    });
    return zvtest::AfterMark(lines, mark);
  }

  static std::vector<uint32_t> Selectors(const std::vector<JournalLine>& lines) {
    std::vector<uint32_t> selectors;
    for (const auto& line : zvtest::CallsOfKind(lines, "struct"))
      selectors.push_back(zvtest::SelectorOf(line));
    return selectors;
  }

  // Position of the first request with `selector`, or -1.
  static int IndexOf(const std::vector<uint32_t>& selectors, uint32_t selector) {
    for (std::size_t i = 0; i < selectors.size(); ++i)
      if (selectors[i] == selector) return static_cast<int>(i);
    return -1;
  }

  zvtest::TrelvanedFixture service;
  zvtest::RecordingAlertPanel alerts;
  std::unique_ptr<MainWindowObjects> objects;
  int ticks_ = 0;
};

TEST_F(SupervisionTest, windowOpensOnTheSurveyPageWithSixPagesInOrder) {
  CreateObjects();
  QTabWidget* tabs = objects->window()->findChild<QTabWidget*>("TabView");
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->accessibleName(), "TabView");
  ASSERT_EQ(tabs->count(), 6);
  const char* titles[] = {"Profile",    "Link Status", "Site Survey",
                          "Statistics", "Advance",     "About"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(tabs->tabText(i), titles[i]);
  EXPECT_EQ(tabs->currentIndex(), 2);
  EXPECT_TRUE(tabs->widget(2)->isAncestorOf(survey().widget()));
  EXPECT_FALSE(objects->window()->windowIcon().isNull());
}

TEST_F(SupervisionTest, firstTickInitialisesTheAdapterThenThePagesInOrder) {
  CreateObjects();
  const auto lines = Tick();
  const auto selectors = Selectors(lines);
  EXPECT_EQ(G_bDeviceExist, 1);
  EXPECT_TRUE(alerts.alerts.empty());

  // The tick's two queries, then InitCard: its checks, the scan and the list fetch.
  ASSERT_GE(selectors.size(), 6u);
  EXPECT_EQ(selectors[0], OID_GEN_MEDIA_CONNECT_STATUS);
  EXPECT_EQ(selectors[1], ZX_OID_802_11_QUERY_REAPPLY_REQUEST);
  EXPECT_EQ(selectors[2], ZX_OID_802_11_STA_CONFIG);
  EXPECT_EQ(selectors[3], OID_802_11_NETWORK_TYPES_SUPPORTED);
  EXPECT_EQ(selectors[4], Set(OID_802_11_BSSID_LIST_SCAN));
  EXPECT_EQ(selectors[5], OID_802_11_BSSID_LIST);

  // Then the pages: the advanced settings applied before the about page reads the
  // versions, each once.
  const int scan = IndexOf(selectors, Set(OID_802_11_BSSID_LIST_SCAN));
  const int rates = IndexOf(selectors, Set(OID_802_11_DESIRED_RATES));
  const int version = IndexOf(selectors, ZX_OID_VERSION_INFO);
  EXPECT_LT(scan, rates);
  EXPECT_LT(rates, version);
  EXPECT_EQ(std::count(selectors.begin(), selectors.end(), Set(OID_802_11_BSSID_LIST_SCAN)), 1);
  EXPECT_GT(survey().tableData().rowCount(), 0);
  EXPECT_TRUE(SurveyTimerRunning());

  // Steady state: the next tick only asks the two questions.
  EXPECT_EQ(Selectors(Tick()), (std::vector<uint32_t>{OID_GEN_MEDIA_CONNECT_STATUS,
                                                      ZX_OID_802_11_QUERY_REAPPLY_REQUEST}));
}

TEST_F(SupervisionTest, unplugStopsTheSurveyAndPlugInitialisesOnce) {
  CreateObjects();
  Tick();
  ASSERT_EQ(G_bDeviceExist, 1);
  ASSERT_GT(survey().tableData().rowCount(), 0);

  ASSERT_EQ(service.Control("unplug"), "ok");
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(Selectors(Tick()).empty());
    EXPECT_EQ(G_bDeviceExist, 0);
    EXPECT_EQ(survey().tableData().rowCount(), 0);
    EXPECT_FALSE(SurveyTimerRunning());
  }

  ASSERT_EQ(service.Control("plug"), "ok");
  const auto selectors = Selectors(Tick());
  EXPECT_EQ(G_bDeviceExist, 1);
  EXPECT_EQ(std::count(selectors.begin(), selectors.end(), Set(OID_802_11_BSSID_LIST_SCAN)), 1);
  EXPECT_EQ(std::count(selectors.begin(), selectors.end(), ZX_OID_VERSION_INFO) > 0, true);
  EXPECT_GT(survey().tableData().rowCount(), 0);
  EXPECT_TRUE(SurveyTimerRunning());
  EXPECT_EQ(Selectors(Tick()).size(), 2u);
}

TEST_F(SupervisionTest, radioOffClearsTheListOnEveryTick) {
  CreateObjects();
  Tick();
  ASSERT_GT(survey().tableData().rowCount(), 0);
  G_bRadio = 0;
  Tick();
  EXPECT_EQ(survey().tableData().rowCount(), 0);
  EXPECT_EQ(G_bDeviceExist, 1);
}

TEST_F(SupervisionTest, reapplyWaitsForReadyThenQueuesTheActiveProfileOnce) {
  StoreActiveProfile();
  CreateObjects();
  Tick();
  ASSERT_EQ(ProfileDataQueue.size(), 1u) << "the first tick applies the active profile";
  ProfileDataQueue.clear();

  ASSERT_EQ(service.Control("reapply 3"), "ok");
  const auto selectors = Selectors(Tick());
  EXPECT_EQ(std::count(selectors.begin(), selectors.end(), ZX_OID_802_11_QUERY_REAPPLY_READY), 4);
  ASSERT_EQ(ProfileDataQueue.size(), 1u);
  EXPECT_EQ(ProfileDataQueue.front()->getTaskType(), kTaskConfigure);
  EXPECT_TRUE(alerts.alerts.empty());

  // Without a new request nothing more is queued.
  Tick();
  EXPECT_EQ(ProfileDataQueue.size(), 1u);
}

TEST_F(SupervisionTest, reapplyIsDroppedWhenTheDriverNeverGetsReady) {
  StoreActiveProfile();
  CreateObjects();
  Tick();
  ProfileDataQueue.clear();
  controller().setReapplyReadyWaitLimits(
      {std::chrono::milliseconds(10), std::chrono::milliseconds(300)});

  ASSERT_EQ(service.Control("reapply 1000"), "ok");
  const auto selectors = Selectors(Tick());
  const auto polls =
      std::count(selectors.begin(), selectors.end(), ZX_OID_802_11_QUERY_REAPPLY_READY);
  EXPECT_GT(polls, 1);
  EXPECT_LT(polls, 1000);
  EXPECT_TRUE(ProfileDataQueue.empty());
}

}  // namespace
