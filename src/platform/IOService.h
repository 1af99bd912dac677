// SPDX-License-Identifier: GPL-3.0-or-later
// Driver services and their connections, with the names and call shapes the driver access
// code is written against: find the services of a class in the service registry, open a
// user-client connection, make structure and scalar calls, close and release.
//
// Handles are small owning objects instead of numbers in a process-wide table: an empty
// (default-constructed) handle is "0", releasing one empties it, and whatever a handle
// holds is freed when it goes away, so no path can leak a socket.
//
// Transport: the registry is a folder of Unix stream sockets, one per service unit, named
// "<Class>-<unit>" (see platform/ServiceWire.h). Every read is bounded by the connection's
// reply timeout; a service that stops answering, closes early or sends a reply larger than
// the capacity asked for makes the call fail.
//
// Round trips: on this protocol every structure call is followed by the method-1 call with
// no values, so IOConnectMethodStructureIStructureO sends that call in the same write, and
// the IOConnectMethodScalarIScalarO(selector 1, no values) that follows only collects its
// answer. A connection opened with OpenReply::kWithFirstCall also lets the open request
// travel in that write and reads the open's answer just before the call's; a refused open
// then fails the first call with kIOReturnNotOpen. One request thus costs one round trip.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

using kern_return_t = int32_t;
using IOReturn = int32_t;
using mach_port_t = uint32_t;
using task_port_t = uint32_t;

inline constexpr kern_return_t KERN_SUCCESS = 0;
inline constexpr IOReturn kIOReturnSuccess = 0;
inline constexpr IOReturn kIOReturnError = static_cast<IOReturn>(0xE00002BC);
inline constexpr IOReturn kIOReturnNoDevice = static_cast<IOReturn>(0xE00002C0);
inline constexpr IOReturn kIOReturnBadArgument = static_cast<IOReturn>(0xE00002C2);
inline constexpr IOReturn kIOReturnNotOpen = static_cast<IOReturn>(0xE00002CD);
inline constexpr IOReturn kIOReturnTimeout = static_cast<IOReturn>(0xE00002D6);
inline constexpr IOReturn kIOReturnOverrun = static_cast<IOReturn>(0xE00002E8);
inline constexpr IOReturn kIOReturnNotFound = static_cast<IOReturn>(0xE00002F0);

inline constexpr mach_port_t MACH_PORT_NULL = 0;
// The bootstrap port and the current task: there is only one of each here.
inline constexpr mach_port_t bootstrap_port = 0;
inline constexpr task_port_t mach_task_self = 0;

// How long a connection waits for any one answer of the service.
inline constexpr std::chrono::milliseconds kDefaultServiceReplyTimeout{3000};

// The registry as seen when the master port was taken ($XDG_RUNTIME_DIR/ioservices).
class MasterPort {
 public:
  MasterPort() = default;
  explicit operator bool() const { return !registry_.empty(); }
  const std::string& Registry() const { return registry_; }

 private:
  friend kern_return_t IOMasterPort(mach_port_t, MasterPort&);
  std::string registry_;
};

// What a service search looks for: the services of one class.
class MatchingDictionary {
 public:
  explicit MatchingDictionary(std::string className) : className_(std::move(className)) {}
  const std::string& ClassName() const { return className_; }

 private:
  std::string className_;
};
using MatchingDictionaryRef = std::unique_ptr<MatchingDictionary>;

// One registered service: its unit number and socket.
class IoService {
 public:
  IoService() = default;
  IoService(uint32_t unit, std::string socketPath)
      : unit_(unit), socketPath_(std::move(socketPath)) {}
  explicit operator bool() const { return !socketPath_.empty(); }
  uint32_t Unit() const { return unit_; }
  const std::string& SocketPath() const { return socketPath_; }

 private:
  uint32_t unit_ = 0;
  std::string socketPath_;
};

// The services a search found, in ascending unit number.
class IoIterator {
 public:
  IoIterator() = default;
  explicit operator bool() const { return valid_; }

 private:
  friend kern_return_t IOServiceGetMatchingServices(const MasterPort&, MatchingDictionaryRef,
                                                    IoIterator&);
  friend IoService IOIteratorNext(IoIterator&);
  friend void IOObjectRelease(IoIterator&);
  std::vector<IoService> services_;
  size_t next_ = 0;
  bool valid_ = false;
};

// When the answer of the open request is read.
enum class OpenReply {
  kNow,            // IOServiceOpen waits for it: success means the service accepted us
  kWithFirstCall,  // read just before the first call's answer (one round trip less)
};

// An open user-client connection. Move-only; closing it (or dropping it) closes the socket.
class IoConnect {
 public:
  IoConnect() = default;
  ~IoConnect();
  IoConnect(IoConnect&& other) noexcept;
  IoConnect& operator=(IoConnect&& other) noexcept;
  IoConnect(const IoConnect&) = delete;
  IoConnect& operator=(const IoConnect&) = delete;
  explicit operator bool() const { return fd_ >= 0; }

 private:
  friend kern_return_t IOServiceOpen(const IoService&, task_port_t, uint32_t, IoConnect&, OpenReply,
                                     std::chrono::milliseconds);
  friend kern_return_t IOConnectMethodStructureIStructureO(IoConnect&, uint32_t, uint32_t,
                                                           uint32_t*, const void*, void*);
  friend kern_return_t IOConnectMethodScalarIScalarO(IoConnect&, uint32_t, uint32_t, uint32_t,
                                                     const uint64_t*, uint64_t*);
  friend kern_return_t IOServiceClose(IoConnect&);
  class Wire;

  int fd_ = -1;
  std::chrono::milliseconds replyTimeout_ = kDefaultServiceReplyTimeout;
  uint32_t openType_ = 0;
  bool openRequestSent_ = false;
  bool openAnswered_ = false;
  // Method-1 calls already sent with a structure call whose answers are still unread.
  uint32_t methodOneAnswersPending_ = 0;
};

// Takes a view of the registry. Always succeeds here; `bootstrap` is not used.
kern_return_t IOMasterPort(mach_port_t bootstrap, MasterPort& masterPort);
// Gives up the master port (empties it).
kern_return_t mach_port_deallocate(task_port_t task, MasterPort& masterPort);

// A matching dictionary for service class `className`; null for an empty name.
MatchingDictionaryRef IOServiceMatching(const char* className);
// Releases a matching dictionary that no search took over.
void CFRelease(MatchingDictionaryRef& dictionary);

// Lists the registry entries named "<Class>-" followed by decimal digits only, in ascending
// unit number. Takes the dictionary over. A missing registry lists nothing (success);
// an empty master port or dictionary gives kIOReturnBadArgument.
kern_return_t IOServiceGetMatchingServices(const MasterPort& masterPort,
                                           MatchingDictionaryRef matching, IoIterator& iterator);
// The next service, or an empty one at the end.
IoService IOIteratorNext(IoIterator& iterator);
void IOObjectRelease(IoIterator& iterator);
void IOObjectRelease(IoService& service);

// Connects to the service and sends the open request (magic, version, `type`). A service
// whose socket is gone or refuses the connection gives kIOReturnNotFound; with
// OpenReply::kNow a nonzero or missing answer gives kIOReturnNotOpen.
kern_return_t IOServiceOpen(const IoService& service, task_port_t owningTask, uint32_t type,
                            IoConnect& connect, OpenReply openReply = OpenReply::kNow,
                            std::chrono::milliseconds replyTimeout = kDefaultServiceReplyTimeout);

// The structure call: sends `inputSize` bytes of `input` and room for *outputSize bytes;
// returns the service's status. On a complete answer (whatever its status) its bytes are
// copied to `output` and their number stored in *outputSize; after any transport failure
// neither is touched. `input` and `output` may be the same buffer. Sizes above 4,096 give
// kIOReturnBadArgument without a call; an answer larger than the capacity kIOReturnOverrun.
// A transport failure leaves the connection unusable.
kern_return_t IOConnectMethodStructureIStructureO(IoConnect& connect, uint32_t selector,
                                                  uint32_t inputSize, uint32_t* outputSize,
                                                  const void* input, void* output);
// The scalar call with `inputCount` values in and room for `outputCount` values out; at
// most 16 each way.
kern_return_t IOConnectMethodScalarIScalarO(IoConnect& connect, uint32_t selector,
                                            uint32_t inputCount, uint32_t outputCount,
                                            const uint64_t* input = nullptr,
                                            uint64_t* output = nullptr);
// Closes the connection (empties it).
kern_return_t IOServiceClose(IoConnect& connect);

}  // namespace platform
