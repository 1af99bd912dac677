// SPDX-License-Identifier: GPL-3.0-or-later
// SHA-1 (FIPS 180-1): bytes are packed big-endian into the schedule words; every 64th byte
// compresses the block. The compression runs on the fastest implementation this processor
// offers (see Sha1Compress.h); all of them give the same digest.
#include "engine/crypto/Sha1.h"

#include "engine/crypto/SecureZero.h"
#include "engine/crypto/Sha1Compress.h"

void A_SHAInit(A_SHA_CTX* ctx) {
  ctx->H[0] = 0x67452301;
  ctx->H[1] = 0xEFCDAB89;
  ctx->H[2] = 0x98BADCFE;
  ctx->H[3] = 0x10325476;
  ctx->H[4] = 0xC3D2E1F0;
  for (uint32_t& word : ctx->W) word = 0;
  ctx->lenW = 0;
  ctx->sizeHi = 0;
  ctx->sizeLo = 0;
}

void shaHashBlock(A_SHA_CTX* ctx) {
  crypto::Sha1Compress(crypto::BestSha1Engine(), ctx->H, ctx->W);
}

void A_SHAUpdate(A_SHA_CTX* ctx, const uint8_t* data, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    uint32_t& word = ctx->W[ctx->lenW / 4];
    word = (word << 8) | data[i];
    ctx->sizeLo += 8;
    if (ctx->sizeLo == 0) ++ctx->sizeHi;  // carry into the high word
    if (++ctx->lenW == 64) {
      shaHashBlock(ctx);
      ctx->lenW = 0;
    }
  }
}

void A_SHAFinal(A_SHA_CTX* ctx, uint8_t digest[20]) {
  // The length is taken before padding, which itself goes through A_SHAUpdate.
  const uint8_t length[8] = {
      static_cast<uint8_t>(ctx->sizeHi >> 24), static_cast<uint8_t>(ctx->sizeHi >> 16),
      static_cast<uint8_t>(ctx->sizeHi >> 8),  static_cast<uint8_t>(ctx->sizeHi),
      static_cast<uint8_t>(ctx->sizeLo >> 24), static_cast<uint8_t>(ctx->sizeLo >> 16),
      static_cast<uint8_t>(ctx->sizeLo >> 8),  static_cast<uint8_t>(ctx->sizeLo)};
  const uint8_t marker = 0x80;
  const uint8_t zero = 0x00;
  A_SHAUpdate(ctx, &marker, 1);
  while (ctx->lenW != 56) A_SHAUpdate(ctx, &zero, 1);
  A_SHAUpdate(ctx, length, 8);
  for (int i = 0; i < 20; ++i)
    digest[i] = static_cast<uint8_t>(ctx->H[i / 4] >> (24 - 8 * (i % 4)));
  crypto::SecureZero(ctx, sizeof(*ctx));
  A_SHAInit(ctx);
}
