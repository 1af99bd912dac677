// SPDX-License-Identifier: GPL-3.0-or-later
// Scenario files and the built-in neighbourhood.
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "ScanEntries.h"
#include "Scenario.h"
#include "driver/DriverRecords.h"

namespace {

TEST(Scenario, MalformedFilesNameTheFault) {
  const std::pair<const char*, const char*> cases[] = {
      {"{", "not valid JSON"},
      {"[]", "top level must be a JSON object"},
      {R"({"netwerks": []})", "scenario.netwerks: unknown field"},
      {R"({"networks": {}})", "networks: must be an array"},
      {R"({"networks": [{"ssid": "a", "channel": 1}]})", "networks[0].bssid: required"},
      {R"({"networks": [{"ssid": "a", "bssid": "00:11:22:33:44", "channel": 1}]})",
       "networks[0].bssid: must be six bytes"},
      {R"({"networks": [{"ssid": "a", "bssid": "001122334455", "channel": 15}]})",
       "networks[0].channel: must be between 1 and 14"},
      {R"({"networks": [{"ssid": "0123456789abcdef0123456789abcdefX", "bssid": "001122334455",
          "channel": 1}]})",
       "networks[0].ssid: longer than 32 bytes"},
      {R"({"networks": [{"ssid": "a", "bssid": "001122334455", "channel": 1,
          "security": "wep", "wep_key": "0102030405FF"}]})",
       "networks[0].wep_key: must be 10 or 26 hexadecimal digits"},
      {R"({"networks": [{"ssid": "a", "bssid": "001122334455", "channel": 1,
          "security": "wpa-psk", "passphrase": "short"}]})",
       "networks[0].passphrase: must be 8..63 characters"},
      {R"({"networks": [{"ssid": "a", "bssid": "001122334455", "channel": 1,
          "security": "wpa-none", "passphrase": "long enough"}]})",
       "\"wpa-none\" needs \"mode\": \"adhoc\""},
      {R"({"networks": [{"ssid": "a", "bssid": "001122334455", "channel": 1, "raw_ies": "0g"}]})",
       "networks[0].raw_ies: not a hexadecimal digit"},
      {R"({"adapter": {"eeprom_version": "1.x"}})", "adapter.eeprom_version"},
      {R"({"adapter": {"counters": {"tx_bytes": 4294967296}}})",
       "adapter.counters.tx_bytes: must be between 0 and 4294967295"},
  };
  for (const auto& [text, fault] : cases) {
    SCOPED_TRACE(text);
    try {
      sim::ParseScenario(text);
      ADD_FAILURE() << "accepted";
    } catch (const sim::ScenarioError& error) {
      EXPECT_NE(std::string(error.what()).find(fault), std::string::npos) << error.what();
    }
  }
}

TEST(Scenario, DefaultNeighbourhoodHasEveryKindOfNetwork) {
  const sim::Scenario scenario = sim::DefaultScenario();
  std::set<sim::Security> securities;
  std::set<std::pair<sim::NetworkMode, sim::Security>> kinds;
  std::set<size_t> wepKeyLengths;
  std::set<sim::Cipher> pskCiphers;
  uint32_t lowest = 14, highest = 1;
  bool hidden = false;
  for (const sim::Network& network : scenario.networks) {
    kinds.insert({network.mode, network.security});
    if (network.security == sim::Security::kWep) wepKeyLengths.insert(network.wepKey.size());
    if (network.security == sim::Security::kWpaPsk) pskCiphers.insert(network.cipher);
    hidden = hidden || network.hidden;
    lowest = std::min(lowest, network.channel);
    highest = std::max(highest, network.channel);
  }
  using M = sim::NetworkMode;
  using S = sim::Security;
  for (auto kind : {std::pair{M::kInfrastructure, S::kOpen},
                    {M::kInfrastructure, S::kWep},
                    {M::kInfrastructure, S::kWpaPsk},
                    {M::kInfrastructure, S::kWpaEap},
                    {M::kAdhoc, S::kOpen},
                    {M::kAdhoc, S::kWpaNone}}) {
    EXPECT_EQ(kinds.count(kind), 1u);
  }
  EXPECT_EQ(wepKeyLengths, (std::set<size_t>{5, 13}));
  EXPECT_EQ(pskCiphers, (std::set<sim::Cipher>{sim::Cipher::kTkip, sim::Cipher::kAes}));
  EXPECT_TRUE(hidden);
  EXPECT_EQ(lowest, 1u);
  EXPECT_EQ(highest, 14u);
}

// Element `id` of an entry's IE area (after the 12 fixed bytes); empty when absent.
std::vector<uint8_t> Element(const std::vector<uint8_t>& entry, uint8_t id) {
  NDIS_WLAN_BSSID_EX fixed{};
  std::memcpy(&fixed, entry.data(), sizeof(fixed));
  size_t offset = kBssidExFixedSize + kFixedIeSize;
  const size_t end = kBssidExFixedSize + fixed.IELength;
  while (offset + 2 <= end && offset + 2 + entry[offset + 1] <= end) {
    if (entry[offset] == id) {
      return {entry.begin() + static_cast<long>(offset) + 2,
              entry.begin() + static_cast<long>(offset) + 2 + entry[offset + 1]};
    }
    offset += 2 + entry[offset + 1];
  }
  return {};
}

TEST(Scenario, ScanEntriesCarryTheNetworksSecurityAndName) {
  const sim::Scenario scenario = sim::ParseScenario(R"({"networks": [
    {"ssid": "Psk", "bssid": "020000000001", "channel": 6, "security": "wpa-psk",
     "passphrase": "12345678", "cipher": "aes"},
    {"ssid": "None", "bssid": "020000000002", "channel": 13, "mode": "adhoc",
     "security": "wpa-none", "passphrase": "12345678"},
    {"ssid": "Corp", "bssid": "020000000003", "channel": 1, "security": "wpa-eap"},
    {"ssid": "Hidden", "bssid": "020000000004", "channel": 14, "hidden": true},
    {"ssid": "Crafted", "bssid": "020000000005", "channel": 2, "raw_ies": "00000000000000006400 0100 dd03 0050f2"}
  ]})");
  std::vector<std::vector<uint8_t>> entries;
  for (const auto& network : scenario.networks) entries.push_back(sim::BuildScanEntry(network));

  const std::vector<uint8_t> wpaPrefix = {0x00, 0x50, 0xF2, 0x01, 0x01, 0x00};
  // group suite, pairwise count and suite, key-management count and suite
  const std::vector<uint8_t> pskAes = {0x00, 0x50, 0xF2, 0x04, 0x01, 0x00, 0x00, 0x50,
                                       0xF2, 0x04, 0x01, 0x00, 0x00, 0x50, 0xF2, 0x02};
  std::vector<uint8_t> expected = wpaPrefix;
  expected.insert(expected.end(), pskAes.begin(), pskAes.end());
  EXPECT_EQ(Element(entries[0], 221), expected);
  EXPECT_EQ(Element(entries[1], 221).at(21), 0x00) << "WPA-None: key management 0";
  EXPECT_EQ(Element(entries[1], 221).at(9), 0x02) << "TKIP when no cipher is named";
  EXPECT_EQ(Element(entries[2], 221).at(21), 0x01) << "802.1X";

  NDIS_WLAN_BSSID_EX hidden{};
  std::memcpy(&hidden, entries[3].data(), sizeof(hidden));
  EXPECT_EQ(hidden.Ssid.SsidLength, 0u);
  EXPECT_EQ(hidden.Ssid.Ssid[0], 0);
  EXPECT_EQ(hidden.Configuration.DSConfig, 2484000u);
  EXPECT_EQ(hidden.Privacy, 0u);
  EXPECT_TRUE(Element(entries[3], 221).empty());

  NDIS_WLAN_BSSID_EX crafted{};
  std::memcpy(&crafted, entries[4].data(), sizeof(crafted));
  EXPECT_EQ(crafted.IELength, 17u);
  EXPECT_EQ(std::vector<uint8_t>(entries[4].begin() + 116 + 12, entries[4].begin() + 116 + 17),
            (std::vector<uint8_t>{0xdd, 0x03, 0x00, 0x50, 0xf2}));
}

TEST(Scenario, DocumentedExampleLoads) {
  // The first JSON block of docs/scenario.md is the example users copy.
  std::ifstream doc(std::string(SIM_SOURCE_DIR) + "/docs/scenario.md");
  ASSERT_TRUE(doc) << "docs/scenario.md is missing";
  std::stringstream text;
  text << doc.rdbuf();
  const std::string all = text.str();
  const size_t start = all.find("```json\n");
  ASSERT_NE(start, std::string::npos);
  const size_t end = all.find("```", start + 8);
  const std::string example = all.substr(start + 8, end - start - 8);
  const sim::Scenario scenario = sim::ParseScenario(example);
  EXPECT_FALSE(scenario.networks.empty());
}

}  // namespace
