// SPDX-License-Identifier: GPL-3.0-or-later
#include "PropertyListChecks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <variant>

#include <sys/stat.h>

#include "FuzzCheck.h"

namespace fuzz {

const std::string& ScratchFolder() {
  static const std::string folder = [] {
    struct stat info {};
    std::string base =
        ::stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) ? "/dev/shm" : "/tmp";
    std::string pattern = base + "/zv-fuzz-XXXXXX";
    FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
    return pattern;
  }();
  return folder;
}

void WriteScratchFile(const std::string& path, const uint8_t* data, size_t size) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  FUZZ_CHECK(fd >= 0);
  size_t done = 0;
  while (done < size) {
    ssize_t written = ::write(fd, data + done, size - done);
    FUZZ_CHECK(written > 0);
    done += static_cast<size_t>(written);
  }
  ::close(fd);
}

bool SameAfterSave(const platform::PlistValue& a, const platform::PlistValue& b) {
  using namespace platform;
  const auto& x = a.storage();
  const auto& y = b.storage();
  if (x.index() != y.index()) return false;
  if (auto* d = std::get_if<double>(&x)) {
    const double e = std::get<double>(y);
    return (std::isnan(*d) && std::isnan(e)) || *d == e;
  }
  if (auto* d = std::get_if<PlistDate>(&x)) {
    // A date file holds whole seconds in 32 bits; one outside is saved as the nearest end,
    // and libplist cuts a fraction towards zero or down depending on the sign.
    auto kept = [](double seconds) {
      return std::clamp(seconds, double{INT32_MIN}, double{INT32_MAX});
    };
    return std::fabs(kept(d->secondsSince2001) - kept(std::get<PlistDate>(y).secondsSince2001)) < 1;
  }
  if (auto* array = std::get_if<PlistArray>(&x)) {
    const auto& other = std::get<PlistArray>(y);
    if (array->size() != other.size()) return false;
    for (size_t i = 0; i < array->size(); ++i) {
      if (!SameAfterSave((*array)[i], other[i])) return false;
    }
    return true;
  }
  if (auto* dict = std::get_if<PlistDict>(&x)) {
    const auto& other = std::get<PlistDict>(y);
    if (dict->size() != other.size()) return false;
    for (auto i = dict->begin(), j = other.begin(); i != dict->end(); ++i, ++j) {
      if (i->first != j->first || !SameAfterSave(i->second, j->second)) return false;
    }
    return true;
  }
  return a == b;
}

void CheckSaveKeeps(const platform::PlistValue& value) {
  const std::string text = platform::SerializePropertyList(value);
  FUZZ_CHECK(!text.empty());
  const auto again = platform::ParsePropertyList(text);
  FUZZ_CHECK(again.has_value());
  FUZZ_CHECK(SameAfterSave(value, *again));
}

}  // namespace fuzz
