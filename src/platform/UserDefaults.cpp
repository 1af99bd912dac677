// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/UserDefaults.h"

namespace platform {

std::string UserDefaults::StandardDomainPath() {
  return PreferencesDirectory() + "/com.zvconfig.ZvConfig7100.plist";
}

UserDefaults::UserDefaults(std::string path) : path_(std::move(path)) {
  auto root = ReadPropertyListFile(path_);
  if (root && root->isDict()) values_ = *root->asDict();
}

const PlistValue* UserDefaults::ObjectForKey(const std::string& key) const {
  auto it = values_.find(key);
  return it == values_.end() ? nullptr : &it->second;
}

void UserDefaults::SetObject(const std::string& key, PlistValue value) {
  values_.insert_or_assign(key, std::move(value));
}

void UserDefaults::RemoveObject(const std::string& key) {
  values_.erase(key);
}

bool UserDefaults::Synchronize() {
  return WritePropertyListFileAtomically(path_, PlistValue(values_), 0600);
}

}  // namespace platform
