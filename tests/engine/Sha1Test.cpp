// SPDX-License-Identifier: GPL-3.0-or-later
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "HexText.h"
#include "engine/crypto/Sha1.h"
#include "engine/crypto/Sha1Compress.h"

namespace {

std::string Sha1Hex(const std::string& message) {
  A_SHA_CTX context;
  A_SHAInit(&context);
  A_SHAUpdate(&context, reinterpret_cast<const uint8_t*>(message.data()), message.size());
  uint8_t digest[20];
  A_SHAFinal(&context, digest);
  return ToHex(digest, sizeof digest);
}

const std::string kTwoBlockMessage = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";

}  // namespace

TEST(Sha1, Fips180Vectors) {
  EXPECT_EQ(Sha1Hex("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(Sha1Hex(kTwoBlockMessage), "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
  EXPECT_EQ(Sha1Hex(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
}

TEST(Sha1, MillionAsInPiecesOfUnevenSize) {
  A_SHA_CTX context;
  A_SHAInit(&context);
  const std::string piece(997, 'a');
  size_t left = 1'000'000;
  while (left > 0) {
    const size_t n = std::min(left, piece.size());
    A_SHAUpdate(&context, reinterpret_cast<const uint8_t*>(piece.data()), n);
    left -= n;
  }
  uint8_t digest[20];
  A_SHAFinal(&context, digest);
  EXPECT_EQ(ToHex(digest, 20), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST(Sha1, LengthsAroundThePaddingBoundaryMatchByteAtATimeAndContextIsResetAfterFinal) {
  // 55, 56 and 64 bytes put the length field in the same block, in the next one, or after a
  // full block; feeding a byte at a time must agree with one call.
  for (size_t length : {0u, 55u, 56u, 63u, 64u, 65u, 119u, 120u}) {
    const std::string message(length, 'x');
    const std::string whole = Sha1Hex(message);
    A_SHA_CTX context;
    A_SHAInit(&context);
    for (char ch : message) A_SHAUpdate(&context, reinterpret_cast<const uint8_t*>(&ch), 1);
    uint8_t digest[20];
    A_SHAFinal(&context, digest);
    EXPECT_EQ(ToHex(digest, 20), whole) << length;
    // A_SHAFinal leaves a fresh context behind.
    A_SHAUpdate(&context, reinterpret_cast<const uint8_t*>("abc"), 3);
    A_SHAFinal(&context, digest);
    EXPECT_EQ(ToHex(digest, 20), "a9993e364706816aba3e25717850c26c9cd0d89d");
  }
}

class Sha1CompressionEngines : public ::testing::TestWithParam<crypto::Sha1Engine> {
 protected:
  void SetUp() override {
    if (GetParam() == crypto::Sha1Engine::ShaNi && !crypto::ShaNiAvailable()) {
      GTEST_SKIP() << "this processor has no SHA instructions";
    }
  }
};

TEST_P(Sha1CompressionEngines, CompressesThePaddedAbcBlock) {
  uint32_t state[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  uint32_t block[16] = {0x61626380};
  block[15] = 24;
  crypto::Sha1Compress(GetParam(), state, block);
  const uint32_t expected[5] = {0xa9993e36, 0x4706816a, 0xba3e2571, 0x7850c26c, 0x9cd0d89d};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(state[i], expected[i]) << i;
}

TEST_P(Sha1CompressionEngines, AgreesWithThePortablePathOnRandomBlocks) {
  std::mt19937 random(7100);
  for (int trial = 0; trial < 2000; ++trial) {
    uint32_t state[5], block[16];
    for (uint32_t& word : state) word = random();
    for (uint32_t& word : block) word = random();
    uint32_t reference[5] = {state[0], state[1], state[2], state[3], state[4]};
    crypto::Sha1CompressPortable(reference, block);
    crypto::Sha1Compress(GetParam(), state, block);
    for (int i = 0; i < 5; ++i) ASSERT_EQ(state[i], reference[i]) << "trial " << trial;
  }
}

INSTANTIATE_TEST_SUITE_P(, Sha1CompressionEngines,
                         ::testing::Values(crypto::Sha1Engine::Portable, crypto::Sha1Engine::ShaNi),
                         [](const auto& info) {
                           return info.param == crypto::Sha1Engine::ShaNi ? "ShaNi" : "Portable";
                         });
