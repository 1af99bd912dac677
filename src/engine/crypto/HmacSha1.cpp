// SPDX-License-Identifier: GPL-3.0-or-later
// HMAC-SHA1 (RFC 2104).
#include "engine/crypto/HmacSha1.h"

#include <cstddef>

#include "engine/crypto/SecureZero.h"
#include "engine/crypto/Sha1.h"

void hmac_sha1(const uint8_t* text, int textLength, uint8_t* key, int keyLength,
               uint8_t digest[20]) {
  if (textLength < 0 || keyLength < 0) return;
  if (keyLength > 64) {
    A_SHA_CTX keyContext;
    A_SHAInit(&keyContext);
    A_SHAUpdate(&keyContext, key, static_cast<size_t>(keyLength));
    A_SHAFinal(&keyContext, key);
    keyLength = 20;
  }
  uint8_t pad[64] = {};
  for (int i = 0; i < keyLength; ++i) pad[i] = key[i];
  for (uint8_t& byte : pad) byte ^= 0x36;

  A_SHA_CTX context;
  A_SHAInit(&context);
  A_SHAUpdate(&context, pad, sizeof pad);
  A_SHAUpdate(&context, text, static_cast<size_t>(textLength));
  uint8_t inner[20];
  A_SHAFinal(&context, inner);

  for (uint8_t& byte : pad) byte ^= 0x36 ^ 0x5C;
  A_SHAUpdate(&context, pad, sizeof pad);
  A_SHAUpdate(&context, inner, sizeof inner);
  A_SHAFinal(&context, digest);

  crypto::SecureZero(pad, sizeof pad);
  crypto::SecureZero(inner, sizeof inner);
}
