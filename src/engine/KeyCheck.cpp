// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/KeyCheck.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr size_t kMinPassphraseLength = 8;
constexpr size_t kHexKeyLength = 64;
constexpr int kSharedKeyAuth = 1;
constexpr int kFirstWpaAuth = 2;
constexpr int kWepEncryption = 1;
constexpr int kHexKeyType = 0;
constexpr int kAsciiKeyType = 1;

bool IsUpperHexDigit(char ch) {
  return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F');
}
bool IsPassphraseCharacter(char ch) {
  const auto code = static_cast<unsigned char>(ch);
  return code >= 32 && code <= 127;
}

std::optional<std::string> VerifyWpaKey(const std::string& key) {
  const size_t length = key.size();
  if (length < kMinPassphraseLength) return kWpaKeyTooShortAlert;
  if (length == kHexKeyLength) {
    for (char ch : key) {
      const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      if (!IsUpperHexDigit(upper)) return kWpaKeyNotHexAlert;
    }
    return std::nullopt;
  }
  // A passphrase must be one a key can be derived from; otherwise the network would be
  // configured with a key that does not come from what was typed.
  if (length > kHexKeyLength || !std::all_of(key.begin(), key.end(), IsPassphraseCharacter)) {
    return kWpaKeyNotDerivableAlert;
  }
  return std::nullopt;
}

// The alert for WEP key `keyNumber` (1..4), or nullopt when its length fits its type.
std::optional<std::string> VerifyWepKey(const KeyEntry::Wep& key, int keyNumber,
                                        bool emptyAllowed) {
  const size_t length = key.text.size();
  if (length == 0 && emptyAllowed) return std::nullopt;
  if (key.typeIndex == kHexKeyType && length != 10 && length != 26) {
    return WepHexLengthAlert(keyNumber);
  }
  if (key.typeIndex == kAsciiKeyType && length != 5 && length != 13) {
    return WepAsciiLengthAlert(keyNumber);
  }
  return std::nullopt;
}

}  // namespace

std::string WepHexLengthAlert(int keyNumber) {
  return "Invalid WEP key " + std::to_string(keyNumber) +
         " length. WEP should be 10 or 26 hexadecimal digits.";
}

std::string WepAsciiLengthAlert(int keyNumber) {
  return "Invalid WEP key " + std::to_string(keyNumber) +
         " length. WEP should be 5 or 13 ASCII characters.";
}

std::optional<std::string> VerifyKeyEntry(const KeyEntry& entry) {
  if (entry.authIndex >= kFirstWpaAuth) return VerifyWpaKey(entry.wpaKey);
  if (entry.authIndex != kSharedKeyAuth && entry.encryIndex != kWepEncryption) {
    return std::nullopt;  // no key in use
  }
  // The transmit key must hold a key of the right length, even where empty keys are allowed.
  for (int k = 0; k < 4; ++k) {
    if (entry.wep[k].transmit) {
      if (auto alert = VerifyWepKey(entry.wep[k], k + 1, false)) return alert;
      break;
    }
  }
  for (int k = 0; k < 4; ++k) {
    if (auto alert = VerifyWepKey(entry.wep[k], k + 1, true)) return alert;
  }
  return std::nullopt;
}
