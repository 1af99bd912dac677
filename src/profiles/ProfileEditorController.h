// SPDX-License-Identifier: GPL-3.0-or-later
// The profile editor sheet.
#pragma once

#include <QObject>
#include <QString>

#include "app/AppContext.h"

class QWidget;
class QDialog;

class ProfileEditorController : public QObject {
  Q_OBJECT
 public:
  explicit ProfileEditorController(AppContext& context, QObject* parent = nullptr);
  ~ProfileEditorController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Runs once the whole window is loaded and every outlet is set.
  void awakeFromNib();
  QDialog* window() const { return window_; }


 private:
  AppContext& context_;
  Outlets outlets_;
  QDialog* window_ = nullptr;
};
