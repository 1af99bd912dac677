// SPDX-License-Identifier: GPL-3.0-or-later
// The scan-list reader on crafted buffers: lying counts and lengths, truncated IE areas.
// Each case copies its bytes into a buffer of exactly their size, so AddressSanitizer
// catches any read past the end.
#include <memory>

#include <gtest/gtest.h>

#include "ScanBuilders.h"
#include "driver/ScanList.h"

namespace {

using zvtest::MakeEntry;
using zvtest::MakeList;

// A heap copy of exactly `bytes.size()` bytes.
struct ExactBuffer {
  explicit ExactBuffer(const std::vector<uint8_t>& bytes)
      : data(new uint8_t[bytes.size()]), size(bytes.size()) {
    std::copy(bytes.begin(), bytes.end(), data.get());
  }
  ScanListView View() const { return ScanListView(data.get(), size); }
  std::unique_ptr<uint8_t[]> data;
  size_t size;
};

std::vector<std::string> Ssids(const ScanListView& list) {
  std::vector<std::string> out;
  for (const ScanEntry& entry : list) out.push_back(entry.SsidText());
  return out;
}

// IE bytes: the 12 fixed beacon bytes, then `elements`.
std::vector<uint8_t> Ies(std::vector<uint8_t> elements) {
  std::vector<uint8_t> bytes(12, 0);
  bytes.insert(bytes.end(), elements.begin(), elements.end());
  return bytes;
}

std::vector<uint8_t> EntryWithIes(const std::string& ssid, const std::vector<uint8_t>& ies,
                                  uint32_t ieLength, uint32_t length) {
  std::vector<uint8_t> entry = MakeEntry(length, ssid, ieLength);
  if (length <= kBssidExFixedSize) return entry;
  std::copy_n(ies.begin(), std::min<size_t>(ies.size(), length - kBssidExFixedSize),
              entry.begin() + kBssidExFixedSize);
  return entry;
}

TEST(ScanListView, WalkStopsAtTheFirstEntryThatLiesOrDoesNotFit) {
  struct Case {
    const char* why;
    std::vector<uint8_t> bytes;
    std::vector<std::string> ssids;
  };
  std::vector<uint8_t> truncated = MakeList(2, {MakeEntry(116, "a"), MakeEntry(300, "b")});
  truncated.resize(truncated.size() - 100);  // "b" claims 300 bytes, 200 are there
  std::vector<uint8_t> halfLength = MakeList(2, {MakeEntry(116, "a")});
  halfLength.push_back(0x80);  // only one byte of the next entry's Length
  const Case cases[] = {
      {"empty buffer", {}, {}},
      {"count only", MakeList(0, {}), {}},
      {"count larger than the entries",
       MakeList(9, {MakeEntry(116, "a"), MakeEntry(120, "b")}),
       {"a", "b"}},
      {"count smaller than the entries",
       MakeList(1, {MakeEntry(116, "a"), MakeEntry(116, "b")}),
       {"a"}},
      {"entry running past the buffer", truncated, {"a"}},
      {"Length cut by the buffer end", halfLength, {"a"}},
      {"Length 0 would never advance", MakeList(3, {MakeEntry(116, "a"), MakeEntry(4, "")}), {"a"}},
      {"Length below 104", MakeList(2, {MakeEntry(103, "x"), MakeEntry(116, "b")}), {}},
      {"Length 104 is an entry without IEs",
       MakeList(2, {MakeEntry(104, "old"), MakeEntry(116, "b")}),
       {"old", "b"}},
  };
  for (const Case& c : cases) {
    ExactBuffer buffer(c.bytes);
    ScanListView list = buffer.View();
    EXPECT_EQ(Ssids(list), c.ssids) << c.why;
    EXPECT_EQ(list.Count(), c.ssids.size()) << c.why;
    EXPECT_FALSE(list.At(c.ssids.size()).has_value()) << c.why;
  }
}

TEST(ScanListView, EntriesReportTheirFieldsAndPlace) {
  ExactBuffer buffer(MakeList(2, {MakeEntry(130, "first", 14), MakeEntry(104, "second", 99)}));
  ScanListView list = buffer.View();
  ASSERT_TRUE(list.At(1).has_value());
  EXPECT_EQ(list.At(0)->Offset(), 4u);
  EXPECT_EQ(list.At(1)->Offset(), 134u);
  EXPECT_EQ(list.At(0)->Fixed().Rssi, -60);
  EXPECT_EQ(list.At(0)->Fixed().IELength, 14u);
  // Fields past a short entry's Length read as zero, never as the next bytes.
  EXPECT_EQ(list.At(1)->Fixed().IELength, 0u);
  EXPECT_EQ(list.At(1)->Bytes().size(), 104u);
}

TEST(ScanListView, SsidStopsAtZeroOrAfter32Bytes) {
  std::vector<uint8_t> withZero = MakeEntry(116, std::string("ab\0cd", 5));
  std::vector<uint8_t> full = MakeEntry(116, std::string(32, 'x'));
  // The 32 SSID bytes are followed by Privacy; a reader must not run on into it.
  full[48] = 'y';
  ExactBuffer buffer(MakeList(2, {withZero, full}));
  EXPECT_EQ(Ssids(buffer.View()), (std::vector<std::string>{"ab", std::string(32, 'x')}));
}

TEST(ScanEntry, IeAreaIsBoundedByIELengthAndLength) {
  std::vector<uint8_t> ies = Ies({221, 2, 0xAA, 0xBB});
  struct Case {
    const char* why;
    uint32_t length;
    uint32_t ieLength;
    size_t areaSize;
  };
  const Case cases[] = {
      {"whole area", 116 + 16, 16, 16},
      {"IELength beyond the entry", 116 + 16, 5000, 16},
      {"Length beyond IELength", 116 + 40, 16, 16},
      {"only the fixed beacon bytes", 116 + 16, 12, 0},
      {"no IE bytes in the entry", 116, 16, 0},
      {"old entry with bytes after it", 104, 16, 0},
  };
  for (const Case& c : cases) {
    ExactBuffer buffer(MakeList(1, {EntryWithIes("n", ies, c.ieLength, c.length)}));
    auto entry = buffer.View().At(0);
    ASSERT_TRUE(entry.has_value()) << c.why;
    EXPECT_EQ(entry->IeArea().size(), c.areaSize) << c.why;
  }
}

TEST(InformationElements, WalkStopsAtAnElementRunningPastTheArea) {
  struct Element {
    uint8_t id;
    size_t size;
    bool operator==(const Element&) const = default;
  };
  struct Case {
    const char* why;
    std::vector<uint8_t> elements;
    std::vector<Element> seen;
  };
  const Case cases[] = {
      {"two elements", {0, 3, 'a', 'b', 'c', 221, 1, 0x7F}, {{0, 3}, {221, 1}}},
      {"empty element", {5, 0, 6, 1, 9}, {{5, 0}, {6, 1}}},
      {"last element's data cut", {0, 1, 'a', 221, 20, 1, 2, 3}, {{0, 1}}},
      {"lone header byte", {0, 1, 'a', 221}, {{0, 1}}},
      {"nothing after the fixed bytes", {}, {}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> ies = Ies(c.elements);
    uint32_t ieLength = static_cast<uint32_t>(ies.size());
    ExactBuffer buffer(
        MakeList(1, {EntryWithIes("n", ies, ieLength, kBssidExFixedSize + ieLength)}));
    auto entry = buffer.View().At(0);
    ASSERT_TRUE(entry.has_value()) << c.why;
    std::vector<Element> seen;
    for (const InformationElement& element : entry->VariableElements()) {
      seen.push_back({element.id, element.data.size()});
    }
    EXPECT_EQ(seen, c.seen) << c.why;
  }
}

TEST(InformationElements, DataSpansPointAtTheElementBytes) {
  std::vector<uint8_t> ies = Ies({221, 4, 0x00, 0x50, 0xF2, 0x01});
  ExactBuffer buffer(MakeList(1, {EntryWithIes("n", ies, 18, 134)}));
  auto entry = buffer.View().At(0);
  ASSERT_TRUE(entry.has_value());
  auto element = entry->VariableElements().begin();
  ASSERT_NE(element, entry->VariableElements().end());
  EXPECT_EQ(element->id, 221);
  EXPECT_EQ(std::vector<uint8_t>(element->data.begin(), element->data.end()),
            (std::vector<uint8_t>{0x00, 0x50, 0xF2, 0x01}));
}

}  // namespace
