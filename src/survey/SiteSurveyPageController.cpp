// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/SiteSurveyPageController.h"

#include <QWidget>

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

void SiteSurveyPageController::SetTaskQueue(std::unique_ptr<ProfileRecord> /*record*/) {}

void SiteSurveyPageController::resetFlag() {}

void SiteSurveyPageController::DoTask() {}
