// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeDriverService.h"

#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include "platform/ServiceWire.h"

namespace zvtest {
namespace {

// Reads exactly `size` bytes unless the peer goes or `stopFd` becomes readable.
bool ReadAll(int fd, int stopFd, void* buffer, size_t size) {
  auto* out = static_cast<uint8_t*>(buffer);
  while (size > 0) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) return false;
    if (fds[1].revents != 0) return false;
    ssize_t got = ::read(fd, out, size);
    if (got <= 0) return false;
    out += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

void WriteAll(int fd, const void* data, size_t size) {
  const auto* in = static_cast<const uint8_t*>(data);
  while (size > 0) {
    ssize_t sent = ::send(fd, in, size, MSG_NOSIGNAL);
    if (sent <= 0) return;
    in += sent;
    size -= static_cast<size_t>(sent);
  }
}

}  // namespace

FakeDriverService::FakeDriverService(const std::string& registry, const std::string& entryName,
                                     Behaviour behaviour, Handler handler)
    : behaviour_(behaviour), handler_(std::move(handler)), path_(registry + "/" + entryName) {
  ::mkdir(registry.c_str(), 0700);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path_.c_str(), sizeof(address.sun_path) - 1);
  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0 ||
      ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::listen(listenFd_, 16) != 0 || ::pipe(stopPipe_) != 0) {
    throw std::runtime_error("cannot register the fake service at " + path_);
  }
  thread_ = std::thread([this] { Run(); });
}

FakeDriverService::~FakeDriverService() {
  (void)!::write(stopPipe_[1], "x", 1);
  thread_.join();
  ::close(listenFd_);
  ::close(stopPipe_[0]);
  ::close(stopPipe_[1]);
  ::unlink(path_.c_str());
}

std::vector<FakeDriverService::Call> FakeDriverService::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

int FakeDriverService::Connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

void FakeDriverService::Run() {
  for (;;) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0 || fds[1].revents != 0) return;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    {
      std::lock_guard lock(mutex_);
      ++connections_;
    }
    Serve(fd);
    ::close(fd);
  }
}

void FakeDriverService::Serve(int fd) {
  int stop = stopPipe_[0];
  if (behaviour_ == Behaviour::kSilent) {
    // Hold the connection without a word until the client gives up or the test ends.
    char sink[512];
    while (ReadAll(fd, stop, sink, 1)) {
    }
    return;
  }
  wire::OpenRequest open{};
  if (!ReadAll(fd, stop, &open, sizeof(open))) return;
  {
    std::lock_guard lock(mutex_);
    calls_.push_back({"open", open.type});
  }
  wire::OpenReply openReply{behaviour_ == Behaviour::kRefuseOpen ? wire::kStatusGeneralError
                                                                 : wire::kStatusSuccess};
  WriteAll(fd, &openReply, sizeof(openReply));
  if (behaviour_ == Behaviour::kRefuseOpen) return;

  for (;;) {
    uint32_t header[4];
    if (!ReadAll(fd, stop, header, sizeof(header))) return;
    if (behaviour_ == Behaviour::kHangUpOnCall) return;
    uint32_t call = header[0];
    uint32_t selector = header[1];
    {
      std::lock_guard lock(mutex_);
      calls_.push_back({call == wire::kCallStructure ? "struct" : "scalar", selector});
    }
    if (call == wire::kCallStructure) {
      std::vector<uint8_t> in(header[2]);
      if (header[2] > wire::kMaxStructureSize || !ReadAll(fd, stop, in.data(), in.size())) return;
      Answer answer = handler_ ? handler_(selector, in, header[3]) : Answer{};
      wire::StructureReply reply{answer.status, static_cast<uint32_t>(answer.bytes.size())};
      WriteAll(fd, &reply, sizeof(reply));
      WriteAll(fd, answer.bytes.data(), answer.bytes.size());
    } else {
      std::vector<uint64_t> values(header[2]);
      if (header[2] > wire::kMaxScalarCount ||
          !ReadAll(fd, stop, values.data(), values.size() * sizeof(uint64_t))) {
        return;
      }
      wire::ScalarReply reply{wire::kStatusSuccess, 0};
      WriteAll(fd, &reply, sizeof(reply));
    }
  }
}

}  // namespace zvtest
