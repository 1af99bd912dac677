// SPDX-License-Identifier: GPL-3.0-or-later
// Who owns the console. On Linux the console belongs to the user running the program when
// the program can open its display: a reachable X11 display, a Wayland socket, or Qt's
// offscreen platform.
#pragma once

#include <optional>
#include <string>

// The name of the user who owns the console, or nullopt when no display can be opened.
std::optional<std::string> CopyCurrentConsoleUsername();

// Writes "Current User: \t" to standard output (every call) and tells whether a user owns
// the console.
bool ConsoleUserIsLoggedIn();

// The pieces of the check, exposed for tests.
namespace console_user {

// True when the X11 display named `display` (":0", ":1.0", "unix:2", "host:10.0") accepts
// a connection on its socket.
bool X11DisplayReachable(const std::string& display);
// True when the Wayland socket `name` (relative to `runtimeDir` unless absolute) accepts a
// connection.
bool WaylandDisplayReachable(const std::string& name, const std::string& runtimeDir);
// The check made from the environment (QT_QPA_PLATFORM, WAYLAND_DISPLAY, DISPLAY).
bool DisplayReachableFromEnvironment();

}  // namespace console_user
