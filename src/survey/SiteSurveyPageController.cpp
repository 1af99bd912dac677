// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/SiteSurveyPageController.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <QDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QWidget>

#include "app/state/GlobalState.h"
#include "driver/OidCatalogue.h"
#include "driver/ScanList.h"
#include "driver/ZX7100Access.h"
#include "engine/TaskEngine.h"
#include "engine/TaskQueue.h"
#include "engine/WirelessTables.h"
#include "engine/WpaKeyText.h"
#include "platform/AlertPanel.h"
#include "platform/InternalConsistency.h"
#include "platform/qt/RunLoopTimer.h"
#include "profiles/ProfileEditorController.h"
#include "profiles/ProfilePageController.h"
#include "survey/AccessPointTableModel.h"
#include "survey/ElementWalk.h"
#include "survey/HiddenSSIDController.h"
#include "survey/WEPSettingController.h"
#include "ui_SiteSurveyPage.h"

namespace {

constexpr double kSurveyIntervalSeconds = 2.0;
constexpr int kSheetOK = 1;
constexpr int kProfileTabIndex = 0;

constexpr const char* kNoSelectionTitle = "No selected item";
constexpr const char* kNoSelectionMessage = "Please select an item to connect to.";
constexpr const char* kWpaEnterpriseAlert = "WPA-Enterprise isn't supported yet!!!";

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

// The encryption text of a connect or add-profile request: from the Privacy bit, then from
// every WPA element of the entry.
std::string EncryptionOf(const ScanEntry& entry) {
  std::string encryption = entry.Fixed().Privacy != 0 ? strAryEncryption[Ndis802_11WEPEnabled]
                                                      : strAryEncryption[Ndis802_11WEPDisabled];
  WalkElementsEncryptionOnly(ElementsOf(entry), encryption);
  return encryption;
}

bool IsTkip(const std::string& encryption) {
  return encryption == "TKIP";
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

bool SiteSurveyPageController::TakeSelectedItem() {
  const QModelIndexList rows = ui_->ApList->selectionModel()->selectedRows();
  CurrentSelectedItem = rows.isEmpty() ? 0 : rows.first().row() + 1;
  if (CurrentSelectedItem == 0) {
    context_.Alerts.Run(kNoSelectionTitle, kNoSelectionMessage);
    return false;
  }
  return true;
}

std::optional<ScanEntry> SiteSurveyPageController::SelectedEntry() const {
  const ScanListView list = ScanListView::OfGlobalList();
  if (CurrentSelectedItem <= 0 || list.DeclaredCount() == 0) return std::nullopt;
  return list.At(static_cast<std::size_t>(CurrentSelectedItem - 1));
}

int SiteSurveyPageController::RunSheet(QDialog* dialog) {
  QMainWindow* mainWindow = outlets_.mainWindow;
  if (mainWindow && dialog->parentWidget() != mainWindow) {
    dialog->setParent(mainWindow, dialog->windowFlags() | Qt::Sheet);
  }
  dialog->setWindowModality(Qt::WindowModal);
  dialog->update();
  const int code = dialog->exec();  // ended by the dialog's OK (1) or Cancel (0)
  dialog->hide();
  return code;
}

bool SiteSurveyPageController::AskHiddenNetworkName() {
  if (!outlets_.HiddenSSID) return false;
  if (RunSheet(outlets_.HiddenSSID->window()) != kSheetOK) return false;
  SsidSet = NDIS_802_11_SSID{};
  SsidSet.SsidLength = static_cast<uint32_t>(HiddenSSIDlen);
  std::memcpy(SsidSet.Ssid, HiddenSSIDtext, static_cast<std::size_t>(HiddenSSIDlen));
  return true;
}

bool SiteSurveyPageController::AskSecuritySettings(unsigned kind, const std::string& encryption) {
  WEPSettingController* dialog = outlets_.WEPSetting;
  if (!dialog) return false;
  if (kind == static_cast<unsigned>(WpaKind::WpaPsk) ||
      kind == static_cast<unsigned>(WpaKind::WpaNone)) {
    dialog->setAuthenTypeComboText(kind == static_cast<unsigned>(WpaKind::WpaPsk) ? 1 : 0);
    dialog->setAuthenTypeCombo(kAuthenItemWpa);
    dialog->OnSelchangeAuthType();
    dialog->setEncryTypeCombo(IsTkip(encryption) ? 0 : 1);
    dialog->OnSelchangeEncryptionType();
  } else {
    // A WEP network; the authentication list keeps the items of its last preparation.
    dialog->setAuthenTypeCombo(kAuthenItemOpen);
    dialog->OnSelchangeAuthType();
    dialog->setEncryTypeCombo(kEncryItemWep);
    dialog->OnSelchangeEncryptionType();
  }
  dialog->window()->update();
  dialog->clearText();
  return RunSheet(dialog->window()) == kSheetOK;
}

void SiteSurveyPageController::OnConnect() {
  if (__DEBUG__) std::fputs("#### SiteSurveyPageController - OnConnect ####\n", stderr);
  TimerCount = 0;
  G_bRescan = 0;
  if (!TakeSelectedItem()) return;
  if (__DEBUG__) {
    std::fprintf(stderr,
                 "**** SiteSurveyPageController - OnConnect --> CurrentSelectedItem = %d ****\n",
                 CurrentSelectedItem);
  }
  if (ScanListView::OfGlobalList().DeclaredCount() == 0) return;
  const std::optional<ScanEntry> entry = SelectedEntry();
  if (!entry) {
    // The row belongs to an older list than the current one: join nothing, and let the
    // next tick show the current list.
    G_bRescan = 1;
    return;
  }
  const NDIS_WLAN_BSSID_EX& bss = entry->Fixed();
  const std::string encryption = EncryptionOf(*entry);

  const unsigned kind = IsItemWPA();
  if (kind == static_cast<unsigned>(WpaKind::Wpa8021X)) {
    context_.Alerts.Run(kWpaEnterpriseAlert, "");
    return;
  }

  ConnectTarget target;
  target.infrastructureMode = bss.InfrastructureMode;
  std::memcpy(target.bssid, bss.MacAddress, sizeof target.bssid);
  target.hidden = bss.InfrastructureMode == Ndis802_11Infrastructure && bss.Ssid.SsidLength == 0;
  if (target.hidden && !AskHiddenNetworkName()) return;
  target.ssid = target.hidden ? SsidSet : bss.Ssid;

  const bool open = bss.Privacy == 0 && kind == static_cast<unsigned>(WpaKind::None);
  if (!open && !AskSecuritySettings(kind, encryption)) return;

  std::unique_ptr<ProfileRecord> record = BuildConnectRecord(target, open ? nullptr : &Security);
  if (!record) {
    context_.Alerts.Run(kWpaKeyNotUsableAlert, "");
    return;
  }

  if (!target.hidden) SsidSet = bss.Ssid;
  std::memcpy(BssidSet, bss.MacAddress, sizeof BssidSet);
  G_bRescan = 0;
  const bool byName = record->data().bUseBssid == 0;
  SetTaskQueue(std::move(record));  // a full configuration task
  SetSsid = byName ? 1 : 0;
  SetBssid = byName ? 0 : 1;

  // The connection no longer comes from a profile.
  G_configFromProfile = 0;
  if (outlets_.ProfilePage) outlets_.ProfilePage->DisabledActivateProfile();
  tableData_->Reload();
  DeselectAll();
}

void SiteSurveyPageController::ReceiveWEPsetting(int authenType, int encryType, int selKeyIndex,
                                                 int key1Len, const uint8_t* key1Material,
                                                 int key2Len, const uint8_t* key2Material,
                                                 int key3Len, const uint8_t* key3Material,
                                                 int key4Len, const uint8_t* key4Material,
                                                 int wpaPskLen, const char* wpaPsk) {
  Security.AuthenType = authenType;
  Security.EncryType = encryType;
  Security.SelKeyIndex = selKeyIndex;
  const int lengths[4] = {key1Len, key2Len, key3Len, key4Len};
  const uint8_t* materials[4] = {key1Material, key2Material, key3Material, key4Material};
  for (int n = 0; n < 4; ++n) {
    // A key holds at most 14 bytes; whatever the caller claims, nothing more is copied.
    const auto length = static_cast<uint8_t>(lengths[n]);
    Security.KeyLen[n] = std::min<uint8_t>(length, kWepKeyMaterialSize);
    if (materials[n] != nullptr) {
      std::memcpy(Security.KeyMaterial[n], materials[n], Security.KeyLen[n]);
    }
  }
  Security.WPAPSK.clear();
  if (wpaPsk != nullptr && wpaPskLen > 0) {
    Security.WPAPSK.assign(wpaPsk, static_cast<std::size_t>(wpaPskLen));
  }
}

void SiteSurveyPageController::ReceiveHiddenSSID(int length, const char* text) {
  HiddenSSIDlen = std::clamp(length, 0, static_cast<int>(sizeof HiddenSSIDtext));
  if (text != nullptr) std::memcpy(HiddenSSIDtext, text, static_cast<std::size_t>(HiddenSSIDlen));
}

void SiteSurveyPageController::OnAddProfile() {
  if (__DEBUG__) std::fputs("#### SiteSurveyPageController - OnAddProfile ####\n", stderr);
  if (!TakeSelectedItem()) return;
  if (ScanListView::OfGlobalList().DeclaredCount() == 0) return;
  const std::optional<ScanEntry> entry = SelectedEntry();
  if (!entry) return;  // the row belongs to an older list than the current one
  const NDIS_WLAN_BSSID_EX& bss = entry->Fixed();

  const QString name = QString::fromStdString(entry->SsidText());
  uint8_t bssid[6];
  std::memcpy(bssid, bss.MacAddress, sizeof bssid);
  const int channel = FrequencyToChannel(bss.Configuration.DSConfig);
  if (channel < 0) {
    platform::ReportInternalInconsistency("SiteSurveyPageController", __LINE__);
    return;
  }

  int authenMode = Ndis802_11AuthModeOpen;
  int ecrypStatus = bss.Privacy != 0 ? Ndis802_11WEPEnabled : Ndis802_11WEPDisabled;
  const unsigned kind = IsItemWPA();
  if (kind == static_cast<unsigned>(WpaKind::WpaPsk) ||
      kind == static_cast<unsigned>(WpaKind::WpaNone)) {
    authenMode = kind == static_cast<unsigned>(WpaKind::WpaPsk) ? Ndis802_11AuthModeWPAPSK
                                                                : Ndis802_11AuthModeWPANone;
    ecrypStatus =
        IsTkip(EncryptionOf(*entry)) ? Ndis802_11Encryption2Enabled : Ndis802_11Encryption3Enabled;
  }

  ProfileEditorController* editor = outlets_.ProfileEditor;
  if (!editor) return;
  if (!editor->AddProfile(name, bssid, ecrypStatus, authenMode,
                          static_cast<int>(bss.InfrastructureMode), channel)) {
    return;
  }
  if (outlets_.TabView) outlets_.TabView->setCurrentIndex(kProfileTabIndex);
  RunSheet(editor->window());  // saving or discarding is the editor's business
  if (outlets_.ProfilePage) outlets_.ProfilePage->RefreshProfileList();
}

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
