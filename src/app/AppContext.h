// SPDX-License-Identifier: GPL-3.0-or-later
// What every controller is given when the main window's objects are created, and the
// outlets through which the controllers reach each other once all of them exist.
#pragma once

class QMainWindow;
class QTabWidget;
class ZX7100Access;
class ZvConfig7100Controller;
class SiteSurveyPageController;
class ProfilePageController;
class LinkStatusPageController;
class StatisticsPageController;
class AdvancePageController;
class AboutPageController;
class ProfileEditorController;
class WEPSettingController;
class HiddenSSIDController;

namespace platform {
class AlertPanel;
class UserDefaults;
}  // namespace platform

struct AppContext {
  ZX7100Access& Adapter;             // shared: it keeps no state between requests
  platform::AlertPanel& Alerts;      // every user-facing failure goes through it
  platform::UserDefaults& Defaults;  // the application's user-defaults domain
};

struct Outlets {
  QMainWindow* mainWindow = nullptr;
  QTabWidget* TabView = nullptr;
  ZvConfig7100Controller* MainController = nullptr;
  SiteSurveyPageController* SiteSurveyPage = nullptr;
  ProfilePageController* ProfilePage = nullptr;
  LinkStatusPageController* LinkStatusPage = nullptr;
  StatisticsPageController* StatisticsPage = nullptr;
  AdvancePageController* AdvancePage = nullptr;
  AboutPageController* AboutPage = nullptr;
  ProfileEditorController* ProfileEditor = nullptr;
  WEPSettingController* WEPSetting = nullptr;
  HiddenSSIDController* HiddenSSID = nullptr;
};
