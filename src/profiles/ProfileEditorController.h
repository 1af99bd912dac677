// SPDX-License-Identifier: GPL-3.0-or-later
// The profile editor sheet: creates or changes one stored profile. It is opened empty
// (AddInit), on a stored profile (EditInit) or prefilled from a surveyed network
// (AddProfile); OK checks the keys, builds the entry and saves the whole list.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QObject>
#include <QString>

#include "app/AppContext.h"
#include "profiles/ProfileStore.h"

class QWidget;
class QDialog;
class SecurityKeyControls;
namespace Ui {
class ProfileEditorController;
}

class ProfileEditorController : public QObject {
  Q_OBJECT
 public:
  explicit ProfileEditorController(AppContext& context, QObject* parent = nullptr);
  // Saves the list if a working copy is still held.
  ~ProfileEditorController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Runs once the whole window is loaded and every outlet is set.
  void awakeFromNib();
  // The sheet; the caller shows it window-modal on the main window and runs it with exec()
  // until OK (result 1) or Cancel (result 0) ends it, then refreshes its profile list.
  QDialog* window() const { return window_; }

  // Openings.
  // Prepares a new, empty profile with the next free "PROF<n>" name.
  void AddInit();
  // Prepares row `index` of the stored list for editing.
  void EditInit(int index);
  // Prepares a new profile from a surveyed network: its name `ssid`, the access point's
  // address `bssid`, its NDIS encryption status (0 WEP, 1 none, 4 TKIP, 6 AES), its NDIS
  // authentication mode (0 open, 1 shared, 4 WPA-PSK, 5 WPA-None), its infrastructure mode
  // (0 ad hoc, 1 infrastructure) and its channel (1..14). Always true: the editor is ready.
  // Called by the survey page, which then runs window() as a sheet.
  bool AddProfile(const QString& ssid, const uint8_t bssid[6], int ecrypStatus, int authenMode,
                  int networkType, int channel);

  // Closing.
  void OnOK();      // checks the keys, saves, closes with 1; stays open on a key alert
  void OnCANCEL();  // closes with 0, nothing saved

  // Control rules.
  void OnNetworkType();
  void OnSelchangeAuthType();
  void OnSelchangeEncryptionType();
  void OnSelRTS();
  void OnRtsSlider();
  void OnSelFrag();
  void OnFragSlider();
  // Rebuilds the authentication list with "WPA-NONE" (0) or "WPA-PSK" (1) as third item.
  void setAuthenTypeComboText(int n);
  void setAuthenTypeCombo(int index);
  void setEncryTypeCombo(int index);

  // Fills the network-name list from the last scan list, one item per scan entry.
  void GetBssidList();
  // "PROF" followed by one more than the highest number after "PROF" in the list's names.
  QString GetNextProfileName() const;
  // The entry the controls describe, with all 24 keys.
  profiles::ProfileEntry createProfileData();
  void saveProfile();
  // Checks the typed keys; false after one alert.
  bool VerifyKey();

 private:
  void LoadRecords();
  void ReleaseRecords();
  void ClearKeys();

  AppContext& context_;
  Outlets outlets_;
  QDialog* window_ = nullptr;
  std::unique_ptr<Ui::ProfileEditorController> ui_;
  std::unique_ptr<SecurityKeyControls> keyControls_;

  std::optional<profiles::ProfileStore> store_;  // held while the editor is open
  std::optional<profiles::ProfileList> records;
  char IsNewData = 0;
  int modifyIndex = 0;
  int selFlag = 0;
  std::array<uint8_t, 6> copyBSSID{};
  char bHidden = 0;
  // The addresses of the scan entries behind the network-name items, in the same order.
  std::vector<std::array<uint8_t, 6>> scannedBssids_;
};
