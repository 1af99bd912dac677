// SPDX-License-Identifier: GPL-3.0-or-later
// The program's only way to the adapter. Every request finds the driver's service, opens
// one connection, makes one structure call followed by the method-1 call, and closes
// everything again; no handle survives between requests.
#pragma once

#include <cstdint>

#include "platform/AlertPanel.h"

class ZX7100Access {
 public:
  explicit ZX7100Access(platform::AlertPanel& alerts);
  ~ZX7100Access();
  ZX7100Access(const ZX7100Access&) = delete;
  ZX7100Access& operator=(const ZX7100Access&) = delete;

  bool SearchDevice();
  bool OpenConnectToDevice();
  void CloseConnectToDevice();

  // Query: on failure the buffer and *pReturn are left untouched.
  bool OidQueryInformation(uint32_t oid, void* buffer, uint32_t length, uint32_t* pReturn);
  // Set: OID_SET_FLAG is ORed in; sent exactly once whatever `retry` says.
  bool OidSetInformation(uint32_t oid, void* buffer, uint32_t length, uint32_t* pReturn,
                         uint32_t retry);

  bool InitCard();
  void CheckPhyMode();
  void RescanBssidList();
  void QueryBssidList();
  uint32_t ConvertRssiToSignalQuality(int32_t rssi) const;

  // (private handles of the request in progress are declared by the implementation)
};
