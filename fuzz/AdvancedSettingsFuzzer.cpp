// SPDX-License-Identifier: GPL-3.0-or-later
// The advanced settings file on hostile input: read as the advance page reads it, stored
// back, and written out. The elements the page does not own must come back unchanged, and
// the settings it stored must read back as stored.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "PropertyListChecks.h"
#include "settings/AdvancedSettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::ScratchFolder() + "/AdvancedProfileSetting.plist";
  fuzz::WriteScratchFile(path, data, size);

  const platform::PlistArray records = ReadAdvancedSettingsRecords(path);
  AdvancedSettings settings;
  const bool loaded = LoadAdvancedSettings(records, settings);
  FUZZ_CHECK(loaded == !records.empty());
  FUZZ_CHECK(settings.bTXBurst == 0 || settings.bTXBurst == 1);
  FUZZ_CHECK(settings.bAdhocOfdm == 0 || settings.bAdhocOfdm == 1);
  fuzz::CheckSaveKeeps(platform::PlistValue(records));

  platform::PlistArray stored = records;
  StoreAdvancedSettings(stored, settings);
  FUZZ_CHECK(stored.size() == (records.empty() ? 1 : records.size()));
  for (size_t i = 1; i < records.size(); ++i)
    FUZZ_CHECK(fuzz::SameAfterSave(stored[i], records[i]));

  AdvancedSettings again;
  FUZZ_CHECK(LoadAdvancedSettings(stored, again));
  FUZZ_CHECK(again == settings);
  return 0;
}
