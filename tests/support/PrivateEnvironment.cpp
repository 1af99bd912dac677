// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PrivateEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <stdlib.h>
#include <vector>

#include <sys/stat.h>

namespace zvtest {
namespace {

std::optional<std::string> GetEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

void RestoreEnv(const char* name, const std::optional<std::string>& value) {
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

}  // namespace

PrivateEnvironment::PrivateEnvironment()
    : savedRuntime_(GetEnv("XDG_RUNTIME_DIR")), savedHome_(GetEnv("HOME")) {
  std::string pattern = (std::filesystem::temp_directory_path() / "zvtest-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = buffer.data();
  runtimeDir_ = root_ + "/run";
  homeDir_ = root_ + "/home";
  if (mkdir(runtimeDir_.c_str(), 0700) != 0 || mkdir(homeDir_.c_str(), 0700) != 0) {
    throw std::runtime_error("cannot create the private folders in " + root_);
  }
  setenv("XDG_RUNTIME_DIR", runtimeDir_.c_str(), 1);
  setenv("HOME", homeDir_.c_str(), 1);
}

PrivateEnvironment::~PrivateEnvironment() {
  RestoreEnv("XDG_RUNTIME_DIR", savedRuntime_);
  RestoreEnv("HOME", savedHome_);
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

std::string PrivateEnvironment::RegistryDir() const {
  return runtimeDir_ + "/ioservices";
}

std::string PrivateEnvironment::PreferencesDir() const {
  return homeDir_ + "/Library/Preferences";
}

}  // namespace zvtest
