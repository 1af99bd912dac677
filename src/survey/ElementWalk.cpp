// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/ElementWalk.h"

#include <cstdio>

#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"

namespace {

constexpr uint8_t kVendorSpecificId = 221;
// Shortest vendor-specific element that is examined: OUI + type, version, group suite,
// pairwise count and one pairwise suite.
constexpr std::size_t kShortestExaminedElement = 16;
constexpr uint8_t kWpaOuiType[4] = {0x00, 0x50, 0xF2, 0x01};
constexpr uint8_t kWpaOui[3] = {0x00, 0x50, 0xF2};

enum class WalkForm { Full, EncryptionOnly };

bool HasPrefix(std::span<const uint8_t> bytes, std::size_t at, std::span<const uint8_t> prefix) {
  if (at + prefix.size() > bytes.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (bytes[at + i] != prefix[i]) return false;
  }
  return true;
}

void ApplyGroupCipher(uint8_t type, std::string& encryption) {
  switch (type) {
    case 2:
      encryption = "TKIP";
      break;
    case 3:
      encryption = "AES-WRAP";
      break;
    case 4:
      encryption = "AES-CCMP";
      break;
    default:
      break;  // WEP-40, WEP-104 and unknown suites keep the text taken from Privacy
  }
}

// Reads the first key-management suite behind `pairwiseCount` pairwise suites.
void ApplyKeyManagement(std::span<const uint8_t> data, uint32_t infrastructureMode,
                        std::string& authentication) {
  const std::size_t pairwiseCount = data[10] + 256u * data[11];
  const std::size_t keyManagementAt = 12 + 4 * pairwiseCount;
  if (data.size() < keyManagementAt + 6) return;
  const unsigned keyManagementCount = data[keyManagementAt] + 256u * data[keyManagementAt + 1];
  if (keyManagementCount == 0 || !HasPrefix(data, keyManagementAt + 2, kWpaOui)) return;
  switch (data[keyManagementAt + 5]) {
    case 1:
      authentication = "WPA";
      break;
    case 0:
    case 2:
      authentication = infrastructureMode != Ndis802_11IBSS ? "WPA-PSK" : "WPA-NONE";
      break;
    default:
      break;
  }
}

void Walk(const EntryElements& entry, WalkForm form, std::string& authentication,
          std::string& encryption) {
  const std::span<const uint8_t> ies = entry.ies;
  if (entry.entryLength <= kBssidExNoIeLength || ies.size() <= kFixedIeSize) return;

  std::size_t offset = kFixedIeSize;
  while (ies.size() > offset + 3) {
    const uint8_t id = ies[offset];
    const std::size_t length = ies[offset + 1];
    // An element that claims more bytes than the IE area holds ends the walk.
    if (offset + 2 + length > ies.size()) return;

    if (id == kVendorSpecificId && length >= kShortestExaminedElement) {
      const std::span<const uint8_t> data = ies.subspan(offset + 2, length);
      if (!HasPrefix(data, 0, kWpaOuiType)) return;
      if (!HasPrefix(data, 6, kWpaOui)) return;
      ApplyGroupCipher(data[9], encryption);
      if (__DEBUG__) {
        std::fprintf(stderr,
                     "**** SiteSurveyPageController -  RefreshAPList --> strEncryption = %s "
                     "****\n",
                     encryption.c_str());
      }
      if (form == WalkForm::Full) {
        ApplyKeyManagement(data, entry.infrastructureMode, authentication);
        if (__DEBUG__) {
          std::fprintf(stderr,
                       "**** SiteSurveyPageController -  RefreshAPList --> strAuthentication = "
                       "%s ****\n",
                       authentication.c_str());
        }
        return;
      }
    }

    offset += length + 2;
    // An element of Length 0 ends the list of elements.
    if (offset + 1 < ies.size() && ies[offset + 1] == 0) return;
  }
}

}  // namespace

void WalkElementsFull(const EntryElements& entry, std::string& authentication,
                      std::string& encryption) {
  Walk(entry, WalkForm::Full, authentication, encryption);
}

void WalkElementsEncryptionOnly(const EntryElements& entry, std::string& encryption) {
  std::string unusedAuthentication;
  Walk(entry, WalkForm::EncryptionOnly, unusedAuthentication, encryption);
}

WpaKind WpaKindFromAuthentication(const std::string& authentication) {
  if (authentication == "WPA") return WpaKind::Wpa8021X;
  if (authentication == "WPA-PSK") return WpaKind::WpaPsk;
  if (authentication == "WPA-NONE") return WpaKind::WpaNone;
  return WpaKind::None;
}

WpaKind WpaKindOfEntry(const EntryElements& entry) {
  std::string authentication = kAuthenticationUnknown;
  std::string encryption;
  WalkElementsFull(entry, authentication, encryption);
  return WpaKindFromAuthentication(authentication);
}
