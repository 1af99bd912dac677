// SPDX-License-Identifier: GPL-3.0-or-later
#include "profiles/ProfileRecordBuilder.h"

#include <algorithm>
#include <cstring>

#include "engine/KeyCheck.h"
#include "engine/WirelessTables.h"
#include "engine/WpaKeyText.h"
#include "engine/crypto/HexDecode.h"

namespace profiles {
namespace {

constexpr std::size_t kMaxWepKeyBytes = 13;
constexpr std::size_t kMaxSsidBytes = 32;

// The text up to its first zero byte, as a C string would read it.
std::string CStringPart(const std::string& text) {
  return std::string(text.c_str());
}

RecordRefusal WepKeyTooLong(int keyNumber, bool hexadecimal) {
  return {hexadecimal ? WepHexLengthAlert(keyNumber) : WepAsciiLengthAlert(keyNumber), ""};
}

// Fills the WEP key records; refuses a key that does not fit a key record.
std::optional<RecordRefusal> SetWepKeys(const ProfileEntry& entry, ProfileRecord& record) {
  const int transmitSlot = EntryNumber(entry, key::kWepKeyUse);
  for (int slot = 0; slot < 4; ++slot) {
    const std::string text = CStringPart(EntryText(entry, key::kWepKey[slot]));
    const bool hexadecimal = EntryNumber(entry, key::kWepKeyType[slot]) == 0;
    uint8_t material[kMaxWepKeyBytes + 1] = {};
    std::size_t length = hexadecimal ? text.size() / 2 : text.size();  // odd last digit ignored
    if (length > kMaxWepKeyBytes) return WepKeyTooLong(slot + 1, hexadecimal);
    if (length == 0) continue;
    if (hexadecimal) {
      AtoH(text.c_str(), material, static_cast<int>(length));
    } else {
      std::memcpy(material, text.data(), length);
    }
    record.SetWepKey(slot, material, static_cast<uint32_t>(length), transmitSlot == slot);
  }
  return std::nullopt;
}

}  // namespace

std::variant<std::unique_ptr<ProfileRecord>, RecordRefusal> BuildProfileRecord(
    const ProfileEntry& entry) {
  auto record = std::make_unique<ProfileRecord>();
  PROFILE_DATA& d = record->data();

  d.CamWhenAcPower = static_cast<int8_t>(EntryNumber(entry, key::kAcPowerCam) & 0xFF);
  d.PowerMode = EntryNumber(entry, key::kPowerSaveMode);
  d.RtsThreshold = static_cast<uint32_t>(EntryNumber(entry, key::kRtsThreshold));
  d.FragThreshold = static_cast<uint32_t>(EntryNumber(entry, key::kFragmentationThreshold));
  d.PreambleType = EntryNumber(entry, key::kPreambleType);
  d.NetworkType = EntryNumber(entry, key::kNetworkType);
  d.TxPowerIndex = static_cast<uint32_t>(EntryNumber(entry, key::kTxPower));

  if (d.NetworkType == 0) {
    d.ChannelFrequency = ChannelToFrequency(EntryNumber(entry, key::kChannel));
    if (d.ChannelFrequency == 0) {
      return RecordRefusal{kInvalidChannelAlert,
                           "The profile's channel \"" + EntryText(entry, key::kChannel) +
                               "\" is not a channel from 1 to 14. Edit the profile and choose "
                               "its channel again."};
    }
  }

  // The network name, cut to what the record holds; it is also the salt of the WPA key.
  const std::string ssid = CStringPart(EntryText(entry, key::kSsid)).substr(0, kMaxSsidBytes);
  d.Ssid.SsidLength = static_cast<uint32_t>(ssid.size());
  std::memcpy(d.Ssid.Ssid, ssid.data(), ssid.size());

  const int authentication = EntryNumber(entry, key::kAuthenticationType);
  const int encryption = EntryNumber(entry, key::kEncryptionType);
  if (authentication > 1) {
    uint8_t pmk[32] = {};
    if (!WpaKeyFromText(EntryText(entry, key::kWpaPsk), d.Ssid.Ssid, d.Ssid.SsidLength, pmk)) {
      return RecordRefusal{std::string(kWpaKeyNotUsableAlert), ""};
    }
    record->SetWpaKey(pmk);
    std::fill(std::begin(pmk), std::end(pmk), uint8_t{0});
    d.AuthMode = d.NetworkType == 1 ? Ndis802_11AuthModeWPAPSK : Ndis802_11AuthModeWPANone;
    d.WepStatus = encryption == 0 ? Ndis802_11Encryption2Enabled : Ndis802_11Encryption3Enabled;
  } else if (authentication == Ndis802_11AuthModeShared || encryption == 1) {
    d.AuthMode = authentication;
    d.WepStatus = encryption == 0 ? Ndis802_11WEPDisabled : Ndis802_11WEPEnabled;
    if (auto refusal = SetWepKeys(entry, *record)) return *refusal;
  } else {
    d.AuthMode = Ndis802_11AuthModeOpen;
    d.WepStatus = Ndis802_11WEPDisabled;
  }

  d.bDisassociateFirst = 1;
  d.bUseBssid = 0;
  return record;
}

}  // namespace profiles
