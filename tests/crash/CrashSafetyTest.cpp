// SPDX-License-Identifier: GPL-3.0-or-later
// Kills a process that saves the profiles, the user-defaults domain and the advanced
// settings in a tight loop, with SIGKILL at random moments, and checks after every kill that
// each file is a complete property list of some generation: the old one or the new one,
// never empty, truncated or mixed.
#include <chrono>
#include <cstdlib>
#include <optional>
#include <random>
#include <set>
#include <signal.h>
#include <string>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "SaveShape.h"
#include "platform/PropertyList.h"
#include "support/PrivateEnvironment.h"

namespace {

namespace key = profiles::key;
using platform::PlistArray;
using platform::PlistDict;

constexpr int kKills = 30;

std::string HelperPath() {
  const char* build = std::getenv("ZV_BUILD_DIR");
  return std::string(build != nullptr && *build != '\0' ? build : ZV_DEFAULT_BUILD_DIR) +
         "/bin/crash_save_helper";
}

pid_t StartHelper(long firstGeneration) {
  const std::string path = HelperPath();
  const std::string generation = std::to_string(firstGeneration);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::execl(path.c_str(), path.c_str(), generation.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return pid;
}

// The generation of a complete profile list, or nullopt with the reason recorded.
std::optional<long> ProfileListGeneration(const PlistArray& list, const std::string& where) {
  if (list.empty() || !list.front().isDict()) {
    ADD_FAILURE() << where << ": no profiles";
    return std::nullopt;
  }
  const std::string first = profiles::EntryText(*list.front().asDict(), key::kProfileName);
  const long generation = std::strtol(first.c_str() + std::string("Profile ").size(), nullptr, 10);
  EXPECT_EQ(list.size(), static_cast<size_t>(crashtest::ProfileCount(generation))) << where;
  for (size_t k = 0; k < list.size(); ++k) {
    EXPECT_EQ(list[k],
              platform::PlistValue(crashtest::MakeProfile(generation, static_cast<int>(k))))
        << where << " row " << k;
  }
  return generation;
}

void CheckMode(const std::string& path) {
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0) << path;
  EXPECT_EQ(info.st_mode & 0777, 0600u) << path;
}

// Checks the three files; returns the generation of Profile.plist.
std::optional<long> CheckFiles(const std::string& folder) {
  const std::string records = folder + "/Profile.plist";
  const std::string domain = folder + "/com.zvconfig.ZvConfig7100.plist";
  const std::string settings = folder + "/AdvancedProfileSetting.plist";

  const auto recordsRoot = platform::ReadPropertyListFile(records);
  if (!recordsRoot || !recordsRoot->isArray()) {
    ADD_FAILURE() << "Profile.plist is missing or damaged";
    return std::nullopt;
  }
  const auto generation = ProfileListGeneration(*recordsRoot->asArray(), "Profile.plist");
  CheckMode(records);

  const auto domainRoot = platform::ReadPropertyListFile(domain);
  if (!domainRoot || !domainRoot->isDict()) {
    ADD_FAILURE() << "the defaults domain is missing or damaged";
  } else {
    const PlistDict& values = *domainRoot->asDict();
    const auto profilesValue = values.find(profiles::kProfilesDefaultsKey);
    const auto settingValue = values.find(profiles::kProfileSettingDefaultsKey);
    if (profilesValue == values.end() || !profilesValue->second.isArray() ||
        settingValue == values.end() || !settingValue->second.isArray()) {
      ADD_FAILURE() << "the defaults domain lacks its lists";
    } else {
      ProfileListGeneration(*profilesValue->second.asArray(), "Profiles");
      const PlistArray& activation = *settingValue->second.asArray();
      if (activation.size() != 1 || !activation.front().isDict()) {
        ADD_FAILURE() << "the activation list is damaged";
      } else {
        const std::string name =
            profiles::EntryText(*activation.front().asDict(), key::kProfileName);
        const long active = std::strtol(name.c_str() + std::string("Profile ").size(), nullptr, 10);
        EXPECT_EQ(activation.front(), platform::PlistValue(profiles::MakeActivationRecord(
                                          crashtest::MakeProfile(active, 0), "YES", 0, true)));
      }
    }
    CheckMode(domain);
  }

  const PlistArray settingsRecords = ReadAdvancedSettingsRecords(settings);
  if (settingsRecords.size() != 2 || !settingsRecords[1].isDict()) {
    ADD_FAILURE() << "AdvancedProfileSetting.plist is missing or damaged";
  } else {
    const long written = std::strtol(
        profiles::EntryText(*settingsRecords[1].asDict(), crashtest::kGenerationKey).c_str(),
        nullptr, 10);
    AdvancedSettings loaded;
    EXPECT_TRUE(LoadAdvancedSettings(settingsRecords, loaded));
    EXPECT_EQ(loaded, crashtest::MakeSettings(written));
  }
  return generation;
}

bool AllFilesExist(const std::string& folder) {
  for (const char* name :
       {"/Profile.plist", "/com.zvconfig.ZvConfig7100.plist", "/AdvancedProfileSetting.plist"}) {
    if (::access((folder + name).c_str(), F_OK) != 0) return false;
  }
  return true;
}

TEST(CrashSafetyTest, EveryFileIsOldOrNewAfterSigkill) {
  zvtest::PrivateEnvironment environment;
  const std::string folder = environment.PreferencesDir();
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> pauseMs(5, 120);

  // A first complete save of everything before the kills begin.
  pid_t helper = StartHelper(0);
  ASSERT_GT(helper, 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!AllFilesExist(folder) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(AllFilesExist(folder)) << "the save loop did not start";

  std::set<long> generations;
  long next = 1;
  for (int kill = 0; kill < kKills; ++kill) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs(random)));
    ASSERT_EQ(::kill(helper, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(helper, &status, 0), helper);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the save loop ended by itself at kill " << kill;

    SCOPED_TRACE("after kill " + std::to_string(kill));
    const auto generation = CheckFiles(folder);
    if (::testing::Test::HasFailure()) return;
    if (generation) generations.insert(*generation);
    // Later generations go on from far enough ahead that old and new never look alike.
    next += 100000;
    helper = StartHelper(next);
    ASSERT_GT(helper, 0);
  }
  ::kill(helper, SIGKILL);
  ::waitpid(helper, nullptr, 0);

  // The loop saved between kills, so the checks saw many different versions.
  EXPECT_GE(generations.size(), static_cast<size_t>(kKills / 3));
}

}  // namespace
