// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/AdvancePageController.h"

#include <QWidget>

AdvancePageController::AdvancePageController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context) {
  widget_ = new QWidget;
}

AdvancePageController::~AdvancePageController() = default;

void AdvancePageController::awakeFromNib() {}

void AdvancePageController::RadioStatus() {}

void AdvancePageController::OnApply() {}
