// SPDX-License-Identifier: GPL-3.0-or-later
// The run-loop timer skips its ticks while a modal dialog runs and fires again afterwards.
#include <gtest/gtest.h>

#include <QDialog>
#include <QTimer>

#include "platform/qt/RunLoopTimer.h"
#include "support/EventLoop.h"

namespace {

TEST(RunLoopTimer, SkipsTicksWhileAModalDialogRuns) {
  int ticks = 0;
  platform::RunLoopTimer timer(0.01, [&] { ++ticks; });
  timer.Start();
  ASSERT_TRUE(zvtest::RunEventLoopUntil([&] { return ticks >= 2; }, 5000));

  QDialog dialog;
  int ticksWhileModal = -1;
  int ticksAtOpen = 0;
  zvtest::WhenModalAppears([&](QWidget* modal) {
    ticksAtOpen = ticks;
    // Let the timer's interval pass several times inside the modal session.
    QTimer::singleShot(150, modal, [&, modal] {
      ticksWhileModal = ticks - ticksAtOpen;
      static_cast<QDialog*>(modal)->done(QDialog::Accepted);
    });
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(ticksWhileModal, 0);

  int afterModal = ticks;
  EXPECT_TRUE(zvtest::RunEventLoopUntil([&] { return ticks > afterModal; }, 5000));
  timer.Invalidate();
  EXPECT_FALSE(timer.IsValid());
}

}  // namespace
