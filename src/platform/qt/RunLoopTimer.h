// SPDX-License-Identifier: GPL-3.0-or-later
// A repeating run-loop timer that fires only in the run loop's default mode: while a modal
// dialog, sheet or alert runs, its ticks are skipped. Every repeating timer of the program
// is one of these.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace platform {

class RunLoopTimer : public QObject {
  Q_OBJECT
 public:
  RunLoopTimer(double intervalSeconds, std::function<void()> onTick, QObject* parent = nullptr);
  void Start();       // schedules the timer (restarts it when already running)
  void Invalidate();  // stops it for good until Start
  bool IsValid() const;

 private:
  void Fire();
  QTimer timer_;
  std::function<void()> onTick_;
};

// True while a modal dialog, sheet or alert panel runs.
bool ModalSessionActive();

}  // namespace platform
