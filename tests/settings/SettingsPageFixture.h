// SPDX-License-Identifier: GPL-3.0-or-later
// What the Advance and About page tests share: a private HOME and runtime folder with a
// trelvaned that a test may start, the driver access object the pages use, and helpers to
// work the controls and read the requests the driver saw.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QComboBox>
#include <QWidget>

#include "app/AppContext.h"
#include "app/state/GlobalState.h"
#include "driver/ZX7100Access.h"
#include "platform/UserDefaults.h"
#include "support/Journal.h"
#include "support/RecordingAlertPanel.h"
#include "support/TrelvanedFixture.h"

namespace zvtest {

class SettingsPageTest : public ::testing::Test {
 protected:
  SettingsPageTest() { ResetGlobalState(); }
  ~SettingsPageTest() override { ResetGlobalState(); }

  void StartDriver(const std::string& scenario = "") {
    ASSERT_TRUE(service.Start(scenario)) << service.LastError();
  }

  template <typename T>
  static T* Control(QWidget* page, const char* outlet) {
    T* control = page->findChild<T*>(QString::fromLatin1(outlet));
    EXPECT_NE(control, nullptr) << outlet;
    return control;
  }

  // Picks entry `index` as the user does: the list's action runs.
  static void Choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
  }

  // The structure calls the driver served after `mark` was written, once every
  // connection opened since has been closed again.
  std::vector<JournalLine> StructCallsAfter(const std::string& mark) const {
    const auto lines = service.WaitForJournal([&](const std::vector<JournalLine>& all) {
      const auto after = AfterMark(all, mark);
      return CallsOfKind(after, "open").size() == CallsOfKind(after, "close").size();
    });
    return CallsOfKind(AfterMark(lines, mark), "struct");
  }

  static std::vector<uint32_t> Selectors(const std::vector<JournalLine>& calls) {
    std::vector<uint32_t> selectors;
    for (const auto& call : calls) selectors.push_back(SelectorOf(call));
    return selectors;
  }

  // Declared first: it gives the process its private HOME before anything reads it.
  TrelvanedFixture service;
  RecordingAlertPanel alerts;
  ZX7100Access adapter{alerts};
  platform::UserDefaults defaults{platform::UserDefaults::StandardDomainPath()};
  AppContext context{adapter, alerts, defaults};
};

}  // namespace zvtest
