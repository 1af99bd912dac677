// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged property lists found by fuzzing the profile store and advanced settings loaders:
// each one used to abort the program inside libplist (a zero byte in a string or key) or to
// convert a date out of range. Now such a file reads as "not a property list", and a date
// outside the file format's range is saved as its nearest end.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "platform/PropertyList.h"

namespace {

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

const std::string kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";

TEST(HostileFileTest, ZeroBytesInStringsOrKeysAreNotAPropertyList) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"XML string", kXmlHead + std::string("<array><string>Ho\0me</string></array></plist>", 45)},
      {"XML key",
       kXmlHead + std::string("<dict><key>Tx\0Rate</key><string>1</string></dict></plist>", 57)},
      // {"k": "é\0x"} and {"é\0x": "v"}: UTF-16 text holding U+0000.
      {"binary string",
       FromHex("62706c6973743030d10102516b6300e900000078080b0d0000000000000101000000000000000300"
               "000000000000000000000000000014")},
      {"binary key",
       FromHex("62706c6973743030d101026300e9000000785176080b12000000000000010100000000000000030"
               "0000000000000000000000000000014")},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(platform::ParsePropertyList(c.bytes).has_value()) << c.what;
  }
  // The same shapes without the zero byte still read.
  EXPECT_TRUE(
      platform::ParsePropertyList(kXmlHead + "<array><string>Home</string></array></plist>"));
}

TEST(HostileFileTest, DatesOutsideTheFormatAreSavedAsTheNearestEnd) {
  struct Case {
    double seconds;
    double kept;
  };
  const Case cases[] = {
      {double{INT32_MIN} - 2147.5, double{INT32_MIN}},
      {double{INT32_MAX} + 10.0, double{INT32_MAX}},
      {12345.0, 12345.0},
  };
  for (const Case& c : cases) {
    const auto again = platform::ParsePropertyList(
        platform::SerializePropertyList(platform::PlistArray{platform::PlistDate{c.seconds}}));
    ASSERT_TRUE(again.has_value()) << c.seconds;
    ASSERT_TRUE(again->isArray());
    const auto* date = std::get_if<platform::PlistDate>(&again->asArray()->front().storage());
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->secondsSince2001, c.kept) << c.seconds;
  }
}

}  // namespace
