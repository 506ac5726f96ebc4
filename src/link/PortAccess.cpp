#include "link/PortAccess.h"

#include "link/ScriptEngine.h"
#include "base/ErrorLog.h"
#include "base/PrivateProfile.h"
#include "base/RunError.h"

namespace zr {

int SerialCodeList::codeOf(const QString& name) const {
  const qsizetype i = names.indexOf(name);
  return i < 0 ? -1 : codes[static_cast<size_t>(i)];
}

const SerialCodeLists& serialCodeLists() {
  static const SerialCodeLists lists = [] {
    SerialCodeLists l;
    l.baudRate.names = {QStringLiteral("50"),     QStringLiteral("75"),     QStringLiteral("110"),
                        QStringLiteral("134"),    QStringLiteral("150"),    QStringLiteral("300"),
                        QStringLiteral("600"),    QStringLiteral("1200"),   QStringLiteral("1800"),
                        QStringLiteral("2400"),   QStringLiteral("4800"),   QStringLiteral("7200"),
                        QStringLiteral("9600"),   QStringLiteral("19200"),  QStringLiteral("38400"),
                        QStringLiteral("57600"),  QStringLiteral("115200"), QStringLiteral("230400"),
                        QStringLiteral("460800"), QStringLiteral("921600")};
    for (int i = 0; i < l.baudRate.names.size(); ++i) l.baudRate.codes.push_back(i);
    l.parity.names = {QStringLiteral("None"), QStringLiteral("Even"), QStringLiteral("Odd"), QStringLiteral("Mark"),
                      QStringLiteral("Space")};
    l.parity.codes = {0, 0x18, 0x08, 0x28, 0x38};
    l.dataBits.names = {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")};
    l.dataBits.codes = {0, 1, 2, 3};
    l.stopBits.names = {QStringLiteral("1"), QStringLiteral("2")};
    l.stopBits.codes = {0, 4};
    return l;
  }();
  return lists;
}

PortAccess::PortAccess(SerialLibrary& sio, ScriptEngine& engine, Waiter& waiter, ErrorLog& log,
                       const PrivateProfile& ini, int& comPort)
    : ComPort(comPort), sio_(sio), engine_(engine), waiter_(waiter), log_(log), ini_(ini) {}

int PortAccess::PortState(int port) const {
  if (port < 1 || port > kPortCount) throwSubscript("PortState", port, 1, kPortCount);
  return portState_[static_cast<size_t>(port - 1)];
}

void PortAccess::writeComPort() { ini_.WriteString(kSettingSection, kComKey, QString::number(ComPort)); }

bool PortAccess::VerdictCom(int port) {
  if (port < 1 || port > kPortCount) return false;
  int state = -1;
  // Asked without opening the device where the layer can: opening a serial
  // port that is somebody else's device is not harmless.
  const bool probed = silently([&] {
    if (sio_.sio_mayOpen(port)) state = 1;
  });
  if (!probed) state = -1;
  portState_[static_cast<size_t>(port - 1)] = state;
  return state == 1;
}

void PortAccess::EnableCOM() {
  emit rescanWanted();
  for (int port = 1; port <= kPortCount; ++port) VerdictCom(port);
}

void PortAccess::AutoSetPort() {
  guarded(log_, "mdifrmMain->AutoSetPort", [&] {
    EnableCOM();
    for (int port = 1; port <= kPortCount; ++port) {
      if (PortState(port) == 1 && sio_.sio_mayBeCable(port)) {
        ComPort = port;
        writeComPort();
        return;
      }
    }
  });
}

bool PortAccess::OpenPortCom(int port) {
  bool opened = false;
  guarded(log_, "modCommun->OpenPortCom", [&] {
    engine_.setTransferPort(port);
    if (sio_.sio_open(port) == 0) {
      sio_.sio_ioctl(port, kBaudCode, kModeCode);
      opened = true;
    }
  });
  return opened;
}

void PortAccess::CloseCom() {
  guarded(log_, "modCommun->CloseCom", [&] { sio_.sio_close(engine_.transferPort()); });
}

bool PortAccess::TryPortHandshake(int port, int repeatCount) {
  OpenPortCom(port);
  bool answered = false;
  for (int attempt = 0; attempt <= repeatCount; ++attempt) {
    if (stopRequested && stopRequested()) {
      CloseCom();
      return false;
    }
    waiter_.wait(10);  // a plain 10 ms sleep, then the link's own delay
    engine_.DelayNms(10);
    answered = engine_.runScript(kProbeScript);
    if (answered) break;
  }
  CloseCom();
  return answered;
}

void PortAccess::OpenCom() {
  bool portOpen = false;
  int code = 0;
  try {
    OpenFailed = -1;
    Communicating = -1;
    EnableCOM();
    if (PortState(ComPort) == 1 && TryPortHandshake(ComPort, kComPortRepeats)) {
      portOpen = OpenPortCom(ComPort);
      OpenFailed = 0;
    } else {
      for (int port = 1; port <= kPortCount; ++port) {
        // Only ports that may be a programming cable hear "PROGRAM": other
        // serial devices (a modem, a GPS receiver, a printer's board) are
        // somebody else's.
        if (port == ComPort || PortState(port) != 1 || !sio_.sio_mayBeCable(port)) continue;
        if (TryPortHandshake(port, kOtherPortRepeats)) {
          portOpen = OpenPortCom(port);
          OpenFailed = 0;
          ComPort = port;
          if (storeFoundPort) writeComPort();
          emit portShown(port);
          break;
        }
      }
    }
    Communicating = 0;
    return;
  } catch (const RunError& e) {
    code = e.code();
  } catch (const std::bad_alloc&) {
    code = kErrOutOfMemory;
  } catch (const std::exception&) {
    code = kErrInvalidCall;
  }
  OpenFailed = -1;
  Communicating = 0;
  // The caller sees no open port and will not close one: do not leave it open.
  if (portOpen) CloseCom();
  emit portChooserWanted();
  log_.LogError(QStringLiteral("modCommun->OpenCom"), code);
}

// ---- port chooser -----------------------------------------------------------

bool PortChooser::enabled(int port) const {
  return port >= 1 && port <= PortAccess::kPortCount && enabled_[static_cast<size_t>(port - 1)];
}

void PortChooser::load() {
  saved_ = access_.ComPort;
  ticked_ = 0;
  emit access_.rescanWanted();
  for (int port = 1; port <= PortAccess::kPortCount; ++port) {
    const bool opens = access_.VerdictCom(port);
    enabled_[static_cast<size_t>(port - 1)] = opens;
    if (opens) ticked_ = port;
    else if (ticked_ == port) ticked_ = 0;
  }
  // The port in use is ticked even when it did not open this time, so that
  // OK keeps it.
  if (access_.ComPort >= 1 && access_.ComPort <= PortAccess::kPortCount) ticked_ = access_.ComPort;
  else access_.log().LogError(QStringLiteral("frmToolCom->Form_Load"), kErrSubscript);
}

void PortChooser::tick(int port) {
  if (enabled(port)) ticked_ = port;
}

void PortChooser::ok() {
  if (ticked_ != 0) {
    access_.ComPort = ticked_;
    saved_ = ticked_;
  }
  access_.writeComPort();
}

void PortChooser::cancel() { access_.ComPort = saved_; }

}  // namespace zr
