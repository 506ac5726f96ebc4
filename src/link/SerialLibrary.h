#pragma once
// The serial operations the radio link relies on, by port number 1..16 (the
// system's currency for ports). The real implementation maps numbers to this
// machine's serial devices and works on QSerialPort; tests use a fake.
#include <QString>
#include <cstdint>

#include "base/FrontEnd.h"

namespace zr {

class SerialLibrary {
 public:
  virtual ~SerialLibrary() = default;

  // Opens the port; 0 when it is now open, any other value when it is not.
  virtual int sio_open(int port) = 0;
  // Line settings: baud code 12 (9600) and mode code 7 (8 data bits, no parity, 2 stop bits).
  virtual int sio_ioctl(int port, int baudCode, int modeCode) = 0;
  // Discards what waits in the receive buffer (mode 2); 0 on success, a
  // negative value when the port failed.
  virtual int sio_flush(int port, int mode) = 0;
  // Queues bytes for sending; returns the count queued or a negative error.
  virtual int sio_write(int port, const uint8_t* data, int count) = 0;
  // A following read returns after at most `totalMs`; 0 on success.
  virtual int sio_SetReadTimeouts(int port, int totalMs, int intervalMs) = 0;
  // Reads up to `count` bytes, returning as soon as they have all arrived or
  // the time limit ran out; returns the count read, or a negative value when
  // the port failed (the device went away, an I/O error): no byte will come.
  virtual int sio_read(int port, uint8_t* buffer, int count) = 0;
  virtual int sio_close(int port) = 0;
  // Why the last open of the port failed, as one line for the user ("cannot
  // open /dev/ttyUSB0: permission denied ..."); empty when it opened or when
  // the layer cannot tell.
  virtual QString openError(int /*port*/) const { return {}; }
  // The system's word for the last failed flush, write or read of an open
  // port ("Input/output error"); empty when the layer cannot tell.
  virtual QString ioError(int /*port*/) const { return {}; }
  // The device behind a port number, for messages ("/dev/ttyUSB0").
  virtual QString deviceName(int port) const { return QStringLiteral("COM%1").arg(port); }
  // Whether the port could be opened, asked without opening it where opening
  // has effects (a serial port's open raises its control lines, which resets
  // many microcontroller boards and 3D printers). The default opens and closes
  // it, for layers where that is harmless.
  virtual bool sio_mayOpen(int port) {
    if (sio_open(port) != 0) return false;
    sio_close(port);
    return true;
  }
  // Whether the port may be a radio's programming cable, so that a search for
  // a radio that did not answer may send to it. Layers that cannot tell say yes.
  virtual bool sio_mayBeCable(int /*port*/) const { return true; }
};

}  // namespace zr
