// SPDX-License-Identifier: GPL-3.0-or-later
// Display names of the NDIS enumerations and the channel/frequency table.
#pragma once

#include <cstdint>

// Indexed by NDIS_802_11_NETWORK_INFRASTRUCTURE (0..2).
extern const char* const strAryNetworkType[3];
// Indexed by NDIS_802_11_WEP_STATUS (0..7).
extern const char* const strAryEncryption[8];

struct ChannelFrequency {
  uint32_t Channel;
  uint32_t FrequencyKHz;
};
inline constexpr int G_nChanFreqCount = 41;
extern const ChannelFrequency ChannelFreqTable[G_nChanFreqCount];

// The channel of the first row whose frequency equals `frequencyKHz`, or -1.
int FrequencyToChannel(uint32_t frequencyKHz);
// The centre frequency of channel 1..14 (row channel - 1), or 0 for any other channel:
// a stored channel outside the 2.4 GHz rows never indexes outside the table.
uint32_t ChannelToFrequency(int channel);
