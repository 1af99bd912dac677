// SPDX-License-Identifier: GPL-3.0-or-later
// The main window controller: opens the window on the Site Survey page and runs the
// 2-second supervision tick that watches the adapter come and go.
#pragma once

#include <QObject>

#include "app/AppContext.h"
#include "app/ReapplyReadyWait.h"

namespace platform {
class RunLoopTimer;
}

class ZvConfig7100Controller : public QObject {
  Q_OBJECT
 public:
  explicit ZvConfig7100Controller(AppContext& context, QObject* parent = nullptr);
  ~ZvConfig7100Controller() override;

  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Selects the Site Survey page and starts the supervision timer.
  void awakeFromNib();

  // The supervision tick (every 2 seconds, for the life of the process).
  void OnTimer();
  // True when the driver's service can be found and opened.
  bool IsDeviceDriverExist();

  // Bounds of the wait for the driver after a re-apply request (tests shorten them).
  void setReapplyReadyWaitLimits(const ReapplyReadyWaitLimits& limits) { readyLimits_ = limits; }

  static constexpr int kInitialTabIndex = 2;
  static constexpr double kSupervisionIntervalSeconds = 2.0;

 private:
  // The driver asked for the active profile to be applied again: once it is ready, the
  // profile page queues the active profile.
  void HonourReapplyRequest();
  // Runs every page's start-up work after the adapter (re)appeared, in a fixed order.
  void ReinitialisePages();

  AppContext& context_;
  Outlets outlets_;
  platform::RunLoopTimer* timer_ = nullptr;
  ReapplyReadyWaitLimits readyLimits_;
};
