// SPDX-License-Identifier: GPL-3.0-or-later
// The running trelvaned, spoken to with the raw service protocol over its socket.
#include <cstring>
#include <regex>
#include <unistd.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include "RunningService.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "platform/ServiceWire.h"

namespace {

using simtest::Reply;
using simtest::RunningService;
using simtest::U32Bytes;

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return info.st_mode & 0777;
}

class Trelvaned : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(service_.Start()) << "trelvaned did not come up"; }
  RunningService service_;
};

TEST_F(Trelvaned, AnswersEveryCatalogueOidWithoutArguments) {
  struct Oid {
    uint32_t code;
    uint32_t size;
    bool queryOnlyByFlag;  // an action sent as a set through the query operation
  };
  const Oid catalogue[] = {
      {OID_GEN_MEDIA_CONNECT_STATUS, 4, false},
      {OID_GEN_RCV_OK, 4, false},
      {OID_GEN_RCV_NO_BUFFER, 4, false},
      {OID_802_3_CURRENT_ADDRESS, 6, false},
      {OID_802_11_BSSID, 6, false},
      {OID_802_11_SSID, 36, false},
      {OID_802_11_INFRASTRUCTURE_MODE, 4, false},
      {OID_802_11_DISASSOCIATE, 4, true},
      {OID_802_11_AUTHENTICATION_MODE, 4, false},
      {OID_802_11_BSSID_LIST_SCAN, 4, true},
      {OID_802_11_WEP_STATUS, 4, false},
      {OID_802_11_ADD_KEY, 71, false},
      {OID_802_11_REMOVE_KEY, 16, false},
      {ZX_OID_802_11_QUERY_REAPPLY_REQUEST, 4, false},
      {ZX_OID_802_11_QUERY_REAPPLY_READY, 4, false},
      {OID_802_11_NETWORK_TYPES_SUPPORTED, 20, false},
      {OID_802_11_RSSI, 4, false},
      {OID_802_11_FRAGMENTATION_THRESHOLD, 4, false},
      {OID_802_11_RTS_THRESHOLD, 4, false},
      {OID_802_11_DESIRED_RATES, 8, false},
      {OID_802_11_CONFIGURATION, 32, false},
      {OID_802_11_POWER_MODE, 4, false},
      {OID_802_11_BSSID_LIST, 4096, false},
      {ZX_OID_802_11_BSSID_LIST_NEXT, 4096, false},
      {OID_802_11_STATISTICS, 100, false},
      {ZX_OID_802_11_PREAMBLE, 4, false},
      {ZX_OID_802_11_QUERY_LINK_STATUS, 16, false},
      {ZX_OID_802_11_RESET_COUNTERS, 0, true},
      {ZX_OID_802_11_RADIO, 4, false},
      {ZX_OID_802_11_PHY_MODE, 4, false},
      {ZX_OID_802_11_STA_CONFIG, 32, false},
      {ZX_OID_802_11_ADD_WPA, 71, false},
      {ZX_OID_802_11_TX_POWER_PERCENT, 4, false},
      {ZX_OID_VERSION_INFO, 4, false},
  };
  for (const Oid& oid : catalogue) {
    SCOPED_TRACE(testing::Message() << std::hex << "oid 0x" << oid.code);
    const uint32_t selector = oid.queryOnlyByFlag ? oid.code | OID_SET_FLAG : oid.code;
    Reply reply = service_.Request(selector, {}, oid.size);
    ASSERT_TRUE(reply.answered);
    EXPECT_EQ(reply.status, 0);
    EXPECT_LE(reply.out.size(), oid.size);
  }
  // The scan list's first block holds the default neighbourhood.
  Reply list = service_.Query(OID_802_11_BSSID_LIST, 4096);
  EXPECT_EQ(simtest::U32At(list.out, 0), 10u);
}

TEST_F(Trelvaned, JoinsTheNetworkTheUtilitySelectsAndReportsIt) {
  // The sets of a profile for ZvOpenCafe, in the engine's order, then the link figures.
  const std::vector<uint8_t> bssid{0x00, 0x1A, 0x2B, 0x3C, 0x00, 0x01};
  for (auto [oid, value] : {std::pair{OID_802_11_INFRASTRUCTURE_MODE, 1u},
                            {ZX_OID_802_11_PREAMBLE, 2u},
                            {OID_802_11_RTS_THRESHOLD, 2347u},
                            {OID_802_11_FRAGMENTATION_THRESHOLD, 2346u},
                            {OID_802_11_AUTHENTICATION_MODE, 0u},
                            {OID_802_11_WEP_STATUS, 1u},
                            {ZX_OID_802_11_TX_POWER_PERCENT, 100u},
                            {OID_802_11_POWER_MODE, 0u}}) {
    ASSERT_EQ(service_.Set(oid, U32Bytes(value)).status, 0);
  }
  ASSERT_EQ(service_.Set(OID_802_11_BSSID, bssid).status, 0);
  EXPECT_EQ(service_.Query(OID_GEN_MEDIA_CONNECT_STATUS, 4).out, U32Bytes(0));
  EXPECT_EQ(service_.Query(OID_802_11_BSSID, 6).out, bssid);
  Reply ssid = service_.Query(OID_802_11_SSID, 36);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(ssid.out.data() + 4)), "ZvOpenCafe");
  Reply config = service_.Query(OID_802_11_CONFIGURATION, 32);
  EXPECT_EQ(simtest::U32At(config.out, 12), 2412000u);
}

TEST_F(Trelvaned, SilentClientsDoNotHoldUpOthers) {
  std::vector<int> idle;
  for (int i = 0; i < 20; ++i) idle.push_back(service_.Connect());
  // One that stops half-way through a frame, too.
  const uint32_t half[2] = {wire::kOpenMagic, wire::kProtocolVersion};
  simtest::WriteAll(idle.back(), half, sizeof(half));
  Reply reply = service_.Query(ZX_OID_VERSION_INFO, 4);
  EXPECT_TRUE(reply.answered);
  EXPECT_EQ(reply.out, U32Bytes(0x0102));
  for (int fd : idle) ::close(fd);
}

TEST_F(Trelvaned, MalformedFramesCloseTheConnectionOrFailAndNeverCrashIt) {
  auto words = [](std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> bytes;
    for (uint32_t v : values) {
      auto b = U32Bytes(v);
      bytes.insert(bytes.end(), b.begin(), b.end());
    }
    return bytes;
  };
  const std::vector<uint8_t> open = words({wire::kOpenMagic, 1, 0});
  auto after = [&](std::vector<uint8_t> frame) {
    frame.insert(frame.begin(), open.begin(), open.end());
    return frame;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool openRefused;  // the open answer carries a failure status
  };
  const Case cases[] = {
      {"bad magic", words({0x12345678, 1, 0}), true},
      {"bad version", words({wire::kOpenMagic, 2, 0}), true},
      {"bad connection type", words({wire::kOpenMagic, 1, 5}), true},
      {"in_size over 4096", after(words({1, ZX_OID_VERSION_INFO, 4097, 4})), false},
      {"out_capacity over 4096", after(words({1, OID_802_11_BSSID_LIST, 0, 0xFFFFFFFF})), false},
      {"unknown call", after(words({7, 1, 0, 0})), false},
      {"too many scalar values", after(words({2, 1, 100000, 0})), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int fd = service_.Connect();
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(simtest::WriteAll(fd, c.bytes.data(), c.bytes.size()));
    wire::OpenReply opened{};
    ASSERT_TRUE(simtest::ReadExactly(fd, &opened, sizeof(opened)));
    EXPECT_EQ(opened.status != 0, c.openRefused);
    EXPECT_TRUE(simtest::ClosedByPeer(fd)) << "no answer follows; the connection closes";
    ::close(fd);
  }
  // A frame cut short by the client, then a request that still works.
  int fd = service_.Connect();
  std::vector<uint8_t> cut = after(words({1, OID_802_11_SSID | OID_SET_FLAG, 36, 0, 1, 2}));
  simtest::WriteAll(fd, cut.data(), cut.size());
  ::close(fd);
  EXPECT_EQ(service_.Query(OID_802_11_RSSI | 0x00000F00, 4).status, wire::kStatusUnsupported);
  EXPECT_EQ(service_.Request(ZX_OID_802_11_PHY_MODE | OID_SET_FLAG, {1, 0}, 0).status,
            wire::kStatusBadSize);
  EXPECT_TRUE(service_.Query(ZX_OID_VERSION_INFO, 4).answered);
}

TEST_F(Trelvaned, JournalRecordsEveryCallAsOneJsonLine) {
  const std::vector<uint8_t> ssid(36, 0);
  service_.Request(OID_802_11_SSID | OID_SET_FLAG, ssid, 0);
  ASSERT_EQ(service_.Control("journal-mark after-ssid"), "ok");
  service_.Query(ZX_OID_VERSION_INFO, 4);
  // The service writes a connection's close line once it sees the client gone.
  ASSERT_EQ(service_.Control("journal-mark end"), "ok");
  std::vector<std::string> lines = service_.JournalLines();
  std::vector<nlohmann::json> parsed;
  for (const std::string& line : lines) {
    auto json = nlohmann::json::parse(line, nullptr, false);
    ASSERT_FALSE(json.is_discarded()) << line;
    parsed.push_back(json);
  }
  ASSERT_GE(parsed.size(), 10u);

  const auto& set = parsed[1];
  EXPECT_EQ(lines[1],
            "{\"seq\":2,\"conn\":1,\"call\":\"struct\",\"selector\":\"0x0D810102\",\"set\":true,"
            "\"in_size\":36,\"out_capacity\":0,\"in\":\"" +
                std::string(72, '0') + "\",\"status\":0,\"out_size\":0,\"out\":\"\"}");
  EXPECT_EQ(set["conn"], parsed[0]["conn"]);
  EXPECT_EQ(parsed[4], (nlohmann::json{{"mark", "after-ssid"}}));

  std::string calls;
  uint64_t lastSeq = 0;
  const std::regex selector("0x[0-9A-F]{8}");
  for (const auto& line : parsed) {
    if (line.contains("mark")) continue;
    calls += line["call"].get<std::string>() + " ";
    EXPECT_GT(line["seq"].get<uint64_t>(), lastSeq);
    lastSeq = line["seq"].get<uint64_t>();
    if (line.contains("selector")) {
      EXPECT_TRUE(std::regex_match(line["selector"].get<std::string>(), selector));
    }
  }
  EXPECT_EQ(calls, "open struct scalar close open struct scalar close ");
  const auto& version = parsed[6];
  // A mark that is not UTF-8 is written with replacement characters, not a crash.
  EXPECT_EQ(service_.Control("journal-mark \xff\xfe"), "ok");
  EXPECT_FALSE(
      nlohmann::json::parse(service_.JournalLines().back(), nullptr, false).is_discarded());

  EXPECT_EQ(version["out"], "02010000");
  EXPECT_EQ(version["set"], false);
}

TEST_F(Trelvaned, ControlCommandsUnplugPlugAndReapply) {
  EXPECT_EQ(ModeOf(service_.Dir() + "/ioservices"), 0700u);
  EXPECT_EQ(ModeOf(service_.ServicePath()), 0600u);
  EXPECT_EQ(ModeOf(service_.ControlPath()), 0600u);

  ASSERT_EQ(service_.Set(ZX_OID_802_11_RADIO, U32Bytes(0)).status, 0);
  EXPECT_EQ(service_.Control("unplug"), "ok");
  EXPECT_NE(::access(service_.ServicePath().c_str(), F_OK), 0);
  EXPECT_FALSE(service_.Query(ZX_OID_VERSION_INFO, 4).answered);
  EXPECT_EQ(service_.Control("plug"), "ok");
  EXPECT_EQ(service_.Query(ZX_OID_802_11_RADIO, 4).out, U32Bytes(1)) << "a fresh adapter";

  EXPECT_EQ(service_.Control("reapply 1"), "ok");
  EXPECT_EQ(service_.Query(ZX_OID_802_11_QUERY_REAPPLY_REQUEST, 4).out, U32Bytes(1));
  EXPECT_EQ(service_.Query(ZX_OID_802_11_QUERY_REAPPLY_READY, 4).out, U32Bytes(0));
  EXPECT_EQ(service_.Query(ZX_OID_802_11_QUERY_REAPPLY_READY, 4).out, U32Bytes(1));

  EXPECT_EQ(service_.Control("eeprom-error on"), "ok");
  EXPECT_EQ(simtest::U32At(service_.Query(ZX_OID_802_11_STA_CONFIG, 32).out, 28), 1u);

  EXPECT_EQ(service_.Control("reapply"), "error: usage: reapply <number of not-ready answers>");
  EXPECT_EQ(service_.Control("eeprom-error maybe"), "error: usage: eeprom-error on|off");
  EXPECT_EQ(service_.Control("fly"), "error: unknown command 'fly'");
  const std::string bad = service_.WriteFile("bad.json", R"({"networks": 3})");
  EXPECT_EQ(service_.Control("load " + bad),
            "error: scenario file " + bad + ": networks: must be an array");
}

TEST_F(Trelvaned, LoadedScenarioIsFoundByTheNextScanAcrossSeveralBlocks) {
  std::string networks;
  for (int i = 0; i < 40; ++i) {
    if (i > 0) networks += ",";
    networks += R"({"ssid": "Network-with-a-long-name-)" + std::to_string(i) +
                R"(", "bssid": "00:11:22:33:44:)" + std::to_string(10 + i) +
                R"(", "channel": 6, "security": "wpa-psk", "passphrase": "12345678"})";
  }
  const std::string file = service_.WriteFile("many.json", R"({"networks": [)" + networks + "]}");
  ASSERT_EQ(service_.Control("load " + file), "ok");
  ASSERT_EQ(service_.Request(OID_802_11_BSSID_LIST_SCAN | OID_SET_FLAG, U32Bytes(0), 4).status, 0);
  uint32_t total = 0;
  size_t blocks = 0;
  for (uint32_t oid = OID_802_11_BSSID_LIST;; oid = ZX_OID_802_11_BSSID_LIST_NEXT) {
    Reply block = service_.Query(oid, 4096);
    ASSERT_TRUE(block.answered);
    if (block.out.empty()) break;
    ++blocks;
    total += simtest::U32At(block.out, 0);
  }
  EXPECT_EQ(total, 40u);
  EXPECT_GE(blocks, 2u);
}

TEST_F(Trelvaned, StopsCleanlyOnSigtermAndTheControlTool) {
  // trelvanectl speaks the control socket for people and scripts.
  const std::string ctl = RunningService::Program("trelvanectl");
  const std::string prefix = ctl + " --control " + service_.ControlPath() + " ";
  EXPECT_EQ(std::system((prefix + "journal-mark hello >/dev/null").c_str()), 0);
  EXPECT_NE(std::system((prefix + "bogus >/dev/null").c_str()), 0);

  EXPECT_EQ(service_.Terminate(), 0);
  EXPECT_NE(::access(service_.ServicePath().c_str(), F_OK), 0);
  EXPECT_NE(::access(service_.ControlPath().c_str(), F_OK), 0);
}

TEST(TrelvanedStart, ReplacesAStaleSocketButNotALiveService) {
  RunningService service;
  ASSERT_EQ(::mkdir((service.Dir() + "/ioservices").c_str(), 0700), 0);
  // A socket file left behind by a service that died.
  int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, service.ServicePath().c_str());
  ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ::close(stale);

  ASSERT_TRUE(service.Start());
  EXPECT_TRUE(service.Query(ZX_OID_VERSION_INFO, 4).answered);

  std::string errors;
  EXPECT_EQ(service.RunToExit({}, &errors), 1);
  EXPECT_NE(errors.find("in use by a running service"), std::string::npos) << errors;
}

TEST(TrelvanedStart, MalformedScenarioStopsItWithTheFileAndTheFault) {
  RunningService service;
  const std::string file = service.WriteFile(
      "broken.json", R"({"networks": [{"ssid": "a", "bssid": "001122334455", "channel": 0}]})");
  std::string errors;
  EXPECT_EQ(service.RunToExit({"--scenario", file}, &errors), 1);
  EXPECT_EQ(errors, "trelvaned: scenario file " + file +
                        ": networks[0].channel: must be between 1 and 14\n");

  EXPECT_EQ(service.RunToExit({"--scenario", service.Dir() + "/missing.json"}, &errors), 1);
  EXPECT_NE(errors.find("missing.json: cannot be read"), std::string::npos) << errors;
  EXPECT_NE(::access(service.ServicePath().c_str(), F_OK), 0) << "nothing was published";
}

}  // namespace
