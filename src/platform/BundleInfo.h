// SPDX-License-Identifier: GPL-3.0-or-later
// Version and date of a program from its information file (an XML property list with
// "CFBundleShortVersionString"), as the About page shows them.
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace platform {

struct BundleInfo {
  std::string shortVersion;      // empty when the file or the key is missing or unreadable
  std::string modificationDate;  // StandardDateText of the file's time; empty when unknown
};

// The information file at `path`, or nullopt when nothing exists there. Symbolic links
// are followed.
std::optional<BundleInfo> ReadBundleInfo(const std::string& path);

// The file's modification time (symbolic links followed), or nullopt.
std::optional<std::time_t> FileModificationTime(const std::string& path);

// "YYYY-MM-DD HH:MM:SS +HHMM" in local time; its first ten characters are the date.
std::string StandardDateText(std::time_t time);

}  // namespace platform
