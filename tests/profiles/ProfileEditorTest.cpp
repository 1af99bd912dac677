// SPDX-License-Identifier: GPL-3.0-or-later
// The profile editor, driven through its controls offscreen.
#include <cstring>

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTest>

#include "app/AppContext.h"
#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"
#include "driver/ZX7100Access.h"
#include "engine/KeyCheck.h"
#include "platform/UserDefaults.h"
#include "profiles/ProfileEditorController.h"
#include "profiles/ProfileStore.h"
#include "support/PrivateEnvironment.h"
#include "support/RecordingAlertPanel.h"

using namespace profiles;
using platform::PlistArray;
using platform::PlistValue;

namespace {

struct ScannedAp {
  const char* ssid;
  uint8_t mac[6];
};

// A scan list in G_pBssidList with the given entries, each of the fixed size.
void SetScanList(std::initializer_list<ScannedAp> aps, uint32_t declaredCount = 0) {
  G_pBssidList = std::make_unique<uint8_t[]>(kBssidListBufferSize);
  std::memset(G_pBssidList.get(), 0, kBssidListBufferSize);
  const uint32_t count = declaredCount ? declaredCount : static_cast<uint32_t>(aps.size());
  std::memcpy(G_pBssidList.get(), &count, 4);
  std::size_t offset = 4;
  for (const ScannedAp& ap : aps) {
    NDIS_WLAN_BSSID_EX entry{};
    entry.Length = sizeof entry;
    std::memcpy(entry.MacAddress, ap.mac, 6);
    entry.Ssid.SsidLength = static_cast<uint32_t>(std::strlen(ap.ssid));
    std::memcpy(entry.Ssid.Ssid, ap.ssid, entry.Ssid.SsidLength);
    std::memcpy(G_pBssidList.get() + offset, &entry, sizeof entry);
    offset += sizeof entry;
  }
}

QStringList Items(const QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

class ProfileEditorTest : public ::testing::Test {
 protected:
  ProfileEditorTest() {
    ResetGlobalState();
    editor_.awakeFromNib();
  }
  ~ProfileEditorTest() override { ResetGlobalState(); }

  template <typename T>
  T* Control(const char* name) {
    T* control = editor_.window()->findChild<T*>(name);
    EXPECT_TRUE(control) << name;
    return control;
  }
  // What a user's pick does: select the item and report it as activated.
  void Choose(const char* combo, int item) {
    QComboBox* box = Control<QComboBox>(combo);
    box->setCurrentIndex(item);
    emit box->activated(item);
  }
  void Click(const char* button) {
    QTest::mouseClick(Control<QAbstractButton>(button), Qt::LeftButton);
  }
  void Type(const char* field, const QString& text) {
    Control<QLineEdit>(field)->clear();
    QTest::keyClicks(Control<QLineEdit>(field), text);
  }
  bool Enabled(const char* name) { return Control<QWidget>(name)->isEnabled(); }

  void StoreProfiles(const PlistArray& list) {
    prefs_.SetObject(kProfilesDefaultsKey, PlistValue(list));
    prefs_.Synchronize();
  }
  ProfileList Stored() {
    platform::UserDefaults fresh;
    return ProfileStore(fresh).LoadProfiles();
  }

  zvtest::PrivateEnvironment environment_;
  zvtest::RecordingAlertPanel alerts_;
  platform::UserDefaults prefs_;
  ZX7100Access adapter_{alerts_};
  AppContext context_{adapter_, alerts_, prefs_};
  ProfileEditorController editor_{context_};
};

TEST_F(ProfileEditorTest, AuthenticationAndEncryptionRules) {
  editor_.AddInit();
  Choose("AuthenType", 0);
  Choose("EncryType", 1);  // Open + WEP
  EXPECT_TRUE(Enabled("WEPKey1Text") && Enabled("WEPKey4Combo") && Enabled("WEPKey2Radio"));
  EXPECT_FALSE(Enabled("WPAPreSharedKey"));

  Choose("AuthenType", 1);  // Shared keeps the encryption choice
  EXPECT_EQ(Control<QComboBox>("EncryType")->currentIndex(), 1);
  EXPECT_EQ(Items(Control<QComboBox>("EncryType")), (QStringList{"NONE", "WEP"}));
  Choose("EncryType", 0);  // Shared + NONE still uses WEP keys
  EXPECT_TRUE(Enabled("WEPKey3Text"));
  EXPECT_FALSE(Enabled("WPAPreSharedKey"));

  Choose("AuthenType", 2);  // the WPA item
  EXPECT_EQ(Items(Control<QComboBox>("EncryType")), (QStringList{"TKIP", "AES"}));
  EXPECT_EQ(Control<QComboBox>("EncryType")->currentIndex(), 0);
  EXPECT_TRUE(Enabled("WPAPreSharedKey"));
  EXPECT_FALSE(Enabled("WEPKey1Text") || Enabled("WEPKey1Combo") || Enabled("WEPKey1Radio"));
  Choose("EncryType", 1);

  Choose("AuthenType", 0);  // back from WPA: item 0 again, every key control off
  EXPECT_EQ(Items(Control<QComboBox>("EncryType")), (QStringList{"NONE", "WEP"}));
  EXPECT_EQ(Control<QComboBox>("EncryType")->currentIndex(), 0);
  EXPECT_FALSE(Enabled("WPAPreSharedKey") || Enabled("WEPKey2Text") || Enabled("WEPKey4Radio"));

  // The network type rebuilds the third item and resets the authentication to Open.
  Choose("AuthenType", 1);
  Choose("NetworkType", 0);
  EXPECT_EQ(Items(Control<QComboBox>("AuthenType")), (QStringList{"Open", "Shared", "WPA-NONE"}));
  EXPECT_EQ(Control<QComboBox>("AuthenType")->currentIndex(), 0);
  EXPECT_TRUE(Control<QWidget>("Channel")->isVisibleTo(editor_.window()));
  EXPECT_TRUE(Enabled("PreambleType"));
  Choose("NetworkType", 1);
  EXPECT_EQ(Items(Control<QComboBox>("AuthenType")), (QStringList{"Open", "Shared", "WPA-PSK"}));
  EXPECT_FALSE(Control<QWidget>("Channel")->isVisibleTo(editor_.window()));
  EXPECT_FALSE(Control<QWidget>("ChannelText")->isVisibleTo(editor_.window()));
  EXPECT_FALSE(Enabled("PreambleType"));
}

TEST_F(ProfileEditorTest, NextProfileNameCountsOnlyTheNumberAfterTheFourthCharacter) {
  const struct {
    std::vector<const char*> names;
    const char* next;
  } cases[] = {
      {{}, "PROF1"},          {{"PROF2", "PROF10"}, "PROF11"}, {{"PROF1", "prof7"}, "PROF8"},
      {{"MYPROF9"}, "PROF1"}, {{"Home", "Office"}, "PROF1"},
  };
  for (const auto& c : cases) {
    PlistArray list;
    for (const char* name : c.names) list.emplace_back(ProfileEntry{{key::kProfileName, name}});
    StoreProfiles(list);
    editor_.AddInit();
    EXPECT_EQ(Control<QLineEdit>("ProfileName")->text(), c.next) << c.names.size();
    Click("CancelButton");
  }
}

TEST_F(ProfileEditorTest, NewProfileStoresAll24KeysWithTheScannedAddress) {
  // The list claims a third entry that is not there (Length 0): the walk stops before it.
  SetScanList({{"Alpha", {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}},
               {"Beta", {0x00, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E}}},
              3);
  editor_.AddInit();
  EXPECT_EQ(Items(Control<QComboBox>("SSID")), (QStringList{"Alpha", "Beta"}));
  EXPECT_EQ(Control<QComboBox>("SSID")->currentText(), "");
  Control<QComboBox>("SSID")->setCurrentIndex(1);  // picked, name unchanged
  Click("OKButton");

  ASSERT_EQ(Stored().RowCount(), 1u);
  const ProfileEntry entry = Stored().Row(0);
  EXPECT_EQ(entry.size(), 24u);
  EXPECT_EQ(EntryText(entry, key::kProfileName), "PROF1");
  EXPECT_EQ(EntryText(entry, key::kSsid), "Beta");
  EXPECT_EQ(EntryText(entry, key::kBssid), "000A0B0C0D0E");
  EXPECT_EQ(EntryText(entry, key::kHidden), "0");
  EXPECT_EQ(EntryText(entry, key::kWepKeyUse), "0");
  EXPECT_EQ(EntryText(entry, key::kNetworkType), "1");
  EXPECT_EQ(EntryText(entry, key::kChannel), "1");
  EXPECT_EQ(EntryText(entry, key::kRtsThreshold), "2347");
  EXPECT_EQ(EntryText(entry, key::kFragmentationThreshold), "2346");
  EXPECT_FALSE(editor_.window()->isVisible());
  EXPECT_EQ(editor_.window()->result(), 1);
}

TEST_F(ProfileEditorTest, TypedNameIsHiddenInInfrastructureAndHasNoAddressInAdHoc) {
  SetScanList({{"Alpha", {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}}});
  const uint8_t surveyed[6] = {0x02, 0x22, 0x33, 0x44, 0x55, 0x66};
  editor_.AddProfile("Alpha", surveyed, 1, 0, 1, 6);
  Control<QComboBox>("SSID")->setEditText("Alpha-renamed");
  Click("OKButton");

  editor_.AddInit();
  Choose("NetworkType", 0);
  Control<QComboBox>("SSID")->setEditText("MyAdHoc");
  Choose("Channel", 10);
  Click("OKButton");

  const ProfileList stored = Stored();
  ASSERT_EQ(stored.RowCount(), 2u);
  EXPECT_EQ(EntryText(stored.Row(0), key::kBssid), "022233445566");
  EXPECT_EQ(EntryText(stored.Row(0), key::kHidden), "1");
  EXPECT_EQ(EntryText(stored.Row(1), key::kBssid), "");
  EXPECT_EQ(EntryText(stored.Row(1), key::kHidden), "0");
  EXPECT_EQ(EntryText(stored.Row(1), key::kChannel), "11");
  EXPECT_EQ(EntryText(stored.Row(1), key::kProfileName), "PROF2");

  // Editing keeps the stored address and "Hidden".
  editor_.EditInit(0);
  EXPECT_EQ(Control<QComboBox>("SSID")->currentText(), "Alpha-renamed");
  Type("ProfileName", "Renamed");
  Click("OKButton");
  const ProfileEntry edited = Stored().Row(0);
  EXPECT_EQ(EntryText(edited, key::kProfileName), "Renamed");
  EXPECT_EQ(EntryText(edited, key::kBssid), "022233445566");
  EXPECT_EQ(EntryText(edited, key::kHidden), "1");
}

TEST_F(ProfileEditorTest, SurveyedNetworksOpenWithTheirSecurity) {
  const uint8_t bssid[6] = {};
  const struct {
    int ecrypStatus, authenMode, networkType;
    const char* auth;
    const char* encryption;
  } cases[] = {
      {4, 5, 0, "WPA-NONE", "TKIP"},
      {6, 4, 1, "WPA-PSK", "AES"},
      {0, 0, 1, "Open", "WEP"},
      {1, 0, 1, "Open", "NONE"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(editor_.AddProfile("Net", bssid, c.ecrypStatus, c.authenMode, c.networkType, 6));
    EXPECT_EQ(Control<QComboBox>("AuthenType")->currentText(), c.auth);
    EXPECT_EQ(Control<QComboBox>("EncryType")->currentText(), c.encryption);
    EXPECT_EQ(Control<QComboBox>("NetworkType")->currentIndex(), c.networkType);
    EXPECT_EQ(Control<QComboBox>("Channel")->currentText(), "6");
    Click("CancelButton");
  }
}

TEST_F(ProfileEditorTest, KeyAlertKeepsTheEditorOpenAndCancelSavesNothing) {
  StoreProfiles({PlistValue(ProfileEntry{{key::kProfileName, "Keep"}, {key::kSsid, "Net"}})});
  const ProfileList before = Stored();

  editor_.EditInit(0);
  Choose("AuthenType", 2);
  Type("WPAPreSharedKey", "short12");
  Click("OKButton");
  ASSERT_EQ(alerts_.alerts.size(), 1u);
  EXPECT_EQ(alerts_.alerts[0].title, kWpaKeyTooShortAlert);
  EXPECT_EQ(alerts_.alerts[0].message, "");
  EXPECT_EQ(Control<QLineEdit>("WPAPreSharedKey")->text(), "short12");

  Type("ProfileName", "Changed");
  Click("CancelButton");
  EXPECT_EQ(editor_.window()->result(), 0);
  EXPECT_EQ(Stored().Elements(), before.Elements());
}

TEST_F(ProfileEditorTest, EveryControlIsNamedForScreenReaders) {
  for (const char* name : {"ProfileName",
                           "SSID",
                           "NetworkType",
                           "ChannelText",
                           "Channel",
                           "AuthenType",
                           "EncryType",
                           "WEPKey1Radio",
                           "WEPKey4Radio",
                           "WEPKey1Combo",
                           "WEPKey3Combo",
                           "WEPKey2Text",
                           "WPAPreSharedKey",
                           "PreambleType",
                           "PSMode",
                           "CAM",
                           "CamWhenAcPower",
                           "TxPower",
                           "RtsThresholdCheck",
                           "RtsThresholdSlider",
                           "RtsThresholdText",
                           "FragThresholdCheck",
                           "FragThresholdSlider",
                           "FragThresholdText",
                           "TabView",
                           "OKButton",
                           "CancelButton"}) {
    EXPECT_EQ(Control<QWidget>(name)->accessibleName(), name);
  }
}

}  // namespace
