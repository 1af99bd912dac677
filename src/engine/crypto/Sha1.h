// SPDX-License-Identifier: GPL-3.0-or-later
// SHA-1 as defined by FIPS 180-1, with a caller-provided context.
#pragma once

#include <cstddef>
#include <cstdint>

struct A_SHA_CTX {
  uint32_t H[5];    // chaining words
  uint32_t W[80];   // message schedule; W[0..15] collect the current block, big-endian
  int lenW;         // bytes in the current block (0..63)
  uint32_t sizeHi;  // message length in bits, high word
  uint32_t sizeLo;  // message length in bits, low word
};

// Resets the context to the initial chaining values and an empty message.
void A_SHAInit(A_SHA_CTX* ctx);
// Adds `length` bytes; every completed 64-byte block is compressed at once.
void A_SHAUpdate(A_SHA_CTX* ctx, const uint8_t* data, size_t length);
// Pads the message, writes the 20-byte digest big-endian and resets the context.
void A_SHAFinal(A_SHA_CTX* ctx, uint8_t digest[20]);
// Compresses the block collected in W[0..15] into the chaining words.
void shaHashBlock(A_SHA_CTX* ctx);
