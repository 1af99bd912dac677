// SPDX-License-Identifier: GPL-3.0-or-later
// Turns a stored profile entry (or the activation record, which holds the same keys) into
// the configuration record that the task engine applies.
#pragma once

#include <memory>
#include <string>
#include <variant>

#include "engine/ProfileRecord.h"
#include "profiles/ProfileStore.h"

namespace profiles {

// Why an entry cannot become a record: the alert to show. Nothing is queued then.
struct RecordRefusal {
  std::string title;
  std::string message;
};

// Title of the alert for an ad hoc profile whose channel has no frequency.
inline constexpr const char* kInvalidChannelAlert =
    "Invalid channel. An ad hoc profile needs a channel from 1 to 14; nothing was sent to the "
    "adapter.";

// Builds the record of `entry`: thresholds, preamble, power settings and network type as
// stored; the channel frequency for an ad hoc network; the WPA key (64 hexadecimal digits,
// or derived from the passphrase and the network name) or the WEP key records; the
// authentication and encryption modes; disassociation first; the network name, cut to the
// 32 bytes a record holds. Refused, with the alert to show, when an ad hoc channel is not
// one of channels 1..14, when no WPA key can be derived from the stored text, or when a
// stored WEP key is longer than 13 bytes.
std::variant<std::unique_ptr<ProfileRecord>, RecordRefusal> BuildProfileRecord(
    const ProfileEntry& entry);

}  // namespace profiles
