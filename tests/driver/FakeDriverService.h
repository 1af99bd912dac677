// SPDX-License-Identifier: GPL-3.0-or-later
// A tiny driver service for the cases trelvaned does not play: it registers a socket in
// the registry, serves one connection at a time on its own thread, and answers structure
// calls through a handler the test gives. Its behaviour can refuse the open or stay silent.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zvtest {

class FakeDriverService {
 public:
  enum class Behaviour {
    kServe,        // answer the open with 0 and every call
    kRefuseOpen,   // answer the open with a failure status and hang up
    kSilent,       // accept connections and never answer anything
    kHangUpOnCall  // accept the open, then close the connection at the first call
  };
  struct Answer {
    int32_t status = 0;
    std::vector<uint8_t> bytes;  // sent as is, even beyond the capacity asked for
  };
  using Handler = std::function<Answer(uint32_t selector, const std::vector<uint8_t>& in,
                                       uint32_t outCapacity)>;
  struct Call {
    std::string kind;  // "open", "struct", "scalar"
    uint32_t selector = 0;
  };

  // Registers `registry`/`entryName` (the registry folder is created when missing).
  FakeDriverService(const std::string& registry, const std::string& entryName, Behaviour behaviour,
                    Handler handler = {});
  ~FakeDriverService();
  FakeDriverService(const FakeDriverService&) = delete;
  FakeDriverService& operator=(const FakeDriverService&) = delete;

  // Every request received so far.
  std::vector<Call> Calls() const;
  // Number of connections accepted so far.
  int Connections() const;

 private:
  void Run();
  void Serve(int fd);

  Behaviour behaviour_;
  Handler handler_;
  std::string path_;
  int listenFd_ = -1;
  int stopPipe_[2] = {-1, -1};
  mutable std::mutex mutex_;
  std::vector<Call> calls_;
  int connections_ = 0;
  std::thread thread_;
};

}  // namespace zvtest
