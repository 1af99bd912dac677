// SPDX-License-Identifier: GPL-3.0-or-later
// The program's only way to the adapter. Every request finds the driver's service, opens
// one connection, makes one structure call followed by the method-1 call, and closes
// everything again; no handle survives between requests.
#pragma once

#include <chrono>
#include <cstdint>

#include "platform/AlertPanel.h"
#include "platform/IOService.h"

class ZX7100Access {
 public:
  // `replyTimeout` bounds the wait for each answer of the driver service.
  explicit ZX7100Access(platform::AlertPanel& alerts, std::chrono::milliseconds replyTimeout =
                                                          platform::kDefaultServiceReplyTimeout);
  ~ZX7100Access();
  ZX7100Access(const ZX7100Access&) = delete;
  ZX7100Access& operator=(const ZX7100Access&) = delete;

  // Finds the last registered service of the driver class into currentDevice/dataService.
  bool SearchDevice();
  // Opens a connection to dataService and waits for the service to accept it.
  bool OpenConnectToDevice();
  // Releases every handle that is set.
  void CloseConnectToDevice();

  // Query: on success the buffer holds the answer and *pReturn its length; on failure the
  // buffer and *pReturn are left untouched. `length` is at most 4,096.
  bool OidQueryInformation(uint32_t oid, void* buffer, uint32_t length, uint32_t* pReturn);
  // Set: OID_SET_FLAG is ORed in; sent exactly once whatever `retry` says. *pReturn is the
  // answer capacity offered (0 when null); nothing that comes back is looked at.
  bool OidSetInformation(uint32_t oid, void* buffer, uint32_t length, uint32_t* pReturn,
                         uint32_t retry);

  // Checks the EEPROM (alert and NO on a version error), probes the network types, scans
  // and fetches the scan list.
  bool InitCard();
  // Sets G_bSupportAMode when the adapter lists 5 GHz OFDM among its first four types.
  void CheckPhyMode();
  // Asks for a scan and blocks for 2 seconds while the driver performs it.
  void RescanBssidList();
  // Fetches the whole scan list into a new G_pBssidList. Only well-formed entries are
  // kept (Length from 104 up, inside its block); blocks that no longer fit end the fetch.
  void QueryBssidList();
  // Signal level in dBm to a percentage 0..100.
  uint32_t ConvertRssiToSignalQuality(int32_t rssi) const;

 private:
  // The answer of the open travels with the request's call instead of costing a round trip
  // of its own; a refused open then fails the call.
  bool OpenConnectionForRequest();
  bool Request(uint32_t selector, void* buffer, uint32_t length, uint32_t* pReturn,
               bool keepAnswer);

  platform::AlertPanel& alerts_;
  std::chrono::milliseconds replyTimeout_;

  // Handles of the request in progress; all empty between requests.
  platform::MasterPort masterPort;
  platform::MatchingDictionaryRef devicesMatch;
  platform::IoIterator iter;
  platform::IoService device;
  platform::IoService currentDevice;
  platform::IoService dataService;
  platform::IoConnect dataPort;
};
