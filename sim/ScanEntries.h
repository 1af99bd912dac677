// SPDX-License-Identifier: GPL-3.0-or-later
// The scan list as the adapter reports it: one NDIS_WLAN_BSSID_EX entry per network, with
// the beacon's information elements, served in blocks of whole entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Scenario.h"

namespace sim {

// The information-element area of a network's beacon: the 12 fixed bytes (timestamp,
// beacon interval, capabilities), then SSID, rates, DS parameter set, the IBSS parameter
// set for ad hoc networks, extended rates and, for WPA networks, the WPA element.
std::vector<uint8_t> BuildBeaconIes(const Network& network);

// One scan-list entry: the fixed part, then the IEs (or the network's crafted raw IEs);
// Length is rounded up to a multiple of 4 so that the next entry stays aligned.
std::vector<uint8_t> BuildScanEntry(const Network& network);

struct ScanBlock {
  std::vector<uint8_t> bytes;  // NumberOfItems, then whole entries
  size_t next = 0;             // index of the first entry not in this block
};

// Packs entries[first..] into one block of at most `capacity` bytes. The block holds no
// entry when the first one does not fit.
ScanBlock PackScanBlock(const std::vector<std::vector<uint8_t>>& entries, size_t first,
                        size_t capacity);

}  // namespace sim
