// SPDX-License-Identifier: GPL-3.0-or-later
// The advanced settings file, AdvancedProfileSetting.plist: a property list whose root is
// an array. Element 0 is a dictionary of five decimal strings; any further elements belong
// to nobody here and are written back as they were read.
#pragma once

#include <cstdint>
#include <string>

#include "platform/PropertyList.h"

struct AdvancedSettings {
  int32_t nTxRate = 0;        // index in the transmit-rate list of nWirelessMode
  int32_t nBGProtection = 0;  // index of the BG protection entry, sent to the driver as is
  int8_t bTXBurst = 0;        // 0 or 1
  int8_t bAdhocOfdm = 0;      // 0 or 1
  int32_t nWirelessMode = 0;  // 0..3
  bool operator==(const AdvancedSettings&) const = default;
};

inline constexpr const char* kTxRateKey = "Tx Rate";
inline constexpr const char* kBGProtectionKey = "BG Protection";
inline constexpr const char* kTxBurstKey = "Tx Burst";
inline constexpr const char* kAdHocUseOfdmKey = "Ad Hoc Use OFDM";
inline constexpr const char* kWirelessModeKey = "Wireless Mode";

// "$HOME/Library/Preferences/AdvancedProfileSetting.plist".
std::string AdvancedSettingsFilePath();

// The file's array; empty when the file is missing, unreadable or not an array.
platform::PlistArray ReadAdvancedSettingsRecords(const std::string& path);

// The settings held by element 0 of `records`, read the lenient way the file has always
// been read: a number stored as a string or as a number reads the same, text that does
// not start with a number and a missing key read 0. The two flags read 1 for any nonzero
// value. False when `records` is empty (the settings are then left alone).
bool LoadAdvancedSettings(const platform::PlistArray& records, AdvancedSettings& settings);

// Puts `settings` as element 0 of `records` (replacing it, or adding it to an empty array).
void StoreAdvancedSettings(platform::PlistArray& records, const AdvancedSettings& settings);

// The integer a property-list value stands for: leading decimal digits of a string (after
// blanks and an optional sign, saturated to the 32-bit range), a number (reals truncated),
// a boolean as 0 or 1; anything else 0.
int32_t PlistIntValue(const platform::PlistValue& value);
