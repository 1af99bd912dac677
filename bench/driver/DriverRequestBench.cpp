// SPDX-License-Identifier: GPL-3.0-or-later
// What one driver request costs. Every link-status refresh makes six of them and a profile
// up to eighteen, all on the main thread, so this is the program's latency budget.
//
//   FullRequest      ZX7100Access::OidQueryInformation: registry search, connect, open,
//                    structure call, method-1 call, close.
//   BareRequestReply the same structure call and its answer on a connection opened once
//                    beforehand: the floor set by the socket round trip and the service.
//
// Both run against one trelvaned (started here, without a journal); the ratio is printed
// at the end. Goal: FullRequest at most 2.5 times BareRequestReply.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <poll.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <sys/un.h>

#include "driver/OidCatalogue.h"
#include "driver/ZX7100Access.h"
#include "platform/ServiceWire.h"
#include "support/RecordingAlertPanel.h"
#include "support/TrelvanedFixture.h"

namespace {

zvtest::TrelvanedFixture* g_service = nullptr;

bool ReadExactly(int fd, void* buffer, size_t size) {
  auto* out = static_cast<uint8_t*>(buffer);
  while (size > 0) {
    ssize_t got = ::read(fd, out, size);
    if (got <= 0) return false;
    out += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

void FullRequest(benchmark::State& state) {
  zvtest::RecordingAlertPanel alerts;
  ZX7100Access adapter(alerts);
  for (auto _ : state) {
    uint32_t status = 0;
    uint32_t returned = 0;
    if (!adapter.OidQueryInformation(OID_GEN_MEDIA_CONNECT_STATUS, &status, sizeof(status),
                                     &returned)) {
      state.SkipWithError("request failed");
      break;
    }
    benchmark::DoNotOptimize(status);
  }
}

void BareRequestReply(benchmark::State& state) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, g_service->ServiceSocketPath().c_str(),
               sizeof(address.sun_path) - 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  wire::OpenRequest open{wire::kOpenMagic, wire::kProtocolVersion, wire::kConnectionType};
  wire::OpenReply opened{};
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::write(fd, &open, sizeof(open)) != sizeof(open) || !ReadExactly(fd, &opened, 4) ||
      opened.status != 0) {
    state.SkipWithError("cannot open a connection");
    ::close(fd);
    return;
  }
  struct {
    wire::StructureCall call{wire::kCallStructure, OID_GEN_MEDIA_CONNECT_STATUS, 4, 4};
    uint32_t payload = 0;
  } request;
  static_assert(sizeof(request) == 20);
  for (auto _ : state) {
    struct {
      wire::StructureReply reply;
      uint32_t value;
    } answer{};
    if (::write(fd, &request, sizeof(request)) != sizeof(request) ||
        !ReadExactly(fd, &answer, sizeof(answer)) || answer.reply.status != 0) {
      state.SkipWithError("bare call failed");
      break;
    }
    benchmark::DoNotOptimize(answer);
  }
  ::close(fd);
}

BENCHMARK(FullRequest)->UseRealTime();
BENCHMARK(BareRequestReply)->UseRealTime();

// Prints as usual and keeps each benchmark's time per iteration for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        nanoseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
      }
    }
  }
  std::map<std::string, double> nanoseconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  zvtest::TrelvanedFixture service;
  if (!service.Start("", 0, /*withJournal=*/false)) {
    std::fprintf(stderr, "cannot start trelvaned: %s\n", service.LastError().c_str());
    return 1;
  }
  g_service = &service;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double full = reporter.nanoseconds["FullRequest/real_time"];
  double bare = reporter.nanoseconds["BareRequestReply/real_time"];
  if (full > 0 && bare > 0) {
    std::printf("full request %.1f us, bare request/reply %.1f us, ratio %.2f (goal <= 2.5)\n",
                full / 1000, bare / 1000, full / bare);
  }
  g_service = nullptr;
  service.Stop();
  benchmark::Shutdown();
  return 0;
}
