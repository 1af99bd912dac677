// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated adapter on its own: what it keeps, when it associates, how it serves the
// scan list, and how its figures move. A fake clock makes traffic deterministic.
#include <cstring>
#include <functional>

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "AdapterModel.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "platform/ServiceWire.h"

namespace {

using sim::AdapterModel;
using sim::OidReply;

std::vector<uint8_t> U32(uint32_t value) {
  std::vector<uint8_t> bytes(4);
  std::memcpy(bytes.data(), &value, 4);
  return bytes;
}

template <typename T>
std::vector<uint8_t> Bytes(const T& record, size_t size = sizeof(T)) {
  const auto* p = reinterpret_cast<const uint8_t*>(&record);
  return std::vector<uint8_t>(p, p + size);
}

template <typename T>
T As(const OidReply& reply) {
  T value{};
  EXPECT_EQ(reply.out.size(), sizeof(T));
  std::memcpy(&value, reply.out.data(), std::min(sizeof(T), reply.out.size()));
  return value;
}

std::vector<uint8_t> SsidRecord(const std::string& ssid) {
  NDIS_802_11_SSID record{};
  record.SsidLength = static_cast<uint32_t>(ssid.size());
  std::memcpy(record.Ssid, ssid.data(), ssid.size());
  return Bytes(record);
}

std::vector<uint8_t> KeyRecord(uint32_t keyIndex, const std::vector<uint8_t>& key) {
  NDIS_802_11_KEY record{};
  record.Length = static_cast<uint32_t>(key.size()) + kKeyRecordOverhead;
  record.KeyIndex = keyIndex;
  record.KeyLength = static_cast<uint32_t>(key.size());
  if (key.size() != 32) std::memset(record.BSSID, 0xFF, 6);
  std::memcpy(record.KeyMaterial, key.data(), key.size());
  return Bytes(record, record.Length);
}

std::vector<uint8_t> Pmk(const std::string& passphrase, const std::string& ssid) {
  std::vector<uint8_t> key(32);
  PKCS5_PBKDF2_HMAC_SHA1(passphrase.data(), static_cast<int>(passphrase.size()),
                         reinterpret_cast<const unsigned char*>(ssid.data()),
                         static_cast<int>(ssid.size()), 4096, 32, key.data());
  return key;
}

// The adapter with a clock the test moves by hand.
class Adapter {
 public:
  explicit Adapter(sim::Scenario scenario = sim::DefaultScenario())
      : model_(std::move(scenario), [this] { return now_; }) {}

  OidReply Query(uint32_t oid, uint32_t capacity) {
    return model_.Handle(oid, nullptr, 0, capacity);
  }
  OidReply Set(uint32_t oid, const std::vector<uint8_t>& in) {
    return model_.Handle(oid | OID_SET_FLAG, in.data(), static_cast<uint32_t>(in.size()), 0);
  }
  void SetAll(std::initializer_list<std::pair<uint32_t, std::vector<uint8_t>>> sets) {
    for (const auto& [oid, in] : sets) {
      ASSERT_EQ(Set(oid, in).status, 0) << std::hex << "set 0x" << oid;
    }
  }
  bool Connected() { return As<uint32_t>(Query(OID_GEN_MEDIA_CONNECT_STATUS, 4)) == 0; }
  void Wait(int milliseconds) { now_ += std::chrono::milliseconds(milliseconds); }
  AdapterModel& Model() { return model_; }

 private:
  AdapterModel::Clock::time_point now_{};
  AdapterModel model_;
};

TEST(AdapterModel, SetThenQueryReportsTheValueBack) {
  NDIS_802_11_CONFIGURATION config{32, 150, 3, 2462000, {}};
  const std::vector<uint8_t> rates{0x16, 0x0B, 0x04, 0x02, 0, 0, 0, 0};
  const std::pair<uint32_t, std::vector<uint8_t>> cases[] = {
      {OID_802_11_INFRASTRUCTURE_MODE, U32(0)},  {OID_802_11_AUTHENTICATION_MODE, U32(4)},
      {OID_802_11_WEP_STATUS, U32(6)},           {OID_802_11_FRAGMENTATION_THRESHOLD, U32(1500)},
      {OID_802_11_RTS_THRESHOLD, U32(512)},      {OID_802_11_POWER_MODE, U32(2)},
      {ZX_OID_802_11_PREAMBLE, U32(2)},          {ZX_OID_802_11_TX_POWER_PERCENT, U32(12)},
      {ZX_OID_802_11_PHY_MODE, U32(1)},          {OID_802_11_DESIRED_RATES, rates},
      {OID_802_11_CONFIGURATION, Bytes(config)}, {ZX_OID_802_11_RADIO, U32(0)},
  };
  Adapter adapter;
  for (const auto& [oid, value] : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << "oid 0x" << oid);
    ASSERT_EQ(adapter.Set(oid, value).status, 0);
    EXPECT_EQ(adapter.Query(oid, static_cast<uint32_t>(value.size())).out, value);
  }
}

TEST(AdapterModel, StationConfigurationKeepsOnlyTheFiveSettings) {
  Adapter adapter;
  ZX_802_11_STA_CONFIG written{1,
                               1,
                               2,
                               1,
                               1,
                               /*HwRadioStatus*/ 0,
                               /*Rsv1*/ 9,
                               /*SystemErrorBitmap*/ 1};
  ASSERT_EQ(adapter.Set(ZX_OID_802_11_STA_CONFIG, Bytes(written)).status, 0);
  auto read = As<ZX_802_11_STA_CONFIG>(adapter.Query(ZX_OID_802_11_STA_CONFIG, 32));
  EXPECT_EQ(read.EnableTxBurst, 1u);
  EXPECT_EQ(read.EnableTurboRate, 1u);
  EXPECT_EQ(read.UseBGProtection, 2u);
  EXPECT_EQ(read.UseShortSlotTime, 1u);
  EXPECT_EQ(read.UseOfdmRatesIn11gAdhoc, 1u);
  EXPECT_EQ(read.HwRadioStatus, 1u);  // the radio is on, whatever the caller wrote
  EXPECT_EQ(read.Rsv1, 0u);
  EXPECT_EQ(read.SystemErrorBitmap, 0u);

  adapter.Model().SetEepromError(true);
  adapter.SetAll({{ZX_OID_802_11_RADIO, U32(0)}});
  read = As<ZX_802_11_STA_CONFIG>(adapter.Query(ZX_OID_802_11_STA_CONFIG, 32));
  EXPECT_EQ(read.SystemErrorBitmap, 1u);
  EXPECT_EQ(read.HwRadioStatus, 0u);
}

TEST(AdapterModel, MalformedRequestsGetTheirFailureStatus) {
  std::vector<uint8_t> lyingKey = KeyRecord(0x80000000, std::vector<uint8_t>(5, 1));
  lyingKey[0] = 60;  // Length disagrees with the bytes sent
  std::vector<uint8_t> longSsid = SsidRecord("");
  longSsid[0] = 33;  // SsidLength beyond the 32 name bytes
  struct Case {
    const char* what;
    uint32_t selector;
    std::vector<uint8_t> in;
    uint32_t capacity;
    int32_t status;
  };
  const Case cases[] = {
      {"unknown OID", 0x0D7101FF, {}, 4, wire::kStatusUnsupported},
      {"setting a read-only OID", OID_802_11_RSSI | OID_SET_FLAG, U32(0), 0,
       wire::kStatusUnsupported},
      {"query into a short buffer", ZX_OID_802_11_STA_CONFIG, {}, 31, wire::kStatusBadSize},
      {"SSID of 35 bytes", OID_802_11_SSID | OID_SET_FLAG, std::vector<uint8_t>(35), 0,
       wire::kStatusBadSize},
      {"SSID length over 32", OID_802_11_SSID | OID_SET_FLAG, longSsid, 0,
       wire::kStatusGeneralError},
      {"authentication mode 9", OID_802_11_AUTHENTICATION_MODE | OID_SET_FLAG, U32(9), 0,
       wire::kStatusGeneralError},
      {"radio byte 2", ZX_OID_802_11_RADIO | OID_SET_FLAG, U32(2), 0, wire::kStatusGeneralError},
      {"key Length disagreeing", OID_802_11_ADD_KEY | OID_SET_FLAG, lyingKey, 0,
       wire::kStatusBadSize},
      {"WEP key slot 5", OID_802_11_ADD_KEY | OID_SET_FLAG,
       KeyRecord(0x80000005, std::vector<uint8_t>(13, 1)), 0, wire::kStatusGeneralError},
      {"WPA record with a WEP key", ZX_OID_802_11_ADD_WPA | OID_SET_FLAG,
       KeyRecord(0x80000000, std::vector<uint8_t>(13, 1)), 0, wire::kStatusGeneralError},
      {"channel frequency not in the band", OID_802_11_CONFIGURATION | OID_SET_FLAG,
       Bytes(NDIS_802_11_CONFIGURATION{32, 100, 0, 2413000, {}}), 0, wire::kStatusGeneralError},
      {"scan list into 3 bytes", OID_802_11_BSSID_LIST, {}, 3, wire::kStatusBadSize},
      {"scan list into less than one entry", OID_802_11_BSSID_LIST, {}, 100, wire::kStatusBadSize},
  };
  Adapter adapter;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OidReply reply = adapter.Model().Handle(c.selector, c.in.data(),
                                            static_cast<uint32_t>(c.in.size()), c.capacity);
    EXPECT_EQ(reply.status, c.status);
    EXPECT_TRUE(reply.out.empty());
  }
}

// One association attempt: the settings and keys sent first, then the SSID or BSSID.
struct JoinCase {
  const char* what;
  std::function<void(Adapter&)> configure;
  std::vector<uint8_t> target;  // 36 bytes: SSID record; 6 bytes: BSSID
  bool joins;
};

std::vector<uint8_t> Bssid(uint8_t last) {
  return {0x00, 0x1A, 0x2B, 0x3C, 0x00, last};
}

void Infrastructure(Adapter& a, uint32_t auth, uint32_t encryption) {
  a.SetAll({{OID_802_11_INFRASTRUCTURE_MODE, U32(1)},
            {OID_802_11_AUTHENTICATION_MODE, U32(auth)},
            {OID_802_11_WEP_STATUS, U32(encryption)}});
}

void AdHoc(Adapter& a, uint32_t auth, uint32_t encryption) {
  a.SetAll({{OID_802_11_INFRASTRUCTURE_MODE, U32(0)},
            {OID_802_11_AUTHENTICATION_MODE, U32(auth)},
            {OID_802_11_WEP_STATUS, U32(encryption)}});
}

TEST(AdapterModel, AssociatesOnlyWithTheRightSettingsAndKey) {
  const std::vector<uint8_t> wep64{0xA1, 0xB2, 0xC3, 0xD4, 0xE5};
  const std::vector<uint8_t> wep128{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  const JoinCase cases[] = {
      {"open network by BSSID", [](Adapter& a) { Infrastructure(a, 0, 1); }, Bssid(1), true},
      {"open network with WEP switched on", [](Adapter& a) { Infrastructure(a, 0, 0); }, Bssid(1),
       false},
      {"WEP, right key in the transmit slot",
       [&](Adapter& a) {
         Infrastructure(a, 0, 0);
         a.SetAll({{OID_802_11_ADD_KEY, KeyRecord(0x80000002, wep64)}});
       },
       Bssid(2), true},
      {"WEP, wrong key",
       [&](Adapter& a) {
         Infrastructure(a, 0, 0);
         a.SetAll({{OID_802_11_ADD_KEY, KeyRecord(0x80000000, {0xA1, 0xB2, 0xC3, 0xD4, 0xE6})}});
       },
       Bssid(2), false},
      {"WEP, right key but another slot transmits",
       [&](Adapter& a) {
         Infrastructure(a, 0, 0);
         a.SetAll({{OID_802_11_ADD_KEY, KeyRecord(0x80000000, std::vector<uint8_t>(5, 7))},
                   {OID_802_11_ADD_KEY, KeyRecord(1, wep64)}});
       },
       Bssid(2), false},
      {"WEP, transmit key removed again",
       [&](Adapter& a) {
         Infrastructure(a, 0, 0);
         NDIS_802_11_REMOVE_KEY remove{16, 0, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {}};
         a.SetAll({{OID_802_11_ADD_KEY, KeyRecord(0x80000000, wep64)},
                   {OID_802_11_REMOVE_KEY, Bytes(remove)}});
       },
       Bssid(2), false},
      {"WEP shared-key network, open authentication",
       [&](Adapter& a) {
         Infrastructure(a, 0, 0);
         a.SetAll({{OID_802_11_ADD_KEY, KeyRecord(0x80000000, wep128)}});
       },
       Bssid(3), false},
      {"WEP shared-key network, shared authentication",
       [&](Adapter& a) {
         Infrastructure(a, 1, 0);
         a.SetAll({{OID_802_11_ADD_KEY, KeyRecord(0x80000000, wep128)}});
       },
       Bssid(3), true},
      {"WPA-PSK TKIP, right key",
       [](Adapter& a) {
         Infrastructure(a, 4, 4);
         a.SetAll({{ZX_OID_802_11_ADD_WPA,
                    KeyRecord(0x80000000, Pmk("tkip-passphrase", "ZvHomeTKIP"))}});
       },
       Bssid(4), true},
      {"WPA-PSK TKIP, key of another passphrase",
       [](Adapter& a) {
         Infrastructure(a, 4, 4);
         a.SetAll({{ZX_OID_802_11_ADD_WPA,
                    KeyRecord(0x80000000, Pmk("tkip-passphrasE", "ZvHomeTKIP"))}});
       },
       Bssid(4), false},
      {"WPA-PSK AES network asked for TKIP",
       [](Adapter& a) {
         Infrastructure(a, 4, 4);
         a.SetAll({{ZX_OID_802_11_ADD_WPA,
                    KeyRecord(0x80000000, Pmk("aes-passphrase-2006", "ZvOfficeAES"))}});
       },
       Bssid(5), false},
      {"WPA with 802.1X", [](Adapter& a) { Infrastructure(a, 3, 4); }, Bssid(6), false},
      {"hidden network by its real name",
       [](Adapter& a) {
         Infrastructure(a, 4, 6);
         a.SetAll({{ZX_OID_802_11_ADD_WPA,
                    KeyRecord(0x80000000, Pmk("hidden-lab-key", "ZvHiddenLab"))}});
       },
       SsidRecord("ZvHiddenLab"), true},
      {"ad hoc WPA-None with the key through ADD_KEY",
       [](Adapter& a) {
         AdHoc(a, 5, 4);
         a.SetAll({{OID_802_11_ADD_KEY,
                    KeyRecord(0x80000000, Pmk("adhoc-wpa-none", "ZvAdhocWpaNone"))}});
       },
       SsidRecord("ZvAdhocWpaNone"), true},
      {"ad hoc network asked for in infrastructure mode",
       [](Adapter& a) { Infrastructure(a, 0, 1); }, SsidRecord("ZvAdhocOpen"), false},
      {"radio off",
       [](Adapter& a) {
         Infrastructure(a, 0, 1);
         a.SetAll({{ZX_OID_802_11_RADIO, U32(0)}});
       },
       Bssid(1), false},
      {"network not in range", [](Adapter& a) { Infrastructure(a, 0, 1); }, SsidRecord("Elsewhere"),
       false},
  };
  for (const JoinCase& c : cases) {
    SCOPED_TRACE(c.what);
    Adapter adapter;
    c.configure(adapter);
    const uint32_t oid = c.target.size() == 6 ? OID_802_11_BSSID : OID_802_11_SSID;
    ASSERT_EQ(adapter.Set(oid, c.target).status, 0);
    EXPECT_EQ(adapter.Connected(), c.joins);
    if (c.joins) {
      const uint32_t size = static_cast<uint32_t>(c.target.size());
      EXPECT_EQ(adapter.Query(oid, size).out, c.target) << "the link is reported back";
    }
  }
}

TEST(AdapterModel, ChecksTheKeyAgainstThePublishedDerivation) {
  // 802.11i test vector: passphrase "password", SSID "IEEE".
  const std::vector<uint8_t> published = {0xf4, 0x2c, 0x6f, 0xc5, 0x2d, 0xf0, 0xeb, 0xef,
                                          0x9e, 0xbb, 0x4b, 0x90, 0xb3, 0x8a, 0x5f, 0x90,
                                          0x2e, 0x83, 0xfe, 0x1b, 0x13, 0x5a, 0x70, 0xe2,
                                          0x3a, 0xed, 0x76, 0x2e, 0x97, 0x10, 0xa1, 0x2e};
  sim::Scenario scenario = sim::ParseScenario(R"({"networks": [
      {"ssid": "IEEE", "bssid": "02:00:00:00:00:01", "channel": 6, "security": "wpa-psk",
       "passphrase": "password", "cipher": "aes"}]})");
  Adapter adapter(scenario);
  Infrastructure(adapter, 4, 6);
  adapter.SetAll({{ZX_OID_802_11_ADD_WPA, KeyRecord(0x80000000, published)},
                  {OID_802_11_SSID, SsidRecord("IEEE")}});
  EXPECT_TRUE(adapter.Connected());
}

TEST(AdapterModel, UnknownAdHocNameStartsANetworkOnTheConfiguredChannel) {
  Adapter adapter;
  AdHoc(adapter, 0, 1);
  auto config = As<NDIS_802_11_CONFIGURATION>(adapter.Query(OID_802_11_CONFIGURATION, 32));
  config.DSConfig = 2462000;  // channel 11, as the profile engine does it
  adapter.SetAll(
      {{OID_802_11_CONFIGURATION, Bytes(config)}, {OID_802_11_SSID, SsidRecord("MyOwnAdhoc")}});
  ASSERT_TRUE(adapter.Connected());
  EXPECT_EQ(As<NDIS_802_11_CONFIGURATION>(adapter.Query(OID_802_11_CONFIGURATION, 32)).DSConfig,
            2462000u);
  EXPECT_EQ(adapter.Query(OID_802_11_SSID, 36).out, SsidRecord("MyOwnAdhoc"));
  EXPECT_EQ(adapter.Query(OID_802_11_BSSID, 6).out.at(0) & 0x03, 0x02);  // locally administered

  adapter.SetAll({{OID_802_11_DISASSOCIATE, U32(0)}});
  EXPECT_FALSE(adapter.Connected());
  EXPECT_EQ(adapter.Query(OID_802_11_BSSID, 6).out, std::vector<uint8_t>(6, 0));
}

// Walks the list as the utility does: the first block, then continuation blocks until an
// empty answer. Returns every entry's SSID bytes; checks each block's shape on the way.
std::vector<std::string> FetchScanList(Adapter& adapter, size_t* blocks) {
  std::vector<std::string> ssids;
  *blocks = 0;
  for (uint32_t oid = OID_802_11_BSSID_LIST;; oid = ZX_OID_802_11_BSSID_LIST_NEXT) {
    OidReply reply = adapter.Query(oid, 4096);
    EXPECT_EQ(reply.status, 0);
    if (reply.out.empty() || reply.status != 0) break;
    ++*blocks;
    EXPECT_LE(reply.out.size(), 4096u);
    uint32_t count = 0;
    std::memcpy(&count, reply.out.data(), 4);
    size_t offset = 4;
    for (uint32_t i = 0; i < count; ++i) {
      NDIS_WLAN_BSSID_EX entry{};
      EXPECT_LE(offset + sizeof(entry), reply.out.size());
      if (offset + sizeof(entry) > reply.out.size()) return ssids;
      std::memcpy(&entry, reply.out.data() + offset, sizeof(entry));
      EXPECT_EQ(entry.Length % 4, 0u);
      EXPECT_GE(entry.Length, kBssidExFixedSize + entry.IELength);
      ssids.emplace_back(reinterpret_cast<const char*>(entry.Ssid.Ssid), entry.Ssid.SsidLength);
      offset += entry.Length;
    }
    EXPECT_EQ(offset, reply.out.size()) << "a block holds whole entries and nothing else";
    if (oid == OID_802_11_BSSID_LIST && count == 0) break;
  }
  return ssids;
}

TEST(AdapterModel, ServesALongScanListInBlocksOfWholeEntries) {
  sim::Scenario scenario;
  std::vector<std::string> expected;
  for (int i = 0; i < 60; ++i) {
    sim::Network network;
    network.ssid = "Net-" + std::to_string(i) + std::string(static_cast<size_t>(i % 20), 'x');
    network.bssid = {0x00, 0x11, 0x22, 0x33, 0x44, static_cast<uint8_t>(i)};
    network.channel = 1 + static_cast<uint32_t>(i % 14);
    network.security = i % 3 == 0 ? sim::Security::kWpaPsk : sim::Security::kOpen;
    network.passphrase = "passphrase";
    scenario.networks.push_back(network);
    expected.push_back(network.ssid);
  }
  Adapter adapter(scenario);
  size_t blocks = 0;
  EXPECT_EQ(FetchScanList(adapter, &blocks), expected);
  EXPECT_GE(blocks, 3u);

  // A continuation query after the end keeps answering with nothing.
  EXPECT_TRUE(adapter.Query(ZX_OID_802_11_BSSID_LIST_NEXT, 4096).out.empty());
}

TEST(AdapterModel, ScanResultsChangeOnlyWhenTheScanIsRequested) {
  Adapter adapter;
  size_t blocks = 0;
  const size_t before = FetchScanList(adapter, &blocks).size();
  ASSERT_EQ(before, sim::DefaultScenario().networks.size());

  sim::Scenario smaller = sim::DefaultScenario();
  smaller.networks.resize(2);
  adapter.Model().ReplaceScenario(smaller);
  EXPECT_EQ(FetchScanList(adapter, &blocks).size(), before);
  adapter.SetAll({{OID_802_11_BSSID_LIST_SCAN, U32(0)}});
  EXPECT_EQ(FetchScanList(adapter, &blocks).size(), 2u);

  // With the radio off a scan finds nothing: an empty first block, then the end.
  adapter.SetAll({{ZX_OID_802_11_RADIO, U32(0)}, {OID_802_11_BSSID_LIST_SCAN, {}}});
  EXPECT_EQ(adapter.Query(OID_802_11_BSSID_LIST, 4096).out, U32(0));
  EXPECT_TRUE(adapter.Query(ZX_OID_802_11_BSSID_LIST_NEXT, 4096).out.empty());
}

TEST(AdapterModel, ReapplyRequestThenReadyAfterTheGivenNotReadyAnswers) {
  Adapter adapter;
  auto request = [&] {
    return As<uint32_t>(adapter.Query(ZX_OID_802_11_QUERY_REAPPLY_REQUEST, 4));
  };
  auto ready = [&] { return As<uint32_t>(adapter.Query(ZX_OID_802_11_QUERY_REAPPLY_READY, 4)); };
  EXPECT_EQ(request(), 0u);
  EXPECT_EQ(ready(), 0u);
  adapter.Model().RequestReapply(2);
  EXPECT_EQ(request(), 1u);
  EXPECT_EQ(request(), 0u);
  EXPECT_EQ(ready(), 0u);
  EXPECT_EQ(ready(), 0u);
  EXPECT_EQ(ready(), 1u);
  EXPECT_EQ(ready(), 0u);
}

// One statistics counter, read by value (the record's 64-bit fields are only 4-aligned).
int64_t Counter(Adapter& adapter, size_t offset) {
  const OidReply reply = adapter.Query(OID_802_11_STATISTICS, 100);
  int64_t value = 0;
  EXPECT_EQ(reply.out.size(), 100u);
  if (reply.out.size() == 100) std::memcpy(&value, reply.out.data() + offset, sizeof(value));
  return value;
}

TEST(AdapterModel, LinkFiguresMoveWhileAssociatedAndCountersRestartOnReset) {
  sim::Scenario scenario = sim::DefaultScenario();
  scenario.adapter.counters.txBytes = 0xFFFFFF00u;  // about to wrap
  scenario.adapter.counters.statistics[2] = -5;     // FailedCount
  Adapter adapter(scenario);
  adapter.Wait(2000);
  auto link = As<ZX_802_11_LINK_STATUS>(adapter.Query(ZX_OID_802_11_QUERY_LINK_STATUS, 16));
  EXPECT_EQ(link.TxRate, 0u);
  EXPECT_EQ(link.TxBytes, 0xFFFFFF00u) << "nothing moves without a link";
  EXPECT_EQ(Counter(adapter, offsetof(NDIS_802_11_STATISTICS, FailedCount)), -5);

  Infrastructure(adapter, 0, 1);
  adapter.SetAll({{OID_802_11_BSSID, Bssid(1)}});  // ZvOpenCafe, -48 dBm
  adapter.Wait(2000);
  link = As<ZX_802_11_LINK_STATUS>(adapter.Query(ZX_OID_802_11_QUERY_LINK_STATUS, 16));
  EXPECT_EQ(link.TxRate, 108u);
  EXPECT_GT(link.LinkQualityRaw, 50u);
  EXPECT_LT(link.TxBytes, 0xFFFFFF00u) << "wrapped at 2^32";
  const int32_t rssi = As<int32_t>(adapter.Query(OID_802_11_RSSI, 4));
  EXPECT_GE(rssi, -50);
  EXPECT_LE(rssi, -46);

  // 2 s at 200 frames a second
  EXPECT_EQ(Counter(adapter, offsetof(NDIS_802_11_STATISTICS, TransmittedFragmentCount)), 400);
  EXPECT_GT(As<uint32_t>(adapter.Query(OID_GEN_RCV_OK, 4)), 0u);

  OidReply reset =
      adapter.Model().Handle(ZX_OID_802_11_RESET_COUNTERS | OID_SET_FLAG, nullptr, 0, 0);
  EXPECT_EQ(reset.status, 0);
  EXPECT_EQ(Counter(adapter, offsetof(NDIS_802_11_STATISTICS, TransmittedFragmentCount)), 0);
  EXPECT_EQ(Counter(adapter, offsetof(NDIS_802_11_STATISTICS, FailedCount)), 0);
  EXPECT_EQ(As<uint32_t>(adapter.Query(OID_GEN_RCV_OK, 4)), 0u);
  EXPECT_EQ(As<ZX_802_11_LINK_STATUS>(adapter.Query(ZX_OID_802_11_QUERY_LINK_STATUS, 16)).TxBytes,
            link.TxBytes)
      << "the byte counters run since the driver started";

  adapter.SetAll({{ZX_OID_802_11_RADIO, U32(0)}});
  EXPECT_FALSE(adapter.Connected()) << "switching the radio off drops the link";
}

TEST(AdapterModel, ReportsTheAdapterFactsOfTheScenario) {
  sim::Scenario scenario = sim::ParseScenario(R"({"adapter": {
      "mac": "00-0C-41-AB-CD-EF", "eeprom_version": "1.12",
      "network_types": ["DS", "OFDM24", "FH", 7, "OFDM5"]}})");
  Adapter adapter(scenario);
  EXPECT_EQ(adapter.Query(OID_802_3_CURRENT_ADDRESS, 6).out,
            (std::vector<uint8_t>{0x00, 0x0C, 0x41, 0xAB, 0xCD, 0xEF}));
  EXPECT_EQ(As<uint32_t>(adapter.Query(ZX_OID_VERSION_INFO, 4)), 0x010Cu);
  // Five types listed: the count says so, the record holds the first four.
  const auto types =
      As<NDIS_802_11_NETWORK_TYPE_LIST>(adapter.Query(OID_802_11_NETWORK_TYPES_SUPPORTED, 20));
  EXPECT_EQ(types.NumberOfItems, 5u);
  EXPECT_EQ(types.NetworkType[0], 1u);
  EXPECT_EQ(types.NetworkType[3], 7u);
}

}  // namespace
