// SPDX-License-Identifier: GPL-3.0-or-later
// Hexadecimal key text to key bytes (WEP keys, 64-digit WPA keys, stored addresses).
#pragma once

#include <cstdint>

// The value of one hexadecimal digit (0-9, A-F, a-f), or 255 for any other character.
uint8_t BtoH(char ch);

// Writes n bytes to `out`, byte i being (BtoH(text[2i]) * 16 + BtoH(text[2i + 1])) mod 256.
// A non-digit therefore contributes 255. The text is never read past its terminating zero:
// characters missing from a short text count as that zero (a non-digit), so the result is
// what the text padded with zeros would give.
void AtoH(const char* text, uint8_t* out, int n);
