// SPDX-License-Identifier: GPL-3.0-or-later
// The alert panel of the desktop: a modal message box with one "OK" button.
#pragma once

#include <QWidget>
#include <QPointer>
#include <string>

#include "platform/AlertPanel.h"

namespace platform {

class QtAlertPanel : public AlertPanel {
 public:
  explicit QtAlertPanel(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  void Run(const std::string& title, const std::string& message) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace platform
