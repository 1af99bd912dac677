// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on a real X server (xcb), against a running trelvaned, driven through its
// controls with Qt's test input: one pass through every page, checked against the service's
// journal, the preference files and what the pages show.
//
// With ZV_SCREENSHOT_DIR set, every page (and the two dialogs of the pass) is saved there
// as <page>.png while the pass runs; docs/screenshots holds the committed set.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPixmap>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "app/MainWindowObjects.h"
#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "driver/ZX7100Access.h"
#include "engine/TaskQueue.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"
#include "profiles/ProfileStore.h"
#include "profiles/ProfileTableModel.h"
#include "support/EventLoop.h"
#include "support/Journal.h"
#include "support/RecordingAlertPanel.h"
#include "support/TrelvanedFixture.h"
#include "survey/AccessPointTableModel.h"

namespace {

using zvtest::JournalLine;
namespace key = profiles::key;

constexpr const char* kHomeSsid = "ZvHome";
constexpr const char* kHomeBssid = "00-1A-2B-3C-00-03";
constexpr const char* kHomePassphrase = "correct horse battery";
constexpr const char* kAdapterMac = "00-0C-41-7A-10-01";

const std::string kScenario = R"({
  "adapter": {"mac": "00:0C:41:7A:10:01", "eeprom_version": "1.2",
              "counters": {"TransmittedFragmentCount": 1200, "FailedCount": 3}},
  "networks": [
    {"ssid": "ZvHome", "bssid": "00:1A:2B:3C:00:03", "channel": 11, "signal_dbm": -52,
     "security": "wpa-psk", "passphrase": "correct horse battery", "cipher": "aes"},
    {"ssid": "ZvCafe", "bssid": "00:1A:2B:3C:00:01", "channel": 1, "signal_dbm": -61},
    {"ssid": "ZvFlat", "bssid": "00:1A:2B:3C:00:02", "channel": 6, "signal_dbm": -74,
     "security": "wep", "wep_key": "A1B2C3D4E5"}
  ]})";

// Tab order of the main window.
enum Page { kProfilePage, kLinkStatusPage, kSurveyPage, kStatisticsPage, kAdvancePage, kAboutPage };

// A few supervision and survey ticks (2 seconds each) with room to spare.
constexpr int kTicksMs = 12000;

constexpr uint32_t Set(uint32_t oid) {
  return oid | OID_SET_FLAG;
}

std::string SsidOf(const std::vector<uint8_t>& payload) {
  NDIS_802_11_SSID ssid{};
  std::memcpy(&ssid, payload.data(), std::min(payload.size(), sizeof ssid));
  return std::string(reinterpret_cast<const char*>(ssid.Ssid), std::min(ssid.SsidLength, 32u));
}

class WindowEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalState();
    ProfileDataQueue.clear();
    ASSERT_TRUE(service.Start(kScenario)) << service.LastError();
    MainWindowObjects::Options options;
    options.alerts = &alerts;
    objects = std::make_unique<MainWindowObjects>(options);
    objects->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
  }
  void TearDown() override {
    objects.reset();
    ProfileDataQueue.clear();
    ResetGlobalState();
  }

  QMainWindow* window() { return objects->window(); }

  template <typename T>
  T* Control(QWidget* parent, const char* name) {
    T* control = parent->findChild<T*>(name);
    EXPECT_TRUE(control) << name;
    if (control) {
      EXPECT_EQ(control->accessibleName(), QString::fromLatin1(name));
    }
    return control;
  }
  template <typename T>
  T* Control(const char* name) {
    return Control<T>(window(), name);
  }

  void Click(QWidget* parent, const char* button) {
    if (auto* control = Control<QAbstractButton>(parent, button))
      QTest::mouseClick(control, Qt::LeftButton);
  }
  void Click(const char* button) { Click(window(), button); }

  // Clicks the page's tab, as a user does, and lets the page paint.
  void OpenPage(Page page) {
    auto* tabs = Control<QTabWidget>("TabView");
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    ASSERT_EQ(tabs->currentIndex(), page);
    zvtest::RunEventLoopFor(100);
  }

  // Clicks the cell of `column` in the row whose `column` text is `text`; false when no
  // row shows it.
  static bool ClickRow(QTableView* table, int column, const QString& text) {
    for (int row = 0; row < table->model()->rowCount(); ++row) {
      const QModelIndex cell = table->model()->index(row, column);
      if (cell.data().toString() != text) continue;
      table->scrollTo(cell);
      QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
      return true;
    }
    return false;
  }

  // Picks an item of a list box with the keyboard, as a user without a mouse does: the
  // first item, then down to the wanted one.
  static void ChooseItem(QComboBox* box, const QString& text) {
    ASSERT_TRUE(box);
    const int wanted = box->findText(text);
    ASSERT_GE(wanted, 0) << text.toStdString();
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < wanted; ++i) QTest::keyClick(box, Qt::Key_Down);
    ASSERT_EQ(box->currentIndex(), wanted);
  }

  static void TypeInto(QLineEdit* field, const QString& text) {
    ASSERT_TRUE(field);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
  }

  // Saves what `widget`'s window shows on the X server as <name>.png when asked to.
  static void Screenshot(QWidget* widget, const char* name) {
    const QByteArray folder = qgetenv("ZV_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    zvtest::RunEventLoopFor(300);  // let the last changes paint
    QWidget* top = widget->window();
    QPixmap picture = top->screen()->grabWindow(top->winId());
    if (picture.isNull()) picture = top->grab();
    const QString path = QString::fromLocal8Bit(folder) + "/" + name + ".png";
    EXPECT_TRUE(picture.save(path)) << path.toStdString();
  }

  // The journal lines after a new mark, once `done` holds for them.
  std::string NewMark(const char* what) {
    const std::string mark = std::string(what) + "-" + std::to_string(++marks_);
    EXPECT_TRUE(service.Mark(mark));
    return mark;
  }
  std::vector<JournalLine> WaitAfter(
      const std::string& mark, const std::function<bool(const std::vector<JournalLine>&)>& done) {
    std::vector<JournalLine> after;
    zvtest::RunEventLoopUntil(
        [&] {
          after = zvtest::AfterMark(service.Journal(), mark);
          return done(after);
        },
        kTicksMs);
    return after;
  }
  static auto HasSet(uint32_t oid) {
    return [oid](const std::vector<JournalLine>& lines) {
      return !zvtest::StructCalls(lines, Set(oid)).empty();
    };
  }

  // The network the adapter is associated with now ("" when none).
  std::string AssociatedSsid() {
    NDIS_802_11_SSID ssid{};
    uint32_t returned = 0, connected = 1;
    ZX7100Access& adapter = objects->context().Adapter;
    if (!adapter.OidQueryInformation(OID_GEN_MEDIA_CONNECT_STATUS, &connected, sizeof connected,
                                     &returned) ||
        connected != 0 ||
        !adapter.OidQueryInformation(OID_802_11_SSID, &ssid, sizeof ssid, &returned)) {
      return "";
    }
    return std::string(reinterpret_cast<const char*>(ssid.Ssid), std::min(ssid.SsidLength, 32u));
  }

  int SurveyRows() { return Control<QTableView>("ApList")->model()->rowCount(); }
  QString LinkStatusText() { return Control<QLabel>("Status")->text(); }

  zvtest::TrelvanedFixture service;
  zvtest::RecordingAlertPanel alerts;
  std::unique_ptr<MainWindowObjects> objects;

 private:
  int marks_ = 0;
};

TEST_F(WindowEndToEndTest, OnePassThroughEveryPage) {
  const std::string connectedText = std::string("Connected <--> ") + kHomeSsid;
  const std::string linkText = std::string(kHomeSsid) + " <--> " + kHomeBssid;

  // --- Site Survey: the window opens on it; the first tick finds the adapter.
  auto* tabs = Control<QTabWidget>("TabView");
  ASSERT_EQ(tabs->currentIndex(), kSurveyPage);
  ASSERT_TRUE(zvtest::RunEventLoopUntil([&] { return SurveyRows() == 3; }, kTicksMs))
      << "rows: " << SurveyRows();

  std::string mark = NewMark("rescan");
  Click("Rescan");
  EXPECT_FALSE(WaitAfter(mark, HasSet(OID_802_11_BSSID_LIST_SCAN)).empty());
  ASSERT_TRUE(zvtest::RunEventLoopUntil([&] { return SurveyRows() == 3; }, kTicksMs));
  Screenshot(window(), "site-survey");

  // Join the WPA-PSK network: select its row, Connect, type the key into the security
  // dialog and confirm.
  auto* apList = Control<QTableView>("ApList");
  ASSERT_TRUE(ClickRow(apList, AccessPointTableModel::SsidColumn, kHomeSsid));
  bool securityAsked = false;
  zvtest::WhenModalAppears([&](QWidget* dialog) {
    securityAsked = true;
    auto* auth = Control<QComboBox>(dialog, "AuthenType");
    auto* encryption = Control<QComboBox>(dialog, "EncryType");
    EXPECT_EQ(auth->currentText(), "WPA-PSK");
    EXPECT_EQ(encryption->currentText(), "AES");
    TypeInto(Control<QLineEdit>(dialog, "WPAPreSharedKey"), kHomePassphrase);
    Screenshot(dialog, "security-dialog");
    Click(dialog, "OKButton");
  });
  mark = NewMark("connect");
  Click("Connect");
  ASSERT_TRUE(securityAsked);
  // A surveyed network is joined by its address or its name, whichever the row allows.
  const auto joined = WaitAfter(mark, [](const std::vector<JournalLine>& lines) {
    return !zvtest::StructCalls(lines, Set(OID_802_11_SSID)).empty() ||
           !zvtest::StructCalls(lines, Set(OID_802_11_BSSID)).empty();
  });
  EXPECT_FALSE(zvtest::StructCalls(joined, Set(ZX_OID_802_11_ADD_WPA)).empty() &&
               zvtest::StructCalls(joined, Set(OID_802_11_ADD_KEY)).empty())
      << "the pairwise master key reached the adapter";
  EXPECT_TRUE(zvtest::RunEventLoopUntil([&] { return AssociatedSsid() == kHomeSsid; }, kTicksMs));
  EXPECT_TRUE(zvtest::RunEventLoopUntil([&] { return LinkStatusText().toStdString() == linkText; },
                                        kTicksMs))
      << LinkStatusText().toStdString();
  EXPECT_TRUE(zvtest::RunEventLoopUntil(
      [&] { return Control<QLabel>("ConnectStatus")->text().toStdString() == connectedText; },
      kTicksMs))
      << Control<QLabel>("ConnectStatus")->text().toStdString();

  // --- Profile: add a WPA-PSK profile for the network through the editor, then activate it.
  ASSERT_NO_FATAL_FAILURE(OpenPage(kProfilePage));
  auto* profileList = Control<QTableView>("profileList");
  EXPECT_EQ(profileList->model()->rowCount(), 0);
  bool editorShown = false;
  zvtest::WhenModalAppears([&](QWidget* editor) {
    editorShown = true;
    TypeInto(Control<QLineEdit>(editor, "ProfileName"), "Home");
    auto* ssid = Control<QComboBox>(editor, "SSID");
    EXPECT_GE(ssid->findText(kHomeSsid), 0) << "the editor offers the surveyed networks";
    TypeInto(ssid->lineEdit(), kHomeSsid);
    auto* editorTabs = Control<QTabWidget>(editor, "TabView");
    QTest::mouseClick(editorTabs->tabBar(), Qt::LeftButton, {},
                      editorTabs->tabBar()->tabRect(1).center());
    EXPECT_EQ(editorTabs->currentIndex(), 1);
    ChooseItem(Control<QComboBox>(editor, "AuthenType"), "WPA-PSK");
    ChooseItem(Control<QComboBox>(editor, "EncryType"), "AES");
    TypeInto(Control<QLineEdit>(editor, "WPAPreSharedKey"), kHomePassphrase);
    Screenshot(editor, "profile-editor");
    Click(editor, "OKButton");
  });
  Click("AddButton");
  ASSERT_TRUE(editorShown);
  ASSERT_EQ(profileList->model()->rowCount(), 1);
  EXPECT_EQ(profileList->model()->index(0, ProfileTableModel::Profile).data().toString(), "Home");

  // The profile is stored with its key, in files only the user can read.
  const profiles::ProfileEntry* stored = nullptr;
  const platform::UserDefaults written;
  if (const platform::PlistValue* list = written.ObjectForKey(profiles::kProfilesDefaultsKey);
      list && list->asArray() && list->asArray()->size() == 1) {
    stored = list->asArray()->front().asDict();
  }
  ASSERT_TRUE(stored);
  EXPECT_EQ(profiles::EntryText(*stored, key::kSsid), kHomeSsid);
  EXPECT_EQ(profiles::EntryText(*stored, key::kWpaPsk), kHomePassphrase);
  for (const std::string& file : {platform::UserDefaults::StandardDomainPath(),
                                  platform::PreferencesDirectory() + "/Profile.plist"}) {
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0) << file;
    EXPECT_EQ(status.st_mode & 0777, 0600u) << file;
  }

  ASSERT_TRUE(ClickRow(profileList, ProfileTableModel::Profile, "Home"));
  mark = NewMark("activate");
  Click("ActivateButton");
  const auto activated = WaitAfter(mark, HasSet(OID_802_11_SSID));
  const auto profileSsidSets = zvtest::StructCalls(activated, Set(OID_802_11_SSID));
  ASSERT_FALSE(profileSsidSets.empty());
  EXPECT_EQ(SsidOf(zvtest::HexField(profileSsidSets.back(), "in")), kHomeSsid);
  {
    const platform::UserDefaults afterActivation;
    const platform::PlistValue* activation =
        afterActivation.ObjectForKey(profiles::kProfileSettingDefaultsKey);
    ASSERT_TRUE(activation && activation->asArray() && !activation->asArray()->empty());
    EXPECT_EQ(
        profiles::EntryText(*activation->asArray()->front().asDict(), key::kActiveProfileFlag),
        "YES");
  }
  EXPECT_TRUE(zvtest::RunEventLoopUntil([&] { return LinkStatusText().toStdString() == linkText; },
                                        kTicksMs));
  // The page's own tick marks the activated profile as the connected one.
  EXPECT_TRUE(zvtest::RunEventLoopUntil(
      [&] {
        return profileList->model()->index(0, ProfileTableModel::Mark).data(Qt::UserRole) ==
               "CHECKMRK";
      },
      kTicksMs));
  zvtest::RunEventLoopFor(2200);  // the table redraws the mark at its next tick
  Screenshot(window(), "profile");

  // --- Link Status: connected to the network, with channel, rate and figures.
  ASSERT_NO_FATAL_FAILURE(OpenPage(kLinkStatusPage));
  EXPECT_EQ(LinkStatusText().toStdString(), linkText);
  EXPECT_TRUE(Control<QLabel>("CurrentChannel")->text().startsWith("11"))
      << Control<QLabel>("CurrentChannel")->text().toStdString();
  EXPECT_FALSE(Control<QLabel>("CurrentTxRate")->text().isEmpty());
  Screenshot(window(), "link-status");

  // --- Statistics: counters reset through the adapter, then shown from zero again.
  ASSERT_NO_FATAL_FAILURE(OpenPage(kStatisticsPage));
  auto* transmitted = Control<QLabel>("FTS");
  ASSERT_TRUE(
      zvtest::RunEventLoopUntil([&] { return transmitted->text().toLongLong() >= 1200; }, kTicksMs))
      << transmitted->text().toStdString();
  mark = NewMark("reset");
  Click("ResetCounter");
  EXPECT_FALSE(WaitAfter(mark, HasSet(ZX_OID_802_11_RESET_COUNTERS)).empty());
  EXPECT_TRUE(
      zvtest::RunEventLoopUntil([&] { return transmitted->text().toLongLong() < 1200; }, kTicksMs))
      << transmitted->text().toStdString();
  Screenshot(window(), "statistics");

  // --- Advance: Apply sends the radio settings and keeps them in their file.
  ASSERT_NO_FATAL_FAILURE(OpenPage(kAdvancePage));
  const std::string advancedFile =
      platform::PreferencesDirectory() + "/AdvancedProfileSetting.plist";
  std::filesystem::remove(advancedFile);
  auto* apply = Control<QAbstractButton>("Apply");
  Click("EnableTXburst");
  ASSERT_TRUE(apply->isEnabled()) << "a changed setting enables Apply";
  mark = NewMark("apply");
  Click("Apply");
  const auto applied = WaitAfter(mark, HasSet(OID_802_11_DESIRED_RATES));
  EXPECT_FALSE(zvtest::StructCalls(applied, Set(OID_802_11_DESIRED_RATES)).empty());
  EXPECT_FALSE(zvtest::StructCalls(applied, Set(ZX_OID_802_11_STA_CONFIG)).empty())
      << "the changed burst setting went to the adapter";
  EXPECT_TRUE(std::filesystem::exists(advancedFile));
  EXPECT_FALSE(apply->isEnabled());
  Screenshot(window(), "advance");

  // --- About: the utility's version from its information file, the adapter's address.
  ASSERT_NO_FATAL_FAILURE(OpenPage(kAboutPage));
  EXPECT_FALSE(Control<QLabel>("ZvConfigVersion")->text().isEmpty());
  EXPECT_FALSE(Control<QLabel>("DriverVersion")->text().isEmpty());
  EXPECT_EQ(Control<QLabel>("MacAddress")->text().toStdString(), kAdapterMac);
  Screenshot(window(), "about");

  // Nothing in the pass asked the user about a failure.
  for (const auto& alert : alerts.alerts) ADD_FAILURE() << "alert: " << alert.title;
}

}  // namespace

int main(int argc, char** argv) {
  // The pass runs on a real X server; without one there is nothing to test.
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    std::fputs("window test: no X display (run it under xvfb-run); skipped\n", stderr);
    return 77;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
