// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scenario.h"

#include <cctype>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "driver/DriverRecords.h"

namespace sim {
namespace {

using nlohmann::json;

// Largest crafted IE area: one entry must still fit a 4,096-byte scan-list block.
constexpr size_t kMaxRawIes = 4096 - sizeof(NDIS_802_11_BSSID_LIST_EX) - kBssidExFixedSize;

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
  throw ScenarioError(where + ": " + what);
}

void RejectUnknownKeys(const json& object, const std::string& where,
                       const std::set<std::string>& known) {
  for (const auto& item : object.items()) {
    if (known.count(item.key()) == 0) Fail(where + "." + item.key(), "unknown field");
  }
}

const json* Field(const json& object, const char* key) {
  auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

std::string StringField(const json& value, const std::string& where) {
  if (!value.is_string()) Fail(where, "must be a string");
  return value.get<std::string>();
}

bool BoolField(const json& value, const std::string& where) {
  if (!value.is_boolean()) Fail(where, "must be true or false");
  return value.get<bool>();
}

int64_t IntegerField(const json& value, const std::string& where, int64_t low, int64_t high) {
  if (!value.is_number_integer()) Fail(where, "must be an integer");
  int64_t number = 0;
  if (value.is_number_unsigned()) {
    uint64_t raw = value.get<uint64_t>();
    if (raw > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
      Fail(where, "out of range");
    }
    number = static_cast<int64_t>(raw);
  } else {
    number = value.get<int64_t>();
  }
  if (number < low || number > high) {
    Fail(where, "must be between " + std::to_string(low) + " and " + std::to_string(high));
  }
  return number;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Hexadecimal text to bytes; blanks, ':' and '-' between pairs are allowed.
std::vector<uint8_t> HexBytes(const std::string& text, const std::string& where) {
  std::vector<uint8_t> bytes;
  int high = -1;
  for (char c : text) {
    if (c == ' ' || c == ':' || c == '-') {
      if (high >= 0) Fail(where, "odd number of hexadecimal digits");
      continue;
    }
    int digit = HexDigit(c);
    if (digit < 0) Fail(where, std::string("not a hexadecimal digit: '") + c + "'");
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
      high = -1;
    }
  }
  if (high >= 0) Fail(where, "odd number of hexadecimal digits");
  return bytes;
}

MacAddress ParseMac(const json& value, const std::string& where) {
  std::vector<uint8_t> bytes = HexBytes(StringField(value, where), where);
  if (bytes.size() != 6) Fail(where, "must be six bytes, e.g. \"00:0C:41:7A:10:01\"");
  MacAddress mac{};
  std::copy(bytes.begin(), bytes.end(), mac.begin());
  return mac;
}

uint32_t ParseEepromVersion(const json& value, const std::string& where) {
  if (value.is_number_integer())
    return static_cast<uint32_t>(IntegerField(value, where, 0, 0xFFFF));
  std::string text = StringField(value, where);
  unsigned major = 0, minor = 0;
  char dot = 0, extra = 0;
  std::istringstream in(text);
  if (!(in >> major >> dot >> minor) || dot != '.' || (in >> extra) || major > 255 || minor > 255) {
    Fail(where, "must be \"major.minor\" (0..255 each) or a number");
  }
  return (major << 8) | minor;
}

std::vector<uint32_t> ParseNetworkTypes(const json& value, const std::string& where) {
  if (!value.is_array()) Fail(where, "must be an array");
  std::vector<uint32_t> types;
  for (size_t i = 0; i < value.size(); ++i) {
    const std::string at = where + "[" + std::to_string(i) + "]";
    const json& item = value[i];
    if (item.is_string()) {
      static const std::pair<const char*, uint32_t> kNames[] = {
          {"FH", 0}, {"DS", 1}, {"OFDM5", 2}, {"OFDM24", 3}};
      bool found = false;
      for (const auto& [name, type] : kNames) {
        if (item.get<std::string>() == name) {
          types.push_back(type);
          found = true;
        }
      }
      if (!found) Fail(at, "must be FH, DS, OFDM5, OFDM24 or a number");
    } else {
      types.push_back(static_cast<uint32_t>(IntegerField(item, at, 0, 0xFFFFFFFF)));
    }
  }
  return types;
}

CounterStart ParseCounters(const json& value, const std::string& where) {
  if (!value.is_object()) Fail(where, "must be an object");
  static const char* const kStatistics[12] = {"TransmittedFragmentCount",
                                              "MulticastTransmittedFrameCount",
                                              "FailedCount",
                                              "RetryCount",
                                              "MultipleRetryCount",
                                              "RTSSuccessCount",
                                              "RTSFailureCount",
                                              "ACKFailureCount",
                                              "FrameDuplicateCount",
                                              "ReceivedFragmentCount",
                                              "MulticastReceivedFrameCount",
                                              "FCSErrorCount"};
  std::set<std::string> known{"tx_bytes", "rx_bytes", "rcv_ok", "rcv_no_buffer"};
  for (const char* name : kStatistics) known.insert(name);
  RejectUnknownKeys(value, where, known);

  CounterStart counters;
  constexpr int64_t kU32Max = 0xFFFFFFFF;
  auto u32 = [&](const char* key, uint32_t& out) {
    if (const json* field = Field(value, key)) {
      out = static_cast<uint32_t>(IntegerField(*field, where + "." + key, 0, kU32Max));
    }
  };
  u32("tx_bytes", counters.txBytes);
  u32("rx_bytes", counters.rxBytes);
  u32("rcv_ok", counters.rcvOk);
  u32("rcv_no_buffer", counters.rcvNoBuffer);
  for (size_t i = 0; i < 12; ++i) {
    if (const json* field = Field(value, kStatistics[i])) {
      counters.statistics[i] =
          IntegerField(*field, where + "." + kStatistics[i], std::numeric_limits<int64_t>::min(),
                       std::numeric_limits<int64_t>::max());
    }
  }
  return counters;
}

AdapterInfo ParseAdapter(const json& value) {
  const std::string where = "adapter";
  if (!value.is_object()) Fail(where, "must be an object");
  RejectUnknownKeys(value, where,
                    {"mac", "eeprom_version", "network_types", "eeprom_error", "driver_version",
                     "driver_date", "counters"});
  AdapterInfo adapter;
  if (const json* f = Field(value, "mac")) adapter.mac = ParseMac(*f, where + ".mac");
  if (const json* f = Field(value, "eeprom_version")) {
    adapter.eepromVersion = ParseEepromVersion(*f, where + ".eeprom_version");
  }
  if (const json* f = Field(value, "network_types")) {
    adapter.networkTypes = ParseNetworkTypes(*f, where + ".network_types");
  }
  if (const json* f = Field(value, "eeprom_error")) {
    adapter.eepromError = BoolField(*f, where + ".eeprom_error");
  }
  if (const json* f = Field(value, "driver_version")) {
    adapter.driverVersion = StringField(*f, where + ".driver_version");
  }
  if (const json* f = Field(value, "driver_date")) {
    adapter.driverDate = StringField(*f, where + ".driver_date");
  }
  if (const json* f = Field(value, "counters")) {
    adapter.counters = ParseCounters(*f, where + ".counters");
  }
  return adapter;
}

bool IsHexText(const std::string& text) {
  for (char c : text) {
    if (HexDigit(c) < 0) return false;
  }
  return true;
}

void ParseWpaFields(const json& value, const std::string& where, Network& network) {
  const json* passphrase = Field(value, "passphrase");
  if (passphrase == nullptr) Fail(where + ".passphrase", "required for this security");
  network.passphrase = StringField(*passphrase, where + ".passphrase");
  const size_t length = network.passphrase.size();
  const bool hexKey = length == 64 && IsHexText(network.passphrase);
  if (!hexKey && (length < 8 || length > 63)) {
    Fail(where + ".passphrase", "must be 8..63 characters or 64 hexadecimal digits");
  }
  for (unsigned char c : network.passphrase) {
    if (c < 32 || c > 126) Fail(where + ".passphrase", "must be printable ASCII");
  }
  if (const json* cipher = Field(value, "cipher")) {
    std::string text = StringField(*cipher, where + ".cipher");
    if (text == "tkip") {
      network.cipher = Cipher::kTkip;
    } else if (text == "aes") {
      network.cipher = Cipher::kAes;
    } else {
      Fail(where + ".cipher", "must be \"tkip\" or \"aes\"");
    }
  }
}

void ParseWepFields(const json& value, const std::string& where, Network& network) {
  const json* key = Field(value, "wep_key");
  if (key == nullptr) Fail(where + ".wep_key", "required for security \"wep\"");
  network.wepKey = HexBytes(StringField(*key, where + ".wep_key"), where + ".wep_key");
  if (network.wepKey.size() != 5 && network.wepKey.size() != 13) {
    Fail(where + ".wep_key", "must be 10 or 26 hexadecimal digits");
  }
  if (const json* auth = Field(value, "wep_auth")) {
    std::string text = StringField(*auth, where + ".wep_auth");
    if (text == "open") {
      network.wepOpenAuth = true;
      network.wepSharedAuth = false;
    } else if (text == "shared") {
      network.wepOpenAuth = false;
      network.wepSharedAuth = true;
    } else if (text == "both") {
      network.wepOpenAuth = network.wepSharedAuth = true;
    } else {
      Fail(where + ".wep_auth", "must be \"open\", \"shared\" or \"both\"");
    }
  }
}

Network ParseNetwork(const json& value, size_t index) {
  const std::string where = "networks[" + std::to_string(index) + "]";
  if (!value.is_object()) Fail(where, "must be an object");
  RejectUnknownKeys(value, where,
                    {"ssid", "bssid", "channel", "signal_dbm", "mode", "security", "wep_key",
                     "wep_auth", "passphrase", "cipher", "hidden", "raw_ies"});
  Network network;
  const json* ssid = Field(value, "ssid");
  if (ssid == nullptr) Fail(where + ".ssid", "required");
  network.ssid = StringField(*ssid, where + ".ssid");
  if (network.ssid.size() > 32) Fail(where + ".ssid", "longer than 32 bytes");
  if (network.ssid.find('\0') != std::string::npos) Fail(where + ".ssid", "contains a zero byte");

  const json* bssid = Field(value, "bssid");
  if (bssid == nullptr) Fail(where + ".bssid", "required");
  network.bssid = ParseMac(*bssid, where + ".bssid");

  const json* channel = Field(value, "channel");
  if (channel == nullptr) Fail(where + ".channel", "required");
  network.channel = static_cast<uint32_t>(IntegerField(*channel, where + ".channel", 1, 14));

  if (const json* f = Field(value, "signal_dbm")) {
    network.signalDbm = static_cast<int32_t>(IntegerField(*f, where + ".signal_dbm", -120, 0));
  }
  if (const json* f = Field(value, "mode")) {
    std::string text = StringField(*f, where + ".mode");
    if (text == "infrastructure") {
      network.mode = NetworkMode::kInfrastructure;
    } else if (text == "adhoc") {
      network.mode = NetworkMode::kAdhoc;
    } else {
      Fail(where + ".mode", "must be \"infrastructure\" or \"adhoc\"");
    }
  }
  std::string security = "open";
  if (const json* f = Field(value, "security")) security = StringField(*f, where + ".security");
  if (security == "open") {
    network.security = Security::kOpen;
  } else if (security == "wep") {
    network.security = Security::kWep;
    ParseWepFields(value, where, network);
  } else if (security == "wpa-psk" || security == "wpa-none" || security == "wpa-eap") {
    network.security = security == "wpa-psk"    ? Security::kWpaPsk
                       : security == "wpa-none" ? Security::kWpaNone
                                                : Security::kWpaEap;
    if (network.security == Security::kWpaEap) {
      // An 802.1X network has no pre-shared key: only its cipher is described.
      if (Field(value, "passphrase") != nullptr) {
        Fail(where + ".passphrase", "not used by \"wpa-eap\" networks");
      }
      if (const json* c = Field(value, "cipher")) {
        std::string text = StringField(*c, where + ".cipher");
        if (text != "tkip" && text != "aes") Fail(where + ".cipher", "must be \"tkip\" or \"aes\"");
        network.cipher = text == "aes" ? Cipher::kAes : Cipher::kTkip;
      }
    } else {
      ParseWpaFields(value, where, network);
    }
  } else {
    Fail(where + ".security", "must be open, wep, wpa-psk, wpa-none or wpa-eap");
  }
  if (network.security == Security::kWpaNone && network.mode != NetworkMode::kAdhoc) {
    Fail(where + ".security", "\"wpa-none\" needs \"mode\": \"adhoc\"");
  }
  if ((network.security == Security::kWpaPsk || network.security == Security::kWpaEap) &&
      network.mode != NetworkMode::kInfrastructure) {
    Fail(where + ".security", "\"" + security + "\" needs \"mode\": \"infrastructure\"");
  }
  if (const json* f = Field(value, "hidden")) network.hidden = BoolField(*f, where + ".hidden");
  if (const json* f = Field(value, "raw_ies")) {
    std::vector<uint8_t> ies = HexBytes(StringField(*f, where + ".raw_ies"), where + ".raw_ies");
    if (ies.size() > kMaxRawIes) {
      Fail(where + ".raw_ies", "longer than " + std::to_string(kMaxRawIes) + " bytes");
    }
    network.rawIes = std::move(ies);
  }
  return network;
}

Network MakeNetwork(const char* ssid, uint8_t last, uint32_t channel, int32_t signal) {
  Network network;
  network.ssid = ssid;
  network.bssid = {0x00, 0x1A, 0x2B, 0x3C, 0x00, last};
  network.channel = channel;
  network.signalDbm = signal;
  return network;
}

}  // namespace

uint32_t ChannelFrequencyKhz(uint32_t channel) {
  if (channel >= 1 && channel <= 13) return 2407000 + 5000 * channel;
  if (channel == 14) return 2484000;
  return 0;
}

Scenario ParseScenario(const std::string& text) {
  json root = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (root.is_discarded()) {
    // Parse again with exceptions to get the position of the fault.
    try {
      root = json::parse(text);
    } catch (const json::parse_error& error) {
      throw ScenarioError(std::string("not valid JSON: ") + error.what());
    }
  }
  if (!root.is_object()) throw ScenarioError("the top level must be a JSON object");
  RejectUnknownKeys(root, "scenario", {"adapter", "networks"});
  Scenario scenario;
  if (const json* adapter = Field(root, "adapter")) scenario.adapter = ParseAdapter(*adapter);
  if (const json* networks = Field(root, "networks")) {
    if (!networks->is_array()) Fail("networks", "must be an array");
    for (size_t i = 0; i < networks->size(); ++i) {
      scenario.networks.push_back(ParseNetwork((*networks)[i], i));
    }
  }
  return scenario;
}

Scenario LoadScenarioFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScenarioError("scenario file " + path + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw ScenarioError("scenario file " + path + ": read error");
  try {
    return ParseScenario(text.str());
  } catch (const ScenarioError& error) {
    throw ScenarioError("scenario file " + path + ": " + error.what());
  }
}

Scenario DefaultScenario() {
  Scenario scenario;
  std::vector<Network>& n = scenario.networks;

  n.push_back(MakeNetwork("ZvOpenCafe", 0x01, 1, -48));

  Network wep64 = MakeNetwork("ZvWep64", 0x02, 3, -61);
  wep64.security = Security::kWep;
  wep64.wepKey = {0xA1, 0xB2, 0xC3, 0xD4, 0xE5};
  n.push_back(wep64);

  Network wep128 = MakeNetwork("ZvWep128Shared", 0x03, 4, -69);
  wep128.security = Security::kWep;
  wep128.wepKey = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D};
  wep128.wepOpenAuth = false;
  n.push_back(wep128);

  Network tkip = MakeNetwork("ZvHomeTKIP", 0x04, 6, -55);
  tkip.security = Security::kWpaPsk;
  tkip.passphrase = "tkip-passphrase";
  tkip.cipher = Cipher::kTkip;
  n.push_back(tkip);

  Network aes = MakeNetwork("ZvOfficeAES", 0x05, 8, -64);
  aes.security = Security::kWpaPsk;
  aes.passphrase = "aes-passphrase-2006";
  aes.cipher = Cipher::kAes;
  n.push_back(aes);

  Network eap = MakeNetwork("ZvCorp8021X", 0x06, 11, -74);
  eap.security = Security::kWpaEap;
  eap.cipher = Cipher::kTkip;
  n.push_back(eap);

  Network adhocOpen = MakeNetwork("ZvAdhocOpen", 0x07, 10, -67);
  adhocOpen.mode = NetworkMode::kAdhoc;
  adhocOpen.bssid = {0x02, 0x1A, 0x2B, 0x3C, 0x00, 0x07};
  n.push_back(adhocOpen);

  Network adhocWpa = MakeNetwork("ZvAdhocWpaNone", 0x08, 13, -77);
  adhocWpa.mode = NetworkMode::kAdhoc;
  adhocWpa.bssid = {0x02, 0x1A, 0x2B, 0x3C, 0x00, 0x08};
  adhocWpa.security = Security::kWpaNone;
  adhocWpa.passphrase = "adhoc-wpa-none";
  adhocWpa.cipher = Cipher::kTkip;
  n.push_back(adhocWpa);

  Network hidden = MakeNetwork("ZvHiddenLab", 0x09, 14, -71);
  hidden.hidden = true;
  hidden.security = Security::kWpaPsk;
  hidden.passphrase = "hidden-lab-key";
  hidden.cipher = Cipher::kAes;
  n.push_back(hidden);

  n.push_back(MakeNetwork("ZvFarAway", 0x0A, 2, -87));
  return scenario;
}

}  // namespace sim
