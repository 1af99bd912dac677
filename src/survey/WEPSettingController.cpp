// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/WEPSettingController.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include <QByteArray>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/state/GlobalState.h"
#include "engine/KeyCheck.h"
#include "engine/crypto/HexDecode.h"
#include "platform/AlertPanel.h"
#include "survey/ConnectRequest.h"
#include "survey/SiteSurveyPageController.h"
#include "ui_WEPSettingController.h"

namespace {

constexpr int kAuthClassWep = 0;  // Open or Shared
constexpr int kAuthClassWpa = 1;
constexpr int kKeyTypeHex = 0;
constexpr int kEncryCapaTkipOnly = 4;

// Selects item `index`; an index outside the list leaves the selection as it was.
void SelectItem(QComboBox* combo, int index) {
  if (index >= 0 && index < combo->count()) combo->setCurrentIndex(index);
}

}  // namespace

WEPSettingController::WEPSettingController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context), ui_(std::make_unique<Ui::WEPSettingController>()) {
  window_ = new QDialog;
  ui_->setupUi(window_);

  connect(ui_->OKButton, &QPushButton::clicked, this, &WEPSettingController::OnOK);
  connect(ui_->CancelButton, &QPushButton::clicked, this, &WEPSettingController::OnCANCEL);
  // The user's choices run the rules; the survey page's preparation runs them itself.
  connect(ui_->AuthenType, &QComboBox::activated, this, &WEPSettingController::OnSelchangeAuthType);
  connect(ui_->EncryType, &QComboBox::activated, this,
          &WEPSettingController::OnSelchangeEncryptionType);
}

WEPSettingController::~WEPSettingController() {
  delete window_;
}

void WEPSettingController::awakeFromNib() {
  for (QComboBox* combo : {ui_->AuthenType, ui_->EncryType, ui_->WEPKey1Combo, ui_->WEPKey2Combo,
                           ui_->WEPKey3Combo, ui_->WEPKey4Combo}) {
    SelectItem(combo, 0);
  }
  selFlag = kAuthClassWep;
  OnSelchangeAuthType();
}

// --- Preparation ---------------------------------------------------------------------------

void WEPSettingController::setAuthenTypeComboText(int n) {
  if (n != 0 && n != 1) return;
  ui_->AuthenType->clear();
  ui_->AuthenType->addItems({"Open", "Shared", n == 0 ? "WPA-NONE" : "WPA-PSK"});
  ui_->AuthenType->setCurrentIndex(0);
}

void WEPSettingController::setAuthenTypeCombo(int index) {
  SelectItem(ui_->AuthenType, index);
}

void WEPSettingController::setEncryTypeCombo(int index) {
  SelectItem(ui_->EncryType, index);
}

int WEPSettingController::getAuthenTypeCombo() const {
  return ui_->AuthenType->currentIndex();
}

void WEPSettingController::clearText() {
  for (QLineEdit* text : {ui_->WPAPreSharedKey, ui_->WEPKey1Text, ui_->WEPKey2Text,
                          ui_->WEPKey3Text, ui_->WEPKey4Text}) {
    text->clear();
  }
  OnSelchangeAuthType();
}

// --- List rules ------------------------------------------------------------------------------

void WEPSettingController::OnSelchangeAuthType() {
  const int a = ui_->AuthenType->currentIndex();
  if (a >= kAuthenItemOpen && a <= kAuthenItemWpa) {
    const int authClass = a == kAuthenItemWpa ? kAuthClassWpa : kAuthClassWep;
    const int previous = ui_->EncryType->currentIndex();
    ui_->EncryType->clear();
    if (authClass == kAuthClassWep) {
      ui_->EncryType->addItems({"NONE", "WEP"});
    } else if (G_encryCapa == kEncryCapaTkipOnly) {
      ui_->EncryType->addItems({"TKIP"});
    } else {
      ui_->EncryType->addItems({"TKIP", "AES"});
    }
    // A new class starts on its first item; within the class the choice stays.
    if (authClass != selFlag) {
      ui_->EncryType->setCurrentIndex(0);
      selFlag = authClass;
    } else {
      ui_->EncryType->setCurrentIndex(previous >= 0 && previous < ui_->EncryType->count() ? previous
                                                                                          : 0);
    }
  }
  OnSelchangeEncryptionType();
}

void WEPSettingController::SetKeyControlsEnabled(bool wep, bool wpa) {
  ui_->WPAPreSharedKey->setEnabled(wpa);
  for (QWidget* control : std::initializer_list<QWidget*>{
           ui_->WEPKey1Radio, ui_->WEPKey2Radio, ui_->WEPKey3Radio, ui_->WEPKey4Radio,
           ui_->WEPKey1Combo, ui_->WEPKey2Combo, ui_->WEPKey3Combo, ui_->WEPKey4Combo,
           ui_->WEPKey1Text, ui_->WEPKey2Text, ui_->WEPKey3Text, ui_->WEPKey4Text}) {
    control->setEnabled(wep);
  }
}

void WEPSettingController::OnSelchangeEncryptionType() {
  const int a = ui_->AuthenType->currentIndex();
  const int e = ui_->EncryType->currentIndex();
  selAuth = a;
  selEncry = e;
  if (a == kAuthenItemOpen && e == 0) {
    SetKeyControlsEnabled(false, false);
  } else if ((a == kAuthenItemOpen && e == kEncryItemWep) ||
             (a == kAuthenItemShared && (e == 0 || e == kEncryItemWep))) {
    SetKeyControlsEnabled(true, false);
  } else if (a == kAuthenItemWpa) {
    SetKeyControlsEnabled(false, true);
  }
}

// --- OK and Cancel -----------------------------------------------------------------------

bool WEPSettingController::VerifyKey() {
  KeyEntry keys;
  keys.authIndex = ui_->AuthenType->currentIndex();
  keys.encryIndex = ui_->EncryType->currentIndex();
  keys.wpaKey = ui_->WPAPreSharedKey->text().toUtf8().toStdString();
  QComboBox* types[] = {ui_->WEPKey1Combo, ui_->WEPKey2Combo, ui_->WEPKey3Combo, ui_->WEPKey4Combo};
  QLineEdit* texts[] = {ui_->WEPKey1Text, ui_->WEPKey2Text, ui_->WEPKey3Text, ui_->WEPKey4Text};
  QRadioButton* radios[] = {ui_->WEPKey1Radio, ui_->WEPKey2Radio, ui_->WEPKey3Radio,
                            ui_->WEPKey4Radio};
  for (int n = 0; n < 4; ++n) {
    keys.wep[n].typeIndex = types[n]->currentIndex();
    keys.wep[n].text = texts[n]->text().toUtf8().toStdString();
    keys.wep[n].transmit = radios[n]->isChecked();
  }
  if (auto alert = VerifyKeyEntry(keys)) {
    context_.Alerts.Run(*alert, "");
    return false;
  }
  return true;
}

void WEPSettingController::ConvertWepKeys() {
  QComboBox* types[] = {ui_->WEPKey1Combo, ui_->WEPKey2Combo, ui_->WEPKey3Combo, ui_->WEPKey4Combo};
  QLineEdit* texts[] = {ui_->WEPKey1Text, ui_->WEPKey2Text, ui_->WEPKey3Text, ui_->WEPKey4Text};
  for (int n = 0; n < 4; ++n) {
    const QByteArray text = texts[n]->text().toUtf8();
    uint8_t* material = KeyMaterial[n];
    if (text.isEmpty()) {
      KeyLen[n] = 0;
      std::memset(material, 0, kWepKeyMaterialSize);
      continue;
    }
    // The key check admits 5 or 13 key bytes; the length is capped all the same so that
    // the key and its terminating zero always fit the 14 bytes.
    if (types[n]->currentIndex() == kKeyTypeHex) {
      const auto length = std::min<qsizetype>(text.size() / 2, kMaxWepKeyLength);
      AtoH(text.constData(), material, static_cast<int>(length));
      KeyLen[n] = static_cast<uint8_t>(length);
    } else {
      const auto length = std::min<qsizetype>(text.size(), kMaxWepKeyLength);
      std::memcpy(material, text.constData(), static_cast<std::size_t>(length));
      KeyLen[n] = static_cast<uint8_t>(length);
    }
    material[KeyLen[n]] = 0;
  }
}

int WEPSettingController::TransmitKeyIndex() const {
  // The four radios form one group with a key always chosen; key 1 if none were.
  const QRadioButton* radios[] = {ui_->WEPKey1Radio, ui_->WEPKey2Radio, ui_->WEPKey3Radio,
                                  ui_->WEPKey4Radio};
  for (int n = 0; n < 4; ++n) {
    if (radios[n]->isChecked()) return n;
  }
  return 0;
}

void WEPSettingController::OnOK() {
  if (ui_->AuthenType->currentIndex() != selAuth && ui_->EncryType->currentIndex() != selEncry) {
    context_.Alerts.Run(kEncryptionTypeIncorrectAlert, "");
    return;
  }
  if (!VerifyKey()) return;

  if (ui_->AuthenType->currentIndex() == kAuthenItemShared ||
      ui_->EncryType->currentIndex() == kEncryItemWep) {
    ConvertWepKeys();
  }
  SelKeyIndex = TransmitKeyIndex();
  WPAPSK = ui_->WPAPreSharedKey->text().toUtf8().toStdString();

  if (outlets_.SiteSurveyPage) {
    outlets_.SiteSurveyPage->ReceiveWEPsetting(
        ui_->AuthenType->currentIndex(), ui_->EncryType->currentIndex(), SelKeyIndex, KeyLen[0],
        KeyMaterial[0], KeyLen[1], KeyMaterial[1], KeyLen[2], KeyMaterial[2], KeyLen[3],
        KeyMaterial[3], static_cast<int>(WPAPSK.size()), WPAPSK.data());
  }
  window_->done(1);
}

void WEPSettingController::OnCANCEL() {
  window_->done(0);
}
