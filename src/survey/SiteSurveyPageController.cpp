// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/SiteSurveyPageController.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

#include "app/state/GlobalState.h"
#include "driver/OidCatalogue.h"
#include "driver/ScanList.h"
#include "driver/ZX7100Access.h"
#include "engine/TaskEngine.h"
#include "engine/TaskQueue.h"
#include "engine/WirelessTables.h"
#include "platform/InternalConsistency.h"
#include "platform/qt/RunLoopTimer.h"
#include "survey/AccessPointTableModel.h"
#include "survey/ElementWalk.h"
#include "ui_SiteSurveyPage.h"

namespace {

constexpr double kSurveyIntervalSeconds = 2.0;

// What the element walk needs of a scan entry.
EntryElements ElementsOf(const ScanEntry& entry) {
  return {entry.Length(), entry.Fixed().InfrastructureMode, entry.IeArea()};
}

QString NetworkName(const NDIS_802_11_SSID& ssid) {
  const char* bytes = reinterpret_cast<const char*>(ssid.Ssid);
  return QString::fromUtf8(bytes, static_cast<qsizetype>(strnlen(bytes, sizeof ssid.Ssid)));
}

QString AddressText(const uint8_t (&mac)[6]) {
  return QString::asprintf("%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2], mac[3], mac[4],
                           mac[5]);
}

QString NetworkTypeText(uint32_t infrastructureMode) {
  if (infrastructureMode < std::size(strAryNetworkType)) {
    return QString::fromLatin1(strAryNetworkType[infrastructureMode]);
  }
  return QStringLiteral("Unknown");
}

void Trace(const char* format, const QString& text) {
  if (__DEBUG__) std::fprintf(stderr, format, text.toUtf8().constData());
}

}  // namespace

SiteSurveyPageController::SiteSurveyPageController(AppContext& context, QObject* parent)
    : QObject(parent),
      context_(context),
      ui_(std::make_unique<Ui::SiteSurveyPage>()),
      tableData_(new AccessPointTableModel(this)) {
  widget_ = new QWidget;
  ui_->setupUi(widget_);
  ui_->ApList->setModel(tableData_);

  QHeaderView* header = ui_->ApList->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setSectionResizeMode(AccessPointTableModel::ConnectedMarker, QHeaderView::Fixed);
  header->resizeSection(AccessPointTableModel::ConnectedMarker, 28);
  header->resizeSection(AccessPointTableModel::SsidColumn, 150);
  header->resizeSection(AccessPointTableModel::BssidColumn, 135);
  header->resizeSection(AccessPointTableModel::SignalColumn, 70);
  header->resizeSection(AccessPointTableModel::ChannelColumn, 65);
  header->resizeSection(AccessPointTableModel::AuthenticationColumn, 100);
  header->resizeSection(AccessPointTableModel::EncryptionColumn, 90);
  header->setStretchLastSection(true);

  SiteSurveyTimer = new platform::RunLoopTimer(
      kSurveyIntervalSeconds, [this] { OnTimer(); }, this);

  connect(ui_->Rescan, &QPushButton::clicked, this, &SiteSurveyPageController::OnRescan);
  connect(ui_->Connect, &QPushButton::clicked, this, &SiteSurveyPageController::OnConnect);
  connect(ui_->AddProfile, &QPushButton::clicked, this, &SiteSurveyPageController::OnAddProfile);
}

SiteSurveyPageController::~SiteSurveyPageController() = default;

void SiteSurveyPageController::awakeFromNib() {
  // A double-click on a row connects to that network.
  connect(ui_->ApList, &QTableView::doubleClicked, this, &SiteSurveyPageController::OnConnect);
}

void SiteSurveyPageController::StartSiteSurveyTimer() {
  // One timer: a second start replaces the running schedule instead of adding another.
  SiteSurveyTimer->Invalidate();
  SiteSurveyTimer->Start();
}

void SiteSurveyPageController::StopSiteSurveyTimer() {
  SiteSurveyTimer->Invalidate();
}

void SiteSurveyPageController::OnTimer() {
  if (!G_bDeviceExist) return;
  ProbeConnectStatus();
  DoTask();
}

void SiteSurveyPageController::OnRescan() {
  QueueRescan();
}

void SiteSurveyPageController::OnConnect() {}

void SiteSurveyPageController::OnAddProfile() {}

void SiteSurveyPageController::QueueRescan() {
  // The rescan never reads its record; the task carries an empty one.
  std::unique_ptr<ProfileData> task =
      ProfileData::setProfileData(std::make_unique<ProfileRecord>());
  task->setTaskType(kTaskRescan);
  TaskQueue::InsertTaskObject(std::move(task));
}

void SiteSurveyPageController::RefreshAPList() {
  RescanTimeFunc();
}

void SiteSurveyPageController::RescanTimeFunc() {
  if (__DEBUG__) std::fputs("#### SiteSurveyPageController - RefreshAPList ####\n", stderr);
  ClearAPList();

  std::vector<AccessPoint> rows;
  for (const ScanEntry& entry : ScanListView::OfGlobalList()) {
    const NDIS_WLAN_BSSID_EX& bss = entry.Fixed();
    const QString ssid = NetworkName(bss.Ssid);
    Trace("**** SiteSurveyPageController - RefreshAPList --> strSSID = %s ****\n", ssid);
    const QString bssid = AddressText(bss.MacAddress);
    Trace("**** SiteSurveyPageController - RefreshAPList --> strBSSID = %s ****\n", bssid);
    const QString signal = QString::number(context_.Adapter.ConvertRssiToSignalQuality(bss.Rssi));
    Trace("**** SiteSurveyPageController -  RefreshAPList --> strSignal = %s ****\n", signal);

    const int channelNumber = FrequencyToChannel(bss.Configuration.DSConfig);
    if (channelNumber < 0) {
      // The channel table covers every frequency the adapter reports. Show the rows built
      // so far; the next rebuild starts afresh.
      platform::ReportInternalInconsistency("SiteSurveyPageController", __LINE__);
      break;
    }
    if (__DEBUG__) {
      std::fprintf(stderr,
                   "**** SiteSurveyPageController - RefreshAPList --> Freq = %d, nChannel = %d, "
                   "SSID = %s ****\n",
                   static_cast<int>(bss.Configuration.DSConfig), channelNumber,
                   ssid.toUtf8().constData());
    }
    const QString channel = QString::number(channelNumber);
    Trace("**** SiteSurveyPageController -  RefreshAPList --> strChannel = %s ****\n", channel);

    std::string encryption = bss.Privacy != 0 ? strAryEncryption[Ndis802_11WEPEnabled]
                                              : strAryEncryption[Ndis802_11WEPDisabled];
    const QString networkType = NetworkTypeText(bss.InfrastructureMode);
    Trace("**** SiteSurveyPageController -  RefreshAPList --> strNetworkType = %s ****\n",
          networkType);
    std::string authentication = kAuthenticationUnknown;
    WalkElementsFull(ElementsOf(entry), authentication, encryption);

    rows.emplace_back(ssid, bssid, signal, channel, QString::fromStdString(authentication),
                      QString::fromStdString(encryption), networkType);
  }
  tableData_->SetRows(std::move(rows));
  DeselectAll();
}

void SiteSurveyPageController::ClearAPList() {
  tableData_->Clear();
}

void SiteSurveyPageController::DeselectAll() {
  ui_->ApList->clearSelection();
  ui_->ApList->setCurrentIndex(QModelIndex());
}

void SiteSurveyPageController::UpdateConnectStatus(const QString& text) {
  ui_->ConnectStatus->setText(text);
}

void SiteSurveyPageController::ProbeConnectStatus() {
  if (__DEBUG__) std::fputs("#### SiteSurveyPageController - ProbeConnectStatus ####\n", stderr);
  if (!G_bDeviceExist) return;
  if (G_bRescan) {
    RefreshAPList();
    G_bRescan = 0;
  }
  G_bCurSelItem = -1;

  // A failed query leaves the cleared buffer, which reads as connected.
  uint32_t mediaState = 0;
  uint32_t returned = 0;
  context_.Adapter.OidQueryInformation(OID_GEN_MEDIA_CONNECT_STATUS, &mediaState, sizeof mediaState,
                                       &returned);
  if (mediaState != 0) return;
  if (!G_bRadio) return;

  TimerCount = -1;
  G_bRescan = 1;
  uint8_t bssid[6] = {};
  context_.Adapter.OidQueryInformation(OID_802_11_BSSID, bssid, sizeof bssid, &returned);

  int32_t row = 0;
  for (const ScanEntry& entry : ScanListView::OfGlobalList()) {
    if (std::memcmp(entry.Fixed().MacAddress, bssid, sizeof bssid) == 0) {
      G_bCurSelItem = row;
      G_bRescan = 0;
      tableData_->Reload();
      break;
    }
    ++row;
  }
  // Connected to a network the list lacks: ask for a newer list, unless a task is running.
  if (G_bRescan && runFlag == 0) QueueRescan();
}

unsigned SiteSurveyPageController::IsItemWPA() const {
  if (__DEBUG__) std::fputs("#### SiteSurveyPageController - IsItemWPA ####\n", stderr);
  if (CurrentSelectedItem <= 0) return static_cast<unsigned>(WpaKind::None);
  // A row from an older list may lie beyond the current one.
  const std::optional<ScanEntry> entry =
      ScanListView::OfGlobalList().At(static_cast<std::size_t>(CurrentSelectedItem - 1));
  if (!entry) return static_cast<unsigned>(WpaKind::None);
  return static_cast<unsigned>(WpaKindOfEntry(ElementsOf(*entry)));
}

void SiteSurveyPageController::SetTaskQueue(std::unique_ptr<ProfileRecord> record) {
  std::unique_ptr<ProfileData> task = ProfileData::setProfileData(std::move(record));
  task->setTaskType(kTaskConfigure);
  TaskQueue::InsertTaskObject(std::move(task));
}

void SiteSurveyPageController::resetFlag() {
  SetSsid = 0;
  SetBssid = 0;
}

void SiteSurveyPageController::DoTask() {
  ::DoTask(context_.Adapter, runFlag);
}
