// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ProfileRecord.h"

#include <cstring>

namespace {

std::unique_ptr<NDIS_802_11_KEY> MakeKeyRecord(uint32_t index, const uint8_t* key,
                                               uint32_t length, uint8_t bssidByte) {
  auto record = std::make_unique<NDIS_802_11_KEY>();
  std::memset(record.get(), 0, sizeof(NDIS_802_11_KEY));
  record->Length = length + kKeyRecordOverhead;
  record->KeyIndex = index;
  record->KeyLength = length;
  std::memset(record->BSSID, bssidByte, sizeof record->BSSID);
  std::memcpy(record->KeyMaterial, key, length);
  return record;
}

KeyRecordRef* WepRef(PROFILE_DATA& d, int slot) {
  KeyRecordRef* refs[] = {&d.pWepKey1, &d.pWepKey2, &d.pWepKey3, &d.pWepKey4};
  return refs[slot];
}

uint32_t* WepLength(PROFILE_DATA& d, int slot) {
  uint32_t* lengths[] = {&d.WepKey1Length, &d.WepKey2Length, &d.WepKey3Length,
                         &d.WepKey4Length};
  return lengths[slot];
}

}  // namespace

ProfileRecord::ProfileRecord() { std::memset(&data_, 0, sizeof data_); }

void ProfileRecord::SetWpaKey(const uint8_t (&pmk)[32]) {
  keys_[kWpaSlot] = MakeKeyRecord(kKeyTransmitBit, pmk, 32, 0x00);
  data_.pWpaKey = kWpaSlot + 1;
  data_.WpaKeyLength = kWpaKeyRecordLength;
}

void ProfileRecord::SetWepKey(int slot, const uint8_t* key, uint32_t length, bool transmit) {
  if (slot < 0 || slot > 3 || length == 0 || length > 13) return;
  const uint32_t index = static_cast<uint32_t>(slot) | (transmit ? kKeyTransmitBit : 0u);
  keys_[kWpaSlot + 1 + slot] = MakeKeyRecord(index, key, length, 0xFF);
  *WepRef(data_, slot) = static_cast<KeyRecordRef>(kWpaSlot + 2 + slot);
  *WepLength(data_, slot) = length + kKeyRecordOverhead;
}

const NDIS_802_11_KEY* ProfileRecord::Key(KeyRecordRef ref) const {
  if (ref == 0 || ref > keys_.size()) return nullptr;
  return keys_[ref - 1].get();
}

const NDIS_802_11_KEY* ProfileRecord::WepKey(int slot) const {
  if (slot < 0 || slot > 3) return nullptr;
  return Key(*WepRef(const_cast<PROFILE_DATA&>(data_), slot));
}

uint32_t ProfileRecord::WepKeyLength(int slot) const {
  if (slot < 0 || slot > 3) return 0;
  return *WepLength(const_cast<PROFILE_DATA&>(data_), slot);
}
