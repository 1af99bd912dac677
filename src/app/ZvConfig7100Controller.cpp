// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ZvConfig7100Controller.h"

#include <cstdint>
#include <cstdio>

#include <QTabWidget>

#include "app/state/GlobalState.h"
#include "driver/OidCatalogue.h"
#include "driver/ZX7100Access.h"
#include "platform/qt/RunLoopTimer.h"
#include "profiles/ProfilePageController.h"
#include "settings/AboutPageController.h"
#include "settings/AdvancePageController.h"
#include "survey/SiteSurveyPageController.h"

ZvConfig7100Controller::ZvConfig7100Controller(AppContext& context, QObject* parent)
    : QObject(parent), context_(context) {}

ZvConfig7100Controller::~ZvConfig7100Controller() = default;

void ZvConfig7100Controller::awakeFromNib() {
  if (__DEBUG__) std::fputs("#### ZvConfig7100Controller - awakeFromNib ####\n", stderr);
  if (outlets_.TabView != nullptr) outlets_.TabView->setCurrentIndex(kInitialTabIndex);
  if (timer_ == nullptr)
    timer_ = new platform::RunLoopTimer(
        kSupervisionIntervalSeconds, [this] { OnTimer(); }, this);
  timer_->Start();
}

void ZvConfig7100Controller::OnTimer() {
  if (G_bDialogRunning) return;
  ZX7100Access& adapter = context_.Adapter;

  // Only whether the request succeeds matters: it tells whether the adapter answers.
  uint32_t connectStatus = 0;
  uint32_t returned = 0;
  const bool reachable = adapter.OidQueryInformation(OID_GEN_MEDIA_CONNECT_STATUS, &connectStatus,
                                                     sizeof connectStatus, &returned);

  uint32_t reapplyRequest = 0;
  adapter.OidQueryInformation(ZX_OID_802_11_QUERY_REAPPLY_REQUEST, &reapplyRequest,
                              sizeof reapplyRequest, &returned);
  if ((reapplyRequest & 0xFF) == 1) HonourReapplyRequest();

  if (G_bDeviceExist && reachable) {
    if (!G_bRadio) outlets_.SiteSurveyPage->ClearAPList();
    return;
  }

  if (!reachable) outlets_.SiteSurveyPage->ClearAPList();
  G_bDeviceExist = IsDeviceDriverExist() ? 1 : 0;
  if (!G_bDeviceExist) {
    outlets_.SiteSurveyPage->StopSiteSurveyTimer();
    return;
  }
  ReinitialisePages();
}

void ZvConfig7100Controller::HonourReapplyRequest() {
  if (!WaitForReapplyReady(context_.Adapter, readyLimits_)) {
    if (__DEBUG__)
      std::fputs("!!!! ZvConfig7100Controller - reapply ready wait gave up !!!!\n", stderr);
    return;
  }
  outlets_.ProfilePage->CheckProfileSettingForConnect();
}

void ZvConfig7100Controller::ReinitialisePages() {
  context_.Adapter.InitCard();
  outlets_.SiteSurveyPage->RefreshAPList();
  outlets_.SiteSurveyPage->StartSiteSurveyTimer();
  outlets_.ProfilePage->RefreshProfileList();
  outlets_.ProfilePage->CheckProfileSettingForConnect();
  outlets_.AdvancePage->RadioStatus();
  outlets_.AdvancePage->OnApply();
  outlets_.AboutPage->GetAllInformation();
}

bool ZvConfig7100Controller::IsDeviceDriverExist() {
  ZX7100Access& adapter = context_.Adapter;
  if (adapter.SearchDevice() && adapter.OpenConnectToDevice()) {
    adapter.CloseConnectToDevice();
    return true;
  }
  adapter.CloseConnectToDevice();
  return false;
}
