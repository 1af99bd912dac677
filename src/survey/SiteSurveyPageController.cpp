// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/SiteSurveyPageController.h"

#include <QWidget>

#include "engine/TaskEngine.h"
#include "engine/TaskQueue.h"

SiteSurveyPageController::SiteSurveyPageController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context) {
  widget_ = new QWidget;
}

SiteSurveyPageController::~SiteSurveyPageController() = default;

void SiteSurveyPageController::awakeFromNib() {}

void SiteSurveyPageController::StartSiteSurveyTimer() {}

void SiteSurveyPageController::StopSiteSurveyTimer() {}

void SiteSurveyPageController::ClearAPList() {}

void SiteSurveyPageController::RefreshAPList() {}

void SiteSurveyPageController::UpdateConnectStatus(const QString& /*text*/) {}

void SiteSurveyPageController::SetTaskQueue(std::unique_ptr<ProfileRecord> record) {
  std::unique_ptr<ProfileData> task = ProfileData::setProfileData(std::move(record));
  task->setTaskType(kTaskConfigure);
  TaskQueue::InsertTaskObject(std::move(task));
}

void SiteSurveyPageController::resetFlag() {
  SetSsid = 0;
  SetBssid = 0;
}

void SiteSurveyPageController::DoTask() {
  ::DoTask(context_.Adapter, runFlag);
}
