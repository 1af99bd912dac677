// SPDX-License-Identifier: GPL-3.0-or-later
#include "WpaKey.h"

#include <cctype>

#include <openssl/evp.h>

namespace sim {
namespace {

constexpr int kPbkdf2Rounds = 4096;

bool IsHexKey(const std::string& text) {
  if (text.size() != 64) return false;
  for (unsigned char c : text) {
    if (!std::isxdigit(c)) return false;
  }
  return true;
}

uint8_t HexValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
  return static_cast<uint8_t>(std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
}

}  // namespace

PairwiseMasterKey DerivePairwiseMasterKey(const std::string& passphrase, const std::string& ssid) {
  PairwiseMasterKey key{};
  if (IsHexKey(passphrase)) {
    for (size_t i = 0; i < key.size(); ++i) {
      key[i] =
          static_cast<uint8_t>(HexValue(passphrase[2 * i]) << 4 | HexValue(passphrase[2 * i + 1]));
    }
    return key;
  }
  PKCS5_PBKDF2_HMAC_SHA1(passphrase.data(), static_cast<int>(passphrase.size()),
                         reinterpret_cast<const unsigned char*>(ssid.data()),
                         static_cast<int>(ssid.size()), kPbkdf2Rounds, static_cast<int>(key.size()),
                         key.data());
  return key;
}

}  // namespace sim
