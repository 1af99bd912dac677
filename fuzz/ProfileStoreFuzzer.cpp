// SPDX-License-Identifier: GPL-3.0-or-later
// The profile store's loaders on hostile files. The input is written both as the
// user-defaults domain and as Profile.plist: a dictionary root exercises the defaults'
// "Profiles" and "Profile Setting", an array root the file fallback. Every row and the
// activation record are read the way the profile page reads them, and the list must
// survive being saved and loaded again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "PropertyListChecks.h"
#include "platform/UserDefaults.h"
#include "profiles/ProfileStore.h"

namespace {

namespace key = profiles::key;

const char* const kProfileKeys[] = {key::kProfileName,
                                    key::kSsid,
                                    key::kChannel,
                                    key::kNetworkType,
                                    key::kAuthenticationType,
                                    key::kEncryptionType,
                                    key::kPreambleType,
                                    key::kPowerSaveMode,
                                    key::kAcPowerCam,
                                    key::kRtsThreshold,
                                    key::kFragmentationThreshold,
                                    key::kTxPower,
                                    key::kWepKey[0],
                                    key::kWepKey[1],
                                    key::kWepKey[2],
                                    key::kWepKey[3],
                                    key::kWepKeyType[0],
                                    key::kWepKeyType[1],
                                    key::kWepKeyType[2],
                                    key::kWepKeyType[3],
                                    key::kWepKeyUse,
                                    key::kWpaPsk,
                                    key::kBssid,
                                    key::kHidden,
                                    key::kActiveProfileFlag,
                                    key::kSelected};

size_t ReadEntry(const profiles::ProfileEntry& entry) {
  size_t total = 0;
  for (const char* name : kProfileKeys) {
    total += profiles::EntryText(entry, name).size();
    total += static_cast<size_t>(profiles::EntryNumber(entry, name) & 1);
  }
  return total;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string defaultsPath = fuzz::ScratchFolder() + "/com.zvconfig.ZvConfig7100.plist";
  const std::string recordsPath = fuzz::ScratchFolder() + "/Profile.plist";
  fuzz::WriteScratchFile(defaultsPath, data, size);
  fuzz::WriteScratchFile(recordsPath, data, size);

  platform::UserDefaults defaults(defaultsPath);
  profiles::ProfileStore store(defaults, recordsPath);

  const profiles::ProfileList list = store.LoadProfiles();
  const size_t rows = list.RowCount();
  FUZZ_CHECK(rows <= list.Elements().size());
  size_t total = 0;
  for (size_t row = 0; row < rows; ++row) {
    const profiles::ProfileEntry& entry = list.Row(row);
    total += ReadEntry(entry);
    total += ReadEntry(profiles::MakeActivationRecord(entry, "YES", static_cast<int>(row), true));
  }

  profiles::ActivationList activation;
  activation.Load(store);
  if (const profiles::ProfileEntry* record = activation.Record()) total += ReadEntry(*record);

  // Editing keeps the elements that are not rows where they were.
  profiles::ProfileList edited = list;
  if (rows > 0) {
    FUZZ_CHECK(edited.Remove(rows - 1));
    FUZZ_CHECK(edited.RowCount() == rows - 1);
    FUZZ_CHECK(edited.Elements().size() == list.Elements().size() - 1);
  }
  FUZZ_CHECK(!edited.Replace(rows, {}));

  fuzz::CheckSaveKeeps(platform::PlistValue(list.Elements()));
  if (auto stored = store.LoadActivationList()) fuzz::CheckSaveKeeps(platform::PlistValue(*stored));
  (void)total;
  return 0;
}
