// SPDX-License-Identifier: GPL-3.0-or-later
// gtest main for tests that need a QApplication (widgets, timers, event loops).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
