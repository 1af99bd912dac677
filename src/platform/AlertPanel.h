// SPDX-License-Identifier: GPL-3.0-or-later
// Modal alert panels: a title, an optional message and the single button "OK".
#pragma once

#include <string>

namespace platform {

class AlertPanel {
 public:
  virtual ~AlertPanel() = default;
  // Shows the panel and returns when the user has pressed "OK".
  virtual void Run(const std::string& title, const std::string& message) = 0;
};

}  // namespace platform
