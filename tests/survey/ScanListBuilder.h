// SPDX-License-Identifier: GPL-3.0-or-later
// Crafts scan lists byte by byte, the way the driver lays them out, for tests that need
// exact entries (malformed ones included).
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"

namespace surveytest {

using Bytes = std::vector<uint8_t>;

struct Entry {
  std::string ssid;  // copied into the 32 name bytes (not zero-terminated when 32 long)
  uint8_t mac[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x00};
  uint32_t privacy = 0;
  int32_t rssi = -50;
  uint32_t frequencyKHz = 2412000;
  uint32_t infrastructureMode = 1;
  Bytes elements;                    // the information elements behind the 12 fixed bytes
  std::optional<uint32_t> length;    // the Length field; default: everything written
  std::optional<uint32_t> ieLength;  // the IELength field; default: 12 + elements

  Entry& Privacy() { return privacy = 1, *this; }
  Entry& Mode(uint32_t mode) { return infrastructureMode = mode, *this; }
  Entry& Frequency(uint32_t kHz) { return frequencyKHz = kHz, *this; }
  Entry& Elements(Bytes bytes) { return elements = std::move(bytes), *this; }
  Entry& LengthField(uint32_t value) { return length = value, *this; }
  Entry& IeLengthField(uint32_t value) { return ieLength = value, *this; }
};

// An infrastructure network named `ssid`, open, on channel 1, with no elements.
inline Entry Network(std::string ssid) {
  Entry entry;
  entry.ssid = std::move(ssid);
  return entry;
}

// An information element: ID, Length, data.
inline Bytes Element(uint8_t id, const Bytes& data) {
  Bytes bytes{id, static_cast<uint8_t>(data.size())};
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

// A WPA element with the group suite type, the pairwise suite types and the key
// management types (each suite under 00 50 F2).
inline Bytes WpaElement(uint8_t group, std::initializer_list<uint8_t> pairwise,
                        std::initializer_list<uint8_t> keyManagement) {
  Bytes data{0x00, 0x50, 0xF2, 0x01, 0x01, 0x00, 0x00, 0x50, 0xF2, group};
  data.push_back(static_cast<uint8_t>(pairwise.size()));
  data.push_back(0);
  for (uint8_t type : pairwise) data.insert(data.end(), {0x00, 0x50, 0xF2, type});
  data.push_back(static_cast<uint8_t>(keyManagement.size()));
  data.push_back(0);
  for (uint8_t type : keyManagement) data.insert(data.end(), {0x00, 0x50, 0xF2, type});
  return Element(221, data);
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The bytes of one entry: the 116-byte fixed part, 12 fixed IE bytes, the elements.
inline Bytes EntryBytes(const Entry& entry) {
  NDIS_WLAN_BSSID_EX fixed{};
  const uint32_t written = kBssidExFixedSize + kFixedIeSize + entry.elements.size();
  fixed.Length = entry.length.value_or(written);
  std::memcpy(fixed.MacAddress, entry.mac, 6);
  fixed.Ssid.SsidLength = static_cast<uint32_t>(entry.ssid.size());
  std::memcpy(fixed.Ssid.Ssid, entry.ssid.data(), entry.ssid.size());
  fixed.Privacy = entry.privacy;
  fixed.Rssi = entry.rssi;
  fixed.Configuration.Length = sizeof fixed.Configuration;
  fixed.Configuration.DSConfig = entry.frequencyKHz;
  fixed.InfrastructureMode = entry.infrastructureMode;
  fixed.IELength = entry.ieLength.value_or(kFixedIeSize + entry.elements.size());
  Bytes bytes(kBssidExFixedSize + kFixedIeSize);
  std::memcpy(bytes.data(), &fixed, sizeof fixed);
  bytes.insert(bytes.end(), entry.elements.begin(), entry.elements.end());
  return bytes;
}

// Makes G_pBssidList a list of `entries`, each written right behind the previous one
// (whatever its Length field says).
inline void InstallScanList(const std::vector<Entry>& entries) {
  G_pBssidList = std::make_unique<uint8_t[]>(kBssidListBufferSize);
  std::memset(G_pBssidList.get(), 0, kBssidListBufferSize);
  const uint32_t count = static_cast<uint32_t>(entries.size());
  std::memcpy(G_pBssidList.get(), &count, sizeof count);
  std::size_t offset = sizeof count;
  for (const Entry& entry : entries) {
    const Bytes bytes = EntryBytes(entry);
    std::memcpy(G_pBssidList.get() + offset, bytes.data(), bytes.size());
    offset += bytes.size();
  }
}

}  // namespace surveytest
