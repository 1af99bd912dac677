// SPDX-License-Identifier: GPL-3.0-or-later
// The display checks behind the console-user wait.
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include "app/ConsoleUser.h"
#include "support/PrivateEnvironment.h"

namespace {

using console_user::WaylandDisplayReachable;
using console_user::X11DisplayReachable;

// A listening Unix socket at `path` while it lives.
class ListeningSocket {
 public:
  explicit ListeningSocket(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    listening_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                 ::listen(fd_, 4) == 0;
  }
  ~ListeningSocket() { ::close(fd_); }
  bool listening() const { return listening_; }

 private:
  int fd_;
  bool listening_ = false;
};

TEST(ConsoleUserTest, waylandSocketCountsOnlyWhileSomethingListens) {
  zvtest::PrivateEnvironment environment;
  const std::string runtime = environment.RuntimeDir();
  EXPECT_FALSE(WaylandDisplayReachable("wayland-7", runtime));  // no socket

  std::ofstream(runtime + "/wayland-8") << "not a socket";
  EXPECT_FALSE(WaylandDisplayReachable("wayland-8", runtime));

  ListeningSocket compositor(runtime + "/wayland-9");
  ASSERT_TRUE(compositor.listening());
  EXPECT_TRUE(WaylandDisplayReachable("wayland-9", runtime));
  EXPECT_TRUE(WaylandDisplayReachable(runtime + "/wayland-9", ""));  // absolute name
  EXPECT_FALSE(WaylandDisplayReachable("wayland-9", ""));            // no runtime folder
  EXPECT_FALSE(WaylandDisplayReachable("", runtime));
}

TEST(ConsoleUserTest, malformedX11DisplayNamesAreNotReachable) {
  for (const char* name : {"", "0", ":", ":x", ":1x", "host:", ":123456", "unix:abc"}) {
    EXPECT_FALSE(X11DisplayReachable(name)) << '"' << name << '"';
  }
}

TEST(ConsoleUserTest, offscreenPlatformOwnsTheConsoleAndEveryCallIsTraced) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  testing::internal::CaptureStdout();
  EXPECT_TRUE(ConsoleUserIsLoggedIn());
  EXPECT_TRUE(ConsoleUserIsLoggedIn());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Current User: \tCurrent User: \t");
  EXPECT_TRUE(CopyCurrentConsoleUsername().has_value());
}

}  // namespace
