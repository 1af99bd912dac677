// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Delay.h"

#include <chrono>
#include <thread>

namespace platform {

void Delay(uint32_t ticks) {
  // One tick of the 60 Hz clock is 1/60 s.
  std::this_thread::sleep_for(std::chrono::microseconds(uint64_t{ticks} * 1000000 / 60));
}

}  // namespace platform
