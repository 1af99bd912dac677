// SPDX-License-Identifier: GPL-3.0-or-later
// The stored profiles: ~/Library/Preferences/Profile.plist (the list only) and the
// application's user-defaults domain ("Profiles": the same list, "Profile Setting": the
// activation list). The defaults' copy of the list wins over the file; the file is the
// fallback. There is no shared store object: the profile page and the editor each keep a
// working copy, change it and write the whole list back.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"

namespace profiles {

// One profile (or the activation record): key text to value text.
using ProfileEntry = platform::PlistDict;

// Keys of a profile entry.
namespace key {
inline constexpr const char* kProfileName = "Profile Name";
inline constexpr const char* kSsid = "SSID";
inline constexpr const char* kChannel = "Channel";
inline constexpr const char* kNetworkType = "Network Type";
inline constexpr const char* kAuthenticationType = "Authentication Type";
inline constexpr const char* kEncryptionType = "Encryption Type";
inline constexpr const char* kPreambleType = "Preamble Type";
inline constexpr const char* kPowerSaveMode = "Power Save Mode";
inline constexpr const char* kAcPowerCam = "AC Power CAM";
inline constexpr const char* kRtsThreshold = "RTS Threshold";
inline constexpr const char* kFragmentationThreshold = "Fragmentation Threshold";
inline constexpr const char* kTxPower = "Tx Power";
inline constexpr const char* kWepKey[4] = {"WEPKey1", "WEPKey2", "WEPKey3", "WEPKey4"};
inline constexpr const char* kWepKeyType[4] = {"WEPKey1 Type", "WEPKey2 Type", "WEPKey3 Type",
                                               "WEPKey4 Type"};
inline constexpr const char* kWepKeyUse = "WEPKeyUse";
inline constexpr const char* kWpaPsk = "WPAPSK";
inline constexpr const char* kBssid = "BSSID";
inline constexpr const char* kHidden = "Hidden";
// Activation record only.
inline constexpr const char* kActiveProfileFlag = "Active Profile Flag";
inline constexpr const char* kSelected = "Selected";
}  // namespace key

// User-defaults keys.
inline constexpr const char* kProfilesDefaultsKey = "Profiles";
inline constexpr const char* kProfileSettingDefaultsKey = "Profile Setting";

// The leading decimal integer of `text`: leading blanks and one sign allowed, reading stops
// at the first non-digit; 0 when there is none. Saturates at the int range.
int ReadProfileNumber(const std::string& text);
// A number as stored: plain decimal text.
std::string ProfileNumberText(int value);

// The text stored under `name`; empty when missing. An integer (only in a hand-edited file)
// reads as its decimal text; any other kind of value reads as empty.
std::string EntryText(const ProfileEntry& entry, const std::string& name);
// The number stored under `name`, read with ReadProfileNumber; 0 when missing.
int EntryNumber(const ProfileEntry& entry, const std::string& name);

// An activation record: "Active Profile Flag" = `flag`, "Selected" = `selected`, and copies
// of the profile values of `source` (keys absent from it are not copied); "Hidden" only
// when `withHidden`.
ProfileEntry MakeActivationRecord(const ProfileEntry& source, const std::string& flag, int selected,
                                  bool withHidden);

// The profile list as stored. Rows are the dictionary elements in order; any other element
// (only after a hand edit) is not a row but stays in place so that a save keeps it.
class ProfileList {
 public:
  ProfileList() = default;
  explicit ProfileList(platform::PlistArray elements) : elements_(std::move(elements)) {}

  std::size_t RowCount() const;
  // The entry of `row`; `row` must be below RowCount().
  const ProfileEntry& Row(std::size_t row) const;
  void Append(ProfileEntry entry);
  // False (nothing changed) when `row` is not a row.
  bool Replace(std::size_t row, ProfileEntry entry);
  bool Remove(std::size_t row);

  const platform::PlistArray& Elements() const { return elements_; }

 private:
  // Index in elements_ of `row`, or nullopt.
  std::optional<std::size_t> ElementIndex(std::size_t row) const;
  platform::PlistArray elements_;
};

// The persistent places of the list and the activation record.
class ProfileStore {
 public:
  // `recordsFile` defaults to PreferencesDirectory()/Profile.plist.
  explicit ProfileStore(platform::UserDefaults& prefs, std::string recordsFile = {});

  static std::string DefaultRecordsFile();
  const std::string& RecordsFile() const { return recordsFile_; }

  // "Profiles" when it is an array, otherwise the file's array, otherwise an empty list.
  ProfileList LoadProfiles() const;
  // Writes the file (atomically, mode 0600), then stores the list under "Profiles" and
  // writes the domain out.
  void SaveProfiles(const ProfileList& records);
  // The two halves of SaveProfiles, for the delete sequence that forgets the activation
  // between them.
  bool WriteProfilesFile(const ProfileList& records) const;
  void StoreProfilesInDefaults(const ProfileList& records);

  // "Profile Setting" when it is an array, otherwise nullopt.
  std::optional<platform::PlistArray> LoadActivationList() const;
  // Stores the activation list under "Profile Setting" and writes the domain out.
  void SaveActivationList(const platform::PlistArray& recordActivate);
  // Removes "Profile Setting"; the domain is written out by the next save.
  void ForgetActivation();

 private:
  platform::UserDefaults& prefs_;
  std::string recordsFile_;
};

// The activation list of the profile page: at most one activation record.
class ActivationList {
 public:
  // Takes "Profile Setting" when it is an array; otherwise keeps the list held, or starts
  // an empty one when none is held.
  void Load(const ProfileStore& store);
  // Puts `record` at index 0 (replacing the old one) and saves the list.
  void Save(ProfileStore& store, ProfileEntry record);
  // Drops the list and removes it from the store.
  void Forget(ProfileStore& store);

  // The activation record, or null when there is none (or index 0 is not a dictionary).
  const ProfileEntry* Record() const;

 private:
  std::optional<platform::PlistArray> recordActivate_;
};

}  // namespace profiles
