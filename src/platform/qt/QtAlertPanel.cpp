// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/QtAlertPanel.h"

#include <QMessageBox>

namespace platform {

void QtAlertPanel::Run(const std::string& title, const std::string& message) {
  QMessageBox box(parent_);
  box.setIcon(QMessageBox::Warning);
  box.setWindowTitle(QString::fromStdString(title));
  box.setText(QString::fromStdString(title));
  box.setInformativeText(QString::fromStdString(message));
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

}  // namespace platform
