// SPDX-License-Identifier: GPL-3.0-or-later
// The Site Survey page: the table of networks from the last scan with the connected one
// marked, the 2-second tick that probes the link and runs the task engine, Rescan, and
// the Connect and Add Profile requests.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <QObject>
#include <QString>

#include "app/AppContext.h"
#include "driver/DriverRecords.h"
#include "driver/ScanList.h"
#include "engine/ProfileRecord.h"
#include "survey/ConnectRequest.h"

class QWidget;
class QDialog;
class AccessPointTableModel;

namespace Ui {
class SiteSurveyPage;
}
namespace platform {
class RunLoopTimer;
}

class SiteSurveyPageController : public QObject {
  Q_OBJECT
 public:
  explicit SiteSurveyPageController(AppContext& context, QObject* parent = nullptr);
  ~SiteSurveyPageController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Runs once the whole window is loaded and every outlet is set.
  void awakeFromNib();
  QWidget* widget() const { return widget_; }

  // The page's 2-second tick: the connection probe, then one task of the engine.
  void StartSiteSurveyTimer();
  void StopSiteSurveyTimer();
  void OnTimer();

  // Button actions.
  void OnRescan();
  void OnConnect();
  void OnAddProfile();

  // Results of the two dialogs of a connect request, handed over when the user confirms.
  // The security dialog's choices: list items, transmit key, the four WEP keys (length and
  // bytes) and the pre-shared key text with its length in bytes.
  void ReceiveWEPsetting(int authenType, int encryType, int selKeyIndex, int key1Len,
                         const uint8_t* key1Material, int key2Len, const uint8_t* key2Material,
                         int key3Len, const uint8_t* key3Material, int key4Len,
                         const uint8_t* key4Material, int wpaPskLen, const char* wpaPsk);
  // The typed name of a hidden network (at most 32 bytes are kept).
  void ReceiveHiddenSSID(int length, const char* text);
  // What the security dialog handed back last.
  const SecuritySettings& ReceivedSecuritySettings() const { return Security; }

  // The rows: rebuilt from G_pBssidList, or emptied.
  void RefreshAPList();
  void RescanTimeFunc();
  void ClearAPList();
  // The one-line connection text under the table (written by the Link Status page).
  void UpdateConnectStatus(const QString& text);

  // Marks the connected row and asks for a rescan while the connected network is missing
  // from the list.
  void ProbeConnectStatus();
  // WPA kind (0 none, 1 WPA with 802.1X, 2 WPA-PSK, 3 WPA-None) of the entry behind
  // CurrentSelectedItem.
  unsigned IsItemWPA() const;

  // Task engine entry points (the queue itself is the engine's).
  void SetTaskQueue(std::unique_ptr<ProfileRecord> record);
  void resetFlag();
  void DoTask();

  const AccessPointTableModel& tableData() const { return *tableData_; }

 private:
  void QueueRescan();
  // Takes the selected row into CurrentSelectedItem; alerts and answers false when no row
  // is selected.
  bool TakeSelectedItem();
  // The scan entry behind CurrentSelectedItem, or nullopt when the current list is empty
  // or shorter than the row (the list changed since the rows were built).
  std::optional<ScanEntry> SelectedEntry() const;
  // Runs `dialog` as a window-modal sheet on the main window; its result code.
  int RunSheet(QDialog* dialog);
  // The hidden-network dialog; true when it ended with OK (the name is in SsidSet).
  bool AskHiddenNetworkName();
  // Prepares and runs the security dialog for a network of `kind` whose group cipher
  // reads as `encryption`; true when it ended with OK (the choices are in Security).
  bool AskSecuritySettings(unsigned kind, const std::string& encryption);
  // Selects nothing after the rows changed.
  void DeselectAll();

  AppContext& context_;
  Outlets outlets_;
  QWidget* widget_ = nullptr;  // the tab page, owned by the tab view once inserted
  std::unique_ptr<Ui::SiteSurveyPage> ui_;
  AccessPointTableModel* tableData_ = nullptr;  // owned by this controller
  platform::RunLoopTimer* SiteSurveyTimer = nullptr;

  int CurrentSelectedItem = 0;  // selected row + 1, taken when a button acts; 0 = none
  int TimerCount = 0;           // -1 after a probe that found the link up
  int8_t SetSsid = 0;           // the last connect request associated by network name
  int8_t SetBssid = 0;          // the last connect request associated by BSSID
  int8_t runFlag = 0;           // nonzero while the task engine applies a task
  NDIS_802_11_SSID SsidSet{};   // network name of the last connect request
  uint8_t BssidSet[6]{};        // BSSID of the last connect request
  SecuritySettings Security;    // the security dialog's last choices
  int HiddenSSIDlen = 0;        // the hidden-network dialog's last name
  uint8_t HiddenSSIDtext[32]{};
};
