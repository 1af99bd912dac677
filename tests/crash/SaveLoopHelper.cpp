// SPDX-License-Identifier: GPL-3.0-or-later
// Saves the profile list (Profile.plist and the user-defaults domain), the activation record
// and the advanced settings, generation after generation, until it is killed. Everything
// goes to $HOME/Library/Preferences through the same store code the pages use.
//
//   crash_save_helper <first generation>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SaveShape.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"

int main(int argc, char** argv) {
  long generation = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 0;
  platform::UserDefaults defaults;
  profiles::ProfileStore store(defaults);
  const std::string settingsFile = AdvancedSettingsFilePath();

  for (;; ++generation) {
    profiles::ProfileList list;
    for (int k = 0; k < crashtest::ProfileCount(generation); ++k) {
      list.Append(crashtest::MakeProfile(generation, k));
    }
    store.SaveProfiles(list);
    profiles::ActivationList activation;
    activation.Save(store, profiles::MakeActivationRecord(list.Row(0), "YES", 0, true));

    platform::PlistArray records = ReadAdvancedSettingsRecords(settingsFile);
    StoreAdvancedSettings(records, crashtest::MakeSettings(generation));
    records.resize(1);
    records.emplace_back(
        platform::PlistDict{{crashtest::kGenerationKey, std::to_string(generation)}});
    if (!platform::WritePropertyListFileAtomically(settingsFile, platform::PlistValue(records))) {
      std::perror("advanced settings");
      return 1;
    }
  }
}
