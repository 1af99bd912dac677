// SPDX-License-Identifier: GPL-3.0-or-later
// Versions and dates from information files.
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <regex>
#include <string>
#include <unistd.h>
#include <utime.h>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/BundleInfo.h"

namespace {

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/zv-bundle-XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::time_t LocalTime(int year, int month, int day, int hour) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

void WriteInfo(const std::string& path, const std::string& body) {
  std::ofstream(path) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">"
                      << body << "</plist>\n";
}

void SetModified(const std::string& path, std::time_t when) {
  const utimbuf times{when, when};
  ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

}  // namespace

TEST(BundleInfo, ReadsVersionAndLocalModificationDate) {
  TempDir dir;
  const std::string path = dir.File("Info.plist");
  WriteInfo(path, "<dict><key>CFBundleShortVersionString</key><string>2.3.4</string></dict>");
  // Just after local midnight and just before the next: both are still 5 March.
  for (int hour : {0, 23}) {
    SetModified(path, LocalTime(2005, 3, 5, hour));
    const auto info = platform::ReadBundleInfo(path);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->shortVersion, "2.3.4");
    EXPECT_EQ(info->modificationDate.substr(0, 10), "2005-03-05") << info->modificationDate;
    EXPECT_TRUE(std::regex_match(info->modificationDate,
                                 std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d [+-]\d{4})")))
        << info->modificationDate;
  }
}

TEST(BundleInfo, FollowsSymbolicLinksToTheFileItself) {
  TempDir dir;
  WriteInfo(dir.File("real.plist"),
            "<dict><key>CFBundleShortVersionString</key><string>9.1</string></dict>");
  SetModified(dir.File("real.plist"), LocalTime(2001, 12, 31, 12));
  ASSERT_EQ(::symlink(dir.File("real.plist").c_str(), dir.File("link.plist").c_str()), 0);
  const auto info = platform::ReadBundleInfo(dir.File("link.plist"));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->shortVersion, "9.1");
  EXPECT_EQ(info->modificationDate.substr(0, 10), "2001-12-31");
}

TEST(BundleInfo, MissingFileKeyOrDictionary) {
  TempDir dir;
  EXPECT_FALSE(platform::ReadBundleInfo(dir.File("absent.plist")));

  // Present but without a usable version: the date is still known.
  struct Case {
    const char* name;
    const char* body;
  } cases[] = {
      {"nokey.plist", "<dict><key>CFBundleName</key><string>x</string></dict>"},
      {"notstring.plist", "<dict><key>CFBundleShortVersionString</key><integer>3</integer></dict>"},
      {"array.plist", "<array><string>1.0</string></array>"},
      {"broken.plist", "<dict><key>"},
  };
  for (const auto& c : cases) {
    WriteInfo(dir.File(c.name), c.body);
    const auto info = platform::ReadBundleInfo(dir.File(c.name));
    ASSERT_TRUE(info) << c.name;
    EXPECT_EQ(info->shortVersion, "") << c.name;
    EXPECT_EQ(info->modificationDate.size(), 25u) << c.name;
  }
}
