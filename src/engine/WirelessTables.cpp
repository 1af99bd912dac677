// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/WirelessTables.h"

const char* const strAryNetworkType[3] = {"Ad Hoc", "Infrastructure", "Automatic"};
const char* const strAryEncryption[8] = {"WEP", "Not Used", "", "", "TKIP", "", "AES", ""};

namespace {
constexpr ChannelFrequency Ch(uint32_t channel) {
  if (channel <= 13) return {channel, 2412000 + 5000 * (channel - 1)};
  if (channel == 14) return {14, 2484000};
  return {channel, 5000000 + 5000 * channel};
}
}  // namespace

const ChannelFrequency ChannelFreqTable[G_nChanFreqCount] = {
    Ch(1),   Ch(2),   Ch(3),   Ch(4),   Ch(5),   Ch(6),   Ch(7),   Ch(8),   Ch(9),
    Ch(10),  Ch(11),  Ch(12),  Ch(13),  Ch(14),  Ch(34),  Ch(36),  Ch(38),  Ch(40),
    Ch(42),  Ch(44),  Ch(46),  Ch(48),  Ch(52),  Ch(56),  Ch(60),  Ch(64),  Ch(100),
    Ch(104), Ch(108), Ch(112), Ch(116), Ch(120), Ch(124), Ch(128), Ch(132), Ch(136),
    Ch(140), Ch(149), Ch(153), Ch(157), Ch(161),
};

int FrequencyToChannel(uint32_t frequencyKHz) {
  for (const ChannelFrequency& row : ChannelFreqTable) {
    if (row.FrequencyKHz == frequencyKHz) return static_cast<int>(row.Channel);
  }
  return -1;
}

uint32_t ChannelToFrequency(int channel) {
  if (channel < 1 || channel > 14) return 0;
  return ChannelFreqTable[channel - 1].FrequencyKHz;
}
