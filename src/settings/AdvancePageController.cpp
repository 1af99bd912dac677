// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/AdvancePageController.h"

#include <cstdio>
#include <cstring>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>

#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "driver/ZX7100Access.h"
#include "platform/InternalConsistency.h"
#include "settings/TxRateTables.h"
#include "ui_AdvancePage.h"

namespace {

constexpr const char* kUnit = "AdvancePageController";
constexpr uint32_t kSetRetryCount = 3;

void Trace(const char* method) {
  if (__DEBUG__) std::fprintf(stderr, "#### AdvancePageController - %s ####\n", method);
}

void TraceFailure(const char* what) {
  if (__DEBUG__) std::fprintf(stderr, "!!!! AdvancePageController - %s !!!!\n", what);
}

// Selects entry `index` of `list`, or nothing when there is no such entry.
void SelectItemAtIndex(QComboBox* list, int index) {
  list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

}  // namespace

AdvancePageController::AdvancePageController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context), ui_(std::make_unique<Ui::AdvancePage>()) {
  widget_ = new QWidget;
  ui_->setupUi(widget_);

  connect(ui_->WirelessMode, &QComboBox::activated, this,
          &AdvancePageController::OnSelChangeWirelessMode);
  connect(ui_->TXrate, &QComboBox::activated, this, &AdvancePageController::OnTxRate);
  connect(ui_->BGprotection, &QComboBox::activated, this,
          &AdvancePageController::OnSelBGProtection);
  connect(ui_->EnableTXburst, &QCheckBox::clicked, this, &AdvancePageController::OnTxBurst);
  connect(ui_->AdhocModeUseOFDMrate, &QCheckBox::clicked, this,
          &AdvancePageController::OnAdHocUseOFDM);
  connect(ui_->Apply, &QPushButton::clicked, this, &AdvancePageController::OnApply);
  connect(ui_->Reset, &QPushButton::clicked, this, &AdvancePageController::OnReset);
  connect(ui_->Radio, &QPushButton::clicked, this, &AdvancePageController::OnRadioSwitch);

  ShowRadioPicture();
}

AdvancePageController::~AdvancePageController() = default;

void AdvancePageController::awakeFromNib() {
  Trace("awakeFromNib");
  if (ProfileSettingFile.empty()) ProfileSettingFile = AdvancedSettingsFilePath();
  // A missing or unreadable file leaves the creation values (all 0) in place.
  records = ReadAdvancedSettingsRecords(ProfileSettingFile);
  LoadAdvancedSettings(records, state_);
  ShowSettings();
}

void AdvancePageController::ShowSettings() {
  SelectItemAtIndex(ui_->WirelessMode, state_.nWirelessMode);
  OnSelChangeWirelessMode();
  SelectItemAtIndex(ui_->BGprotection, state_.nBGProtection);
  SelectItemAtIndex(ui_->TXrate, state_.nTxRate);
  ui_->EnableTXburst->setChecked(state_.bTXBurst != 0);
  ui_->AdhocModeUseOFDMrate->setChecked(state_.bAdhocOfdm != 0);
  DisabledButton();
}

void AdvancePageController::OnSelChangeWirelessMode() {
  Trace("OnSelChangeWirelessMode");
  ui_->TXrate->clear();
  const int mode = ui_->WirelessMode->currentIndex();
  const auto rates = TxRateListForMode(mode);
  if (rates.empty()) {
    TraceFailure("OnSelChangeWirelessMode --> no such wireless mode");
    platform::ReportInternalInconsistency(kUnit, __LINE__);
    return;
  }
  for (const TxRateEntry& entry : rates) ui_->TXrate->addItem(QString::fromLatin1(entry.caption));
  ui_->BGprotection->setEnabled(WirelessModeUsesBGProtection(mode));
  if (WirelessModeUsesBGProtection(mode)) {
    // Back in a mixed mode the enabled control shows the protection Apply will send, which
    // a single-band mode chosen in between has set to entry 0.
    SelectItemAtIndex(ui_->BGprotection, state_.nBGProtection);
  } else {
    // The disabled control keeps showing its entry; the driver receives entry 0. A rate
    // beyond the shorter list falls back to "Auto".
    state_.nBGProtection = 0;
    if (state_.nTxRate >= static_cast<int>(rates.size())) state_.nTxRate = 0;
  }
  SelectItemAtIndex(ui_->TXrate, state_.nTxRate);
  EnableButton();
}

void AdvancePageController::OnTxRate() {
  state_.nTxRate = ui_->TXrate->currentIndex();
  EnableButton();
}

void AdvancePageController::OnSelBGProtection() {
  state_.nBGProtection = ui_->BGprotection->currentIndex();
  EnableButton();
}

void AdvancePageController::OnTxBurst() {
  state_.bTXBurst = ui_->EnableTXburst->isChecked() ? 1 : 0;
  EnableButton();
}

void AdvancePageController::OnAdHocUseOFDM() {
  state_.bAdhocOfdm = ui_->AdhocModeUseOFDMrate->isChecked() ? 1 : 0;
  EnableButton();
}

void AdvancePageController::EnableButton() {
  ui_->Apply->setEnabled(true);
  ui_->Reset->setEnabled(true);
}

void AdvancePageController::DisabledButton() {
  ui_->Apply->setEnabled(false);
  ui_->Reset->setEnabled(false);
}

void AdvancePageController::OnApply() {
  Trace("OnApply");
  ZX7100Access& adapter = context_.Adapter;
  uint32_t returned = 0;

  state_.nTxRate = ui_->TXrate->currentIndex();
  state_.nWirelessMode = ui_->WirelessMode->currentIndex();
  if (state_.nWirelessMode < 0 || state_.nWirelessMode >= kWirelessModeCount) {
    TraceFailure("OnApply --> PhyMode ERROR");
    platform::ReportInternalInconsistency(kUnit, __LINE__);
    return;
  }

  // Without 5 GHz support the adapter runs the 5 GHz modes as mode 0; the page still keeps
  // and stores the mode the user chose, and sends that mode's rates.
  G_enumWirelessMode =
      (!G_bSupportAMode && state_.nWirelessMode > kWirelessModeBOnly) ? 0 : state_.nWirelessMode;

  // The same corrections a mode change makes to the page state.
  const auto rates = TxRateListForMode(state_.nWirelessMode);
  if (!WirelessModeUsesBGProtection(state_.nWirelessMode)) {
    state_.nBGProtection = 0;
    if (state_.nTxRate >= static_cast<int>(rates.size())) state_.nTxRate = 0;
  }

  // PHY mode: set only when the driver runs another one.
  int32_t enumWirelessMode = 0;
  adapter.OidQueryInformation(ZX_OID_802_11_PHY_MODE, &enumWirelessMode, sizeof enumWirelessMode,
                              &returned);
  std::fprintf(stderr,
               "#### AdvancePageController - OnApply -  nWirelessMode = %d, enumWirelessMode = "
               "%d,  G_enumWirelessMode = %d ####\n",
               state_.nWirelessMode, enumWirelessMode, G_enumWirelessMode);
  if (enumWirelessMode != G_enumWirelessMode) {
    std::fprintf(stderr, "#### 111111111 ####\n");
    int32_t phyMode = G_enumWirelessMode;
    adapter.OidSetInformation(ZX_OID_802_11_PHY_MODE, &phyMode, sizeof phyMode, &returned,
                              kSetRetryCount);
  }

  // Station configuration: the five settings of the page over what the driver reports;
  // the radio state, the reserved word and the error bits go back as they came.
  ZX_802_11_STA_CONFIG staConfig{};
  adapter.OidQueryInformation(ZX_OID_802_11_STA_CONFIG, &staConfig, sizeof staConfig, &returned);
  const ZX_802_11_STA_CONFIG reported = staConfig;
  staConfig.EnableTxBurst = static_cast<uint32_t>(state_.bTXBurst);
  staConfig.EnableTurboRate = static_cast<uint32_t>(bTurboRate);
  staConfig.UseBGProtection = static_cast<uint32_t>(state_.nBGProtection);
  staConfig.UseShortSlotTime = static_cast<uint32_t>(bShortSlot);
  staConfig.UseOfdmRatesIn11gAdhoc = static_cast<uint32_t>(state_.bAdhocOfdm);
  if (std::memcmp(&staConfig, &reported, sizeof staConfig) != 0) {
    std::fprintf(stderr, "#### 222222222222 ####\n");
    adapter.OidSetInformation(ZX_OID_802_11_STA_CONFIG, &staConfig, sizeof staConfig, &returned,
                              kSetRetryCount);
    std::fprintf(stderr, "#### 222222-22222 ####\n");
  }

  // Rates: always sent.
  if (state_.nTxRate < 0 || state_.nTxRate >= static_cast<int>(rates.size())) {
    TraceFailure("OnApply --> Rates ERROR");
    platform::ReportInternalInconsistency(kUnit, __LINE__);
    return;
  }
  RateSet desiredRates = rates[static_cast<size_t>(state_.nTxRate)].rates;
  adapter.OidSetInformation(OID_802_11_DESIRED_RATES, desiredRates.data(),
                            static_cast<uint32_t>(desiredRates.size()), &returned, kSetRetryCount);

  // A failed write is not reported; the page keeps the settings in memory.
  StoreAdvancedSettings(records, state_);
  if (!platform::WritePropertyListFileAtomically(ProfileSettingFile, platform::PlistValue(records),
                                                 0644)) {
    TraceFailure("OnApply --> settings file not written");
  }
  DisabledButton();
}

void AdvancePageController::OnReset() {
  Trace("OnReset");
  // The in-memory copy of the file, not the file: it also holds the last Apply. With
  // nothing read or applied yet, Reset goes back to the creation values; keeping the
  // edits in the page state would have the next Apply (also made at every adapter
  // re-initialisation) send the very changes the user has just discarded.
  state_ = AdvancedSettings{};
  LoadAdvancedSettings(records, state_);
  ShowSettings();
}

void AdvancePageController::RadioStatus() {
  Trace("RadioStatus");
  ShowRadioPicture();
  if (G_configFromProfile) G_bCheckedProfileConnect = G_bRadio ? 1 : 0;
}

void AdvancePageController::ShowRadioPicture() {
  const bool on = G_bRadio != 0;
  const QString imageName = on ? QStringLiteral("RADIOON") : QStringLiteral("RADIOOFF");
  ui_->Radio->setText(on ? QStringLiteral("Radio Off") : QStringLiteral("Radio On"));
  ui_->RadioSwitchPic->setProperty("imageName", imageName);
  ui_->RadioSwitchPic->setAccessibleDescription(on ? tr("Radio is on") : tr("Radio is off"));
  const QPixmap picture(QStringLiteral(":/images/%1.svg").arg(imageName));
  if (picture.isNull()) {
    // Without the picture the state still has to be visible.
    ui_->RadioSwitchPic->setText(on ? tr("On") : tr("Off"));
  } else {
    ui_->RadioSwitchPic->setPixmap(picture);
  }
}

void AdvancePageController::OnRadioSwitch() {
  Trace("OnRadioSwitch");
  G_bRadio = G_bRadio == 0 ? 1 : 0;
  RadioStatus();
  // The flag is shown switched whether or not the driver takes the request.
  uint8_t radio[4] = {static_cast<uint8_t>(G_bRadio), 0, 0, 0};
  uint32_t returned = 0;
  context_.Adapter.OidSetInformation(ZX_OID_802_11_RADIO, radio, sizeof radio, &returned,
                                     kSetRetryCount);
  context_.Adapter.RescanBssidList();
  context_.Adapter.QueryBssidList();
  G_bRescan = 1;
}
