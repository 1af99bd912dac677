// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/LinkStatusPageController.h"

#include <cstdio>
#include <cstring>

#include <QWidget>

#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "driver/ZX7100Access.h"
#include "engine/WirelessTables.h"
#include "monitor/LinkFigures.h"
#include "platform/InternalConsistency.h"
#include "platform/qt/RunLoopTimer.h"
#include "survey/SiteSurveyPageController.h"
#include "ui_LinkStatusPage.h"

namespace {

constexpr double kRefreshIntervalSeconds = 2.0;

// Queries `oid` into `record`, cleared first, so that a failed query reads as zeros.
template <typename Record>
bool Query(ZX7100Access& adapter, uint32_t oid, Record& record) {
  std::memset(&record, 0, sizeof record);
  uint32_t returned = 0;
  return adapter.OidQueryInformation(oid, &record, sizeof record, &returned);
}

QString NetworkName(const NDIS_802_11_SSID& ssid) {
  return QString::fromUtf8(
      reinterpret_cast<const char*>(ssid.Ssid),
      static_cast<qsizetype>(strnlen(reinterpret_cast<const char*>(ssid.Ssid), sizeof ssid.Ssid)));
}

QString AddressText(const uint8_t (&mac)[6]) {
  return QString::asprintf("%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2], mac[3], mac[4],
                           mac[5]);
}

}  // namespace

LinkStatusPageController::LinkStatusPageController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context), ui_(std::make_unique<Ui::LinkStatusPage>()) {
  widget_ = new QWidget;
  ui_->setupUi(widget_);
  refreshTimer_ = new platform::RunLoopTimer(
      kRefreshIntervalSeconds, [this] { OnTimer(); }, this);
}

LinkStatusPageController::~LinkStatusPageController() = default;

void LinkStatusPageController::awakeFromNib() {
  TxCount = 0;
  RxCount = 0;
  ChannelQuality = 0;
  SignalQuality = 0;

  ZX_802_11_LINK_STATUS linkStatus;
  Query(context_.Adapter, ZX_OID_802_11_QUERY_LINK_STATUS, linkStatus);
  TxCount = linkStatus.TxBytes;
  RxCount = linkStatus.RxBytes;

  ui_->LinkQuality->setRange(0, 100);
  ui_->SignalStrength->setRange(0, 100);
  refreshTimer_->Start();
}

void LinkStatusPageController::OnTimer() {
  if (__DEBUG__) std::fputs("#### LinkStatusPageController - OnTimer ####\n", stderr);

  if (!G_bDeviceExist) {
    ShowUnlinked(QStringLiteral("No Device!!"));
    return;
  }
  uint32_t mediaState = 0;
  if (!Query(context_.Adapter, OID_GEN_MEDIA_CONNECT_STATUS, mediaState)) {
    ShowUnlinked(QStringLiteral("No Device!!"));
    return;
  }
  if (mediaState != 0) {
    ShowUnlinked(NotConnectedStatus());
    return;
  }
  RefreshConnected();
}

QString LinkStatusPageController::NotConnectedStatus() {
  if (!G_bRadio) return QStringLiteral("Radio Status <--> OFF");
  ZX_802_11_STA_CONFIG staConfig;
  Query(context_.Adapter, ZX_OID_802_11_STA_CONFIG, staConfig);
  if (staConfig.HwRadioStatus == 0) return QStringLiteral("Radio Status <--> OFF");
  return QStringLiteral("Disconnected");
}

void LinkStatusPageController::ShowUnlinked(const QString& status) {
  ui_->Status->setText(status);
  ui_->CurrentChannel->clear();
  ui_->CurrentTxRate->clear();
  ui_->ThroughputTx->clear();
  ui_->ThroughputRx->clear();
  ui_->LinkQualityState->clear();
  ui_->SignalStrengthState->clear();
  ui_->LinkQuality->setValue(0);
  ui_->SignalStrength->setValue(0);
  ui_->dBm->setChecked(false);
  UpdateSurveyConnectStatus(QStringLiteral("** Disconnected **"));
  if (G_configFromProfile) G_bCheckedProfileConnect = 0;
}

void LinkStatusPageController::RefreshConnected() {
  ZX7100Access& adapter = context_.Adapter;

  NDIS_802_11_SSID ssid;
  Query(adapter, OID_802_11_SSID, ssid);
  uint8_t bssid[6];
  Query(adapter, OID_802_11_BSSID, bssid);
  const QString networkName = NetworkName(ssid);
  const QString statusText = networkName + QStringLiteral(" <--> ") + AddressText(bssid);
  const QString connectionText = QStringLiteral("Connected <--> ") + networkName;

  NDIS_802_11_CONFIGURATION configuration;
  Query(adapter, OID_802_11_CONFIGURATION, configuration);
  const int channel = FrequencyToChannel(configuration.DSConfig);
  if (channel < 0) {
    // The channel table covers every frequency the adapter reports; keep what the last
    // refresh showed and try again at the next tick.
    platform::ReportInternalInconsistency("LinkStatusPageController", __LINE__);
    return;
  }
  const QString channelText = QString::asprintf("%u <--> %d KHz", static_cast<unsigned>(channel),
                                                static_cast<int>(configuration.DSConfig));

  ZX_802_11_LINK_STATUS linkStatus;
  Query(adapter, ZX_OID_802_11_QUERY_LINK_STATUS, linkStatus);
  const QString txRateText = QString::fromStdString(TxRateText(linkStatus.TxRate));
  const QString throughputTxText =
      QString::fromStdString(ThroughputText(linkStatus.TxBytes, TxCount));
  const QString throughputRxText =
      QString::fromStdString(ThroughputText(linkStatus.RxBytes, RxCount));

  ChannelQuality = SmoothLinkQuality(ChannelQuality, linkStatus.LinkQualityRaw);
  LinkQualityGrade = QString::fromLatin1(QualityGrade(ChannelQuality));
  LinkQualityPercent = QString::asprintf("%d%%", static_cast<int>(ChannelQuality));

  int32_t rssi = 0;
  Query(adapter, OID_802_11_RSSI, rssi);
  SignalQuality = SmoothSignalQuality(SignalQuality, adapter.ConvertRssiToSignalQuality(rssi));
  SignalQualityGrade = QString::fromLatin1(QualityGrade(SignalQuality));
  SignalQualityPercent = ui_->dBm->isChecked()
                             ? QString::asprintf("%d dBm", rssi)
                             : QString::asprintf("%d%%", static_cast<int>(SignalQuality));

  ui_->Status->setText(statusText);
  ui_->CurrentChannel->setText(channelText);
  ui_->CurrentTxRate->setText(txRateText);
  ui_->ThroughputTx->setText(throughputTxText);
  ui_->ThroughputRx->setText(throughputRxText);
  ui_->LinkQualityState->setText(LinkQualityGrade + LinkQualityPercent);
  ui_->SignalStrengthState->setText(SignalQualityGrade + SignalQualityPercent);
  ui_->LinkQuality->setValue(static_cast<int>(ChannelQuality));
  ui_->SignalStrength->setValue(static_cast<int>(SignalQuality));

  UpdateSurveyConnectStatus(connectionText);
  G_bCheckedProfileConnect = G_configFromProfile ? 1 : 0;

  if (__DEBUG__) std::fputs("#### LinkStatusPageController - OnTimer - ending ####\n", stderr);
}

void LinkStatusPageController::UpdateSurveyConnectStatus(const QString& text) {
  if (outlets_.SiteSurveyPage) outlets_.SiteSurveyPage->UpdateConnectStatus(text);
}
