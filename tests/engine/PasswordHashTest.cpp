// SPDX-License-Identifier: GPL-3.0-or-later
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "HexText.h"
#include "engine/crypto/PasswordHash.h"

namespace {

using crypto::Sha1Engine;

// The reference: OpenSSL's PBKDF2-HMAC-SHA1 with 4096 iterations (or `iterations`).
std::string ReferenceHex(const std::string& passphrase, const std::vector<uint8_t>& ssid,
                         size_t length = 40, int iterations = 4096) {
  std::vector<uint8_t> out(length);
  EXPECT_EQ(PKCS5_PBKDF2_HMAC_SHA1(passphrase.data(), static_cast<int>(passphrase.size()),
                                   ssid.data(), static_cast<int>(ssid.size()), iterations,
                                   static_cast<int>(length), out.data()),
            1);
  return ToHex(out.data(), out.size());
}

const std::string kUntouched(80, 'e');  // hex of forty 0xEE bytes

class PasswordHashEngines : public ::testing::TestWithParam<Sha1Engine> {
 protected:
  void SetUp() override {
    if (GetParam() == Sha1Engine::ShaNi && !crypto::ShaNiAvailable()) {
      GTEST_SKIP() << "this processor has no SHA instructions";
    }
  }
  // Runs PasswordHash on this engine over a buffer filled with 0xEE; gives the result and the
  // buffer's 40 bytes.
  std::pair<int, std::string> Hash(const std::string& passphrase, const std::vector<uint8_t>& ssid,
                                   int ssidLength = -2) {
    uint8_t out[40];
    std::fill(std::begin(out), std::end(out), 0xEE);
    const int length = ssidLength == -2 ? static_cast<int>(ssid.size()) : ssidLength;
    const int result =
        crypto::PasswordHashWith(GetParam(), passphrase.c_str(), ssid.data(), length, out);
    return {result, ToHex(out, 40)};
  }
};

}  // namespace

TEST_P(PasswordHashEngines, Ieee80211iPassphraseVectors) {
  const struct {
    std::string passphrase;
    std::string ssid;
    const char* pmk;
  } cases[] = {
      {"password", "IEEE", "f42c6fc52df0ebef9ebb4b90b38a5f902e83fe1b135a70e23aed762e9710a12e"},
      {"ThisIsAPassword", "ThisIsASSID",
       "0dc0d6eb90555ed6419756b9a15ec3e3209b63df707dd508d14581f8982721af"},
      {std::string(32, 'a'), std::string(32, 'Z'),
       "becb93866bb8c3832cb777c2f559807c8c59afcb6eae734885001300a981cc62"},
  };
  for (const auto& c : cases) {
    auto [result, out] = Hash(c.passphrase, Bytes(c.ssid));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(out.substr(0, 64), c.pmk) << c.passphrase;
    EXPECT_EQ(out, ReferenceHex(c.passphrase, Bytes(c.ssid))) << "all 40 bytes";
  }
}

TEST_P(PasswordHashEngines, PassphraseAndSsidLengthLimits) {
  const struct {
    size_t passphraseLength;
    size_t ssidLength;
    bool derived;
  } cases[] = {
      {63, 8, true},  {64, 8, false}, {200, 8, false}, {8, 32, true},
      {8, 33, false}, {8, 0, true},   {0, 4, true},
  };
  for (const auto& c : cases) {
    const std::string passphrase(c.passphraseLength, 'p');
    const std::vector<uint8_t> ssid(c.ssidLength, 's');
    auto [result, out] = Hash(passphrase, ssid);
    SCOPED_TRACE(testing::Message() << c.passphraseLength << "-character passphrase, "
                                    << c.ssidLength << "-byte SSID");
    EXPECT_EQ(result, c.derived ? 1 : 0);
    EXPECT_EQ(out, c.derived ? ReferenceHex(passphrase, ssid) : kUntouched);
  }
  auto [result, out] = Hash("password", Bytes("IEEE"), -1);
  EXPECT_EQ(result, 0) << "a negative SSID length is refused";
  EXPECT_EQ(out, kUntouched);
}

TEST_P(PasswordHashEngines, CharacterOutside32To127IsReportedOncePerBlockAndNothingWritten) {
  for (const std::string passphrase :
       {"pass\x1fword", "pass\x80word", "\xC3\xA9t\xC3\xA9t\xC3\xA9"}) {
    testing::internal::CaptureStderr();
    auto [result, out] = Hash(passphrase, Bytes("IEEE"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Password error!!\nPassword error!!\n");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(out, kUntouched);
  }
  // Space and character 127 are the edges that pass.
  const std::string edges = " pass\x7fword ";
  testing::internal::CaptureStderr();
  auto [result, out] = Hash(edges, Bytes("IEEE"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(out, ReferenceHex(edges, Bytes("IEEE")));
}

INSTANTIATE_TEST_SUITE_P(, PasswordHashEngines,
                         ::testing::Values(Sha1Engine::Portable, Sha1Engine::ShaNi),
                         [](const auto& info) {
                           return info.param == Sha1Engine::ShaNi ? "ShaNi" : "Portable";
                         });

TEST(PasswordHashF, EachBlockOfPbkdf2ForAnyIterationCountAndKeyLength) {
  // Keys longer than the 64-byte block are hashed first; iteration counts 1 and 2 exercise
  // the start of the chain and one step of the loop.
  const std::vector<uint8_t> ssid = Bytes("ThisIsASSID");
  for (const std::string& passphrase : {std::string("password"), std::string(100, 'k')}) {
    for (int iterations : {1, 2, 4096}) {
      const std::string reference = ReferenceHex(passphrase, ssid, 60, iterations);
      for (int block = 1; block <= 3; ++block) {
        uint8_t out[20];
        F(passphrase.c_str(), ssid.data(), static_cast<int>(ssid.size()), iterations, block, out);
        EXPECT_EQ(ToHex(out, 20), reference.substr((block - 1) * 40, 40))
            << passphrase.size() << " characters, " << iterations << " iterations, block " << block;
      }
    }
  }
}

TEST(PasswordHashF, RejectedCharacterWritesOneLineAndLeavesTheBlock) {
  uint8_t out[20];
  std::fill(std::begin(out), std::end(out), 0xEE);
  testing::internal::CaptureStderr();
  F("bad\tpass", reinterpret_cast<const uint8_t*>("IEEE"), 4, 4096, 1, out);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Password error!!\n");
  EXPECT_EQ(ToHex(out, 20), kUntouched.substr(0, 40));
}

TEST(PasswordHash, UsesTheFastestEngineWithTheSameResult) {
  uint8_t out[40];
  ASSERT_EQ(PasswordHash("password", reinterpret_cast<const uint8_t*>("IEEE"), 4, out), 1);
  EXPECT_EQ(ToHex(out, 32), "f42c6fc52df0ebef9ebb4b90b38a5f902e83fe1b135a70e23aed762e9710a12e");
}

TEST(PasswordHash, MatchesOpenSslOnRandomPassphrasesAndSsids) {
  // Every input goes through PasswordHash (the fastest path here); every tenth also through
  // the portable path, which is the slow one in instrumented builds.
  std::mt19937 random(0x7100);
  std::uniform_int_distribution<int> passphraseLength(0, 63), ssidLength(0, 32), printable(32, 127),
      byte(0, 255);
  for (int trial = 0; trial < 2000; ++trial) {
    std::string passphrase(passphraseLength(random), ' ');
    for (char& ch : passphrase) ch = static_cast<char>(printable(random));
    std::vector<uint8_t> ssid(ssidLength(random));
    for (uint8_t& b : ssid) b = static_cast<uint8_t>(byte(random));
    const std::string reference = ReferenceHex(passphrase, ssid);
    const int length = static_cast<int>(ssid.size());
    uint8_t out[40];
    ASSERT_EQ(PasswordHash(passphrase.c_str(), ssid.data(), length, out), 1);
    ASSERT_EQ(ToHex(out, 40), reference) << "trial " << trial << ": \"" << passphrase << "\" SSID "
                                         << ToHex(ssid.data(), ssid.size());
    if (trial % 10 == 0) {
      ASSERT_EQ(crypto::PasswordHashWith(Sha1Engine::Portable, passphrase.c_str(), ssid.data(),
                                         length, out),
                1);
      ASSERT_EQ(ToHex(out, 40), reference) << "portable path, trial " << trial;
    }
  }
}
