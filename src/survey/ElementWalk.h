// SPDX-License-Identifier: GPL-3.0-or-later
// The walk over one scan entry's information elements that finds the WPA element and reads
// its group cipher and key management. Shared by the survey table, the connect request and
// add-profile. The walk only reads the bytes it is given; callers pass the entry's IE area
// already cut to the bytes that really belong to the entry.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// What the walk needs of one scan entry.
struct EntryElements {
  uint32_t entryLength = 0;         // the entry's Length field
  uint32_t infrastructureMode = 0;  // 0 ad hoc, 1 infrastructure, 2 automatic
  // The IE area: 12 bytes of fixed beacon fields, then the elements. Never longer than
  // the bytes that the entry and the scan-list buffer really hold.
  std::span<const uint8_t> ies;
};

// WPA kind of an entry, as the connect and add-profile flows tell networks apart.
enum class WpaKind : unsigned {
  None = 0,      // no usable WPA element ("Unknown")
  Wpa8021X = 1,  // key management 1: "WPA"
  WpaPsk = 2,    // key management 0 or 2 in an infrastructure or automatic network
  WpaNone = 3,   // key management 0 or 2 in an ad hoc network
};

inline constexpr const char* kAuthenticationUnknown = "Unknown";

// Full form: sets `authentication` and `encryption` from the first vendor-specific element
// of 16 bytes or more and ends after it. Values it does not recognise leave the texts.
void WalkElementsFull(const EntryElements& entry, std::string& authentication,
                      std::string& encryption);

// Encryption-only form: sets `encryption` from every WPA element it meets and goes on
// after each, so a later WPA element overrides an earlier one; any other vendor-specific
// element of 16 bytes or more ends it.
void WalkElementsEncryptionOnly(const EntryElements& entry, std::string& encryption);

// The WPA kind that the full walk finds for the entry (the core of IsItemWPA).
WpaKind WpaKindOfEntry(const EntryElements& entry);

// Maps an authentication text of the full walk to its WPA kind.
WpaKind WpaKindFromAuthentication(const std::string& authentication);
