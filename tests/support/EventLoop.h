// SPDX-License-Identifier: GPL-3.0-or-later
// Running the Qt event loop from a test (a QApplication must exist: link zv_test_main).
#pragma once

#include <functional>

class QWidget;

namespace zvtest {

// Runs the event loop for `milliseconds`, so timers fire and queued events are delivered.
void RunEventLoopFor(int milliseconds);
// Runs the event loop until `done()` holds or `timeoutMs` passes; returns `done()`.
bool RunEventLoopUntil(const std::function<bool()>& done, int timeoutMs);

// Answers the next modal dialog, sheet or alert: once one is running (checked every 10 ms
// from the event loop, for at most `timeoutMs`), `answer` is called with it, e.g.
//   zvtest::WhenModalAppears([](QWidget* w) { static_cast<QDialog*>(w)->done(1); });
// Call it before the code that runs the dialog with exec().
void WhenModalAppears(std::function<void(QWidget* modal)> answer, int timeoutMs = 5000);

}  // namespace zvtest
