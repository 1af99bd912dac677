// SPDX-License-Identifier: GPL-3.0-or-later
// The Statistics page.
#pragma once

#include <QObject>
#include <QString>

#include "app/AppContext.h"

class QWidget;
class QDialog;

class StatisticsPageController : public QObject {
  Q_OBJECT
 public:
  explicit StatisticsPageController(AppContext& context, QObject* parent = nullptr);
  ~StatisticsPageController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Runs once the whole window is loaded and every outlet is set.
  void awakeFromNib();
  QWidget* widget() const { return widget_; }


 private:
  AppContext& context_;
  Outlets outlets_;
  QWidget* widget_ = nullptr;  // the tab page, owned by the tab view once inserted
};
