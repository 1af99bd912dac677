// SPDX-License-Identifier: GPL-3.0-or-later
// The profile store on real files in a private HOME.
#include <fstream>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"
#include "profiles/ProfileItem.h"
#include "profiles/ProfileStore.h"
#include "support/PrivateEnvironment.h"

using namespace profiles;
using platform::PlistArray;
using platform::PlistValue;

namespace {

ProfileEntry Named(const std::string& name) {
  return ProfileEntry{{key::kProfileName, name}, {key::kSsid, name + "-net"}};
}

std::vector<std::string> Names(const ProfileList& list) {
  std::vector<std::string> names;
  for (std::size_t row = 0; row < list.RowCount(); ++row) {
    names.push_back(EntryText(list.Row(row), key::kProfileName));
  }
  return names;
}

class ProfileStoreTest : public ::testing::Test {
 protected:
  std::string FilePath() const { return environment_.PreferencesDir() + "/Profile.plist"; }
  void WriteFile(const PlistArray& list) {
    ASSERT_TRUE(platform::WritePropertyListFileAtomically(FilePath(), PlistValue(list)));
  }
  // The list as the file holds it now.
  std::optional<PlistValue> ReadFile() const { return platform::ReadPropertyListFile(FilePath()); }
  // The domain as written to disk, read by a fresh instance.
  const PlistValue* StoredDefault(const std::string& name) {
    reread_.emplace();
    return reread_->ObjectForKey(name);
  }

  zvtest::PrivateEnvironment environment_;
  platform::UserDefaults prefs_;
  ProfileStore store_{prefs_};
  std::optional<platform::UserDefaults> reread_;
};

TEST_F(ProfileStoreTest, FirstUseStartsEmptyAndFirstSaveCreatesFileAndDefaults) {
  EXPECT_EQ(store_.RecordsFile(), FilePath());
  ProfileList records = store_.LoadProfiles();
  EXPECT_EQ(records.RowCount(), 0u);

  records.Append(Named("PROF1"));
  store_.SaveProfiles(records);

  auto file = ReadFile();
  ASSERT_TRUE(file && file->isArray());
  EXPECT_EQ(*file->asArray(), records.Elements());
  struct stat info {};
  ASSERT_EQ(stat(FilePath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u) << "profiles hold keys";

  const PlistValue* stored = StoredDefault(kProfilesDefaultsKey);
  ASSERT_TRUE(stored);
  EXPECT_EQ(*stored, PlistValue(records.Elements()));
}

TEST_F(ProfileStoreTest, DefaultsWinOverADifferentFileAndTheNextSaveOverwritesIt) {
  WriteFile({PlistValue(Named("FromFile"))});
  prefs_.SetObject(kProfilesDefaultsKey, PlistArray{PlistValue(Named("FromDefaults"))});

  ProfileList records = store_.LoadProfiles();
  EXPECT_EQ(Names(records), std::vector<std::string>{"FromDefaults"});

  store_.SaveProfiles(records);
  EXPECT_EQ(*ReadFile(), PlistValue(PlistArray{PlistValue(Named("FromDefaults"))}));
}

TEST_F(ProfileStoreTest, FileAloneIsReadAndTheNextSaveCreatesDefaults) {
  WriteFile({PlistValue(Named("A")), PlistValue(Named("B"))});
  ProfileList records = store_.LoadProfiles();
  EXPECT_EQ(Names(records), (std::vector<std::string>{"A", "B"}));

  store_.SaveProfiles(records);
  ASSERT_TRUE(StoredDefault(kProfilesDefaultsKey));
  EXPECT_EQ(*StoredDefault(kProfilesDefaultsKey), PlistValue(records.Elements()));
}

TEST_F(ProfileStoreTest, DeletingTheLastProfileSavesAnEmptyArrayThatStillWins) {
  WriteFile({PlistValue(Named("A"))});
  ProfileList records = store_.LoadProfiles();
  ASSERT_TRUE(records.Remove(0));
  store_.SaveProfiles(records);
  WriteFile({PlistValue(Named("EditedByHand"))});

  EXPECT_EQ(store_.LoadProfiles().RowCount(), 0u);
  ProfileStore fresh(reread_.emplace());
  EXPECT_EQ(fresh.LoadProfiles().RowCount(), 0u);
}

TEST_F(ProfileStoreTest, UnreadableOrWrongPlacesGiveAnEmptyListOrTheFallback) {
  // A file that is not a property list, and one whose root is not an array.
  ASSERT_TRUE(platform::WritePropertyListFileAtomically(FilePath(), PlistValue("x")));
  { std::ofstream(FilePath(), std::ios::trunc) << "this is not a property list <plist"; }
  EXPECT_EQ(store_.LoadProfiles().RowCount(), 0u);
  ASSERT_TRUE(platform::WritePropertyListFileAtomically(FilePath(), PlistValue(Named("A"))));
  EXPECT_EQ(store_.LoadProfiles().RowCount(), 0u);

  // "Profiles" that is not an array counts as absent: the file is the fallback.
  WriteFile({PlistValue(Named("A"))});
  prefs_.SetObject(kProfilesDefaultsKey, PlistValue("not a list"));
  EXPECT_EQ(Names(store_.LoadProfiles()), std::vector<std::string>{"A"});
}

TEST_F(ProfileStoreTest, HandEditedElementThatIsNoDictionaryIsSkippedAndKept) {
  const PlistValue junk(PlistArray{PlistValue("stray")});
  WriteFile({PlistValue(Named("A")), PlistValue("typed by hand"), junk, PlistValue(Named("B")),
             PlistValue(Named("C"))});
  ProfileList records = store_.LoadProfiles();
  ASSERT_EQ(Names(records), (std::vector<std::string>{"A", "B", "C"}));

  ASSERT_TRUE(records.Remove(1));  // B, which sits behind the two strays
  ASSERT_TRUE(records.Replace(1, Named("C2")));
  records.Append(Named("D"));
  EXPECT_FALSE(records.Remove(3));
  store_.SaveProfiles(records);

  const PlistArray expected{PlistValue(Named("A")), PlistValue("typed by hand"), junk,
                            PlistValue(Named("C2")), PlistValue(Named("D"))};
  EXPECT_EQ(*ReadFile(), PlistValue(expected));
  EXPECT_EQ(Names(store_.LoadProfiles()), (std::vector<std::string>{"A", "C2", "D"}));
}

TEST(ProfileNumberTest, ReadsTheLeadingInteger) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"0", 0},
      {"2347", 2347},
      {"-1", -1},
      {"  12a", 12},
      {"\t+7", 7},
      {"-3x", -3},
      {"a12", 0},
      {"", 0},
      {"-", 0},
      {" - 4", 0},
      {"007", 7},
      {"99999999999", INT_MAX},
      {"-99999999999", INT_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadProfileNumber(c.text), c.value) << '"' << c.text << '"';
  for (int value : {0, 5, -5, 2346, INT_MIN, INT_MAX}) {
    EXPECT_EQ(ReadProfileNumber(ProfileNumberText(value)), value);
  }
  EXPECT_EQ(ProfileNumberText(-5), "-5");

  const ProfileEntry entry{{"Channel", PlistValue(int64_t{11})}, {"Odd", PlistValue(true)}};
  EXPECT_EQ(EntryNumber(entry, "Channel"), 11) << "an integer typed into the file by hand";
  EXPECT_EQ(EntryText(entry, "Odd"), "");
  EXPECT_EQ(EntryNumber(entry, "Missing"), 0);
  EXPECT_EQ(EntryText(entry, "Missing"), "");
}

TEST_F(ProfileStoreTest, ActivationListSavesAtIndexZeroAndIsForgotten) {
  ActivationList activation;
  activation.Load(store_);
  EXPECT_EQ(activation.Record(), nullptr);

  const ProfileEntry first{{key::kActiveProfileFlag, "YES"}, {key::kSelected, "0"}};
  const ProfileEntry second{{key::kActiveProfileFlag, "YES"}, {key::kSelected, "2"}};
  activation.Save(store_, first);
  activation.Save(store_, second);
  const PlistValue* stored = StoredDefault(kProfileSettingDefaultsKey);
  ASSERT_TRUE(stored);
  EXPECT_EQ(*stored, PlistValue(PlistArray{PlistValue(second)}));

  // Without "Profile Setting" the list held is kept; a stored list replaces it.
  prefs_.RemoveObject(kProfileSettingDefaultsKey);
  activation.Load(store_);
  ASSERT_TRUE(activation.Record());
  EXPECT_EQ(*activation.Record(), second);

  activation.Forget(store_);
  EXPECT_EQ(activation.Record(), nullptr);
  EXPECT_EQ(prefs_.ObjectForKey(kProfileSettingDefaultsKey), nullptr);
}

TEST(ActivationRecordTest, CopiesTheProfileValuesThatExist) {
  ProfileEntry entry{{key::kProfileName, "P"},
                     {key::kHidden, "1"},
                     {key::kWpaPsk, "secret12"},
                     {"Unrelated", "x"}};
  const ProfileEntry on = MakeActivationRecord(entry, "YES", 3, true);
  EXPECT_EQ(on, (ProfileEntry{{key::kActiveProfileFlag, "YES"},
                              {key::kSelected, "3"},
                              {key::kProfileName, "P"},
                              {key::kHidden, "1"},
                              {key::kWpaPsk, "secret12"}}));
  const ProfileEntry off = MakeActivationRecord(on, "NO", -1, false);
  EXPECT_EQ(off, (ProfileEntry{{key::kActiveProfileFlag, "NO"},
                               {key::kSelected, "-1"},
                               {key::kProfileName, "P"},
                               {key::kWpaPsk, "secret12"}}));
}

}  // namespace

namespace {

TEST(ProfileItemTest, RowTextsFollowTheStoredNumbers) {
  const struct {
    const char *a, *e, *t, *auth, *encryption, *network;
  } cases[] = {
      {"0", "0", "1", "Open", "UnKnown", "Infrastructure"},
      {"1", "1", "0", "Shared", "WEP", "Ad Hoc"},
      {"2", "1", "0", "WPA-NONE", "UnKnown", "Ad Hoc"},
      {"2", "0", "1", "WPA-PSK", "TKIP", "Infrastructure"},
      {"2", "1", "1", "WPA-PSK", "AES", "Infrastructure"},
      {"7", "5", "1", "7", "5", "Infrastructure"},
      {"0", "3", "4", "Open", "3", "4"},
  };
  for (const auto& c : cases) {
    const ProfileItem item = ProfileItem::FromEntry({{key::kProfileName, "Home"},
                                                     {key::kSsid, "Net"},
                                                     {key::kChannel, "11"},
                                                     {key::kAuthenticationType, c.a},
                                                     {key::kEncryptionType, c.e},
                                                     {key::kNetworkType, c.t}});
    SCOPED_TRACE(std::string(c.a) + c.e + c.t);
    EXPECT_EQ(item.profile(), "Home");
    EXPECT_EQ(item.ssid(), "Net");
    EXPECT_EQ(item.channel(), "Auto");
    EXPECT_EQ(item.authentication(), c.auth);
    EXPECT_EQ(item.encryption(), c.encryption);
    EXPECT_EQ(item.network(), c.network);
  }
}

}  // namespace
