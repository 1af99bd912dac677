// SPDX-License-Identifier: GPL-3.0-or-later
// trelvaned's single-threaded event loop: the service socket in the registry (the driver
// service protocol), the control socket (one text command per line) and the stop signals.
// No client can block another: every socket is non-blocking and served from one poll().
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "AdapterModel.h"
#include "Journal.h"

namespace sim {

// The protocol state of one service connection: bytes received and not yet served, answers
// not yet sent, and whether the open was accepted or the connection must close.
struct RequestStream {
  uint64_t id = 0;
  bool opened = false;
  bool closing = false;  // close once the pending answers are written
  std::string closeReason;
  std::vector<uint8_t> in;
  std::vector<uint8_t> out;
};

// Answers every complete frame at the start of `stream.in` (the open, then structure and
// scalar calls) into `stream.out`, and drops the frames served. A frame that breaks the
// protocol sets `closing` with its reason; an incomplete frame waits for more bytes.
void ServeRequestFrames(RequestStream& stream, AdapterModel& model, Journal& journal);

struct ServiceOptions {
  uint32_t unit = 0;
  std::string controlPath;  // empty: no control socket
};

class ServiceLoop {
 public:
  ServiceLoop(AdapterModel& model, Journal& journal, ServiceOptions options);
  ~ServiceLoop();
  ServiceLoop(const ServiceLoop&) = delete;
  ServiceLoop& operator=(const ServiceLoop&) = delete;

  // Creates the registry directory, publishes the service and opens the control socket;
  // false with the reason in `error`.
  bool Start(std::string* error);
  // Serves until SIGTERM, SIGINT or the "quit" command; removes the sockets and returns 0.
  int Run();

  // One control command line, as the control socket executes it: "ok" or "error: <why>".
  std::string Execute(const std::string& line);

 private:
  using Clock = std::chrono::steady_clock;

  struct ServiceConnection : RequestStream {
    int fd = -1;
    Clock::time_point lastActive;
  };
  struct ControlConnection {
    int fd = -1;
    bool closing = false;
    std::string in;
    std::string out;
  };

  bool Plug(std::string* error);
  void Unplug();
  void AcceptService();
  void AcceptControl();
  // Reads what the client sent and answers every complete frame; false when the
  // connection is finished.
  bool ReadService(ServiceConnection& connection);
  bool ReadControl(ControlConnection& connection);
  void CloseService(ServiceConnection& connection, const std::string& reason);
  void CloseIdleConnections();
  void Shutdown();

  AdapterModel& model_;
  Journal& journal_;
  ServiceOptions options_;
  std::string registryDir_;
  std::string servicePath_;
  int serviceFd_ = -1;
  int controlFd_ = -1;
  int signalFd_ = -1;
  bool quit_ = false;
  uint64_t nextConnectionId_ = 1;
  std::vector<ServiceConnection> services_;
  std::vector<ControlConnection> controls_;
};

// Makes `path` a directory of mode 0700 owned by this user (creating it when missing);
// false with the reason when it cannot be, or belongs to someone else.
bool EnsurePrivateDirectory(const std::string& path, std::string* error);

// Binds a listening Unix stream socket of mode 0600 at `path`. A stale socket file (no one
// listening) is replaced; a live one, or a file that is not a socket, is an error.
int ListenUnix(const std::string& path, std::string* error);

}  // namespace sim
