// SPDX-License-Identifier: GPL-3.0-or-later
// trelvaned's request parser on hostile clients. The input after its first byte is
// everything a client sends on one connection (the open, structure calls with their
// payloads, scalar calls); it is served once in one piece and once in pieces of the size
// the first byte gives, against the simulated adapter with a fixed clock. Both must give
// the same answers, no frame may wait with more bytes than the largest frame, and an answer
// never carries more bytes than the call offered room for.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "AdapterModel.h"
#include "FuzzCheck.h"
#include "Journal.h"
#include "Scenario.h"
#include "ServiceLoop.h"
#include "platform/ServiceWire.h"

namespace {

// The longest frame that may sit incomplete in the connection's buffer.
constexpr size_t kLongestFrame = sizeof(wire::StructureCall) + wire::kMaxStructureSize;

const sim::Scenario& Neighbourhood() {
  static const sim::Scenario scenario = sim::DefaultScenario();
  return scenario;
}

sim::AdapterModel::Clock::time_point FixedNow() {
  return sim::AdapterModel::Clock::time_point(std::chrono::seconds(1000));
}

struct Served {
  sim::RequestStream stream;
  size_t largestPending = 0;
};

Served Serve(const uint8_t* data, size_t size, size_t piece) {
  sim::AdapterModel model(Neighbourhood(), FixedNow);
  sim::Journal journal;  // not opened: records nothing
  Served served;
  for (size_t at = 0; at < size && !served.stream.closing; at += piece) {
    const size_t n = std::min(piece, size - at);
    served.stream.in.insert(served.stream.in.end(), data + at, data + at + n);
    sim::ServeRequestFrames(served.stream, model, journal);
    served.largestPending = std::max(served.largestPending, served.stream.in.size());
  }
  return served;
}

// Walks the answers of `stream` in step with the calls of `sent` and checks every answer's
// size against what its call offered.
void CheckAnswers(const uint8_t* sent, size_t sentSize, const std::vector<uint8_t>& answers) {
  size_t in = sizeof(wire::OpenRequest);
  size_t out = sizeof(wire::OpenReply);
  if (answers.size() < out || sentSize < in) return;
  int32_t openStatus = 0;
  std::memcpy(&openStatus, answers.data(), sizeof(openStatus));
  if (openStatus != wire::kStatusSuccess) {
    FUZZ_CHECK(answers.size() == sizeof(wire::OpenReply));
    return;
  }
  while (out < answers.size()) {
    FUZZ_CHECK(in + sizeof(uint32_t) <= sentSize);
    uint32_t call = 0;
    std::memcpy(&call, sent + in, sizeof(call));
    if (call == wire::kCallStructure) {
      wire::StructureCall request{};
      std::memcpy(&request, sent + in, sizeof(request));
      wire::StructureReply reply{};
      FUZZ_CHECK(out + sizeof(reply) <= answers.size());
      std::memcpy(&reply, answers.data() + out, sizeof(reply));
      FUZZ_CHECK(reply.out_size <= request.out_capacity);
      in += sizeof(request) + request.in_size;
      out += sizeof(reply) + reply.out_size;
    } else {
      FUZZ_CHECK(call == wire::kCallScalar);
      wire::ScalarCall request{};
      std::memcpy(&request, sent + in, sizeof(request));
      wire::ScalarReply reply{};
      FUZZ_CHECK(out + sizeof(reply) <= answers.size());
      std::memcpy(&reply, answers.data() + out, sizeof(reply));
      FUZZ_CHECK(reply.n_out <= request.n_out);
      in += sizeof(request) + size_t{request.n_in} * sizeof(uint64_t);
      out += sizeof(reply) + size_t{reply.n_out} * sizeof(uint64_t);
    }
  }
  FUZZ_CHECK(out == answers.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = data[0] == 0 ? size : data[0];
  ++data;
  --size;

  const Served whole = Serve(data, size, size == 0 ? 1 : size);
  const Served pieces = Serve(data, size, piece);

  FUZZ_CHECK(whole.stream.out == pieces.stream.out);
  FUZZ_CHECK(whole.stream.closing == pieces.stream.closing);
  FUZZ_CHECK(whole.stream.closeReason == pieces.stream.closeReason);
  FUZZ_CHECK(pieces.largestPending < kLongestFrame + piece);
  if (!whole.stream.closing) FUZZ_CHECK(whole.stream.in.size() < kLongestFrame);
  CheckAnswers(data, size, whole.stream.out);
  return 0;
}
