// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/UserDefaults.h"
#include "support/PrivateEnvironment.h"

namespace {

using platform::PlistArray;
using platform::PlistDict;
using platform::PlistValue;
using platform::UserDefaults;

class UserDefaultsTest : public ::testing::Test {
 protected:
  zvtest::PrivateEnvironment environment;
  std::string path = environment.PreferencesDir() + "/com.zvconfig.ZvConfig7100.plist";
};

TEST_F(UserDefaultsTest, StandardDomainLivesInPreferences) {
  EXPECT_EQ(UserDefaults::StandardDomainPath(), path);
}

TEST_F(UserDefaultsTest, ChangesReachTheFileOnlyOnSynchronize) {
  UserDefaults defaults;
  EXPECT_EQ(defaults.ObjectForKey("Profiles"), nullptr);
  defaults.SetObject("Profiles", PlistArray{PlistDict{{"SSID", "home"}}});
  defaults.SetObject("Profile Setting", PlistDict{{"Key", "secret"}});
  defaults.SetObject("Scratch", "gone");
  defaults.RemoveObject("Scratch");
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_TRUE(defaults.Synchronize());

  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  UserDefaults reloaded;
  ASSERT_NE(reloaded.ObjectForKey("Profiles"), nullptr);
  EXPECT_EQ(*reloaded.ObjectForKey("Profiles"),
            PlistValue(PlistArray{PlistDict{{"SSID", "home"}}}));
  EXPECT_EQ(*reloaded.ObjectForKey("Profile Setting"), PlistValue(PlistDict{{"Key", "secret"}}));
  EXPECT_EQ(reloaded.ObjectForKey("Scratch"), nullptr);
}

TEST_F(UserDefaultsTest, UnreadableOrNonDictionaryFileGivesEmptyDomain) {
  std::filesystem::create_directories(environment.PreferencesDir());
  for (const char* contents :
       {"garbage", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>"}) {
    std::ofstream(path, std::ios::trunc) << contents;
    UserDefaults defaults(path);
    EXPECT_EQ(defaults.ObjectForKey("Profiles"), nullptr) << contents;
    defaults.SetObject("Profiles", PlistArray{});
    EXPECT_TRUE(defaults.Synchronize());
    EXPECT_NE(UserDefaults(path).ObjectForKey("Profiles"), nullptr);
  }
}

}  // namespace
