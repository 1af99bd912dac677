// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TrelvanedFixture.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <thread>
#include <unistd.h>

#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>

#include "platform/ServiceWire.h"

namespace zvtest {
namespace {

using Clock = std::chrono::steady_clock;

bool Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

// Connects to a Unix stream socket; -1 on failure.
int ConnectUnix(const std::string& path) {
  sockaddr_un address{};
  if (path.size() >= sizeof(address.sun_path)) return -1;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Waits up to `timeoutMs` for the child to exit; true when it did.
bool WaitForExit(pid_t pid, int timeoutMs) {
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  do {
    int status = 0;
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid || done < 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  } while (Clock::now() < deadline);
  return false;
}

}  // namespace

TrelvanedFixture::TrelvanedFixture(PrivateEnvironment* environment)
    : ownEnvironment_(environment == nullptr ? std::make_unique<PrivateEnvironment>() : nullptr),
      environment_(environment == nullptr ? ownEnvironment_.get() : environment) {}

TrelvanedFixture::~TrelvanedFixture() {
  Stop();
}

std::string TrelvanedFixture::TrelvanedPath() {
  const char* buildDir = std::getenv("ZV_BUILD_DIR");
  std::string base = (buildDir != nullptr && *buildDir != '\0') ? buildDir : ZV_DEFAULT_BUILD_DIR;
  return base + "/bin/trelvaned";
}

std::string TrelvanedFixture::WorkDir() const {
  return environment_->RuntimeDir() + "/trelvaned-" + std::to_string(unit_);
}

std::string TrelvanedFixture::ServiceSocketPath() const {
  return environment_->RegistryDir() + "/" +
         wire::ServiceEntryName(wire::kDriverServiceClass, unit_);
}
std::string TrelvanedFixture::JournalPath() const {
  return WorkDir() + "/journal.jsonl";
}
std::string TrelvanedFixture::ControlPath() const {
  return WorkDir() + "/control.sock";
}
std::string TrelvanedFixture::ScenarioPath() const {
  return WorkDir() + "/scenario.json";
}

bool TrelvanedFixture::Start(const std::string& scenarioJson, uint32_t unit, bool withJournal) {
  Stop();
  unit_ = unit;
  lastError_.clear();
  std::string program = TrelvanedPath();
  if (::access(program.c_str(), X_OK) != 0) {
    lastError_ = program + " is missing (build the trelvaned target)";
    return false;
  }
  ::mkdir(WorkDir().c_str(), 0700);
  std::vector<std::string> args = {program, "--unit", std::to_string(unit), "--control",
                                   ControlPath()};
  if (withJournal) {
    args.push_back("--journal");
    args.push_back(JournalPath());
  }
  if (!scenarioJson.empty()) {
    std::ofstream(ScenarioPath(), std::ios::trunc) << scenarioJson;
    args.push_back("--scenario");
    args.push_back(ScenarioPath());
  }
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  pid_t pid = ::fork();
  if (pid < 0) {
    lastError_ = "fork failed";
    return false;
  }
  if (pid == 0) {
    // A test that crashes must not leave its service running.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  pid_ = pid;

  auto deadline = Clock::now() + std::chrono::seconds(5);
  while (Clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      lastError_ = "trelvaned exited during start-up (status " +
                   std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")";
      return false;
    }
    if (Exists(ServiceSocketPath()) && Exists(ControlPath())) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  lastError_ = "trelvaned did not publish its sockets within 5 seconds";
  Stop();
  return false;
}

void TrelvanedFixture::Stop() {
  if (pid_ <= 0) return;
  Control("quit");
  if (!WaitForExit(pid_, 3000)) {
    ::kill(pid_, SIGKILL);
    WaitForExit(pid_, 3000);
  }
  pid_ = -1;
}

std::string TrelvanedFixture::Control(const std::string& command) const {
  int fd = ConnectUnix(ControlPath());
  if (fd < 0) return "";
  std::string line = command + "\n";
  std::string answer;
  if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(line.size())) {
    auto deadline = Clock::now() + std::chrono::seconds(3);
    char chunk[256];
    while (answer.find('\n') == std::string::npos && Clock::now() < deadline) {
      pollfd p{fd, POLLIN, 0};
      int left = static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
      if (::poll(&p, 1, left > 0 ? left : 0) <= 0) break;
      ssize_t n = ::read(fd, chunk, sizeof(chunk));
      if (n <= 0) break;
      answer.append(chunk, static_cast<size_t>(n));
    }
  }
  ::close(fd);
  auto end = answer.find('\n');
  if (end != std::string::npos) answer.resize(end);
  return answer;
}

bool TrelvanedFixture::Mark(const std::string& text) const {
  return Control("journal-mark " + text) == "ok";
}

std::vector<JournalLine> TrelvanedFixture::Journal() const {
  return ReadJournal(JournalPath());
}

std::vector<JournalLine> TrelvanedFixture::WaitForJournal(
    const std::function<bool(const std::vector<JournalLine>&)>& done, int timeoutMs) const {
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::vector<JournalLine> lines = Journal();
  while (!done(lines) && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    lines = Journal();
  }
  return lines;
}

}  // namespace zvtest
