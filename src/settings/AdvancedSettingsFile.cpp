// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/AdvancedSettingsFile.h"

#include <cctype>
#include <cmath>
#include <limits>
#include <variant>

namespace {

constexpr int64_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(v < kIntMin ? kIntMin : v > kIntMax ? kIntMax : v);
}

int32_t IntFromText(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t magnitude = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kIntMax + 1) break;  // saturated either way; stop before overflowing
  }
  return Saturate(negative ? -magnitude : magnitude);
}

int32_t IntFromReal(double d) {
  if (std::isnan(d)) return 0;
  if (d <= static_cast<double>(kIntMin)) return static_cast<int32_t>(kIntMin);
  if (d >= static_cast<double>(kIntMax)) return static_cast<int32_t>(kIntMax);
  return static_cast<int32_t>(d);
}

int32_t IntForKey(const platform::PlistDict& dict, const char* key) {
  auto it = dict.find(key);
  return it == dict.end() ? 0 : PlistIntValue(it->second);
}

}  // namespace

int32_t PlistIntValue(const platform::PlistValue& value) {
  const auto& v = value.storage();
  if (auto* s = std::get_if<std::string>(&v)) return IntFromText(*s);
  if (auto* i = std::get_if<int64_t>(&v)) return Saturate(*i);
  if (auto* d = std::get_if<double>(&v)) return IntFromReal(*d);
  if (auto* b = std::get_if<bool>(&v)) return *b ? 1 : 0;
  return 0;
}

std::string AdvancedSettingsFilePath() {
  return platform::PreferencesDirectory() + "/AdvancedProfileSetting.plist";
}

platform::PlistArray ReadAdvancedSettingsRecords(const std::string& path) {
  auto root = platform::ReadPropertyListFile(path);
  if (!root || !root->isArray()) return {};
  return *root->asArray();
}

bool LoadAdvancedSettings(const platform::PlistArray& records, AdvancedSettings& settings) {
  if (records.empty()) return false;
  // An element 0 that is not a dictionary holds none of the keys.
  static const platform::PlistDict kNoKeys;
  const platform::PlistDict* dict = records.front().asDict();
  if (!dict) dict = &kNoKeys;
  settings.nTxRate = IntForKey(*dict, kTxRateKey);
  settings.nBGProtection = IntForKey(*dict, kBGProtectionKey);
  settings.bTXBurst = IntForKey(*dict, kTxBurstKey) != 0 ? 1 : 0;
  settings.bAdhocOfdm = IntForKey(*dict, kAdHocUseOfdmKey) != 0 ? 1 : 0;
  settings.nWirelessMode = IntForKey(*dict, kWirelessModeKey);
  return true;
}

void StoreAdvancedSettings(platform::PlistArray& records, const AdvancedSettings& settings) {
  platform::PlistDict dict{
      {kTxRateKey, std::to_string(settings.nTxRate)},
      {kBGProtectionKey, std::to_string(settings.nBGProtection)},
      {kTxBurstKey, std::to_string(settings.bTXBurst)},
      {kAdHocUseOfdmKey, std::to_string(settings.bAdhocOfdm)},
      {kWirelessModeKey, std::to_string(settings.nWirelessMode)},
  };
  if (records.empty()) {
    records.emplace_back(std::move(dict));
  } else {
    records.front() = std::move(dict);
  }
}
