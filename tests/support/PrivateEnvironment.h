// SPDX-License-Identifier: GPL-3.0-or-later
// A private XDG_RUNTIME_DIR and HOME for the test process: both point at fresh temporary
// folders (mode 0700) while the object lives, so the service registry and every
// preferences file of a test stay apart from the user's and from other tests.
#pragma once

#include <optional>
#include <string>

namespace zvtest {

class PrivateEnvironment {
 public:
  // Creates the folders and sets XDG_RUNTIME_DIR and HOME (setenv).
  PrivateEnvironment();
  // Puts the previous values back and removes both folders with their contents.
  ~PrivateEnvironment();
  PrivateEnvironment(const PrivateEnvironment&) = delete;
  PrivateEnvironment& operator=(const PrivateEnvironment&) = delete;

  const std::string& RuntimeDir() const { return runtimeDir_; }
  const std::string& HomeDir() const { return homeDir_; }
  // $XDG_RUNTIME_DIR/ioservices (not created here).
  std::string RegistryDir() const;
  // $HOME/Library/Preferences (not created here).
  std::string PreferencesDir() const;

 private:
  std::string root_;
  std::string runtimeDir_;
  std::string homeDir_;
  std::optional<std::string> savedRuntime_;
  std::optional<std::string> savedHome_;
};

}  // namespace zvtest
