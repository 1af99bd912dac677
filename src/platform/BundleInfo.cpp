// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/BundleInfo.h"

#include <sys/stat.h>

#include "platform/PropertyList.h"

namespace platform {

std::optional<std::time_t> FileModificationTime(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return status.st_mtime;
}

std::string StandardDateText(std::time_t time) {
  std::tm local{};
  if (!::localtime_r(&time, &local)) return {};
  char text[64];
  const size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z", &local);
  return std::string(text, n);
}

std::optional<BundleInfo> ReadBundleInfo(const std::string& path) {
  const auto modified = FileModificationTime(path);
  if (!modified) return std::nullopt;
  BundleInfo info;
  info.modificationDate = StandardDateText(*modified);
  if (auto root = ReadPropertyListFile(path)) {
    if (const PlistDict* dict = root->asDict()) {
      auto it = dict->find("CFBundleShortVersionString");
      if (it != dict->end() && it->second.asString()) info.shortVersion = *it->second.asString();
    }
  }
  return info;
}

}  // namespace platform
