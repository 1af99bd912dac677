// SPDX-License-Identifier: GPL-3.0-or-later
// The portable SHA-1 compression (FIPS 180-1) as an inline template over several
// independent lanes. Every round is a separate instantiation, so all array indices are
// compile-time constants and the compiler keeps the working variables in registers;
// interleaving lanes lets the processor overlap their dependency chains, and block words
// that are compile-time constants fold away.
#pragma once

#include <cstdint>
#include <utility>

namespace crypto::detail {

inline uint32_t Rotl(uint32_t x, int n) {
  return (x << n) | (x >> (32 - n));
}

template <int Lanes>
struct Sha1Working {
  // v holds a..e; instead of moving them each round, round t finds variable a at index
  // (0 - t) mod 5, b at (1 - t) mod 5 and so on, and writes the new a over e's slot.
  uint32_t v[Lanes][5];
  uint32_t w[Lanes][16];  // the last sixteen schedule words, word t in slot t mod 16
};

template <int T, int Lanes>
[[gnu::always_inline]] inline void Sha1Round(Sha1Working<Lanes>& s) {
  constexpr int a = (100 - T) % 5, b = (101 - T) % 5, c = (102 - T) % 5, d = (103 - T) % 5,
                e = (104 - T) % 5;
#pragma GCC unroll 4
  for (int l = 0; l < Lanes; ++l) {
    uint32_t* v = s.v[l];
    uint32_t* w = s.w[l];
    if constexpr (T >= 16) {
      w[T & 15] = Rotl(w[(T + 13) & 15] ^ w[(T + 8) & 15] ^ w[(T + 2) & 15] ^ w[T & 15], 1);
    }
    uint32_t f, k;
    if constexpr (T < 20) {
      f = v[d] ^ (v[b] & (v[c] ^ v[d]));
      k = 0x5A827999;
    } else if constexpr (T < 40) {
      f = v[b] ^ v[c] ^ v[d];
      k = 0x6ED9EBA1;
    } else if constexpr (T < 60) {
      f = (v[b] & v[c]) | (v[d] & (v[b] | v[c]));
      k = 0x8F1BBCDC;
    } else {
      f = v[b] ^ v[c] ^ v[d];
      k = 0xCA62C1D6;
    }
    v[e] += Rotl(v[a], 5) + f + k + w[T & 15];
    v[b] = Rotl(v[b], 30);
  }
}

template <int Lanes, int... T>
[[gnu::always_inline]] inline void Sha1Rounds(Sha1Working<Lanes>& s,
                                              std::integer_sequence<int, T...>) {
  (Sha1Round<T, Lanes>(s), ...);
}

template <int Lanes>
[[gnu::always_inline]] inline void Sha1CompressLanes(uint32_t (&state)[Lanes][5],
                                                     const uint32_t (&block)[Lanes][16]) {
  Sha1Working<Lanes> s;
  for (int l = 0; l < Lanes; ++l) {
    for (int i = 0; i < 5; ++i) s.v[l][i] = state[l][i];
    for (int i = 0; i < 16; ++i) s.w[l][i] = block[l][i];
  }
  Sha1Rounds<Lanes>(s, std::make_integer_sequence<int, 80>{});
  // After 80 rounds (a multiple of 5) every variable is back in its own slot.
  for (int l = 0; l < Lanes; ++l) {
    for (int i = 0; i < 5; ++i) state[l][i] += s.v[l][i];
  }
}

}  // namespace crypto::detail
