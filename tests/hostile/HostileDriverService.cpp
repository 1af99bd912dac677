// SPDX-License-Identifier: GPL-3.0-or-later
#include "HostileDriverService.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include "driver/OidCatalogue.h"
#include "platform/ServiceWire.h"

namespace zvtest {
namespace {

sockaddr_un AddressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  return address;
}

// Waits until `fd` is readable; false when `stopFd` becomes readable first.
bool WaitReadable(int fd, int stopFd) {
  pollfd polls[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
  while (true) {
    int ready = ::poll(polls, 2, -1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || polls[1].revents != 0) return false;
    if (polls[0].revents != 0) return true;
  }
}

bool ReadExactly(int fd, void* buffer, size_t size, int stopFd) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  while (size > 0) {
    if (!WaitReadable(fd, stopFd)) return false;
    ssize_t got = ::recv(fd, bytes, size, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

bool SendAll(int fd, const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    ssize_t sent = ::send(fd, bytes, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

template <typename T>
bool SendValue(int fd, const T& value) {
  return SendAll(fd, &value, sizeof(value));
}

bool IsScanList(uint32_t selector) {
  return selector == OID_802_11_BSSID_LIST || selector == ZX_OID_802_11_BSSID_LIST_NEXT;
}

// NumberOfItems claims a thousand entries, and the second entry's Length runs far past the
// end of the block; the first entry stays intact.
void LieInScanList(std::vector<uint8_t>& block) {
  if (block.size() < 8) return;
  const uint32_t claimed = 1000;
  std::memcpy(block.data(), &claimed, sizeof(claimed));
  uint32_t firstLength = 0;
  std::memcpy(&firstLength, block.data() + 4, sizeof(firstLength));
  const size_t second = size_t{4} + firstLength;
  if (firstLength == 0 || second + 4 > block.size()) return;
  const uint32_t lie = 0x7FFFFFF0;
  std::memcpy(block.data() + second, &lie, sizeof(lie));
}

class Socket {
 public:
  explicit Socket(int fd = -1) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

HostileDriverService::HostileDriverService(const std::string& registry,
                                           const std::string& entryName, std::string upstreamPath,
                                           Plan plan)
    : path_(registry + "/" + entryName),
      upstreamPath_(std::move(upstreamPath)),
      plan_(std::move(plan)) {
  ::mkdir(registry.c_str(), 0700);
  ::unlink(path_.c_str());
  if (::pipe(stopPipe_) != 0) return;
  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address = AddressOf(path_);
  if (listenFd_ < 0 ||
      ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::listen(listenFd_, 16) != 0) {
    return;
  }
  thread_ = std::thread([this] { Run(); });
}

HostileDriverService::~HostileDriverService() {
  stopping_ = true;
  if (stopPipe_[1] >= 0) (void)::write(stopPipe_[1], "x", 1);
  if (thread_.joinable()) thread_.join();
  if (listenFd_ >= 0) ::close(listenFd_);
  for (int fd : stopPipe_) {
    if (fd >= 0) ::close(fd);
  }
  ::unlink(path_.c_str());
}

void HostileDriverService::SetPlan(Plan plan) {
  std::lock_guard lock(mutex_);
  plan_ = std::move(plan);
}

std::vector<uint32_t> HostileDriverService::Selectors() const {
  std::lock_guard lock(mutex_);
  return selectors_;
}

int HostileDriverService::Played(Hostility hostility) const {
  std::lock_guard lock(mutex_);
  return played_[static_cast<int>(hostility)];
}

void HostileDriverService::Run() {
  while (!stopping_) {
    if (!WaitReadable(listenFd_, stopPipe_[0])) return;
    int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    Serve(client);
    ::close(client);
  }
}

void HostileDriverService::Serve(int client) {
  const int stop = stopPipe_[0];
  wire::OpenRequest open{};
  if (!ReadExactly(client, &open, sizeof(open), stop)) return;
  Socket upstream(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_un address = AddressOf(upstreamPath_);
  if (upstream.get() < 0 ||
      ::connect(upstream.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    return;  // no adapter behind us: the open fails
  }
  wire::OpenReply opened{};
  if (!SendValue(upstream.get(), open) ||
      !ReadExactly(upstream.get(), &opened, sizeof(opened), stop) || !SendValue(client, opened) ||
      opened.status != wire::kStatusSuccess) {
    return;
  }

  while (true) {
    uint32_t call = 0;
    if (!ReadExactly(client, &call, sizeof(call), stop)) return;
    if (call == wire::kCallScalar) {
      wire::ScalarCall header{call, 0, 0, 0};
      if (!ReadExactly(client, &header.selector, sizeof(header) - sizeof(call), stop) ||
          header.n_in > wire::kMaxScalarCount || header.n_out > wire::kMaxScalarCount) {
        return;
      }
      std::vector<uint8_t> values(size_t{header.n_in} * 8);
      if (!ReadExactly(client, values.data(), values.size(), stop)) return;
      wire::ScalarReply reply{};
      if (!SendValue(upstream.get(), header) ||
          !SendAll(upstream.get(), values.data(), values.size()) ||
          !ReadExactly(upstream.get(), &reply, sizeof(reply), stop) ||
          reply.n_out > wire::kMaxScalarCount) {
        return;
      }
      std::vector<uint8_t> out(size_t{reply.n_out} * 8);
      if (!ReadExactly(upstream.get(), out.data(), out.size(), stop) || !SendValue(client, reply) ||
          !SendAll(client, out.data(), out.size())) {
        return;
      }
      continue;
    }
    if (call != wire::kCallStructure) return;

    wire::StructureCall header{call, 0, 0, 0};
    if (!ReadExactly(client, &header.selector, sizeof(header) - sizeof(call), stop) ||
        header.in_size > wire::kMaxStructureSize || header.out_capacity > wire::kMaxStructureSize) {
      return;
    }
    std::vector<uint8_t> in(header.in_size);
    if (!ReadExactly(client, in.data(), in.size(), stop)) return;
    wire::StructureReply reply{};
    if (!SendValue(upstream.get(), header) || !SendAll(upstream.get(), in.data(), in.size()) ||
        !ReadExactly(upstream.get(), &reply, sizeof(reply), stop) ||
        reply.out_size > wire::kMaxStructureSize) {
      return;
    }
    std::vector<uint8_t> out(reply.out_size);
    if (!ReadExactly(upstream.get(), out.data(), out.size(), stop)) return;

    Hostility hostility = Hostility::kPass;
    {
      std::lock_guard lock(mutex_);
      if (plan_) hostility = plan_(header.selector, static_cast<int>(selectors_.size()));
      if (hostility == Hostility::kLyingScanList && !IsScanList(header.selector)) {
        hostility = Hostility::kPass;
      }
      selectors_.push_back(header.selector);
      ++played_[static_cast<int>(hostility)];
    }

    switch (hostility) {
      case Hostility::kPass:
        break;
      case Hostility::kTruncated: {
        // The header promises at least one byte more than will ever come.
        reply.out_size = std::max<uint32_t>(reply.out_size, 2);
        out.resize(reply.out_size / 2);
        SendValue(client, reply);
        SendAll(client, out.data(), out.size());
        return;
      }
      case Hostility::kOversized:
        reply.out_size = header.out_capacity + 64;
        out.resize(reply.out_size, 0xA5);
        break;
      case Hostility::kLyingScanList:
        LieInScanList(out);
        break;
      case Hostility::kSilent: {
        // Hold the connection without a word until the client hangs up.
        uint8_t ignored[256];
        while (WaitReadable(client, stop) && ::recv(client, ignored, sizeof(ignored), 0) > 0) {
        }
        return;
      }
      case Hostility::kDropMidReply:
        SendAll(client, &reply, sizeof(reply) / 2);
        return;
    }
    if (!SendValue(client, reply) || !SendAll(client, out.data(), out.size())) return;
  }
}

}  // namespace zvtest
