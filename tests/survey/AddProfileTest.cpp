// SPDX-License-Identifier: GPL-3.0-or-later
// Add Profile on the survey page: the selected network's values reach the profile editor,
// which opens as a sheet on the Profile tab, and what the editor saves is listed there.
#include <string>

#include <gtest/gtest.h>

#include "profiles/ProfileStore.h"
#include "survey/ConnectFixture.h"

namespace {

using surveytest::Control;
using surveytest::ModalScript;
using surveytest::Press;
using surveytest::Type;

struct AddCase {
  const char* label;
  const char* ssid;
  const char* bssid;
  int encryItem;  // the editor's EncryType item: 0 TKIP (status 4), 1 AES (status 6)
  const char* storedBssid;
};

// Test listings show a case by its label.
void PrintTo(const AddCase& c, std::ostream* os) {
  *os << c.label;
}

class AddProfileTest : public surveytest::ConnectFixture,
                       public ::testing::WithParamInterface<AddCase> {
 protected:
  void SetUp() override { StartWith(surveytest::kNeighbourhood); }
};

TEST_P(AddProfileTest, wpaPskNetworkOnChannel6BecomesAStoredProfile) {
  const AddCase& c = GetParam();
  ModalScript script;
  int tabWhileOpen = -1;
  script.Then("ProfileEditorWindow", [&](QDialog& d) {
    tabWhileOpen = tabs->currentIndex();
    EXPECT_EQ(Control<QComboBox>(d, "SSID")->currentText(), c.ssid);
    EXPECT_EQ(Control<QComboBox>(d, "NetworkType")->currentIndex(), 1);
    EXPECT_EQ(Control<QComboBox>(d, "Channel")->currentText(), "6");
    EXPECT_EQ(Control<QComboBox>(d, "AuthenType")->currentText(), "WPA-PSK");
    EXPECT_EQ(Control<QComboBox>(d, "EncryType")->currentIndex(), c.encryItem);
    Type(d, "WPAPreSharedKey", "a-passphrase");
    Press(d, "OKButton");
  });
  SelectRow(c.bssid);
  PressOnPage("AddProfile");

  EXPECT_EQ(script.shown, std::vector<QString>{"ProfileEditorWindow"});
  EXPECT_EQ(tabWhileOpen, 0);
  EXPECT_TRUE(alerts.alerts.empty());

  const profiles::ProfileList stored = profiles::ProfileStore(defaults).LoadProfiles();
  ASSERT_EQ(stored.RowCount(), 1u);
  const profiles::ProfileEntry& entry = stored.Row(0);
  using namespace profiles;
  EXPECT_EQ(EntryText(entry, key::kSsid), c.ssid);
  EXPECT_EQ(EntryText(entry, key::kBssid), c.storedBssid);
  EXPECT_EQ(EntryText(entry, key::kChannel), "6");
  EXPECT_EQ(EntryNumber(entry, key::kNetworkType), 1);
  EXPECT_EQ(EntryNumber(entry, key::kAuthenticationType), 2);
  EXPECT_EQ(EntryNumber(entry, key::kEncryptionType), c.encryItem);
  EXPECT_EQ(EntryText(entry, key::kWpaPsk), "a-passphrase");
  // The profile page lists it.
  EXPECT_EQ(profiles.widget()->findChild<QTableView*>("profileList")->model()->rowCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    GroupCiphers, AddProfileTest,
    ::testing::Values(AddCase{"Tkip", "ZvHomeTKIP", "00-1A-2B-3C-00-04", 0, "001A2B3C0004"},
                      AddCase{"AesCcmp", "ZvHomeAES", "00-1A-2B-3C-00-05", 1, "001A2B3C0005"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
