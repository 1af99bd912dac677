// SPDX-License-Identifier: GPL-3.0-or-later
// HMAC-SHA1 as defined by RFC 2104 (64-byte block), tested with the vectors of RFC 2202.
#pragma once

#include <cstdint>

// digest = SHA-1((key ^ opad) || SHA-1((key ^ ipad) || text)). A key longer than 64 bytes is
// first replaced by its 20-byte SHA-1 digest, which is written over the first 20 bytes of
// the caller's key buffer.
void hmac_sha1(const uint8_t* text, int textLength, uint8_t* key, int keyLength,
               uint8_t digest[20]);
