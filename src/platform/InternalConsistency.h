// SPDX-License-Identifier: GPL-3.0-or-later
// Internal-consistency failures: a value that cannot occur in normal operation. The report
// goes to standard error; the caller then abandons the operation in progress and the
// application goes on.
#pragma once

namespace platform {

// Writes "*** Assertion failure in <unit>, line <line>" and
// "Invalid parameter not satisfying: <condition>" to standard error.
void ReportInternalInconsistency(const char* unit, int line, const char* condition = "FALSE");

}  // namespace platform
