// SPDX-License-Identifier: GPL-3.0-or-later
// IEEE 802.11i passphrase-to-PSK mapping on PBKDF2-HMAC-SHA1 (RFC 2898).
#include "engine/crypto/PasswordHash.h"

#include <cstdio>
#include <cstring>

#include "engine/crypto/Pbkdf2Sha1.h"
#include "engine/crypto/SecureZero.h"

namespace {

constexpr int kWpaIterations = 4096;
constexpr size_t kMaxPassphraseLength = 63;
constexpr int kMaxSsidLength = 32;

// Characters 32..127 pass; control characters and every byte from 128 up (negative as a
// signed 8-bit value) do not.
bool PassphraseCharactersValid(const char* passphrase) {
  for (const char* p = passphrase; *p != '\0'; ++p) {
    if (static_cast<int8_t>(*p) < 32) return false;
  }
  return true;
}

void ReportPasswordError() {
  std::fputs("Password error!!\n", stderr);
}

}  // namespace

void F(const char* passphrase, const uint8_t* ssid, int ssidLength, int iterations, int count,
       uint8_t output[20]) {
  if (passphrase == nullptr || ssidLength < 0) return;
  if (!PassphraseCharactersValid(passphrase)) {
    ReportPasswordError();
    return;
  }
  crypto::HmacSha1Pads pads = crypto::MakeHmacSha1Pads(reinterpret_cast<const uint8_t*>(passphrase),
                                                       std::strlen(passphrase));
  crypto::Pbkdf2Chain chain;
  crypto::Pbkdf2Sha1Start(pads, ssid, static_cast<size_t>(ssidLength), static_cast<uint32_t>(count),
                          chain);
  if (iterations > 1) {
    crypto::Pbkdf2Sha1Iterate(crypto::BestSha1Engine(), pads, &chain, 1,
                              static_cast<uint32_t>(iterations - 1));
  }
  crypto::StoreBlock(chain, output);
  crypto::SecureZero(&chain, sizeof chain);
  crypto::SecureZero(&pads, sizeof pads);
}

int crypto::PasswordHashWith(Sha1Engine engine, const char* passphrase, const uint8_t* ssid,
                             int ssidLength, uint8_t output[40]) {
  if (passphrase == nullptr || ssidLength < 0) return 0;
  if (std::strlen(passphrase) > kMaxPassphraseLength || ssidLength > kMaxSsidLength) return 0;
  if (!PassphraseCharactersValid(passphrase)) {
    // Each of the two blocks rejects the passphrase on its own.
    ReportPasswordError();
    ReportPasswordError();
    return 1;
  }
  HmacSha1Pads pads =
      MakeHmacSha1Pads(reinterpret_cast<const uint8_t*>(passphrase), std::strlen(passphrase));
  Pbkdf2Chain chains[2];
  for (uint32_t block = 0; block < 2; ++block) {
    Pbkdf2Sha1Start(pads, ssid, static_cast<size_t>(ssidLength), block + 1, chains[block]);
  }
  Pbkdf2Sha1Iterate(engine, pads, chains, 2, kWpaIterations - 1);
  StoreBlock(chains[0], output);
  StoreBlock(chains[1], output + 20);
  SecureZero(chains, sizeof chains);
  SecureZero(&pads, sizeof pads);
  return 1;
}

int PasswordHash(const char* passphrase, const uint8_t* ssid, int ssidLength, uint8_t output[40]) {
  return crypto::PasswordHashWith(crypto::BestSha1Engine(), passphrase, ssid, ssidLength, output);
}
