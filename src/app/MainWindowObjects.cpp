// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindowObjects.h"

#include <QMainWindow>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/ZvConfig7100Controller.h"
#include "driver/ZX7100Access.h"
#include "monitor/LinkStatusPageController.h"
#include "monitor/StatisticsPageController.h"
#include "platform/UserDefaults.h"
#include "platform/qt/QtAlertPanel.h"
#include "profiles/ProfileEditorController.h"
#include "profiles/ProfilePageController.h"
#include "settings/AboutPageController.h"
#include "settings/AdvancePageController.h"
#include "survey/HiddenSSIDController.h"
#include "survey/SiteSurveyPageController.h"
#include "survey/WEPSettingController.h"
#include "ui_MainWindow.h"

namespace {

std::unique_ptr<QMainWindow> LoadWindow(Ui::MainWindow& ui) {
  auto window = std::make_unique<QMainWindow>();
  ui.setupUi(window.get());
  return window;
}

// Puts a page controller's widget into its tab page.
void FillTab(QWidget* tab, QWidget* page) {
  if (tab == nullptr || page == nullptr) return;
  tab->layout()->addWidget(page);
}

}  // namespace

MainWindowObjects::MainWindowObjects() : MainWindowObjects(Options{}) {}

MainWindowObjects::MainWindowObjects(const Options& options)
    : ui_(std::make_unique<Ui::MainWindow>()),
      window_(LoadWindow(*ui_)),
      windowAlerts_(options.alerts != nullptr
                        ? nullptr
                        : std::make_unique<platform::QtAlertPanel>(window_.get())),
      alerts_(options.alerts != nullptr ? *options.alerts : *windowAlerts_),
      defaults_(std::make_unique<platform::UserDefaults>(
          options.defaultsPath.empty() ? platform::UserDefaults::StandardDomainPath()
                                       : options.defaultsPath)),
      adapter_(std::make_unique<ZX7100Access>(alerts_)),
      context_{*adapter_, alerts_, *defaults_} {
  CreateControllers();
  InsertPages();
  ConnectOutlets();
  Awake();
}

MainWindowObjects::~MainWindowObjects() {
  // The controllers are children of the window and hold references into the context:
  // they go first.
  window_.reset();
}

void MainWindowObjects::CreateControllers() {
  QMainWindow* parent = window_.get();
  outlets_.mainWindow = parent;
  outlets_.TabView = ui_->TabView;
  outlets_.MainController = new ZvConfig7100Controller(context_, parent);
  outlets_.SiteSurveyPage = new SiteSurveyPageController(context_, parent);
  outlets_.ProfilePage = new ProfilePageController(context_, parent);
  outlets_.LinkStatusPage = new LinkStatusPageController(context_, parent);
  outlets_.StatisticsPage = new StatisticsPageController(context_, parent);
  outlets_.AdvancePage = new AdvancePageController(context_, parent);
  outlets_.AboutPage = new AboutPageController(context_, parent);
  outlets_.ProfileEditor = new ProfileEditorController(context_, parent);
  outlets_.WEPSetting = new WEPSettingController(context_, parent);
  outlets_.HiddenSSID = new HiddenSSIDController(context_, parent);
}

void MainWindowObjects::InsertPages() {
  FillTab(ui_->ProfileTab, outlets_.ProfilePage->widget());
  FillTab(ui_->LinkStatusTab, outlets_.LinkStatusPage->widget());
  FillTab(ui_->SiteSurveyTab, outlets_.SiteSurveyPage->widget());
  FillTab(ui_->StatisticsTab, outlets_.StatisticsPage->widget());
  FillTab(ui_->AdvanceTab, outlets_.AdvancePage->widget());
  FillTab(ui_->AboutTab, outlets_.AboutPage->widget());
}

void MainWindowObjects::ConnectOutlets() {
  outlets_.MainController->setOutlets(outlets_);
  outlets_.SiteSurveyPage->setOutlets(outlets_);
  outlets_.ProfilePage->setOutlets(outlets_);
  outlets_.LinkStatusPage->setOutlets(outlets_);
  outlets_.StatisticsPage->setOutlets(outlets_);
  outlets_.AdvancePage->setOutlets(outlets_);
  outlets_.AboutPage->setOutlets(outlets_);
  outlets_.ProfileEditor->setOutlets(outlets_);
  outlets_.WEPSetting->setOutlets(outlets_);
  outlets_.HiddenSSID->setOutlets(outlets_);
}

void MainWindowObjects::Awake() {
  outlets_.SiteSurveyPage->awakeFromNib();
  outlets_.ProfilePage->awakeFromNib();
  outlets_.LinkStatusPage->awakeFromNib();
  outlets_.StatisticsPage->awakeFromNib();
  outlets_.AdvancePage->awakeFromNib();
  outlets_.AboutPage->awakeFromNib();
  outlets_.ProfileEditor->awakeFromNib();
  outlets_.WEPSetting->awakeFromNib();
  outlets_.HiddenSSID->awakeFromNib();
  // Last, so that the window opens on its page once every page is ready.
  outlets_.MainController->awakeFromNib();
}

void MainWindowObjects::Show() {
  window_->show();
}
