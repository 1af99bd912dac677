// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ZvConfig7100Controller.h"

ZvConfig7100Controller::ZvConfig7100Controller(AppContext& context, QObject* parent)
    : QObject(parent), context_(context) {}

ZvConfig7100Controller::~ZvConfig7100Controller() = default;

void ZvConfig7100Controller::awakeFromNib() {}
