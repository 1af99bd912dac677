// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/state/GlobalState.h"

int8_t G_bDeviceExist = 0;
int8_t G_bDialogRunning = 0;
int8_t G_bRescan = 0;
int8_t G_bSupportAMode = 0;
int8_t G_bRadio = 1;
int8_t G_bCheckedProfileConnect = 0;
int8_t G_configFromProfile = 0;
int32_t G_enumWirelessMode = 0;
int32_t G_encryCapa = 6;
std::unique_ptr<uint8_t[]> G_pBssidList;
int32_t G_bCurSelItem = 0;

void ResetGlobalState() {
  G_bDeviceExist = 0;
  G_bDialogRunning = 0;
  G_bRescan = 0;
  G_bSupportAMode = 0;
  G_bRadio = 1;
  G_bCheckedProfileConnect = 0;
  G_configFromProfile = 0;
  G_enumWirelessMode = 0;
  G_encryCapa = 6;
  G_pBssidList.reset();
  G_bCurSelItem = 0;
}
