// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace platform {

// Blocks the calling thread for `ticks` ticks of the 60 Hz tick clock.
void Delay(uint32_t ticks);

}  // namespace platform
