// SPDX-License-Identifier: GPL-3.0-or-later
// Property-list values and files (XML property-list format). Every write is atomic: a
// temporary file in the same folder, flushed, then renamed over the old one.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

class PlistValue;
using PlistArray = std::vector<PlistValue>;
using PlistDict = std::map<std::string, PlistValue>;
using PlistData = std::vector<uint8_t>;
struct PlistDate {
  // Seconds since the property-list epoch, 2001-01-01T00:00:00Z. The XML form keeps
  // whole seconds only.
  double secondsSince2001 = 0;
  bool operator==(const PlistDate&) const = default;
};

class PlistValue {
 public:
  using Storage = std::variant<std::string, int64_t, double, bool, PlistDate, PlistData,
                               PlistArray, PlistDict>;
  PlistValue() : v_(std::string()) {}
  PlistValue(std::string s) : v_(std::move(s)) {}
  PlistValue(const char* s) : v_(std::string(s)) {}
  PlistValue(int64_t i) : v_(i) {}
  PlistValue(double d) : v_(d) {}
  PlistValue(bool b) : v_(b) {}
  PlistValue(PlistDate d) : v_(d) {}
  PlistValue(PlistData d) : v_(std::move(d)) {}
  PlistValue(PlistArray a) : v_(std::move(a)) {}
  PlistValue(PlistDict d) : v_(std::move(d)) {}

  bool isString() const { return std::holds_alternative<std::string>(v_); }
  bool isArray() const { return std::holds_alternative<PlistArray>(v_); }
  bool isDict() const { return std::holds_alternative<PlistDict>(v_); }
  const std::string* asString() const { return std::get_if<std::string>(&v_); }
  const PlistArray* asArray() const { return std::get_if<PlistArray>(&v_); }
  PlistArray* asArray() { return std::get_if<PlistArray>(&v_); }
  const PlistDict* asDict() const { return std::get_if<PlistDict>(&v_); }
  PlistDict* asDict() { return std::get_if<PlistDict>(&v_); }
  const Storage& storage() const { return v_; }

  bool operator==(const PlistValue&) const = default;

 private:
  Storage v_;
};

// Parses XML (or binary) property-list bytes; nullopt when they are not a property list.
std::optional<PlistValue> ParsePropertyList(const std::string& bytes);
// The XML property-list form of `root`.
std::string SerializePropertyList(const PlistValue& root);

// Reads a property-list file; nullopt when it is missing or not a property list.
std::optional<PlistValue> ReadPropertyListFile(const std::string& path);
// Writes `root` atomically with file mode `mode`, creating missing parent folders (0700).
// Returns false when the file could not be written; the old file is then left as it was.
bool WritePropertyListFileAtomically(const std::string& path, const PlistValue& root,
                                     mode_t mode = 0600);

// "$HOME/Library/Preferences", where the utility keeps its property lists.
std::string PreferencesDirectory();

}  // namespace platform
