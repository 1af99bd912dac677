// SPDX-License-Identifier: GPL-3.0-or-later
// ZX7100Access against services that misbehave, and against crafted scan blocks: every
// failure answers NO and leaves the caller's buffer and length cell as they were; the scan
// list never grows past its buffer.
#include <cstring>
#include <fstream>
#include <memory>
#include <unistd.h>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include "FakeDriverService.h"
#include "ScanBuilders.h"
#include "app/state/GlobalState.h"
#include "driver/OidCatalogue.h"
#include "driver/ScanList.h"
#include "driver/ZX7100Access.h"
#include "platform/IOService.h"
#include "platform/ServiceWire.h"
#include "support/PrivateEnvironment.h"
#include "support/RecordingAlertPanel.h"

namespace {

using Behaviour = zvtest::FakeDriverService::Behaviour;
using Answer = zvtest::FakeDriverService::Answer;
using zvtest::MakeEntry;
using zvtest::MakeList;

constexpr std::chrono::milliseconds kShortTimeout{300};

class DriverFailureTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobalState(); }
  void TearDown() override { ResetGlobalState(); }

  std::unique_ptr<zvtest::FakeDriverService> Fake(Behaviour behaviour,
                                                  zvtest::FakeDriverService::Handler handler = {},
                                                  const std::string& name = "Trelvane-0") {
    return std::make_unique<zvtest::FakeDriverService>(environment.RegistryDir(), name, behaviour,
                                                       std::move(handler));
  }

  // A query of a 6-byte OID must fail and leave buffer and cell untouched.
  void ExpectQueryFailsUntouched(const char* why) {
    uint8_t buffer[6] = {9, 8, 7, 6, 5, 4};
    uint32_t returned = 1234;
    EXPECT_FALSE(adapter.OidQueryInformation(OID_802_3_CURRENT_ADDRESS, buffer, 6, &returned))
        << why;
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 6), (std::vector<uint8_t>{9, 8, 7, 6, 5, 4}))
        << why;
    EXPECT_EQ(returned, 1234u) << why;
  }

  zvtest::PrivateEnvironment environment;
  zvtest::RecordingAlertPanel alerts;
  ZX7100Access adapter{alerts, kShortTimeout};
};

Answer MacAnswer(uint8_t last) {
  return {0, {0, 1, 2, 3, 4, last}};
}

TEST_F(DriverFailureTest, AbsentAdapterAndStaleSocketGiveNo) {
  ExpectQueryFailsUntouched("no registry at all");
  ::mkdir(environment.RegistryDir().c_str(), 0700);
  ExpectQueryFailsUntouched("empty registry");

  // A socket file left behind by a service that went away: nobody listens on it.
  std::string stale = environment.RegistryDir() + "/Trelvane-0";
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, stale.c_str(), sizeof(address.sun_path) - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ::close(fd);
  EXPECT_TRUE(adapter.SearchDevice());
  EXPECT_FALSE(adapter.OpenConnectToDevice());
  adapter.CloseConnectToDevice();
  ExpectQueryFailsUntouched("stale socket");
}

TEST_F(DriverFailureTest, MisbehavingServicesGiveNo) {
  struct Case {
    const char* why;
    Behaviour behaviour;
    zvtest::FakeDriverService::Handler handler;
  };
  const Case cases[] = {
      {"open refused", Behaviour::kRefuseOpen, {}},
      {"silent service", Behaviour::kSilent, {}},
      {"hangs up at the call", Behaviour::kHangUpOnCall, {}},
      {"driver failure status", Behaviour::kServe,
       [](uint32_t, const auto&, uint32_t) {
         return Answer{wire::kStatusNotReady, {1, 1, 1}};
       }},
      {"answer larger than asked for", Behaviour::kServe,
       [](uint32_t, const auto&, uint32_t) {
         return Answer{0, std::vector<uint8_t>(7, 0xEE)};
       }},
  };
  for (const Case& c : cases) {
    auto service = Fake(c.behaviour, c.handler);
    ExpectQueryFailsUntouched(c.why);
  }
}

TEST_F(DriverFailureTest, OpenConnectToDeviceWaitsForTheServicesAnswer) {
  for (Behaviour behaviour : {Behaviour::kRefuseOpen, Behaviour::kSilent}) {
    auto service = Fake(behaviour);
    ASSERT_TRUE(adapter.SearchDevice());
    EXPECT_FALSE(adapter.OpenConnectToDevice());
    adapter.CloseConnectToDevice();
  }
  auto service = Fake(Behaviour::kServe);
  ASSERT_TRUE(adapter.SearchDevice());
  EXPECT_TRUE(adapter.OpenConnectToDevice());
  adapter.CloseConnectToDevice();
}

TEST_F(DriverFailureTest, RequestIsOpenOneStructureCallAndMethodOne) {
  auto service = Fake(Behaviour::kServe, [](uint32_t, const auto& in, uint32_t capacity) {
    EXPECT_EQ(in, (std::vector<uint8_t>{9, 8, 7, 6, 5, 4}));
    EXPECT_EQ(capacity, 6u);
    return MacAnswer(0x42);
  });
  uint8_t buffer[6] = {9, 8, 7, 6, 5, 4};
  uint32_t returned = 0;
  ASSERT_TRUE(adapter.OidQueryInformation(OID_802_3_CURRENT_ADDRESS, buffer, 6, &returned));
  EXPECT_EQ(buffer[5], 0x42);
  EXPECT_EQ(returned, 6u);
  auto calls = service->Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].kind, "open");
  EXPECT_EQ(calls[0].selector, 0u) << "connection type 0";
  EXPECT_EQ(calls[1].kind, "struct");
  EXPECT_EQ(calls[1].selector, OID_802_3_CURRENT_ADDRESS);
  EXPECT_EQ(calls[2].kind, "scalar");
  EXPECT_EQ(calls[2].selector, 1u);
  EXPECT_EQ(service->Connections(), 1);
}

TEST_F(DriverFailureTest, ShortAnswerKeepsTheRestOfTheBuffer) {
  auto service = Fake(Behaviour::kServe, [](uint32_t, const auto&, uint32_t) {
    return Answer{0, {0xAA, 0xBB}};
  });
  uint8_t buffer[6] = {1, 2, 3, 4, 5, 6};
  uint32_t returned = 0;
  ASSERT_TRUE(adapter.OidQueryInformation(OID_802_3_CURRENT_ADDRESS, buffer, 6, &returned));
  EXPECT_EQ(returned, 2u);
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 6),
            (std::vector<uint8_t>{0xAA, 0xBB, 3, 4, 5, 6}));
}

TEST_F(DriverFailureTest, OversizedRequestIsRefusedWithoutACall) {
  auto service = Fake(Behaviour::kServe);
  std::vector<uint8_t> big(kMaxOidBufferSize + 1, 0x11);
  uint32_t returned = 5;
  EXPECT_FALSE(adapter.OidQueryInformation(OID_802_11_BSSID_LIST, big.data(),
                                           static_cast<uint32_t>(big.size()), &returned));
  EXPECT_EQ(returned, 5u);
  EXPECT_EQ(big.front(), 0x11);
  EXPECT_TRUE(service->Calls().empty());
}

TEST_F(DriverFailureTest, LastServiceInUnitOrderWinsAndOtherNamesAreIgnored) {
  auto unit2 = Fake(
      Behaviour::kServe, [](uint32_t, const auto&, uint32_t) { return MacAnswer(2); },
      "Trelvane-2");
  auto unit10 = Fake(
      Behaviour::kServe, [](uint32_t, const auto&, uint32_t) { return MacAnswer(10); },
      "Trelvane-10");
  // Entries that do not name a unit of the class, even if something listens there.
  auto other = Fake(
      Behaviour::kServe, [](uint32_t, const auto&, uint32_t) { return MacAnswer(99); },
      "Trelvane-11a");
  for (const char* junk : {"Trelvane-", "Trelvane-+12", "TrelvaneX-30", "Trelvane-99999999999",
                           "trelvane-40", "Trelvane-1 "}) {
    std::ofstream(environment.RegistryDir() + "/" + junk) << "";
  }
  platform::MasterPort master;
  ASSERT_EQ(platform::IOMasterPort(platform::bootstrap_port, master), platform::KERN_SUCCESS);
  platform::IoIterator iterator;
  ASSERT_EQ(platform::IOServiceGetMatchingServices(master, platform::IOServiceMatching("Trelvane"),
                                                   iterator),
            platform::KERN_SUCCESS);
  std::vector<uint32_t> units;
  while (platform::IoService service = platform::IOIteratorNext(iterator)) {
    units.push_back(service.Unit());
  }
  EXPECT_EQ(units, (std::vector<uint32_t>{2, 10}));

  uint8_t buffer[6] = {};
  uint32_t returned = 0;
  ASSERT_TRUE(adapter.OidQueryInformation(OID_802_3_CURRENT_ADDRESS, buffer, 6, &returned));
  EXPECT_EQ(buffer[5], 10);
  EXPECT_EQ(unit2->Connections(), 0);
}

// ---- scan-list assembly from crafted blocks

// Serves `blocks` in turn: the first for OID_802_11_BSSID_LIST, the rest for
// BSSID_LIST_NEXT; then empty answers (or `after` for every further block).
zvtest::FakeDriverService::Handler ServeBlocks(std::vector<Answer> blocks,
                                               std::optional<Answer> after = std::nullopt) {
  auto state = std::make_shared<std::pair<std::vector<Answer>, size_t>>(std::move(blocks), 0);
  return [state, after](uint32_t selector, const auto&, uint32_t) {
    if (selector == OID_802_11_BSSID_LIST) state->second = 0;
    auto& [list, next] = *state;
    if (next < list.size()) return list[next++];
    return after.value_or(Answer{});
  };
}

std::vector<std::string> SsidsOfList() {
  std::vector<std::string> ssids;
  for (const ScanEntry& entry : ScanListView::OfGlobalList()) ssids.push_back(entry.SsidText());
  return ssids;
}

TEST_F(DriverFailureTest, MalformedEntriesAreLeftOutAndNotCounted) {
  std::vector<uint8_t> pastBlock = MakeEntry(400, "long");
  pastBlock.resize(200);  // its Length says 400, the block ends after 200
  auto service = Fake(Behaviour::kServe,
                      ServeBlocks({
                          // NumberOfItems claims ten entries; two are there.
                          {0, MakeList(10, {MakeEntry(130, "a", 14), MakeEntry(116, "b")})},
                          // A short entry ends its block's walk.
                          {0, MakeList(2, {MakeEntry(60, "short"), MakeEntry(116, "unseen")})},
                          {0, MakeList(2, {MakeEntry(104, "old"), pastBlock})},
                          {0, MakeList(1, {MakeEntry(120, "c")})},
                      }));
  adapter.QueryBssidList();
  EXPECT_EQ(ScanListView::OfGlobalList().DeclaredCount(), 4u);
  EXPECT_EQ(SsidsOfList(), (std::vector<std::string>{"a", "b", "old", "c"}));
}

TEST_F(DriverFailureTest, FetchStopsWhenTheListBufferIsFull) {
  // Every block carries one entry of 4,000 bytes, without end.
  Answer block{0, MakeList(1, {MakeEntry(4000, "big", 3884, 0xDD)})};
  auto service = Fake(Behaviour::kServe, ServeBlocks({}, block));
  adapter.QueryBssidList();
  size_t fits = (kBssidListBufferSize - 4) / 4000;
  EXPECT_EQ(ScanListView::OfGlobalList().DeclaredCount(), fits);
  EXPECT_EQ(ScanListView::OfGlobalList().Count(), fits);
}

TEST_F(DriverFailureTest, FetchEndsAtAFailureOrAUselessBlock) {
  struct Case {
    const char* why;
    Answer third;
  };
  const Case cases[] = {
      {"continuation fails", Answer{wire::kStatusGeneralError, {}}},
      // Sent without end: the fetch must still come to an end.
      {"blocks without a usable entry", Answer{0, MakeList(3, {MakeEntry(8, "x")})}},
  };
  for (const Case& c : cases) {
    auto service = Fake(Behaviour::kServe, ServeBlocks({{0, MakeList(1, {MakeEntry(116, "one")})},
                                                        {0, MakeList(1, {MakeEntry(116, "two")})}},
                                                       c.third));
    adapter.QueryBssidList();
    EXPECT_EQ(SsidsOfList(), (std::vector<std::string>{"one", "two"})) << c.why;
    EXPECT_EQ(ScanListView::OfGlobalList().DeclaredCount(), 2u) << c.why;
  }
}

TEST_F(DriverFailureTest, AbsentAdapterStillGivesAnEmptyList) {
  adapter.QueryBssidList();
  ASSERT_NE(G_pBssidList, nullptr);
  EXPECT_EQ(ScanListView::OfGlobalList().DeclaredCount(), 0u);
}

TEST_F(DriverFailureTest, CheckPhyModeLooksAtTheFirstFourTypesOnly) {
  struct Case {
    std::vector<uint32_t> words;  // NumberOfItems, then the types
    int8_t supportsA;
  };
  const Case cases[] = {
      {{3, 1, 3, 2, 0}, 1},
      {{4, 1, 3, 3, 2}, 1},
      {{200, 1, 3, 3, 1}, 0},  // a lying count reads no further than the record
      {{2, 1, 3, 2, 0}, 0},    // a value after the listed ones does not count
  };
  for (const Case& c : cases) {
    ResetGlobalState();
    auto service = Fake(Behaviour::kServe, [&](uint32_t selector, const auto&, uint32_t) {
      EXPECT_EQ(selector, OID_802_11_NETWORK_TYPES_SUPPORTED);
      std::vector<uint8_t> bytes(c.words.size() * 4);
      std::memcpy(bytes.data(), c.words.data(), bytes.size());
      return Answer{0, bytes};
    });
    adapter.CheckPhyMode();
    EXPECT_EQ(G_bSupportAMode, c.supportsA) << c.words[0];
  }
}

}  // namespace
