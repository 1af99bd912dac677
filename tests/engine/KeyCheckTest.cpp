// SPDX-License-Identifier: GPL-3.0-or-later
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "engine/KeyCheck.h"

namespace {

constexpr int kOpen = 0, kShared = 1, kWpaPsk = 2, kWpaNone = 3;
constexpr int kNoEncryption = 0, kWep = 1;
constexpr int kHex = 0, kAscii = 1, kOtherType = 2;

const char* const kTooShort =
    "Invalid WPA Pre-Shared key. WPA-PSK used field should use more 8 characters.";
const char* const kNotHex =
    "Invalid WPA Pre-Shared key. WPA-PSK used field should use more 64 hexadecimal digital.";
const char* const kNotDerivable =
    "Invalid WPA Pre-Shared key. WPA-PSK used field should use 8 to 63 ASCII characters or 64 "
    "hexadecimal digits.";

std::string HexAlert(int k) {
  return "Invalid WEP key " + std::to_string(k) +
         " length. WEP should be 10 or 26 hexadecimal digits.";
}
std::string AsciiAlert(int k) {
  return "Invalid WEP key " + std::to_string(k) +
         " length. WEP should be 5 or 13 ASCII characters.";
}

KeyEntry Wpa(int auth, const std::string& key) {
  KeyEntry entry{auth, kWep, key, {}};
  // WEP fields full of faults: a WPA mode must not look at them.
  for (auto& wep : entry.wep) wep = {kHex, "123", true};
  return entry;
}

KeyEntry Wep(int auth, int encry, int transmitKey, KeyEntry::Wep k1, KeyEntry::Wep k2 = {},
             KeyEntry::Wep k3 = {}, KeyEntry::Wep k4 = {}) {
  KeyEntry entry{auth, encry, std::string(3, 'x'), {k1, k2, k3, k4}};  // WPA field: too short
  for (int k = 0; k < 4; ++k) entry.wep[k].transmit = (k + 1 == transmitKey);
  return entry;
}

KeyEntry::Wep HexKey(std::string text) {
  return {kHex, std::move(text), false};
}
KeyEntry::Wep AsciiKey(std::string text) {
  return {kAscii, std::move(text), false};
}

const std::string kHex64 = "0123456789abcdefABCDEF0123456789abcdef0123456789abcdef0123456789";

}  // namespace

TEST(VerifyKeyEntry, RulesAndAlertsInOrder) {
  const struct {
    const char* what;
    KeyEntry entry;
    std::optional<std::string> alert;
  } cases[] = {
      // WPA modes: the WPA key alone decides.
      {"WPA key of 7 characters", Wpa(kWpaPsk, "1234567"), kTooShort},
      {"empty WPA key", Wpa(kWpaPsk, ""), kTooShort},
      {"WPA key of 8 characters", Wpa(kWpaPsk, "12345678"), std::nullopt},
      {"63-character passphrase", Wpa(kWpaNone, std::string(63, 'z')), std::nullopt},
      {"64 hexadecimal digits of both cases", Wpa(kWpaPsk, kHex64), std::nullopt},
      {"64 characters with a g", Wpa(kWpaPsk, std::string(63, 'a') + "g"), kNotHex},
      {"64 characters with a space", Wpa(kWpaPsk, std::string(63, 'a') + " "), kNotHex},
      {"authentication index above the list", Wpa(7, "12345678"), std::nullopt},
      // Passphrases from which no key can be derived.
      {"65-character passphrase", Wpa(kWpaPsk, std::string(65, 'a')), kNotDerivable},
      {"passphrase with a tab", Wpa(kWpaPsk, "pass\tword"), kNotDerivable},
      {"passphrase with a non-ASCII letter", Wpa(kWpaPsk, "caf\xC3\xA9-au-lait"), kNotDerivable},
      {"passphrase with character 127", Wpa(kWpaPsk, "pass\x7fword"), std::nullopt},
      {"short key with a tab: length checked first", Wpa(kWpaPsk, "a\tb"), kTooShort},

      // Non-WPA modes without WEP: nothing is checked.
      {"open, no encryption, bad WEP keys", Wep(kOpen, kNoEncryption, 1, HexKey("1")),
       std::nullopt},
      {"no selection in either list", Wep(-1, -1, 1, HexKey("1")), std::nullopt},
      // The transmit key must be present and of the right length.
      {"shared key, transmit key 2 empty", Wep(kShared, kNoEncryption, 2, HexKey("0123456789")),
       HexAlert(2)},
      {"open WEP, transmit key 1 hex of 10", Wep(kOpen, kWep, 1, HexKey("0123456789")),
       std::nullopt},
      {"hex of 26", Wep(kOpen, kWep, 1, HexKey(std::string(26, 'f'))), std::nullopt},
      {"hex of 11", Wep(kOpen, kWep, 1, HexKey(std::string(11, 'f'))), HexAlert(1)},
      {"hex length only: 10 non-digits pass", Wep(kOpen, kWep, 1, HexKey("zzzzzzzzzz")),
       std::nullopt},
      {"ASCII of 5 and 13",
       Wep(kShared, kWep, 4, {}, {}, AsciiKey("abcde"), AsciiKey("abcdefghijklm")), std::nullopt},
      {"ASCII of 10", Wep(kShared, kWep, 3, {}, {}, AsciiKey("0123456789")), AsciiAlert(3)},
      {"transmit key of another type: not checked",
       Wep(kShared, kWep, 2, {}, {kOtherType, "", false}), std::nullopt},
      // Then every key in order, empty ones allowed.
      {"transmit key 1 fine, key 3 of 7 ASCII",
       Wep(kOpen, kWep, 1, HexKey("0123456789"), {}, AsciiKey("1234567")), AsciiAlert(3)},
      {"no transmit key, keys 2 and 4 bad: key 2 first",
       Wep(kShared, kWep, 0, {}, HexKey("12"), {}, AsciiKey("1")), HexAlert(2)},
      {"transmit key 4 bad and key 1 bad: the transmit key first",
       Wep(kShared, kWep, 4, HexKey("1"), {}, {}, AsciiKey("123456")), AsciiAlert(4)},
      {"all keys empty and no transmit key", Wep(kShared, kWep, 0, {}), std::nullopt},
      {"key of another type with any length", Wep(kOpen, kWep, 0, {kOtherType, "x", false}),
       std::nullopt},
      {"UTF-8 ASCII key measured in bytes", Wep(kOpen, kWep, 1, AsciiKey("\xC3\xA9\xC3\xA9x")),
       std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(VerifyKeyEntry(c.entry), c.alert) << c.what;
}
