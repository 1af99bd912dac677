// SPDX-License-Identifier: GPL-3.0-or-later
// The Advance page: wireless mode, rates, station settings and the radio switch. Apply
// sends the settings to the driver and keeps them in the advanced settings file; Reset
// brings the controls back to what was last read or applied.
#pragma once

#include <memory>
#include <string>

#include <QObject>
#include <QString>

#include "app/AppContext.h"
#include "platform/PropertyList.h"
#include "settings/AdvancedSettingsFile.h"

class QWidget;
class QDialog;
class QComboBox;

namespace Ui {
class AdvancePage;
}

class AdvancePageController : public QObject {
  Q_OBJECT
 public:
  explicit AdvancePageController(AppContext& context, QObject* parent = nullptr);
  ~AdvancePageController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Runs once the whole window is loaded and every outlet is set: reads the settings file
  // and shows what it holds.
  void awakeFromNib();
  QWidget* widget() const { return widget_; }

  // Where the settings file lives; the default is in the user's preferences folder. Tests
  // point it elsewhere before awakeFromNib.
  void setProfileSettingFile(std::string path) { ProfileSettingFile = std::move(path); }
  const std::string& profileSettingFile() const { return ProfileSettingFile; }

  // Shows the radio flag on the switch; touches no driver.
  void RadioStatus();

  // Actions of the page's controls (also callable directly).
  void OnSelChangeWirelessMode();
  void OnTxRate();
  void OnSelBGProtection();
  void OnTxBurst();
  void OnAdHocUseOFDM();
  void OnApply();
  void OnReset();
  void OnRadioSwitch();

  // The page state as it would be stored now.
  const AdvancedSettings& settings() const { return state_; }

 private:
  void EnableButton();
  void DisabledButton();
  // Selects the stored mode, refills the rate list and shows the rest of the page state.
  void ShowSettings();
  void ShowRadioPicture();

  AppContext& context_;
  Outlets outlets_;
  QWidget* widget_ = nullptr;  // the tab page, owned by the tab view once inserted
  std::unique_ptr<Ui::AdvancePage> ui_;

  AdvancedSettings state_;
  // No control sets these two; the driver always receives 0 for them.
  static constexpr int8_t bTurboRate = 0;
  static constexpr int8_t bShortSlot = 0;
  platform::PlistArray records;  // the settings file's array; element 0 is ours
  std::string ProfileSettingFile;
};
