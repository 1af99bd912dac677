// SPDX-License-Identifier: GPL-3.0-or-later
// The application's user-defaults domain: one property-list file whose root dictionary
// holds the application's keys. Changes stay in memory until Synchronize writes them.
#pragma once

#include <string>

#include "platform/PropertyList.h"

namespace platform {

class UserDefaults {
 public:
  // The domain of the utility: PreferencesDirectory()/com.zvconfig.ZvConfig7100.plist.
  static std::string StandardDomainPath();

  // Loads the domain from `path`; a missing or unreadable file gives an empty domain.
  explicit UserDefaults(std::string path = StandardDomainPath());

  // The value stored under `key`, or null.
  const PlistValue* ObjectForKey(const std::string& key) const;
  void SetObject(const std::string& key, PlistValue value);
  void RemoveObject(const std::string& key);
  // Writes the domain out atomically (mode 0600: it may hold keys). False when the write
  // failed. The program holds one instance, shared by every controller.
  bool Synchronize();

 private:
  std::string path_;
  PlistDict values_;
};

}  // namespace platform
