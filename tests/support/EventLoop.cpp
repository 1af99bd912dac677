// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/EventLoop.h"

#include <memory>

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

namespace zvtest {

void RunEventLoopFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

bool RunEventLoopUntil(const std::function<bool()>& done, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!done()) {
    if (deadline.hasExpired()) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QEventLoop loop;
    QTimer::singleShot(5, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

void WhenModalAppears(std::function<void(QWidget* modal)> answer, int timeoutMs) {
  // The timer lives until it has answered or given up; it is not parented to anything the
  // test may delete meanwhile.
  auto* poll = new QTimer();
  auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, deadline, answer = std::move(answer)] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      poll->stop();
      poll->deleteLater();
      answer(modal);
    } else if (deadline->hasExpired()) {
      poll->stop();
      poll->deleteLater();
    }
  });
  poll->start(10);
}

}  // namespace zvtest
