// SPDX-License-Identifier: GPL-3.0-or-later
// gtest main for tests that need a QApplication (widgets, timers, event loops).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  // Widget tests run offscreen unless the caller chose a platform (the real-window tests
  // choose xcb). This also lets the build list the tests where no display is reachable.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
