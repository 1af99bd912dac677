// SPDX-License-Identifier: GPL-3.0-or-later
// A stored profile entry as the editor writes it (all 24 keys): an open infrastructure
// profile named "P" for the network "ZvWep", with `changes` overriding any key.
#pragma once

#include <initializer_list>
#include <utility>

#include "profiles/ProfileStore.h"

namespace testsupport {

inline profiles::ProfileEntry StoredProfile(
    std::initializer_list<std::pair<const char*, const char*>> changes = {}) {
  namespace key = profiles::key;
  profiles::ProfileEntry entry{{key::kProfileName, "P"},
                               {key::kSsid, "ZvWep"},
                               {key::kChannel, "1"},
                               {key::kNetworkType, "1"},
                               {key::kAuthenticationType, "0"},
                               {key::kEncryptionType, "0"},
                               {key::kPreambleType, "0"},
                               {key::kPowerSaveMode, "0"},
                               {key::kAcPowerCam, "0"},
                               {key::kRtsThreshold, "2347"},
                               {key::kFragmentationThreshold, "2346"},
                               {key::kTxPower, "0"},
                               {key::kWepKeyUse, "0"},
                               {key::kWpaPsk, ""},
                               {key::kBssid, ""},
                               {key::kHidden, "0"}};
  for (int n = 0; n < 4; ++n) {
    entry[key::kWepKey[n]] = "";
    entry[key::kWepKeyType[n]] = "0";
  }
  for (const auto& [name, value] : changes) entry[name] = value;
  return entry;
}

}  // namespace testsupport
