#pragma once
// Program-wide values read from section "Setting" of the configuration file
// at start-up, and the flags of the program's life cycle.
#include <QString>
#include <array>
#include <cstdint>

namespace zr {

inline const QString kEndOfItem = QStringLiteral("*EndOfThisItem*");

// Interface lock states stored under "ChannelLock".
inline const QString kLockOn = QStringLiteral("ShowLock");
inline const QString kLockOff = QStringLiteral("ShowNo");
inline const QString kLockNoMenu = QStringLiteral("NoMenu");

// Colours used when the configuration has none: out-of-band frequencies red,
// everything else black (decimal numbers with red in the low byte).
inline const QString kDefaultOverColor = QStringLiteral("255");
inline const QString kDefaultDefColor = QStringLiteral("0");

struct AppSettings {
  int ComPort = 1;
  QString EngFont = QStringLiteral("Times New Roman");
  QString ChsFont = QStringLiteral("宋体");
  QString SoftFont;
  QString OverColor = kDefaultOverColor;
  QString DefColor = kDefaultDefColor;
  int VolumeMode = 0;
  // Address texts as read (shown in the communication window's boxes) and values.
  QString TableMaxAddrText = QStringLiteral("1FFF");
  QString ReadStartAddrText = QStringLiteral("0000");
  QString ReadEndAddrText = QStringLiteral("1FFF");
  QString WriteStartAddrText = QStringLiteral("0000");
  QString WriteEndAddrText = QStringLiteral("1FFF");
  int TableMaxAddr = 0x1FFF;
  int ReadStartAddr = 0x0000;
  int ReadEndAddr = 0x1FFF;
  int WriteStartAddr = 0x0000;
  int WriteEndAddr = 0x1FFF;
  QString LockState = kLockOff;

  bool LeaveNoAsk = false;      // a language switch closes without the exit question
  bool Leaving = false;         // the shutdown was confirmed
  bool autoInputOpen = false;   // the automatic channel input dialog is open

  // Channel bit tables: entry k = 2^k, and its complement in 16 bits.
  static constexpr std::array<uint16_t, 16> ChBitSet = [] {
    std::array<uint16_t, 16> t{};
    for (int k = 0; k < 16; ++k) t[k] = static_cast<uint16_t>(1u << k);
    return t;
  }();
  static constexpr std::array<uint16_t, 16> ChBitClear = [] {
    std::array<uint16_t, 16> t{};
    for (int k = 0; k < 16; ++k) t[k] = static_cast<uint16_t>(0xFFFFu - (1u << k));
    return t;
  }();
};

}  // namespace zr
