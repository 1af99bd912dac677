// SPDX-License-Identifier: GPL-3.0-or-later
#include "profiles/ProfileEditorController.h"

#include <cstdio>
#include <cstring>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>

#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"
#include "driver/ScanList.h"
#include "engine/KeyCheck.h"
#include "engine/crypto/HexDecode.h"
#include "platform/AlertPanel.h"
#include "profiles/AccessibleNames.h"
#include "survey/SecurityKeyControls.h"
#include "ui_ProfileEditorController.h"

using namespace profiles;

namespace {

constexpr int kNetworkAdHoc = 0;
constexpr int kNetworkInfrastructure = 1;
constexpr int kAuthWpaItem = 2;

QString FormatBssid(const std::array<uint8_t, 6>& bssid) {
  char text[13];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X", bssid[0], bssid[1], bssid[2],
                bssid[3], bssid[4], bssid[5]);
  return QString::fromLatin1(text);
}

std::string Text(const QString& text) {
  return text.toUtf8().toStdString();
}

// One scan entry's name (its Ssid bytes up to the first zero byte, at most 32) and address.
struct ScannedNetwork {
  QString name;
  std::array<uint8_t, 6> bssid;
};

std::vector<ScannedNetwork> ReadScanList() {
  std::vector<ScannedNetwork> networks;
  for (const ScanEntry& entry : ScanListView::OfGlobalList()) {
    ScannedNetwork network;
    network.name = QString::fromStdString(entry.SsidText());
    std::memcpy(network.bssid.data(), entry.Fixed().MacAddress, 6);
    networks.push_back(std::move(network));
  }
  return networks;
}

}  // namespace

ProfileEditorController::ProfileEditorController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context), ui_(std::make_unique<Ui::ProfileEditorController>()) {
  window_ = new QDialog;
  ui_->setupUi(window_);
  keyControls_ = std::make_unique<SecurityKeyControls>(SecurityKeyControls::Outlets{
      ui_->AuthenType,
      ui_->EncryType,
      ui_->WPAPreSharedKey,
      {ui_->WEPKey1Radio, ui_->WEPKey2Radio, ui_->WEPKey3Radio, ui_->WEPKey4Radio},
      {ui_->WEPKey1Combo, ui_->WEPKey2Combo, ui_->WEPKey3Combo, ui_->WEPKey4Combo},
      {ui_->WEPKey1Text, ui_->WEPKey2Text, ui_->WEPKey3Text, ui_->WEPKey4Text}});
  NameControlsForAccessibility(window_);

  connect(ui_->OKButton, &QPushButton::clicked, this, &ProfileEditorController::OnOK);
  connect(ui_->CancelButton, &QPushButton::clicked, this, &ProfileEditorController::OnCANCEL);
  // Closing the sheet any other way (Escape) is a Cancel too.
  connect(window_, &QDialog::rejected, this, &ProfileEditorController::ReleaseRecords);
  // Only the user's choices run the rules: the openings select items without them.
  connect(ui_->NetworkType, &QComboBox::activated, this, &ProfileEditorController::OnNetworkType);
  connect(ui_->AuthenType, &QComboBox::activated, this,
          &ProfileEditorController::OnSelchangeAuthType);
  connect(ui_->EncryType, &QComboBox::activated, this,
          &ProfileEditorController::OnSelchangeEncryptionType);
  connect(ui_->RtsThresholdCheck, &QCheckBox::toggled, this, &ProfileEditorController::OnSelRTS);
  connect(ui_->RtsThresholdSlider, &QSlider::valueChanged, this,
          &ProfileEditorController::OnRtsSlider);
  connect(ui_->FragThresholdCheck, &QCheckBox::toggled, this, &ProfileEditorController::OnSelFrag);
  connect(ui_->FragThresholdSlider, &QSlider::valueChanged, this,
          &ProfileEditorController::OnFragSlider);
}

ProfileEditorController::~ProfileEditorController() {
  std::fputs("ProfileEditorController - dealloc \n", stderr);
  if (records) saveProfile();
  ReleaseRecords();
  delete window_;
}

void ProfileEditorController::awakeFromNib() {
  selFlag = 0;
  bHidden = 0;
  ui_->ChannelText->show();
  ui_->Channel->show();
}

void ProfileEditorController::LoadRecords() {
  store_.emplace(context_.Defaults);
  records = store_->LoadProfiles();
}

void ProfileEditorController::ReleaseRecords() {
  records.reset();
  store_.reset();
}

// --- Openings --------------------------------------------------------------------------

void ProfileEditorController::AddInit() {
  IsNewData = 1;
  LoadRecords();

  ui_->TabView->setCurrentIndex(0);
  GetBssidList();
  ui_->ProfileName->setText(GetNextProfileName());

  ui_->CamWhenAcPower->setChecked(false);
  SelectComboItem(ui_->AuthenType, 0);
  OnSelchangeAuthType();
  SelectComboItem(ui_->Channel, 0);
  SelectComboItem(ui_->EncryType, 0);
  OnSelchangeEncryptionType();
  // Infrastructure, without the network-type rule: the channel controls and the third
  // authentication item stay as the previous opening left them.
  SelectComboItem(ui_->NetworkType, kNetworkInfrastructure);

  SelectComboItem(ui_->PreambleType, 0);
  ui_->CAM->setChecked(true);
  ui_->PSMode->setChecked(false);
  SelectComboItem(ui_->TxPower, 0);

  if (ui_->SSID->count() > 0) ui_->SSID->setEditText(QString());
  ClearKeys();
  window_->update();
}

void ProfileEditorController::EditInit(int index) {
  ui_->TabView->setCurrentIndex(0);
  IsNewData = 0;
  modifyIndex = index;
  LoadRecords();
  if (index < 0 || static_cast<std::size_t>(index) >= records->RowCount()) return;
  const ProfileEntry entry = records->Row(static_cast<std::size_t>(index));

  ui_->ProfileName->setText(QString::fromStdString(EntryText(entry, key::kProfileName)));
  ui_->CamWhenAcPower->setChecked(EntryNumber(entry, key::kAcPowerCam) != 0);

  SelectComboItem(ui_->NetworkType, EntryNumber(entry, key::kNetworkType));
  OnNetworkType();
  SelectComboItem(ui_->AuthenType, EntryNumber(entry, key::kAuthenticationType));
  OnSelchangeAuthType();

  SelectComboItem(ui_->Channel, EntryNumber(entry, key::kChannel) - 1);
  SelectComboItem(ui_->EncryType, EntryNumber(entry, key::kEncryptionType));
  OnSelchangeEncryptionType();

  SelectComboItem(ui_->PreambleType, EntryNumber(entry, key::kPreambleType));
  const bool powerSaving = EntryNumber(entry, key::kPowerSaveMode) != 0;
  ui_->PSMode->setChecked(powerSaving);
  ui_->CAM->setChecked(!powerSaving);
  SelectComboItem(ui_->TxPower, EntryNumber(entry, key::kTxPower));

  ui_->RtsThresholdText->setText(QString::fromStdString(EntryText(entry, key::kRtsThreshold)));
  ui_->FragThresholdText->setText(
      QString::fromStdString(EntryText(entry, key::kFragmentationThreshold)));

  GetBssidList();
  const QString ssid = QString::fromStdString(EntryText(entry, key::kSsid));
  const int item = ui_->SSID->findText(ssid, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (item >= 0) ui_->SSID->setCurrentIndex(item);
  ui_->SSID->setEditText(ssid);

  QComboBox* types[] = {ui_->WEPKey1Combo, ui_->WEPKey2Combo, ui_->WEPKey3Combo, ui_->WEPKey4Combo};
  QLineEdit* texts[] = {ui_->WEPKey1Text, ui_->WEPKey2Text, ui_->WEPKey3Text, ui_->WEPKey4Text};
  QRadioButton* radios[] = {ui_->WEPKey1Radio, ui_->WEPKey2Radio, ui_->WEPKey3Radio,
                            ui_->WEPKey4Radio};
  for (int n = 0; n < 4; ++n) {
    SelectComboItem(types[n], EntryNumber(entry, key::kWepKeyType[n]));
    texts[n]->setText(QString::fromStdString(EntryText(entry, key::kWepKey[n])));
  }
  const int transmitKey = EntryNumber(entry, key::kWepKeyUse);
  if (transmitKey >= 0 && transmitKey < 4) radios[transmitKey]->setChecked(true);

  ui_->WPAPreSharedKey->setText(QString::fromStdString(EntryText(entry, key::kWpaPsk)));

  if (EntryNumber(entry, key::kNetworkType) != 0) {
    // Twelve hexadecimal digits; anything else (a hand edit) gives no address.
    const std::string bssid = EntryText(entry, key::kBssid);
    copyBSSID.fill(0);
    if (bssid.size() == 12) AtoH(bssid.c_str(), copyBSSID.data(), 6);
  }
  bHidden = static_cast<char>(EntryNumber(entry, key::kHidden));
  window_->update();
}

bool ProfileEditorController::AddProfile(const QString& ssid, const uint8_t bssid[6],
                                         int ecrypStatus, int authenMode, int networkType,
                                         int channel) {
  ui_->TabView->setCurrentIndex(0);
  IsNewData = 1;
  LoadRecords();
  ui_->ProfileName->setText(GetNextProfileName());
  ui_->CamWhenAcPower->setChecked(false);

  int authItem = 0;
  switch (authenMode) {
    case 1:
      authItem = 1;
      break;
    case 3:
    case 4:
      setAuthenTypeComboText(1);
      authItem = kAuthWpaItem;
      break;
    case 5:
      setAuthenTypeComboText(0);
      authItem = kAuthWpaItem;
      break;
    default:
      authItem = 0;
      break;
  }
  SelectComboItem(ui_->AuthenType, authItem);
  OnSelchangeAuthType();

  SelectComboItem(ui_->Channel, channel - 1);
  int encryItem = 0;
  if (authItem == kAuthWpaItem) {
    encryItem = ecrypStatus == 6 ? 1 : 0;
  } else {
    encryItem = ecrypStatus == 0 ? 1 : 0;
  }
  SelectComboItem(ui_->EncryType, encryItem);
  OnSelchangeEncryptionType();

  // Without the network-type rule, as for AddInit. An automatic network (2) is kept as
  // infrastructure.
  SelectComboItem(ui_->NetworkType,
                  networkType == kNetworkAdHoc ? kNetworkAdHoc : kNetworkInfrastructure);

  SelectComboItem(ui_->PreambleType, 0);
  ui_->PSMode->setChecked(false);
  ui_->CAM->setChecked(true);
  SelectComboItem(ui_->TxPower, 0);

  GetBssidList();
  const int item = ui_->SSID->findText(ssid, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (item >= 0) {
    ui_->SSID->setCurrentIndex(item);
  } else if (ui_->SSID->count() > 0) {
    ui_->SSID->setCurrentIndex(0);
  }

  ClearKeys();
  window_->update();
  if (bssid) std::memcpy(copyBSSID.data(), bssid, 6);
  return true;
}

void ProfileEditorController::ClearKeys() {
  for (QComboBox* type :
       {ui_->WEPKey1Combo, ui_->WEPKey2Combo, ui_->WEPKey3Combo, ui_->WEPKey4Combo}) {
    SelectComboItem(type, 0);
  }
  for (QLineEdit* text : {ui_->WEPKey1Text, ui_->WEPKey2Text, ui_->WEPKey3Text, ui_->WEPKey4Text}) {
    text->clear();
  }
  ui_->WPAPreSharedKey->clear();
  ui_->WEPKey1Radio->setChecked(true);
}

// --- Control rules -----------------------------------------------------------------------

void ProfileEditorController::OnNetworkType() {
  const bool adHoc = ui_->NetworkType->currentIndex() == kNetworkAdHoc;
  ui_->PreambleType->setEnabled(adHoc);
  ui_->ChannelText->setVisible(adHoc);
  ui_->Channel->setVisible(adHoc);
  setAuthenTypeComboText(adHoc ? 0 : 1);
  OnSelchangeAuthType();
  window_->update();
}

void ProfileEditorController::setAuthenTypeComboText(int n) {
  keyControls_->SetAuthenTypeComboText(n);
}

void ProfileEditorController::setAuthenTypeCombo(int index) {
  SelectComboItem(ui_->AuthenType, index);
}

void ProfileEditorController::setEncryTypeCombo(int index) {
  SelectComboItem(ui_->EncryType, index);
}

void ProfileEditorController::OnSelchangeAuthType() {
  keyControls_->RebuildEncryptionList(selFlag);
  OnSelchangeEncryptionType();
}

void ProfileEditorController::OnSelchangeEncryptionType() {
  keyControls_->ApplyEnablingRules();
}

void ProfileEditorController::OnSelRTS() {
  const bool on = ui_->RtsThresholdCheck->isChecked();
  ui_->RtsThresholdSlider->setEnabled(on);
  ui_->RtsThresholdText->setEnabled(on);
}

void ProfileEditorController::OnRtsSlider() {
  ui_->RtsThresholdText->setText(QString::number(ui_->RtsThresholdSlider->value()));
}

void ProfileEditorController::OnSelFrag() {
  const bool on = ui_->FragThresholdCheck->isChecked();
  ui_->FragThresholdSlider->setEnabled(on);
  ui_->FragThresholdText->setEnabled(on);
}

void ProfileEditorController::OnFragSlider() {
  ui_->FragThresholdText->setText(QString::number(ui_->FragThresholdSlider->value()));
}

// --- Names -------------------------------------------------------------------------------

void ProfileEditorController::GetBssidList() {
  ui_->SSID->clear();
  scannedBssids_.clear();
  for (ScannedNetwork& network : ReadScanList()) {
    ui_->SSID->addItem(network.name);
    scannedBssids_.push_back(network.bssid);
  }
}

QString ProfileEditorController::GetNextProfileName() const {
  int highest = 0;
  if (records) {
    for (std::size_t row = 0; row < records->RowCount(); ++row) {
      const QString name =
          QString::fromStdString(EntryText(records->Row(row), key::kProfileName)).toUpper();
      if (!name.contains(QLatin1String("PROF"))) continue;
      // The number is read from the fifth character on, wherever "PROF" stood.
      highest = std::max(highest, ReadProfileNumber(Text(name.mid(4))));
    }
  }
  return QStringLiteral("PROF%1").arg(static_cast<qint64>(highest) + 1);
}

// --- OK and Cancel -----------------------------------------------------------------------

ProfileEntry ProfileEditorController::createProfileData() {
  auto number = [](int value) { return platform::PlistValue(ProfileNumberText(value)); };
  auto text = [](const QString& value) { return platform::PlistValue(Text(value)); };

  ProfileEntry entry;
  entry[key::kProfileName] = text(ui_->ProfileName->text());
  entry[key::kAcPowerCam] = number(ui_->CamWhenAcPower->isChecked() ? 1 : 0);
  entry[key::kAuthenticationType] = number(ui_->AuthenType->currentIndex());
  entry[key::kChannel] = text(ui_->Channel->currentText());
  entry[key::kEncryptionType] = number(ui_->EncryType->currentIndex());
  entry[key::kFragmentationThreshold] = text(ui_->FragThresholdText->text());
  entry[key::kNetworkType] = number(ui_->NetworkType->currentIndex());
  entry[key::kPreambleType] = number(ui_->PreambleType->currentIndex());
  entry[key::kPowerSaveMode] = number(ui_->PSMode->isChecked() ? 1 : 0);
  entry[key::kRtsThreshold] = text(ui_->RtsThresholdText->text());
  entry[key::kSsid] = text(ui_->SSID->currentText());
  entry[key::kTxPower] = number(ui_->TxPower->currentIndex());

  QComboBox* types[] = {ui_->WEPKey1Combo, ui_->WEPKey2Combo, ui_->WEPKey3Combo, ui_->WEPKey4Combo};
  QLineEdit* texts[] = {ui_->WEPKey1Text, ui_->WEPKey2Text, ui_->WEPKey3Text, ui_->WEPKey4Text};
  QRadioButton* radios[] = {ui_->WEPKey1Radio, ui_->WEPKey2Radio, ui_->WEPKey3Radio,
                            ui_->WEPKey4Radio};
  int transmitKey = 0;
  for (int n = 3; n >= 0; --n) {
    if (radios[n]->isChecked()) transmitKey = n;
  }
  for (int n = 0; n < 4; ++n) {
    entry[key::kWepKey[n]] = text(texts[n]->text());
    entry[key::kWepKeyType[n]] = number(types[n]->currentIndex());
  }
  entry[key::kWepKeyUse] = number(transmitKey);
  entry[key::kWpaPsk] = text(ui_->WPAPreSharedKey->text());

  QString bssid;
  if (IsNewData == 1) {
    const int item = ui_->SSID->currentIndex();
    const bool pickedFromScan = item >= 0 &&
                                static_cast<std::size_t>(item) < scannedBssids_.size() &&
                                ui_->SSID->currentText() == ui_->SSID->itemText(item);
    if (pickedFromScan) {
      bssid = FormatBssid(scannedBssids_[static_cast<std::size_t>(item)]);
      bHidden = 0;
    } else if (ui_->NetworkType->currentIndex() == kNetworkInfrastructure) {
      // A typed name in infrastructure: a network that hides its name.
      bssid = FormatBssid(copyBSSID);
      bHidden = 1;
    } else {
      bHidden = 0;
    }
  } else {
    bssid = FormatBssid(copyBSSID);
  }
  entry[key::kBssid] = text(bssid);
  entry[key::kHidden] = number(bHidden ? 1 : 0);
  return entry;
}

void ProfileEditorController::saveProfile() {
  if (store_ && records) store_->SaveProfiles(*records);
}

bool ProfileEditorController::VerifyKey() {
  return keyControls_->VerifyKey(context_.Alerts);
}

void ProfileEditorController::OnOK() {
  if (!VerifyKey()) return;
  if (!records) LoadRecords();
  ProfileEntry entry = createProfileData();
  if (IsNewData == 1) {
    records->Append(std::move(entry));
  } else if (!records->Replace(static_cast<std::size_t>(modifyIndex), entry)) {
    // The row being edited is gone (the list changed underneath): keep the work.
    records->Append(std::move(entry));
  }
  saveProfile();
  ReleaseRecords();
  window_->done(1);
}

void ProfileEditorController::OnCANCEL() {
  ReleaseRecords();
  window_->done(0);
}
