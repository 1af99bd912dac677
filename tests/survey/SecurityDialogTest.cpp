// SPDX-License-Identifier: GPL-3.0-or-later
// The security settings dialog alone: its list rules, and what OK hands back to the survey
// page (the key conversion) or refuses; Cancel hands back nothing. Also the connect
// record's rules for cases the end-to-end flows do not reach.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "engine/KeyCheck.h"
#include "survey/ConnectFixture.h"
#include "survey/ConnectRequest.h"

namespace {

using surveytest::Choose;
using surveytest::Control;
using surveytest::Press;
using surveytest::Type;

QStringList Items(QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

class SecurityDialogTest : public surveytest::ConnectFixture {
 protected:
  void SetUp() override { ResetGlobalState(); }
  QDialog& dialog() { return *security.window(); }
  QComboBox* Encry() { return Control<QComboBox>(dialog(), "EncryType"); }
  bool WepControlsEnabled() { return Control<QLineEdit>(dialog(), "WEPKey3Text")->isEnabled(); }
  bool WpaFieldEnabled() { return Control<QLineEdit>(dialog(), "WPAPreSharedKey")->isEnabled(); }
};

TEST_F(SecurityDialogTest, encryptionListFollowsTheAuthenticationClass) {
  Choose(dialog(), "EncryType", 1);  // Open + WEP
  EXPECT_TRUE(WepControlsEnabled());
  EXPECT_FALSE(WpaFieldEnabled());

  // Open and Shared share a class: the encryption choice stays.
  Choose(dialog(), "AuthenType", 1);
  EXPECT_EQ(Encry()->currentText(), "WEP");

  // Into the WPA class and back: item 0 each time, never an item twice.
  for (int round = 0; round < 2; ++round) {
    Choose(dialog(), "AuthenType", 2);
    EXPECT_EQ(Items(Encry()), (QStringList{"TKIP", "AES"}));
    EXPECT_EQ(Encry()->currentIndex(), 0);
    EXPECT_TRUE(WpaFieldEnabled());
    EXPECT_FALSE(WepControlsEnabled());
    Choose(dialog(), "EncryType", 1);

    Choose(dialog(), "AuthenType", 0);
    EXPECT_EQ(Items(Encry()), (QStringList{"NONE", "WEP"}));
    EXPECT_EQ(Encry()->currentIndex(), 0);
    EXPECT_FALSE(WpaFieldEnabled());
    EXPECT_FALSE(WepControlsEnabled());
  }

  // The third authentication item is rebuilt, not added to.
  security.setAuthenTypeComboText(0);
  security.setAuthenTypeComboText(1);
  EXPECT_EQ(Items(Control<QComboBox>(dialog(), "AuthenType")),
            (QStringList{"Open", "Shared", "WPA-PSK"}));
}

TEST_F(SecurityDialogTest, okConvertsTheKeysAndCancelHandsBackNothing) {
  // Shared with NONE still collects the WEP keys.
  Choose(dialog(), "AuthenType", 1);
  Choose(dialog(), "EncryType", 0);
  Type(dialog(), "WEPKey1Text", "0a1B2c3D4e");
  Choose(dialog(), "WEPKey2Combo", 1);
  Type(dialog(), "WEPKey2Text", "abcdefghijklm");
  Choose(dialog(), "WEPKey3Combo", 1);
  Type(dialog(), "WEPKey3Text", "wxyz!");
  Type(dialog(), "WEPKey4Text", "0102030405060708090A0B0C0D");
  Control<QRadioButton>(dialog(), "WEPKey2Radio")->setChecked(true);
  Press(dialog(), "OKButton");

  // A later OK with key 3 emptied gives it length 0 and 14 zero bytes.
  Type(dialog(), "WEPKey3Text", "");
  Press(dialog(), "OKButton");
  const SecuritySettings& received = survey.ReceivedSecuritySettings();
  EXPECT_EQ(received.AuthenType, 1);
  EXPECT_EQ(received.EncryType, 0);
  EXPECT_EQ(received.SelKeyIndex, 1);
  const uint8_t key1[] = {0x0A, 0x1B, 0x2C, 0x3D, 0x4E};
  const struct {
    int length;
    const void* bytes;
  } expected[] = {{5, key1},
                  {13, "abcdefghijklm"},
                  {0, nullptr},
                  {13, "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D"}};
  for (int n = 0; n < 4; ++n) {
    SCOPED_TRACE(n + 1);
    EXPECT_EQ(received.KeyLen[n], expected[n].length);
    if (expected[n].bytes) {
      EXPECT_EQ(std::memcmp(received.KeyMaterial[n], expected[n].bytes, expected[n].length), 0);
    }
  }

  // Cancel leaves what the page received untouched.
  Type(dialog(), "WEPKey1Text", "ffffffffff");
  Control<QRadioButton>(dialog(), "WEPKey4Radio")->setChecked(true);
  Press(dialog(), "CancelButton");
  EXPECT_EQ(received.SelKeyIndex, 1);
  EXPECT_EQ(received.KeyMaterial[0][0], 0x0A);
}

TEST_F(SecurityDialogTest, refusedKeysAreNotHandedBack) {
  Choose(dialog(), "AuthenType", 1);
  Control<QRadioButton>(dialog(), "WEPKey2Radio")->setChecked(true);  // key 2 left empty
  Press(dialog(), "OKButton");
  Choose(dialog(), "AuthenType", 2);
  Type(dialog(), "WPAPreSharedKey", "seven77");
  Press(dialog(), "OKButton");

  EXPECT_EQ(alerts.alerts, (std::vector<zvtest::RecordingAlertPanel::Alert>{
                               {WepHexLengthAlert(2), ""}, {kWpaKeyTooShortAlert, ""}}));
  EXPECT_EQ(survey.ReceivedSecuritySettings().AuthenType, 0);
  EXPECT_EQ(survey.ReceivedSecuritySettings().SelKeyIndex, 0);
}

TEST_F(SecurityDialogTest, everyControlOfBothDialogsCarriesItsOutletNameForScreenReaders) {
  for (QDialog* window : {security.window(), hiddenName.window()}) {
    EXPECT_EQ(window->accessibleName(), window->objectName());
    for (const QWidget* control : window->findChildren<QWidget*>()) {
      const QString name = control->objectName();
      if (name.isEmpty() || name.startsWith("qt_")) continue;  // Qt's own inner widgets
      EXPECT_EQ(control->accessibleName(), name);
    }
  }
}

TEST(ConnectRecordTest, networkModeDecidesAssociationAndWpaMode) {
  SecuritySettings wpa;
  wpa.AuthenType = kAuthenItemWpa;
  wpa.EncryType = 1;
  wpa.WPAPSK = "a passphrase";
  const struct {
    uint32_t mode;
    bool hidden;
    int8_t useBssid;
    int32_t authMode;
  } cases[] = {
      {Ndis802_11IBSS, false, 0, Ndis802_11AuthModeWPANone},
      {Ndis802_11Infrastructure, false, 1, Ndis802_11AuthModeWPAPSK},
      {Ndis802_11Infrastructure, true, 0, Ndis802_11AuthModeWPAPSK},
      {Ndis802_11AutoUnknown, false, 1, Ndis802_11AuthModeWPANone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " hidden " << c.hidden);
    ConnectTarget target;
    target.infrastructureMode = c.mode;
    target.hidden = c.hidden;
    target.ssid.SsidLength = 3;
    std::memcpy(target.ssid.Ssid, "Lab", 3);
    std::memcpy(target.bssid, "\x00\x1A\x2B\x3C\x00\x09", 6);
    const auto record = BuildConnectRecord(target, &wpa);
    ASSERT_NE(record, nullptr);
    const PROFILE_DATA& r = record->data();
    EXPECT_EQ(r.bUseBssid, c.useBssid);
    EXPECT_EQ(r.AuthMode, c.authMode);
    EXPECT_EQ(r.WepStatus, Ndis802_11Encryption3Enabled);
    EXPECT_EQ(r.WpaKeyLength, 71u);
    EXPECT_EQ(r.NetworkType, static_cast<int32_t>(c.mode));
    EXPECT_EQ(r.PreambleType, 2);
    EXPECT_EQ(r.RtsThreshold, 2347u);
    EXPECT_EQ(r.FragThreshold, 0u);
    EXPECT_EQ(r.bDisassociateFirst, 1);
    if (c.useBssid) {
      EXPECT_EQ(r.Ssid.SsidLength, 0u);
      EXPECT_EQ(std::memcmp(r.Bssid, target.bssid, 6), 0);
    } else {
      EXPECT_EQ(r.Ssid.SsidLength, 3u);
      EXPECT_EQ(r.Bssid[1], 0);
    }
  }
}

}  // namespace
