#pragma once
// The protocol's own limit on a transfer's duration: the time the bytes of
// every script take on the line (9600 baud, 8 data bits, no parity, 2 stop
// bits, so 11 bit times per byte), plus the waits the script engine must
// make: each segment, and the closing "EN", starts with DelayNms(5), which
// waits at least 5 + 2 ms. A read cannot be faster than this; the benches
// report wall time over it.
#include <QString>
#include <vector>

#include "link/BlockPlan.h"

namespace zr::bench {

constexpr double kByteMs = 11.0 * 1000.0 / 9600.0;
constexpr double kSegmentWaitMs = 5 + 2;

inline double protocolLimitMs(const std::vector<ScriptEntry>& scripts) {
  double ms = 0;
  for (const ScriptEntry& s : scripts) {
    const QString& code = s.ComCode;
    int bytes = 0, waits = 0;
    for (int p = 0; p + 1 < code.size(); p += 2) {
      const QStringView token = QStringView(code).mid(p, 2);
      if (token == u"TX") ++waits;
      else if (token == u"EN") {
        ++waits;
        break;
      } else if (token != u"RX") {
        ++bytes;  // a byte sent or expected ("VA" is one byte too)
      }
    }
    ms += bytes * kByteMs + waits * kSegmentWaitMs;
  }
  return ms;
}

}  // namespace zr::bench
