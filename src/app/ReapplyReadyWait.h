// SPDX-License-Identifier: GPL-3.0-or-later
// The wait for the driver to become ready after it asked for the active profile to be
// applied again.
#pragma once

#include <chrono>

class ZX7100Access;

struct ReapplyReadyWaitLimits {
  std::chrono::milliseconds pollInterval{50};  // 3 ticks of the 60 Hz clock
  std::chrono::milliseconds giveUpAfter{10000};
};

// Polls ZX_OID_802_11_QUERY_REAPPLY_READY until it reads exactly 1 (true). Gives up
// (false) at the first failed request or once `limits.giveUpAfter` has passed, so that a
// driver that never gets ready cannot hang the program.
bool WaitForReapplyReady(ZX7100Access& adapter, const ReapplyReadyWaitLimits& limits = {});
