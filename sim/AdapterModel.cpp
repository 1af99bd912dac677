// SPDX-License-Identifier: GPL-3.0-or-later
#include "AdapterModel.h"

#include <algorithm>
#include <cstring>

#include "ScanEntries.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "platform/ServiceWire.h"

namespace sim {
namespace {

constexpr uint32_t kConnected = 0;     // NdisMediaStateConnected
constexpr uint32_t kDisconnected = 1;  // NdisMediaStateDisconnected
constexpr int32_t kNoSignalDbm = -100;
constexpr int32_t kOwnAdhocSignalDbm = -35;

OidReply Failure(int32_t status) {
  return OidReply{status, {}};
}

OidReply Success() {
  return OidReply{wire::kStatusSuccess, {}};
}

OidReply Answer(uint32_t outCapacity, const void* data, size_t size) {
  if (outCapacity < size) return Failure(wire::kStatusBadSize);
  const auto* bytes = static_cast<const uint8_t*>(data);
  return OidReply{wire::kStatusSuccess, std::vector<uint8_t>(bytes, bytes + size)};
}

template <typename T>
OidReply AnswerValue(uint32_t outCapacity, const T& value) {
  return Answer(outCapacity, &value, sizeof(value));
}

uint32_t ReadU32(const uint8_t* in) {
  uint32_t value = 0;
  std::memcpy(&value, in, sizeof(value));
  return value;
}

// A 32-bit setting: a set of exactly 4 bytes within [low, high] replaces `field`.
OidReply SetU32(const uint8_t* in, uint32_t inSize, uint32_t& field, uint32_t low, uint32_t high) {
  if (inSize != sizeof(uint32_t)) return Failure(wire::kStatusBadSize);
  const uint32_t value = ReadU32(in);
  if (value < low || value > high) return Failure(wire::kStatusGeneralError);
  field = value;
  return Success();
}

// The adapter transmits at the highest allowed rate that the signal carries; each rate
// (units of 500 kbit/s) needs at least this level in dBm.
struct RateNeed {
  uint8_t rate;
  int32_t minimumDbm;
};
constexpr RateNeed kRateNeeds[] = {{108, -65}, {96, -66}, {72, -70}, {48, -74},
                                   {36, -77},  {24, -79}, {22, -85}, {18, -81},
                                   {12, -82},  {11, -87}, {4, -89},  {2, -200}};

bool IsOfdmRate(uint8_t rate) {
  return rate != 2 && rate != 4 && rate != 11 && rate != 22;
}

// Counters wrap instead of overflowing, as the driver's do.
void Bump(int64_t& counter) {
  counter = static_cast<int64_t>(static_cast<uint64_t>(counter) + 1);
}

bool IsKnownFrequency(uint32_t kHz) {
  for (uint32_t channel = 1; channel <= 14; ++channel) {
    if (ChannelFrequencyKhz(channel) == kHz) return true;
  }
  // 5 GHz channels, for adapters that list OFDM5.
  return kHz >= 4915000 && kHz <= 5825000 && kHz % 5000 == 0;
}

}  // namespace

AdapterModel::AdapterModel(Scenario scenario, ClockSource clock, uint32_t seed)
    : scenario_(std::move(scenario)), clock_(std::move(clock)), rng_(seed) {
  PowerUp();
}

void AdapterModel::PowerUp() {
  settings_ = Settings{};
  const CounterStart& start = scenario_.adapter.counters;
  counters_ =
      Counters{start.txBytes, start.rxBytes, start.rcvOk, start.rcvNoBuffer, start.statistics};
  wepSlots_ = {};
  transmitSlot_ = -1;
  pairwiseKey_.reset();
  link_.reset();
  reapplyRequested_ = reapplyReadyArmed_ = false;
  reapplyReadyZeros_ = pendingReadyZeros_ = 0;
  lastAdvance_ = clock_();
  // A freshly powered adapter has already swept the band once, so the list is there
  // before the first scan request.
  Scan();
}

void AdapterModel::RequestReapply(uint32_t readyZeros) {
  reapplyRequested_ = true;
  pendingReadyZeros_ = readyZeros;
}

void AdapterModel::SetEepromError(bool on) {
  scenario_.adapter.eepromError = on;
}

void AdapterModel::ReplaceScenario(Scenario scenario) {
  scenario_ = std::move(scenario);
  if (link_ && !link_->ownAdhoc) {
    const bool stillThere = std::any_of(scenario_.networks.begin(), scenario_.networks.end(),
                                        [&](const Network& n) { return n.bssid == link_->bssid; });
    if (!stillThere) link_.reset();
  }
}

OidReply AdapterModel::Handle(uint32_t selector, const uint8_t* in, uint32_t inSize,
                              uint32_t outCapacity) {
  AdvanceTraffic();
  const uint32_t oid = selector & ~OID_SET_FLAG;
  if ((selector & OID_SET_FLAG) != 0) return Set(oid, in, inSize);
  return Query(oid, outCapacity);
}

OidReply AdapterModel::Query(uint32_t oid, uint32_t cap) {
  switch (oid) {
    case OID_GEN_MEDIA_CONNECT_STATUS:
      return AnswerValue(cap, link_ ? kConnected : kDisconnected);
    case OID_GEN_RCV_OK:
      return AnswerValue(cap, counters_.rcvOk);
    case OID_GEN_RCV_NO_BUFFER:
      return AnswerValue(cap, counters_.rcvNoBuffer);
    case OID_802_3_CURRENT_ADDRESS:
      return Answer(cap, scenario_.adapter.mac.data(), 6);
    case OID_802_11_BSSID: {
      MacAddress bssid{};
      if (link_) bssid = link_->bssid;
      return Answer(cap, bssid.data(), bssid.size());
    }
    case OID_802_11_SSID: {
      NDIS_802_11_SSID ssid{};
      if (link_) {
        ssid.SsidLength = static_cast<uint32_t>(link_->ssid.size());
        std::memcpy(ssid.Ssid, link_->ssid.data(), link_->ssid.size());
      }
      return AnswerValue(cap, ssid);
    }
    case OID_802_11_INFRASTRUCTURE_MODE:
      return AnswerValue(cap, settings_.infrastructureMode);
    case OID_802_11_AUTHENTICATION_MODE:
      return AnswerValue(cap, settings_.authenticationMode);
    case OID_802_11_WEP_STATUS:
      return AnswerValue(cap, settings_.wepStatus);
    case OID_802_11_ADD_KEY:
      return QueryKey(false, cap);
    case ZX_OID_802_11_ADD_WPA:
      return QueryKey(true, cap);
    // Actions have nothing to report.
    case OID_802_11_DISASSOCIATE:
    case OID_802_11_BSSID_LIST_SCAN:
    case OID_802_11_REMOVE_KEY:
    case ZX_OID_802_11_RESET_COUNTERS:
      return Success();
    case ZX_OID_802_11_QUERY_REAPPLY_REQUEST: {
      uint32_t value = 0;
      if (reapplyRequested_) {
        value = 1;
        reapplyRequested_ = false;
        reapplyReadyArmed_ = true;
        reapplyReadyZeros_ = pendingReadyZeros_;
      }
      return AnswerValue(cap, value);
    }
    case ZX_OID_802_11_QUERY_REAPPLY_READY: {
      uint32_t value = 0;
      if (reapplyReadyArmed_) {
        if (reapplyReadyZeros_ > 0) {
          --reapplyReadyZeros_;
        } else {
          value = 1;
          reapplyReadyArmed_ = false;
        }
      }
      return AnswerValue(cap, value);
    }
    case OID_802_11_NETWORK_TYPES_SUPPORTED: {
      // NumberOfItems tells the whole count; as many types as the record holds follow.
      NDIS_802_11_NETWORK_TYPE_LIST list{};
      const auto& types = scenario_.adapter.networkTypes;
      list.NumberOfItems = static_cast<uint32_t>(types.size());
      for (size_t i = 0; i < types.size() && i < 4; ++i) list.NetworkType[i] = types[i];
      return AnswerValue(cap, list);
    }
    case OID_802_11_RSSI:
      return AnswerValue(cap, CurrentRssi());
    case OID_802_11_FRAGMENTATION_THRESHOLD:
      return AnswerValue(cap, settings_.fragmentationThreshold);
    case OID_802_11_RTS_THRESHOLD:
      return AnswerValue(cap, settings_.rtsThreshold);
    case OID_802_11_DESIRED_RATES:
      return Answer(cap, settings_.desiredRates.data(), settings_.desiredRates.size());
    case OID_802_11_CONFIGURATION:
      return QueryConfiguration(cap);
    case OID_802_11_POWER_MODE:
      return AnswerValue(cap, settings_.powerMode);
    case OID_802_11_BSSID_LIST:
      return QueryScanBlock(true, cap);
    case ZX_OID_802_11_BSSID_LIST_NEXT:
      return QueryScanBlock(false, cap);
    case OID_802_11_STATISTICS:
      return QueryStatistics(cap);
    case ZX_OID_802_11_PREAMBLE:
      return AnswerValue(cap, settings_.preamble);
    case ZX_OID_802_11_QUERY_LINK_STATUS:
      return QueryLinkStatus(cap);
    case ZX_OID_802_11_RADIO: {
      const uint8_t payload[4] = {static_cast<uint8_t>(settings_.radioOn), 0, 0, 0};
      return Answer(cap, payload, sizeof(payload));
    }
    case ZX_OID_802_11_PHY_MODE:
      return AnswerValue(cap, settings_.phyMode);
    case ZX_OID_802_11_STA_CONFIG:
      return QueryStaConfig(cap);
    case ZX_OID_802_11_TX_POWER_PERCENT:
      return AnswerValue(cap, settings_.txPowerPercent);
    case ZX_OID_VERSION_INFO:
      return AnswerValue(cap, scenario_.adapter.eepromVersion);
    default:
      return Failure(wire::kStatusUnsupported);
  }
}

OidReply AdapterModel::Set(uint32_t oid, const uint8_t* in, uint32_t inSize) {
  switch (oid) {
    case OID_802_11_BSSID: {
      if (inSize != 6) return Failure(wire::kStatusBadSize);
      MacAddress bssid{};
      std::memcpy(bssid.data(), in, bssid.size());
      AssociateByBssid(bssid);
      return Success();
    }
    case OID_802_11_SSID: {
      if (inSize != sizeof(NDIS_802_11_SSID)) return Failure(wire::kStatusBadSize);
      NDIS_802_11_SSID record{};
      std::memcpy(&record, in, sizeof(record));
      if (record.SsidLength > sizeof(record.Ssid)) return Failure(wire::kStatusGeneralError);
      AssociateBySsid(std::string(reinterpret_cast<const char*>(record.Ssid), record.SsidLength));
      return Success();
    }
    case OID_802_11_INFRASTRUCTURE_MODE:
      return SetU32(in, inSize, settings_.infrastructureMode, Ndis802_11IBSS,
                    Ndis802_11AutoUnknown);
    case OID_802_11_DISASSOCIATE:
    case OID_802_11_BSSID_LIST_SCAN:
    case ZX_OID_802_11_RESET_COUNTERS:
      // No content: callers send no bytes or four zero bytes.
      if (inSize != 0 && inSize != sizeof(uint32_t)) return Failure(wire::kStatusBadSize);
      if (oid == OID_802_11_DISASSOCIATE) link_.reset();
      if (oid == OID_802_11_BSSID_LIST_SCAN) Scan();
      if (oid == ZX_OID_802_11_RESET_COUNTERS) {
        counters_.rcvOk = counters_.rcvNoBuffer = 0;
        counters_.statistics = {};
      }
      return Success();
    case OID_802_11_AUTHENTICATION_MODE:
      return SetU32(in, inSize, settings_.authenticationMode, Ndis802_11AuthModeOpen,
                    Ndis802_11AuthModeWPANone);
    case OID_802_11_WEP_STATUS:
      return SetU32(in, inSize, settings_.wepStatus, Ndis802_11WEPEnabled,
                    Ndis802_11Encryption3KeyAbsent);
    case OID_802_11_ADD_KEY:
      return SetKey(false, in, inSize);
    case ZX_OID_802_11_ADD_WPA:
      return SetKey(true, in, inSize);
    case OID_802_11_REMOVE_KEY:
      return RemoveKey(in, inSize);
    case OID_802_11_FRAGMENTATION_THRESHOLD:
      return SetU32(in, inSize, settings_.fragmentationThreshold, 0, UINT32_MAX);
    case OID_802_11_RTS_THRESHOLD:
      return SetU32(in, inSize, settings_.rtsThreshold, 0, UINT32_MAX);
    case OID_802_11_DESIRED_RATES:
      if (inSize != settings_.desiredRates.size()) return Failure(wire::kStatusBadSize);
      std::memcpy(settings_.desiredRates.data(), in, settings_.desiredRates.size());
      return Success();
    case OID_802_11_CONFIGURATION:
      return SetConfiguration(in, inSize);
    case OID_802_11_POWER_MODE:
      return SetU32(in, inSize, settings_.powerMode, Ndis802_11PowerModeCAM,
                    Ndis802_11PowerModeFast_PSP);
    case ZX_OID_802_11_PREAMBLE:
      return SetU32(in, inSize, settings_.preamble, 0, UINT32_MAX);
    case ZX_OID_802_11_RADIO:
      return SetRadio(in, inSize);
    case ZX_OID_802_11_PHY_MODE:
      return SetU32(in, inSize, settings_.phyMode, 0, 3);
    case ZX_OID_802_11_STA_CONFIG:
      return SetStaConfig(in, inSize);
    case ZX_OID_802_11_TX_POWER_PERCENT:
      return SetU32(in, inSize, settings_.txPowerPercent, 1, 100);
    case OID_GEN_MEDIA_CONNECT_STATUS:
    case OID_GEN_RCV_OK:
    case OID_GEN_RCV_NO_BUFFER:
    case OID_802_3_CURRENT_ADDRESS:
    case ZX_OID_802_11_QUERY_REAPPLY_REQUEST:
    case ZX_OID_802_11_QUERY_REAPPLY_READY:
    case OID_802_11_NETWORK_TYPES_SUPPORTED:
    case OID_802_11_RSSI:
    case OID_802_11_BSSID_LIST:
    case ZX_OID_802_11_BSSID_LIST_NEXT:
    case OID_802_11_STATISTICS:
    case ZX_OID_802_11_QUERY_LINK_STATUS:
    case ZX_OID_VERSION_INFO:
    default:
      // Read-only and unknown OIDs cannot be set.
      return Failure(wire::kStatusUnsupported);
  }
}

OidReply AdapterModel::QueryScanBlock(bool first, uint32_t cap) {
  if (first) {
    scanCursor_ = 0;
    continuationAllowed_ = true;
  }
  if (!first && !continuationAllowed_) return Success();
  if (cap < sizeof(NDIS_802_11_BSSID_LIST_EX)) return Failure(wire::kStatusBadSize);
  const size_t capacity = std::min<size_t>(cap, wire::kMaxStructureSize);
  ScanBlock block = PackScanBlock(scanEntries_, scanCursor_, capacity);
  if (block.next == scanCursor_ && scanCursor_ < scanEntries_.size()) {
    // Not even one entry fits: the caller's buffer is too small.
    return Failure(wire::kStatusBadSize);
  }
  scanCursor_ = block.next;
  if (scanCursor_ >= scanEntries_.size()) continuationAllowed_ = false;
  return OidReply{wire::kStatusSuccess, std::move(block.bytes)};
}

OidReply AdapterModel::QueryKey(bool wpaRecord, uint32_t cap) const {
  std::vector<uint8_t> material;
  uint32_t keyIndex = kKeyTransmitBit;
  bool broadcast = false;
  if (!wpaRecord && transmitSlot_ >= 0 && !wepSlots_[transmitSlot_].key.empty()) {
    material = wepSlots_[transmitSlot_].key;
    keyIndex |= static_cast<uint32_t>(transmitSlot_);
    broadcast = true;
  } else if (pairwiseKey_) {
    material.assign(pairwiseKey_->begin(), pairwiseKey_->end());
  } else {
    return Success();  // no key installed
  }
  NDIS_802_11_KEY record{};
  record.Length = static_cast<uint32_t>(material.size()) + kKeyRecordOverhead;
  record.KeyIndex = keyIndex;
  record.KeyLength = static_cast<uint32_t>(material.size());
  if (broadcast) std::memset(record.BSSID, 0xFF, sizeof(record.BSSID));
  std::memcpy(record.KeyMaterial, material.data(), material.size());
  return Answer(cap, &record, record.Length);
}

OidReply AdapterModel::QueryStaConfig(uint32_t cap) const {
  ZX_802_11_STA_CONFIG config{};
  config.EnableTxBurst = settings_.staSettings[0];
  config.EnableTurboRate = settings_.staSettings[1];
  config.UseBGProtection = settings_.staSettings[2];
  config.UseShortSlotTime = settings_.staSettings[3];
  config.UseOfdmRatesIn11gAdhoc = settings_.staSettings[4];
  config.HwRadioStatus = settings_.radioOn;
  config.Rsv1 = settings_.staReserved;
  config.SystemErrorBitmap = scenario_.adapter.eepromError ? 1u : 0u;
  return AnswerValue(cap, config);
}

OidReply AdapterModel::QueryLinkStatus(uint32_t cap) {
  ZX_802_11_LINK_STATUS status{};
  status.TxBytes = counters_.txBytes;
  status.RxBytes = counters_.rxBytes;
  if (link_) {
    status.TxRate = CurrentTxRate();
    const int32_t rssi = CurrentRssi();
    status.LinkQualityRaw = static_cast<uint32_t>(std::clamp((rssi + 90) * 3 / 2, 0, 75));
  }
  return AnswerValue(cap, status);
}

OidReply AdapterModel::QueryStatistics(uint32_t cap) const {
  NDIS_802_11_STATISTICS statistics{};
  statistics.Length = sizeof(statistics);
  int64_t* fields[12] = {&statistics.TransmittedFragmentCount,
                         &statistics.MulticastTransmittedFrameCount,
                         &statistics.FailedCount,
                         &statistics.RetryCount,
                         &statistics.MultipleRetryCount,
                         &statistics.RTSSuccessCount,
                         &statistics.RTSFailureCount,
                         &statistics.ACKFailureCount,
                         &statistics.FrameDuplicateCount,
                         &statistics.ReceivedFragmentCount,
                         &statistics.MulticastReceivedFrameCount,
                         &statistics.FCSErrorCount};
  for (size_t i = 0; i < 12; ++i) {
    int64_t value = counters_.statistics[i];
    std::memcpy(fields[i], &value, sizeof(value));  // the fields sit at 4-byte alignment
  }
  return AnswerValue(cap, statistics);
}

OidReply AdapterModel::QueryConfiguration(uint32_t cap) const {
  NDIS_802_11_CONFIGURATION config{};
  config.Length = sizeof(config);
  config.BeaconPeriod = settings_.beaconPeriod;
  config.ATIMWindow = settings_.atimWindow;
  config.DSConfig = link_ ? link_->frequencyKhz : settings_.adhocFrequencyKhz;
  return AnswerValue(cap, config);
}

OidReply AdapterModel::SetKey(bool wpaRecord, const uint8_t* in, uint32_t inSize) {
  constexpr uint32_t kHeader = offsetof(NDIS_802_11_KEY, KeyMaterial);
  if (inSize < kHeader) return Failure(wire::kStatusBadSize);
  NDIS_802_11_KEY record{};
  std::memcpy(&record, in, std::min<size_t>(inSize, sizeof(record)));
  if (record.KeyLength > sizeof(record.KeyMaterial) || record.Length != inSize ||
      record.Length != record.KeyLength + kKeyRecordOverhead) {
    return Failure(wire::kStatusBadSize);
  }
  if (record.KeyLength == 32) {
    // ADD_WPA: the pairwise master key; ADD_KEY with 32 bytes: the WPA-None key.
    PairwiseMasterKey key{};
    std::memcpy(key.data(), record.KeyMaterial, key.size());
    pairwiseKey_ = key;
    return Success();
  }
  if (wpaRecord || (record.KeyLength != 5 && record.KeyLength != 13)) {
    return Failure(wire::kStatusGeneralError);
  }
  const uint32_t slot = record.KeyIndex & ~kKeyTransmitBit;
  if (slot > 3) return Failure(wire::kStatusGeneralError);
  wepSlots_[slot].key.assign(record.KeyMaterial, record.KeyMaterial + record.KeyLength);
  if ((record.KeyIndex & kKeyTransmitBit) != 0) transmitSlot_ = static_cast<int>(slot);
  return Success();
}

OidReply AdapterModel::RemoveKey(const uint8_t* in, uint32_t inSize) {
  if (inSize != sizeof(NDIS_802_11_REMOVE_KEY)) return Failure(wire::kStatusBadSize);
  NDIS_802_11_REMOVE_KEY record{};
  std::memcpy(&record, in, sizeof(record));
  const uint32_t slot = record.KeyIndex & ~kKeyTransmitBit;
  if (record.Length != sizeof(record) || slot > 3) return Failure(wire::kStatusGeneralError);
  wepSlots_[slot].key.clear();
  return Success();
}

OidReply AdapterModel::SetConfiguration(const uint8_t* in, uint32_t inSize) {
  if (inSize != sizeof(NDIS_802_11_CONFIGURATION)) return Failure(wire::kStatusBadSize);
  NDIS_802_11_CONFIGURATION config{};
  std::memcpy(&config, in, sizeof(config));
  if (!IsKnownFrequency(config.DSConfig)) return Failure(wire::kStatusGeneralError);
  settings_.beaconPeriod = config.BeaconPeriod;
  settings_.atimWindow = config.ATIMWindow;
  settings_.adhocFrequencyKhz = config.DSConfig;
  return Success();
}

OidReply AdapterModel::SetStaConfig(const uint8_t* in, uint32_t inSize) {
  if (inSize != sizeof(ZX_802_11_STA_CONFIG)) return Failure(wire::kStatusBadSize);
  ZX_802_11_STA_CONFIG config{};
  std::memcpy(&config, in, sizeof(config));
  // Only the five settings are the caller's; radio state and error bits stay the driver's.
  settings_.staSettings = {config.EnableTxBurst, config.EnableTurboRate, config.UseBGProtection,
                           config.UseShortSlotTime, config.UseOfdmRatesIn11gAdhoc};
  return Success();
}

OidReply AdapterModel::SetRadio(const uint8_t* in, uint32_t inSize) {
  if (inSize != 4) return Failure(wire::kStatusBadSize);
  if (in[0] > 1) return Failure(wire::kStatusGeneralError);
  settings_.radioOn = in[0];
  if (settings_.radioOn == 0) link_.reset();
  return Success();
}

void AdapterModel::Scan() {
  scanEntries_.clear();
  scanCursor_ = 0;
  continuationAllowed_ = false;        // continuation blocks follow a first-block query only
  if (settings_.radioOn == 0) return;  // a radio that is off hears nothing
  for (const Network& network : scenario_.networks) {
    scanEntries_.push_back(BuildScanEntry(network));
  }
}

bool AdapterModel::ModeMatches(const Network& network) const {
  switch (settings_.infrastructureMode) {
    case Ndis802_11IBSS:
      return network.mode == NetworkMode::kAdhoc;
    case Ndis802_11Infrastructure:
      return network.mode == NetworkMode::kInfrastructure;
    default:
      return true;
  }
}

bool AdapterModel::CipherMatches(Cipher cipher) const {
  const uint32_t wanted =
      cipher == Cipher::kAes ? Ndis802_11Encryption3Enabled : Ndis802_11Encryption2Enabled;
  return settings_.wepStatus == wanted;
}

const PairwiseMasterKey& AdapterModel::ExpectedKey(const Network& network) {
  auto key = std::make_pair(network.passphrase, network.ssid);
  auto it = keyCache_.find(key);
  if (it == keyCache_.end()) {
    it = keyCache_.emplace(key, DerivePairwiseMasterKey(network.passphrase, network.ssid)).first;
  }
  return it->second;
}

bool AdapterModel::SecurityAccepts(const Network& network) {
  const uint32_t auth = settings_.authenticationMode;
  switch (network.security) {
    case Security::kOpen:
      return (auth == Ndis802_11AuthModeOpen || auth == Ndis802_11AuthModeAutoSwitch) &&
             settings_.wepStatus == Ndis802_11WEPDisabled;
    case Security::kWep: {
      const bool authAccepted = (auth == Ndis802_11AuthModeOpen && network.wepOpenAuth) ||
                                (auth == Ndis802_11AuthModeShared && network.wepSharedAuth) ||
                                auth == Ndis802_11AuthModeAutoSwitch;
      return authAccepted && settings_.wepStatus == Ndis802_11WEPEnabled && transmitSlot_ >= 0 &&
             wepSlots_[transmitSlot_].key == network.wepKey;
    }
    case Security::kWpaPsk:
    case Security::kWpaNone: {
      const uint32_t wantedAuth = network.security == Security::kWpaPsk ? Ndis802_11AuthModeWPAPSK
                                                                        : Ndis802_11AuthModeWPANone;
      return auth == wantedAuth && CipherMatches(network.cipher) && pairwiseKey_ &&
             *pairwiseKey_ == ExpectedKey(network);
    }
    case Security::kWpaEap:
      return false;  // no 802.1X supplicant: these networks are never joined
  }
  return false;
}

void AdapterModel::Join(const Network& network) {
  Link link;
  link.ssid = network.ssid;
  link.bssid = network.bssid;
  link.frequencyKhz = ChannelFrequencyKhz(network.channel);
  link.signalDbm = network.signalDbm;
  link_ = link;
}

void AdapterModel::AssociateBySsid(const std::string& ssid) {
  link_.reset();
  if (settings_.radioOn == 0 || ssid.empty()) return;
  for (const Network& network : scenario_.networks) {
    if (network.ssid != ssid || !ModeMatches(network)) continue;
    if (SecurityAccepts(network)) Join(network);
    return;
  }
  if (settings_.infrastructureMode == Ndis802_11IBSS) StartOwnAdhoc(ssid);
}

void AdapterModel::AssociateByBssid(const MacAddress& bssid) {
  link_.reset();
  if (settings_.radioOn == 0) return;
  for (const Network& network : scenario_.networks) {
    if (network.bssid != bssid || !ModeMatches(network)) continue;
    if (SecurityAccepts(network)) Join(network);
    return;
  }
}

void AdapterModel::StartOwnAdhoc(const std::string& ssid) {
  // The new network uses whatever security is configured, provided its key is there.
  const uint32_t auth = settings_.authenticationMode;
  const uint32_t wep = settings_.wepStatus;
  bool keysReady = false;
  if (auth == Ndis802_11AuthModeWPANone) {
    keysReady = pairwiseKey_.has_value() &&
                (wep == Ndis802_11Encryption2Enabled || wep == Ndis802_11Encryption3Enabled);
  } else if (auth == Ndis802_11AuthModeWPA || auth == Ndis802_11AuthModeWPAPSK) {
    keysReady = false;  // WPA with an access point has no meaning in an ad hoc network
  } else if (wep == Ndis802_11WEPEnabled) {
    keysReady = transmitSlot_ >= 0 && !wepSlots_[transmitSlot_].key.empty();
  } else {
    keysReady = wep == Ndis802_11WEPDisabled;
  }
  if (!keysReady) return;
  const MacAddress& mac = scenario_.adapter.mac;
  Link link;
  link.ssid = ssid;
  // A locally administered address derived from the adapter's own.
  link.bssid = {static_cast<uint8_t>((mac[0] | 0x02) & 0xFE), mac[1], mac[2], mac[3], mac[4],
                static_cast<uint8_t>(mac[5] ^ 0x5A)};
  link.frequencyKhz = settings_.adhocFrequencyKhz;
  link.signalDbm = kOwnAdhocSignalDbm;
  link.ownAdhoc = true;
  link_ = link;
}

int32_t AdapterModel::CurrentRssi() {
  if (!link_) return kNoSignalDbm;
  return link_->signalDbm + static_cast<int32_t>(Random(5)) - 2;
}

uint32_t AdapterModel::CurrentTxRate() const {
  if (!link_) return 0;
  const int32_t level = link_->signalDbm;
  uint8_t lowest = 0;
  for (const RateNeed& need : kRateNeeds) {
    const bool desired = std::find(settings_.desiredRates.begin(), settings_.desiredRates.end(),
                                   need.rate) != settings_.desiredRates.end();
    const bool allowedByMode = (settings_.phyMode != 1 || !IsOfdmRate(need.rate)) &&
                               (settings_.phyMode != 2 || IsOfdmRate(need.rate));
    if (!desired || !allowedByMode) continue;
    if (level >= need.minimumDbm) return need.rate;
    lowest = need.rate;
  }
  return lowest != 0 ? lowest : 2;
}

void AdapterModel::AdvanceTraffic() {
  const Clock::time_point now = clock_();
  const auto elapsedMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(now - lastAdvance_).count();
  if (!link_) {
    lastAdvance_ = now;
    return;
  }
  // About 200 frames a second each way; the part of a frame's time not yet spent carries
  // over to the next request. After a long pause only the last few seconds count.
  constexpr int64_t kMillisecondsPerFrame = 5;
  constexpr int64_t kMaxFramesPerStep = 20000;
  const int64_t frames = elapsedMs / kMillisecondsPerFrame;
  lastAdvance_ += std::chrono::milliseconds(frames * kMillisecondsPerFrame);
  if (frames > kMaxFramesPerStep) lastAdvance_ = now;
  auto& s = counters_.statistics;
  for (int64_t i = 0; i < std::min(frames, kMaxFramesPerStep); ++i) {
    counters_.txBytes += 60 + Random(1440);  // wraps at 2^32 like the driver's counters
    counters_.rxBytes += 60 + Random(1440);
    ++counters_.rcvOk;
    if (Random(400) == 0) ++counters_.rcvNoBuffer;
    Bump(s[0]);                         // TransmittedFragmentCount
    if (Random(10) == 0) Bump(s[1]);    // MulticastTransmittedFrameCount
    if (Random(150) == 0) Bump(s[2]);   // FailedCount
    if (Random(8) == 0) Bump(s[3]);     // RetryCount
    if (Random(40) == 0) Bump(s[4]);    // MultipleRetryCount
    if (Random(100) == 0) Bump(s[5]);   // RTSSuccessCount
    if (Random(1000) == 0) Bump(s[6]);  // RTSFailureCount
    if (Random(60) == 0) Bump(s[7]);    // ACKFailureCount
    if (Random(200) == 0) Bump(s[8]);   // FrameDuplicateCount
    Bump(s[9]);                         // ReceivedFragmentCount
    if (Random(5) == 0) Bump(s[10]);    // MulticastReceivedFrameCount
    if (Random(50) == 0) Bump(s[11]);   // FCSErrorCount
  }
}

}  // namespace sim
