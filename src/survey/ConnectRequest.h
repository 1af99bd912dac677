// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration record that joining a surveyed network queues: what the scan entry
// says about the network, what the security dialog handed back, and the record built from
// both. No widgets here, so the record rules are tested alone.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "driver/DriverRecords.h"
#include "engine/ProfileRecord.h"

// Security choices as the security dialog returns them (list positions and key bytes).
struct SecuritySettings {
  int AuthenType = 0;   // 0 Open, 1 Shared, 2 the WPA entry ("WPA-PSK" or "WPA-NONE")
  int EncryType = 0;    // 0 NONE / TKIP, 1 WEP / AES
  int SelKeyIndex = 0;  // transmit WEP key, 0..3
  uint8_t KeyLen[4]{};  // WEP key lengths in bytes (0 = no key)
  uint8_t KeyMaterial[4][14]{};
  // The pre-shared key text, whole (WPAPSKlen is its size): a 64-digit hexadecimal key
  // or a passphrase of any length reaches the key derivation uncut.
  std::string WPAPSK;
};

inline constexpr int kAuthenItemOpen = 0;
inline constexpr int kAuthenItemShared = 1;
inline constexpr int kAuthenItemWpa = 2;
inline constexpr int kEncryItemWep = 1;   // with Open or Shared
inline constexpr int kEncryItemTkip = 0;  // with the WPA entry
inline constexpr std::size_t kWepKeyMaterialSize = 14;
inline constexpr uint32_t kMaxWepKeyLength = 13;

// What the request knows of the network it joins.
struct ConnectTarget {
  NDIS_802_11_SSID ssid{};  // the entry's Ssid record, or the typed name of a hidden network
  uint8_t bssid[6]{};       // the entry's MacAddress
  uint32_t infrastructureMode = 0;  // 0 ad hoc, 1 infrastructure, 2 automatic
  bool hidden = false;              // joined by the typed name instead of by address
};

// The record of an open network, or of the dialog's choice when `security` is given.
// Infrastructure (and automatic) networks are joined by BSSID, ad hoc and hidden ones by
// name. Null when the choice is WPA and no key can be derived from its text (the caller
// shows kWpaKeyNotUsableAlert and queues nothing).
std::unique_ptr<ProfileRecord> BuildConnectRecord(const ConnectTarget& target,
                                                  const SecuritySettings* security);
