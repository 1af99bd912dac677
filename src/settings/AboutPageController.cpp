// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/AboutPageController.h"

#include <QWidget>

AboutPageController::AboutPageController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context) {
  widget_ = new QWidget;
}

AboutPageController::~AboutPageController() = default;

void AboutPageController::awakeFromNib() {}

void AboutPageController::GetAllInformation() {}
