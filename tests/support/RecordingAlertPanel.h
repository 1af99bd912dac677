// SPDX-License-Identifier: GPL-3.0-or-later
// An alert panel that records each alert instead of showing it and returns at once, as if
// the user had pressed "OK" straight away.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/AlertPanel.h"

namespace zvtest {

class RecordingAlertPanel : public platform::AlertPanel {
 public:
  struct Alert {
    std::string title;
    std::string message;
    bool operator==(const Alert&) const = default;
  };

  void Run(const std::string& title, const std::string& message) override {
    alerts.push_back({title, message});
    if (onAlert) onAlert(alerts.back());
  }

  // Every alert so far, oldest first.
  std::vector<Alert> alerts;
  // Called after an alert is recorded (e.g. to look at the program's state at that moment).
  std::function<void(const Alert&)> onAlert;
};

}  // namespace zvtest
