// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/HiddenSSIDController.h"

#include <QDialog>

HiddenSSIDController::HiddenSSIDController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context) {
  window_ = new QDialog;
}

HiddenSSIDController::~HiddenSSIDController() = default;

void HiddenSSIDController::awakeFromNib() {}
