// SPDX-License-Identifier: GPL-3.0-or-later
// Reading trelvaned's journal: one JSON object per line, for example
//   {"seq":1,"conn":3,"call":"struct","selector":"0x0D810102","set":true,"in_size":36,...}
// with "call" one of "open", "struct", "scalar", "close" (and the lines of journal marks).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace zvtest {

using JournalLine = nlohmann::json;

// Every line of the journal file, in order; a missing file gives no lines. A line that is
// not JSON is reported as a test failure and left out.
std::vector<JournalLine> ReadJournal(const std::string& path);

// The "call" field ("open", "struct", "scalar", "close"), or "" when absent.
std::string CallOf(const JournalLine& line);
// The "selector" field as a number (it is written as "0x0D810102"); 0 when absent.
uint32_t SelectorOf(const JournalLine& line);
// The bytes of a hexadecimal field such as "in" or "out"; empty when absent.
std::vector<uint8_t> HexField(const JournalLine& line, const char* field);

// The lines whose "call" is `call`.
std::vector<JournalLine> CallsOfKind(const std::vector<JournalLine>& lines,
                                     const std::string& call);
// The structure calls whose selector is exactly `selector` (a set carries OID_SET_FLAG).
std::vector<JournalLine> StructCalls(const std::vector<JournalLine>& lines, uint32_t selector);
// The lines after the last journal mark with text `text` (all lines when there is none).
std::vector<JournalLine> AfterMark(const std::vector<JournalLine>& lines, const std::string& text);
// True when `line` is a journal mark carrying `text`.
bool IsMark(const JournalLine& line, const std::string& text);

// The "call" of each line joined by spaces, e.g. "open struct scalar close"; handy in
// expectations about a request's lifecycle.
std::string CallSequence(const std::vector<JournalLine>& lines);

}  // namespace zvtest
