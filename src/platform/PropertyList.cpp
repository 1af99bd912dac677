// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PropertyList.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <pwd.h>
#include <unistd.h>

#include <plist/plist.h>
#include <sys/stat.h>

namespace platform {
namespace {

// Property-list files of this program are small; anything larger is not one of ours.
constexpr size_t kMaxPropertyListFileSize = 16 * 1024 * 1024;

struct PlistNodeDeleter {
  void operator()(plist_t node) const { plist_free(node); }
};
using PlistNode = std::unique_ptr<void, PlistNodeDeleter>;

struct MallocDeleter {
  void operator()(void* memory) const { std::free(memory); }
};
using MallocString = std::unique_ptr<char, MallocDeleter>;

// Converts a node into `out`; false for a node type we do not handle or nesting too deep.
bool FromNode(plist_t node, int depth, PlistValue& out);

bool FromArrayNode(plist_t node, int depth, PlistValue& out) {
  PlistArray array;
  uint32_t size = plist_array_get_size(node);
  array.resize(size);
  for (uint32_t i = 0; i < size; ++i) {
    if (!FromNode(plist_array_get_item(node, i), depth + 1, array[i])) return false;
  }
  out = PlistValue(std::move(array));
  return true;
}

bool FromDictNode(plist_t node, int depth, PlistValue& out) {
  PlistDict dict;
  plist_dict_iter iter = nullptr;
  plist_dict_new_iter(node, &iter);
  std::unique_ptr<void, MallocDeleter> iterGuard(iter);
  while (iter != nullptr) {
    char* rawKey = nullptr;
    plist_t item = nullptr;
    plist_dict_next_item(node, iter, &rawKey, &item);
    MallocString key(rawKey);
    if (key == nullptr) break;
    if (!FromNode(item, depth + 1, dict[key.get()])) return false;
  }
  out = PlistValue(std::move(dict));
  return true;
}

bool FromNode(plist_t node, int depth, PlistValue& out) {
  // Deeply nested input is not a file of ours; refuse it rather than recurse without end.
  constexpr int kMaxDepth = 64;
  if (node == nullptr || depth > kMaxDepth) return false;
  switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
      char* raw = nullptr;
      plist_get_string_val(node, &raw);
      MallocString text(raw);
      out = PlistValue(std::string(text ? text.get() : ""));
      return true;
    }
    case PLIST_BOOLEAN: {
      uint8_t value = 0;
      plist_get_bool_val(node, &value);
      out = PlistValue(value != 0);
      return true;
    }
    case PLIST_UINT: {
      // Signed integers travel in the same 64-bit cell, two's complement.
      uint64_t value = 0;
      plist_get_uint_val(node, &value);
      out = PlistValue(static_cast<int64_t>(value));
      return true;
    }
    case PLIST_UID: {
      uint64_t value = 0;
      plist_get_uid_val(node, &value);
      out = PlistValue(static_cast<int64_t>(value));
      return true;
    }
    case PLIST_REAL: {
      double value = 0;
      plist_get_real_val(node, &value);
      out = PlistValue(value);
      return true;
    }
    case PLIST_DATE: {
      int32_t seconds = 0;
      int32_t microseconds = 0;
      plist_get_date_val(node, &seconds, &microseconds);
      out = PlistValue(PlistDate{seconds + microseconds / 1e6});
      return true;
    }
    case PLIST_DATA: {
      char* raw = nullptr;
      uint64_t length = 0;
      plist_get_data_val(node, &raw, &length);
      MallocString bytes(raw);
      const auto* first = reinterpret_cast<const uint8_t*>(bytes.get());
      out = PlistValue(bytes ? PlistData(first, first + length) : PlistData());
      return true;
    }
    case PLIST_ARRAY:
      return FromArrayNode(node, depth, out);
    case PLIST_DICT:
      return FromDictNode(node, depth, out);
    default:
      return false;
  }
}

plist_t ToNode(const PlistValue& value) {
  struct Visitor {
    plist_t operator()(const std::string& s) const { return plist_new_string(s.c_str()); }
    plist_t operator()(int64_t i) const { return plist_new_uint(static_cast<uint64_t>(i)); }
    plist_t operator()(double d) const { return plist_new_real(d); }
    plist_t operator()(bool b) const { return plist_new_bool(b ? 1 : 0); }
    plist_t operator()(const PlistDate& d) const {
      // The cell holds whole seconds in 32 bits; a date read from a damaged file may lie
      // outside (its microseconds push it past either end), so keep it in range.
      constexpr double kFirst = INT32_MIN;
      constexpr double kLast = INT32_MAX;
      const double seconds =
          std::isfinite(d.secondsSince2001) ? std::clamp(d.secondsSince2001, kFirst, kLast) : 0;
      double whole = std::floor(seconds);
      auto micro = static_cast<int32_t>(std::lround((seconds - whole) * 1e6));
      return plist_new_date(static_cast<int32_t>(whole), micro);
    }
    plist_t operator()(const PlistData& d) const {
      return plist_new_data(reinterpret_cast<const char*>(d.data()), d.size());
    }
    plist_t operator()(const PlistArray& a) const {
      plist_t node = plist_new_array();
      for (const auto& item : a) plist_array_append_item(node, ToNode(item));
      return node;
    }
    plist_t operator()(const PlistDict& d) const {
      plist_t node = plist_new_dict();
      for (const auto& [key, item] : d) plist_dict_set_item(node, key.c_str(), ToNode(item));
      return node;
    }
  };
  return std::visit(Visitor{}, value.storage());
}

// Creates the missing folders of `folder` with mode 0700.
bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return true;
  struct stat info {};
  if (::stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  auto slash = folder.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) {
    return false;
  }
  return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// The temporary file of a write is "<name>.zvtmp-XXXXXX". A write that was killed between
// creating it and renaming it leaves it behind. Such files older than this are removed by the next
// write of the same file; younger ones may belong to a write still in progress.
constexpr time_t kAbandonedTemporaryAgeSeconds = 60;

constexpr const char* kTemporaryInfix = ".zvtmp-";

bool IsTemporaryOf(const std::string& entry, const std::string& name) {
  const std::string prefix = name + kTemporaryInfix;
  constexpr size_t kRandomLength = 6;  // the XXXXXX that mkstemp fills in
  if (entry.size() != prefix.size() + kRandomLength || entry.compare(0, prefix.size(), prefix) != 0)
    return false;
  return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()), entry.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

void RemoveAbandonedTemporaries(const std::string& folder, const std::string& name) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryOf(entry->d_name, name)) continue;
    const std::string path = folder + "/" + entry->d_name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        now - info.st_mtime > kAbandonedTemporaryAgeSeconds) {
      ::unlink(path.c_str());
    }
  }
  ::closedir(dir);
}

// Writes `bytes` to `path` atomically: a temporary file beside it, flushed to disk with
// its final mode, then renamed over the old file. The old file is untouched on failure.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, mode_t mode) {
  auto slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  if (slash != std::string::npos && !MakeFolders(folder)) return false;

  std::string temporary = path + kTemporaryInfix + "XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Make the rename itself durable.
  int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    ::fsync(folderFd);
    ::close(folderFd);
  }
  RemoveAbandonedTemporaries(folder, slash == std::string::npos ? path : path.substr(slash + 1));
  return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  char chunk[16384];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof(chunk));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || bytes.size() + static_cast<size_t>(n) > kMaxPropertyListFileSize) {
      ::close(fd);
      if (n == 0) return bytes;
      return std::nullopt;
    }
    bytes.append(chunk, static_cast<size_t>(n));
  }
}

// True when a string or key of the tree holds a zero byte. libplist aborts the process when
// its accessors meet such a string; the XML form writes every byte of it, so look there.
bool HoldsZeroByte(plist_t root) {
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(root, &xml, &length);
  if (xml == nullptr) return true;
  const bool zero = std::memchr(xml, 0, length) != nullptr;
  plist_to_xml_free(xml);
  return zero;
}

}  // namespace

std::optional<PlistValue> ParsePropertyList(const std::string& bytes) {
  if (bytes.empty() || bytes.size() > kMaxPropertyListFileSize) return std::nullopt;
  auto length = static_cast<uint32_t>(bytes.size());
  plist_t raw = nullptr;
  if (plist_is_binary(bytes.data(), length)) {
    plist_from_bin(bytes.data(), length, &raw);
    if (raw != nullptr && HoldsZeroByte(raw)) {
      plist_free(raw);
      return std::nullopt;
    }
  } else {
    // A zero byte is not allowed anywhere in XML, and libplist aborts the process when it
    // later meets a string or key that holds one: such a file is not a property list.
    if (bytes.find('\0') != std::string::npos) return std::nullopt;
    plist_from_xml(bytes.data(), length, &raw);
  }
  PlistNode root(raw);
  PlistValue value;
  if (root == nullptr || !FromNode(root.get(), 0, value)) return std::nullopt;
  return value;
}

std::string SerializePropertyList(const PlistValue& root) {
  PlistNode node(ToNode(root));
  char* raw = nullptr;
  uint32_t length = 0;
  plist_to_xml(node.get(), &raw, &length);
  if (raw == nullptr) return "";
  std::string xml(raw, length);
  plist_to_xml_free(raw);
  return xml;
}

std::optional<PlistValue> ReadPropertyListFile(const std::string& path) {
  auto bytes = ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  return ParsePropertyList(*bytes);
}

bool WritePropertyListFileAtomically(const std::string& path, const PlistValue& root, mode_t mode) {
  std::string xml = SerializePropertyList(root);
  if (xml.empty()) return false;
  return WriteFileAtomically(path, xml, mode);
}

std::string PreferencesDirectory() {
  const char* home = std::getenv("HOME");
  std::string base;
  if (home != nullptr && *home != '\0') {
    base = home;
  } else if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr) {
    base = entry->pw_dir;
  }
  return base + "/Library/Preferences";
}

}  // namespace platform
