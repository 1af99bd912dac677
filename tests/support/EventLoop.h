// SPDX-License-Identifier: GPL-3.0-or-later
// Running the Qt event loop from a test (a QApplication must exist: link zv_test_main).
#pragma once

#include <functional>

namespace zvtest {

// Runs the event loop for `milliseconds`, so timers fire and queued events are delivered.
void RunEventLoopFor(int milliseconds);
// Runs the event loop until `done()` holds or `timeoutMs` passes; returns `done()`.
bool RunEventLoopUntil(const std::function<bool()>& done, int timeoutMs);

}  // namespace zvtest
