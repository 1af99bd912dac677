// SPDX-License-Identifier: GPL-3.0-or-later
// The survey page with its two dialogs, the profile page and the profile editor, wired as
// the main window wires them, against a running trelvaned; and a script that answers the
// modal sheets they open.
#pragma once

#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include "app/AppContext.h"
#include "app/state/GlobalState.h"
#include "driver/ZX7100Access.h"
#include "engine/TaskQueue.h"
#include "platform/UserDefaults.h"
#include "profiles/ProfileEditorController.h"
#include "profiles/ProfilePageController.h"
#include "support/RecordingAlertPanel.h"
#include "support/TrelvanedFixture.h"
#include "survey/AccessPointTableModel.h"
#include "survey/HiddenSSIDController.h"
#include "survey/SiteSurveyPageController.h"
#include "survey/WEPSettingController.h"

namespace surveytest {

inline const std::string kHexKey64 =
    "00112233445566778899AABBCCDDEEFF00112233445566778899aabbccddeeff";

// Every kind of network the connect request tells apart, and two WPA-PSK networks on
// channel 6 for adding profiles.
inline const std::string kNeighbourhood = R"({"networks": [
  {"ssid": "ZvOpenCafe", "bssid": "00:1A:2B:3C:00:01", "channel": 1},
  {"ssid": "ZvWep128Shared", "bssid": "00:1A:2B:3C:00:03", "channel": 4, "security": "wep",
   "wep_key": "0102030405060708090A0B0C0D", "wep_auth": "shared"},
  {"ssid": "ZvHomeTKIP", "bssid": "00:1A:2B:3C:00:04", "channel": 6, "security": "wpa-psk",
   "passphrase": "tkip8chr", "cipher": "tkip"},
  {"ssid": "ZvHomeAES", "bssid": "00:1A:2B:3C:00:05", "channel": 6, "security": "wpa-psk",
   "passphrase": "aes-passphrase-2006", "cipher": "aes"},
  {"ssid": "ZvCorp8021X", "bssid": "00:1A:2B:3C:00:06", "channel": 11, "security": "wpa-eap"},
  {"ssid": "ZvAdhocOpen", "bssid": "02:1A:2B:3C:00:07", "channel": 10, "mode": "adhoc"},
  {"ssid": "ZvAdhocAes", "bssid": "02:1A:2B:3C:00:08", "channel": 13, "mode": "adhoc",
   "security": "wpa-none", "passphrase": "adhoc-aes-key", "cipher": "aes"},
  {"ssid": "ZvHiddenLab", "bssid": "00:1A:2B:3C:00:09", "channel": 14, "hidden": true,
   "security": "wpa-psk", "passphrase": "hidden-lab-key", "cipher": "aes"},
  {"ssid": "ZvHexTKIP", "bssid": "00:1A:2B:3C:00:0B", "channel": 7, "security": "wpa-psk",
   "passphrase": ")" + kHexKey64 + R"(", "cipher": "tkip"}
]})";

// Answers modal dialogs as they open: every 10 ms it looks at the active modal dialog and
// runs the next step on it (a step that leaves the dialog open meets it again on the next
// turn). A dialog that opens when no step is left is recorded and rejected, so a test
// never hangs on a sheet it did not expect.
class ModalScript {
 public:
  using Step = std::function<void(QDialog&)>;

  ModalScript() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Turn(); });
    timer_.start();
  }
  // The next dialog met must be named `dialogName`; `step` acts on it.
  ModalScript& Then(const QString& dialogName, Step step) {
    steps_.emplace_back(dialogName, std::move(step));
    return *this;
  }
  // The names of the dialogs met, one per turn that found one.
  std::vector<QString> shown;

 private:
  void Turn() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    shown.push_back(dialog->objectName());
    if (steps_.empty()) {
      dialog->reject();
      return;
    }
    auto [name, step] = std::move(steps_.front());
    steps_.pop_front();
    EXPECT_EQ(dialog->objectName(), name);
    step(*dialog);
  }

  QTimer timer_;
  std::deque<std::pair<QString, Step>> steps_;
};

template <typename T>
T* Control(QWidget& root, const char* name) {
  T* control = root.findChild<T*>(name);
  EXPECT_NE(control, nullptr) << name;
  return control;
}

// A user's choice in a list: the item is selected and the list's action runs.
inline void Choose(QWidget& root, const char* comboName, int item) {
  QComboBox* combo = Control<QComboBox>(root, comboName);
  combo->setCurrentIndex(item);
  emit combo->activated(item);
}

inline void Type(QWidget& root, const char* fieldName, const QString& text) {
  Control<QLineEdit>(root, fieldName)->setText(text);
}

inline void Press(QWidget& root, const char* buttonName) {
  Control<QPushButton>(root, buttonName)->click();
}

class ConnectFixture : public ::testing::Test {
 protected:
  // Starts trelvaned on `scenarioJson` and shows its scan list on the survey page, as the
  // supervision tick does when it finds the adapter.
  void StartWith(const std::string& scenarioJson) {
    ResetGlobalState();
    ClearQueue();
    ASSERT_TRUE(service.Start(scenarioJson)) << service.LastError();
    G_bDeviceExist = 1;
    adapter.RescanBssidList();
    adapter.QueryBssidList();
    survey.RefreshAPList();
    profiles.RefreshProfileList();
  }

  ConnectFixture() {
    tabs = new QTabWidget;
    window.setCentralWidget(tabs);
    tabs->addTab(profiles.widget(), "Profile");
    tabs->addTab(new QWidget, "Link Status");
    tabs->addTab(survey.widget(), "Site Survey");
    tabs->setCurrentIndex(2);

    Outlets outlets;
    outlets.mainWindow = &window;
    outlets.TabView = tabs;
    outlets.SiteSurveyPage = &survey;
    outlets.ProfilePage = &profiles;
    outlets.ProfileEditor = &editor;
    outlets.WEPSetting = &security;
    outlets.HiddenSSID = &hiddenName;
    survey.setOutlets(outlets);
    profiles.setOutlets(outlets);
    editor.setOutlets(outlets);
    security.setOutlets(outlets);
    hiddenName.setOutlets(outlets);
    survey.awakeFromNib();
    profiles.awakeFromNib();
    editor.awakeFromNib();
    security.awakeFromNib();
    hiddenName.awakeFromNib();
    window.show();
  }

  void TearDown() override {
    survey.StopSiteSurveyTimer();
    ClearQueue();
    ResetGlobalState();
  }

  static void ClearQueue() {
    while (TaskQueue::GetTaskObject() != nullptr) TaskQueue::RemoveTaskObject();
  }

  QTableView& table() { return *survey.widget()->findChild<QTableView*>("ApList"); }
  QString Cell(int row, int column) {
    return table().model()->index(row, column).data().toString();
  }
  // The survey row whose BSSID text is `bssid` ("00-1A-2B-3C-00-01"), or -1.
  int RowOf(const QString& bssid) {
    for (int row = 0; row < table().model()->rowCount(); ++row) {
      if (Cell(row, AccessPointTableModel::BssidColumn) == bssid) return row;
    }
    return -1;
  }
  void SelectRow(const QString& bssid) {
    const int row = RowOf(bssid);
    ASSERT_GE(row, 0) << bssid.toStdString();
    table().selectRow(row);
  }
  bool RowMarked(int row) {
    return table()
        .model()
        ->index(row, AccessPointTableModel::ConnectedMarker)
        .data(Qt::DecorationRole)
        .isValid();
  }
  void PressOnPage(const char* buttonName) { Press(*survey.widget(), buttonName); }

  zvtest::TrelvanedFixture service;
  zvtest::RecordingAlertPanel alerts;
  ZX7100Access adapter{alerts};
  platform::UserDefaults defaults{service.Environment().HomeDir() + "/defaults.plist"};
  AppContext context{adapter, alerts, defaults};
  // The window goes after the controllers, which delete the sheets parented to it.
  QMainWindow window;
  QTabWidget* tabs = nullptr;
  SiteSurveyPageController survey{context};
  ProfilePageController profiles{context};
  ProfileEditorController editor{context};
  WEPSettingController security{context};
  HiddenSSIDController hiddenName{context};
};

}  // namespace surveytest
