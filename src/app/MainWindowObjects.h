// SPDX-License-Identifier: GPL-3.0-or-later
// Everything the main window's form brings to life: the window with its tab pages, the
// shared alert panel, user defaults and driver access, the task queue, and every page and
// dialog controller with its outlets set and awakeFromNib called. The program creates one;
// tests create their own.
#pragma once

#include <memory>
#include <string>

#include "app/AppContext.h"
#include "engine/TaskQueue.h"

class QMainWindow;
namespace Ui {
class MainWindow;
}
namespace platform {
class QtAlertPanel;
}

class MainWindowObjects {
 public:
  struct Options {
    // Alerts go here instead of to a message box on the window (tests record them).
    platform::AlertPanel* alerts = nullptr;
    // The user-defaults domain file; empty for the standard domain.
    std::string defaultsPath;
  };

  MainWindowObjects();
  explicit MainWindowObjects(const Options& options);
  ~MainWindowObjects();
  MainWindowObjects(const MainWindowObjects&) = delete;
  MainWindowObjects& operator=(const MainWindowObjects&) = delete;

  QMainWindow* window() const { return window_.get(); }
  const Outlets& outlets() const { return outlets_; }
  AppContext& context() { return context_; }

  void Show();

 private:
  void CreateControllers();
  void InsertPages();
  void ConnectOutlets();
  void Awake();

  std::unique_ptr<Ui::MainWindow> ui_;
  std::unique_ptr<QMainWindow> window_;
  std::unique_ptr<platform::QtAlertPanel> windowAlerts_;  // when no other panel is given
  platform::AlertPanel& alerts_;
  std::unique_ptr<platform::UserDefaults> defaults_;
  std::unique_ptr<ZX7100Access> adapter_;
  AppContext context_;
  TaskQueue taskQueue_;
  Outlets outlets_;
};
