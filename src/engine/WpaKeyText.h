// SPDX-License-Identifier: GPL-3.0-or-later
// The WPA pairwise master key from the key text a user typed or a profile stores.
#pragma once

#include <cstdint>
#include <string>

// Alert title shown (with message "") when no key can be derived from a WPA key text; the
// caller then sends nothing to the adapter.
inline constexpr const char* kWpaKeyNotUsableAlert =
    "Invalid WPA Pre-Shared key. No key can be derived from it: use 8 to 63 ASCII characters "
    "or 64 hexadecimal digits. Nothing was sent to the adapter.";

// 64 hexadecimal digits are decoded into the 32 key bytes; any other text is a passphrase
// run through PasswordHash with the SSID. Returns false, leaving `pmk` untouched, when no
// key can be derived from the text: 65 characters or more, 64 characters that are not all
// hexadecimal digits, a character outside 32..127 (a zero byte included), or an SSID
// longer than 32 bytes.
bool WpaKeyFromText(const std::string& keyText, const uint8_t* ssid, uint32_t ssidLength,
                    uint8_t (&pmk)[32]);
