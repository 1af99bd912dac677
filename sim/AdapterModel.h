// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated adapter: answers every OID of the catalogue, keeps what is set and reports
// it back, scans the scenario's neighbourhood, associates only with the right settings and
// keys, and moves its link figures and traffic counters while associated.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "Scenario.h"
#include "WpaKey.h"

namespace sim {

// The answer to one structure call: a status (0 = success) and the bytes written back.
struct OidReply {
  int32_t status = 0;
  std::vector<uint8_t> out;
};

class AdapterModel {
 public:
  using Clock = std::chrono::steady_clock;
  using ClockSource = std::function<Clock::time_point()>;

  explicit AdapterModel(Scenario scenario, ClockSource clock = Clock::now, uint32_t seed = 7100);

  // One structure call. `selector` is the OID code, with OID_SET_FLAG for a set; `in` holds
  // the caller's bytes and the answer is at most `outCapacity` bytes long.
  OidReply Handle(uint32_t selector, const uint8_t* in, uint32_t inSize, uint32_t outCapacity);

  // The next QUERY_REAPPLY_REQUEST answers 1; QUERY_REAPPLY_READY then answers 0
  // `readyZeros` times, then 1.
  void RequestReapply(uint32_t readyZeros);
  void SetEepromError(bool on);
  // New adapter facts and neighbourhood; the scan list changes with the next scan, and a
  // link to a network that is gone is dropped.
  void ReplaceScenario(Scenario scenario);
  // The adapter as just plugged in: settings, keys, link and counters back to their
  // power-up state (the scenario, with its EEPROM error bit, stays).
  void PowerUp();

  bool Associated() const { return link_.has_value(); }

 private:
  struct WepSlot {
    std::vector<uint8_t> key;  // empty: no key in the slot
  };
  struct Link {
    std::string ssid;
    MacAddress bssid{};
    uint32_t frequencyKhz = 0;
    int32_t signalDbm = -60;
    bool ownAdhoc = false;  // an ad hoc network this adapter started itself
  };
  struct Settings {
    uint32_t infrastructureMode = 1;
    uint32_t authenticationMode = 0;
    uint32_t wepStatus = 1;
    uint32_t fragmentationThreshold = 2346;
    uint32_t rtsThreshold = 2347;
    uint32_t powerMode = 0;
    uint32_t preamble = 0;
    uint32_t txPowerPercent = 100;
    uint32_t phyMode = 0;
    uint32_t radioOn = 1;
    std::array<uint8_t, 8> desiredRates{108, 96, 72, 48, 22, 11, 4, 2};
    std::array<uint32_t, 5> staSettings{};  // the five settings of ZX_802_11_STA_CONFIG
    uint32_t staReserved = 0;
    // BeaconPeriod, ATIMWindow, DSConfig of the last CONFIGURATION set.
    uint32_t beaconPeriod = 100;
    uint32_t atimWindow = 0;
    uint32_t adhocFrequencyKhz = 2437000;
  };
  struct Counters {
    uint32_t txBytes = 0;
    uint32_t rxBytes = 0;
    uint32_t rcvOk = 0;
    uint32_t rcvNoBuffer = 0;
    std::array<int64_t, 12> statistics{};
  };

  OidReply Query(uint32_t oid, uint32_t outCapacity);
  OidReply Set(uint32_t oid, const uint8_t* in, uint32_t inSize);

  OidReply QueryScanBlock(bool first, uint32_t outCapacity);
  OidReply QueryKey(bool wpaRecord, uint32_t outCapacity) const;
  OidReply QueryStaConfig(uint32_t outCapacity) const;
  OidReply QueryLinkStatus(uint32_t outCapacity);
  OidReply QueryStatistics(uint32_t outCapacity) const;
  OidReply QueryConfiguration(uint32_t outCapacity) const;

  OidReply SetKey(bool wpaRecord, const uint8_t* in, uint32_t inSize);
  OidReply RemoveKey(const uint8_t* in, uint32_t inSize);
  OidReply SetConfiguration(const uint8_t* in, uint32_t inSize);
  OidReply SetStaConfig(const uint8_t* in, uint32_t inSize);
  OidReply SetRadio(const uint8_t* in, uint32_t inSize);

  void Scan();
  void AssociateBySsid(const std::string& ssid);
  void AssociateByBssid(const MacAddress& bssid);
  void Join(const Network& network);
  void StartOwnAdhoc(const std::string& ssid);
  bool ModeMatches(const Network& network) const;
  bool SecurityAccepts(const Network& network);
  bool CipherMatches(Cipher cipher) const;
  const PairwiseMasterKey& ExpectedKey(const Network& network);

  void AdvanceTraffic();
  uint32_t CurrentTxRate() const;
  int32_t CurrentRssi();
  uint32_t Random(uint32_t below) { return below == 0 ? 0 : rng_() % below; }

  Scenario scenario_;
  ClockSource clock_;
  std::minstd_rand rng_;
  Clock::time_point lastAdvance_;

  Settings settings_;
  Counters counters_;
  std::array<WepSlot, 4> wepSlots_;
  int transmitSlot_ = -1;
  std::optional<PairwiseMasterKey> pairwiseKey_;
  std::optional<Link> link_;

  std::vector<std::vector<uint8_t>> scanEntries_;
  size_t scanCursor_ = 0;
  bool continuationAllowed_ = false;

  bool reapplyRequested_ = false;
  bool reapplyReadyArmed_ = false;
  uint32_t reapplyReadyZeros_ = 0;
  uint32_t pendingReadyZeros_ = 0;

  std::map<std::pair<std::string, std::string>, PairwiseMasterKey> keyCache_;
};

}  // namespace sim
