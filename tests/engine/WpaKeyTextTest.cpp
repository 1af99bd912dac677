// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "HexText.h"
#include "engine/WpaKeyText.h"
#include "engine/crypto/PasswordHash.h"

namespace {

const std::string kHexKey = "000102030405060708090a0b0c0d0e0f101112131415161718191A1B1C1D1E1F";
const std::string kUntouched(64, 'e');

std::string PasswordHashHex(const std::string& passphrase, const std::string& ssid) {
  uint8_t out[40];
  PasswordHash(passphrase.c_str(), reinterpret_cast<const uint8_t*>(ssid.data()),
               static_cast<int>(ssid.size()), out);
  return ToHex(out, 32);
}

}  // namespace

TEST(WpaKeyFromText, DerivesFromHexOrPassphraseAndRefusesTextsNoKeyComesFrom) {
  const std::string ssid = "IEEE";
  const struct {
    std::string text;
    std::string ssid;
    bool derived;
    std::string pmk;  // expected hex when derived
  } cases[] = {
      {kHexKey, ssid, true, "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f"},
      {"password", ssid, true, "f42c6fc52df0ebef9ebb4b90b38a5f902e83fe1b135a70e23aed762e9710a12e"},
      {std::string(63, 'x'), ssid, true, PasswordHashHex(std::string(63, 'x'), ssid)},
      {std::string(63, 'x'), std::string(32, 'Z'), true,
       PasswordHashHex(std::string(63, 'x'), std::string(32, 'Z'))},
      {"pass\x7fword", ssid, true, PasswordHashHex("pass\x7fword", ssid)},
      // No key can be derived from these: the caller must send nothing.
      {std::string(63, 'a') + "g", ssid, false, ""},  // 64 characters, not all hexadecimal
      {std::string(65, 'a'), ssid, false, ""},
      {kHexKey + "0", ssid, false, ""},
      {"pass\x1fword", ssid, false, ""},
      {"caf\xC3\xA9-au-lait", ssid, false, ""},
      {std::string("pass\0word", 9), ssid, false, ""},  // would be cut short as a C string
      {"password", std::string(33, 'Z'), false, ""},
  };
  for (const auto& c : cases) {
    uint8_t pmk[32];
    std::fill(std::begin(pmk), std::end(pmk), 0xEE);
    testing::internal::CaptureStderr();
    const bool derived = WpaKeyFromText(c.text, reinterpret_cast<const uint8_t*>(c.ssid.data()),
                                        static_cast<uint32_t>(c.ssid.size()), pmk);
    const std::string errors = testing::internal::GetCapturedStderr();
    SCOPED_TRACE(testing::Message() << c.text.size() << "-character text \"" << c.text << "\"");
    EXPECT_EQ(derived, c.derived);
    EXPECT_EQ(ToHex(pmk, 32), c.derived ? c.pmk : kUntouched);
    EXPECT_EQ(errors, "");
  }
}
