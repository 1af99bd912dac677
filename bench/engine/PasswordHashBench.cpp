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

// Mean seconds per derivation of each benchmark, collected by the reporter below.
std::map<std::string, double> g_secondsPerDerivation;

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
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        g_secondsPerDerivation[run.benchmark_name()] =
            run.real_accumulated_time / static_cast<double>(run.iterations);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

void PrintRatios() {
  const double openssl = g_secondsPerDerivation["BM_OpenSslPbkdf2"];
  if (openssl <= 0) return;
  std::printf("\nTime per derivation relative to OpenSSL PKCS5_PBKDF2_HMAC_SHA1 (%.3f ms):\n",
              openssl * 1e3);
  for (const char* name : {"BM_PasswordHash", "BM_PasswordHashPortable"}) {
    const double seconds = g_secondsPerDerivation[name];
    if (seconds <= 0) continue;
    std::printf("  %-24s %.3f ms  = %.2f x OpenSSL's time (%.1f times as fast)\n", name,
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
