// SPDX-License-Identifier: GPL-3.0-or-later
// The pairwise master key a WPA network expects, derived here with OpenSSL so that the
// simulated adapter checks the utility's own derivation independently.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace sim {

using PairwiseMasterKey = std::array<uint8_t, 32>;

// PBKDF2-HMAC-SHA1(passphrase, ssid, 4096 rounds, 32 bytes); a 64-digit hexadecimal
// "passphrase" is the key itself.
PairwiseMasterKey DerivePairwiseMasterKey(const std::string& passphrase, const std::string& ssid);

}  // namespace sim
