// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/crypto/HexDecode.h"

uint8_t BtoH(char ch) {
  if (ch >= '0' && ch <= '9') return static_cast<uint8_t>(ch - '0');
  if (ch >= 'A' && ch <= 'F') return static_cast<uint8_t>(ch - 'A' + 10);
  if (ch >= 'a' && ch <= 'f') return static_cast<uint8_t>(ch - 'a' + 10);
  return 255;
}

void AtoH(const char* text, uint8_t* out, int n) {
  bool ended = (text == nullptr);
  auto next = [&]() -> char {
    if (ended) return '\0';
    char ch = *text++;
    if (ch == '\0') ended = true;
    return ch;
  };
  for (int i = 0; i < n; ++i) {
    uint8_t high = BtoH(next());
    uint8_t low = BtoH(next());
    out[i] = static_cast<uint8_t>(high * 16 + low);
  }
}
