#include "link/PortList.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include "link/PortDiagnosis.h"
#include "link/PortMap.h"

namespace zr {

namespace {

QString canonical(const QString& path) {
  const QString c = QFileInfo(path).canonicalFilePath();
  return c.isEmpty() ? path : c;
}

}  // namespace

std::vector<PortListing> listPorts(const PortMap& map, const QString& byIdDir) {
  const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
  const QFileInfoList links = QDir(byIdDir).entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
  std::vector<PortListing> out;
  for (int n = 1; n <= PortMap::kPortCount; ++n) {
    const PortMap::Entry& e = map.entry(n);
    if (e.path.isEmpty()) continue;
    PortListing p;
    p.number = n;
    p.device = e.path;
    p.description = e.description;
    const QString target = canonical(e.path);
    for (const QFileInfo& link : links)
      if (canonical(link.absoluteFilePath()) == target) {
        p.byId = link.absoluteFilePath();
        break;
      }
    for (const QSerialPortInfo& info : infos) {
      if (canonical(info.systemLocation()) != target) continue;
      if (p.description.isEmpty()) p.description = info.description();
      if (info.hasVendorIdentifier() && info.hasProductIdentifier())
        p.usb = QStringLiteral("%1:%2")
                    .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                    .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
      break;
    }
    p.problem = accessProblem(e.path);
    p.canOpen = p.problem.isEmpty();
    out.push_back(p);
  }
  return out;
}

}  // namespace zr
