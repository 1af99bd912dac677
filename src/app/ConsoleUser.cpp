// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ConsoleUser.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <pwd.h>
#include <string_view>
#include <unistd.h>

#include <sys/socket.h>
#include <sys/un.h>

namespace console_user {
namespace {

// A reachability check must never hang the start-up wait.
constexpr int kConnectTimeoutMs = 1000;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Connects a non-blocking socket and waits at most kConnectTimeoutMs for the answer.
bool ConnectWithin(int fd, const sockaddr* address, socklen_t length) {
  if (::connect(fd, address, length) == 0) return true;
  if (errno != EINPROGRESS && errno != EAGAIN) return false;
  pollfd waiting{fd, POLLOUT, 0};
  if (::poll(&waiting, 1, kConnectTimeoutMs) != 1) return false;
  int error = 0;
  socklen_t errorLength = sizeof error;
  return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &errorLength) == 0 && error == 0;
}

bool UnixSocketReachable(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;
  if (path.empty() || path.size() + offset >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const socklen_t length =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + 1);
  FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (fd.get() < 0) return false;
  return ConnectWithin(fd.get(), reinterpret_cast<const sockaddr*>(&address), length);
}

bool TcpReachable(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return false;
  bool reachable = false;
  for (addrinfo* a = found; a != nullptr && !reachable; a = a->ai_next) {
    FileDescriptor fd(
        ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol));
    if (fd.get() >= 0) reachable = ConnectWithin(fd.get(), a->ai_addr, a->ai_addrlen);
  }
  ::freeaddrinfo(found);
  return reachable;
}

// The display number of "<host>:<number>[.<screen>]", or -1.
int DisplayNumber(std::string_view afterColon) {
  const std::size_t dot = afterColon.find('.');
  const std::string_view digits = afterColon.substr(0, dot);
  if (digits.empty() || digits.size() > 5) return -1;
  int number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

bool X11DisplayReachable(const std::string& display) {
  const std::size_t colon = display.rfind(':');
  if (colon == std::string::npos) return false;
  const int number = DisplayNumber(std::string_view(display).substr(colon + 1));
  if (number < 0) return false;
  const std::string host = display.substr(0, colon);
  if (host.empty() || host == "unix") {
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    return UnixSocketReachable(path, false) || UnixSocketReachable(path, true);
  }
  return TcpReachable(host, 6000 + number);
}

bool WaylandDisplayReachable(const std::string& name, const std::string& runtimeDir) {
  if (name.empty()) return false;
  if (name.front() == '/') return UnixSocketReachable(name, false);
  if (runtimeDir.empty()) return false;
  return UnixSocketReachable(runtimeDir + "/" + name, false);
}

bool DisplayReachableFromEnvironment() {
  const std::string platform = Environment("QT_QPA_PLATFORM");
  if (platform.starts_with("offscreen") || platform.starts_with("minimal")) return true;
  std::string wayland = Environment("WAYLAND_DISPLAY");
  if (wayland.empty() && platform.starts_with("wayland")) wayland = "wayland-0";
  if (WaylandDisplayReachable(wayland, Environment("XDG_RUNTIME_DIR"))) return true;
  return X11DisplayReachable(Environment("DISPLAY"));
}

}  // namespace console_user

std::optional<std::string> CopyCurrentConsoleUsername() {
  if (!console_user::DisplayReachableFromEnvironment()) return std::nullopt;
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_name)
    return std::string(entry->pw_name);
  const char* user = std::getenv("USER");
  return std::string(user != nullptr ? user : "");
}

bool ConsoleUserIsLoggedIn() {
  std::fputs("Current User: \t", stdout);
  std::fflush(stdout);
  return CopyCurrentConsoleUsername().has_value();
}
