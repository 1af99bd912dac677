// SPDX-License-Identifier: GPL-3.0-or-later
// The About page against trelvaned, with information files of the test's own.
#include <ctime>
#include <fstream>
#include <map>
#include <string>
#include <utime.h>

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "SettingsPageFixture.h"
#include "settings/AboutPageController.h"

namespace {

constexpr const char* kTextOutlets[] = {"DriverDate", "DriverVersion", "EEPROMVersion",
                                        "MacAddress", "ZvConfigDate",  "ZvConfigVersion"};

std::time_t LocalNoon(int year, int month, int day) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = 12;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

class AboutPageTest : public zvtest::SettingsPageTest {
 protected:
  AboutPageTest() {
    page.setUrlOpener([this](const QString& address) { opened.push_back(address.toStdString()); });
    page.awakeFromNib();
  }

  std::string HomeFile(const char* name) { return service.Environment().HomeDir() + "/" + name; }

  // An information file with `version`, last modified at noon of the given day.
  std::string WriteInfo(const char* name, const char* version, int year, int month, int day) {
    const std::string path = HomeFile(name);
    std::ofstream(path) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">"
                        << "<dict><key>CFBundleShortVersionString</key><string>" << version
                        << "</string></dict></plist>\n";
    const std::time_t when = LocalNoon(year, month, day);
    const utimbuf times{when, when};
    EXPECT_EQ(::utime(path.c_str(), &times), 0);
    return path;
  }

  std::string Text(const char* outlet) {
    return Control<QLabel>(page.widget(), outlet)->text().toStdString();
  }
  std::map<std::string, std::string> AllTexts() {
    std::map<std::string, std::string> texts;
    for (const char* outlet : kTextOutlets) texts[outlet] = Text(outlet);
    return texts;
  }

  AboutPageController page{context};
  std::vector<std::string> opened;
};

TEST_F(AboutPageTest, EveryControlIsNamedAfterItsOutlet) {
  for (const char* outlet : kTextOutlets) {
    EXPECT_EQ(Control<QWidget>(page.widget(), outlet)->accessibleName().toStdString(), outlet);
  }
  for (const char* outlet : {"ZorvikPicture", "ZorvikWWW"}) {
    EXPECT_EQ(Control<QWidget>(page.widget(), outlet)->accessibleName().toStdString(), outlet);
  }
}

TEST_F(AboutPageTest, ShowsVersionsDatesEepromAndAddress) {
  StartDriver(R"({"adapter": {"mac": "00:0a:95:9d:68:1f", "eeprom_version": "1.12"},
                 "networks": []})");
  page.setInformationFiles(WriteInfo("Utility.plist", "2.3.4", 2005, 3, 5),
                           WriteInfo("Driver.plist", "7.0b1", 2006, 11, 30));
  page.GetAllInformation();
  EXPECT_EQ(AllTexts(), (std::map<std::string, std::string>{{"ZvConfigVersion", "2.3.4"},
                                                            {"ZvConfigDate", "2005-03-05"},
                                                            {"DriverVersion", "7.0b1"},
                                                            {"DriverDate", "2006-11-30"},
                                                            {"EEPROMVersion", "1.12"},
                                                            {"MacAddress", "00-0A-95-9D-68-1F"}}));
}

TEST_F(AboutPageTest, MissingDriverFileAndAdapterGiveEmptyFieldsAndZeros) {
  page.setInformationFiles(WriteInfo("Utility.plist", "2.3.4", 2005, 3, 5),
                           HomeFile("no-such-driver.plist"));
  page.GetAllInformation();
  EXPECT_EQ(Text("DriverVersion"), "");
  EXPECT_EQ(Text("DriverDate"), "");
  EXPECT_EQ(Text("EEPROMVersion"), "0.0");
  EXPECT_EQ(Text("MacAddress"), "00-00-00-00-00-00");
  EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(AboutPageTest, WithoutItsOwnInformationFileThePageStaysAsItIs) {
  StartDriver();
  const auto before = AllTexts();
  ASSERT_TRUE(service.Mark("about"));
  page.setInformationFiles(HomeFile("missing.plist"), WriteInfo("Driver.plist", "7.0", 2006, 1, 1));
  page.GetAllInformation();
  EXPECT_EQ(AllTexts(), before);
  EXPECT_TRUE(StructCallsAfter("about").empty()) << "not even the adapter is asked";
}

TEST_F(AboutPageTest, FindsTheInformationFilesBesideTheProgram) {
  // The tests run from <build>/bin, so the build tree's copies are found.
  page.GetAllInformation();
  EXPECT_EQ(Text("ZvConfigVersion"), ZV_PROJECT_VERSION);
  EXPECT_EQ(Text("DriverVersion"), ZV_PROJECT_VERSION);
  EXPECT_EQ(Text("ZvConfigDate").size(), 10u);
}

TEST_F(AboutPageTest, TheLinkOpensTheWebSite) {
  Control<QPushButton>(page.widget(), "ZorvikWWW")->click();
  EXPECT_EQ(opened, (std::vector<std::string>{"https://zvconfig.invalid/"}));
}

}  // namespace
