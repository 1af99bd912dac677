// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ReapplyReadyWait.h"

#include <cstdint>
#include <thread>

#include "driver/OidCatalogue.h"
#include "driver/ZX7100Access.h"

bool WaitForReapplyReady(ZX7100Access& adapter, const ReapplyReadyWaitLimits& limits) {
  const auto deadline = std::chrono::steady_clock::now() + limits.giveUpAfter;
  for (;;) {
    uint32_t ready = 0;
    uint32_t returned = 0;
    if (!adapter.OidQueryInformation(ZX_OID_802_11_QUERY_REAPPLY_READY, &ready, sizeof ready,
                                     &returned))
      return false;
    if (ready == 1) return true;
    if (std::chrono::steady_clock::now() + limits.pollInterval > deadline) return false;
    std::this_thread::sleep_for(limits.pollInterval);
  }
}
