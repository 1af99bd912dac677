// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/RunLoopTimer.h"

#include <QApplication>

namespace platform {

bool ModalSessionActive() { return QApplication::activeModalWidget() != nullptr; }

RunLoopTimer::RunLoopTimer(double intervalSeconds, std::function<void()> onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {
  timer_.setInterval(static_cast<int>(intervalSeconds * 1000));
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &RunLoopTimer::Fire);
}

void RunLoopTimer::Start() { timer_.start(); }
void RunLoopTimer::Invalidate() { timer_.stop(); }
bool RunLoopTimer::IsValid() const { return timer_.isActive(); }

void RunLoopTimer::Fire() {
  // The default run-loop mode does not run while a modal session is active.
  if (ModalSessionActive()) return;
  onTick_();
}

}  // namespace platform
