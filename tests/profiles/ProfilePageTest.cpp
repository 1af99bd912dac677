// SPDX-License-Identifier: GPL-3.0-or-later
// The profile page against a running trelvaned: activation, re-application, deletion, and
// what reaches the adapter, read from the service's journal.
#include <cstring>

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "app/AppContext.h"
#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "driver/ZX7100Access.h"
#include "engine/TaskEngine.h"
#include "engine/TaskQueue.h"
#include "engine/WpaKeyText.h"
#include "engine/crypto/PasswordHash.h"
#include "platform/UserDefaults.h"
#include "profiles/ProfileEditorController.h"
#include "profiles/ProfilePageController.h"
#include "profiles/ProfileRecordBuilder.h"
#include "profiles/ProfileStore.h"
#include "profiles/ProfileTableModel.h"
#include "support/RecordingAlertPanel.h"
#include "support/StoredProfile.h"
#include "support/TrelvanedFixture.h"
#include "survey/SiteSurveyPageController.h"

using namespace profiles;
using platform::PlistArray;
using platform::PlistValue;

namespace {

const std::string kPassphrase63(63, 'k');
const std::string kHexKey64 = "00112233445566778899AABBCCDDEEFF00112233445566778899aabbccddeeff";

const std::string kScenario = R"({"networks": [
  {"ssid": "ZvAdhoc", "bssid": "02:00:00:00:00:0B", "channel": 11, "mode": "adhoc",
   "security": "open"},
  {"ssid": "ZvWep", "bssid": "00:0C:41:00:00:01", "channel": 3, "security": "wep",
   "wep_key": "6162636465", "wep_auth": "both"},
  {"ssid": "ZvWpa", "bssid": "00:0C:41:00:00:02", "channel": 6, "security": "wpa-psk",
   "passphrase": ")" + kPassphrase63 +
                              R"(", "cipher": "tkip"}
]})";

// A stored profile as the editor writes it; `changes` override the defaults.
ProfileEntry Profile(std::initializer_list<std::pair<const char*, const char*>> changes) {
  return testsupport::StoredProfile(changes);
}

template <typename T>
T FieldAt(const std::vector<uint8_t>& bytes, std::size_t offset) {
  T value{};
  if (offset + sizeof value <= bytes.size())
    std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

class ProfilePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalState();
    ProfileDataQueue.clear();
    ASSERT_TRUE(service_.Start(kScenario)) << service_.LastError();
    prefs_.emplace();
    adapter_.emplace(alerts_);
    context_.emplace(AppContext{*adapter_, alerts_, *prefs_});
    survey_.emplace(*context_);
    page_.emplace(*context_);
    editor_.emplace(*context_);
    Outlets outlets;
    outlets.SiteSurveyPage = &*survey_;
    outlets.ProfilePage = &*page_;
    outlets.ProfileEditor = &*editor_;
    page_->setOutlets(outlets);
    editor_->setOutlets(outlets);
    page_->awakeFromNib();
    editor_->awakeFromNib();
    page_->widget()->resize(700, 300);
    page_->widget()->show();
  }
  void TearDown() override {
    ProfileDataQueue.clear();
    ResetGlobalState();
  }

  QTableView* Table() { return page_->widget()->findChild<QTableView*>("profileList"); }

  void StoreProfiles(const PlistArray& list) {
    prefs_->SetObject(kProfilesDefaultsKey, PlistValue(list));
    prefs_->Synchronize();
    page_->RefreshProfileList();
  }
  void Select(int row) { Table()->selectRow(row); }
  void DoubleClick(int row) {
    QTableView* table = Table();
    const QRect cell = table->visualRect(table->model()->index(row, ProfileTableModel::Profile));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  }
  // Applies every queued task as the survey tick would and returns the requests they sent.
  std::vector<zvtest::JournalLine> ApplyQueuedTasks() {
    static int marks = 0;
    const std::string mark = "apply-" + std::to_string(++marks);
    EXPECT_TRUE(service_.Mark(mark));
    int8_t runFlag = 0;
    while (!ProfileDataQueue.empty()) DoTask(*adapter_, runFlag);
    return zvtest::AfterMark(service_.Journal(), mark);
  }
  static std::vector<std::vector<uint8_t>> SetPayloads(
      const std::vector<zvtest::JournalLine>& lines, uint32_t oid) {
    std::vector<std::vector<uint8_t>> payloads;
    for (const auto& line : zvtest::StructCalls(lines, oid | OID_SET_FLAG)) {
      payloads.push_back(zvtest::HexField(line, "in"));
    }
    return payloads;
  }
  uint32_t QueryU32(uint32_t oid) {
    uint32_t value = 0xFFFFFFFF, returned = 0;
    EXPECT_TRUE(adapter_->OidQueryInformation(oid, &value, sizeof value, &returned));
    return value;
  }
  std::string AssociatedSsid() {
    NDIS_802_11_SSID ssid{};
    uint32_t returned = 0;
    EXPECT_TRUE(adapter_->OidQueryInformation(OID_802_11_SSID, &ssid, sizeof ssid, &returned));
    return std::string(reinterpret_cast<const char*>(ssid.Ssid), std::min(ssid.SsidLength, 32u));
  }
  const ProfileEntry* StoredActivation() {
    const platform::UserDefaults written;  // the domain as written to disk
    const PlistValue* stored = written.ObjectForKey(kProfileSettingDefaultsKey);
    if (!stored || !stored->asArray() || stored->asArray()->empty()) return nullptr;
    activation_ = *stored->asArray()->front().asDict();
    return &activation_;
  }
  QString MarkAt(int row) {
    return Table()->model()->index(row, ProfileTableModel::Mark).data(Qt::UserRole).toString();
  }

  zvtest::TrelvanedFixture service_;
  zvtest::RecordingAlertPanel alerts_;
  std::optional<platform::UserDefaults> prefs_;
  std::optional<ZX7100Access> adapter_;
  std::optional<AppContext> context_;
  std::optional<SiteSurveyPageController> survey_;
  std::optional<ProfilePageController> page_;
  std::optional<ProfileEditorController> editor_;
  ProfileEntry activation_;
};

TEST_F(ProfilePageTest, AdHocProfileOnChannel11JoinsItsNetwork) {
  StoreProfiles({PlistValue(Profile({{key::kSsid, "ZvAdhoc"},
                                     {key::kNetworkType, "0"},
                                     {key::kChannel, "11"},
                                     {key::kPowerSaveMode, "1"}}))});
  DoubleClick(0);
  ASSERT_EQ(ProfileDataQueue.size(), 1u);
  EXPECT_EQ(G_configFromProfile, 1);
  EXPECT_EQ(page_->CurrentSelectedItem(), 0);

  const auto lines = ApplyQueuedTasks();
  const auto configuration = SetPayloads(lines, OID_802_11_CONFIGURATION);
  ASSERT_EQ(configuration.size(), 1u);
  EXPECT_EQ(FieldAt<uint32_t>(configuration[0], offsetof(NDIS_802_11_CONFIGURATION, DSConfig)),
            2462000u);
  EXPECT_TRUE(SetPayloads(lines, OID_802_11_POWER_MODE).empty()) << "ad hoc sends no power mode";
  EXPECT_EQ(QueryU32(OID_GEN_MEDIA_CONNECT_STATUS), 0u);
  EXPECT_EQ(AssociatedSsid(), "ZvAdhoc");

  const ProfileEntry* activation = StoredActivation();
  ASSERT_TRUE(activation);
  EXPECT_EQ(EntryText(*activation, key::kActiveProfileFlag), "YES");
  EXPECT_EQ(EntryText(*activation, key::kSelected), "0");
  EXPECT_EQ(EntryText(*activation, key::kChannel), "11");
}

TEST_F(ProfilePageTest, WepKeys1And3WithTheThirdAsTransmitKeyJoinTheWepNetwork) {
  StoreProfiles({PlistValue(Profile({{key::kEncryptionType, "1"},
                                     {key::kWepKey[0], "0102030405"},
                                     {key::kWepKey[2], "abcde"},
                                     {key::kWepKeyType[2], "1"},
                                     {key::kWepKeyUse, "2"}}))});
  DoubleClick(0);
  const auto lines = ApplyQueuedTasks();

  const auto added = SetPayloads(lines, OID_802_11_ADD_KEY);
  ASSERT_EQ(added.size(), 2u);
  EXPECT_EQ(FieldAt<uint32_t>(added[0], offsetof(NDIS_802_11_KEY, KeyIndex)), 0u);
  EXPECT_EQ(FieldAt<uint32_t>(added[0], offsetof(NDIS_802_11_KEY, Length)), 5u + 39u);
  EXPECT_EQ(FieldAt<uint32_t>(added[1], offsetof(NDIS_802_11_KEY, KeyIndex)), 0x80000002u);
  EXPECT_EQ(std::string(added[1].begin() + 28, added[1].begin() + 33), "abcde");
  const auto removed = SetPayloads(lines, OID_802_11_REMOVE_KEY);
  ASSERT_EQ(removed.size(), 2u);
  EXPECT_EQ(FieldAt<uint32_t>(removed[0], 4), 1u);
  EXPECT_EQ(FieldAt<uint32_t>(removed[1], 4), 3u);
  EXPECT_EQ(SetPayloads(lines, OID_802_11_WEP_STATUS),
            (std::vector<std::vector<uint8_t>>{{0, 0, 0, 0}}));

  EXPECT_EQ(QueryU32(OID_GEN_MEDIA_CONNECT_STATUS), 0u);
  EXPECT_EQ(AssociatedSsid(), "ZvWep");
}

TEST_F(ProfilePageTest, SharedKeyWithoutEncryptionStillSendsTheWepKeys) {
  StoreProfiles({PlistValue(Profile({{key::kAuthenticationType, "1"},
                                     {key::kWepKey[1], "6162636465"},
                                     {key::kWepKeyUse, "1"}}))});
  Select(0);
  QTest::mouseClick(page_->widget()->findChild<QPushButton*>("ActivateButton"), Qt::LeftButton);
  const auto lines = ApplyQueuedTasks();
  EXPECT_EQ(SetPayloads(lines, OID_802_11_AUTHENTICATION_MODE),
            (std::vector<std::vector<uint8_t>>{{1, 0, 0, 0}}));
  EXPECT_EQ(SetPayloads(lines, OID_802_11_WEP_STATUS),
            (std::vector<std::vector<uint8_t>>{{1, 0, 0, 0}}));
  const auto added = SetPayloads(lines, OID_802_11_ADD_KEY);
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(FieldAt<uint32_t>(added[0], offsetof(NDIS_802_11_KEY, KeyIndex)), 0x80000001u);
}

TEST_F(ProfilePageTest, WpaKeyOf64HexDigitsIsTakenAsIsAndA63CharacterOneIsAPassphrase) {
  StoreProfiles({PlistValue(Profile({{key::kSsid, "ZvWpa"},
                                     {key::kAuthenticationType, "2"},
                                     {key::kWpaPsk, kHexKey64.c_str()}})),
                 PlistValue(Profile({{key::kSsid, "ZvWpa"},
                                     {key::kAuthenticationType, "2"},
                                     {key::kWpaPsk, kPassphrase63.c_str()}}))});
  DoubleClick(0);
  auto lines = ApplyQueuedTasks();
  auto wpa = SetPayloads(lines, ZX_OID_802_11_ADD_WPA);
  ASSERT_EQ(wpa.size(), 1u);
  ASSERT_EQ(wpa[0].size(), 71u);
  const std::vector<uint8_t> fromHex(wpa[0].begin() + 28, wpa[0].begin() + 60);
  EXPECT_EQ(fromHex[0], 0x00);
  EXPECT_EQ(fromHex[10], 0xAA);
  EXPECT_EQ(fromHex[31], 0xFF);
  EXPECT_NE(AssociatedSsid(), "ZvWpa") << "the network's key is the passphrase's";

  DoubleClick(1);
  lines = ApplyQueuedTasks();
  wpa = SetPayloads(lines, ZX_OID_802_11_ADD_WPA);
  ASSERT_EQ(wpa.size(), 1u);
  uint8_t expected[40] = {};
  PasswordHash(kPassphrase63.c_str(), reinterpret_cast<const uint8_t*>("ZvWpa"), 5, expected);
  EXPECT_EQ(std::vector<uint8_t>(wpa[0].begin() + 28, wpa[0].begin() + 60),
            std::vector<uint8_t>(expected, expected + 32));
  EXPECT_EQ(SetPayloads(lines, OID_802_11_AUTHENTICATION_MODE),
            (std::vector<std::vector<uint8_t>>{{4, 0, 0, 0}}));
  EXPECT_EQ(QueryU32(OID_GEN_MEDIA_CONNECT_STATUS), 0u);
  EXPECT_EQ(AssociatedSsid(), "ZvWpa");
}

TEST_F(ProfilePageTest, DeletedActivatedProfileIsNotAppliedWhenTheAdapterReturns) {
  StoreProfiles({PlistValue(Profile({{key::kProfileName, "A"}})),
                 PlistValue(Profile({{key::kProfileName, "B"}}))});
  DoubleClick(1);
  ApplyQueuedTasks();
  Select(1);
  page_->OnDelete();
  EXPECT_EQ(StoredActivation(), nullptr);
  EXPECT_EQ(page_->CurrentSelectedItem(), -1);

  ASSERT_EQ(service_.Control("unplug"), "ok");
  ASSERT_EQ(service_.Control("plug"), "ok");
  page_->RefreshProfileList();
  page_->CheckProfileSettingForConnect();
  EXPECT_TRUE(ProfileDataQueue.empty());
  EXPECT_TRUE(SetPayloads(ApplyQueuedTasks(), OID_802_11_SSID).empty());
}

TEST_F(ProfilePageTest, ActivationFollowsItsProfileWhenARowAboveIsDeleted) {
  StoreProfiles({PlistValue(Profile({{key::kProfileName, "A"}, {key::kSsid, "ZvAdhoc"}})),
                 PlistValue(Profile({{key::kProfileName, "B"}})),
                 PlistValue(Profile({{key::kProfileName, "C"}, {key::kSsid, "ZvWep"}}))});
  DoubleClick(2);
  ApplyQueuedTasks();
  EXPECT_EQ(MarkAt(2), "UNCHECKMRK");
  G_bCheckedProfileConnect = 1;
  page_->OnTimer();
  EXPECT_EQ(MarkAt(2), "CHECKMRK");

  Select(0);
  page_->OnDelete();
  ASSERT_TRUE(StoredActivation());
  EXPECT_EQ(EntryText(*StoredActivation(), key::kSelected), "1");
  EXPECT_EQ(page_->CurrentSelectedItem(), 1);
  EXPECT_EQ(MarkAt(1), "CHECKMRK");
  EXPECT_EQ(MarkAt(0), "");

  // The adapter comes back: the activated profile (C) is applied again.
  page_->RefreshProfileList();
  page_->CheckProfileSettingForConnect();
  const auto ssid = SetPayloads(ApplyQueuedTasks(), OID_802_11_SSID);
  ASSERT_EQ(ssid.size(), 1u);
  EXPECT_EQ(std::string(ssid[0].begin() + 4, ssid[0].begin() + 9), "ZvWep");
  EXPECT_EQ(page_->CurrentSelectedItem(), 1);
}

TEST_F(ProfilePageTest, SwitchedOffActivationIsNotReappliedUntilActivatedAgain) {
  StoreProfiles({PlistValue(Profile({}))});
  DoubleClick(0);
  ApplyQueuedTasks();
  page_->DisabledActivateProfile();
  ASSERT_TRUE(StoredActivation());
  EXPECT_EQ(EntryText(*StoredActivation(), key::kActiveProfileFlag), "NO");
  EXPECT_EQ(EntryText(*StoredActivation(), key::kSelected), "0");
  EXPECT_EQ(StoredActivation()->count(key::kHidden), 0u);
  page_->RefreshProfileList();
  page_->CheckProfileSettingForConnect();
  EXPECT_TRUE(ProfileDataQueue.empty());

  DoubleClick(0);
  EXPECT_EQ(EntryText(*StoredActivation(), key::kActiveProfileFlag), "YES");
}

TEST_F(ProfilePageTest, UnusableProfilesAreRefusedWithAnAlertAndNothingIsQueued) {
  const struct {
    ProfileEntry entry;
    std::string alert;
  } cases[] = {
      {Profile({{key::kNetworkType, "0"}, {key::kChannel, "15"}}), kInvalidChannelAlert},
      {Profile({{key::kNetworkType, "0"}, {key::kChannel, "0"}}), kInvalidChannelAlert},
      {Profile({{key::kAuthenticationType, "2"}, {key::kWpaPsk, std::string(65, 'x').c_str()}}),
       kWpaKeyNotUsableAlert},
      {Profile({{key::kEncryptionType, "1"},
                {key::kWepKey[3], "abcdefghijklmn"},
                {key::kWepKeyType[3], "1"}}),
       "Invalid WEP key 4 length. WEP should be 5 or 13 ASCII characters."},
  };
  for (const auto& c : cases) {
    StoreProfiles({PlistValue(c.entry)});
    alerts_.alerts.clear();
    DoubleClick(0);
    ASSERT_EQ(alerts_.alerts.size(), 1u) << c.alert;
    EXPECT_EQ(alerts_.alerts[0].title, c.alert);
    EXPECT_TRUE(ProfileDataQueue.empty());
    EXPECT_EQ(StoredActivation(), nullptr);
    EXPECT_EQ(page_->CurrentSelectedItem(), -1);
  }
  // An ad hoc channel matters only in ad hoc: infrastructure ignores it.
  StoreProfiles({PlistValue(Profile({{key::kChannel, "99"}}))});
  DoubleClick(0);
  EXPECT_EQ(ProfileDataQueue.size(), 1u);
}

TEST_F(ProfilePageTest, LongStoredNetworkNameIsCutTo32Bytes) {
  const std::string name(40, 'n');
  StoreProfiles({PlistValue(Profile({{key::kSsid, name.c_str()}}))});
  DoubleClick(0);
  const auto ssid = SetPayloads(ApplyQueuedTasks(), OID_802_11_SSID);
  ASSERT_EQ(ssid.size(), 1u);
  ASSERT_EQ(ssid[0].size(), 36u);
  EXPECT_EQ(FieldAt<uint32_t>(ssid[0], 0), 32u);
  EXPECT_EQ(std::string(ssid[0].begin() + 4, ssid[0].end()), name.substr(0, 32));
}

TEST_F(ProfilePageTest, MissingSelectionAndMissingAdapterAreReported) {
  StoreProfiles({PlistValue(Profile({}))});
  page_->OnEdit();
  page_->OnDelete();
  page_->OnActivate();
  G_bDeviceExist = 0;
  page_->OnAdd();
  using Alert = zvtest::RecordingAlertPanel::Alert;
  EXPECT_EQ(alerts_.alerts,
            (std::vector<Alert>{
                {"No selected item", "Please select an item to edit."},
                {"No selected item", "Please select an item to delete."},
                {"Device not exist.", "Please insert your Network Card and then set profile."}}));
  EXPECT_TRUE(ProfileDataQueue.empty());
  EXPECT_EQ(Table()->model()->rowCount(), 1);
}

TEST_F(ProfilePageTest, EditorSheetAddsAProfileThatTheTableThenLists) {
  StoreProfiles({PlistValue(Profile({{key::kProfileName, "PROF4"}}))});
  G_bDeviceExist = 1;
  QTimer::singleShot(0, [this] {
    QDialog* sheet = editor_->window();
    ASSERT_TRUE(sheet->isVisible());
    sheet->findChild<QLineEdit*>("WPAPreSharedKey");  // still open, untouched
    QTest::mouseClick(sheet->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
  });
  page_->OnAdd();
  ASSERT_EQ(Table()->model()->rowCount(), 2);
  EXPECT_EQ(Table()->model()->index(1, ProfileTableModel::Profile).data().toString(), "PROF5");
  EXPECT_EQ(Table()->model()->index(1, ProfileTableModel::Channel).data().toString(), "Auto");
  EXPECT_EQ(Table()->model()->index(1, ProfileTableModel::Network).data().toString(),
            "Infrastructure");
  EXPECT_FALSE(editor_->window()->isVisible());
}

}  // namespace
