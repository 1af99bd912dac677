// SPDX-License-Identifier: GPL-3.0-or-later
// The transmit-rate lists of the Advance page. Which list applies depends on the wireless
// mode; the index of an entry is what the page and its settings file call the rate.
#pragma once

#include <array>
#include <cstdint>
#include <span>

// The payload of OID_802_11_DESIRED_RATES: eight rates in units of 500 kbit/s, unused
// slots 0.
using RateSet = std::array<uint8_t, 8>;

struct TxRateEntry {
  const char* caption;
  RateSet rates;
};

// Wireless modes as the page offers them, in the order of its mode list.
inline constexpr int kWirelessModeCount = 4;
inline constexpr int kWirelessModeBOnly = 1;  // 802.11b rates only
inline constexpr int kWirelessModeAOnly = 2;  // OFDM rates only; needs 5 GHz support

// The transmit-rate list of `wirelessMode` (0..3); an empty list for any other mode.
std::span<const TxRateEntry> TxRateListForMode(int wirelessMode);

// Whether `wirelessMode` uses BG protection (mixed modes); the single-band modes force it
// off.
bool WirelessModeUsesBGProtection(int wirelessMode);
