// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InternalConsistency.h"

#include <cstdio>

namespace platform {

void ReportInternalInconsistency(const char* unit, int line, const char* condition) {
  std::fprintf(stderr, "*** Assertion failure in %s, line %d\n", unit, line);
  std::fprintf(stderr, "Invalid parameter not satisfying: %s\n", condition);
  std::fflush(stderr);
}

}  // namespace platform
