// SPDX-License-Identifier: GPL-3.0-or-later
// PROFILE_DATA: the 176-byte configuration record that every producer fills and the task
// engine applies, and ProfileRecord, which owns one record together with its key records.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "driver/DriverRecords.h"

// The record keeps 4 bytes for each key-record reference. A reference is a handle into
// the owning ProfileRecord's key table: 0 for none, otherwise the table slot + 1.
using KeyRecordRef = uint32_t;

#pragma pack(push, 4)
struct PROFILE_DATA {
  int8_t bUseBssid;
  uint8_t Align1[3];
  NDIS_802_11_SSID Ssid;
  uint8_t Bssid[6];
  uint8_t Reserved[2];
  int32_t NetworkType;
  int32_t PreambleType;
  uint32_t RtsThreshold;
  uint32_t FragThreshold;
  int32_t AuthMode;
  int32_t WepStatus;
  uint32_t TxPowerIndex;
  KeyRecordRef pWpaKey;
  uint32_t WpaKeyLength;
  KeyRecordRef pWepKey1;
  uint32_t WepKey1Length;
  KeyRecordRef pWepKey2;
  uint32_t WepKey2Length;
  KeyRecordRef pWepKey3;
  uint32_t WepKey3Length;
  KeyRecordRef pWepKey4;
  uint32_t WepKey4Length;
  int32_t PowerMode;
  int8_t CamWhenAcPower;
  uint8_t Align2[3];
  uint32_t ChannelFrequency;
  int8_t bApplyAdvanced;
  uint8_t DesiredRates[8];
  uint8_t Align3[3];
  ZX_802_11_STA_CONFIG StaConfig;
  int8_t bDisassociateFirst;
  uint8_t Align4[3];
};
#pragma pack(pop)
static_assert(sizeof(PROFILE_DATA) == 176);
static_assert(offsetof(PROFILE_DATA, Ssid) == 4);
static_assert(offsetof(PROFILE_DATA, Bssid) == 40);
static_assert(offsetof(PROFILE_DATA, NetworkType) == 48);
static_assert(offsetof(PROFILE_DATA, PreambleType) == 52);
static_assert(offsetof(PROFILE_DATA, RtsThreshold) == 56);
static_assert(offsetof(PROFILE_DATA, FragThreshold) == 60);
static_assert(offsetof(PROFILE_DATA, AuthMode) == 64);
static_assert(offsetof(PROFILE_DATA, WepStatus) == 68);
static_assert(offsetof(PROFILE_DATA, TxPowerIndex) == 72);
static_assert(offsetof(PROFILE_DATA, pWpaKey) == 76);
static_assert(offsetof(PROFILE_DATA, WpaKeyLength) == 80);
static_assert(offsetof(PROFILE_DATA, pWepKey1) == 84);
static_assert(offsetof(PROFILE_DATA, WepKey1Length) == 88);
static_assert(offsetof(PROFILE_DATA, pWepKey4) == 108);
static_assert(offsetof(PROFILE_DATA, WepKey4Length) == 112);
static_assert(offsetof(PROFILE_DATA, PowerMode) == 116);
static_assert(offsetof(PROFILE_DATA, CamWhenAcPower) == 120);
static_assert(offsetof(PROFILE_DATA, ChannelFrequency) == 124);
static_assert(offsetof(PROFILE_DATA, bApplyAdvanced) == 128);
static_assert(offsetof(PROFILE_DATA, DesiredRates) == 129);
static_assert(offsetof(PROFILE_DATA, StaConfig) == 140);
static_assert(offsetof(PROFILE_DATA, bDisassociateFirst) == 172);

// One PROFILE_DATA and the key records it references. The producer fills it and hands it
// to a task whole; the task owns it from then on and releases the keys with it.
class ProfileRecord {
 public:
  ProfileRecord();  // zeroed record, no keys
  ProfileRecord(const ProfileRecord&) = delete;
  ProfileRecord& operator=(const ProfileRecord&) = delete;

  PROFILE_DATA& data() { return data_; }
  const PROFILE_DATA& data() const { return data_; }

  // Builds the WPA key record (KeyIndex 0x80000000, 32-byte key, BSSID zeros) and sets
  // pWpaKey and WpaKeyLength (71).
  void SetWpaKey(const uint8_t (&pmk)[32]);
  // Builds the WEP key record of `slot` (0..3) with `length` (1..13) key bytes and sets
  // pWepKeyN / WepKeyNLength; `transmit` sets bit 31 of KeyIndex.
  void SetWepKey(int slot, const uint8_t* key, uint32_t length, bool transmit);

  // The key record a reference names, or null.
  const NDIS_802_11_KEY* Key(KeyRecordRef ref) const;
  const NDIS_802_11_KEY* WpaKey() const { return Key(data_.pWpaKey); }
  const NDIS_802_11_KEY* WepKey(int slot) const;  // slot 0..3
  uint32_t WepKeyLength(int slot) const;          // 0 for an empty slot

 private:
  static constexpr std::size_t kWpaSlot = 0;  // key table: WPA, then WEP slots 0..3
  PROFILE_DATA data_;
  std::array<std::unique_ptr<NDIS_802_11_KEY>, 5> keys_;
};
