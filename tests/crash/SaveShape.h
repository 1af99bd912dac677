// SPDX-License-Identifier: GPL-3.0-or-later
// What the save loop writes in its generation g, so that the test can tell a complete file
// of any generation from a damaged one: 1 + g % 5 profiles named "Profile <g>-<k>", the
// first of them activated, and advanced settings whose values follow g.
#pragma once

#include <string>

#include "profiles/ProfileStore.h"
#include "settings/AdvancedSettingsFile.h"

namespace crashtest {

inline int ProfileCount(long generation) {
  return 1 + static_cast<int>(generation % 5);
}

inline std::string ProfileName(long generation, int k) {
  return "Profile " + std::to_string(generation) + "-" + std::to_string(k);
}

inline profiles::ProfileEntry MakeProfile(long generation, int k) {
  namespace key = profiles::key;
  profiles::ProfileEntry entry{{key::kProfileName, ProfileName(generation, k)},
                               {key::kSsid, "Net" + std::to_string(k)},
                               {key::kChannel, std::to_string(1 + k)},
                               {key::kNetworkType, "1"},
                               {key::kAuthenticationType, "4"},
                               {key::kEncryptionType, "4"},
                               {key::kWpaPsk, std::string(40 + k, 'k')}};
  return entry;
}

inline AdvancedSettings MakeSettings(long generation) {
  AdvancedSettings settings;
  settings.nTxRate = static_cast<int32_t>(generation % 12);
  settings.nBGProtection = static_cast<int32_t>(generation % 3);
  settings.bTXBurst = static_cast<int8_t>(generation % 2);
  settings.bAdhocOfdm = static_cast<int8_t>((generation / 2) % 2);
  settings.nWirelessMode = static_cast<int32_t>(generation % 4);
  return settings;
}

// The element after the settings carries the generation that wrote them.
inline constexpr const char* kGenerationKey = "Generation";

}  // namespace crashtest
