// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/LinkStatusPageController.h"

#include <QWidget>

LinkStatusPageController::LinkStatusPageController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context) {
  widget_ = new QWidget;
}

LinkStatusPageController::~LinkStatusPageController() = default;

void LinkStatusPageController::awakeFromNib() {}
