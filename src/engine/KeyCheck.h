// SPDX-License-Identifier: GPL-3.0-or-later
// The check both key-entry dialogs (profile editor, security settings) make on the typed
// keys before they accept: one rule set, one order of checks, one alert for the first fault.
#pragma once

#include <optional>
#include <string>

// What a key-entry dialog's controls hold.
struct KeyEntry {
  int authIndex;       // AuthenType: 0 open system, 1 shared key, 2 and above a WPA mode
  int encryIndex;      // EncryType: for the non-WPA modes 1 means WEP
  std::string wpaKey;  // WPAPreSharedKey
  struct Wep {
    int typeIndex;     // WEPKeynCombo: 0 hexadecimal, 1 ASCII, any other: not checked
    std::string text;  // WEPKeynText
    bool transmit;     // WEPKeynRadio is on
  } wep[4];
};

inline constexpr const char* kWpaKeyTooShortAlert =
    "Invalid WPA Pre-Shared key. WPA-PSK used field should use more 8 characters.";
inline constexpr const char* kWpaKeyNotHexAlert =
    "Invalid WPA Pre-Shared key. WPA-PSK used field should use more 64 hexadecimal digital.";
// A passphrase from which no key can be derived: 65 characters or more, or a character
// outside 32..127.
inline constexpr const char* kWpaKeyNotDerivableAlert =
    "Invalid WPA Pre-Shared key. WPA-PSK used field should use 8 to 63 ASCII characters or 64 "
    "hexadecimal digits.";

// "Invalid WEP key k length. WEP should be 10 or 26 hexadecimal digits." for k = 1..4.
std::string WepHexLengthAlert(int keyNumber);
// "Invalid WEP key k length. WEP should be 5 or 13 ASCII characters." for k = 1..4.
std::string WepAsciiLengthAlert(int keyNumber);

// nullopt when the keys are acceptable; otherwise the title of the one alert to show (with
// the message "").
std::optional<std::string> VerifyKeyEntry(const KeyEntry& entry);
