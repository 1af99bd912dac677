// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/LinkFigures.h"

#include <cstdio>

namespace {
std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}
}  // namespace

std::string TxRateText(uint32_t txRate) {
  if (txRate % 2 == 0) return std::to_string(txRate / 2) + " Mbps";
  return Format("%.1f Mbps", txRate / 2.0);
}

std::string ThroughputText(uint32_t now, uint32_t& previous) {
  const uint32_t delta = now - previous;  // unsigned: a wrapped counter still subtracts right
  previous = now;
  return Format("%.1f", static_cast<double>(delta / 250));
}

uint32_t SmoothLinkQuality(uint32_t previous, uint32_t raw) {
  // Capped before the conversion: a large raw figure must not overflow the integer.
  const double scaled = raw * 1.2 + 10;
  uint32_t quality = scaled > 100 ? 100 : static_cast<uint32_t>(scaled);
  if (previous != 0) quality = static_cast<uint32_t>((previous + quality) / 2.0 + 0.5);
  return quality;
}

uint32_t SmoothSignalQuality(uint32_t previous, uint32_t percent) {
  if (previous == 0) return percent;
  return (previous + percent + 1) / 2;
}

const char* QualityGrade(uint32_t percent) {
  if (percent > 70) return "GOOD ";
  if (percent > 40) return "NORMAL ";
  return "WEAK ";
}
