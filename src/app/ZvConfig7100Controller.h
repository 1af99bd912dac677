// SPDX-License-Identifier: GPL-3.0-or-later
// The main window controller: opens the window on the Site Survey page and runs the
// 2-second supervision tick that watches the adapter come and go.
#pragma once

#include <QObject>

#include "app/AppContext.h"

class ZvConfig7100Controller : public QObject {
  Q_OBJECT
 public:
  explicit ZvConfig7100Controller(AppContext& context, QObject* parent = nullptr);
  ~ZvConfig7100Controller() override;

  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  void awakeFromNib();

 private:
  AppContext& context_;
  Outlets outlets_;
};
