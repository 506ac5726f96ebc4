#include "link/PortMap.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

#include "base/PrivateProfile.h"

namespace zr {

namespace {

constexpr int kPathChars = 255;

// The device a path finally names, so that a pinned /dev/serial/by-id link
// and the /dev/ttyUSB0 it points to count as one device.
QString canonical(const QString& path) {
  const QString c = QFileInfo(path).canonicalFilePath();
  return c.isEmpty() ? path : c;
}

QString describe(const SerialDevice& d) {
  QString text = d.description.trimmed();
  const QString maker = d.manufacturer.trimmed();
  if (!maker.isEmpty() && !text.contains(maker, Qt::CaseInsensitive))
    text = text.isEmpty() ? maker : text + QStringLiteral(" (") + maker + u')';
  return text;
}

}  // namespace

std::vector<SerialDevice> availableSerialDevices() {
  std::vector<SerialDevice> out;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    out.push_back({info.systemLocation(), info.description(), info.manufacturer(), info.hasVendorIdentifier(),
                   info.hasVendorIdentifier() ? info.vendorIdentifier() : quint16(0),
                   info.hasProductIdentifier() ? info.productIdentifier() : quint16(0)});
  return out;
}

bool isCableChip(quint16 vendor, quint16 product) {
  struct Id {
    quint16 vendor, product;
  };
  static const Id kCables[] = {
      {0x1a86, 0x7523}, {0x1a86, 0x5523}, {0x1a86, 0x7522},                                        // WCH CH340/CH341
      {0x10c4, 0xea60}, {0x10c4, 0xea70}, {0x10c4, 0xea71},                                        // Silicon Labs CP210x
      {0x0403, 0x6001}, {0x0403, 0x6010}, {0x0403, 0x6011}, {0x0403, 0x6014}, {0x0403, 0x6015},  // FTDI
      {0x067b, 0x2303}, {0x067b, 0x23a3}, {0x067b, 0x23c3}, {0x067b, 0x23d3},                      // Prolific PL2303
  };
  for (const Id& id : kCables)
    if (id.vendor == vendor && id.product == product) return true;
  return false;
}

bool PortMap::isUsb(const SerialDevice& device) {
  if (device.hasVendorIdentifier) return true;
  const QString name = QFileInfo(device.systemLocation).fileName();
  return name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM"));
}

bool PortMap::pathLess(const QString& a, const QString& b) {
  qsizetype i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i].isDigit() && b[j].isDigit()) {
      qsizetype ei = i, ej = j;
      while (ei < a.size() && a[ei].isDigit()) ++ei;
      while (ej < b.size() && b[ej].isDigit()) ++ej;
      // Compare the numbers without leading zeros: first by length, then digit by digit.
      QStringView na = QStringView(a).mid(i, ei - i), nb = QStringView(b).mid(j, ej - j);
      while (na.size() > 1 && na.front() == u'0') na = na.mid(1);
      while (nb.size() > 1 && nb.front() == u'0') nb = nb.mid(1);
      if (na.size() != nb.size()) return na.size() < nb.size();
      const int c = na.compare(nb);
      if (c != 0) return c < 0;
      i = ei;
      j = ej;
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  if ((a.size() - i) != (b.size() - j)) return (a.size() - i) < (b.size() - j);
  return a < b;
}

PortMap::PortMap(SerialDeviceLister lister, const PrivateProfile* ini) : lister_(std::move(lister)), ini_(ini) {
  refresh();
}

void PortMap::refresh() {
  entries_ = {};
  if (ini_) {
    const PrivateProfile::Snapshot snapshot(*ini_);  // every pin from one version of the file
    for (int n = 1; n <= kPortCount; ++n) {
      const QString path = ini_->GetString(kSection, QStringLiteral("COM%1").arg(n), QString(), kPathChars);
      if (!path.isEmpty()) entries_[n - 1] = {path, QString(), true};
    }
  }
  for (const auto& [n, path] : sessionPins_) entries_[n - 1] = {path, QString(), true};

  std::vector<SerialDevice> devices = lister_ ? lister_() : std::vector<SerialDevice>{};
  std::stable_sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
    const bool ua = isUsb(a), ub = isUsb(b);
    if (ua != ub) return ua;
    return pathLess(a.systemLocation, b.systemLocation);
  });

  int next = 0;
  for (const SerialDevice& d : devices) {
    if (d.systemLocation.isEmpty()) continue;
    const QString c = canonical(d.systemLocation);
    auto pinned = std::find_if(entries_.begin(), entries_.end(),
                               [&](const Entry& e) { return e.pinned && canonical(e.path) == c; });
    const bool cable = isCableChip(d.vendor, d.product);
    if (pinned != entries_.end()) {
      pinned->description = describe(d);
      pinned->cableChip = cable;
      continue;
    }
    while (next < kPortCount && !entries_[next].path.isEmpty()) ++next;
    if (next == kPortCount) continue;  // more devices than numbers: the rest stay unnumbered
    entries_[next] = {d.systemLocation, describe(d), false, cable};
  }
}

const PortMap::Entry& PortMap::entry(int port) const {
  static const Entry kNone;
  return port >= 1 && port <= kPortCount ? entries_[port - 1] : kNone;
}

int PortMap::numberOf(const QString& path) const {
  if (path.isEmpty()) return 0;
  const QString c = canonical(path);
  for (int n = 1; n <= kPortCount; ++n) {
    const QString& p = entries_[n - 1].path;
    if (!p.isEmpty() && (p == path || canonical(p) == c)) return n;
  }
  return 0;
}

int PortMap::assign(const QString& path) {
  if (path.isEmpty()) return 0;
  if (const int n = numberOf(path)) return n;
  int slot = 0;
  for (int n = 1; n <= kPortCount && !slot; ++n)
    if (entries_[n - 1].path.isEmpty()) slot = n;
  for (int n = kPortCount; n >= 1 && !slot; --n)
    if (!entries_[n - 1].pinned) slot = n;
  if (!slot) return 0;
  sessionPins_[slot] = path;
  refresh();
  return slot;
}

}  // namespace zr
