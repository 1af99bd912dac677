// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/SecurityKeyControls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/state/GlobalState.h"
#include "platform/AlertPanel.h"
#include "survey/ConnectRequest.h"

namespace {
constexpr int kEncryCapaTkipOnly = 4;
constexpr int kEncryNoneItem = 0;
}  // namespace

void SelectComboItem(QComboBox* combo, int index) {
  if (index >= 0 && index < combo->count()) combo->setCurrentIndex(index);
}

void SecurityKeyControls::SetAuthenTypeComboText(int n) {
  if (n != 0 && n != 1) return;
  o_.AuthenType->clear();
  o_.AuthenType->addItems({"Open", "Shared", n == 0 ? "WPA-NONE" : "WPA-PSK"});
  o_.AuthenType->setCurrentIndex(0);
}

bool SecurityKeyControls::RebuildEncryptionList(int& selFlag) {
  const int a = o_.AuthenType->currentIndex();
  if (a < kAuthenItemOpen || a > kAuthenItemWpa) return false;
  const int authClass = a == kAuthenItemWpa ? kClassWpa : kClassOpenOrShared;
  const int previous = o_.EncryType->currentIndex();
  o_.EncryType->clear();
  if (authClass == kClassOpenOrShared) {
    o_.EncryType->addItems({"NONE", "WEP"});
  } else if (G_encryCapa == kEncryCapaTkipOnly) {
    o_.EncryType->addItems({"TKIP"});
  } else {
    o_.EncryType->addItems({"TKIP", "AES"});
  }
  // A new class starts on its first item; within the class the choice stays.
  if (authClass != selFlag) {
    o_.EncryType->setCurrentIndex(0);
    selFlag = authClass;
  } else {
    o_.EncryType->setCurrentIndex(previous >= 0 && previous < o_.EncryType->count() ? previous : 0);
  }
  return true;
}

void SecurityKeyControls::ApplyEnablingRules() {
  const int a = o_.AuthenType->currentIndex();
  const int e = o_.EncryType->currentIndex();
  if (a == kAuthenItemOpen && e == kEncryNoneItem) {
    SetKeyControlsEnabled(false, false);
  } else if ((a == kAuthenItemOpen && e == kEncryItemWep) ||
             (a == kAuthenItemShared && (e == kEncryNoneItem || e == kEncryItemWep))) {
    SetKeyControlsEnabled(true, false);
  } else if (a == kAuthenItemWpa) {
    SetKeyControlsEnabled(false, true);
  }
}

void SecurityKeyControls::SetKeyControlsEnabled(bool wep, bool wpa) {
  o_.WPAPreSharedKey->setEnabled(wpa);
  for (int n = 0; n < 4; ++n) {
    o_.WEPKeyRadio[n]->setEnabled(wep);
    o_.WEPKeyCombo[n]->setEnabled(wep);
    o_.WEPKeyText[n]->setEnabled(wep);
  }
}

int SecurityKeyControls::TransmitKeyIndex() const {
  for (int n = 0; n < 4; ++n) {
    if (o_.WEPKeyRadio[n]->isChecked()) return n;
  }
  return -1;
}

KeyEntry SecurityKeyControls::ReadKeyEntry() const {
  KeyEntry keys;
  keys.authIndex = o_.AuthenType->currentIndex();
  keys.encryIndex = o_.EncryType->currentIndex();
  keys.wpaKey = o_.WPAPreSharedKey->text().toUtf8().toStdString();
  for (int n = 0; n < 4; ++n) {
    keys.wep[n].typeIndex = o_.WEPKeyCombo[n]->currentIndex();
    keys.wep[n].text = o_.WEPKeyText[n]->text().toUtf8().toStdString();
    keys.wep[n].transmit = o_.WEPKeyRadio[n]->isChecked();
  }
  return keys;
}

bool SecurityKeyControls::VerifyKey(platform::AlertPanel& alerts) const {
  if (auto alert = VerifyKeyEntry(ReadKeyEntry())) {
    alerts.Run(*alert, "");
    return false;
  }
  return true;
}
