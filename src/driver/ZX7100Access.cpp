// SPDX-License-Identifier: GPL-3.0-or-later
#include "driver/ZX7100Access.h"

ZX7100Access::ZX7100Access(platform::AlertPanel&) {}
ZX7100Access::~ZX7100Access() = default;
bool ZX7100Access::SearchDevice() { return false; }
bool ZX7100Access::OpenConnectToDevice() { return false; }
void ZX7100Access::CloseConnectToDevice() {}
bool ZX7100Access::OidQueryInformation(uint32_t, void*, uint32_t, uint32_t*) { return false; }
bool ZX7100Access::OidSetInformation(uint32_t, void*, uint32_t, uint32_t*, uint32_t) { return false; }
bool ZX7100Access::InitCard() { return false; }
void ZX7100Access::CheckPhyMode() {}
void ZX7100Access::RescanBssidList() {}
void ZX7100Access::QueryBssidList() {}
uint32_t ZX7100Access::ConvertRssiToSignalQuality(int32_t) const { return 0; }
