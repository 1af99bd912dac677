// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Journal.h"

#include <fstream>

#include <gtest/gtest.h>

namespace zvtest {

std::vector<JournalLine> ReadJournal(const std::string& path) {
  std::vector<JournalLine> lines;
  std::ifstream in(path);
  std::string text;
  while (std::getline(in, text)) {
    if (text.empty()) continue;
    JournalLine line = JournalLine::parse(text, nullptr, /*allow_exceptions=*/false);
    if (line.is_discarded()) {
      // The last line may still be being written; only complain about earlier ones.
      if (in.peek() != EOF) ADD_FAILURE() << "journal line is not JSON: " << text;
      continue;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string CallOf(const JournalLine& line) {
  auto it = line.find("call");
  if (it == line.end() || !it->is_string()) return "";
  return it->get<std::string>();
}

uint32_t SelectorOf(const JournalLine& line) {
  auto it = line.find("selector");
  if (it == line.end()) return 0;
  if (it->is_number_unsigned()) return it->get<uint32_t>();
  if (!it->is_string()) return 0;
  return static_cast<uint32_t>(std::stoul(it->get<std::string>(), nullptr, 16));
}

std::vector<uint8_t> HexField(const JournalLine& line, const char* field) {
  std::vector<uint8_t> bytes;
  auto it = line.find(field);
  if (it == line.end() || !it->is_string()) return bytes;
  const std::string& hex = it->get_ref<const std::string&>();
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

std::vector<JournalLine> CallsOfKind(const std::vector<JournalLine>& lines,
                                     const std::string& call) {
  std::vector<JournalLine> out;
  for (const auto& line : lines) {
    if (CallOf(line) == call) out.push_back(line);
  }
  return out;
}

std::vector<JournalLine> StructCalls(const std::vector<JournalLine>& lines, uint32_t selector) {
  std::vector<JournalLine> out;
  for (const auto& line : lines) {
    if (CallOf(line) == "struct" && SelectorOf(line) == selector) out.push_back(line);
  }
  return out;
}

bool IsMark(const JournalLine& line, const std::string& text) {
  for (const char* key : {"mark", "text"}) {
    auto it = line.find(key);
    if (it != line.end() && it->is_string() && it->get<std::string>() == text) {
      return std::string(key) == "mark" || CallOf(line) == "mark";
    }
  }
  return false;
}

std::vector<JournalLine> AfterMark(const std::vector<JournalLine>& lines, const std::string& text) {
  size_t start = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (IsMark(lines[i], text)) start = i + 1;
  }
  return {lines.begin() + static_cast<std::ptrdiff_t>(start), lines.end()};
}

std::string CallSequence(const std::vector<JournalLine>& lines) {
  std::string out;
  for (const auto& line : lines) {
    if (!out.empty()) out += ' ';
    out += CallOf(line);
  }
  return out;
}

}  // namespace zvtest
