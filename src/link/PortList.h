#pragma once
// The serial ports as the program numbers them, with what a user needs to
// pick the right one: the device, its stable /dev/serial/by-id link, the
// description, the USB vendor and product, and whether this user can open
// it (and why not).
#include <QString>
#include <vector>

namespace zr {

class PortMap;

struct PortListing {
  int number = 0;       // 1..16
  QString device;       // "/dev/ttyUSB0"
  QString byId;         // "/dev/serial/by-id/usb-FTDI_...-if00-port0", empty when none
  QString description;  // "FT232R USB UART (FTDI)"
  QString usb;          // "0403:6001", empty for a device without USB identifiers
  bool canOpen = false;
  QString problem;      // why not, as one line (PortDiagnosis)
};

// Every numbered port of `map` (after its refresh), in number order. USB
// identifiers come from the system's serial port list; links are looked up
// in `byIdDir`.
std::vector<PortListing> listPorts(const PortMap& map,
                                   const QString& byIdDir = QStringLiteral("/dev/serial/by-id"));

}  // namespace zr
