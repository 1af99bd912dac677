// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunningService.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <thread>
#include <unistd.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>

#include "driver/OidCatalogue.h"
#include "platform/ServiceWire.h"

namespace simtest {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTimeoutMs = 5000;

int ConnectTo(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return -1;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int WaitStatus(pid_t pid, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  return -1;
}

template <typename T>
void AppendRaw(std::vector<uint8_t>& out, const T& value) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
  out.insert(out.end(), bytes, bytes + sizeof(T));
}

}  // namespace

std::vector<uint8_t> U32Bytes(uint32_t value) {
  std::vector<uint8_t> bytes(4);
  std::memcpy(bytes.data(), &value, 4);
  return bytes;
}

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
  uint32_t value = 0;
  if (offset + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

bool ReadExactly(int fd, void* buffer, size_t size) {
  auto* bytes = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < size) {
    pollfd wait{fd, POLLIN, 0};
    if (::poll(&wait, 1, kTimeoutMs) <= 0) return false;
    ssize_t got = ::read(fd, bytes + done, size - done);
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

bool WriteAll(int fd, const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    ssize_t sent = ::send(fd, bytes, size, MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

bool ClosedByPeer(int fd) {
  uint8_t byte = 0;
  const auto deadline = Clock::now() + std::chrono::milliseconds(kTimeoutMs);
  while (Clock::now() < deadline) {
    pollfd wait{fd, POLLIN, 0};
    if (::poll(&wait, 1, kTimeoutMs) <= 0) return false;
    ssize_t got = ::read(fd, &byte, 1);
    if (got <= 0) return true;  // anything already answered is read and skipped
  }
  return false;
}

RunningService::RunningService() {
  char pattern[] = "/tmp/simtest-XXXXXX";
  dir_ = ::mkdtemp(pattern);
  ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
}

RunningService::~RunningService() {
  if (pid_ > 0) Terminate();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string RunningService::Program(const char* name) {
  const char* build = std::getenv("ZV_BUILD_DIR");
  return std::string(build != nullptr && *build != '\0' ? build : SIM_DEFAULT_BUILD_DIR) + "/bin/" +
         name;
}

std::string RunningService::WriteFile(const std::string& name, const std::string& text) const {
  const std::string path = dir_ + "/" + name;
  std::ofstream(path, std::ios::trunc | std::ios::binary) << text;
  return path;
}

bool RunningService::Start(const std::string& scenarioJson, const std::vector<std::string>& extra) {
  std::vector<std::string> args = {Program("trelvaned"), "--journal", JournalPath(), "--control",
                                   ControlPath()};
  if (!scenarioJson.empty()) {
    args.push_back("--scenario");
    args.push_back(WriteFile("scenario.json", scenarioJson));
  }
  args.insert(args.end(), extra.begin(), extra.end());
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  const auto deadline = Clock::now() + std::chrono::milliseconds(kTimeoutMs);
  while (Clock::now() < deadline) {
    if (::access(ServicePath().c_str(), F_OK) == 0 && ::access(ControlPath().c_str(), F_OK) == 0) {
      return true;
    }
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid_ = -1;
  return false;
}

int RunningService::RunToExit(const std::vector<std::string>& arguments, std::string* errors) {
  const std::string errorPath = dir_ + "/stderr.txt";
  std::vector<std::string> args = {Program("trelvaned")};
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = ::fork();
  if (pid == 0) {
    int fd = ::open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, 2);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  const int status = WaitStatus(pid, kTimeoutMs);
  std::ifstream in(errorPath);
  errors->assign(std::istreambuf_iterator<char>(in), {});
  return status;
}

int RunningService::Terminate() {
  if (pid_ <= 0) return -1;
  ::kill(pid_, SIGTERM);
  const int status = WaitStatus(pid_, kTimeoutMs);
  pid_ = -1;
  return status;
}

std::string RunningService::Control(const std::string& command) const {
  int fd = ConnectTo(ControlPath());
  if (fd < 0) return "";
  const std::string line = command + "\n";
  std::string answer;
  if (WriteAll(fd, line.data(), line.size())) {
    char c = 0;
    while (ReadExactly(fd, &c, 1) && c != '\n') answer += c;
  }
  ::close(fd);
  return answer;
}

int RunningService::Connect() const {
  return ConnectTo(ServicePath());
}

Reply RunningService::Request(uint32_t selector, const std::vector<uint8_t>& in,
                              uint32_t outCapacity) const {
  Reply reply;
  int fd = Connect();
  if (fd < 0) return reply;
  // Everything goes out at once, the way a pipelining client sends it.
  std::vector<uint8_t> frames;
  AppendRaw(frames, wire::OpenRequest{wire::kOpenMagic, wire::kProtocolVersion, 0});
  AppendRaw(frames, wire::StructureCall{wire::kCallStructure, selector,
                                        static_cast<uint32_t>(in.size()), outCapacity});
  frames.insert(frames.end(), in.begin(), in.end());
  AppendRaw(frames, wire::ScalarCall{wire::kCallScalar, wire::kMethodOneSelector, 0, 0});
  wire::OpenReply opened{};
  wire::StructureReply answer{};
  wire::ScalarReply scalar{};
  if (WriteAll(fd, frames.data(), frames.size()) && ReadExactly(fd, &opened, sizeof(opened)) &&
      opened.status == 0 && ReadExactly(fd, &answer, sizeof(answer)) &&
      answer.out_size <= outCapacity) {
    reply.out.resize(answer.out_size);
    if (ReadExactly(fd, reply.out.data(), reply.out.size()) &&
        ReadExactly(fd, &scalar, sizeof(scalar))) {
      reply.answered = true;
      reply.status = answer.status;
    }
  }
  ::close(fd);
  return reply;
}

Reply RunningService::Set(uint32_t oid, const std::vector<uint8_t>& in) const {
  return Request(oid | OID_SET_FLAG, in, 0);
}

std::vector<std::string> RunningService::JournalLines() const {
  std::vector<std::string> lines;
  std::ifstream in(JournalPath());
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

}  // namespace simtest
