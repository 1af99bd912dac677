// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/TxRateTables.h"

namespace {

// 802.11b and 802.11g rates together. "Auto" lets the adapter choose among the fastest
// OFDM rates and all four 802.11b rates.
constexpr TxRateEntry kFullList[] = {
    {"Auto", {108, 96, 72, 48, 22, 11, 4, 2}},
    {"1 Mbps", {2}},
    {"2 Mbps", {4}},
    {"5.5 Mbps", {11}},
    {"11 Mbps", {22}},
    {"6 Mbps", {12}},
    {"9 Mbps", {18}},
    {"12 Mbps", {24}},
    {"18 Mbps", {36}},
    {"24 Mbps", {48}},
    {"36 Mbps", {72}},
    {"48 Mbps", {96}},
    {"54 Mbps", {108}},
};

// The first two captions carry no unit; the lists have always read this way.
constexpr TxRateEntry kBList[] = {
    {"Auto", {22, 11, 4, 2}}, {"1", {2}}, {"2", {4}}, {"5.5 Mbps", {11}}, {"11 Mbps", {22}},
};

constexpr TxRateEntry kOfdmList[] = {
    {"Auto", {108, 96, 72, 48, 36, 24, 18, 12}},
    {"6 Mbps", {12}},
    {"9 Mbps", {18}},
    {"12 Mbps", {24}},
    {"18 Mbps", {36}},
    {"24 Mbps", {48}},
    {"36 Mbps", {72}},
    {"48 Mbps", {96}},
    {"54 Mbps", {108}},
};

}  // namespace

std::span<const TxRateEntry> TxRateListForMode(int wirelessMode) {
  switch (wirelessMode) {
    case 0:
    case 3:
      return kFullList;
    case kWirelessModeBOnly:
      return kBList;
    case kWirelessModeAOnly:
      return kOfdmList;
    default:
      return {};
  }
}

bool WirelessModeUsesBGProtection(int wirelessMode) {
  return wirelessMode == 0 || wirelessMode == 3;
}
