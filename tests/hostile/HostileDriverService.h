// SPDX-License-Identifier: GPL-3.0-or-later
// A driver service that lies. It registers itself in the service registry in front of a
// real trelvaned (a higher unit number, so the utility picks it), passes every request on
// and bends the answers as the test's plan says: truncated replies, out_size beyond the
// capacity asked for, scan lists with lying NumberOfItems and Length fields, replies that
// never come, and connections dropped in the middle of a reply.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zvtest {

enum class Hostility {
  kPass,           // the upstream answer as it is
  kTruncated,      // out_size as upstream said, half the bytes, then hang up
  kOversized,      // out_size and bytes beyond out_capacity
  kLyingScanList,  // scan blocks: NumberOfItems 1000, the second entry's Length past the end
  kSilent,         // read the request, never answer (until the client gives up)
  kDropMidReply,   // half of the reply header, then hang up
};

class HostileDriverService {
 public:
  // Chooses what happens to structure call number `call` (0 counts from the first call
  // served) with `selector`.
  using Plan = std::function<Hostility(uint32_t selector, int call)>;

  // Registers `registry`/`entryName` and forwards to the service socket `upstreamPath`.
  HostileDriverService(const std::string& registry, const std::string& entryName,
                       std::string upstreamPath, Plan plan);
  ~HostileDriverService();
  HostileDriverService(const HostileDriverService&) = delete;
  HostileDriverService& operator=(const HostileDriverService&) = delete;

  void SetPlan(Plan plan);
  // Selectors of the structure calls served so far, in order.
  std::vector<uint32_t> Selectors() const;
  // How often each hostility was played.
  int Played(Hostility hostility) const;

 private:
  void Run();
  void Serve(int client);

  std::string path_;
  std::string upstreamPath_;
  int listenFd_ = -1;
  int stopPipe_[2] = {-1, -1};
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  Plan plan_;
  std::vector<uint32_t> selectors_;
  int played_[6] = {};
  std::thread thread_;
};

}  // namespace zvtest
