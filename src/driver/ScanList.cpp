// SPDX-License-Identifier: GPL-3.0-or-later
#include "driver/ScanList.h"

#include <algorithm>
#include <cstring>

#include "app/state/GlobalState.h"

namespace {

uint32_t ReadU32(std::span<const uint8_t> bytes, size_t offset) {
  uint32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, sizeof(value));
  return value;
}

}  // namespace

// ---- information elements

InformationElements::Iterator::Iterator(std::span<const uint8_t> area, size_t offset)
    : area_(area), offset_(offset), atEnd_(false) {
  Load();
}

void InformationElements::Iterator::Load() {
  if (offset_ + 2 > area_.size()) {
    atEnd_ = true;
    return;
  }
  uint8_t length = area_[offset_ + 1];
  if (offset_ + 2 + length > area_.size()) {
    atEnd_ = true;
    return;
  }
  current_.id = area_[offset_];
  current_.data = area_.subspan(offset_ + 2, length);
}

InformationElements::Iterator& InformationElements::Iterator::operator++() {
  if (!atEnd_) {
    offset_ += 2 + current_.data.size();
    Load();
  }
  return *this;
}

// ---- entries

ScanEntry::ScanEntry(std::span<const uint8_t> bytes, size_t offset)
    : bytes_(bytes), offset_(offset) {
  std::memcpy(&fixed_, bytes.data(), std::min<size_t>(bytes.size(), sizeof(fixed_)));
  if (bytes.size() < sizeof(fixed_)) fixed_.IELength = 0;
}

std::string ScanEntry::SsidText() const {
  const uint8_t* ssid = fixed_.Ssid.Ssid;
  size_t length = 0;
  while (length < sizeof(fixed_.Ssid.Ssid) && ssid[length] != 0) ++length;
  return std::string(reinterpret_cast<const char*>(ssid), length);
}

std::span<const uint8_t> ScanEntry::IeArea() const {
  if (Length() <= kBssidExNoIeLength || fixed_.IELength <= kFixedIeSize) return {};
  if (Length() <= kBssidExFixedSize) return {};
  size_t available = Length() - kBssidExFixedSize;
  return bytes_.subspan(kBssidExFixedSize, std::min<size_t>(fixed_.IELength, available));
}

// ---- lists

ScanListView::ScanListView(const uint8_t* data, size_t size)
    : buffer_(data == nullptr ? std::span<const uint8_t>() : std::span(data, size)) {}

ScanListView ScanListView::OfGlobalList() {
  if (G_pBssidList == nullptr) return ScanListView();
  return ScanListView(G_pBssidList.get(), kBssidListBufferSize);
}

uint32_t ScanListView::DeclaredCount() const {
  return buffer_.size() < sizeof(uint32_t) ? 0 : ReadU32(buffer_, 0);
}

size_t ScanListView::Count() const {
  return static_cast<size_t>(std::distance(begin(), end()));
}

std::optional<ScanEntry> ScanListView::At(size_t index) const {
  for (const ScanEntry& entry : *this) {
    if (index-- == 0) return entry;
  }
  return std::nullopt;
}

ScanListView::Iterator::Iterator(std::span<const uint8_t> buffer, uint32_t count)
    : buffer_(buffer), left_(count), offset_(sizeof(uint32_t)), atEnd_(false) {
  Load();
}

void ScanListView::Iterator::Load() {
  if (left_ == 0 || offset_ + sizeof(uint32_t) > buffer_.size()) {
    atEnd_ = true;
    return;
  }
  uint32_t length = ReadU32(buffer_, offset_);
  if (length < kMinBssidEntryLength || length > buffer_.size() - offset_) {
    atEnd_ = true;
    return;
  }
  current_ = ScanEntry(buffer_.subspan(offset_, length), offset_);
}

ScanListView::Iterator& ScanListView::Iterator::operator++() {
  if (!atEnd_) {
    offset_ += current_.Length();
    --left_;
    Load();
  }
  return *this;
}
