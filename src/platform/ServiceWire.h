// SPDX-License-Identifier: GPL-3.0-or-later
// Framing of the driver service protocol, shared by the client (platform) and by the
// service (trelvaned). All integers are 32-bit little-endian unless said otherwise; the
// structs below are the exact bytes on the wire.
#pragma once

#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace wire {

static_assert(std::endian::native == std::endian::little,
              "the wire structs are sent as they lie in memory");

inline constexpr uint32_t kOpenMagic = 0x564C5254;
inline constexpr uint32_t kProtocolVersion = 1;
inline constexpr uint32_t kConnectionType = 0;

inline constexpr uint32_t kCallStructure = 1;
inline constexpr uint32_t kCallScalar = 2;
// Selector of the scalar call made after every structure call.
inline constexpr uint32_t kMethodOneSelector = 1;

// Largest in_size / out_capacity a service accepts; it closes the connection beyond.
inline constexpr uint32_t kMaxStructureSize = 4096;
// Largest number of scalar values in either direction that a service accepts.
inline constexpr uint32_t kMaxScalarCount = 16;

inline constexpr int32_t kStatusSuccess = 0;
inline constexpr int32_t kStatusGeneralError = static_cast<int32_t>(0xE00002BC);
inline constexpr int32_t kStatusUnsupported = static_cast<int32_t>(0xE00002C7);
inline constexpr int32_t kStatusBadSize = static_cast<int32_t>(0xE00002C2);
inline constexpr int32_t kStatusNotReady = static_cast<int32_t>(0xE00002D8);

struct OpenRequest {
  uint32_t magic;
  uint32_t version;
  uint32_t type;
};
static_assert(sizeof(OpenRequest) == 12);

struct OpenReply {
  int32_t status;
};
static_assert(sizeof(OpenReply) == 4);

// Followed by in_size bytes.
struct StructureCall {
  uint32_t call;  // kCallStructure
  uint32_t selector;
  uint32_t in_size;
  uint32_t out_capacity;
};
static_assert(sizeof(StructureCall) == 16);

// Followed by out_size bytes (out_size <= out_capacity).
struct StructureReply {
  int32_t status;
  uint32_t out_size;
};
static_assert(sizeof(StructureReply) == 8);

// Followed by n_in unsigned 64-bit values.
struct ScalarCall {
  uint32_t call;  // kCallScalar
  uint32_t selector;
  uint32_t n_in;
  uint32_t n_out;
};
static_assert(sizeof(ScalarCall) == 16);

// Followed by n_out unsigned 64-bit values.
struct ScalarReply {
  int32_t status;
  uint32_t n_out;
};
static_assert(sizeof(ScalarReply) == 8);

// The service registry: $XDG_RUNTIME_DIR/ioservices, else /tmp/ioservices-<uid>.
inline std::string RegistryDirectory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0') return std::string(runtime) + "/ioservices";
  return "/tmp/ioservices-" + std::to_string(getuid());
}

// Socket name of unit `unit` of service class `className`, e.g. "Trelvane-0".
inline std::string ServiceEntryName(const std::string& className, uint32_t unit) {
  return className + "-" + std::to_string(unit);
}

inline constexpr const char* kDriverServiceClass = "Trelvane";

}  // namespace wire
