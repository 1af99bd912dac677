// SPDX-License-Identifier: GPL-3.0-or-later
#include <chrono>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/PropertyList.h"
#include "support/PrivateEnvironment.h"

namespace {

using platform::PlistArray;
using platform::PlistData;
using platform::PlistDate;
using platform::PlistDict;
using platform::PlistValue;

mode_t FileMode(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

PlistValue EveryKindOfValue() {
  PlistDict entry{{"SSID", "caf\xC3\xA9 <&> net"},
                  {"Channel", int64_t{11}},
                  {"Offset", int64_t{-42}},
                  {"Ratio", 2.5},
                  {"Hidden", true},
                  {"Seen", PlistDate{700000000}},
                  {"Key", PlistData{0x00, 0xFF, 0x10}},
                  {"Empty", PlistDict{}}};
  return PlistValue(PlistDict{{"Profiles", PlistArray{entry, PlistValue("second")}},
                              {"Profile Setting", PlistDict{{"Active", "home"}}}});
}

class PropertyListFileTest : public ::testing::Test {
 protected:
  zvtest::PrivateEnvironment environment;
  std::string folder = environment.PreferencesDir();
  std::string path = folder + "/Profile.plist";
};

TEST(PropertyList, EveryValueKindSurvivesSerializeAndParse) {
  PlistValue original = EveryKindOfValue();
  std::string xml = platform::SerializePropertyList(original);
  EXPECT_NE(xml.find("<!DOCTYPE plist"), std::string::npos);
  auto parsed = platform::ParsePropertyList(xml);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(*parsed, original);
}

TEST(PropertyList, BytesThatAreNotAPropertyListGiveNothing) {
  for (const char* bytes : {"", "hello", "<plist><dict><key>a</key>", "\x00\x01\x02",
                            "bplist00\xFF\xFF\xFF", "{\"json\": true}"}) {
    EXPECT_FALSE(platform::ParsePropertyList(bytes).has_value()) << bytes;
  }
}

TEST_F(PropertyListFileTest, WriteCreatesPrivateFoldersAndFileThenReadsBack) {
  ASSERT_TRUE(platform::WritePropertyListFileAtomically(path, EveryKindOfValue()));
  EXPECT_EQ(FileMode(path), 0600u);
  EXPECT_EQ(FileMode(folder), 0700u);
  EXPECT_EQ(FileMode(environment.HomeDir() + "/Library"), 0700u);
  auto back = platform::ReadPropertyListFile(path);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, EveryKindOfValue());
}

TEST_F(PropertyListFileTest, ReplaceIsAtomicAndLeavesNoTemporaryFiles) {
  ASSERT_TRUE(platform::WritePropertyListFileAtomically(path, PlistValue(PlistArray{"old"})));
  // A reader holding the old file keeps seeing the old contents: the new one is renamed in.
  std::ifstream reader(path);
  ASSERT_TRUE(platform::WritePropertyListFileAtomically(path, PlistValue(PlistArray{"new"})));
  std::string held{std::istreambuf_iterator<char>(reader), std::istreambuf_iterator<char>()};
  EXPECT_NE(held.find("old"), std::string::npos);
  EXPECT_EQ(*platform::ReadPropertyListFile(path), PlistValue(PlistArray{"new"}));
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    ++files;
    EXPECT_EQ(entry.path().filename(), "Profile.plist");
  }
  EXPECT_EQ(files, 1u);
}

TEST_F(PropertyListFileTest, WriteRemovesTemporariesThatAKilledWriteLeftBehind) {
  const auto makeTemporary = [&](const std::string& name, int ageSeconds) {
    const std::string temporary = folder + "/" + name;
    std::ofstream(temporary) << "<?xml";
    const auto when =
        std::filesystem::file_time_type::clock::now() - std::chrono::seconds(ageSeconds);
    std::filesystem::last_write_time(temporary, when);
    return temporary;
  };
  std::filesystem::create_directories(folder);
  const std::string abandoned = makeTemporary("Profile.plist.zvtmp-a1B2c3", 3600);
  const std::string inProgress = makeTemporary("Profile.plist.zvtmp-Zz9Yy8", 0);
  const std::string otherFile = makeTemporary("Other.plist.zvtmp-a1B2c3", 3600);
  const std::string notOurs = makeTemporary("Profile.plist.backup", 3600);

  ASSERT_TRUE(platform::WritePropertyListFileAtomically(path, PlistValue(PlistArray{"new"})));
  EXPECT_FALSE(std::filesystem::exists(abandoned));
  EXPECT_TRUE(std::filesystem::exists(inProgress)) << "may belong to a write in progress";
  EXPECT_TRUE(std::filesystem::exists(otherFile));
  EXPECT_TRUE(std::filesystem::exists(notOurs));
}

TEST_F(PropertyListFileTest, GivenModeIsApplied) {
  ASSERT_TRUE(platform::WritePropertyListFileAtomically(path, PlistValue("x"), 0644));
  EXPECT_EQ(FileMode(path), 0644u);
  // Rewriting with keys tightens the mode again.
  ASSERT_TRUE(platform::WritePropertyListFileAtomically(path, PlistValue("x")));
  EXPECT_EQ(FileMode(path), 0600u);
}

TEST_F(PropertyListFileTest, FailedWriteReportsFailureAndLeavesNoTemporaryFile) {
  // The rename cannot replace a folder that holds something: the write fails after the
  // temporary file was made, which must not stay behind.
  std::filesystem::create_directories(path + "/occupied");
  EXPECT_FALSE(platform::WritePropertyListFileAtomically(path, PlistValue("lost")));
  EXPECT_TRUE(std::filesystem::is_directory(path + "/occupied"));
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    EXPECT_EQ(entry.path().filename(), "Profile.plist");
  }
  // A parent that is a file cannot become a folder.
  std::ofstream(folder + "/plain") << "x";
  EXPECT_FALSE(
      platform::WritePropertyListFileAtomically(folder + "/plain/a.plist", PlistValue("x")));
}

TEST_F(PropertyListFileTest, MissingOrForeignFileReadsAsNothing) {
  EXPECT_FALSE(platform::ReadPropertyListFile(path).has_value());
  std::filesystem::create_directories(folder);
  std::ofstream(path) << "this is not a property list";
  EXPECT_FALSE(platform::ReadPropertyListFile(path).has_value());
  EXPECT_FALSE(platform::ReadPropertyListFile(folder).has_value());
}

TEST_F(PropertyListFileTest, PreferencesDirectoryFollowsHome) {
  EXPECT_EQ(platform::PreferencesDirectory(), folder);
}

}  // namespace
