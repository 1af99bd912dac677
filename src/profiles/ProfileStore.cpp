// SPDX-License-Identifier: GPL-3.0-or-later
#include "profiles/ProfileStore.h"

#include <cctype>
#include <climits>
#include <cstdint>

namespace profiles {

int ReadProfileNumber(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int64_t value = 0;
  const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > limit) value = limit;  // keep reading digits, but stay in range
  }
  return static_cast<int>(negative ? -value : value);
}

std::string ProfileNumberText(int value) {
  return std::to_string(value);
}

std::string EntryText(const ProfileEntry& entry, const std::string& name) {
  auto it = entry.find(name);
  if (it == entry.end()) return {};
  if (const std::string* text = it->second.asString()) return *text;
  if (const auto* number = std::get_if<int64_t>(&it->second.storage())) {
    return std::to_string(*number);
  }
  return {};
}

int EntryNumber(const ProfileEntry& entry, const std::string& name) {
  return ReadProfileNumber(EntryText(entry, name));
}

ProfileEntry MakeActivationRecord(const ProfileEntry& source, const std::string& flag, int selected,
                                  bool withHidden) {
  static const char* const kCopied[] = {
      key::kProfileName,   key::kAcPowerCam,     key::kAuthenticationType,
      key::kChannel,       key::kEncryptionType, key::kFragmentationThreshold,
      key::kNetworkType,   key::kPreambleType,   key::kPowerSaveMode,
      key::kRtsThreshold,  key::kSsid,           key::kBssid,
      key::kTxPower,       key::kWepKey[0],      key::kWepKey[1],
      key::kWepKey[2],     key::kWepKey[3],      key::kWepKeyType[0],
      key::kWepKeyType[1], key::kWepKeyType[2],  key::kWepKeyType[3],
      key::kWepKeyUse,     key::kWpaPsk};
  ProfileEntry record;
  record[key::kActiveProfileFlag] = flag;
  record[key::kSelected] = ProfileNumberText(selected);
  for (const char* name : kCopied) {
    if (auto it = source.find(name); it != source.end()) record[name] = it->second;
  }
  if (withHidden) {
    if (auto it = source.find(key::kHidden); it != source.end()) record[key::kHidden] = it->second;
  }
  return record;
}

std::size_t ProfileList::RowCount() const {
  std::size_t rows = 0;
  for (const auto& element : elements_) rows += element.isDict() ? 1 : 0;
  return rows;
}

std::optional<std::size_t> ProfileList::ElementIndex(std::size_t row) const {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < elements_.size(); ++i) {
    if (!elements_[i].isDict()) continue;
    if (seen == row) return i;
    ++seen;
  }
  return std::nullopt;
}

const ProfileEntry& ProfileList::Row(std::size_t row) const {
  return *elements_.at(ElementIndex(row).value()).asDict();
}

void ProfileList::Append(ProfileEntry entry) {
  elements_.emplace_back(std::move(entry));
}

bool ProfileList::Replace(std::size_t row, ProfileEntry entry) {
  auto index = ElementIndex(row);
  if (!index) return false;
  elements_[*index] = platform::PlistValue(std::move(entry));
  return true;
}

bool ProfileList::Remove(std::size_t row) {
  auto index = ElementIndex(row);
  if (!index) return false;
  elements_.erase(elements_.begin() + static_cast<std::ptrdiff_t>(*index));
  return true;
}

ProfileStore::ProfileStore(platform::UserDefaults& prefs, std::string recordsFile)
    : prefs_(prefs),
      recordsFile_(recordsFile.empty() ? DefaultRecordsFile() : std::move(recordsFile)) {}

std::string ProfileStore::DefaultRecordsFile() {
  return platform::PreferencesDirectory() + "/Profile.plist";
}

ProfileList ProfileStore::LoadProfiles() const {
  if (const platform::PlistValue* stored = prefs_.ObjectForKey(kProfilesDefaultsKey)) {
    if (const platform::PlistArray* list = stored->asArray()) return ProfileList(*list);
  }
  if (auto file = platform::ReadPropertyListFile(recordsFile_)) {
    if (platform::PlistArray* list = file->asArray()) return ProfileList(std::move(*list));
  }
  return ProfileList();
}

bool ProfileStore::WriteProfilesFile(const ProfileList& records) const {
  // The entries hold keys: the file is readable by its owner only.
  return platform::WritePropertyListFileAtomically(recordsFile_,
                                                   platform::PlistValue(records.Elements()), 0600);
}

void ProfileStore::StoreProfilesInDefaults(const ProfileList& records) {
  prefs_.SetObject(kProfilesDefaultsKey, platform::PlistValue(records.Elements()));
  prefs_.Synchronize();
}

void ProfileStore::SaveProfiles(const ProfileList& records) {
  WriteProfilesFile(records);
  StoreProfilesInDefaults(records);
}

std::optional<platform::PlistArray> ProfileStore::LoadActivationList() const {
  if (const platform::PlistValue* stored = prefs_.ObjectForKey(kProfileSettingDefaultsKey)) {
    if (const platform::PlistArray* list = stored->asArray()) return *list;
  }
  return std::nullopt;
}

void ProfileStore::SaveActivationList(const platform::PlistArray& recordActivate) {
  prefs_.SetObject(kProfileSettingDefaultsKey, platform::PlistValue(recordActivate));
  prefs_.Synchronize();
}

void ProfileStore::ForgetActivation() {
  prefs_.RemoveObject(kProfileSettingDefaultsKey);
}

void ActivationList::Load(const ProfileStore& store) {
  if (auto stored = store.LoadActivationList()) {
    recordActivate_ = std::move(*stored);
  } else if (!recordActivate_) {
    recordActivate_.emplace();
  }
}

void ActivationList::Save(ProfileStore& store, ProfileEntry record) {
  if (!recordActivate_) recordActivate_.emplace();
  if (recordActivate_->empty()) {
    recordActivate_->emplace_back(std::move(record));
  } else {
    (*recordActivate_)[0] = platform::PlistValue(std::move(record));
  }
  store.SaveActivationList(*recordActivate_);
}

void ActivationList::Forget(ProfileStore& store) {
  store.ForgetActivation();
  recordActivate_.reset();
}

const ProfileEntry* ActivationList::Record() const {
  if (!recordActivate_ || recordActivate_->empty()) return nullptr;
  return recordActivate_->front().asDict();
}

}  // namespace profiles
