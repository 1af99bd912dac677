// SPDX-License-Identifier: GPL-3.0-or-later
// The element walk on IE areas held in exactly sized buffers, so that any read past the
// area is caught by AddressSanitizer.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "survey/ElementWalk.h"
#include "survey/ScanListBuilder.h"

namespace {

using surveytest::Bytes;
using surveytest::Concat;
using surveytest::Element;
using surveytest::WpaElement;

struct WalkOutcome {
  std::string authentication = "Unknown";
  std::string encryption = "WEP";
};

// The IE area (12 fixed bytes, then `elements`) in a buffer of exactly its size.
WalkOutcome WalkFull(const Bytes& elements, uint32_t infrastructureMode = 1) {
  const Bytes ies = Concat({Bytes(12, 0), elements});
  const std::vector<uint8_t> exact(ies.begin(), ies.end());
  WalkOutcome outcome;
  WalkElementsFull({static_cast<uint32_t>(116 + exact.size()), infrastructureMode, exact},
                   outcome.authentication, outcome.encryption);
  return outcome;
}

std::string WalkEncryptionOnly(const Bytes& elements) {
  const Bytes ies = Concat({Bytes(12, 0), elements});
  std::string encryption = "WEP";
  WalkElementsEncryptionOnly({static_cast<uint32_t>(116 + ies.size()), 1, ies}, encryption);
  return encryption;
}

Bytes Cut(Bytes bytes, std::size_t keep) {
  bytes.resize(keep);
  return bytes;
}

TEST(ElementWalk, elementsRunningPastTheAreaEndTheWalkWithoutReadingBeyondIt) {
  const Bytes wpa = WpaElement(2, {2}, {2});
  struct Case {
    const char* name;
    Bytes elements;
  };
  const Case cases[] = {
      {"WPA element cut after its group suite", Cut(wpa, 12)},
      {"WPA element cut one byte short", Cut(wpa, wpa.size() - 1)},
      {"long first element claims more than the area",
       Concat({Element(0, Bytes(8, 'x')), Bytes{221, 200, 0x00, 0x50}})},
      {"short vendor element, then a WPA header cut short",
       Concat({Element(221, Bytes(8, 0x00)), Bytes{221, 22, 0x00, 0x50, 0xF2}})},
      {"lone element ID", Bytes{221}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const WalkOutcome outcome = WalkFull(c.elements);
    EXPECT_EQ(outcome.authentication, "Unknown");
    EXPECT_EQ(outcome.encryption, "WEP");
  }
}

TEST(ElementWalk, entriesOf104BytesOrLessCarryNoElements) {
  const Bytes ies = Concat({Bytes(12, 0), WpaElement(2, {2}, {2})});
  for (uint32_t length : {0u, 104u}) {
    std::string authentication = "Unknown";
    std::string encryption = "Not Used";
    WalkElementsFull({length, 1, ies}, authentication, encryption);
    EXPECT_EQ(authentication, "Unknown") << length;
    EXPECT_EQ(encryption, "Not Used") << length;
  }
  std::string authentication = "Unknown";
  std::string encryption = "Not Used";
  WalkElementsFull({105, 1, ies}, authentication, encryption);
  EXPECT_EQ(authentication, "WPA-PSK");
}

TEST(ElementWalk, encryptionOnlyFormGoesOnAfterTheWpaElement) {
  const Bytes tkipThenCcmp = Concat({WpaElement(2, {2}, {2}), WpaElement(4, {4}, {2})});
  EXPECT_EQ(WalkFull(tkipThenCcmp).encryption, "TKIP");
  EXPECT_EQ(WalkEncryptionOnly(tkipThenCcmp), "AES-CCMP");

  // Any other vendor element of 16 bytes or more still ends it.
  const Bytes otherVendorBetween =
      Concat({WpaElement(2, {2}, {2}), Element(221, Bytes(16, 0x11)), WpaElement(4, {4}, {2})});
  EXPECT_EQ(WalkEncryptionOnly(otherVendorBetween), "TKIP");
  EXPECT_EQ(WalkEncryptionOnly(Concat({Element(221, Bytes(16, 0x11)), WpaElement(3, {}, {})})),
            "WEP");
}

TEST(ElementWalk, keyManagementNeedsItsWholeSuiteInsideTheElement) {
  // One pairwise suite: the key-management suite ends at data byte 21 (Length 22).
  Bytes wpa = WpaElement(2, {2}, {2});
  Bytes noSuiteRoom = Cut(wpa, wpa.size() - 1);
  noSuiteRoom[1] = static_cast<uint8_t>(noSuiteRoom.size() - 2);
  EXPECT_EQ(WalkFull(noSuiteRoom).authentication, "Unknown");
  EXPECT_EQ(WalkFull(noSuiteRoom).encryption, "TKIP");

  // A pairwise count far beyond the element.
  Bytes hugeCount = wpa;
  hugeCount[2 + 10] = 0xFF;
  hugeCount[2 + 11] = 0xFF;
  EXPECT_EQ(WalkFull(hugeCount).authentication, "Unknown");

  // No key-management suite listed, or one under another organisation.
  EXPECT_EQ(WalkFull(WpaElement(2, {2}, {})).authentication, "Unknown");
  Bytes otherOui = wpa;
  otherOui[otherOui.size() - 4] = 0x01;
  EXPECT_EQ(WalkFull(otherOui).authentication, "Unknown");
  // Key-management types other than 0, 1 and 2 leave the text.
  EXPECT_EQ(WalkFull(WpaElement(2, {2}, {3})).authentication, "Unknown");
  EXPECT_EQ(WalkFull(WpaElement(2, {2}, {0})).authentication, "WPA-PSK");
}

TEST(ElementWalk, wpaKindFollowsTheAuthenticationText) {
  const Bytes ies1 = Concat({Bytes(12, 0), WpaElement(2, {2}, {1})});
  const Bytes ies2 = Concat({Bytes(12, 0), WpaElement(2, {2}, {2})});
  EXPECT_EQ(WpaKindOfEntry({200, 1, ies1}), WpaKind::Wpa8021X);
  EXPECT_EQ(WpaKindOfEntry({200, 1, ies2}), WpaKind::WpaPsk);
  EXPECT_EQ(WpaKindOfEntry({200, 0, ies2}), WpaKind::WpaNone);
  EXPECT_EQ(WpaKindOfEntry({200, 1, Bytes(12, 0)}), WpaKind::None);
}

}  // namespace
