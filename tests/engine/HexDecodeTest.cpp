// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "HexText.h"
#include "engine/crypto/HexDecode.h"

TEST(BtoH, DigitsAndLettersOfBothCasesAndEverythingElseIs255) {
  const struct {
    char ch;
    int value;
  } cases[] = {{'0', 0},   {'9', 9},   {'A', 10},  {'F', 15},   {'a', 10},
               {'f', 15},  {'g', 255}, {'G', 255}, {'/', 255},  {':', 255},
               {'@', 255}, {'`', 255}, {' ', 255}, {'\0', 255}, {'\xC3', 255}};
  for (const auto& c : cases) EXPECT_EQ(BtoH(c.ch), c.value) << "character " << int(c.ch);
}

TEST(AtoH, DecodesPairsAndNonDigitsContribute255) {
  const struct {
    const char* text;
    int n;
    std::string bytes;
  } cases[] = {
      {"0aFf", 2, "0aff"}, {"G0", 1, "f0"},
      {"0G", 1, "ff"},     {"1234567890abcdef", 8, "1234567890abcdef"},
      {"abc", 1, "ab"},  // an odd last digit is left for the caller to ignore
  };
  for (const auto& c : cases) {
    uint8_t out[16] = {};
    AtoH(c.text, out, c.n);
    EXPECT_EQ(ToHex(out, c.n), c.bytes) << c.text;
  }
}

TEST(AtoH, ShortTextIsNeverReadPastItsEnd) {
  // An exactly sized heap copy lets the address sanitizer catch any read past the zero.
  const char* text = "0a1";
  auto copy = std::make_unique<char[]>(std::strlen(text) + 1);
  std::strcpy(copy.get(), text);
  uint8_t out[4] = {0x11, 0x11, 0x11, 0x11};
  AtoH(copy.get(), out, 4);
  EXPECT_EQ(ToHex(out, 4), "0a0fefef");
}
