// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog that asks for the name of a hidden network before the survey page joins it.
// OK hands the typed name to the survey page and ends the dialog with 1; Cancel ends it
// with 0. The field keeps what was typed, for the next hidden network.
#pragma once

#include <memory>

#include <QObject>
#include <QString>

#include "app/AppContext.h"

class QWidget;
class QDialog;
namespace Ui {
class HiddenSSIDController;
}

// Alert title (with message "") for a typed name that does not fit a network name.
inline constexpr const char* kHiddenNameTooLongAlert =
    "Invalid network name. A network name should use at most 32 bytes (32 ASCII characters).";

class HiddenSSIDController : public QObject {
  Q_OBJECT
 public:
  explicit HiddenSSIDController(AppContext& context, QObject* parent = nullptr);
  ~HiddenSSIDController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Runs once the whole window is loaded and every outlet is set.
  void awakeFromNib();
  // The dialog (HiddenSSIDWindow); the survey page runs it as a sheet on the main window.
  QDialog* window() const { return window_; }

  // Hands the name to the survey page and closes with 1; a name longer than 32 bytes is
  // refused with an alert and the dialog stays open.
  void OnOK();
  // Closes with 0.
  void OnCANCEL();

 private:
  AppContext& context_;
  Outlets outlets_;
  QDialog* window_ = nullptr;
  std::unique_ptr<Ui::HiddenSSIDController> ui_;
};
