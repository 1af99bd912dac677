// SPDX-License-Identifier: GPL-3.0-or-later
// The About page: utility, driver and adapter versions.
#pragma once

#include <QObject>
#include <QString>

#include "app/AppContext.h"

class QWidget;
class QDialog;

class AboutPageController : public QObject {
  Q_OBJECT
 public:
  explicit AboutPageController(AppContext& context, QObject* parent = nullptr);
  ~AboutPageController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Runs once the whole window is loaded and every outlet is set.
  void awakeFromNib();
  QWidget* widget() const { return widget_; }

  void GetAllInformation();

 private:
  AppContext& context_;
  Outlets outlets_;
  QWidget* widget_ = nullptr;  // the tab page, owned by the tab view once inserted
};
