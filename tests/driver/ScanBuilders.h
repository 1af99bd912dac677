// SPDX-License-Identifier: GPL-3.0-or-later
// Crafting scan-list bytes for tests: entries with any Length and IELength, blocks with any
// NumberOfItems.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "driver/DriverRecords.h"

namespace zvtest {

// One entry of `length` bytes (at least 4): the fixed fields as far as they fit, SSID
// `ssid`, IELength `ieLength`, and the bytes after the fixed part filled with `fill`.
inline std::vector<uint8_t> MakeEntry(uint32_t length, const std::string& ssid,
                                      uint32_t ieLength = 0, uint8_t fill = 0) {
  NDIS_WLAN_BSSID_EX fixed{};
  fixed.Length = length;
  fixed.Ssid.SsidLength = static_cast<uint32_t>(ssid.size());
  std::memcpy(fixed.Ssid.Ssid, ssid.data(), std::min<size_t>(ssid.size(), 32));
  fixed.Rssi = -60;
  fixed.IELength = ieLength;
  std::vector<uint8_t> bytes(length, fill);
  std::memcpy(bytes.data(), &fixed, std::min<size_t>(length, sizeof(fixed)));
  return bytes;
}

// A list or block: NumberOfItems `count`, then the entries back to back.
inline std::vector<uint8_t> MakeList(uint32_t count,
                                     const std::vector<std::vector<uint8_t>>& entries) {
  std::vector<uint8_t> bytes(sizeof(count));
  std::memcpy(bytes.data(), &count, sizeof(count));
  for (const auto& entry : entries) bytes.insert(bytes.end(), entry.begin(), entry.end());
  return bytes;
}

}  // namespace zvtest
