// SPDX-License-Identifier: GPL-3.0-or-later
// The SHA-1 compression function (FIPS 180-1): one 64-byte block, given as its sixteen
// big-endian message words, folded into the five chaining words. Two implementations give
// bit-identical results: a portable one and one using the x86 SHA instructions, which is
// only ever called when the processor has them.
#pragma once

#include <cstdint>

namespace crypto {

enum class Sha1Engine { Portable, ShaNi };

// True when this processor has the SHA extensions and SSE4.1 (checked once with cpuid).
bool ShaNiAvailable();
// ShaNi when available, otherwise Portable.
Sha1Engine BestSha1Engine();

void Sha1CompressPortable(uint32_t state[5], const uint32_t words[16]);
// Requires ShaNiAvailable().
void Sha1CompressShaNi(uint32_t state[5], const uint32_t words[16]);
// Falls back to the portable path when ShaNi is asked for on a processor without it.
void Sha1Compress(Sha1Engine engine, uint32_t state[5], const uint32_t words[16]);

}  // namespace crypto
