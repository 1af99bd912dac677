// SPDX-License-Identifier: GPL-3.0-or-later
// trelvanectl: sends one command to a running trelvaned and prints its answer.
//
//   trelvanectl --control SOCKET COMMAND [ARGUMENT...]
// Exit status 0 for "ok", 1 for an error answer or when the service cannot be reached.
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>

#include <sys/socket.h>
#include <sys/un.h>

namespace {

constexpr int kAnswerTimeoutMs = 5000;

int Fail(const std::string& why) {
  std::fprintf(stderr, "trelvanectl: %s\n", why.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || std::strcmp(argv[1], "--control") != 0) {
    std::fputs("usage: trelvanectl --control SOCKET COMMAND [ARGUMENT...]\n", stderr);
    return 1;
  }
  const std::string path = argv[2];
  std::string line;
  for (int i = 3; i < argc; ++i) {
    if (std::strchr(argv[i], '\n') != nullptr) return Fail("a command cannot contain a newline");
    if (i > 3) line += ' ';
    line += argv[i];
  }
  line += '\n';

  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return Fail("socket path too long: " + path);
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    return Fail("cannot reach " + path + ": " + std::strerror(errno));
  }
  if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size())) {
    return Fail("cannot send the command: " + std::string(std::strerror(errno)));
  }

  std::string answer;
  char chunk[512];
  while (answer.find('\n') == std::string::npos) {
    pollfd wait{fd, POLLIN, 0};
    if (::poll(&wait, 1, kAnswerTimeoutMs) <= 0) return Fail("no answer from " + path);
    ssize_t got = ::read(fd, chunk, sizeof(chunk));
    if (got <= 0) break;
    answer.append(chunk, static_cast<size_t>(got));
  }
  ::close(fd);
  answer = answer.substr(0, answer.find('\n'));
  if (answer.empty()) return Fail("the connection closed without an answer");
  std::printf("%s\n", answer.c_str());
  return answer == "ok" ? 0 : 1;
}
