#pragma once
// The serial library on QSerialPort: port numbers go through the PortMap to
// device paths (real serial devices or pseudo-terminals).
//
// Reads never spin: a read waits on the device in short slices and lets the
// Waiter serve user-interface events between slices, and it returns as soon
// as all bytes asked for have arrived. Its time limit counts from the moment
// the request has left the line, and a reply that has begun is read while
// its bytes keep coming.
#include <QString>
#include <array>
#include <chrono>
#include <memory>

#include "link/SerialLibrary.h"

class QSerialPort;

namespace zr {

class PortMap;

// Line setting codes of the serial library's tables.
int baudRateOfCode(int code);  // 12 -> 9600; 0 for an unknown code

class QtSerialLibrary : public SerialLibrary {
 public:
  static constexpr int kPortCount = 16;
  static constexpr int kSliceMs = 10;  // longest wait on the device between event services
  // Results other than 0 (the serial library's negative error codes).
  static constexpr int kBadPort = -1;   // no such port number, or no device has it
  static constexpr int kOpenFailed = -2;
  static constexpr int kNotOpen = -3;
  static constexpr int kBadArgument = -4;
  static constexpr int kDeviceFailed = -5;  // the device went away or reported an I/O error

  QtSerialLibrary(PortMap& map, Waiter& waiter);
  ~QtSerialLibrary() override;

  int sio_open(int port) override;
  int sio_ioctl(int port, int baudCode, int modeCode) override;
  int sio_flush(int port, int mode) override;
  int sio_write(int port, const uint8_t* data, int count) override;
  int sio_SetReadTimeouts(int port, int totalMs, int intervalMs) override;
  int sio_read(int port, uint8_t* buffer, int count) override;
  int sio_close(int port) override;

  // Why the last open of the port failed, in words a user can act on (the
  // device, the system's reason and, for a permission problem, the group
  // that grants access). Empty after a successful open.
  QString openError(int port) const override;
  QString ioError(int port) const override;
  QString deviceName(int port) const override;
  // From the device's permissions, owner, group and lock file; never opens it.
  bool sio_mayOpen(int port) override;
  // A port pinned by the configuration or named by the user, or a USB bridge
  // of the programming-cable chip families.
  bool sio_mayBeCable(int port) const override;

 private:
  struct Slot {
    std::unique_ptr<QSerialPort> serial;
    int readTimeoutMs = 0;
    bool pty = false;  // line settings on a pseudo-terminal may fail harmlessly
    int charMicros = 1146;  // one character on the line (9600 baud, 8N2: 11 bits)
    // When the last byte written will have left the line.
    std::chrono::steady_clock::time_point requestLeavesAt{};
    QString openError;
    QString ioError;  // the system's word for the last failed flush, write or read
  };
  // Whether the port's last operation failed in a way no retry mends (the
  // device vanished, an I/O error); keeps the system's word for it.
  bool deviceFailed(Slot& s);
  Slot* openSlot(int port);

  PortMap& map_;
  Waiter& waiter_;
  std::array<Slot, kPortCount> slots_;
};

}  // namespace zr
