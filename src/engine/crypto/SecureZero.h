// SPDX-License-Identifier: GPL-3.0-or-later
// Wiping key material that is no longer needed, in a way the compiler does not drop.
#pragma once

#include <cstddef>

namespace crypto {

inline void SecureZero(void* data, size_t length) {
  volatile unsigned char* bytes = static_cast<volatile unsigned char*>(data);
  for (size_t i = 0; i < length; ++i) bytes[i] = 0;
}

}  // namespace crypto
