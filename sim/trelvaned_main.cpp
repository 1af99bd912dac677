// SPDX-License-Identifier: GPL-3.0-or-later
// trelvaned: the adapter's driver service. Publishes the service "Trelvane-<unit>" in the
// service registry and simulates the adapter and its radio neighbourhood.
//
//   trelvaned [--scenario FILE] [--unit N] [--journal FILE] [--control SOCKET]
#include <charconv>
#include <cstdio>
#include <string>

#include "AdapterModel.h"
#include "Journal.h"
#include "Scenario.h"
#include "ServiceLoop.h"

namespace {

constexpr const char* kUsage =
    "usage: trelvaned [--scenario FILE] [--unit N] [--journal FILE] [--control SOCKET]\n";

struct Arguments {
  std::string scenarioPath;
  std::string journalPath;
  sim::ServiceOptions service;
};

bool ParseUnit(const std::string& text, uint32_t& unit) {
  const char* end = text.data() + text.size();
  auto [last, fault] = std::from_chars(text.data(), end, unit);
  return !text.empty() && fault == std::errc() && last == end && unit <= 65535;
}

bool ParseArguments(int argc, char** argv, Arguments& arguments) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--help" || option == "-h") return false;
    if (i + 1 >= argc) {
      std::fprintf(stderr, "trelvaned: %s needs a value\n", option.c_str());
      return false;
    }
    const std::string value = argv[++i];
    if (option == "--scenario") {
      arguments.scenarioPath = value;
    } else if (option == "--journal") {
      arguments.journalPath = value;
    } else if (option == "--control") {
      arguments.service.controlPath = value;
    } else if (option == "--unit") {
      if (!ParseUnit(value, arguments.service.unit)) {
        std::fprintf(stderr, "trelvaned: --unit needs a number from 0 to 65535\n");
        return false;
      }
    } else {
      std::fprintf(stderr, "trelvaned: unknown option %s\n", option.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  if (!ParseArguments(argc, argv, arguments)) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  sim::Scenario scenario = sim::DefaultScenario();
  if (!arguments.scenarioPath.empty()) {
    try {
      scenario = sim::LoadScenarioFile(arguments.scenarioPath);
    } catch (const sim::ScenarioError& fault) {
      std::fprintf(stderr, "trelvaned: %s\n", fault.what());
      return 1;
    }
  }

  sim::Journal journal;
  std::string error;
  if (!arguments.journalPath.empty() && !journal.Open(arguments.journalPath, &error)) {
    std::fprintf(stderr, "trelvaned: %s\n", error.c_str());
    return 1;
  }

  sim::AdapterModel model(std::move(scenario));
  sim::ServiceLoop loop(model, journal, arguments.service);
  if (!loop.Start(&error)) {
    std::fprintf(stderr, "trelvaned: %s\n", error.c_str());
    return 1;
  }
  return loop.Run();
}
