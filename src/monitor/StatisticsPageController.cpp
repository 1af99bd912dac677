// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/StatisticsPageController.h"

#include <QWidget>

StatisticsPageController::StatisticsPageController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context) {
  widget_ = new QWidget;
}

StatisticsPageController::~StatisticsPageController() = default;

void StatisticsPageController::awakeFromNib() {}
