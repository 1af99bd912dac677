// SPDX-License-Identifier: GPL-3.0-or-later
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "HexText.h"
#include "engine/crypto/HmacSha1.h"
#include "engine/crypto/Sha1.h"

TEST(HmacSha1, Rfc2202Vectors) {
  std::vector<uint8_t> key4;
  for (uint8_t b = 1; b <= 25; ++b) key4.push_back(b);
  const struct {
    std::vector<uint8_t> key;
    std::vector<uint8_t> data;
    const char* digest;
  } cases[] = {
      {std::vector<uint8_t>(20, 0x0b), Bytes("Hi There"),
       "b617318655057264e28bc0b6fb378c8ef146be00"},
      {Bytes("Jefe"), Bytes("what do ya want for nothing?"),
       "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79"},
      {std::vector<uint8_t>(20, 0xaa), std::vector<uint8_t>(50, 0xdd),
       "125d7342b9ac11cd91a39af48aa17b4f63f175d3"},
      {key4, std::vector<uint8_t>(50, 0xcd), "4c9007f4026250c6bc8414f9bf50c86c2d7235da"},
      {std::vector<uint8_t>(20, 0x0c), Bytes("Test With Truncation"),
       "4c1a03424b55e07fe7f27be1d58bb9324a9a5a04"},
      {std::vector<uint8_t>(80, 0xaa),
       Bytes("Test Using Larger Than Block-Size Key - Hash Key First"),
       "aa4ae5e15272d00e95705637ce8a3b55ed402112"},
      {std::vector<uint8_t>(80, 0xaa),
       Bytes("Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data"),
       "e8e99d0f45237d786d6bbaa7965c7808bbff1a91"},
  };
  int number = 1;
  for (auto c : cases) {
    uint8_t digest[20];
    hmac_sha1(c.data.data(), static_cast<int>(c.data.size()), c.key.data(),
              static_cast<int>(c.key.size()), digest);
    EXPECT_EQ(ToHex(digest, 20), c.digest) << "case " << number++;
  }
}

TEST(HmacSha1, KeyOfExactly64BytesIsUsedAsIsAndALongerOneIsReplacedByItsDigestInPlace) {
  std::vector<uint8_t> key64(64, 0x42);
  const std::vector<uint8_t> original64 = key64;
  uint8_t digest[20];
  hmac_sha1(reinterpret_cast<const uint8_t*>("m"), 1, key64.data(), 64, digest);
  EXPECT_EQ(key64, original64);

  std::vector<uint8_t> key80(80, 0xaa);
  A_SHA_CTX context;
  A_SHAInit(&context);
  A_SHAUpdate(&context, key80.data(), key80.size());
  uint8_t keyDigest[20];
  A_SHAFinal(&context, keyDigest);

  hmac_sha1(reinterpret_cast<const uint8_t*>("m"), 1, key80.data(), 80, digest);
  EXPECT_EQ(ToHex(key80.data(), 20), ToHex(keyDigest, 20));
  EXPECT_EQ(std::vector<uint8_t>(key80.begin() + 20, key80.end()), std::vector<uint8_t>(60, 0xaa));
}
