// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/IOService.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <poll.h>
#include <unistd.h>
#include <utility>

#include <sys/socket.h>
#include <sys/un.h>

#include "platform/ServiceWire.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// The unit number of registry entry `name` when it is "<className>-<digits>"; -1 otherwise
// (also for numbers beyond 32 bits).
int64_t UnitOfEntry(const char* name, const std::string& className) {
  size_t prefix = className.size();
  if (std::strncmp(name, className.data(), prefix) != 0 || name[prefix] != '-') return -1;
  const char* digits = name + prefix + 1;
  size_t count = std::strlen(digits);
  if (count == 0 || count > 10) return -1;
  int64_t unit = 0;
  for (size_t i = 0; i < count; ++i) {
    if (digits[i] < '0' || digits[i] > '9') return -1;
    unit = unit * 10 + (digits[i] - '0');
  }
  return unit <= int64_t{UINT32_MAX} ? unit : -1;
}

int MillisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<int64_t>(0, left.count()));
}

// Writes all of `size` bytes to the non-blocking socket before `deadline`.
bool SendAll(int fd, const uint8_t* data, size_t size, Clock::time_point deadline) {
  while (size > 0) {
    ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
    if (sent > 0) {
      data += sent;
      size -= static_cast<size_t>(sent);
      continue;
    }
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, MillisecondsLeft(deadline)) <= 0) return false;
      continue;
    }
    return false;
  }
  return true;
}

// Reads exactly `size` bytes before `deadline`. A closed socket, an error or the deadline
// is a failure; what was read so far is then meaningless.
IOReturn ReadExactly(int fd, void* buffer, size_t size, Clock::time_point deadline) {
  auto* out = static_cast<uint8_t*>(buffer);
  while (size > 0) {
    ssize_t got = ::recv(fd, out, size, 0);
    if (got > 0) {
      out += got;
      size -= static_cast<size_t>(got);
      continue;
    }
    if (got == 0) return kIOReturnNoDevice;  // the service closed the connection
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return kIOReturnNoDevice;
    pollfd p{fd, POLLIN, 0};
    int ready = ::poll(&p, 1, MillisecondsLeft(deadline));
    if (ready == 0) return kIOReturnTimeout;
    if (ready < 0 && errno != EINTR) return kIOReturnError;
  }
  return kIOReturnSuccess;
}

// Largest single write: an open request, a structure call with its bytes and a scalar call.
constexpr size_t kMaxPacket = sizeof(wire::OpenRequest) + sizeof(wire::StructureCall) +
                              wire::kMaxStructureSize + sizeof(wire::ScalarCall) +
                              wire::kMaxScalarCount * sizeof(uint64_t);

// Builds one write out of several requests.
class Packet {
 public:
  template <typename T>
  void Add(const T& header) {
    Append(&header, sizeof(header));
  }
  void Append(const void* data, size_t size) {
    if (size == 0) return;
    std::memcpy(bytes_.data() + size_, data, size);
    size_ += size;
  }
  const uint8_t* Data() const { return bytes_.data(); }
  size_t Size() const { return size_; }

 private:
  std::array<uint8_t, kMaxPacket> bytes_;
  size_t size_ = 0;
};

}  // namespace

// The connection's conversation with the service: queued open request, reading answers.
class IoConnect::Wire {
 public:
  explicit Wire(IoConnect& connect) : c_(connect) {}

  // Puts the open request in front of the next write if it has not been sent yet.
  void AddOpenIfUnsent(Packet& packet) {
    if (c_.openRequestSent_) return;
    packet.Add(wire::OpenRequest{wire::kOpenMagic, wire::kProtocolVersion, c_.openType_});
  }

  IOReturn Send(const Packet& packet) {
    if (!SendAll(c_.fd_, packet.Data(), packet.Size(), Deadline())) return Break(kIOReturnNoDevice);
    c_.openRequestSent_ = true;
    return kIOReturnSuccess;
  }

  // Reads the open's answer if it is still outstanding; any failure breaks the connection.
  IOReturn SettleOpen() {
    if (c_.openAnswered_) return kIOReturnSuccess;
    wire::OpenReply reply{};
    if (Read(&reply, sizeof(reply)) != kIOReturnSuccess || reply.status != wire::kStatusSuccess) {
      return Break(kIOReturnNotOpen);
    }
    c_.openAnswered_ = true;
    return kIOReturnSuccess;
  }

  // Reads the answers of method-1 calls sent ahead that nobody collected.
  IOReturn DrainMethodOneAnswers() {
    while (c_.methodOneAnswersPending_ > 0) {
      --c_.methodOneAnswersPending_;
      IOReturn result = ReadScalarAnswer(0, nullptr, nullptr);
      if (result != kIOReturnSuccess) return result;
    }
    return kIOReturnSuccess;
  }

  // Reads one scalar answer (status, count, values) with room for `room` values.
  IOReturn ReadScalarAnswer(uint32_t room, uint64_t* values, IOReturn* status) {
    wire::ScalarReply reply{};
    IOReturn result = Read(&reply, sizeof(reply));
    if (result != kIOReturnSuccess) return Break(result);
    if (reply.n_out > room) return Break(kIOReturnOverrun);
    std::array<uint64_t, wire::kMaxScalarCount> received{};
    result = Read(received.data(), reply.n_out * sizeof(uint64_t));
    if (result != kIOReturnSuccess) return Break(result);
    if (values != nullptr) std::copy_n(received.begin(), reply.n_out, values);
    if (status != nullptr) *status = reply.status;
    return kIOReturnSuccess;
  }

  IOReturn Read(void* buffer, size_t size) { return ReadExactly(c_.fd_, buffer, size, Deadline()); }

  // The conversation is out of step or gone: close the socket so nothing more is read.
  IOReturn Break(IOReturn why) {
    if (c_.fd_ >= 0) ::close(c_.fd_);
    c_.fd_ = -1;
    return why;
  }

 private:
  Clock::time_point Deadline() const { return Clock::now() + c_.replyTimeout_; }
  IoConnect& c_;
};

IoConnect::~IoConnect() {
  if (fd_ >= 0) ::close(fd_);
}

IoConnect::IoConnect(IoConnect&& other) noexcept {
  *this = std::move(other);
}

IoConnect& IoConnect::operator=(IoConnect&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    replyTimeout_ = other.replyTimeout_;
    openType_ = other.openType_;
    openRequestSent_ = other.openRequestSent_;
    openAnswered_ = other.openAnswered_;
    methodOneAnswersPending_ = std::exchange(other.methodOneAnswersPending_, 0);
  }
  return *this;
}

kern_return_t IOMasterPort(mach_port_t, MasterPort& masterPort) {
  masterPort.registry_ = wire::RegistryDirectory();
  return KERN_SUCCESS;
}

kern_return_t mach_port_deallocate(task_port_t, MasterPort& masterPort) {
  masterPort = MasterPort();
  return KERN_SUCCESS;
}

MatchingDictionaryRef IOServiceMatching(const char* className) {
  if (className == nullptr || *className == '\0') return nullptr;
  return std::make_unique<MatchingDictionary>(className);
}

void CFRelease(MatchingDictionaryRef& dictionary) {
  dictionary.reset();
}

kern_return_t IOServiceGetMatchingServices(const MasterPort& masterPort,
                                           MatchingDictionaryRef matching, IoIterator& iterator) {
  iterator = IoIterator();
  if (!masterPort || matching == nullptr) return kIOReturnBadArgument;
  std::vector<std::pair<uint32_t, std::string>> found;
  if (DIR* folder = ::opendir(masterPort.Registry().c_str()); folder != nullptr) {
    while (const dirent* entry = ::readdir(folder)) {
      int64_t unit = UnitOfEntry(entry->d_name, matching->ClassName());
      if (unit >= 0) found.emplace_back(static_cast<uint32_t>(unit), entry->d_name);
    }
    ::closedir(folder);
  }
  std::sort(found.begin(), found.end());
  for (auto& [unit, name] : found) {
    iterator.services_.emplace_back(unit, masterPort.Registry() + "/" + name);
  }
  iterator.valid_ = true;
  return KERN_SUCCESS;
}

IoService IOIteratorNext(IoIterator& iterator) {
  if (iterator.next_ >= iterator.services_.size()) return IoService();
  return iterator.services_[iterator.next_++];
}

void IOObjectRelease(IoIterator& iterator) {
  iterator = IoIterator();
}
void IOObjectRelease(IoService& service) {
  service = IoService();
}

kern_return_t IOServiceOpen(const IoService& service, task_port_t, uint32_t type,
                            IoConnect& connect, OpenReply openReply,
                            std::chrono::milliseconds replyTimeout) {
  connect = IoConnect();
  if (!service) return kIOReturnBadArgument;
  sockaddr_un address{};
  const std::string& path = service.SocketPath();
  if (path.size() >= sizeof(address.sun_path)) return kIOReturnBadArgument;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return kIOReturnNoDevice;
  // A stale socket file refuses at once; a service whose backlog is full answers EAGAIN
  // instead of making us wait.
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return kIOReturnNotFound;
  }
  connect.fd_ = fd;
  connect.replyTimeout_ = replyTimeout;
  connect.openType_ = type;
  if (openReply == OpenReply::kWithFirstCall) return kIOReturnSuccess;

  IoConnect::Wire wire(connect);
  Packet packet;
  wire.AddOpenIfUnsent(packet);
  IOReturn result = wire.Send(packet);
  if (result == kIOReturnSuccess) result = wire.SettleOpen();
  return result == kIOReturnSuccess ? kIOReturnSuccess : kIOReturnNotOpen;
}

kern_return_t IOConnectMethodStructureIStructureO(IoConnect& connect, uint32_t selector,
                                                  uint32_t inputSize, uint32_t* outputSize,
                                                  const void* input, void* output) {
  if (!connect) return kIOReturnNotOpen;
  uint32_t capacity = outputSize != nullptr ? *outputSize : 0;
  if (inputSize > wire::kMaxStructureSize || capacity > wire::kMaxStructureSize ||
      (inputSize > 0 && input == nullptr) || (capacity > 0 && output == nullptr)) {
    return kIOReturnBadArgument;
  }
  IoConnect::Wire wire(connect);
  IOReturn result = wire.DrainMethodOneAnswers();
  if (result != kIOReturnSuccess) return result;

  Packet packet;
  wire.AddOpenIfUnsent(packet);
  packet.Add(wire::StructureCall{wire::kCallStructure, selector, inputSize, capacity});
  packet.Append(input, inputSize);
  packet.Add(wire::ScalarCall{wire::kCallScalar, wire::kMethodOneSelector, 0, 0});
  result = wire.Send(packet);
  if (result != kIOReturnSuccess) return result;
  ++connect.methodOneAnswersPending_;
  result = wire.SettleOpen();
  if (result != kIOReturnSuccess) return result;

  wire::StructureReply reply{};
  result = wire.Read(&reply, sizeof(reply));
  if (result != kIOReturnSuccess) return wire.Break(result);
  if (reply.out_size > capacity) return wire.Break(kIOReturnOverrun);
  std::array<uint8_t, wire::kMaxStructureSize> answer;
  result = wire.Read(answer.data(), reply.out_size);
  if (result != kIOReturnSuccess) return wire.Break(result);
  if (reply.out_size > 0) std::memcpy(output, answer.data(), reply.out_size);
  if (outputSize != nullptr) *outputSize = reply.out_size;
  return reply.status;
}

kern_return_t IOConnectMethodScalarIScalarO(IoConnect& connect, uint32_t selector,
                                            uint32_t inputCount, uint32_t outputCount,
                                            const uint64_t* input, uint64_t* output) {
  if (!connect) return kIOReturnNotOpen;
  if (inputCount > wire::kMaxScalarCount || outputCount > wire::kMaxScalarCount ||
      (inputCount > 0 && input == nullptr) || (outputCount > 0 && output == nullptr)) {
    return kIOReturnBadArgument;
  }
  IoConnect::Wire wire(connect);
  IOReturn status = kIOReturnError;
  // The method-1 call that went out with the structure call: only its answer is left.
  bool sentAhead = selector == wire::kMethodOneSelector && inputCount == 0 && outputCount == 0 &&
                   connect.methodOneAnswersPending_ > 0;
  if (sentAhead) {
    --connect.methodOneAnswersPending_;
    IOReturn result = wire.ReadScalarAnswer(0, nullptr, &status);
    return result == kIOReturnSuccess ? status : result;
  }
  IOReturn result = wire.DrainMethodOneAnswers();
  if (result != kIOReturnSuccess) return result;
  Packet packet;
  wire.AddOpenIfUnsent(packet);
  packet.Add(wire::ScalarCall{wire::kCallScalar, selector, inputCount, outputCount});
  packet.Append(input, inputCount * sizeof(uint64_t));
  result = wire.Send(packet);
  if (result == kIOReturnSuccess) result = wire.SettleOpen();
  if (result == kIOReturnSuccess) result = wire.ReadScalarAnswer(outputCount, output, &status);
  return result == kIOReturnSuccess ? status : result;
}

kern_return_t IOServiceClose(IoConnect& connect) {
  connect = IoConnect();
  return KERN_SUCCESS;
}

}  // namespace platform
