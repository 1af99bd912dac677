// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScanEntries.h"

#include <cstring>

#include "driver/DriverRecords.h"

namespace sim {
namespace {

constexpr uint8_t kElementSsid = 0;
constexpr uint8_t kElementRates = 1;
constexpr uint8_t kElementDsParameter = 3;
constexpr uint8_t kElementIbssParameter = 6;
constexpr uint8_t kElementExtendedRates = 50;
constexpr uint8_t kElementVendor = 221;

constexpr uint16_t kBeaconIntervalTu = 100;
constexpr uint16_t kCapabilityEss = 0x0001;
constexpr uint16_t kCapabilityIbss = 0x0002;
constexpr uint16_t kCapabilityPrivacy = 0x0010;
constexpr uint16_t kCapabilityShortPreamble = 0x0020;
constexpr uint16_t kCapabilityShortSlot = 0x0400;

// 802.11b/g rates in units of 500 kbit/s; the first four are the basic rates.
constexpr uint8_t kRates[] = {0x02, 0x04, 0x0B, 0x16, 0x0C, 0x12, 0x18, 0x24};
constexpr uint8_t kExtendedRates[] = {0x30, 0x48, 0x60, 0x6C};

constexpr uint8_t kWpaOui[] = {0x00, 0x50, 0xF2};
constexpr uint8_t kSuiteTkip = 2;
constexpr uint8_t kSuiteCcmp = 4;
constexpr uint8_t kKeyManagementNone = 0;
constexpr uint8_t kKeyManagement8021X = 1;
constexpr uint8_t kKeyManagementPsk = 2;

void PutLe16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutElement(std::vector<uint8_t>& out, uint8_t id, const uint8_t* data, size_t size) {
  out.push_back(id);
  out.push_back(static_cast<uint8_t>(size));
  out.insert(out.end(), data, data + size);
}

void PutSuite(std::vector<uint8_t>& out, uint8_t type) {
  out.insert(out.end(), std::begin(kWpaOui), std::end(kWpaOui));
  out.push_back(type);
}

std::vector<uint8_t> WpaElementData(const Network& network) {
  const uint8_t cipher = network.cipher == Cipher::kAes ? kSuiteCcmp : kSuiteTkip;
  const uint8_t keyManagement = network.security == Security::kWpaEap    ? kKeyManagement8021X
                                : network.security == Security::kWpaNone ? kKeyManagementNone
                                                                         : kKeyManagementPsk;
  std::vector<uint8_t> data;
  PutSuite(data, 1);  // OUI 00 50 F2, type 1: the WPA element
  PutLe16(data, 1);   // version
  PutSuite(data, cipher);
  PutLe16(data, 1);
  PutSuite(data, cipher);
  PutLe16(data, 1);
  PutSuite(data, keyManagement);
  return data;
}

bool IsWpa(Security security) {
  return security == Security::kWpaPsk || security == Security::kWpaNone ||
         security == Security::kWpaEap;
}

}  // namespace

std::vector<uint8_t> BuildBeaconIes(const Network& network) {
  std::vector<uint8_t> ies;
  // Timestamp: a plausible uptime in microseconds, different for every network.
  uint64_t timestamp = 0x0000000123456789ULL + network.bssid[5] * 1000003ULL;
  for (int i = 0; i < 8; ++i) ies.push_back(static_cast<uint8_t>(timestamp >> (8 * i)));
  PutLe16(ies, kBeaconIntervalTu);
  uint16_t capabilities = kCapabilityShortPreamble | kCapabilityShortSlot;
  capabilities |= network.mode == NetworkMode::kAdhoc ? kCapabilityIbss : kCapabilityEss;
  if (network.security != Security::kOpen) capabilities |= kCapabilityPrivacy;
  PutLe16(ies, capabilities);

  const size_t ssidLength = network.hidden ? 0 : network.ssid.size();
  PutElement(ies, kElementSsid, reinterpret_cast<const uint8_t*>(network.ssid.data()), ssidLength);
  PutElement(ies, kElementRates, kRates, sizeof(kRates));
  const uint8_t channel = static_cast<uint8_t>(network.channel);
  PutElement(ies, kElementDsParameter, &channel, 1);
  if (network.mode == NetworkMode::kAdhoc) {
    const uint8_t atimWindow[2] = {0, 0};
    PutElement(ies, kElementIbssParameter, atimWindow, sizeof(atimWindow));
  }
  PutElement(ies, kElementExtendedRates, kExtendedRates, sizeof(kExtendedRates));
  if (IsWpa(network.security)) {
    std::vector<uint8_t> data = WpaElementData(network);
    PutElement(ies, kElementVendor, data.data(), data.size());
  }
  return ies;
}

std::vector<uint8_t> BuildScanEntry(const Network& network) {
  const std::vector<uint8_t> ies = network.rawIes ? *network.rawIes : BuildBeaconIes(network);
  const size_t length = (kBssidExFixedSize + ies.size() + 3) & ~size_t{3};

  NDIS_WLAN_BSSID_EX entry{};
  entry.Length = static_cast<uint32_t>(length);
  std::memcpy(entry.MacAddress, network.bssid.data(), 6);
  if (!network.hidden) {
    entry.Ssid.SsidLength = static_cast<uint32_t>(network.ssid.size());
    std::memcpy(entry.Ssid.Ssid, network.ssid.data(), network.ssid.size());
  }
  entry.Privacy = network.security == Security::kOpen ? 0 : 1;
  entry.Rssi = network.signalDbm;
  entry.NetworkTypeInUse = Ndis802_11OFDM24;
  entry.Configuration.Length = sizeof(NDIS_802_11_CONFIGURATION);
  entry.Configuration.BeaconPeriod = kBeaconIntervalTu;
  entry.Configuration.DSConfig = ChannelFrequencyKhz(network.channel);
  entry.InfrastructureMode =
      network.mode == NetworkMode::kAdhoc ? Ndis802_11IBSS : Ndis802_11Infrastructure;
  std::memcpy(entry.SupportedRates, kRates, sizeof(kRates));
  std::memcpy(entry.SupportedRates + sizeof(kRates), kExtendedRates, sizeof(kExtendedRates));
  entry.IELength = static_cast<uint32_t>(ies.size());

  std::vector<uint8_t> bytes(length, 0);
  std::memcpy(bytes.data(), &entry, sizeof(entry));
  if (!ies.empty()) std::memcpy(bytes.data() + kBssidExFixedSize, ies.data(), ies.size());
  return bytes;
}

ScanBlock PackScanBlock(const std::vector<std::vector<uint8_t>>& entries, size_t first,
                        size_t capacity) {
  ScanBlock block;
  block.next = first;
  block.bytes.assign(sizeof(NDIS_802_11_BSSID_LIST_EX), 0);
  uint32_t count = 0;
  while (block.next < entries.size() &&
         block.bytes.size() + entries[block.next].size() <= capacity) {
    const auto& entry = entries[block.next];
    block.bytes.insert(block.bytes.end(), entry.begin(), entry.end());
    ++count;
    ++block.next;
  }
  std::memcpy(block.bytes.data(), &count, sizeof(count));
  return block;
}

}  // namespace sim
