// SPDX-License-Identifier: GPL-3.0-or-later
// The About page: utility, driver and adapter versions, and the link to the project's
// web site.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QObject>
#include <QString>

#include "app/AppContext.h"

class QWidget;
class QDialog;

namespace Ui {
class AboutPage;
}

class AboutPageController : public QObject {
  Q_OBJECT
 public:
  // The address the web link opens.
  static constexpr const char* kWebSiteAddress = "https://zvconfig.invalid/";

  explicit AboutPageController(AppContext& context, QObject* parent = nullptr);
  ~AboutPageController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Runs once the whole window is loaded and every outlet is set.
  void awakeFromNib();
  QWidget* widget() const { return widget_; }

  // The utility's and the driver service's information files. By default they are found
  // beside the program: <bin>/../share/zvconfig/Info.plist and
  // <bin>/../share/trelvane/Info.plist.
  void setInformationFiles(std::string utilityInfoPath, std::string driverInfoPath);
  // What opens the web site; the desktop's URL handler by default.
  void setUrlOpener(std::function<void(const QString&)> opener) { openUrl_ = std::move(opener); }

  // Fills the page; called each time the adapter is (re)initialised.
  void GetAllInformation();
  // Action of the web link.
  void OpenZorvikWeb();

 private:
  AppContext& context_;
  Outlets outlets_;
  QWidget* widget_ = nullptr;  // the tab page, owned by the tab view once inserted
  std::unique_ptr<Ui::AboutPage> ui_;
  std::string utilityInfoPath_;
  std::string driverInfoPath_;
  std::function<void(const QString&)> openUrl_;
};
