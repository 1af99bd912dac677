// SPDX-License-Identifier: GPL-3.0-or-later
// The call journal: one JSON object per line for every call served, flushed line by line
// so that tests can read it while the service runs.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace sim {

class Journal {
 public:
  Journal() = default;
  ~Journal();
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  // Opens `path` for appending; false with the reason in `error`.
  bool Open(const std::string& path, std::string* error);
  bool IsOpen() const { return file_ != nullptr; }

  void Opened(uint64_t conn, uint32_t magic, uint32_t version, uint32_t type, int32_t status);
  void StructureCall(uint64_t conn, uint32_t selector, const uint8_t* in, uint32_t inSize,
                     uint32_t outCapacity, int32_t status, const std::vector<uint8_t>& out);
  void ScalarCall(uint64_t conn, uint32_t selector, uint32_t nIn, uint32_t nOut, int32_t status);
  // `reason` is empty when the client closed the connection itself.
  void Closed(uint64_t conn, const std::string& reason);
  void Mark(const std::string& text);

 private:
  nlohmann::ordered_json Begin(uint64_t conn, const char* call);
  void Write(const nlohmann::ordered_json& line);

  FILE* file_ = nullptr;
  uint64_t seq_ = 0;
};

// "0x%08X"
std::string SelectorText(uint32_t selector);
// Lower-case hexadecimal digits, two per byte.
std::string HexText(const uint8_t* bytes, size_t size);

}  // namespace sim
