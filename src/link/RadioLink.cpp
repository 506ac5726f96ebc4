#include "link/RadioLink.h"

namespace zr {

RadioLink::RadioLink(Core& c, Waiter& w)
    : core(c),
      waiter(w),
      portMap(availableSerialDevices, &c.ini),
      serial(portMap, w),
      engine(serial, w, c.log, c.text),
      access(serial, engine, w, c.log, c.ini, c.settings.ComPort) {
  QObject::connect(&access, &PortAccess::rescanWanted, [this] { portMap.refresh(); });
}

}  // namespace zr
