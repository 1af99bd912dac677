// SPDX-License-Identifier: GPL-3.0-or-later
// Hexadecimal text of byte strings, for writing expected digests in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline std::string ToHex(const uint8_t* bytes, size_t length) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < length; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

inline std::vector<uint8_t> Bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}
