// SPDX-License-Identifier: GPL-3.0-or-later
// The Profile page: stored profiles, activation and automatic re-application.
#pragma once

#include <QObject>
#include <QString>

#include "app/AppContext.h"

class QWidget;
class QDialog;

class ProfilePageController : public QObject {
  Q_OBJECT
 public:
  explicit ProfilePageController(AppContext& context, QObject* parent = nullptr);
  ~ProfilePageController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Runs once the whole window is loaded and every outlet is set.
  void awakeFromNib();
  QWidget* widget() const { return widget_; }

  void RefreshProfileList();
  void CheckProfileSettingForConnect();
  void DisabledActivateProfile();

 private:
  AppContext& context_;
  Outlets outlets_;
  QWidget* widget_ = nullptr;  // the tab page, owned by the tab view once inserted
};
