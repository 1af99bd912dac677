// SPDX-License-Identifier: GPL-3.0-or-later
// Times one WPA passphrase derivation (40 bytes, 4096 iterations) three ways on the same
// inputs and prints how the two paths of PasswordHash compare with OpenSSL.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include "engine/crypto/PasswordHash.h"

namespace {

const char kPassphrase[] = "ThisIsAPassword";
const uint8_t kSsid[] = {'T', 'h', 'i', 's', 'I', 's', 'A', 'S', 'S', 'I', 'D'};

// CPU milliseconds per derivation of every benchmark, collected by the reporter below:
// the mean over repetitions (or the "mean" aggregate when only aggregates are reported).
// CPU time is compared because the machine may be shared.
struct CpuTimes {
  double sumMs = 0;
  int runs = 0;
  double aggregateMeanMs = 0;
};
std::map<std::string, CpuTimes> g_cpuTimes;

void BM_PasswordHash(benchmark::State& state) {
  uint8_t out[40];
  for (auto _ : state) {
    benchmark::DoNotOptimize(PasswordHash(kPassphrase, kSsid, sizeof kSsid, out));
    benchmark::ClobberMemory();
  }
  state.SetLabel(crypto::ShaNiAvailable() ? "SHA instructions" : "portable (no SHA instructions)");
}

void BM_PasswordHashPortable(benchmark::State& state) {
  uint8_t out[40];
  for (auto _ : state) {
    benchmark::DoNotOptimize(crypto::PasswordHashWith(crypto::Sha1Engine::Portable, kPassphrase,
                                                      kSsid, sizeof kSsid, out));
    benchmark::ClobberMemory();
  }
}

void BM_OpenSslPbkdf2(benchmark::State& state) {
  uint8_t out[40];
  for (auto _ : state) {
    benchmark::DoNotOptimize(PKCS5_PBKDF2_HMAC_SHA1(kPassphrase, std::strlen(kPassphrase), kSsid,
                                                    sizeof kSsid, 4096, sizeof out, out));
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_OpenSslPbkdf2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasswordHash)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasswordHashPortable)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      CpuTimes& times = g_cpuTimes[run.run_name.function_name];
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        times.sumMs += run.GetAdjustedCPUTime();
        ++times.runs;
      } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean") {
        times.aggregateMeanMs = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

// All benchmarks here report in milliseconds.
double MeanCpuSeconds(const char* name) {
  const CpuTimes& times = g_cpuTimes[name];
  const double ms = times.runs > 0 ? times.sumMs / times.runs : times.aggregateMeanMs;
  return ms / 1e3;
}

void PrintRatios() {
  const double openssl = MeanCpuSeconds("BM_OpenSslPbkdf2");
  if (openssl <= 0) return;
  std::printf("\nCPU time per derivation against OpenSSL PKCS5_PBKDF2_HMAC_SHA1 (%.3f ms):\n",
              openssl * 1e3);
  for (const char* name : {"BM_PasswordHash", "BM_PasswordHashPortable"}) {
    const double seconds = MeanCpuSeconds(name);
    if (seconds <= 0) continue;
    std::printf("  %-24s %.3f ms = %.2f of OpenSSL's time (%.2f times as fast)\n", name,
                seconds * 1e3, seconds / openssl, openssl / seconds);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  PrintRatios();
  return 0;
}
