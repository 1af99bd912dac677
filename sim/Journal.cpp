// SPDX-License-Identifier: GPL-3.0-or-later
#include "Journal.h"

#include <cerrno>
#include <cstring>

#include "driver/OidCatalogue.h"

namespace sim {

std::string SelectorText(uint32_t selector) {
  char text[11];
  std::snprintf(text, sizeof(text), "0x%08X", selector);
  return text;
}

std::string HexText(const uint8_t* bytes, size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0x0F]);
  }
  return text;
}

Journal::~Journal() {
  if (file_ != nullptr) std::fclose(file_);
}

bool Journal::Open(const std::string& path, std::string* error) {
  file_ = std::fopen(path.c_str(), "ae");
  if (file_ == nullptr) {
    *error = "cannot open journal " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

nlohmann::ordered_json Journal::Begin(uint64_t conn, const char* call) {
  nlohmann::ordered_json line;
  line["seq"] = ++seq_;
  line["conn"] = conn;
  line["call"] = call;
  return line;
}

void Journal::Write(const nlohmann::ordered_json& line) {
  if (file_ == nullptr) return;
  // Bytes from clients are written as hexadecimal, so the text is always valid UTF-8
  // except for control-socket marks; replace anything invalid there.
  const std::string text =
      line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  std::fputs(text.c_str(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

void Journal::Opened(uint64_t conn, uint32_t magic, uint32_t version, uint32_t type,
                     int32_t status) {
  if (file_ == nullptr) return;
  auto line = Begin(conn, "open");
  line["magic"] = SelectorText(magic);
  line["version"] = version;
  line["type"] = type;
  line["status"] = status;
  Write(line);
}

void Journal::StructureCall(uint64_t conn, uint32_t selector, const uint8_t* in, uint32_t inSize,
                            uint32_t outCapacity, int32_t status, const std::vector<uint8_t>& out) {
  if (file_ == nullptr) return;
  auto line = Begin(conn, "struct");
  line["selector"] = SelectorText(selector);
  line["set"] = (selector & OID_SET_FLAG) != 0;
  line["in_size"] = inSize;
  line["out_capacity"] = outCapacity;
  line["in"] = HexText(in, inSize);
  line["status"] = status;
  line["out_size"] = out.size();
  line["out"] = HexText(out.data(), out.size());
  Write(line);
}

void Journal::ScalarCall(uint64_t conn, uint32_t selector, uint32_t nIn, uint32_t nOut,
                         int32_t status) {
  if (file_ == nullptr) return;
  auto line = Begin(conn, "scalar");
  line["selector"] = SelectorText(selector);
  line["n_in"] = nIn;
  line["n_out"] = nOut;
  line["status"] = status;
  Write(line);
}

void Journal::Closed(uint64_t conn, const std::string& reason) {
  if (file_ == nullptr) return;
  auto line = Begin(conn, "close");
  if (!reason.empty()) line["reason"] = reason;
  Write(line);
}

void Journal::Mark(const std::string& text) {
  if (file_ == nullptr) return;
  nlohmann::ordered_json line;
  line["mark"] = text;
  Write(line);
}

}  // namespace sim
