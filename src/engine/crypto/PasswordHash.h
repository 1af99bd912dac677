// SPDX-License-Identifier: GPL-3.0-or-later
// WPA passphrase to pre-shared key, as IEEE 802.11i defines it: PBKDF2 (RFC 2898) with
// HMAC-SHA1, the passphrase as password, the SSID as salt, 4096 iterations.
#pragma once

#include <cstdint>

#include "engine/crypto/Sha1Compress.h"

// Writes the first 40 bytes of PBKDF2-HMAC-SHA1(passphrase, ssid, 4096) to `output` and
// returns 1 (the pairwise master key is the first 32). Returns 0 and writes nothing when the
// passphrase has 64 or more characters or the SSID is longer than 32 bytes. A passphrase
// character below 32 or from 128 up makes each of the two blocks write "Password error!!\n"
// to standard error and stay unwritten; the result is still 1.
int PasswordHash(const char* passphrase, const uint8_t* ssid, int ssidLength, uint8_t output[40]);

// One 20-byte PBKDF2-HMAC-SHA1 block (block number `count`, `iterations` iterations).
// A passphrase character below 32 or from 128 up writes "Password error!!\n" to standard
// error and leaves `output` unwritten.
void F(const char* passphrase, const uint8_t* ssid, int ssidLength, int iterations, int count,
       uint8_t output[20]);

namespace crypto {
// PasswordHash on a chosen SHA-1 implementation (the plain function takes the fastest one).
int PasswordHashWith(Sha1Engine engine, const char* passphrase, const uint8_t* ssid, int ssidLength,
                     uint8_t output[40]);
}  // namespace crypto
