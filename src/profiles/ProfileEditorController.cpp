// SPDX-License-Identifier: GPL-3.0-or-later
#include "profiles/ProfileEditorController.h"

#include <QDialog>

ProfileEditorController::ProfileEditorController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context) {
  window_ = new QDialog;
}

ProfileEditorController::~ProfileEditorController() = default;

void ProfileEditorController::awakeFromNib() {}
