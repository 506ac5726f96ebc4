#pragma once
// Port numbers 1..16, the currency of the radio link and of the configuration
// ("COM" = 3), mapped to this machine's serial devices in one place.
//
// Numbering: devices pinned in section "Ports" of the configuration file
// ("COM3=/dev/ttyUSB1", or a stable /dev/serial/by-id/... link) keep their
// number. The other detected devices take the free numbers in order: USB
// cables first (a device with a USB vendor identifier, or named ttyUSB*/
// ttyACM*), then the rest, each group sorted by device path with numbers
// compared as numbers (ttyS2 before ttyS10). A device path given on the
// command line (a pseudo-terminal such as /dev/pts/7 is never detected) is
// assigned a number with `assign`.
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <vector>

namespace zr {

class PrivateProfile;

// One serial device as the system reports it.
struct SerialDevice {
  QString systemLocation;  // "/dev/ttyUSB0"
  QString description;     // "FT232R USB UART"
  QString manufacturer;    // "FTDI"
  bool hasVendorIdentifier = false;
  quint16 vendor = 0, product = 0;  // USB identifiers, when it has them
};

// Whether a USB serial bridge is one of the chip families programming cables
// are built on (CH340/CH341, CP210x, FTDI, PL2303: the ones the udev rule
// names), so that the program may send to it while searching for a radio.
bool isCableChip(quint16 vendor, quint16 product);

using SerialDeviceLister = std::function<std::vector<SerialDevice>()>;

// The devices QSerialPortInfo finds on this machine.
std::vector<SerialDevice> availableSerialDevices();

class PortMap {
 public:
  static constexpr int kPortCount = 16;
  static inline const QString kSection = QStringLiteral("Ports");

  struct Entry {
    QString path;         // empty: no device has this number
    QString description;  // description and maker, for the port chooser
    bool pinned = false;  // fixed by the configuration or by `assign`
    bool cableChip = false;  // a USB bridge of a programming-cable chip family
  };

  explicit PortMap(SerialDeviceLister lister = availableSerialDevices, const PrivateProfile* ini = nullptr);

  // Enumerates the devices again and renumbers them (pins are kept).
  void refresh();

  // Entry of port 1..16; an empty entry for any other number.
  const Entry& entry(int port) const;
  QString devicePath(int port) const { return entry(port).path; }
  QString description(int port) const { return entry(port).description; }

  // Number of a device path (also through symbolic links); 0 when unmapped.
  int numberOf(const QString& path) const;
  // Number of a device path, giving it one when it has none: the lowest free
  // number, else the highest number held by an unpinned device. The number
  // stays pinned for the life of this map (the configuration is not
  // changed). 0 when all sixteen are pinned to other devices.
  int assign(const QString& path);

  // A USB cable: it reports a vendor identifier or has a USB serial name.
  static bool isUsb(const SerialDevice& device);
  // Device path order with runs of digits compared as numbers.
  static bool pathLess(const QString& a, const QString& b);

 private:
  SerialDeviceLister lister_;
  const PrivateProfile* ini_;
  std::array<Entry, kPortCount> entries_{};
  std::map<int, QString> sessionPins_;  // from `assign`
};

}  // namespace zr
