// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServiceLoop.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include "Scenario.h"
#include "platform/ServiceWire.h"

namespace sim {
namespace {

// Connections that have been silent this long are dropped, so stuck clients cannot hold
// descriptors for ever.
constexpr auto kIdleLimit = std::chrono::seconds(60);
constexpr size_t kMaxServiceConnections = 512;
constexpr size_t kMaxControlConnections = 16;
constexpr size_t kMaxControlLine = 8192;
// A client that sends without reading its answers stops being read beyond this much.
constexpr size_t kMaxPendingOutput = 256 * 1024;

std::string Errno(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

template <typename T>
T ReadStruct(const std::vector<uint8_t>& bytes, size_t offset) {
  T value{};
  std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

template <typename T>
void Append(std::vector<uint8_t>& out, const T& value) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
  out.insert(out.end(), bytes, bytes + sizeof(T));
}

bool FillAddress(const std::string& path, sockaddr_un& address, std::string* error) {
  address = sockaddr_un{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(address.sun_path)) {
    *error = "socket path too long or empty: " + path;
    return false;
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// Writes as much of `out` as the socket takes now; false on a broken connection.
template <typename Buffer>
bool Flush(int fd, Buffer& out) {
  while (!out.empty()) {
    ssize_t sent = ::send(fd, out.data(), out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0) {
      if (errno == EINTR) continue;
      return errno == EAGAIN || errno == EWOULDBLOCK;
    }
    out.erase(out.begin(), out.begin() + sent);
  }
  return true;
}

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

bool EnsurePrivateDirectory(const std::string& path, std::string* error) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    *error = Errno(("cannot create " + path).c_str());
    return false;
  }
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) {
    *error = Errno(("cannot inspect " + path).c_str());
    return false;
  }
  if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
    *error = path + " is not a directory owned by this user";
    return false;
  }
  if ((info.st_mode & 0777) != 0700 && ::chmod(path.c_str(), 0700) != 0) {
    *error = Errno(("cannot make " + path + " private").c_str());
    return false;
  }
  return true;
}

int ListenUnix(const std::string& path, std::string* error) {
  sockaddr_un address{};
  if (!FillAddress(path, address, error)) return -1;
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0) {
    if (!S_ISSOCK(info.st_mode)) {
      *error = path + " exists and is not a socket";
      return -1;
    }
    int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool live =
        probe >= 0 && ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    if (probe >= 0) ::close(probe);
    if (live) {
      *error = path + " is in use by a running service";
      return -1;
    }
    ::unlink(path.c_str());  // stale: nobody listens any more
  }
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    *error = Errno("socket");
    return -1;
  }
  // The socket file is created with mode 0600 from the start.
  const mode_t previous = ::umask(0177);
  const int bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  ::umask(previous);
  if (bound != 0 || ::chmod(path.c_str(), 0600) != 0 || ::listen(fd, 128) != 0) {
    *error = Errno(("cannot listen on " + path).c_str());
    ::close(fd);
    return -1;
  }
  return fd;
}

ServiceLoop::ServiceLoop(AdapterModel& model, Journal& journal, ServiceOptions options)
    : model_(model), journal_(journal), options_(std::move(options)) {}

ServiceLoop::~ServiceLoop() {
  Shutdown();
}

bool ServiceLoop::Start(std::string* error) {
  registryDir_ = wire::RegistryDirectory();
  servicePath_ =
      registryDir_ + "/" + wire::ServiceEntryName(wire::kDriverServiceClass, options_.unit);
  if (!EnsurePrivateDirectory(registryDir_, error)) return false;

  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigprocmask(SIG_BLOCK, &signals, nullptr);
  signalFd_ = ::signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
  if (signalFd_ < 0) {
    *error = Errno("signalfd");
    return false;
  }
  ::signal(SIGPIPE, SIG_IGN);

  if (!options_.controlPath.empty()) {
    controlFd_ = ListenUnix(options_.controlPath, error);
    if (controlFd_ < 0) return false;
  }
  return Plug(error);
}

bool ServiceLoop::Plug(std::string* error) {
  if (serviceFd_ >= 0) return true;
  serviceFd_ = ListenUnix(servicePath_, error);
  if (serviceFd_ < 0) return false;
  model_.PowerUp();
  return true;
}

void ServiceLoop::Unplug() {
  if (serviceFd_ < 0) return;
  ::close(serviceFd_);
  serviceFd_ = -1;
  ::unlink(servicePath_.c_str());
  for (ServiceConnection& connection : services_) CloseService(connection, "unplugged");
  services_.clear();
}

void ServiceLoop::Shutdown() {
  Unplug();
  for (ControlConnection& control : controls_) ::close(control.fd);
  controls_.clear();
  if (controlFd_ >= 0) {
    ::close(controlFd_);
    controlFd_ = -1;
    ::unlink(options_.controlPath.c_str());
  }
  if (signalFd_ >= 0) {
    ::close(signalFd_);
    signalFd_ = -1;
  }
}

void ServiceLoop::CloseService(ServiceConnection& connection, const std::string& reason) {
  if (connection.fd < 0) return;
  ::close(connection.fd);
  connection.fd = -1;
  journal_.Closed(connection.id, reason);
}

int ServiceLoop::Run() {
  std::vector<pollfd> polls;
  while (!quit_) {
    polls.clear();
    polls.push_back({signalFd_, POLLIN, 0});
    polls.push_back({serviceFd_, POLLIN, 0});  // fd -1 is ignored by poll
    polls.push_back({controlFd_, POLLIN, 0});
    for (const ServiceConnection& c : services_) {
      short events = c.out.empty() ? 0 : POLLOUT;
      if (!c.closing && c.out.size() < kMaxPendingOutput) events |= POLLIN;
      polls.push_back({c.fd, events, 0});
    }
    for (const ControlConnection& c : controls_) {
      short events = c.out.empty() ? 0 : POLLOUT;
      if (!c.closing) events |= POLLIN;
      polls.push_back({c.fd, events, 0});
    }
    const int ready = ::poll(polls.data(), polls.size(), 1000);
    if (ready < 0 && errno != EINTR) return 1;

    if (polls[0].revents != 0) {
      signalfd_siginfo info{};
      while (::read(signalFd_, &info, sizeof(info)) == sizeof(info)) quit_ = true;
    }
    // Connections accepted below are polled from the next round on.
    const size_t serviceCount = services_.size();
    const size_t controlCount = controls_.size();
    if (polls[1].revents & POLLIN) AcceptService();
    if (polls[2].revents & POLLIN) AcceptControl();

    for (size_t i = 0; i < serviceCount; ++i) {
      ServiceConnection& c = services_[i];
      const short revents = polls[3 + i].revents;
      if (c.fd < 0) continue;  // closed by an unplug during this round
      bool alive = true;
      if (revents & (POLLIN | POLLHUP | POLLERR)) alive = ReadService(c);
      if (alive && !Flush(c.fd, c.out)) {
        c.closing = true;  // the client went away before reading its answers
        c.out.clear();
      }
      if (alive && c.closing && c.out.empty()) alive = false;
      if (!alive) CloseService(c, c.closeReason);
    }
    for (size_t i = 0; i < controlCount && i < controls_.size(); ++i) {
      ControlConnection& c = controls_[i];
      const short revents = polls[3 + serviceCount + i].revents;
      bool alive = true;
      if (revents & (POLLIN | POLLHUP | POLLERR)) alive = ReadControl(c);
      if (alive && !Flush(c.fd, c.out)) alive = false;
      if (alive && c.closing && c.out.empty()) alive = false;
      if (!alive) {
        ::close(c.fd);
        c.fd = -1;
      }
    }
    std::erase_if(services_, [](const ServiceConnection& c) { return c.fd < 0; });
    std::erase_if(controls_, [](const ControlConnection& c) { return c.fd < 0; });
    CloseIdleConnections();
  }
  // Last answers (the "ok" to quit) go out before the sockets disappear.
  for (ControlConnection& c : controls_) Flush(c.fd, c.out);
  Shutdown();
  return 0;
}

void ServiceLoop::AcceptService() {
  while (true) {
    int fd = ::accept4(serviceFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    if (services_.size() >= kMaxServiceConnections) {
      ::close(fd);
      continue;
    }
    ServiceConnection connection;
    connection.fd = fd;
    connection.id = nextConnectionId_++;
    connection.lastActive = Clock::now();
    // A pipelining client has usually sent its whole request already: answer it now
    // instead of waiting for the next round of poll().
    ReadService(connection);
    if (!Flush(connection.fd, connection.out)) {
      connection.closing = true;
      connection.out.clear();
    }
    if (connection.closing && connection.out.empty()) {
      CloseService(connection, connection.closeReason);
      continue;
    }
    services_.push_back(std::move(connection));
  }
}

void ServiceLoop::AcceptControl() {
  while (true) {
    int fd = ::accept4(controlFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    if (controls_.size() >= kMaxControlConnections) {
      ::close(fd);
      continue;
    }
    controls_.push_back(ControlConnection{fd, false, {}, {}});
  }
}

bool ServiceLoop::ReadService(ServiceConnection& connection) {
  uint8_t chunk[8192];
  while (true) {
    ssize_t got = ::recv(connection.fd, chunk, sizeof(chunk), MSG_DONTWAIT);
    if (got > 0) {
      connection.in.insert(connection.in.end(), chunk, chunk + got);
      connection.lastActive = Clock::now();
      ServeRequestFrames(connection, model_, journal_);
      if (connection.closing || connection.out.size() >= kMaxPendingOutput) return true;
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    // End of stream: answers already due still go out, then the connection closes.
    if (!connection.in.empty()) connection.closeReason = "truncated frame";
    connection.closing = true;
    return true;
  }
}

void ServeRequestFrames(RequestStream& c, AdapterModel& model, Journal& journal) {
  size_t pos = 0;
  auto close = [&c](const char* reason) {
    c.closing = true;
    c.closeReason = reason;
  };
  while (!c.closing) {
    const size_t available = c.in.size() - pos;
    if (!c.opened) {
      if (available < sizeof(wire::OpenRequest)) break;
      const auto request = ReadStruct<wire::OpenRequest>(c.in, pos);
      pos += sizeof(request);
      const bool good = request.magic == wire::kOpenMagic &&
                        request.version == wire::kProtocolVersion &&
                        request.type == wire::kConnectionType;
      const int32_t status = good ? wire::kStatusSuccess : wire::kStatusGeneralError;
      journal.Opened(c.id, request.magic, request.version, request.type, status);
      Append(c.out, wire::OpenReply{status});
      if (!good) close("bad open request");
      c.opened = good;
      continue;
    }
    if (available < sizeof(uint32_t)) break;
    const uint32_t call = ReadStruct<uint32_t>(c.in, pos);
    if (call == wire::kCallStructure) {
      if (available < sizeof(wire::StructureCall)) break;
      const auto header = ReadStruct<wire::StructureCall>(c.in, pos);
      if (header.in_size > wire::kMaxStructureSize ||
          header.out_capacity > wire::kMaxStructureSize) {
        close("oversized structure call");
        break;
      }
      if (available < sizeof(header) + header.in_size) break;
      const uint8_t* in = c.in.data() + pos + sizeof(header);
      OidReply reply = model.Handle(header.selector, in, header.in_size, header.out_capacity);
      if (reply.out.size() > header.out_capacity) reply = OidReply{wire::kStatusBadSize, {}};
      journal.StructureCall(c.id, header.selector, in, header.in_size, header.out_capacity,
                             reply.status, reply.out);
      Append(c.out, wire::StructureReply{reply.status, static_cast<uint32_t>(reply.out.size())});
      c.out.insert(c.out.end(), reply.out.begin(), reply.out.end());
      pos += sizeof(header) + header.in_size;
    } else if (call == wire::kCallScalar) {
      if (available < sizeof(wire::ScalarCall)) break;
      const auto header = ReadStruct<wire::ScalarCall>(c.in, pos);
      if (header.n_in > wire::kMaxScalarCount || header.n_out > wire::kMaxScalarCount) {
        close("oversized scalar call");
        break;
      }
      const size_t frame = sizeof(header) + size_t{header.n_in} * sizeof(uint64_t);
      if (available < frame) break;
      // Method 1 has nothing to do; it answers with zero values.
      const bool known = header.selector == wire::kMethodOneSelector;
      const int32_t status = known ? wire::kStatusSuccess : wire::kStatusUnsupported;
      const uint32_t nOut = known ? header.n_out : 0;
      journal.ScalarCall(c.id, header.selector, header.n_in, header.n_out, status);
      Append(c.out, wire::ScalarReply{status, nOut});
      c.out.insert(c.out.end(), size_t{nOut} * sizeof(uint64_t), 0);
      pos += frame;
    } else {
      close("unknown call");
    }
  }
  c.in.erase(c.in.begin(), c.in.begin() + static_cast<std::ptrdiff_t>(pos));
}

bool ServiceLoop::ReadControl(ControlConnection& connection) {
  char chunk[4096];
  while (true) {
    ssize_t got = ::recv(connection.fd, chunk, sizeof(chunk), MSG_DONTWAIT);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
    if (got == 0) {
      // The peer finished sending; a last line without its newline still counts.
      if (!connection.in.empty()) {
        connection.out += Execute(connection.in) + "\n";
        connection.in.clear();
      }
      connection.closing = true;
      return true;
    }
    connection.in.append(chunk, static_cast<size_t>(got));
    size_t end;
    while (!connection.closing && (end = connection.in.find('\n')) != std::string::npos) {
      std::string line = connection.in.substr(0, end);
      connection.in.erase(0, end + 1);
      connection.out += Execute(line) + "\n";
      if (quit_) connection.closing = true;
    }
    if (connection.in.size() > kMaxControlLine) {
      connection.out += "error: line too long\n";
      connection.in.clear();
      connection.closing = true;
    }
    if (connection.closing) return true;
  }
}

std::string ServiceLoop::Execute(const std::string& rawLine) {
  const std::string line = Trim(rawLine);
  const size_t blank = line.find_first_of(" \t");
  const std::string command = line.substr(0, blank);
  const std::string argument = blank == std::string::npos ? "" : Trim(line.substr(blank));

  if (command == "unplug") {
    Unplug();
    return "ok";
  }
  if (command == "plug") {
    std::string error;
    return Plug(&error) ? "ok" : "error: " + error;
  }
  if (command == "reapply") {
    uint32_t count = 0;
    const char* end = argument.data() + argument.size();
    auto [last, fault] = std::from_chars(argument.data(), end, count);
    if (argument.empty() || fault != std::errc() || last != end) {
      return "error: usage: reapply <number of not-ready answers>";
    }
    model_.RequestReapply(count);
    return "ok";
  }
  if (command == "eeprom-error") {
    if (argument != "on" && argument != "off") return "error: usage: eeprom-error on|off";
    model_.SetEepromError(argument == "on");
    return "ok";
  }
  if (command == "load") {
    if (argument.empty()) return "error: usage: load <scenario file>";
    try {
      model_.ReplaceScenario(LoadScenarioFile(argument));
    } catch (const ScenarioError& fault) {
      std::string why = fault.what();
      std::replace(why.begin(), why.end(), '\n', ' ');
      return "error: " + why;
    }
    return "ok";
  }
  if (command == "journal-mark") {
    journal_.Mark(argument);
    return "ok";
  }
  if (command == "quit") {
    quit_ = true;
    return "ok";
  }
  if (command.empty()) return "error: empty command";
  return "error: unknown command '" + command + "'";
}

void ServiceLoop::CloseIdleConnections() {
  const Clock::time_point now = Clock::now();
  for (ServiceConnection& c : services_) {
    if (now - c.lastActive > kIdleLimit) CloseService(c, "idle");
  }
  std::erase_if(services_, [](const ServiceConnection& c) { return c.fd < 0; });
}

}  // namespace sim
