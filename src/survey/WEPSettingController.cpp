// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/WEPSettingController.h"

#include <QDialog>

WEPSettingController::WEPSettingController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context) {
  window_ = new QDialog;
}

WEPSettingController::~WEPSettingController() = default;

void WEPSettingController::awakeFromNib() {}
