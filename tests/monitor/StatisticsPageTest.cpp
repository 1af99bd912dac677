// SPDX-License-Identifier: GPL-3.0-or-later
// The Statistics page against trelvaned.
#include <string>
#include <vector>

#include <QPushButton>
#include <QTest>

#include "MonitorPageFixture.h"
#include "monitor/StatisticsPageController.h"
#include "support/Journal.h"

namespace {

const char* const kFields[] = {"FTS",    "FTSWR", "FTSAR", "FFTRAAA", "RFSRC",
                               "RFFTRC", "FRS",   "FRWCE", "FDDTO",   "DFR"};

// Retries above the fragments sent, 64-bit counters and 32-bit counters at their top.
constexpr const char* kCounterScenario = R"({
  "adapter": {"counters": {
    "TransmittedFragmentCount": 5, "RetryCount": 9, "FailedCount": 3,
    "RTSSuccessCount": 6000000000, "RTSFailureCount": 1, "FCSErrorCount": 4294967296,
    "FrameDuplicateCount": -2, "rcv_ok": 4294967295, "rcv_no_buffer": 12}},
  "networks": []
})";

class StatisticsPageTest : public monitortest::MonitorPageTest {
 protected:
  std::vector<std::string> Shown() {
    std::vector<std::string> texts;
    for (const char* name : kFields) texts.push_back(Text(page.widget(), name).toStdString());
    return texts;
  }
  const std::vector<std::string> zeros = std::vector<std::string>(10, "0");

  StatisticsPageController page{context};
};

TEST_F(StatisticsPageTest, refreshShowsTheCountersFromThreeQueries) {
  StartService(kCounterScenario);
  ASSERT_TRUE(service.Mark("refresh"));

  page.OnTimer();

  EXPECT_EQ(Shown(), (std::vector<std::string>{"5", "-4", "9", "3", "6000000000", "1", "4294967295",
                                               "4294967296", "12", "-2"}));
  const auto lines = service.WaitForJournal([](const auto& journal) {
    return zvtest::CallsOfKind(zvtest::AfterMark(journal, "refresh"), "close").size() >= 3;
  });
  const auto refresh = zvtest::CallsOfKind(zvtest::AfterMark(lines, "refresh"), "struct");
  ASSERT_EQ(refresh.size(), 3u);
  EXPECT_EQ(zvtest::SelectorOf(refresh[0]), OID_802_11_STATISTICS);
  EXPECT_EQ(refresh[0]["out_capacity"], 100);
  EXPECT_EQ(zvtest::SelectorOf(refresh[1]), OID_GEN_RCV_OK);
  EXPECT_EQ(refresh[1]["out_capacity"], 4);
  EXPECT_EQ(zvtest::SelectorOf(refresh[2]), OID_GEN_RCV_NO_BUFFER);
  EXPECT_EQ(refresh[2]["out_capacity"], 4);
}

TEST_F(StatisticsPageTest, resetShowsZerosAtOnceAndSendsAnEmptySet) {
  StartService(kCounterScenario);
  page.OnTimer();
  ASSERT_TRUE(service.Mark("reset"));

  QTest::mouseClick(page.widget()->findChild<QPushButton*>("ResetCounter"), Qt::LeftButton);
  EXPECT_EQ(Shown(), zeros);

  const auto lines = service.WaitForJournal([](const auto& journal) {
    return !zvtest::CallsOfKind(zvtest::AfterMark(journal, "reset"), "struct").empty();
  });
  const auto reset = zvtest::CallsOfKind(zvtest::AfterMark(lines, "reset"), "struct");
  ASSERT_EQ(reset.size(), 1u);
  EXPECT_EQ(zvtest::SelectorOf(reset[0]), ZX_OID_802_11_RESET_COUNTERS | OID_SET_FLAG);
  EXPECT_EQ(reset[0]["in_size"], 0);

  // The next refresh shows what the driver reports after its reset.
  page.OnTimer();
  EXPECT_EQ(Shown(), zeros);
}

TEST_F(StatisticsPageTest, withoutADeviceEveryFieldReadsZeroAndNothingIsAsked) {
  StartService(kCounterScenario);
  page.OnTimer();
  ASSERT_NE(Shown(), zeros);
  G_bDeviceExist = 0;
  ASSERT_EQ(service.Control("unplug"), "ok");

  QTest::mouseClick(page.widget()->findChild<QPushButton*>("ResetCounter"), Qt::LeftButton);
  EXPECT_EQ(Shown(), zeros);
  ASSERT_TRUE(service.Mark("absent"));
  page.OnTimer();
  EXPECT_EQ(Shown(), zeros);
  ASSERT_TRUE(service.Mark("end"));
  const auto lines = service.WaitForJournal([](const auto& journal) {
    return !journal.empty() && zvtest::IsMark(journal.back(), "end");
  });
  EXPECT_TRUE(zvtest::CallsOfKind(zvtest::AfterMark(lines, "absent"), "struct").empty());
}

TEST_F(StatisticsPageTest, everyCounterFieldIsNamedForScreenReaders) {
  for (const char* name : kFields) {
    QWidget* field = page.widget()->findChild<QWidget*>(name);
    ASSERT_NE(field, nullptr) << name;
    EXPECT_EQ(field->accessibleName(), name);
  }
  EXPECT_EQ(page.widget()->findChild<QWidget*>("ResetCounter")->accessibleName(), "ResetCounter");
}

}  // namespace
