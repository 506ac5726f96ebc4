#pragma once
// Which serial port the radio is on: probing ports, the port number in use
// (`ComPort`, stored as "COM" in section "Setting"), opening the port for a
// transfer, and the search for a port on which a radio answers the
// handshake. Also the port chooser's rules (the window only shows them).
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "link/SerialLibrary.h"

namespace zr {

class ErrorLog;
class PrivateProfile;
class ScriptEngine;

// The serial library's name/code tables, kept to document the line setting
// codes (9600 baud is baud code 12; 8 data bits + 2 stop bits + no parity is
// mode code 3 + 4 + 0 = 7).
struct SerialCodeList {
  QStringList names;
  std::vector<int> codes;
  int codeOf(const QString& name) const;  // -1 when the name is not listed
};
struct SerialCodeLists {
  SerialCodeList baudRate, parity, dataBits, stopBits;
};
const SerialCodeLists& serialCodeLists();

// What port access asks of the windows around it.
class PortAccess : public QObject {
  Q_OBJECT

 public:
  static constexpr int kPortCount = 16;
  static constexpr int kBaudCode = 12;  // 9600 baud
  static constexpr int kModeCode = 7;   // 8 data bits, no parity, 2 stop bits
  static constexpr int kComPortRepeats = 25;   // 26 attempts on the configured port
  static constexpr int kOtherPortRepeats = 4;  // 5 attempts on every other port
  // The handshake the search sends: ASCII PROGRAM answered by 0x06, then 0x06 answered by 0x06.
  static inline const QString kProbeScript = QStringLiteral("TX50524F4752414DRX06TX06RX06EN");
  static inline const QString kSettingSection = QStringLiteral("Setting");
  static inline const QString kComKey = QStringLiteral("COM");

  // `comPort` is the program's `ComPort` (it lives with the other settings).
  PortAccess(SerialLibrary& sio, ScriptEngine& engine, Waiter& waiter, ErrorLog& log, const PrivateProfile& ini,
             int& comPort);

  int& ComPort;
  // -1 after `OpenCom` found no usable port, 0 after it opened one.
  int OpenFailed = 0;
  // -1 while `OpenCom` searches and while a transfer runs (the transfer sets
  // and clears it too); the communication window will not close meanwhile.
  int Communicating = 0;
  // Asked between attempts of the search: the communication window's stop
  // box `chkStopCom` is ticked (a transfer answers while it lives).
  std::function<bool()> stopRequested;
  // When false, a port found by the search serves this run only and "COM"
  // is not rewritten (the CLI never changes the configuration).
  bool storeFoundPort = true;

  // 1 = opened when last probed, -1 = did not, 0 = never probed. Port 1..16;
  // any other number raises the index failure.
  int PortState(int port) const;

  // Probes one port (1..16; others are ignored). Returns whether it opened.
  bool VerdictCom(int port);
  // Probes ports 1 to 16 in order.
  void EnableCOM();
  // Takes the lowest port that opens as `ComPort` and stores it; nothing
  // changes when none opens.
  void AutoSetPort();
  // Makes `port` the transfer port and opens it at 9600 8N2. True when it opened.
  bool OpenPortCom(int port);
  // Closes the transfer port.
  void CloseCom();
  // Whether a radio answers the handshake on `port` within repeatCount + 1
  // attempts (fewer when the stop box is ticked). The port is left closed.
  bool TryPortHandshake(int port, int repeatCount);
  // Finds the radio and leaves its port open for a transfer; `OpenFailed`
  // tells whether it did.
  void OpenCom();
  // Stores `ComPort` under "COM".
  void writeComPort();
  ErrorLog& log() { return log_; }


 signals:
  void portShown(int port);     // status-bar panel 2 shows "COM" + port
  void portChooserWanted();     // open `frmToolCom` modally (after an unexpected failure)
  void rescanWanted();          // renumber devices before a probe of all ports (PortMap::refresh)

 private:
  SerialLibrary& sio_;
  ScriptEngine& engine_;
  Waiter& waiter_;
  ErrorLog& log_;
  const PrivateProfile& ini_;
  std::array<int, kPortCount> portState_{};
};

// The port chooser `frmToolCom` without its widgets: sixteen options in one
// group (at most one ticked), enabled for ports that open.
class PortChooser {
 public:
  explicit PortChooser(PortAccess& access) : access_(access) {}

  // Load: remember `ComPort`, probe all sixteen ports (a port that opens is
  // enabled and ticked in turn, one that does not is unticked and disabled),
  // then tick `ComPort`'s option.
  void load();
  bool enabled(int port) const;
  // The ticked port, 0 when none.
  int ticked() const { return ticked_; }
  // The user ticks an option; a disabled one cannot be ticked.
  void tick(int port);
  // `cmdOK`: the ticked port becomes `ComPort` (kept when none is ticked) and
  // "COM" is written.
  void ok();
  // `cmdCancel`: `ComPort` goes back to the port remembered on load.
  void cancel();
  int savedPort() const { return saved_; }

 private:
  PortAccess& access_;
  std::array<bool, PortAccess::kPortCount> enabled_{};
  int ticked_ = 0;
  int saved_ = 0;
};

}  // namespace zr
