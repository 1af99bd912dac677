// SPDX-License-Identifier: GPL-3.0-or-later
// The Advance page against trelvaned and the settings file in a private HOME.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>

#include "SettingsPageFixture.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "platform/PropertyList.h"
#include "settings/AdvancePageController.h"
#include "settings/AdvancedSettingsFile.h"

using platform::PlistArray;
using platform::PlistDict;
using platform::PlistValue;
using zvtest::HexField;
using zvtest::JournalLine;

namespace {

constexpr uint32_t kSetPhyMode = ZX_OID_802_11_PHY_MODE | OID_SET_FLAG;
constexpr uint32_t kSetStaConfig = ZX_OID_802_11_STA_CONFIG | OID_SET_FLAG;
constexpr uint32_t kSetRates = OID_802_11_DESIRED_RATES | OID_SET_FLAG;
constexpr uint32_t kSetRadio = ZX_OID_802_11_RADIO | OID_SET_FLAG;

PlistDict StoredStrings(int rate, int bg, int burst, int ofdm, int mode) {
  return {{kTxRateKey, std::to_string(rate)},
          {kBGProtectionKey, std::to_string(bg)},
          {kTxBurstKey, std::to_string(burst)},
          {kAdHocUseOfdmKey, std::to_string(ofdm)},
          {kWirelessModeKey, std::to_string(mode)}};
}

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> bytes) {
  return bytes;
}

// The payload of the one call in `calls` with `selector`.
std::vector<uint8_t> PayloadOf(const std::vector<JournalLine>& calls, uint32_t selector) {
  std::vector<uint8_t> payload;
  int found = 0;
  for (const auto& call : calls) {
    if (zvtest::SelectorOf(call) == selector) {
      payload = HexField(call, "in");
      ++found;
    }
  }
  EXPECT_EQ(found, 1) << std::hex << selector;
  return payload;
}

ZX_802_11_STA_CONFIG StaConfigFrom(const std::vector<uint8_t>& bytes) {
  ZX_802_11_STA_CONFIG record{};
  EXPECT_EQ(bytes.size(), sizeof record);
  if (bytes.size() == sizeof record) std::memcpy(&record, bytes.data(), sizeof record);
  return record;
}

class AdvancePageTest : public zvtest::SettingsPageTest {
 protected:
  std::string SettingsFile() {
    return service.Environment().PreferencesDir() + "/AdvancedProfileSetting.plist";
  }

  // The page as the main window builds it.
  AdvancePageController& Page() {
    if (!page_) {
      page_ = std::make_unique<AdvancePageController>(context);
      page_->awakeFromNib();
    }
    return *page_;
  }
  QWidget* Widget() { return Page().widget(); }
  QComboBox* WirelessMode() { return Control<QComboBox>(Widget(), "WirelessMode"); }
  QComboBox* TXrate() { return Control<QComboBox>(Widget(), "TXrate"); }
  QComboBox* BGprotection() { return Control<QComboBox>(Widget(), "BGprotection"); }
  QCheckBox* EnableTXburst() { return Control<QCheckBox>(Widget(), "EnableTXburst"); }
  QCheckBox* AdhocOfdm() { return Control<QCheckBox>(Widget(), "AdhocModeUseOFDMrate"); }
  QPushButton* Apply() { return Control<QPushButton>(Widget(), "Apply"); }
  QPushButton* Reset() { return Control<QPushButton>(Widget(), "Reset"); }
  QPushButton* Radio() { return Control<QPushButton>(Widget(), "Radio"); }
  QLabel* RadioSwitchPic() { return Control<QLabel>(Widget(), "RadioSwitchPic"); }

  // Applies and returns the structure calls it made; `stderrText` gets what it wrote.
  std::vector<JournalLine> ApplyAndRecord(const std::string& mark,
                                          std::string* stderrText = nullptr) {
    EXPECT_TRUE(service.Mark(mark));
    testing::internal::CaptureStderr();
    Page().OnApply();
    const std::string written = testing::internal::GetCapturedStderr();
    if (stderrText) *stderrText = written;
    return StructCallsAfter(mark);
  }

  PlistArray StoredRecords() {
    auto root = platform::ReadPropertyListFile(SettingsFile());
    EXPECT_TRUE(root && root->isArray());
    return root && root->isArray() ? *root->asArray() : PlistArray{};
  }

  void ExpectControls(int mode, int rateCount, int rate, int bg, bool bgEnabled, bool burst,
                      bool ofdm) {
    EXPECT_EQ(WirelessMode()->currentIndex(), mode);
    EXPECT_EQ(TXrate()->count(), rateCount);
    EXPECT_EQ(TXrate()->currentIndex(), rate);
    EXPECT_EQ(BGprotection()->currentIndex(), bg);
    EXPECT_EQ(BGprotection()->isEnabled(), bgEnabled);
    EXPECT_EQ(EnableTXburst()->isChecked(), burst);
    EXPECT_EQ(AdhocOfdm()->isChecked(), ofdm);
  }

 private:
  std::unique_ptr<AdvancePageController> page_;
};

TEST_F(AdvancePageTest, EveryControlIsNamedAfterItsOutlet) {
  for (const char* outlet :
       {"AdhocModeUseOFDMrate", "BGprotection", "EnableTXburst", "RadioSwitchPic", "TXrate",
        "WirelessMode", "Apply", "Reset", "Radio"}) {
    QWidget* control = Control<QWidget>(Widget(), outlet);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->accessibleName().toStdString(), outlet);
  }
}

TEST_F(AdvancePageTest, FirstStartWithoutFileShowsDefaultsAndApplyCreatesTheFile) {
  StartDriver();
  ExpectControls(0, 13, 0, 0, true, false, false);
  EXPECT_EQ(TXrate()->currentText().toStdString(), "Auto");
  EXPECT_FALSE(Apply()->isEnabled());
  EXPECT_FALSE(Reset()->isEnabled());

  std::string written;
  const auto calls = ApplyAndRecord("first-apply", &written);
  // The driver already runs mode 0 with all five station settings off.
  EXPECT_EQ(Selectors(calls),
            (std::vector<uint32_t>{ZX_OID_802_11_PHY_MODE, ZX_OID_802_11_STA_CONFIG, kSetRates}));
  EXPECT_EQ(PayloadOf(calls, kSetRates), Bytes({108, 96, 72, 48, 22, 11, 4, 2}));
  EXPECT_NE(written.find("#### AdvancePageController - OnApply -  nWirelessMode = 0, "
                         "enumWirelessMode = 0,  G_enumWirelessMode = 0 ####\n"),
            std::string::npos)
      << written;

  EXPECT_EQ(StoredRecords(), (PlistArray{PlistValue(StoredStrings(0, 0, 0, 0, 0))}));
  EXPECT_FALSE(Apply()->isEnabled());
}

TEST_F(AdvancePageTest, ChoosingMode1While12MbpsIsSelectedFallsBackToAuto) {
  StartDriver();
  Choose(BGprotection(), 1);
  Choose(TXrate(), 7);
  ASSERT_EQ(TXrate()->currentText().toStdString(), "12 Mbps");
  Choose(WirelessMode(), 1);

  // The protection control keeps showing its entry while the page holds 0.
  ExpectControls(1, 5, 0, 1, false, false, false);
  EXPECT_EQ(TXrate()->itemText(1).toStdString(), "1");
  EXPECT_EQ(Page().settings().nBGProtection, 0);
  EXPECT_EQ(Page().settings().nTxRate, 0);
  EXPECT_TRUE(Apply()->isEnabled());
  EXPECT_TRUE(Reset()->isEnabled());

  std::string written;
  const auto calls = ApplyAndRecord("mode-1", &written);
  EXPECT_EQ(Selectors(calls), (std::vector<uint32_t>{ZX_OID_802_11_PHY_MODE, kSetPhyMode,
                                                     ZX_OID_802_11_STA_CONFIG, kSetRates}));
  EXPECT_EQ(PayloadOf(calls, kSetPhyMode), Bytes({1, 0, 0, 0}));
  EXPECT_EQ(PayloadOf(calls, kSetRates), Bytes({22, 11, 4, 2, 0, 0, 0, 0}));
  EXPECT_NE(written.find("#### 111111111 ####\n"), std::string::npos) << written;
  EXPECT_EQ(G_enumWirelessMode, 1);
  EXPECT_EQ(StoredRecords(), (PlistArray{PlistValue(StoredStrings(0, 0, 0, 0, 1))}));

  // Back in the mixed mode the protection shown is the one Apply sends.
  Choose(WirelessMode(), 0);
  ExpectControls(0, 13, 0, 0, true, false, false);
}

TEST_F(AdvancePageTest, FiveGigahertzModesRunAsMode0WithoutSupportButKeepTheirRates) {
  StartDriver();
  struct Case {
    int8_t supportAMode;
    int32_t phyModeSent;  // -1: no PHY mode set
  } cases[] = {{0, -1}, {1, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "G_bSupportAMode " << int{c.supportAMode});
    G_bSupportAMode = c.supportAMode;
    Choose(WirelessMode(), 2);
    ASSERT_EQ(TXrate()->count(), 9);
    Choose(TXrate(), 3);  // "12 Mbps"
    const auto calls = ApplyAndRecord("mode-2-support-" + std::to_string(c.supportAMode));

    EXPECT_EQ(G_enumWirelessMode, c.supportAMode ? 2 : 0);
    if (c.phyModeSent < 0) {
      const auto selectors = Selectors(calls);
      EXPECT_EQ(std::count(selectors.begin(), selectors.end(), kSetPhyMode), 0);
    } else {
      EXPECT_EQ(PayloadOf(calls, kSetPhyMode), Bytes({2, 0, 0, 0}));
    }
    EXPECT_EQ(PayloadOf(calls, kSetRates), Bytes({24, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(StoredRecords(), (PlistArray{PlistValue(StoredStrings(3, 0, 0, 0, 2))}));
  }
}

TEST_F(AdvancePageTest, UnchangedApplySendsOnlyTheRatesAndStillWritesTheFile) {
  StartDriver();
  Choose(WirelessMode(), 1);
  Choose(TXrate(), 4);
  EnableTXburst()->click();
  AdhocOfdm()->click();
  const auto first = ApplyAndRecord("first");
  const auto sta = StaConfigFrom(PayloadOf(first, kSetStaConfig));
  EXPECT_EQ(sta.EnableTxBurst, 1u);
  EXPECT_EQ(sta.UseOfdmRatesIn11gAdhoc, 1u);
  EXPECT_EQ(sta.UseBGProtection, 0u);
  EXPECT_NE(sta.HwRadioStatus, 0u) << "the radio state goes back as the driver reported it";

  ASSERT_EQ(std::remove(SettingsFile().c_str()), 0);
  std::string written;
  const auto second = ApplyAndRecord("second", &written);
  EXPECT_EQ(Selectors(second),
            (std::vector<uint32_t>{ZX_OID_802_11_PHY_MODE, ZX_OID_802_11_STA_CONFIG, kSetRates}));
  EXPECT_EQ(PayloadOf(second, kSetRates), Bytes({22, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(written.find("#### 111111111 ####"), std::string::npos);
  EXPECT_EQ(written.find("#### 222222222222 ####"), std::string::npos);
  EXPECT_EQ(StoredRecords(), (PlistArray{PlistValue(StoredStrings(4, 0, 1, 1, 1))}));
}

TEST_F(AdvancePageTest, StoredSettingsAreShownSentAndWrittenBackWithFurtherElements) {
  const PlistValue other(PlistDict{{"Other", PlistValue("kept")}});
  ASSERT_TRUE(platform::WritePropertyListFileAtomically(
      SettingsFile(),
      PlistValue(PlistArray{PlistValue(PlistDict{{kTxRateKey, PlistValue("12")},
                                                 {kBGProtectionKey, PlistValue(int64_t{2})},
                                                 {kTxBurstKey, PlistValue("1")},
                                                 {kAdHocUseOfdmKey, PlistValue(true)},
                                                 {kWirelessModeKey, PlistValue("3")}}),
                            other, PlistValue("text")})));
  StartDriver();
  ExpectControls(3, 13, 12, 2, true, true, true);
  EXPECT_FALSE(Apply()->isEnabled());

  const auto calls = ApplyAndRecord("stored");
  const auto sta = StaConfigFrom(PayloadOf(calls, kSetStaConfig));
  EXPECT_EQ(sta.EnableTxBurst, 1u);
  EXPECT_EQ(sta.UseBGProtection, 2u);
  EXPECT_EQ(sta.UseOfdmRatesIn11gAdhoc, 1u);
  EXPECT_EQ(sta.EnableTurboRate, 0u);
  EXPECT_EQ(sta.UseShortSlotTime, 0u);
  EXPECT_EQ(PayloadOf(calls, kSetRates), Bytes({108, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(StoredRecords(),
            (PlistArray{PlistValue(StoredStrings(12, 2, 1, 1, 3)), other, PlistValue("text")}));
}

TEST_F(AdvancePageTest, ResetShowsTheLastReadOrAppliedSettingsAndSendsNothing) {
  StartDriver();
  ASSERT_TRUE(service.Mark("reset"));
  // Nothing stored and nothing applied: back to the creation values.
  Choose(WirelessMode(), 2);
  Choose(TXrate(), 5);
  EnableTXburst()->click();
  Reset()->click();
  ExpectControls(0, 13, 0, 0, true, false, false);
  EXPECT_FALSE(Apply()->isEnabled());
  EXPECT_FALSE(Reset()->isEnabled());
  EXPECT_TRUE(StructCallsAfter("reset").empty());
  EXPECT_FALSE(platform::ReadPropertyListFile(SettingsFile()));
  // The discarded edits stay discarded when the settings are next sent.
  const auto afterReset = ApplyAndRecord("after-reset");
  EXPECT_EQ(Selectors(afterReset),
            (std::vector<uint32_t>{ZX_OID_802_11_PHY_MODE, ZX_OID_802_11_STA_CONFIG, kSetRates}));
  EXPECT_EQ(PayloadOf(afterReset, kSetRates), Bytes({108, 96, 72, 48, 22, 11, 4, 2}));

  // After an Apply, Reset returns to what was applied (the file is not read again).
  Choose(WirelessMode(), 1);
  Choose(TXrate(), 3);
  AdhocOfdm()->click();
  ApplyAndRecord("applied");
  ASSERT_EQ(std::remove(SettingsFile().c_str()), 0);
  Choose(WirelessMode(), 0);
  Choose(TXrate(), 10);
  AdhocOfdm()->click();
  Reset()->click();
  ExpectControls(1, 5, 3, 0, false, false, true);
}

TEST_F(AdvancePageTest, OutOfRangeModeInTheFileStopsApplyBeforeAnyRequest) {
  ASSERT_TRUE(platform::WritePropertyListFileAtomically(
      SettingsFile(), PlistValue(PlistArray{PlistValue(StoredStrings(0, 0, 0, 0, 7))})));
  const auto before = platform::ReadPropertyListFile(SettingsFile());
  StartDriver();
  testing::internal::CaptureStderr();
  Widget();
  const std::string atStart = testing::internal::GetCapturedStderr();
  EXPECT_NE(atStart.find("Invalid parameter not satisfying: FALSE"), std::string::npos);
  EXPECT_EQ(WirelessMode()->currentIndex(), -1);
  EXPECT_EQ(TXrate()->count(), 0);

  std::string written;
  EXPECT_TRUE(ApplyAndRecord("bad-mode", &written).empty());
  EXPECT_NE(written.find("Invalid parameter not satisfying: FALSE"), std::string::npos);
  EXPECT_EQ(platform::ReadPropertyListFile(SettingsFile()), before);
}

TEST_F(AdvancePageTest, RadioSwitchTurnsTheRadioOffAndOnAgain) {
  StartDriver();
  G_configFromProfile = 1;
  G_bCheckedProfileConnect = 1;
  EXPECT_EQ(Radio()->text().toStdString(), "Radio Off");

  struct Step {
    int8_t radio;
    const char* title;
    const char* image;
    uint8_t payload;
  } steps[] = {{0, "Radio On", "RADIOOFF", 0}, {1, "Radio Off", "RADIOON", 1}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.title);
    G_bRescan = 0;
    const std::string mark = std::string("radio-") + step.image;
    ASSERT_TRUE(service.Mark(mark));
    Radio()->click();
    EXPECT_EQ(G_bRadio, step.radio);
    EXPECT_EQ(G_bCheckedProfileConnect, step.radio);
    EXPECT_EQ(G_bRescan, 1);
    EXPECT_EQ(Radio()->text().toStdString(), step.title);
    EXPECT_EQ(RadioSwitchPic()->property("imageName").toString().toStdString(), step.image);

    const auto calls = StructCallsAfter(mark);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(zvtest::SelectorOf(calls[0]), kSetRadio);
    EXPECT_EQ(HexField(calls[0], "in"), Bytes({step.payload, 0, 0, 0}));
    EXPECT_EQ(zvtest::SelectorOf(calls[1]), OID_802_11_BSSID_LIST_SCAN | OID_SET_FLAG);
    EXPECT_EQ(zvtest::SelectorOf(calls[2]), OID_802_11_BSSID_LIST);

    // The driver now reports the radio in the state the switch shows.
    ZX_802_11_STA_CONFIG sta{};
    uint32_t returned = 0;
    ASSERT_TRUE(adapter.OidQueryInformation(ZX_OID_802_11_STA_CONFIG, &sta, sizeof sta, &returned));
    EXPECT_EQ(sta.HwRadioStatus != 0, step.radio != 0);
  }
  EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(AdvancePageTest, WithoutTheAdapterTheSwitchFlipsAndApplyStillStores) {
  // No driver service runs.
  Radio()->click();
  EXPECT_EQ(G_bRadio, 0);
  EXPECT_EQ(G_bCheckedProfileConnect, 0);
  EXPECT_EQ(Radio()->text().toStdString(), "Radio On");
  EXPECT_EQ(RadioSwitchPic()->property("imageName").toString().toStdString(), "RADIOOFF");

  Choose(TXrate(), 2);
  Apply()->click();
  EXPECT_EQ(StoredRecords(), (PlistArray{PlistValue(StoredStrings(2, 0, 0, 0, 0))}));
  EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(AdvancePageTest, RadioStatusFollowsTheFlagOnlyForProfileConnections) {
  for (int8_t fromProfile : {0, 1}) {
    SCOPED_TRACE(int{fromProfile});
    G_configFromProfile = fromProfile;
    G_bCheckedProfileConnect = 1;
    G_bRadio = 0;
    Page().RadioStatus();
    EXPECT_EQ(Radio()->text().toStdString(), "Radio On");
    EXPECT_EQ(G_bCheckedProfileConnect, fromProfile ? 0 : 1);
    G_bRadio = 1;
    Page().RadioStatus();
    EXPECT_EQ(Radio()->text().toStdString(), "Radio Off");
    EXPECT_EQ(RadioSwitchPic()->property("imageName").toString().toStdString(), "RADIOON");
  }
}

}  // namespace
