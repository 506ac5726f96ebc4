#pragma once
// One read of the radio into the memory image, or one write of the image into
// the radio, without windows: the communication window, the CLI and the tests
// all drive this object and show its state.
//
// A transfer opens the port (searching for the radio), runs the read or write
// list of the block plan script by script through the script engine, copies
// block data between the image and the capture buffer, and retries: any failed
// script restarts the whole list from the handshake, and the 20th failure of a
// transfer ends it. A write first prepares the image (channels encoded, a set
// of bytes and settings forced to what the radio expects) and, after its
// scripted blocks, sends the model and band, reads the radio's information
// block and, for the models that need it, a parameter block or three special
// blocks, then the end frame three times. A successful read refreshes every
// editor from the image.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "link/Backups.h"
#include "link/BlockPlan.h"
#include "link/LinkFailure.h"

namespace zr {

class PortAccess;
class ScriptEngine;
class SerialLibrary;
class Waiter;
struct Core;
struct Editors;
struct RadioLink;

// What the communication window `frmCommun` shows. The transfer keeps it, so
// every front end shows the same thing.
struct CommunState {
  int progress = 0;          // `prgCommunicate`, 0..100
  QString status;            // `lblComStatus`
  QString percentText;       // `lblComPercent`
  bool stopVisible = false;  // `chkStopCom`
  bool stopTicked = false;
  bool blinking = false;     // `tmrLigGrint` runs; `imgGreen` is hidden when it stops
  bool readEnabled = true;   // `cmdRead`
  bool writeEnabled = true;  // `cmdWrite`
  bool readBold = false;
  bool writeBold = false;
  bool operator==(const CommunState&) const = default;
};

// How the last transfer ended.
enum class TransferOutcome {
  None,             // no transfer yet, or one is running
  Succeeded,
  PortNotFound,     // no port answered the handshake
  Unsupported,      // the radio names a command set this program does not speak
  Stopped,          // the stop box was ticked after the 6th failure
  TooManyFailures,  // the 20th failed script
  StageFailed,      // a direct stage of a write failed 16 times
  VerifyFailed,     // the read-back after a write found other bytes than were sent
  PortLost,         // the port failed (device gone, I/O error): ended at once
  Unexpected,       // a run-time failure (logged under the button's procedure)
};

// The five hexadecimal address boxes of the communication window.
enum class AddressBox { MaxAddr, ReadStart, ReadEnd, WriteStart, WriteEnd };
constexpr AddressBox kAddressBoxes[] = {AddressBox::MaxAddr, AddressBox::ReadStart, AddressBox::ReadEnd,
                                        AddressBox::WriteStart, AddressBox::WriteEnd};

struct AddressBoxInfo {
  QString box;    // text box, "txtReadStartAddr"
  QString label;  // its label's object name
  QString caption;  // its label's text, "Read Start Addr"
  QString key;    // configuration key in section "Setting", "ReadStartAddr"
};
const AddressBoxInfo& addressBoxInfo(AddressBox box);

// The value of an address text, as the boxes read it: up to four hex digits
// are a signed 16-bit value ("FFFF" is -1); a longer text must still fit
// 0..0x7FFF. Raises the type-mismatch failure for a text that is not a
// hexadecimal number, the overflow failure for one that does not fit.
int addressValue(const QString& text);

class Transfer : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMaxFailures = 20;    // the 20th failed script ends a transfer
  static constexpr int kStopBoxFrom = 6;     // failures before the stop box is offered
  static constexpr int kCountShownFrom = 9;  // failures before the count shows in the status line
  static inline const QString kWriteTrace = QStringLiteral("写入:频率");
  static inline const QString kStoppedText = QStringLiteral("Communication stopped");
  static inline const QString kVerifyOkText = QStringLiteral("Verify OK");
  static inline const QString kWriteOkText = QStringLiteral("Write OK");
  static inline const QString kVerifyingText = QStringLiteral("Verifying...");
  // The radio may need a moment after the end frames before it answers again.
  static constexpr int kVerifyPauseMs = 500;

  Transfer(Core& core, Editors& editors, SerialLibrary& serial, ScriptEngine& engine, PortAccess& access,
           Waiter& waiter);
  Transfer(RadioLink& link, Editors& editors);
  // The transfer plugs itself into the engine (the identification after a
  // reply) and the port search (the stop box) while it lives.
  ~Transfer();
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // The block plan (the program's script lists).
  BlockPlan& plan() { return plan_; }
  // Start-up: the standard set, then the alternate set, with the configured ranges.
  void buildProtocolScripts();

  // `cmdRead` and `cmdWrite`: run one transfer to its end. True when it
  // succeeded. A start while a transfer runs is ignored (returns false).
  bool cmdRead();
  bool cmdWrite();
  bool running() const { return running_; }

  // The window is asked to close. `CloseRequested` becomes -1 and the stop
  // box is shown ticked, so a running transfer stops at its next stop check.
  // Returns false (close refused, progress and status line cleared) while
  // the link is communicating.
  bool requestClose();
  // The user ticks or unticks the stop box.
  void setStopTicked(bool ticked);
  // Progress bar to `percent`, status line to the percentage, " %    " and `text`.
  void ShowComPercent(int percent, const QString& text);
  // A new communication window loads: it starts from its designed look (bar
  // at 0, status line and percentage empty, stop box hidden and unticked,
  // light off, buttons enabled and not bold), not from what the last
  // transfer or the last close left. Nothing changes while a transfer runs.
  void windowLoaded();

  // An address box was changed: the text goes under its key unchanged, the
  // value follows when the text is a hexadecimal number fitting 16 bits
  // (otherwise it keeps its value and the failure is logged under the box's
  // change procedure).
  void addressBoxChanged(AddressBox box, const QString& text);
  QString addressText(AddressBox box) const;
  int address(AddressBox box) const;

  const CommunState& state() const { return state_; }

  // Program-wide values of the transfers.
  int CloseRequested = 0;  // -1 once the window was asked to close
  int ComStep = 0;         // number of the script being run (1-based)
  int ComRetry = 0;        // failures of this transfer; kUnsupportedRetry for an unsupported radio
  int DblClickCount = 0;   // double clicks on the progress section, for the life of the program
  bool ShowMemDat = false;  // `chkShowMemDat` is ticked
  RadioInfoBlock RadioInfo;  // the information block a write read from the radio
  int Communicating() const;

  // When false, a transfer tries only the port `ComPort` and never searches
  // the others, so the configured port is neither changed nor stored (the
  // CLI with a device path).
  bool searchOtherPorts = true;

  // How the last transfer ended, and the message that explains a failure
  // (empty on success).
  TransferOutcome outcome() const { return outcome_; }
  const QString& failureText() const { return failureText_; }
  // Why the last transfer failed, as a value (kind None on success); a
  // write's carries how many blocks the radio acknowledged.
  const LinkFailure& failure() const { return failure_; }
  // The lines that tell a failure: the system's text first, then, for a
  // partly written radio, the partly-written line, then the cause. Empty on
  // success.
  QStringList failureLines() const;
  // The one line a good write ends with: "Write OK", or "Write OK · Verify OK".
  const QString& summary() const { return summary_; }
  // Restarts of the whole list in the last transfer, and the longest single
  // wait for one reply (milliseconds).
  int restarts() const { return restarts_; }
  qint64 longestWaitMs() const { return longestWaitMs_; }
  // When no port was found and the configured port would not even open: why
  // ("cannot open /dev/ttyUSB0: permission denied ..."); empty otherwise.
  const QString& portProblem() const { return portProblem_; }

  // After a write's last stage, read the written range back and compare it
  // with what was sent (off by default; "Verify After Write").
  bool verifyAfterWrite = false;
  // The copy the last good read or the last write left in the backups
  // folder (empty paths when none was attempted).
  const BackupCopy& lastBackup() const { return lastBackup_; }
  // What a good read's copy is called: "read", or "before-write" when the
  // radio is read to keep what it held before a batch writes it.
  QString readBackupKind = QStringLiteral("read");
  // The radio's identification bytes (its 0x0388-0x038A) from the first
  // reply of the last transfer; empty when none came.
  const QByteArray& radioIdent() const { return radioIdent_; }
  // The last write's blocks and closing frames all went through; only the
  // read-back after it may have failed.
  bool writeSent() const { return writeSent_; }
  // What the last write's preparation changed behind the editors and which
  // settings it did not send, one line each (empty when nothing).
  const QStringList& writeReport() const { return writeReport_; }
  // The same as one text for a message ("The write changed what the editors
  // showed: ..."); empty when nothing. A good write shows it only on request.
  const QString& writeReportText() const { return writeReportText_; }

  Core& core() { return core_; }
  Editors& editors() { return editors_; }
  ScriptEngine& engine() { return engine_; }

  // What the transfer tells the windows and front ends around it. Receivers
  // are connected directly and must not throw.
 signals:
  void stateChanged();         // after every change of `state()`
  void windowCloseWanted();    // the window closes itself at the end of a transfer
  void hexViewWanted();        // `chkShowMemDat`: after a read, before a write
  void writeStarting();        // the write hook `WriteComDat`: the image is prepared
  void readArrived();          // a read's blocks are in the image, before the refresh
  void portOpened(int port);   // the radio answered on `port`; the blocks follow
  // A failed script restarts the list: "restarted at block N: cause".
  void restarted(const QString& line);

 public:

 private:
  bool runRead();
  bool runWrite();
  void resetForStart(bool read);
  bool openPort();
  void openOnlyComPort();
  void portNotFound();
  bool runList(int direction, const QString& statusText, ByteArray& target);
  void prepareWriteImage();
  bool runDirectStages();
  bool verifyWrite();
  void noteSent(const DirectStage& stage);
  void keepBackup(const QString& kind, const ByteArray& image);
  struct EditorSnapshot;
  EditorSnapshot snapshotEditors() const;
  void reportWrite(const EditorSnapshot& before);
  void failWithMessage(TransferOutcome outcome);
  void scriptFailed(const ScriptEntry& script, int block);
  void noteRestart(int block);
  void stampWriteProgress();
  void logFailure(const char* tag);
  void unexpectedFailure(bool read);
  void onReply(ScriptEngine& engine);

  void change(const std::function<void(CommunState&)>& edit);
  void setStatus(const QString& text);
  void resetStopBox();

  Core& core_;
  Editors& editors_;
  SerialLibrary& serial_;
  ScriptEngine& engine_;
  PortAccess& access_;
  Waiter& waiter_;
  BlockPlan plan_;
  CommunState state_;
  bool running_ = false;
  TransferOutcome outcome_ = TransferOutcome::None;
  QString failureText_;
  LinkFailure failure_;
  QString summary_;
  bool answered_ = false;     // the radio answered once in this transfer
  bool writing_ = false;      // the blocks of a write are going out
  int blocksTotal_ = 0;
  int blocksAcknowledged_ = 0;
  int lastAcknowledgedAddress_ = -1;
  int restarts_ = 0;
  qint64 longestWaitMs_ = 0;
  QString portProblem_;
  BackupCopy lastBackup_;
  QByteArray radioIdent_;
  bool writeSent_ = false;
  QStringList writeReport_;
  QString writeReportText_;
  // Radio address -> (byte sent, sent with the special write command).
  std::map<int, std::pair<uint8_t, bool>> sent_;
};

}  // namespace zr
