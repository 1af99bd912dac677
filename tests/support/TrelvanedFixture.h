// SPDX-License-Identifier: GPL-3.0-or-later
// A running trelvaned for end-to-end tests. The fixture gives the test process a private
// XDG_RUNTIME_DIR and HOME (see PrivateEnvironment), starts $ZV_BUILD_DIR/bin/trelvaned in
// it with a journal and a control socket, and stops it again when it goes away.
//
//   zvtest::TrelvanedFixture service;
//   ASSERT_TRUE(service.Start(R"({"adapter": {...}, "networks": [...]})")) << service.LastError();
//   ... requests through ZX7100Access ...
//   auto lines = service.WaitForJournal([](auto& l) { return zvtest::CallsOfKind(l, "close").size()
//   == 1; });
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <sys/types.h>

#include "support/Journal.h"
#include "support/PrivateEnvironment.h"

namespace zvtest {

class TrelvanedFixture {
 public:
  // Makes its own private environment, or shares `environment` (for a second service
  // unit in the same registry); the service is not started yet.
  explicit TrelvanedFixture(PrivateEnvironment* environment = nullptr);
  // Stops the service.
  ~TrelvanedFixture();
  TrelvanedFixture(const TrelvanedFixture&) = delete;
  TrelvanedFixture& operator=(const TrelvanedFixture&) = delete;

  // Starts trelvaned as unit `unit`; with `scenarioJson` empty it serves its built-in
  // neighbourhood, otherwise the text is written to a scenario file first. Returns once the
  // service socket and the control socket exist; false (reason in LastError()) when the
  // program is missing, exits, or does not come up within 5 seconds. `withJournal` false
  // starts it without --journal (for measurements).
  bool Start(const std::string& scenarioJson = "", uint32_t unit = 0, bool withJournal = true);
  // Asks the service to quit and waits for it (killing it after 3 seconds). Idempotent.
  void Stop();
  bool Running() const { return pid_ > 0; }
  const std::string& LastError() const { return lastError_; }

  // Sends one control command ("unplug", "plug", "reapply 2", "eeprom-error on",
  // "load FILE", "journal-mark TEXT", "quit") and returns the answer line without its
  // newline: "ok" or "error: <why>"; "" when the service did not answer within 3 seconds.
  std::string Control(const std::string& command) const;
  // Writes a mark into the journal; true when the service acknowledged it.
  bool Mark(const std::string& text) const;

  // The journal as read now.
  std::vector<JournalLine> Journal() const;
  // Re-reads the journal until `done(lines)` holds or `timeoutMs` passes, and returns the
  // last lines read. The service writes a connection's "close" line after the client has
  // gone, so tests wait for the lines they expect instead of reading once.
  std::vector<JournalLine> WaitForJournal(
      const std::function<bool(const std::vector<JournalLine>&)>& done, int timeoutMs = 3000) const;

  PrivateEnvironment& Environment() { return *environment_; }
  uint32_t Unit() const { return unit_; }
  // $XDG_RUNTIME_DIR/ioservices/Trelvane-<unit>
  std::string ServiceSocketPath() const;
  std::string JournalPath() const;
  std::string ControlPath() const;
  // Where a scenario given to Start is written (the file exists only then).
  std::string ScenarioPath() const;
  pid_t Pid() const { return pid_; }

  // $ZV_BUILD_DIR/bin/trelvaned (the build tree of the tests when ZV_BUILD_DIR is unset).
  static std::string TrelvanedPath();

 private:
  std::string WorkDir() const;

  std::unique_ptr<PrivateEnvironment> ownEnvironment_;
  PrivateEnvironment* environment_;
  uint32_t unit_ = 0;
  pid_t pid_ = -1;
  std::string lastError_;
};

}  // namespace zvtest
