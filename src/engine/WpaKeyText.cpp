// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/WpaKeyText.h"

#include <algorithm>
#include <cstring>

#include "engine/crypto/HexDecode.h"
#include "engine/crypto/PasswordHash.h"
#include "engine/crypto/SecureZero.h"

namespace {

constexpr size_t kHexKeyLength = 64;
constexpr uint32_t kMaxSsidLength = 32;

bool IsHexDigit(char ch) {
  return BtoH(ch) != 255;
}
bool IsPassphraseCharacter(char ch) {
  const auto code = static_cast<unsigned char>(ch);
  return code >= 32 && code <= 127;
}

}  // namespace

bool WpaKeyFromText(const std::string& keyText, const uint8_t* ssid, uint32_t ssidLength,
                    uint8_t (&pmk)[32]) {
  if (keyText.size() == kHexKeyLength) {
    if (!std::all_of(keyText.begin(), keyText.end(), IsHexDigit)) return false;
    AtoH(keyText.c_str(), pmk, 32);
    return true;
  }
  if (keyText.size() > kHexKeyLength || ssidLength > kMaxSsidLength) return false;
  if (!std::all_of(keyText.begin(), keyText.end(), IsPassphraseCharacter)) return false;
  uint8_t derived[40];
  if (PasswordHash(keyText.c_str(), ssid, static_cast<int>(ssidLength), derived) != 1) {
    return false;
  }
  std::memcpy(pmk, derived, sizeof pmk);
  crypto::SecureZero(derived, sizeof derived);
  return true;
}
