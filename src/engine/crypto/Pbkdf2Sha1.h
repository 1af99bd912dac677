// SPDX-License-Identifier: GPL-3.0-or-later
// The inner loop of PBKDF2 with HMAC-SHA1 (RFC 2898), as IEEE 802.11i uses it to turn a
// passphrase into a pre-shared key. The HMAC pad states are computed once per key, so each
// iteration costs two compressions; up to two output blocks run interleaved.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/crypto/Sha1Compress.h"

namespace crypto {

// HMAC-SHA1 (RFC 2104) chaining words after the inner (key ^ 0x36) and outer (key ^ 0x5C)
// pad blocks.
struct HmacSha1Pads {
  uint32_t inner[5];
  uint32_t outer[5];
};

// Pads for `key`; a key longer than 64 bytes is hashed first (into a local copy).
HmacSha1Pads MakeHmacSha1Pads(const uint8_t* key, size_t keyLength);

// One PBKDF2 output block in progress: u is the latest HMAC output, t the XOR of all of them.
struct Pbkdf2Chain {
  uint32_t u[5];
  uint32_t t[5];
};

// Starts a chain: u = t = HMAC(key, salt || blockNumber as 4 bytes big-endian).
void Pbkdf2Sha1Start(const HmacSha1Pads& pads, const uint8_t* salt, size_t saltLength,
                     uint32_t blockNumber, Pbkdf2Chain& chain);

// Runs `rounds` further iterations on each chain (u = HMAC(key, u); t ^= u). chainCount is
// 1 or 2; two chains run interleaved.
void Pbkdf2Sha1Iterate(Sha1Engine engine, const HmacSha1Pads& pads, Pbkdf2Chain* chains,
                       int chainCount, uint32_t rounds);

// The two implementations behind Pbkdf2Sha1Iterate; the SHA one requires ShaNiAvailable().
void Pbkdf2Sha1IteratePortable(const HmacSha1Pads& pads, Pbkdf2Chain* chains, int chainCount,
                               uint32_t rounds);
void Pbkdf2Sha1IterateShaNi(const HmacSha1Pads& pads, Pbkdf2Chain* chains, int chainCount,
                            uint32_t rounds);

// Writes a chain's t as 20 bytes big-endian.
void StoreBlock(const Pbkdf2Chain& chain, uint8_t out[20]);

}  // namespace crypto
