#pragma once
// The radio link of one run: the port numbering of this machine, the serial
// layer on it, the waits, the script engine and the port procedures. The
// desktop program builds it with a waiter that keeps its window alive, the
// CLI with one that sleeps; tests build theirs over the fake serial layer.
#include <memory>

#include "link/PortAccess.h"
#include "link/PortMap.h"
#include "link/QtSerialLibrary.h"
#include "link/ScriptEngine.h"
#include "link/Waiters.h"
#include "data/Core.h"

namespace zr {

struct RadioLink {
  // `waiter` must outlive the link.
  RadioLink(Core& core, Waiter& waiter);

  Core& core;
  Waiter& waiter;
  PortMap portMap;
  QtSerialLibrary serial;
  ScriptEngine engine;
  PortAccess access;
};

}  // namespace zr
