// SPDX-License-Identifier: GPL-3.0-or-later
// The task engine: applies the oldest queued task as its fixed series of driver requests.
// The survey page's tick calls it, so at most one task is applied per tick.
#pragma once

#include <cstdint>

class ZX7100Access;

// Applies and removes the oldest task of ProfileDataQueue. `runFlag` is the survey page's
// flag: set while a task is applied; a call that finds it set leaves the queue alone.
// With an empty queue the flag is cleared and nothing is sent.
void DoTask(ZX7100Access& adapter, int8_t& runFlag);

// The transmit power percentage sent for a record's TxPowerIndex (0..4 give 100, 75, 50,
// 25, 12; anything else gives 100).
uint32_t TxPowerPercent(uint32_t txPowerIndex);
