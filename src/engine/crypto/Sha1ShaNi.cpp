// SPDX-License-Identifier: GPL-3.0-or-later
// SHA-1 compression (FIPS 180-1) with the x86 SHA extensions, and the PBKDF2-HMAC-SHA1
// loop built on it. This file alone is compiled for SHA and SSE4.1; its functions are only
// called after ShaNiAvailable() said yes. It includes nothing that could instantiate shared
// inline code with those instructions.
//
// Register layout: a state vector holds A, B, C, D from the highest lane down, E sits in
// the highest lane of its own vector with zeros below, and message vector j holds words
// 4j .. 4j+3 from the highest lane down. A digest in this layout is therefore already the
// first message vector of the next HMAC step.
#include "engine/crypto/Pbkdf2Sha1.h"
#include "engine/crypto/Sha1Compress.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>
#include <utility>

namespace crypto {

namespace {

template <int Lanes>
struct Sha1Vectors {
  __m128i abcd[Lanes];
  __m128i e[Lanes];
};

// Four rounds (group G of 20) for every lane; msg holds the last four message vectors in
// rotating slots, prev the state before the previous group (its A becomes this group's E).
template <int G, int Lanes>
[[gnu::always_inline]] inline void Group(Sha1Vectors<Lanes>& s, __m128i (&msg)[Lanes][4],
                                         __m128i (&prev)[Lanes]) {
  for (int l = 0; l < Lanes; ++l) {
    if constexpr (G >= 4) {
      msg[l][G & 3] =
          _mm_sha1msg2_epu32(_mm_xor_si128(_mm_sha1msg1_epu32(msg[l][G & 3], msg[l][(G + 1) & 3]),
                                           msg[l][(G + 2) & 3]),
                             msg[l][(G + 3) & 3]);
    }
    __m128i ew;
    if constexpr (G == 0) {
      ew = _mm_add_epi32(s.e[l], msg[l][0]);
    } else {
      ew = _mm_sha1nexte_epu32(prev[l], msg[l][G & 3]);
    }
    prev[l] = s.abcd[l];
    s.abcd[l] = _mm_sha1rnds4_epu32(s.abcd[l], ew, G / 5);
  }
}

template <int Lanes, int... G>
[[gnu::always_inline]] inline void AllGroups(Sha1Vectors<Lanes>& s, __m128i (&msg)[Lanes][4],
                                             __m128i (&prev)[Lanes],
                                             std::integer_sequence<int, G...>) {
  (Group<G, Lanes>(s, msg, prev), ...);
}

// One compression per lane; msg is consumed.
template <int Lanes>
[[gnu::always_inline]] inline void Compress(Sha1Vectors<Lanes>& s, __m128i (&msg)[Lanes][4]) {
  Sha1Vectors<Lanes> saved = s;
  __m128i prev[Lanes];
  AllGroups<Lanes>(s, msg, prev, std::make_integer_sequence<int, 20>{});
  for (int l = 0; l < Lanes; ++l) {
    s.e[l] = _mm_sha1nexte_epu32(prev[l], saved.e[l]);
    s.abcd[l] = _mm_add_epi32(s.abcd[l], saved.abcd[l]);
  }
}

inline __m128i LoadAbcd(const uint32_t words[4]) {
  return _mm_set_epi32(static_cast<int>(words[0]), static_cast<int>(words[1]),
                       static_cast<int>(words[2]), static_cast<int>(words[3]));
}

inline __m128i LoadE(uint32_t e) {
  return _mm_set_epi32(static_cast<int>(e), 0, 0, 0);
}

inline void StoreState(__m128i abcd, __m128i e, uint32_t out[5]) {
  out[0] = static_cast<uint32_t>(_mm_extract_epi32(abcd, 3));
  out[1] = static_cast<uint32_t>(_mm_extract_epi32(abcd, 2));
  out[2] = static_cast<uint32_t>(_mm_extract_epi32(abcd, 1));
  out[3] = static_cast<uint32_t>(_mm_extract_epi32(abcd, 0));
  out[4] = static_cast<uint32_t>(_mm_extract_epi32(e, 3));
}

template <int Lanes>
void IterateShaNi(const HmacSha1Pads& pads, Pbkdf2Chain* chains, uint32_t rounds) {
  const __m128i innerAbcd = LoadAbcd(pads.inner);
  const __m128i innerE = LoadE(pads.inner[4]);
  const __m128i outerAbcd = LoadAbcd(pads.outer);
  const __m128i outerE = LoadE(pads.outer[4]);
  // Words 4..7 of a 20-byte message block: the digest's last word goes in the top lane,
  // then the 0x80 marker; words 8..11 are zero; words 12..15 end with the bit length.
  const __m128i markerWords = _mm_set_epi32(0, static_cast<int>(0x80000000u), 0, 0);
  const __m128i lengthWords = _mm_set_epi32(0, 0, 0, (64 + 20) * 8);
  const __m128i zero = _mm_setzero_si128();

  Sha1Vectors<Lanes> u;
  Sha1Vectors<Lanes> t;
  for (int l = 0; l < Lanes; ++l) {
    u.abcd[l] = LoadAbcd(chains[l].u);
    u.e[l] = LoadE(chains[l].u[4]);
    t.abcd[l] = LoadAbcd(chains[l].t);
    t.e[l] = LoadE(chains[l].t[4]);
  }
  for (uint32_t round = 0; round < rounds; ++round) {
    for (int pass = 0; pass < 2; ++pass) {
      __m128i msg[Lanes][4];
      for (int l = 0; l < Lanes; ++l) {
        msg[l][0] = u.abcd[l];
        msg[l][1] = _mm_blend_epi16(markerWords, u.e[l], 0xC0);
        msg[l][2] = zero;
        msg[l][3] = lengthWords;
        u.abcd[l] = pass == 0 ? innerAbcd : outerAbcd;
        u.e[l] = pass == 0 ? innerE : outerE;
      }
      Compress<Lanes>(u, msg);
    }
    for (int l = 0; l < Lanes; ++l) {
      t.abcd[l] = _mm_xor_si128(t.abcd[l], u.abcd[l]);
      t.e[l] = _mm_xor_si128(t.e[l], u.e[l]);
    }
  }
  for (int l = 0; l < Lanes; ++l) {
    StoreState(u.abcd[l], u.e[l], chains[l].u);
    StoreState(t.abcd[l], t.e[l], chains[l].t);
  }
}

}  // namespace

void Sha1CompressShaNi(uint32_t state[5], const uint32_t words[16]) {
  Sha1Vectors<1> s;
  s.abcd[0] = LoadAbcd(state);
  s.e[0] = LoadE(state[4]);
  __m128i msg[1][4];
  for (int j = 0; j < 4; ++j) msg[0][j] = LoadAbcd(words + 4 * j);
  Compress<1>(s, msg);
  StoreState(s.abcd[0], s.e[0], state);
}

void Pbkdf2Sha1IterateShaNi(const HmacSha1Pads& pads, Pbkdf2Chain* chains, int chainCount,
                            uint32_t rounds) {
  if (chainCount == 2) {
    IterateShaNi<2>(pads, chains, rounds);
  } else if (chainCount == 1) {
    IterateShaNi<1>(pads, chains, rounds);
  }
}

}  // namespace crypto

#else  // not x86: never called, since ShaNiAvailable() is false there.

namespace crypto {
void Sha1CompressShaNi(uint32_t state[5], const uint32_t words[16]) {
  Sha1CompressPortable(state, words);
}
void Pbkdf2Sha1IterateShaNi(const HmacSha1Pads& pads, Pbkdf2Chain* chains, int chainCount,
                            uint32_t rounds) {
  Pbkdf2Sha1IteratePortable(pads, chains, chainCount, rounds);
}
}  // namespace crypto

#endif
