// SPDX-License-Identifier: GPL-3.0-or-later
// PBKDF2-HMAC-SHA1 (RFC 2898, RFC 2104): pad states, chain start and the portable loop.
#include "engine/crypto/Pbkdf2Sha1.h"

#include "engine/crypto/SecureZero.h"
#include "engine/crypto/Sha1.h"
#include "engine/crypto/Sha1CompressPortable.h"

namespace crypto {

namespace {

// The message block of an HMAC step whose message is one 20-byte digest, after the 64-byte
// pad block: the digest, the 0x80 marker, zeros and the bit length (64 + 20) * 8.
constexpr uint32_t kMarkerWord = 0x80000000;
constexpr uint32_t kDigestMessageBits = (64 + 20) * 8;

A_SHA_CTX ContextAfterPad(const uint32_t state[5]) {
  A_SHA_CTX context;
  A_SHAInit(&context);
  for (int i = 0; i < 5; ++i) context.H[i] = state[i];
  context.sizeLo = 64 * 8;
  return context;
}

void DigestToWords(const uint8_t digest[20], uint32_t words[5]) {
  for (int i = 0; i < 5; ++i) {
    words[i] = (uint32_t{digest[4 * i]} << 24) | (uint32_t{digest[4 * i + 1]} << 16) |
               (uint32_t{digest[4 * i + 2]} << 8) | uint32_t{digest[4 * i + 3]};
  }
}

template <int Lanes>
void IteratePortable(const HmacSha1Pads& pads, Pbkdf2Chain* chains, uint32_t rounds) {
  uint32_t u[Lanes][5];
  uint32_t t[Lanes][5];
  for (int l = 0; l < Lanes; ++l) {
    for (int i = 0; i < 5; ++i) {
      u[l][i] = chains[l].u[i];
      t[l][i] = chains[l].t[i];
    }
  }
  uint32_t block[Lanes][16];
  uint32_t state[Lanes][5];
  for (uint32_t round = 0; round < rounds; ++round) {
    for (int pass = 0; pass < 2; ++pass) {
      const uint32_t* start = pass == 0 ? pads.inner : pads.outer;
      for (int l = 0; l < Lanes; ++l) {
        for (int i = 0; i < 5; ++i) {
          block[l][i] = u[l][i];
          state[l][i] = start[i];
        }
        block[l][5] = kMarkerWord;
        for (int i = 6; i < 15; ++i) block[l][i] = 0;
        block[l][15] = kDigestMessageBits;
      }
      detail::Sha1CompressLanes<Lanes>(state, block);
      for (int l = 0; l < Lanes; ++l) {
        for (int i = 0; i < 5; ++i) u[l][i] = state[l][i];
      }
    }
    for (int l = 0; l < Lanes; ++l) {
      for (int i = 0; i < 5; ++i) t[l][i] ^= u[l][i];
    }
  }
  for (int l = 0; l < Lanes; ++l) {
    for (int i = 0; i < 5; ++i) {
      chains[l].u[i] = u[l][i];
      chains[l].t[i] = t[l][i];
    }
  }
  SecureZero(u, sizeof u);
  SecureZero(t, sizeof t);
  SecureZero(block, sizeof block);
  SecureZero(state, sizeof state);
}

}  // namespace

HmacSha1Pads MakeHmacSha1Pads(const uint8_t* key, size_t keyLength) {
  uint8_t hashedKey[20];
  if (keyLength > 64) {
    A_SHA_CTX context;
    A_SHAInit(&context);
    A_SHAUpdate(&context, key, keyLength);
    A_SHAFinal(&context, hashedKey);
    key = hashedKey;
    keyLength = sizeof hashedKey;
  }
  uint8_t pad[64] = {};
  for (size_t i = 0; i < keyLength; ++i) pad[i] = key[i];

  HmacSha1Pads pads;
  for (int pass = 0; pass < 2; ++pass) {
    const uint8_t mask = pass == 0 ? 0x36 : 0x5C;
    uint32_t words[16];
    for (int i = 0; i < 16; ++i) {
      words[i] = 0;
      for (int j = 0; j < 4; ++j) words[i] = (words[i] << 8) | uint8_t(pad[4 * i + j] ^ mask);
    }
    A_SHA_CTX context;
    A_SHAInit(&context);
    Sha1Compress(BestSha1Engine(), context.H, words);
    for (int i = 0; i < 5; ++i) (pass == 0 ? pads.inner : pads.outer)[i] = context.H[i];
    SecureZero(words, sizeof words);
  }
  SecureZero(pad, sizeof pad);
  SecureZero(hashedKey, sizeof hashedKey);
  return pads;
}

void Pbkdf2Sha1Start(const HmacSha1Pads& pads, const uint8_t* salt, size_t saltLength,
                     uint32_t blockNumber, Pbkdf2Chain& chain) {
  const uint8_t number[4] = {
      static_cast<uint8_t>(blockNumber >> 24), static_cast<uint8_t>(blockNumber >> 16),
      static_cast<uint8_t>(blockNumber >> 8), static_cast<uint8_t>(blockNumber)};
  A_SHA_CTX context = ContextAfterPad(pads.inner);
  A_SHAUpdate(&context, salt, saltLength);
  A_SHAUpdate(&context, number, sizeof number);
  uint8_t digest[20];
  A_SHAFinal(&context, digest);
  context = ContextAfterPad(pads.outer);
  A_SHAUpdate(&context, digest, sizeof digest);
  A_SHAFinal(&context, digest);
  DigestToWords(digest, chain.u);
  for (int i = 0; i < 5; ++i) chain.t[i] = chain.u[i];
  SecureZero(digest, sizeof digest);
}

void Pbkdf2Sha1IteratePortable(const HmacSha1Pads& pads, Pbkdf2Chain* chains, int chainCount,
                               uint32_t rounds) {
  if (chainCount == 2) {
    IteratePortable<2>(pads, chains, rounds);
  } else if (chainCount == 1) {
    IteratePortable<1>(pads, chains, rounds);
  }
}

void Pbkdf2Sha1Iterate(Sha1Engine engine, const HmacSha1Pads& pads, Pbkdf2Chain* chains,
                       int chainCount, uint32_t rounds) {
  if (engine == Sha1Engine::ShaNi && ShaNiAvailable()) {
    Pbkdf2Sha1IterateShaNi(pads, chains, chainCount, rounds);
  } else {
    Pbkdf2Sha1IteratePortable(pads, chains, chainCount, rounds);
  }
}

void StoreBlock(const Pbkdf2Chain& chain, uint8_t out[20]) {
  for (int i = 0; i < 20; ++i) out[i] = static_cast<uint8_t>(chain.t[i / 4] >> (24 - 8 * (i % 4)));
}

}  // namespace crypto
