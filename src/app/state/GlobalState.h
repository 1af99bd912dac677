// SPDX-License-Identifier: GPL-3.0-or-later
// The process-wide state through which the pages coordinate. Everything here is read and
// written on the main thread only; widths and initial values are part of the contract
// between the pages, so they are plain fixed-width variables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Size of the scan-list buffer that G_pBssidList points to.
inline constexpr std::size_t kBssidListBufferSize = 65536;

extern int8_t G_bDeviceExist;            // driver service found and opened at the last check
extern int8_t G_bDialogRunning;          // set while InitCard probes the network types
extern int8_t G_bRescan;                 // a fresh scan list waits to be shown
extern int8_t G_bSupportAMode;           // adapter supports 5 GHz OFDM; never cleared
extern int8_t G_bRadio;                  // radio switched on (starts at 1)
extern int8_t G_bCheckedProfileConnect;  // the active profile's link is up
extern int8_t G_configFromProfile;       // current configuration came from a profile
extern int32_t G_enumWirelessMode;       // wireless mode chosen on the advanced page
extern int32_t G_encryCapa;              // encryption capability (6: TKIP and AES)
// The last scan list (kBssidListBufferSize bytes), or null before the first fetch.
extern std::unique_ptr<uint8_t[]> G_pBssidList;
// Row of the survey table whose BSSID is the associated one; -1 for none. Wider than the
// original byte so that lists of 128 entries or more never mark the wrong row.
extern int32_t G_bCurSelItem;

// Trace switch, fixed when the program is built.
#ifdef ZV_DEBUG_TRACE
inline constexpr uint8_t __DEBUG__ = 1;
#else
inline constexpr uint8_t __DEBUG__ = 0;
#endif

// Puts every flag back to its initial value and drops the scan list (used by tests that
// run several scenarios in one process).
void ResetGlobalState();
