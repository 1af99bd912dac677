// SPDX-License-Identifier: GPL-3.0-or-later
#include "profiles/ProfilePageController.h"

#include <QWidget>

ProfilePageController::ProfilePageController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context) {
  widget_ = new QWidget;
}

ProfilePageController::~ProfilePageController() = default;

void ProfilePageController::awakeFromNib() {}

void ProfilePageController::RefreshProfileList() {}

void ProfilePageController::CheckProfileSettingForConnect() {}

void ProfilePageController::DisabledActivateProfile() {}
