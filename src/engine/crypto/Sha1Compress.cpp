// SPDX-License-Identifier: GPL-3.0-or-later
// Portable SHA-1 compression (FIPS 180-1) and the run-time choice of implementation.
#include "engine/crypto/Sha1Compress.h"

#include "engine/crypto/Sha1CompressPortable.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace crypto {

namespace {

bool DetectShaNi() {
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  const bool sse41 = (ecx & (1u << 19)) != 0;
  const bool ssse3 = (ecx & (1u << 9)) != 0;
  if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return false;
  const bool sha = (ebx & (1u << 29)) != 0;
  return sha && sse41 && ssse3;
#else
  return false;
#endif
}

}  // namespace

bool ShaNiAvailable() {
  // The processor's features never change while the program runs.
  static const bool available = DetectShaNi();
  return available;
}

Sha1Engine BestSha1Engine() {
  return ShaNiAvailable() ? Sha1Engine::ShaNi : Sha1Engine::Portable;
}

void Sha1CompressPortable(uint32_t state[5], const uint32_t words[16]) {
  uint32_t lanes[1][5] = {{state[0], state[1], state[2], state[3], state[4]}};
  uint32_t block[1][16];
  for (int i = 0; i < 16; ++i) block[0][i] = words[i];
  detail::Sha1CompressLanes<1>(lanes, block);
  for (int i = 0; i < 5; ++i) state[i] = lanes[0][i];
}

void Sha1Compress(Sha1Engine engine, uint32_t state[5], const uint32_t words[16]) {
  if (engine == Sha1Engine::ShaNi && ShaNiAvailable()) {
    Sha1CompressShaNi(state, words);
  } else {
    Sha1CompressPortable(state, words);
  }
}

}  // namespace crypto
