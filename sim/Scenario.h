// SPDX-License-Identifier: GPL-3.0-or-later
// What trelvaned simulates: the adapter itself and the networks in radio range. A scenario
// comes from a JSON file (format in docs/scenario.md) or from the built-in neighbourhood.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace sim {

using MacAddress = std::array<uint8_t, 6>;

enum class NetworkMode { kInfrastructure, kAdhoc };
enum class Security { kOpen, kWep, kWpaPsk, kWpaNone, kWpaEap };
enum class Cipher { kTkip, kAes };

struct Network {
  std::string ssid;  // 0..32 bytes
  MacAddress bssid{};
  uint32_t channel = 1;  // 1..14
  int32_t signalDbm = -60;
  NetworkMode mode = NetworkMode::kInfrastructure;
  Security security = Security::kOpen;
  // WEP: 5 or 13 key bytes and the authentication modes the network accepts.
  std::vector<uint8_t> wepKey;
  bool wepOpenAuth = true;
  bool wepSharedAuth = true;
  // WPA: a passphrase of 8..63 characters, or 64 hexadecimal digits (the key itself).
  std::string passphrase;
  Cipher cipher = Cipher::kTkip;
  // Beacons carry an empty SSID; the network is joined by its real name.
  bool hidden = false;
  // Crafted IE area (the 12 fixed bytes included) served instead of the generated one.
  std::optional<std::vector<uint8_t>> rawIes;
};

// Starting values of the driver's counters (the link status and statistics figures).
struct CounterStart {
  uint32_t txBytes = 0;
  uint32_t rxBytes = 0;
  uint32_t rcvOk = 0;
  uint32_t rcvNoBuffer = 0;
  std::array<int64_t, 12> statistics{};  // in NDIS_802_11_STATISTICS order
};

struct AdapterInfo {
  MacAddress mac{0x00, 0x0C, 0x41, 0x7A, 0x10, 0x01};
  uint32_t eepromVersion = 0x0102;           // major in bits 15..8, minor in bits 7..0
  std::vector<uint32_t> networkTypes{1, 3};  // DS and OFDM24: an 802.11b/g adapter
  bool eepromError = false;
  std::string driverVersion = "1.0.0";
  std::string driverDate = "2006-05-12";
  CounterStart counters;
};

struct Scenario {
  AdapterInfo adapter;
  std::vector<Network> networks;
};

// A scenario file that cannot be used; what() names the fault (and the file, for files).
class ScenarioError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The neighbourhood served without --scenario: networks of every kind on channels 1..14.
Scenario DefaultScenario();

// Parses scenario JSON text; throws ScenarioError naming the faulty field.
Scenario ParseScenario(const std::string& text);

// Reads and parses a scenario file; throws ScenarioError whose message names the file.
Scenario LoadScenarioFile(const std::string& path);

// Centre frequency in kHz of a 2.4 GHz channel (1..14); 0 for any other number.
uint32_t ChannelFrequencyKhz(uint32_t channel);

}  // namespace sim
