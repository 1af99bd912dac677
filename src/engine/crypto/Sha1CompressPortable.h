// SPDX-License-Identifier: GPL-3.0-or-later
// The portable SHA-1 compression (FIPS 180-1) as an inline template over several
// independent lanes. Interleaving lanes lets the processor overlap their dependency
// chains; when the block words are compile-time constants the compiler folds them away.
#pragma once

#include <cstdint>

namespace crypto::detail {

inline uint32_t Rotl(uint32_t x, int n) {
  return (x << n) | (x >> (32 - n));
}

template <int Lanes>
[[gnu::always_inline]] inline void Sha1CompressLanes(uint32_t (&state)[Lanes][5],
                                                     const uint32_t (&block)[Lanes][16]) {
  uint32_t w[Lanes][16];
  uint32_t a[Lanes], b[Lanes], c[Lanes], d[Lanes], e[Lanes];
  for (int l = 0; l < Lanes; ++l) {
    for (int i = 0; i < 16; ++i) w[l][i] = block[l][i];
    a[l] = state[l][0];
    b[l] = state[l][1];
    c[l] = state[l][2];
    d[l] = state[l][3];
    e[l] = state[l][4];
  }
#pragma GCC unroll 80
  for (int t = 0; t < 80; ++t) {
    for (int l = 0; l < Lanes; ++l) {
      uint32_t wt;
      if (t < 16) {
        wt = w[l][t];
      } else {
        wt = Rotl(w[l][(t + 13) & 15] ^ w[l][(t + 8) & 15] ^ w[l][(t + 2) & 15] ^ w[l][t & 15], 1);
        w[l][t & 15] = wt;
      }
      uint32_t f, k;
      if (t < 20) {
        f = d[l] ^ (b[l] & (c[l] ^ d[l]));
        k = 0x5A827999;
      } else if (t < 40) {
        f = b[l] ^ c[l] ^ d[l];
        k = 0x6ED9EBA1;
      } else if (t < 60) {
        f = (b[l] & c[l]) | (d[l] & (b[l] | c[l]));
        k = 0x8F1BBCDC;
      } else {
        f = b[l] ^ c[l] ^ d[l];
        k = 0xCA62C1D6;
      }
      uint32_t temp = Rotl(a[l], 5) + f + e[l] + k + wt;
      e[l] = d[l];
      d[l] = c[l];
      c[l] = Rotl(b[l], 30);
      b[l] = a[l];
      a[l] = temp;
    }
  }
  for (int l = 0; l < Lanes; ++l) {
    state[l][0] += a[l];
    state[l][1] += b[l];
    state[l][2] += c[l];
    state[l][3] += d[l];
    state[l][4] += e[l];
  }
}

}  // namespace crypto::detail
