// SPDX-License-Identifier: GPL-3.0-or-later
// zvconfig: waits until a user owns the console, then opens the main window.
#include <QApplication>

#include "app/ConsoleUser.h"
#include "app/MainWindowObjects.h"
#include "platform/Delay.h"

int main(int argc, char** argv) {
  // Without a console user there is no display to open the window on.
  while (!ConsoleUserIsLoggedIn()) platform::Delay(3);

  QApplication application(argc, argv);
  QApplication::setApplicationName("ZvConfig7100");
  MainWindowObjects objects;
  objects.Show();
  return application.exec();
}
