// SPDX-License-Identifier: GPL-3.0-or-later
// Opens a web address in the user's default browser.
#pragma once

#include <QString>

namespace platform {

// False when the desktop could not hand the address to a browser.
bool OpenUrl(const QString& address);

}  // namespace platform
