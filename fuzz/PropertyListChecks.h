// SPDX-License-Identifier: GPL-3.0-or-later
// Checks shared by the property-list fuzzers: a private scratch folder for the files the
// loaders read, and the round trip that every save relies on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/PropertyList.h"

namespace fuzz {

// A folder of this process for scratch files (created on first use, in /dev/shm when
// there is one so that the loaders' file reads cost no disk work).
const std::string& ScratchFolder();
// Replaces `path` with exactly `size` bytes of `data`.
void WriteScratchFile(const std::string& path, const uint8_t* data, size_t size);

// Equal as the XML form can keep them: dates within a second inside the 32-bit range of
// the format, any two NaNs alike.
bool SameAfterSave(const platform::PlistValue& a, const platform::PlistValue& b);

// Serialises `value`, parses the text again and checks that nothing was lost or changed,
// so what the program read from a file survives being written back.
void CheckSaveKeeps(const platform::PlistValue& value);

}  // namespace fuzz
