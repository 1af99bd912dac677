// SPDX-License-Identifier: GPL-3.0-or-later
// A running trelvaned, the driver access object and the survey page that receives the
// connection line, for tests of the Link Status and Statistics pages.
#pragma once

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>

#include "app/AppContext.h"
#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "driver/ZX7100Access.h"
#include "platform/UserDefaults.h"
#include "support/RecordingAlertPanel.h"
#include "support/TrelvanedFixture.h"
#include "survey/SiteSurveyPageController.h"

namespace monitortest {

class MonitorPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalState();
    G_bDeviceExist = 1;
  }
  void TearDown() override { ResetGlobalState(); }

  void StartService(const std::string& scenario = "") {
    ASSERT_TRUE(service.Start(scenario)) << service.LastError();
  }

  // Joins the open network `ssid` the way the task engine's last step does.
  void Associate(const std::string& ssid) {
    NDIS_802_11_SSID record{};
    record.SsidLength = static_cast<uint32_t>(ssid.size());
    std::memcpy(record.Ssid, ssid.data(), ssid.size());
    uint32_t returned = 0;
    ASSERT_TRUE(adapter.OidSetInformation(OID_802_11_SSID, &record, sizeof record, &returned, 3));
    uint32_t media = 1;
    ASSERT_TRUE(
        adapter.OidQueryInformation(OID_GEN_MEDIA_CONNECT_STATUS, &media, sizeof media, &returned));
    ASSERT_EQ(media, 0u) << "not associated with " << ssid;
  }

  void SetU32(uint32_t oid, uint32_t value) {
    uint32_t returned = 0;
    ASSERT_TRUE(adapter.OidSetInformation(oid, &value, sizeof value, &returned, 3));
  }

  static QString Text(QWidget* page, const char* name) {
    QLabel* field = page->findChild<QLabel*>(name);
    EXPECT_NE(field, nullptr) << name;
    return field ? field->text() : QString();
  }

  QString SurveyConnectionLine() { return Text(survey.widget(), "ConnectStatus"); }

  zvtest::TrelvanedFixture service;
  zvtest::RecordingAlertPanel alerts;
  ZX7100Access adapter{alerts};
  platform::UserDefaults defaults{service.Environment().HomeDir() + "/defaults.plist"};
  AppContext context{adapter, alerts, defaults};
  SiteSurveyPageController survey{context};
};

}  // namespace monitortest
