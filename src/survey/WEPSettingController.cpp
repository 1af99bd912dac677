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

#include "engine/KeyCheck.h"
#include "engine/crypto/HexDecode.h"
#include "platform/AlertPanel.h"
#include "survey/ConnectRequest.h"
#include "survey/SecurityKeyControls.h"
#include "survey/SiteSurveyPageController.h"
#include "ui_WEPSettingController.h"

namespace {

constexpr int kKeyTypeHex = 0;

}  // namespace

WEPSettingController::WEPSettingController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context), ui_(std::make_unique<Ui::WEPSettingController>()) {
  window_ = new QDialog;
  ui_->setupUi(window_);
  keyControls_ = std::make_unique<SecurityKeyControls>(SecurityKeyControls::Outlets{
      ui_->AuthenType,
      ui_->EncryType,
      ui_->WPAPreSharedKey,
      {ui_->WEPKey1Radio, ui_->WEPKey2Radio, ui_->WEPKey3Radio, ui_->WEPKey4Radio},
      {ui_->WEPKey1Combo, ui_->WEPKey2Combo, ui_->WEPKey3Combo, ui_->WEPKey4Combo},
      {ui_->WEPKey1Text, ui_->WEPKey2Text, ui_->WEPKey3Text, ui_->WEPKey4Text}});

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
    SelectComboItem(combo, 0);
  }
  selFlag = SecurityKeyControls::kClassOpenOrShared;
  OnSelchangeAuthType();
}

// --- Preparation ---------------------------------------------------------------------------

void WEPSettingController::setAuthenTypeComboText(int n) {
  keyControls_->SetAuthenTypeComboText(n);
}

void WEPSettingController::setAuthenTypeCombo(int index) {
  SelectComboItem(ui_->AuthenType, index);
}

void WEPSettingController::setEncryTypeCombo(int index) {
  SelectComboItem(ui_->EncryType, index);
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
  keyControls_->RebuildEncryptionList(selFlag);
  OnSelchangeEncryptionType();
}

void WEPSettingController::OnSelchangeEncryptionType() {
  selAuth = ui_->AuthenType->currentIndex();
  selEncry = ui_->EncryType->currentIndex();
  keyControls_->ApplyEnablingRules();
}

// --- OK and Cancel -----------------------------------------------------------------------

bool WEPSettingController::VerifyKey() {
  return keyControls_->VerifyKey(context_.Alerts);
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
  // The four radios form one group with a key always chosen; key 1 if none were.
  SelKeyIndex = std::max(keyControls_->TransmitKeyIndex(), 0);
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
