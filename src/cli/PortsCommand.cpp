// zr417-cli ports: the serial ports as the program numbers them.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommon.h"
#include "cli/CliParser.h"
#include "link/PortList.h"
#include "link/PortMap.h"

namespace zr::cli {

int runPorts(const GlobalOptions& global, const QStringList& args) {
  GlobalOptions g = global;
  CommandParser p(QStringLiteral("ports"));
  if (auto exit = p.parse(args, g)) return *exit;
  if (!p.positionals().isEmpty())
    return p.usageError(QStringLiteral("unexpected argument '%1'").arg(p.positionals().first()));

  auto session = startSession(g);
  PortMap map(availableSerialDevices, &session->core->ini);
  map.refresh();
  const std::vector<PortListing> ports = listPorts(map);

  if (p.isSet(QStringLiteral("json"))) {
    QJsonArray list;
    for (const PortListing& port : ports) {
      QJsonObject o;
      o.insert(QStringLiteral("port"), port.number);
      o.insert(QStringLiteral("device"), port.device);
      o.insert(QStringLiteral("by_id"), port.byId);
      o.insert(QStringLiteral("description"), port.description);
      o.insert(QStringLiteral("usb"), port.usb);
      o.insert(QStringLiteral("can_open"), port.canOpen);
      o.insert(QStringLiteral("problem"), port.problem);
      list.append(o);
    }
    printOut(QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented)).trimmed());
    return kExitOk;
  }
  if (ports.empty()) {
    printErr(QStringLiteral("zr417-cli ports: no serial ports found"));
    return kExitOk;
  }
  for (const PortListing& port : ports) {
    QStringList parts{QStringLiteral("COM%1").arg(port.number), port.device};
    if (!port.byId.isEmpty()) parts << port.byId;
    if (!port.description.isEmpty()) parts << port.description;
    if (!port.usb.isEmpty()) parts << QStringLiteral("USB %1").arg(port.usb);
    parts << (port.canOpen ? QStringLiteral("can open") : port.problem);
    printOut(parts.join(QStringLiteral("  ")));
  }
  return kExitOk;
}

}  // namespace zr::cli
