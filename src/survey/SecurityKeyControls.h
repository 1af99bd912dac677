// SPDX-License-Identifier: GPL-3.0-or-later
// The key controls that the security dialog and the profile editor share. Both dialogs
// carry the same outlets (authentication and encryption lists, the pre-shared key, four
// WEP keys with their types and transmit radios) and follow the same rules with them.
#pragma once

#include <array>

#include "engine/KeyCheck.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace platform {
class AlertPanel;
}

// Selects item `index`; an index outside the list leaves the selection as it was.
void SelectComboItem(QComboBox* combo, int index);

class SecurityKeyControls {
 public:
  // Authentication classes, as `selFlag` records them.
  static constexpr int kClassOpenOrShared = 0;
  static constexpr int kClassWpa = 1;

  struct Outlets {
    QComboBox* AuthenType = nullptr;
    QComboBox* EncryType = nullptr;
    QLineEdit* WPAPreSharedKey = nullptr;
    std::array<QRadioButton*, 4> WEPKeyRadio{};
    std::array<QComboBox*, 4> WEPKeyCombo{};
    std::array<QLineEdit*, 4> WEPKeyText{};
  };

  explicit SecurityKeyControls(const Outlets& outlets) : o_(outlets) {}

  // Rebuilds the authentication list as "Open", "Shared" and, third, "WPA-NONE" (n = 0)
  // or "WPA-PSK" (n = 1), and selects item 0. Any other n changes nothing.
  void SetAuthenTypeComboText(int n);
  // Rebuilds the encryption list with the items of the selected authentication's class
  // ("NONE", "WEP" or the WPA ciphers the adapter offers). A change of class (against
  // `selFlag`, which is updated) selects item 0; otherwise the selection stays. Returns
  // false, changing nothing, when no authentication item is selected.
  bool RebuildEncryptionList(int& selFlag);
  // Enables the WEP or the WPA key controls as the two lists' selections call for;
  // disabling leaves the contents in place.
  void ApplyEnablingRules();
  // The transmit key: the first radio that is on (0 for key 1), or -1 when none is.
  int TransmitKeyIndex() const;
  // Checks the typed keys; false after exactly one alert.
  bool VerifyKey(platform::AlertPanel& alerts) const;

 private:
  KeyEntry ReadKeyEntry() const;
  void SetKeyControlsEnabled(bool wep, bool wpa);

  Outlets o_;
};
