// SPDX-License-Identifier: GPL-3.0-or-later
// The security settings dialog shown when joining a protected network from the survey:
// authentication and encryption lists, four WEP keys with their types and the transmit
// key, and the WPA pre-shared key. The survey page prepares it, runs it as a sheet and
// receives the result through ReceiveWEPsetting when the user confirms.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <QObject>
#include <QString>

#include "app/AppContext.h"

class QWidget;
class QDialog;
class SecurityKeyControls;
namespace Ui {
class WEPSettingController;
}

// Alert title (with message "") when both lists changed without their change rules running.
inline constexpr const char* kEncryptionTypeIncorrectAlert =
    "Encryption type is incorrect, please re-select the correct Encryption type.";

class WEPSettingController : public QObject {
  Q_OBJECT
 public:
  explicit WEPSettingController(AppContext& context, QObject* parent = nullptr);
  ~WEPSettingController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Runs once the whole window is loaded and every outlet is set: first items selected,
  // the list rules applied.
  void awakeFromNib();
  // The dialog (WEPSettingWindow); the survey page runs it as a sheet on the main window.
  QDialog* window() const { return window_; }

  // Preparation by the survey page.
  // Rebuilds the authentication list with "WPA-NONE" (0) or "WPA-PSK" (1) as third item;
  // any other n changes nothing.
  void setAuthenTypeComboText(int n);
  void setAuthenTypeCombo(int index);
  void setEncryTypeCombo(int index);
  int getAuthenTypeCombo() const;
  // Empties the pre-shared key and the four WEP key texts, then applies the rules.
  void clearText();

  // List rules: the encryption list follows the authentication class, and the key
  // controls follow both lists.
  void OnSelchangeAuthType();
  void OnSelchangeEncryptionType();

  // Checks the typed keys; false after one alert.
  bool VerifyKey();
  // Checks, converts and hands the settings to the survey page, then closes with 1.
  void OnOK();
  // Closes with 0; nothing is handed back.
  void OnCANCEL();

 private:
  // Refreshes Key<n>Material / Key<n>Len from the WEP key texts.
  void ConvertWepKeys();

  AppContext& context_;
  Outlets outlets_;
  QDialog* window_ = nullptr;
  std::unique_ptr<Ui::WEPSettingController> ui_;
  std::unique_ptr<SecurityKeyControls> keyControls_;

  // The WEP keys as bytes (at most 13 and a terminating zero) and their lengths, kept
  // from one OK that involved WEP to the next.
  uint8_t KeyMaterial[4][14]{};
  uint8_t KeyLen[4]{};
  int SelKeyIndex = 0;
  std::string WPAPSK;  // the pre-shared key text, whole
  int selFlag = 0;     // authentication class of the last rule run: 0 Open/Shared, 1 WPA
  int selAuth = 0;     // the lists' items when the encryption rule last ran
  int selEncry = 0;
};
