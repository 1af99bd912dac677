// SPDX-License-Identifier: GPL-3.0-or-later
#include "driver/ZX7100Access.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "driver/ScanList.h"
#include "platform/Delay.h"
#include "platform/ServiceWire.h"

using namespace platform;

namespace {

constexpr uint32_t kEepromVersionErrorBit = 0x1;
constexpr uint32_t kScanWaitTicks = 120;  // 2 seconds of the 60 Hz clock
constexpr uint32_t kScanBlockSize = 4096;
constexpr size_t kMaxScanBlocks = kBssidListBufferSize / kMinBssidEntryLength;

template <typename... Args>
void Trace(const char* format, Args... args) {
  if (__DEBUG__) std::fprintf(stderr, format, args...);
}

void TraceEntry(const char* method) {
  Trace("#### ZX7100Access - %s ####\n", method);
}

// Appends the entries of one delivered block to the list at `listEnd`. Returns false when
// an entry no longer fits, which ends the fetch; entries the walk refuses (too short, or
// running past the block) are left out.
bool AppendBlockEntries(const uint8_t* block, uint32_t blockSize, uint8_t* list, size_t& listEnd,
                        uint32_t& listCount) {
  for (const ScanEntry& entry : ScanListView(block, blockSize)) {
    if (entry.Length() > kBssidListBufferSize - listEnd) return false;
    std::memcpy(list + listEnd, entry.Bytes().data(), entry.Length());
    listEnd += entry.Length();
    ++listCount;
  }
  return true;
}

}  // namespace

ZX7100Access::ZX7100Access(AlertPanel& alerts, std::chrono::milliseconds replyTimeout)
    : alerts_(alerts), replyTimeout_(replyTimeout) {}

ZX7100Access::~ZX7100Access() {
  CloseConnectToDevice();
}

bool ZX7100Access::SearchDevice() {
  TraceEntry("SearchDevice");
  mach_port_deallocate(mach_task_self, masterPort);
  CFRelease(devicesMatch);
  IOObjectRelease(iter);
  IOObjectRelease(device);
  IOObjectRelease(currentDevice);

  if (IOMasterPort(bootstrap_port, masterPort) != KERN_SUCCESS) {
    Trace("!!!! ZX7100Access - SearchDevice - Couldn't create a master IOKit Port. !!!!\n");
    return false;
  }
  devicesMatch = IOServiceMatching(wire::kDriverServiceClass);
  if (devicesMatch == nullptr) {
    Trace("**** ZX7100Access - SearchDevice - Can't create a '%s' matching dictionary. ****\n",
          wire::kDriverServiceClass);
    return false;
  }
  // The search takes the matching dictionary over.
  if (IOServiceGetMatchingServices(masterPort, std::move(devicesMatch), iter) != KERN_SUCCESS) {
    Trace("!!!! ZX7100Access - SearchDevice - Can't create a Service iterator. !!!!\n");
    mach_port_deallocate(mach_task_self, masterPort);
    return false;
  }
  devicesMatch = nullptr;

  // With several adapters the last one listed wins.
  int iterations = 0;
  while ((device = IOIteratorNext(iter))) {
    if (currentDevice) {
      Trace("!!!! ZX7100Access - SearchDevice - But we already have a device I'm confused. !!!!\n");
    }
    currentDevice = device;
    ++iterations;
  }
  Trace("**** ZX7100Access - SearchDevice - Iterations: %d ****\n", iterations);
  if (!currentDevice) {
    Trace(
        "!!!! ZX7100Access - SearchDevice - Couldn't find a WirelessDriver service in registry - "
        "is the card loaded? !!!!\n");
    return false;
  }
  dataService = currentDevice;
  return true;
}

bool ZX7100Access::OpenConnectToDevice() {
  TraceEntry("OpenConnectToDevice");
  if (IOServiceOpen(dataService, mach_task_self, 0, dataPort, OpenReply::kNow, replyTimeout_) !=
      KERN_SUCCESS) {
    Trace("!!!! ZX7100Access - SearchDevice - Couldn't create a user client, why not? !!!!\n");
    return false;
  }
  return true;
}

bool ZX7100Access::OpenConnectionForRequest() {
  TraceEntry("OpenConnectToDevice");
  if (IOServiceOpen(dataService, mach_task_self, 0, dataPort, OpenReply::kWithFirstCall,
                    replyTimeout_) != KERN_SUCCESS) {
    Trace("!!!! ZX7100Access - SearchDevice - Couldn't create a user client, why not? !!!!\n");
    return false;
  }
  return true;
}

void ZX7100Access::CloseConnectToDevice() {
  TraceEntry("CloseConnectToDevice");
  if (iter) IOObjectRelease(iter);
  if (devicesMatch) CFRelease(devicesMatch);
  if (masterPort) mach_port_deallocate(mach_task_self, masterPort);
  if (device) IOObjectRelease(device);
  if (dataPort) IOServiceClose(dataPort);
  // currentDevice and dataService name one service: released once.
  if (currentDevice || dataService) {
    IOObjectRelease(currentDevice);
    IOObjectRelease(dataService);
  }
}

// One request: search, open, the structure call, the method-1 call, close. The answer is
// received into a copy so that a failure leaves the caller's buffer as it was.
bool ZX7100Access::Request(uint32_t selector, void* buffer, uint32_t length, uint32_t* pReturn,
                           bool keepAnswer) {
  if (length > kMaxOidBufferSize || (length > 0 && buffer == nullptr)) return false;
  if (!SearchDevice() || !OpenConnectionForRequest()) {
    CloseConnectToDevice();
    return false;
  }
  uint8_t exchange[kMaxOidBufferSize];
  if (length > 0) std::memcpy(exchange, buffer, length);
  // A set offers whatever the caller's length cell holds as room for an answer.
  uint32_t answerLength =
      keepAnswer ? length : std::min(pReturn != nullptr ? *pReturn : 0, kMaxOidBufferSize);
  kern_return_t result = IOConnectMethodStructureIStructureO(dataPort, selector, length,
                                                             &answerLength, exchange, exchange);
  IOConnectMethodScalarIScalarO(dataPort, wire::kMethodOneSelector, 0, 0);
  CloseConnectToDevice();
  if (result == kIOReturnNotOpen) {
    Trace("!!!! ZX7100Access - SearchDevice - Couldn't create a user client, why not? !!!!\n");
  }
  if (result != KERN_SUCCESS) return false;
  if (keepAnswer) {
    std::memcpy(buffer, exchange, answerLength);
    if (pReturn != nullptr) *pReturn = answerLength;
  }
  return true;
}

bool ZX7100Access::OidQueryInformation(uint32_t oid, void* buffer, uint32_t length,
                                       uint32_t* pReturn) {
  TraceEntry("OidQueryInformation");
  Trace("**** ZX7100Access - Oid = %d ****\n", static_cast<int>(oid));
  return Request(oid, buffer, length, pReturn, /*keepAnswer=*/true);
}

bool ZX7100Access::OidSetInformation(uint32_t oid, void* buffer, uint32_t length, uint32_t* pReturn,
                                     uint32_t /*retry*/) {
  TraceEntry("OidSetInformation");
  return Request(oid | OID_SET_FLAG, buffer, length, pReturn, /*keepAnswer=*/false);
}

bool ZX7100Access::InitCard() {
  TraceEntry("InitCard");
  ZX_802_11_STA_CONFIG config{};
  uint32_t returned = 0;
  OidQueryInformation(ZX_OID_802_11_STA_CONFIG, &config, sizeof(config), &returned);
  if (config.SystemErrorBitmap & kEepromVersionErrorBit) {
    alerts_.Run("EEPRON error!!", "EEPROM Version error. Please update EEPROM contents.");
    return false;
  }
  G_bDialogRunning = 1;
  CheckPhyMode();
  G_bDialogRunning = 0;
  RescanBssidList();
  QueryBssidList();
  G_bRescan = 1;
  return true;
}

void ZX7100Access::CheckPhyMode() {
  TraceEntry("CheckPhyMode");
  NDIS_802_11_NETWORK_TYPE_LIST types{};
  uint32_t returned = 0;
  OidQueryInformation(OID_802_11_NETWORK_TYPES_SUPPORTED, &types, sizeof(types), &returned);
  uint32_t listed = std::min<uint32_t>(types.NumberOfItems, std::size(types.NetworkType));
  for (uint32_t i = 0; i < listed; ++i) {
    if (types.NetworkType[i] == Ndis802_11OFDM5) {
      G_bSupportAMode = 1;
      break;
    }
  }
}

void ZX7100Access::RescanBssidList() {
  TraceEntry("RescanBssidList");
  uint32_t request = 0;
  uint32_t returned = 0;
  OidQueryInformation(OID_802_11_BSSID_LIST_SCAN | OID_SET_FLAG, &request, sizeof(request),
                      &returned);
  Delay(kScanWaitTicks);
}

void ZX7100Access::QueryBssidList() {
  TraceEntry("QueryBssidList");
  auto list = std::make_unique<uint8_t[]>(kBssidListBufferSize);  // zeroed
  auto block = std::make_unique<uint8_t[]>(kScanBlockSize);
  size_t listEnd = sizeof(NDIS_802_11_BSSID_LIST_EX);
  uint32_t listCount = 0;

  // The first block answers OID_802_11_BSSID_LIST, the next ones BSSID_LIST_NEXT until one
  // comes back empty or fails. Every block passes through the same checks. A driver that
  // never stops sending blocks is asked no more often than the list could take entries.
  uint32_t oid = OID_802_11_BSSID_LIST;
  for (size_t blocks = 0; blocks < kMaxScanBlocks; ++blocks) {
    std::memset(block.get(), 0, kScanBlockSize);
    uint32_t returned = 0;
    if (!OidQueryInformation(oid, block.get(), kScanBlockSize, &returned) || returned == 0) break;
    if (!AppendBlockEntries(block.get(), returned, list.get(), listEnd, listCount)) break;
    oid = ZX_OID_802_11_BSSID_LIST_NEXT;
  }
  std::memcpy(list.get(), &listCount, sizeof(listCount));
  G_pBssidList = std::move(list);
}

uint32_t ZX7100Access::ConvertRssiToSignalQuality(int32_t rssi) const {
  if (rssi >= -50) return 100;
  if (rssi >= -80) return static_cast<uint32_t>((rssi + 80) * 2.6 + 24);
  if (rssi >= -90) return static_cast<uint32_t>((rssi + 90) * 2.6);
  return 0;
}
