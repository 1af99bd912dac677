// SPDX-License-Identifier: GPL-3.0-or-later
// The one reader of scan lists (NDIS_802_11_BSSID_LIST_EX): the list in G_pBssidList and
// every block the driver delivers. Nothing here reads outside the buffer it is given or
// outside an entry.
//
// Layout: a 32-bit NumberOfItems, then NDIS_WLAN_BSSID_EX entries back to back, each
// `Length` bytes long (its fixed part, then IELength bytes of information elements from
// entry offset 116). The IE area starts with 12 fixed beacon bytes (timestamp, interval,
// capabilities); the variable elements follow from IE offset 12, each ElementID (1 byte),
// Length (1 byte) and Length data bytes.
//
//   for (const ScanEntry& entry : ScanListView::OfGlobalList()) {
//     const NDIS_WLAN_BSSID_EX& bss = entry.Fixed();        // Rssi, Privacy, MacAddress, ...
//     std::string ssid = entry.SsidText();
//     for (const InformationElement& element : entry.VariableElements()) {
//       if (element.id == 221 && element.data.size() >= 16) { ... }
//     }
//   }
//
// Views and entries point into the buffer: do not keep them across QueryBssidList.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <span>
#include <string>

#include "driver/DriverRecords.h"

// Shortest entry the walk accepts: the fields up to the first eight supported rates.
// Entries shorter than the fixed part (116) read the missing fields as zeros (so IELength
// is 0 for them) and carry no IEs.
inline constexpr uint32_t kMinBssidEntryLength = kBssidExNoIeLength;

// One variable information element: its ElementID and its data bytes (Length of them).
struct InformationElement {
  uint8_t id = 0;
  std::span<const uint8_t> data;
};

// The variable elements of an IE area, from IE offset 12. The walk stops at the end of the
// area, at a header that does not fit, and at an element whose data runs past the area.
class InformationElements {
 public:
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = InformationElement;
    using difference_type = std::ptrdiff_t;
    using pointer = const InformationElement*;
    using reference = const InformationElement&;

    Iterator() = default;
    Iterator(std::span<const uint8_t> area, size_t offset);
    reference operator*() const { return current_; }
    pointer operator->() const { return &current_; }
    Iterator& operator++();
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const Iterator& other) const { return atEnd_ == other.atEnd_; }

   private:
    void Load();
    std::span<const uint8_t> area_;
    size_t offset_ = 0;
    InformationElement current_;
    bool atEnd_ = true;
  };

  explicit InformationElements(std::span<const uint8_t> ieArea) : area_(ieArea) {}
  Iterator begin() const { return Iterator(area_, kFixedIeSize); }
  Iterator end() const { return Iterator(); }

 private:
  std::span<const uint8_t> area_;
};

// One entry of a scan list, known to lie wholly inside its buffer.
class ScanEntry {
 public:
  ScanEntry() = default;
  ScanEntry(std::span<const uint8_t> bytes, size_t offset);

  // The entry's own bytes: exactly `Length` of them.
  std::span<const uint8_t> Bytes() const { return bytes_; }
  uint32_t Length() const { return static_cast<uint32_t>(bytes_.size()); }
  // Where the entry starts, counted from the start of the list buffer.
  size_t Offset() const { return offset_; }
  // The fixed fields, copied out (no alignment needed); fields beyond Length read as 0.
  const NDIS_WLAN_BSSID_EX& Fixed() const { return fixed_; }
  // The SSID as shown: the bytes up to the first zero, at most 32.
  std::string SsidText() const;
  // The IE area (fixed beacon fields first), bounded by both IELength and Length; empty
  // unless Length > 104 and IELength > 12.
  std::span<const uint8_t> IeArea() const;
  // The variable elements of IeArea(), from IE offset 12.
  InformationElements VariableElements() const { return InformationElements(IeArea()); }

 private:
  std::span<const uint8_t> bytes_;
  size_t offset_ = 0;
  NDIS_WLAN_BSSID_EX fixed_{};
};

// A scan list or block in a buffer of `size` valid bytes. Iterating yields the entries in
// order: at most NumberOfItems of them, stepping by each Length, and stopping at the end of
// the buffer, at a Length below kMinBssidEntryLength, or at an entry running past the
// buffer (so a lying NumberOfItems or Length never leads outside it).
class ScanListView {
 public:
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = ScanEntry;
    using difference_type = std::ptrdiff_t;
    using pointer = const ScanEntry*;
    using reference = const ScanEntry&;

    Iterator() = default;
    Iterator(std::span<const uint8_t> buffer, uint32_t count);
    reference operator*() const { return current_; }
    pointer operator->() const { return &current_; }
    Iterator& operator++();
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const Iterator& other) const { return atEnd_ == other.atEnd_; }

   private:
    void Load();
    std::span<const uint8_t> buffer_;
    uint32_t left_ = 0;
    size_t offset_ = 0;
    ScanEntry current_;
    bool atEnd_ = true;
  };

  ScanListView() = default;
  ScanListView(const uint8_t* data, size_t size);
  explicit ScanListView(std::span<const uint8_t> buffer) : buffer_(buffer) {}
  // The list in G_pBssidList (empty before the first fetch).
  static ScanListView OfGlobalList();

  // NumberOfItems as stored (0 when the buffer is shorter than 4 bytes); may lie.
  uint32_t DeclaredCount() const;
  // The number of entries the walk yields.
  size_t Count() const;
  // The entry at position `index` of the walk, or nullopt.
  std::optional<ScanEntry> At(size_t index) const;

  Iterator begin() const { return Iterator(buffer_, DeclaredCount()); }
  Iterator end() const { return Iterator(); }

 private:
  std::span<const uint8_t> buffer_;
};
