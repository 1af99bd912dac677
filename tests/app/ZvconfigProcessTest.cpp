// SPDX-License-Identifier: GPL-3.0-or-later
// zvconfig as a process: the wait for a console user, and the first supervision tick's
// initialisation as trelvaned's journal records it.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <optional>
#include <signal.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "driver/OidCatalogue.h"
#include "support/Journal.h"
#include "support/TrelvanedFixture.h"

extern char** environ;

namespace {

using zvtest::JournalLine;

// $ZV_BUILD_DIR/bin/zvconfig, or the one of this test's own build tree.
std::string ZvconfigPath() {
  const char* build = std::getenv("ZV_BUILD_DIR");
  return std::string(build != nullptr ? build : ZV_DEFAULT_BUILD_DIR) + "/bin/zvconfig";
}

using Environment = std::map<std::string, std::optional<std::string>>;

// A running zvconfig with its standard output on a pipe; killed when it goes.
class ZvconfigProcess {
 public:
  // `changes` set (a value) or remove (nullopt) variables of this process's environment.
  explicit ZvconfigProcess(const Environment& changes) {
    std::map<std::string, std::string> variables;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      const auto equals = entry.find('=');
      if (equals != std::string::npos)
        variables[entry.substr(0, equals)] = entry.substr(equals + 1);
    }
    for (const auto& [name, value] : changes) {
      if (value)
        variables[name] = *value;
      else
        variables.erase(name);
    }
    std::vector<std::string> entries;
    for (const auto& [name, value] : variables) entries.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& entry : entries) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const std::string path = ZvconfigPath();
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};

    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(pipeEnds[1], STDOUT_FILENO);
      const int devNull = ::open("/dev/null", O_WRONLY);
      if (devNull >= 0) ::dup2(devNull, STDERR_FILENO);
      ::execve(path.c_str(), argv, envp.data());
      ::_exit(127);
    }
    ::close(pipeEnds[1]);
    out_ = pipeEnds[0];
    ::fcntl(out_, F_SETFL, O_NONBLOCK);
  }
  ZvconfigProcess(const ZvconfigProcess&) = delete;
  ZvconfigProcess& operator=(const ZvconfigProcess&) = delete;
  ~ZvconfigProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
  }

  bool Started() const { return pid_ > 0; }
  std::string ReadOutput() {
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(out_, buffer, sizeof buffer)) > 0) output_.append(buffer, n);
    return output_;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
};

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class ZvconfigProcessTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(service.Start()) << service.LastError(); }
  zvtest::TrelvanedFixture service;
};

TEST_F(ZvconfigProcessTest, waitsForAConsoleUserWithoutTouchingTheDriver) {
  ZvconfigProcess zvconfig(
      {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}});
  ASSERT_TRUE(zvconfig.Started());
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  const std::string output = zvconfig.ReadOutput();
  // One line part every 50 ms, without a line end.
  EXPECT_GE(Occurrences(output, "Current User: \t"), 4u);
  EXPECT_EQ(output.find('\n'), std::string::npos);
  EXPECT_TRUE(zvtest::CallsOfKind(service.Journal(), "open").empty());
}

TEST_F(ZvconfigProcessTest, firstTickInitialisesTheAdapterThenThePages) {
  ZvconfigProcess zvconfig(Environment{{"QT_QPA_PLATFORM", "offscreen"}});
  ASSERT_TRUE(zvconfig.Started());
  const uint32_t kRatesSet = OID_802_11_DESIRED_RATES | OID_SET_FLAG;
  const auto lines = service.WaitForJournal(
      [](const std::vector<JournalLine>& all) {
        return !zvtest::StructCalls(all, OID_802_3_CURRENT_ADDRESS).empty();
      },
      15000);
  EXPECT_EQ(zvconfig.ReadOutput(), "Current User: \t");

  std::vector<uint32_t> selectors;
  for (const auto& line : zvtest::CallsOfKind(lines, "struct"))
    selectors.push_back(zvtest::SelectorOf(line));
  auto first = [&](uint32_t selector) {
    return std::find(selectors.begin(), selectors.end(), selector) - selectors.begin();
  };
  const std::vector<uint32_t> order = {OID_GEN_MEDIA_CONNECT_STATUS,
                                       ZX_OID_802_11_QUERY_REAPPLY_REQUEST,
                                       ZX_OID_802_11_STA_CONFIG,
                                       OID_802_11_NETWORK_TYPES_SUPPORTED,
                                       OID_802_11_BSSID_LIST_SCAN | OID_SET_FLAG,
                                       OID_802_11_BSSID_LIST,
                                       kRatesSet,
                                       ZX_OID_VERSION_INFO};
  for (std::size_t i = 0; i < order.size(); ++i) {
    ASSERT_LT(first(order[i]), static_cast<long>(selectors.size())) << std::hex << order[i];
    if (i > 0) {
      EXPECT_LT(first(order[i - 1]), first(order[i])) << std::hex << order[i];
    }
  }
}

}  // namespace
