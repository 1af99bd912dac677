// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic behind the Link Status page's figures, apart from the widgets.
#pragma once

#include <cstdint>
#include <string>

// "1 Mbps", "5.5 Mbps", ...: `txRate` counts units of 500 kbit/s.
std::string TxRateText(uint32_t txRate);

// Kilobits per second over one 2-second tick from a byte counter that wraps at 2^32, as
// "%.1f" of the whole quotient; `previous` becomes `now`.
std::string ThroughputText(uint32_t now, uint32_t& previous);

// The driver's quality figure as a percentage (raw x 1.2 + 10, at most 100), averaged with
// `previous` unless that is 0 (no sample yet); rounded half up.
uint32_t SmoothLinkQuality(uint32_t previous, uint32_t raw);
// A signal percentage averaged with `previous` unless that is 0; rounded half up.
uint32_t SmoothSignalQuality(uint32_t previous, uint32_t percent);

// "GOOD " above 70, "NORMAL " above 40, otherwise "WEAK ".
const char* QualityGrade(uint32_t percent);
