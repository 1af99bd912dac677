// SPDX-License-Identifier: GPL-3.0-or-later
// A trelvaned process for tests, in a private runtime directory, and a client that speaks
// the raw service protocol to it (independent of the utility's own client code).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <sys/types.h>

namespace simtest {

struct Reply {
  bool answered = false;  // false: the connection closed before a full answer
  int32_t status = 0;
  std::vector<uint8_t> out;
};

class RunningService {
 public:
  RunningService();  // makes the private directory; nothing runs yet
  ~RunningService();
  RunningService(const RunningService&) = delete;
  RunningService& operator=(const RunningService&) = delete;

  // Starts trelvaned with a journal and a control socket, and with `scenarioJson` as its
  // scenario when not empty; waits until the service socket is there.
  bool Start(const std::string& scenarioJson = "", const std::vector<std::string>& extra = {});
  // Runs trelvaned with `arguments` to its end; returns the exit status, stderr in `errors`.
  int RunToExit(const std::vector<std::string>& arguments, std::string* errors);
  // Sends SIGTERM and waits; returns the exit status (-1 when it had to be killed).
  int Terminate();

  std::string Control(const std::string& command) const;
  // One request: open, one structure call, the method-1 call, close.
  Reply Request(uint32_t selector, const std::vector<uint8_t>& in, uint32_t outCapacity) const;
  Reply Query(uint32_t oid, uint32_t size) const { return Request(oid, {}, size); }
  Reply Set(uint32_t oid, const std::vector<uint8_t>& in) const;
  // Connects to the service socket; -1 when it cannot.
  int Connect() const;

  std::vector<std::string> JournalLines() const;

  const std::string& Dir() const { return dir_; }
  std::string ServicePath() const { return dir_ + "/ioservices/Trelvane-0"; }
  std::string ControlPath() const { return dir_ + "/control.sock"; }
  std::string JournalPath() const { return dir_ + "/journal.jsonl"; }
  std::string WriteFile(const std::string& name, const std::string& text) const;
  static std::string Program(const char* name);

 private:
  std::string dir_;
  pid_t pid_ = -1;
};

// Reads exactly `size` bytes within a few seconds; false on end of stream or timeout.
bool ReadExactly(int fd, void* buffer, size_t size);
bool WriteAll(int fd, const void* data, size_t size);
// True when the peer closes the connection (or it breaks) within a few seconds.
bool ClosedByPeer(int fd);

std::vector<uint8_t> U32Bytes(uint32_t value);
uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset);

}  // namespace simtest
