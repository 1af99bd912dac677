// SPDX-License-Identifier: GPL-3.0-or-later
// A scan list or block exactly as the driver delivered it (the input is the buffer), read
// the way the survey page reads it: every entry the reader yields, its SSID, its IE area
// with the element iterator, and both forms of the WPA element walk. AddressSanitizer
// catches any read outside the buffer; the checks below catch views that leave their
// entry or an entry that leaves the list.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "driver/ScanList.h"
#include "survey/ElementWalk.h"

namespace {

bool Inside(std::span<const uint8_t> part, std::span<const uint8_t> whole) {
  if (part.empty()) return true;
  return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> buffer(data, size);
  const ScanListView list(data, size);

  size_t walked = 0;
  unsigned checksum = 0;
  for (const ScanEntry& entry : list) {
    FUZZ_CHECK(entry.Length() >= kMinBssidEntryLength);
    FUZZ_CHECK(Inside(entry.Bytes(), buffer));
    FUZZ_CHECK(entry.Bytes().data() == data + entry.Offset());

    FUZZ_CHECK(entry.SsidText().size() <= 32);
    const std::span<const uint8_t> ies = entry.IeArea();
    FUZZ_CHECK(Inside(ies, entry.Bytes()));
    FUZZ_CHECK(ies.size() <= entry.Fixed().IELength);

    for (const InformationElement& element : entry.VariableElements()) {
      FUZZ_CHECK(Inside(element.data, ies));
      for (uint8_t byte : element.data) checksum += byte;
    }

    const EntryElements elements{entry.Length(), entry.Fixed().InfrastructureMode, ies};
    std::string authentication = kAuthenticationUnknown;
    std::string encryption = "WEP";
    WalkElementsFull(elements, authentication, encryption);
    std::string encryptionOnly = "WEP";
    WalkElementsEncryptionOnly(elements, encryptionOnly);
    const WpaKind kind = WpaKindOfEntry(elements);
    FUZZ_CHECK(kind == WpaKindFromAuthentication(authentication));
    ++walked;
  }

  // The count and positional access agree with the walk, and a lying NumberOfItems never
  // yields more entries than it claims.
  FUZZ_CHECK(walked == list.Count());
  FUZZ_CHECK(walked <= list.DeclaredCount());
  FUZZ_CHECK(!list.At(walked).has_value());
  if (walked > 0) FUZZ_CHECK(list.At(walked - 1).has_value());
  (void)checksum;
  return 0;
}
