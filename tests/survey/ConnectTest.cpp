// SPDX-License-Identifier: GPL-3.0-or-later
// Joining surveyed networks through the page's real controls, offscreen, against
// trelvaned: what the dialogs show, what reaches the adapter (read from its journal), the
// association it reports and the row the survey table marks; and the requests that must
// stop with nothing queued.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QTest>

#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "engine/KeyCheck.h"
#include "engine/WpaKeyText.h"
#include "profiles/ProfileStore.h"
#include "support/Journal.h"
#include "survey/ConnectFixture.h"
#include "survey/ScanListBuilder.h"

namespace {

using surveytest::Choose;
using surveytest::Control;
using surveytest::ModalScript;
using surveytest::Press;
using surveytest::Type;

template <typename T>
T FieldAt(const std::vector<uint8_t>& bytes, std::size_t offset) {
  T value{};
  if (offset + sizeof value <= bytes.size())
    std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

// The data of the last set of `oid` among `lines`; empty when there is none.
std::vector<uint8_t> LastSet(const std::vector<zvtest::JournalLine>& lines, uint32_t oid) {
  const auto sets = zvtest::StructCalls(lines, oid | OID_SET_FLAG);
  return sets.empty() ? std::vector<uint8_t>{} : zvtest::HexField(sets.back(), "in");
}

std::vector<uint8_t> MacBytes(const char* text) {
  std::vector<uint8_t> bytes;
  for (const char* p = text; *p != '\0'; p += 3) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(std::string(p, 2), nullptr, 16)));
    if (p[2] == '\0') break;
  }
  return bytes;
}

// One way of joining a network: the row, what the dialogs show and what the user does in
// them, and what must reach the adapter.
struct JoinCase {
  const char* label;
  const char* bssid;       // the row, by its BSSID text
  bool doubleClick;        // a double-click on the row instead of the Connect button
  const char* hiddenName;  // typed into the name dialog; null when that dialog must not open
  // The security dialog as it must open, and the user's answer; null when it must not open.
  const char* openAuth;
  const char* openEncry;
  std::function<void(QDialog&)> answer;
  int32_t authMode;
  int32_t wepStatus;
  uint32_t keyOid;  // 0: no key is set
  uint32_t keyRecordLength;
  uint32_t keyIndex;
  const char* joinedName;  // the association by this name; null: by the row's BSSID
};

// Test listings show a case by its label.
void PrintTo(const JoinCase& c, std::ostream* os) {
  *os << c.label;
}

void PreSharedKey(QDialog& dialog, const QString& key) {
  Type(dialog, "WPAPreSharedKey", key);
  Press(dialog, "OKButton");
}

const JoinCase kJoinCases[] = {
    {"OpenInfrastructure", "00-1A-2B-3C-00-01", false, nullptr, nullptr, nullptr, nullptr,
     Ndis802_11AuthModeOpen, Ndis802_11WEPDisabled, 0, 0, 0, nullptr},
    {"OpenAdHocByDoubleClick", "02-1A-2B-3C-00-07", true, nullptr, nullptr, nullptr, nullptr,
     Ndis802_11AuthModeOpen, Ndis802_11WEPDisabled, 0, 0, 0, "ZvAdhocOpen"},
    {"WepSharedKey2", "00-1A-2B-3C-00-03", false, nullptr, "Open", "WEP",
     [](QDialog& d) {
       Choose(d, "AuthenType", 1);  // Shared; the encryption stays WEP
       EXPECT_EQ(Control<QComboBox>(d, "EncryType")->currentText(), "WEP");
       Type(d, "WEPKey2Text", "0102030405060708090A0B0C0D");
       Control<QRadioButton>(d, "WEPKey2Radio")->setChecked(true);
       Press(d, "OKButton");
     },
     Ndis802_11AuthModeShared, Ndis802_11WEPEnabled, OID_802_11_ADD_KEY, 52, 0x80000001u, nullptr},
    {"WpaPskTkipPassphrase", "00-1A-2B-3C-00-04", false, nullptr, "WPA-PSK", "TKIP",
     [](QDialog& d) { PreSharedKey(d, "tkip8chr"); }, Ndis802_11AuthModeWPAPSK,
     Ndis802_11Encryption2Enabled, ZX_OID_802_11_ADD_WPA, 71, 0x80000000u, nullptr},
    {"WpaPskTkipHexKey", "00-1A-2B-3C-00-0B", false, nullptr, "WPA-PSK", "TKIP",
     [](QDialog& d) { PreSharedKey(d, QString::fromStdString(surveytest::kHexKey64)); },
     Ndis802_11AuthModeWPAPSK, Ndis802_11Encryption2Enabled, ZX_OID_802_11_ADD_WPA, 71, 0x80000000u,
     nullptr},
    {"AdHocWpaNoneAes", "02-1A-2B-3C-00-08", false, nullptr, "WPA-NONE", "AES",
     [](QDialog& d) { PreSharedKey(d, "adhoc-aes-key"); }, Ndis802_11AuthModeWPANone,
     Ndis802_11Encryption3Enabled, OID_802_11_ADD_KEY, 71, 0x80000000u, "ZvAdhocAes"},
    {"HiddenWpaPskAes", "00-1A-2B-3C-00-09", false, "ZvHiddenLab", "WPA-PSK", "AES",
     [](QDialog& d) { PreSharedKey(d, "hidden-lab-key"); }, Ndis802_11AuthModeWPAPSK,
     Ndis802_11Encryption3Enabled, ZX_OID_802_11_ADD_WPA, 71, 0x80000000u, "ZvHiddenLab"},
};

class ConnectTest : public surveytest::ConnectFixture {
 protected:
  void SetUp() override { StartWith(surveytest::kNeighbourhood); }
  bool NothingQueued() { return TaskQueue::GetTaskObject() == nullptr; }
};

class JoinTest : public ConnectTest, public ::testing::WithParamInterface<JoinCase> {};

TEST_P(JoinTest, joinsTheNetworkAndMarksItsRow) {
  const JoinCase& c = GetParam();
  ModalScript script;
  std::vector<QString> expectedDialogs;
  if (c.hiddenName != nullptr) {
    expectedDialogs.push_back("HiddenSSIDWindow");
    script.Then("HiddenSSIDWindow", [&](QDialog& d) {
      Type(d, "HiddenSSIDText", c.hiddenName);
      Press(d, "OKButton");
    });
  }
  if (c.answer) {
    expectedDialogs.push_back("WEPSettingWindow");
    script.Then("WEPSettingWindow", [&](QDialog& d) {
      const bool wpa = QString(c.openAuth).startsWith("WPA");
      EXPECT_EQ(Control<QComboBox>(d, "AuthenType")->currentText(), c.openAuth);
      EXPECT_EQ(Control<QComboBox>(d, "EncryType")->currentText(), c.openEncry);
      EXPECT_EQ(Control<QComboBox>(d, "EncryType")->count(), 2);
      EXPECT_EQ(Control<QLineEdit>(d, "WPAPreSharedKey")->isEnabled(), wpa);
      EXPECT_EQ(Control<QLineEdit>(d, "WEPKey1Text")->isEnabled(), !wpa);
      c.answer(d);
    });
  }
  const int row = RowOf(c.bssid);
  ASSERT_GE(row, 0);
  G_configFromProfile = 1;
  ASSERT_TRUE(service.Mark("connect"));

  if (c.doubleClick) {
    const QRect cell = table().visualRect(table().model()->index(row, 1));
    // A click selects the row; the second click of the pair is the double-click.
    QTest::mouseClick(table().viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table().viewport(), Qt::LeftButton, {}, cell.center());
  } else {
    table().selectRow(row);
    PressOnPage("Connect");
  }

  EXPECT_EQ(script.shown, expectedDialogs);
  EXPECT_TRUE(alerts.alerts.empty());
  EXPECT_EQ(G_configFromProfile, 0);
  EXPECT_FALSE(table().selectionModel()->hasSelection());
  ASSERT_EQ(ProfileDataQueue.size(), 1u);
  EXPECT_EQ(TaskQueue::GetTaskObject()->getTaskType(), kTaskConfigure);

  survey.OnTimer();  // the probe, then the engine applies the task
  EXPECT_TRUE(NothingQueued());
  const uint32_t associationOid = c.joinedName != nullptr ? OID_802_11_SSID : OID_802_11_BSSID;
  const auto lines = zvtest::AfterMark(service.WaitForJournal([&](const auto& l) {
    return !zvtest::StructCalls(zvtest::AfterMark(l, "connect"), associationOid | OID_SET_FLAG)
                .empty();
  }),
                                       "connect");

  EXPECT_EQ(FieldAt<int32_t>(LastSet(lines, OID_802_11_AUTHENTICATION_MODE), 0), c.authMode);
  EXPECT_EQ(FieldAt<int32_t>(LastSet(lines, OID_802_11_WEP_STATUS), 0), c.wepStatus);
  if (c.keyOid != 0) {
    const std::vector<uint8_t> key = LastSet(lines, c.keyOid);
    ASSERT_EQ(key.size(), c.keyRecordLength);
    EXPECT_EQ(FieldAt<uint32_t>(key, offsetof(NDIS_802_11_KEY, Length)), c.keyRecordLength);
    EXPECT_EQ(FieldAt<uint32_t>(key, offsetof(NDIS_802_11_KEY, KeyIndex)), c.keyIndex);
  } else {
    EXPECT_TRUE(LastSet(lines, ZX_OID_802_11_ADD_WPA).empty());
    EXPECT_TRUE(LastSet(lines, OID_802_11_ADD_KEY).empty());
  }
  const std::vector<uint8_t> association = LastSet(lines, associationOid);
  if (c.joinedName != nullptr) {
    const std::string name = c.joinedName;
    EXPECT_EQ(FieldAt<uint32_t>(association, 0), name.size());
    EXPECT_EQ(std::string(association.begin() + 4, association.begin() + 4 + name.size()), name);
    EXPECT_TRUE(LastSet(lines, OID_802_11_BSSID).empty());
  } else {
    EXPECT_EQ(association, MacBytes(c.bssid));
    EXPECT_TRUE(LastSet(lines, OID_802_11_SSID).empty());
  }

  // trelvaned reports the link, and the next tick marks the network's row.
  uint32_t mediaState = 1;
  uint32_t returned = 0;
  ASSERT_TRUE(adapter.OidQueryInformation(OID_GEN_MEDIA_CONNECT_STATUS, &mediaState,
                                          sizeof mediaState, &returned));
  EXPECT_EQ(mediaState, 0u) << "not associated";
  survey.OnTimer();
  EXPECT_EQ(G_bCurSelItem, row);
  EXPECT_TRUE(RowMarked(row));
}

INSTANTIATE_TEST_SUITE_P(Networks, JoinTest, ::testing::ValuesIn(kJoinCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(ConnectTest, wpaWith8021XIsRefusedWithItsAlert) {
  ModalScript script;
  SelectRow("00-1A-2B-3C-00-06");
  PressOnPage("Connect");

  EXPECT_EQ(alerts.alerts, (std::vector<zvtest::RecordingAlertPanel::Alert>{
                               {"WPA-Enterprise isn't supported yet!!!", ""}}));
  EXPECT_TRUE(script.shown.empty());
  EXPECT_TRUE(NothingQueued());
}

TEST_F(ConnectTest, withoutASelectedRowBothRequestsAlert) {
  ModalScript script;
  for (const char* button : {"Connect", "AddProfile"}) {
    PressOnPage(button);
  }
  const zvtest::RecordingAlertPanel::Alert noSelection{"No selected item",
                                                       "Please select an item to connect to."};
  EXPECT_EQ(alerts.alerts, (std::vector{noSelection, noSelection}));
  EXPECT_TRUE(script.shown.empty());
  EXPECT_TRUE(NothingQueued());
}

TEST_F(ConnectTest, cancelInEitherDialogQueuesNothing) {
  ModalScript script;
  script.Then("HiddenSSIDWindow", [](QDialog& d) { Press(d, "CancelButton"); });
  SelectRow("00-1A-2B-3C-00-09");
  PressOnPage("Connect");
  // Cancel stops the request before the security dialog.
  EXPECT_EQ(script.shown, std::vector<QString>{"HiddenSSIDWindow"});

  script.Then("WEPSettingWindow", [](QDialog& d) { Press(d, "CancelButton"); });
  SelectRow("00-1A-2B-3C-00-04");
  PressOnPage("Connect");
  EXPECT_EQ(script.shown, (std::vector<QString>{"HiddenSSIDWindow", "WEPSettingWindow"}));

  EXPECT_TRUE(alerts.alerts.empty());
  EXPECT_TRUE(NothingQueued());
}

TEST_F(ConnectTest, hiddenNameLongerThan32BytesIsRefusedByTheDialog) {
  ModalScript script;
  const QString tooLong[] = {QString(33, 'n'),
                             // 17 characters, 34 bytes
                             QString(17, QChar(0x00E9))};
  for (const QString& name : tooLong) {
    script.Then("HiddenSSIDWindow", [name](QDialog& d) {
      Type(d, "HiddenSSIDText", name);
      Press(d, "OKButton");
    });
  }
  script.Then("HiddenSSIDWindow", [](QDialog& d) {
    // The dialog stayed open with the name as typed.
    EXPECT_EQ(Control<QLineEdit>(d, "HiddenSSIDText")->text(), QString(17, QChar(0x00E9)));
    Press(d, "CancelButton");
  });
  SelectRow("00-1A-2B-3C-00-09");
  PressOnPage("Connect");

  EXPECT_EQ(script.shown.size(), 3u);
  EXPECT_EQ(alerts.alerts, (std::vector<zvtest::RecordingAlertPanel::Alert>{
                               {kHiddenNameTooLongAlert, ""}, {kHiddenNameTooLongAlert, ""}}));
  EXPECT_TRUE(NothingQueued());
}

TEST_F(ConnectTest, keyTextWithoutADerivableKeyQueuesNothing) {
  // The dialog refuses a passphrase no key comes from and stays open.
  ModalScript script;
  script.Then("WEPSettingWindow", [](QDialog& d) { PreSharedKey(d, QString(65, 'p')); });
  script.Then("WEPSettingWindow", [](QDialog& d) { Press(d, "CancelButton"); });
  SelectRow("00-1A-2B-3C-00-04");
  PressOnPage("Connect");
  EXPECT_EQ(alerts.alerts,
            (std::vector<zvtest::RecordingAlertPanel::Alert>{{kWpaKeyNotDerivableAlert, ""}}));
  EXPECT_TRUE(NothingQueued());

  // A scan entry whose name length exceeds 32 leaves no name to derive the key with.
  alerts.alerts.clear();
  surveytest::InstallScanList(
      {surveytest::Network("Crafted").Elements(surveytest::WpaElement(2, {2}, {2}))});
  const uint32_t oversized = 40;
  std::memcpy(G_pBssidList.get() + 4 + offsetof(NDIS_WLAN_BSSID_EX, Ssid), &oversized,
              sizeof oversized);
  survey.RefreshAPList();
  script.Then("WEPSettingWindow", [](QDialog& d) { PreSharedKey(d, "a passphrase"); });
  table().selectRow(0);
  PressOnPage("Connect");
  EXPECT_EQ(alerts.alerts,
            (std::vector<zvtest::RecordingAlertPanel::Alert>{{kWpaKeyNotUsableAlert, ""}}));
  EXPECT_TRUE(NothingQueued());
}

TEST_F(ConnectTest, rowBeyondTheCurrentListReadsNothingAndQueuesNothing) {
  ModalScript script;
  const int lastRow = table().model()->rowCount() - 1;
  ASSERT_GT(lastRow, 0);
  // A rescan replaced the list after the rows were built: it now holds one network.
  surveytest::InstallScanList({surveytest::Network("elsewhere")});

  for (const char* button : {"Connect", "AddProfile"}) {
    table().selectRow(lastRow);
    PressOnPage(button);
  }
  EXPECT_TRUE(script.shown.empty());
  EXPECT_TRUE(alerts.alerts.empty());
  EXPECT_TRUE(NothingQueued());
  // The next tick shows the current list.
  survey.OnTimer();
  EXPECT_EQ(table().model()->rowCount(), 1);
}

TEST_F(ConnectTest, connectingEndsTheReapplicationOfTheActiveProfile) {
  profiles::ProfileStore store(defaults);
  const profiles::ProfileEntry active{{profiles::key::kProfileName, "PROF1"},
                                      {profiles::key::kSsid, "ZvOpenCafe"}};
  store.SaveActivationList(
      {platform::PlistValue(profiles::MakeActivationRecord(active, "YES", 0, false))});
  profiles.RefreshProfileList();

  SelectRow("00-1A-2B-3C-00-01");
  PressOnPage("Connect");

  const auto activation = profiles::ProfileStore(defaults).LoadActivationList();
  ASSERT_TRUE(activation.has_value());
  ASSERT_FALSE(activation->empty());
  const auto* record = activation->front().asDict();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(profiles::EntryText(*record, profiles::key::kActiveProfileFlag), "NO");
}

}  // namespace
