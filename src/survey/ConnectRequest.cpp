// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/ConnectRequest.h"

#include <algorithm>
#include <cstring>

#include "engine/WpaKeyText.h"

namespace {

constexpr int32_t kLongPreamble = 2;
constexpr uint32_t kRtsThresholdOff = 2347;

// The settings every connect request starts from: an open network at full power.
void SetDefaults(PROFILE_DATA& r, const ConnectTarget& target) {
  r.NetworkType = static_cast<int32_t>(target.infrastructureMode);
  r.PreambleType = kLongPreamble;
  r.RtsThreshold = kRtsThresholdOff;
  r.FragThreshold = 0;
  r.AuthMode = Ndis802_11AuthModeOpen;
  r.WepStatus = Ndis802_11WEPDisabled;
  r.TxPowerIndex = 0;
  r.PowerMode = Ndis802_11PowerModeCAM;
  r.bDisassociateFirst = 1;
}

// The name the passphrase is hashed with: the one the network is joined by.
bool SetWpaKey(ProfileRecord& record, const ConnectTarget& target, const std::string& keyText) {
  uint8_t pmk[32] = {};
  if (!WpaKeyFromText(keyText, target.ssid.Ssid, target.ssid.SsidLength, pmk)) return false;
  record.SetWpaKey(pmk);
  return true;
}

void SetWepKeys(ProfileRecord& record, const SecuritySettings& security) {
  for (int slot = 0; slot < 4; ++slot) {
    const uint32_t length = std::min<uint32_t>(security.KeyLen[slot], kMaxWepKeyLength);
    if (length == 0) continue;
    record.SetWepKey(slot, security.KeyMaterial[slot], length, slot == security.SelKeyIndex);
  }
}

void SetAssociation(PROFILE_DATA& r, const ConnectTarget& target) {
  if (target.infrastructureMode == Ndis802_11IBSS || target.hidden) {
    r.bUseBssid = 0;
    r.Ssid = target.ssid;
  } else {
    r.bUseBssid = 1;
    std::memcpy(r.Bssid, target.bssid, sizeof r.Bssid);
  }
}

}  // namespace

std::unique_ptr<ProfileRecord> BuildConnectRecord(const ConnectTarget& target,
                                                  const SecuritySettings* security) {
  auto record = std::make_unique<ProfileRecord>();
  PROFILE_DATA& r = record->data();
  SetDefaults(r, target);

  if (security != nullptr) {
    if (security->AuthenType >= kAuthenItemWpa) {
      if (!SetWpaKey(*record, target, security->WPAPSK)) return nullptr;
      r.AuthMode = target.infrastructureMode == Ndis802_11Infrastructure
                       ? Ndis802_11AuthModeWPAPSK
                       : Ndis802_11AuthModeWPANone;
      r.WepStatus = security->EncryType == kEncryItemTkip ? Ndis802_11Encryption2Enabled
                                                          : Ndis802_11Encryption3Enabled;
    } else if (security->AuthenType == kAuthenItemShared || security->EncryType == kEncryItemWep) {
      r.AuthMode = security->AuthenType;
      r.WepStatus = security->EncryType != 0 ? Ndis802_11WEPEnabled : Ndis802_11WEPDisabled;
      SetWepKeys(*record, *security);
    }
  }

  SetAssociation(r, target);
  return record;
}
