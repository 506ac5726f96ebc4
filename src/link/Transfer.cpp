#include "link/Transfer.h"

#include <QElapsedTimer>
#include <algorithm>

#include "editors/BandModel.h"
#include "editors/Editors.h"
#include "editors/VolumeTable.h"
#include "link/ForcedSettings.h"
#include "link/PortAccess.h"
#include "link/RadioLink.h"
#include "link/ScriptEngine.h"
#include "link/SerialLibrary.h"
#include "link/Waiters.h"
#include "data/Core.h"
#include "base/ErrorLog.h"
#include "base/RunError.h"
#include "base/TextIds.h"

namespace zr {

namespace {

// A reply that came too late may still be arriving when a script has failed;
// its bytes would land in the reply to the restart's handshake and fail that
// too. Before the list starts again the line is left to fall quiet for as
// long as the radio itself waits before it drops a half-received frame, and
// whatever comes meanwhile is discarded.
constexpr int kSettleQuietMs = 50;
constexpr int kSettleRounds = 20;  // a line that never falls quiet is not waited on for ever

void letLineSettle(SerialLibrary& sio, int port) {
  uint8_t sink[64];
  for (int round = 0; round < kSettleRounds; ++round) {
    if (sio.sio_SetReadTimeouts(port, kSettleQuietMs, 0) != 0) return;
    if (sio.sio_read(port, sink, static_cast<int>(sizeof sink)) <= 0) return;
  }
}

constexpr int kErrInvalidPropertyValue = 380;  // a progress value outside the bar

// The write preparation. The radio expects these bytes whatever the data set
// says: 0x0360 holds 0x08; the first sixteen channel records carry bit 7 of
// byte 13 set and bits 0, 1, 2, 5, 6 of byte 12 and bit 0 of byte 14 clear;
// bit 0 of 0x0367 is set; 0x0362/0x0363 may not hold 14 and 0 (either way).
constexpr int kForcedByteAddr = 0x0360;
constexpr int kForcedByteValue = 0x08;
constexpr int kAlarmFlagsByte = 0x0367;
constexpr int kPairFirst = 0x0362;
constexpr int kPairSecond = 0x0363;
constexpr int kPairValue = 14;
constexpr int kPreparedChannels = 16;
constexpr int kRecordFlagsA = 12;  // byte 12 of a record
constexpr int kRecordFlagsB = 13;
constexpr int kRecordFlagsC = 14;
constexpr int kKeepMaskA = 0x98;
constexpr int kSetMaskB = 0x80;
constexpr int kKeepMaskC = 0xFE;

// The value and the text of a box in the settings (const or not).
template <class Settings>
auto& addressValueRef(Settings& s, AddressBox box) {
  switch (box) {
    case AddressBox::MaxAddr: return s.TableMaxAddr;
    case AddressBox::ReadStart: return s.ReadStartAddr;
    case AddressBox::ReadEnd: return s.ReadEndAddr;
    case AddressBox::WriteStart: return s.WriteStartAddr;
    case AddressBox::WriteEnd: break;
  }
  return s.WriteEndAddr;
}

template <class Settings>
auto& addressTextRef(Settings& s, AddressBox box) {
  switch (box) {
    case AddressBox::MaxAddr: return s.TableMaxAddrText;
    case AddressBox::ReadStart: return s.ReadStartAddrText;
    case AddressBox::ReadEnd: return s.ReadEndAddrText;
    case AddressBox::WriteStart: return s.WriteStartAddrText;
    case AddressBox::WriteEnd: break;
  }
  return s.WriteEndAddrText;
}

// "0x01AC", "0x5A": a number as the hex view shows it.
QString hexText(int value, int digits) {
  return QStringLiteral("0x") + QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

// The band the image itself holds (limits at 0x037A and 0x037C, four BCD
// digits of 100 kHz each), as the band list writes a range: "400 - 480 MHz".
// The editors may still show the band of the data the image replaces.
QString imageBandText(const ByteArray& image) {
  if (!image.contains(kBandMinAddr) || !image.contains(kBandMaxAddr + 1)) return QStringLiteral("unknown band");
  const int lo = fromBandBcd(image.at(kBandMinAddr), image.at(kBandMinAddr + 1));
  const int hi = fromBandBcd(image.at(kBandMaxAddr), image.at(kBandMaxAddr + 1));
  if (lo < 0 || hi < 0) return QStringLiteral("unknown band");
  const auto mhz = [](int units100kHz) {
    return units100kHz % 10 == 0 ? QString::number(units100kHz / 10) : QString::number(units100kHz / 10.0, 'f', 1);
  };
  return QStringLiteral("%1 - %2 MHz").arg(mhz(lo), mhz(hi));
}

bool isHexDigit(QChar c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

}  // namespace

const AddressBoxInfo& addressBoxInfo(AddressBox box) {
  static const AddressBoxInfo infos[] = {
      {QStringLiteral("txtMaxAddr"), QStringLiteral("lblMaxAddr"), QStringLiteral("Grid Max Addr"),
       QStringLiteral("TableMaxAddr")},
      {QStringLiteral("txtReadStartAddr"), QStringLiteral("lblReadStartAddr"), QStringLiteral("Read Start Addr"),
       QStringLiteral("ReadStartAddr")},
      {QStringLiteral("txtReadEndAddr"), QStringLiteral("lblReadEndAddr"), QStringLiteral("Read End Addr"),
       QStringLiteral("ReadEndAddr")},
      {QStringLiteral("txtWriteStartAddr"), QStringLiteral("lblWriteStartAddr"), QStringLiteral("Write Start Addr"),
       QStringLiteral("WriteStartAddr")},
      {QStringLiteral("txtWriteEndAddr"), QStringLiteral("lblWriteEndAddr"), QStringLiteral("Write End Addr"),
       QStringLiteral("WriteEndAddr")},
  };
  return infos[static_cast<int>(box)];
}

int addressValue(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty() || !std::all_of(t.begin(), t.end(), isHexDigit))
    throw RunError(kErrTypeMismatch, QStringLiteral("'%1' is not a hexadecimal number").arg(text));
  if (t.size() <= 4) return static_cast<int16_t>(static_cast<uint16_t>(t.toUInt(nullptr, 16)));
  // A longer text is a 32-bit number that must still fit the 16-bit value.
  bool ok = false;
  const uint v = t.toUInt(&ok, 16);
  if (!ok || t.size() > 8 || v > 0x7FFF)
    throw RunError(kErrOverflow, QStringLiteral("'%1' does not fit 16 bits").arg(text));
  return static_cast<int>(v);
}

// What the editors showed before a write, to tell what the write changed.
struct Transfer::EditorSnapshot {
  std::vector<std::vector<QString>> grid;  // texts of the channel rows
  QStringList gridCaptions;
  std::map<QString, QString> settings;     // field name -> shown text
};

// ---- construction -----------------------------------------------------------

Transfer::Transfer(Core& core, Editors& editors, SerialLibrary& serial, ScriptEngine& engine, PortAccess& access,
                   Waiter& waiter)
    : core_(core),
      editors_(editors),
      serial_(serial),
      engine_(engine),
      access_(access),
      waiter_(waiter),
      plan_(core.log, core.text, core.image.TempArray) {
  engine_.replyHook = [this](ScriptEngine& e) { onReply(e); };
  access_.stopRequested = [this] { return state_.stopTicked; };
  const AppSettings& s = core_.settings;
  plan_.setRanges({s.ReadStartAddr, s.ReadEndAddr, s.WriteStartAddr, s.WriteEndAddr});
}

Transfer::Transfer(RadioLink& link, Editors& editors)
    : Transfer(link.core, editors, link.serial, link.engine, link.access, link.waiter) {}

Transfer::~Transfer() {
  engine_.replyHook = nullptr;
  access_.stopRequested = nullptr;
}

void Transfer::buildProtocolScripts() {
  const AppSettings& s = core_.settings;
  plan_.setRanges({s.ReadStartAddr, s.ReadEndAddr, s.WriteStartAddr, s.WriteEndAddr});
  plan_.UseCmdSetRW();
  plan_.UseCmdSetAlt();
}

int Transfer::Communicating() const { return access_.Communicating; }

void Transfer::change(const std::function<void(CommunState&)>& edit) {
  CommunState next = state_;
  edit(next);
  if (next == state_) return;
  state_ = std::move(next);
  emit stateChanged();
}

void Transfer::setStatus(const QString& text) {
  change([&](CommunState& s) { s.status = text; });
}

void Transfer::resetStopBox() {
  change([](CommunState& s) {
    s.stopTicked = false;
    s.stopVisible = false;
  });
}

void Transfer::setStopTicked(bool ticked) {
  change([ticked](CommunState& s) { s.stopTicked = ticked; });
}

void Transfer::ShowComPercent(int percent, const QString& text) {
  guarded(core_.log, "frmCommun->ShowComPercent", [&] {
    if (percent < 0 || percent > 100)
      throw RunError(kErrInvalidPropertyValue, QStringLiteral("progress %1 outside 0..100").arg(percent));
    change([&](CommunState& s) {
      s.progress = percent;
      s.status = QString::number(percent) + QStringLiteral(" %    ") + text;
    });
  });
}

void Transfer::windowLoaded() {
  if (running_) return;
  change([](CommunState& s) { s = CommunState{}; });
}

bool Transfer::requestClose() {
  CloseRequested = -1;
  const bool refuse = Communicating() == -1;
  change([refuse](CommunState& s) {
    if (refuse) {
      s.progress = 0;
      s.status.clear();
    }
    s.stopVisible = true;
    s.stopTicked = true;
  });
  return !refuse;
}

// ---- address boxes ----------------------------------------------------------

void Transfer::addressBoxChanged(AddressBox box, const QString& text) {
  const AddressBoxInfo& info = addressBoxInfo(box);
  const QByteArray tag = (QStringLiteral("frmCommun->") + info.box + QStringLiteral("_Change")).toUtf8();
  guarded(core_.log, tag.constData(), [&] {
    // The text is stored as typed, also when it is not a number.
    addressTextRef(core_.settings, box) = text;
    core_.ini.WriteString(kSettingSection, info.key, text);
    addressValueRef(core_.settings, box) = addressValue(text);
  });
}

QString Transfer::addressText(AddressBox box) const {
  return addressTextRef(core_.settings, box);
}

int Transfer::address(AddressBox box) const {
  return addressValueRef(core_.settings, box);
}

// ---- the transfers ----------------------------------------------------------

bool Transfer::cmdRead() {
  if (running_) return false;
  running_ = true;
  outcome_ = TransferOutcome::None;
  failureText_.clear();
  bool ok = false;
  if (!guarded(core_.log, "frmCommun->cmdRead_Click", [&] { ok = runRead(); })) {
    ok = false;
    unexpectedFailure(true);
  }
  running_ = false;
  ComStep = 0;
  return ok;
}

bool Transfer::cmdWrite() {
  if (running_) return false;
  running_ = true;
  outcome_ = TransferOutcome::None;
  failureText_.clear();
  bool ok = false;
  if (!guarded(core_.log, "frmCommun->cmdWrite_Click", [&] { ok = runWrite(); })) {
    ok = false;
    unexpectedFailure(false);
  }
  running_ = false;
  ComStep = 0;
  return ok;
}

void Transfer::resetForStart(bool read) {
  ComRetry = 0;
  radioIdent_.clear();
  portProblem_.clear();
  failure_ = {};
  summary_.clear();
  answered_ = false;
  writing_ = false;
  blocksTotal_ = blocksAcknowledged_ = 0;
  lastAcknowledgedAddress_ = -1;
  restarts_ = 0;
  longestWaitMs_ = 0;
  engine_.trace().reset();
  change([read](CommunState& s) {
    s.stopTicked = false;
    s.stopVisible = false;
    s.blinking = true;
    s.readBold = read;
    s.writeBold = !read;
    s.status.clear();
  });
  access_.Communicating = 0;
}

bool Transfer::openPort() {
  const AppSettings& s = core_.settings;
  plan_.setRanges({s.ReadStartAddr, s.ReadEndAddr, s.WriteStartAddr, s.WriteEndAddr});
  plan_.UseCmdSetAlt();
  CloseRequested = 0;
  ComStep = 0;
  if (!access_.inUseBy(access_.ComPort).isEmpty()) {
    // The radio on this cable is being written from elsewhere in the
    // program: nothing goes to it, and no other port is taken instead.
    access_.OpenFailed = -1;
    portNotFound();
    return false;
  }
  if (searchOtherPorts) access_.OpenCom();
  else openOnlyComPort();
  if (access_.OpenFailed == -1) {
    portNotFound();
    return false;
  }
  emit portOpened(access_.ComPort);
  return true;
}

void Transfer::openOnlyComPort() {
  access_.OpenFailed = -1;
  access_.Communicating = -1;
  const int port = access_.ComPort;
  if (access_.VerdictCom(port) && access_.TryPortHandshake(port, PortAccess::kComPortRepeats) &&
      access_.OpenPortCom(port))
    access_.OpenFailed = 0;
  access_.Communicating = 0;
}

void Transfer::portNotFound() {
  change([](CommunState& s) { s.blinking = false; });
  failureText_ = core_.text.SoftFace(kTxtComFailed);
  // The configured port would not open at all: the status line and the log
  // say why (a missing device, a group the user lacks), not only that the
  // communication failed.
  portProblem_.clear();
  const int port = access_.ComPort;
  if (const QString user = access_.inUseBy(port); !user.isEmpty())
    portProblem_ = QStringLiteral("COM%1 (%2) is in use by %3: wait until it is done there, or choose another port "
                                  "under Settings > Communication Port.")
                       .arg(port)
                       .arg(serial_.deviceName(port), user);
  else if (port >= 1 && port <= PortAccess::kPortCount && access_.PortState(port) == -1)
    portProblem_ = serial_.openError(port);
  // Stopped by the user during the search, a port that would not open, or
  // ports that opened and stayed silent.
  if (state_.stopTicked) failure_ = LinkFailure::stoppedByUser();
  else if (!portProblem_.isEmpty()) failure_ = LinkFailure::portBusy(serial_.deviceName(port), portProblem_);
  else failure_ = LinkFailure::noAnswer();
  if (portProblem_.isEmpty()) {
    setStatus(failureText_ + QStringLiteral(" ") + causeLine(failure_, core_.text));
    logFailure("modCommun->OpenCom");
  } else {
    setStatus(failureText_ + QStringLiteral(" ") + portProblem_);
    core_.log.LogError(QStringLiteral("modCommun->OpenCom"), RunError(kErrPathFileAccess, portProblem_));
  }
  outcome_ = TransferOutcome::PortNotFound;
  if (CloseRequested == -1) emit windowCloseWanted();
}

bool Transfer::runRead() {
  resetForStart(true);
  lastBackup_ = {};
  if (!openPort()) return false;
  if (!plan_.complete(kDirRead)) {
    // A range the address field cannot carry: the list stops short, and a
    // partial read must not pass for a whole one.
    throw RunError(kErrSubscript, QStringLiteral("the read range cannot be planned"));
  }
  change([](CommunState& s) { s.readEnabled = false; });
  access_.Communicating = -1;
  setStatus(core_.text.SoftFace(kTxtReading));

  // The blocks go into a scratch copy: only a whole read replaces the image,
  // so a failed or stopped one never mixes two radios' data under the old
  // file's name.
  ByteArray scratch = core_.image.TempArray;
  const bool ok = runList(kDirRead, core_.text.SoftFace(kTxtReading), scratch);

  access_.CloseCom();
  resetStopBox();
  change([](CommunState& s) { s.blinking = false; });
  engine_.DelayNms(5);
  if (ok) {
    core_.image.TempArray.bytes() = scratch.bytes();
    if (!readBackupKind.isEmpty()) keepBackup(readBackupKind, scratch);
    emit readArrived();
    core_.files.SoftDisplay();
    core_.history.clear();  // a read starts a fresh history, as Open does
    setStatus(core_.text.SoftFace(kTxtReadOk));
    change([](CommunState& s) { s.progress = 100; });
    if (ShowMemDat) emit hexViewWanted();
    outcome_ = TransferOutcome::Succeeded;
  } else if (outcome_ == TransferOutcome::Stopped) {
    setStatus(core_.text.SoftFace(kTxtReadFailed) + QStringLiteral(": ") + kStoppedText);
  } else {
    const QString cause = causeLine(failure_, core_.text);
    setStatus(core_.text.SoftFace(kTxtReadFailed) + (cause.isEmpty() ? QString() : QStringLiteral(" ") + cause));
  }
  engine_.DelayNms(1);
  waiter_.wait(1);
  change([](CommunState& s) {
    s.progress = 0;
    s.status.clear();
    s.percentText.clear();
    s.readEnabled = true;
    s.stopTicked = false;
    s.stopVisible = false;
  });
  access_.Communicating = 0;
  emit windowCloseWanted();
  return ok;
}

bool Transfer::runWrite() {
  resetForStart(false);
  lastBackup_ = {};
  writeReport_.clear();
  writeReportText_.clear();
  sent_.clear();
  writeSent_ = false;
  if (!openPort()) return false;
  if (!plan_.complete(kDirWrite)) throw RunError(kErrSubscript, QStringLiteral("the write range cannot be planned"));
  access_.Communicating = -1;
  const EditorSnapshot before = snapshotEditors();
  prepareWriteImage();
  emit writeStarting();
  change([](CommunState& s) { s.writeEnabled = false; });
  if (ShowMemDat) emit hexViewWanted();
  engine_.trace().add(kWriteTrace);
  setStatus(core_.text.SoftFace(kTxtWriting));

  ByteArray& image = core_.image.TempArray;
  blocksTotal_ = static_cast<int>(std::count_if(plan_.scripts(kDirWrite).begin(), plan_.scripts(kDirWrite).end(),
                                                [](const ScriptEntry& e) { return e.ComCount > 0; }));
  writing_ = true;
  bool ok = runList(kDirWrite, core_.text.SoftFace(kTxtWriting), image);
  if (ok) {
    for (const auto& [radio, from] : plan_.writeTargets())
      if (image.contains(from)) sent_[radio] = {image.at(from), false};
    ok = runDirectStages();
  }
  writing_ = false;
  // The radio took the whole write: whatever the read-back finds, the
  // editors are to show what was sent.
  const bool sent = ok;
  writeSent_ = sent;
  if (ok && verifyAfterWrite) {
    setStatus(kVerifyingText);
    ok = verifyWrite();
  }
  stampWriteProgress();
  // A copy of what this write sent, whether or not the radio took all of it.
  keepBackup(!sent ? QStringLiteral("write-failed") : ok ? QStringLiteral("write") : QStringLiteral("write-verify-failed"),
             image);
  if (ok) summary_ = verifyAfterWrite ? kWriteOkText + QStringLiteral(" · ") + kVerifyOkText : kWriteOkText;

  access_.CloseCom();
  change([](CommunState& s) {
    s.blinking = false;
    s.writeEnabled = true;
    s.status.clear();
    s.percentText.clear();
    s.stopTicked = false;
    s.stopVisible = false;
  });
  access_.Communicating = 0;
  engine_.DelayNms(20);
  if (ok) outcome_ = TransferOutcome::Succeeded;
  if (sent) reportWrite(before);
  // The window keeps the result: the summary of a good write, the failure
  // (and a partly written radio) until the next transfer.
  if (ok) setStatus(summary_);
  else if (!failureLines().isEmpty()) setStatus(failureLines().mid(failureLines().size() > 2 ? 1 : 0).join(u' '));
  emit windowCloseWanted();
  return ok;
}

bool Transfer::runList(int direction, const QString& statusText, ByteArray& image) {
  int block = 0;  // data blocks of the list so far (fixed scripts do not count)
  for (int i = 1; i <= plan_.ComCodeNum(direction); ++i) {
    ComStep = i;
    // A copy: the identification of script 1 may rebuild the lists.
    const ScriptEntry script = plan_.script(direction, i);
    if (script.ComCount > 0) ++block;
    if (direction == kDirWrite)
      for (int k = 0; k < script.ComCount; ++k) engine_.setRxCaptured(k + 1, image.at(script.ComAddr + k));
    QElapsedTimer waited;
    waited.start();
    const bool scriptOk = engine_.runScript(script.ComCode);
    longestWaitMs_ = std::max(longestWaitMs_, waited.elapsed());
    if (scriptOk) {
      answered_ = true;
      // A block the radio acknowledged is in the radio now, whatever follows;
      // after a restart the radio still holds the furthest block it took.
      if (direction == kDirWrite && writing_ && script.ComCount > 0 && block > blocksAcknowledged_) {
        blocksAcknowledged_ = block;
        lastAcknowledgedAddress_ = script.ComAddr + script.ComCount - 1;
      }
      ShowComPercent(script.ComPercent, statusText);
      if (direction == kDirRead)
        for (int k = 0; k < script.ComCount; ++k) image.set(script.ComAddr + k, engine_.RxCaptured(k + 1));
      continue;
    }
    scriptFailed(script, block);
    // The failure policy: an unsupported radio ends at once, and so does a
    // port that failed (a pulled cable does not come back by retrying);
    // otherwise the whole list runs again from the handshake until the 20th
    // failure. From the 6th failure the user may stop, from the 9th the count
    // is shown.
    if (ComRetry == kUnsupportedRetry) {
      outcome_ = TransferOutcome::Unsupported;
      return false;
    }
    if (failure_.kind == LinkFailure::Kind::PortGone) {
      failWithMessage(TransferOutcome::PortLost);
      return false;
    }
    ++ComRetry;
    if (ComRetry >= kStopBoxFrom) {
      change([](CommunState& s) { s.stopVisible = true; });
      if (state_.stopTicked) {
        outcome_ = TransferOutcome::Stopped;
        failureText_ = kStoppedText;
        failure_ = LinkFailure::stoppedByUser();
        engine_.trace().add(kStoppedText);
        stampWriteProgress();
        logFailure("frmCommun->StopCom");
        return false;
      }
    }
    if (ComRetry >= kCountShownFrom) setStatus(statusText + QStringLiteral(" ") + QString::number(ComRetry));
    if (ComRetry >= kMaxFailures) {
      failWithMessage(TransferOutcome::TooManyFailures);
      return false;
    }
    noteRestart(block);
    letLineSettle(serial_, engine_.transferPort());
    i = 0;  // the whole list again, handshake included
    block = 0;
  }
  return true;
}

void Transfer::prepareWriteImage() {
  ByteArray& image = core_.image.TempArray;
  core_.codec.ChInfoToIicDat();
  image.set(kForcedByteAddr, kForcedByteValue);
  for (int ch = 1; ch <= kPreparedChannels; ++ch) {
    const int rec = recordAddress(ch);
    image.set(rec + kRecordFlagsB, image.at(rec + kRecordFlagsB) | kSetMaskB);
  }
  image.set(kAlarmFlagsByte, image.at(kAlarmFlagsByte) | 0x01);
  const int first = image.at(kPairFirst), second = image.at(kPairSecond);
  if ((first == kPairValue && second == 0) || (first == 0 && second == kPairValue)) {
    image.set(kPairFirst, kPairValue);
    image.set(kPairSecond, kPairValue);
  }
  // The settings pages show the bytes just written before the forced
  // settings go through their own change handling.
  SettingsMap& settings = editors_.settings;
  settings.resync();
  applyForcedSettings(settings, core_.log, "frmCommun->cmdWrite_Click");
  for (int ch = 1; ch <= kPreparedChannels; ++ch) {
    const int rec = recordAddress(ch);
    image.set(rec + kRecordFlagsA, image.at(rec + kRecordFlagsA) & kKeepMaskA);
    image.set(rec + kRecordFlagsC, image.at(rec + kRecordFlagsC) & kKeepMaskC);
  }
}

bool Transfer::runDirectStages() {
  const ByteArray& image = core_.image.TempArray;
  const auto delay = [this](int ms) { engine_.DelayNms(ms); };
  const bool echo = engine_.EchoMode() == 1;
  const int port = engine_.transferPort();
  RadioInfo = {};

  auto run = [&](const DirectStage& stage) {
    engine_.trace().add(stage.trace);
    const StageResult r = BlockPlan::runDirectStage(serial_, port, delay, stage, echo);
    if (!r.ok) {
      failure_ = r.failure;
      if (failure_.kind == LinkFailure::Kind::NoAnswer && answered_) failure_.kind = LinkFailure::Kind::StoppedAnswering;
      const auto& f = stage.frame;
      if (f.size() >= 4 && failure_.address < 0) failure_.address = addressFromField(f[1], f[2]);
      failWithMessage(failure_.kind == LinkFailure::Kind::PortGone ? TransferOutcome::PortLost
                                                                   : TransferOutcome::StageFailed);
      return false;
    }
    BlockPlan::takeInfo(stage, r.answer, RadioInfo);
    noteSent(stage);
    return true;
  };

  if (!run(plan_.modelBandStage(image, editors_.band.BandMin, editors_.band.BandMax))) return false;
  for (int part = 0; part < 3; ++part)
    if (!run(plan_.infoStage(part))) return false;
  for (const DirectStage& stage : plan_.followingStages(image, RadioInfo))
    if (!run(stage)) return false;
  BlockPlan::sendEndFrame(serial_, port, delay);
  return true;
}

void Transfer::failWithMessage(TransferOutcome outcome) {
  outcome_ = outcome;
  failureText_ = core_.text.SoftFace(kTxtComFailed);
  stampWriteProgress();
  logFailure("frmCommun->ProtocolCom");
  core_.prompts.message(core_.text.SoftFace(kTxtNotice), failureLines().join(u'\n'), UserPrompts::Icon::Exclamation);
}

void Transfer::scriptFailed(const ScriptEntry& script, int block) {
  const LinkFailure previous = failure_;
  failure_ = engine_.failure;
  if (script.ComCount > 0) {
    failure_.block = block;
    failure_.address = script.ComAddr;
  }
  // Silence from a radio that has answered before in this transfer.
  if (failure_.kind == LinkFailure::Kind::NoAnswer && answered_) failure_.kind = LinkFailure::Kind::StoppedAnswering;
  // A radio that went silent at a block stays silent for the handshakes of
  // the restarts: the block where it stopped is the news.
  if (failure_.kind == LinkFailure::Kind::StoppedAnswering && previous.kind == failure_.kind && failure_.block == 0) {
    failure_.block = previous.block;
    failure_.address = previous.address;
  }
}

void Transfer::noteRestart(int block) {
  ++restarts_;
  const QString line = QStringLiteral("restarted at block %1: %2").arg(block).arg(causeLine(failure_, core_.text));
  engine_.trace().add(line);
  emit restarted(line);
}

void Transfer::stampWriteProgress() {
  if (!running_ || blocksTotal_ == 0) return;
  failure_.write = true;
  failure_.blocksTotal = blocksTotal_;
  failure_.blocksAcknowledged = blocksAcknowledged_;
  failure_.lastAcknowledgedAddress = lastAcknowledgedAddress_;
  failure_.allSent = !sent_.empty() && !writing_;
}

void Transfer::logFailure(const char* tag) {
  // The log line carries the device error code; its tool tip says what happened.
  const QStringList lines = failureLines();
  if (lines.isEmpty()) return;
  core_.log.LogError(QString::fromLatin1(tag), RunError(kErrDeviceIo, lines.mid(1).join(u'\n')));
}

QStringList Transfer::failureLines() const {
  if (!failure_.failed() && failureText_.isEmpty()) return {};
  QStringList lines;
  lines << (failureText_.isEmpty() ? core_.text.SoftFace(kTxtComFailed) : failureText_);
  const QString partly = partlyWrittenLine(failure_);
  if (!partly.isEmpty()) lines << partly;
  const QString cause = causeLine(failure_, core_.text);
  if (!cause.isEmpty() && !lines.contains(cause)) lines << cause;
  return lines;
}

void Transfer::onReply(ScriptEngine& e) {
  if (!running_) return;
  // The identification reply: the command byte, then radio 0x0388-0x038A.
  if (ComStep == 1 && e.captured().size() == 4)
    radioIdent_ = QByteArray(reinterpret_cast<const char*>(e.captured().data()) + 1, 3);
  const Identification id = plan_.replyHook(ComStep, e.captured());
  if (id.outcome != Identification::Outcome::Unsupported) return;
  failureText_ = id.message;
  core_.prompts.message(id.title, id.message, UserPrompts::Icon::Exclamation);
  e.ScriptFailed = -1;
  ComRetry = kUnsupportedRetry;
}

void Transfer::unexpectedFailure(bool read) {
  const int code = core_.log.lastCode();
  silently([&] { access_.CloseCom(); });
  silently([&] {
    change([read](CommunState& s) {
      s.blinking = false;
      s.progress = 0;
      s.status.clear();
      s.percentText.clear();
      s.stopTicked = false;
      s.stopVisible = false;
      if (read) s.readEnabled = true;
      else s.writeEnabled = true;
    });
  });
  access_.Communicating = 0;
  outcome_ = TransferOutcome::Unexpected;
  failureText_ = QStringLiteral("Run-time error %1").arg(code);
  emit windowCloseWanted();
}

// ---- copies, read-back and the write report ----------------------------------

void Transfer::keepBackup(const QString& kind, const ByteArray& image) {
  const BandModel& band = editors_.band;
  const auto textAt = [](const QStringList& list, int pos) {
    return pos >= 0 && pos < list.size() ? list[pos] : QString();
  };
  Backups backups(core_.paths.backupDir);
  lastBackup_ = backups.store(kind, image, textAt(band.modelTexts(), band.modelPosition()), imageBandText(image));
  // A copy that cannot be written is told, and never fails the transfer.
  if (!lastBackup_.ok()) {
    engine_.trace().add(QStringLiteral("Backup failed: ") + lastBackup_.failure);
    core_.log.LogError(QStringLiteral("frmCommun->keepBackup"), kErrPathFileAccess);
  }
}

void Transfer::noteSent(const DirectStage& stage) {
  // Write frames: command, two address bytes, length, data.
  const auto& f = stage.frame;
  if (f.size() < 4 || (f[0] != plan_.WriteCmd() && f[0] != kSpecialWriteCmd)) return;
  const int addr = addressFromField(f[1], f[2]);
  if (addr < 0) return;
  const size_t n = std::min<size_t>(f[3], f.size() - 4);
  for (size_t k = 0; k < n; ++k) sent_[addr + static_cast<int>(k)] = {f[4 + k], f[0] == kSpecialWriteCmd};
}

bool Transfer::verifyWrite() {
  if (sent_.empty()) return true;
  engine_.DelayNms(kVerifyPauseMs);
  ComRetry = 0;  // the read-back has its own failures
  const int first = sent_.begin()->first, last = sent_.rbegin()->first;
  const AddressRanges saved = plan_.ranges();
  plan_.setRanges({first, last, saved.WriteStartAddr, saved.WriteEndAddr});
  plan_.InitProtocol(plan_.ReadCmdText(), plan_.WriteCmdText());
  ByteArray radio = core_.image.TempArray;
  const bool read = plan_.complete(kDirRead) && runList(kDirRead, kVerifyingText, radio);
  plan_.setRanges(saved);
  plan_.InitProtocol(plan_.ReadCmdText(), plan_.WriteCmdText());
  if (!read) {
    if (outcome_ == TransferOutcome::None) outcome_ = TransferOutcome::VerifyFailed;
    failureText_ = QStringLiteral("Verify failed: the radio did not answer the read-back");
    engine_.trace().add(failureText_);
    return false;
  }
  QStringList differ;
  int count = 0;
  for (const auto& [addr, what] : sent_) {
    // The radio keeps its factory information block whatever an ordinary
    // write sends there; only the special write changes it.
    if (!what.second && addr >= kInfoBlockAddr && addr < kInfoBlockAddr + 32) continue;
    if (!radio.contains(addr) || radio.at(addr) == what.first) continue;
    if (++count <= 8)
      differ << QStringLiteral("%1 (sent %2, radio %3)").arg(hexText(addr, 4), hexText(what.first, 2), hexText(radio.at(addr), 2));
  }
  if (count == 0) {
    engine_.trace().add(kVerifyOkText);
    setStatus(kVerifyOkText);
    return true;
  }
  outcome_ = TransferOutcome::VerifyFailed;
  failureText_ = QStringLiteral("Verify failed: %1 bytes differ, first at %2").arg(count).arg(differ.join(QStringLiteral(", ")));
  engine_.trace().add(failureText_);
  core_.prompts.message(core_.text.SoftFace(kTxtNotice), failureText_, UserPrompts::Icon::Exclamation);
  return false;
}

namespace {

QString shownText(const FieldDef& d, const FieldState& s) {
  switch (d.widget) {
    case Widget::List: return s.position >= 0 && s.position < s.entries.size() ? s.entries[s.position] : QString();
    case Widget::Check: return s.checked ? QStringLiteral("On") : QStringLiteral("Off");
    case Widget::Text: return s.text;
    case Widget::Button: break;
  }
  return {};
}

// The image addresses a settings field is stored in (none known: empty).
std::vector<int> fieldAddresses(const FieldDef& d) {
  std::vector<int> out;
  for (const Span& sp : d.spans)
    for (int k = 0; k < sp.count; ++k) out.push_back(sp.addr + k);
  if (out.empty() && d.addr >= 0) out.push_back(d.addr);
  return out;
}

}  // namespace

Transfer::EditorSnapshot Transfer::snapshotEditors() const {
  EditorSnapshot snap;
  const ChannelGrid& grid = editors_.grid;
  for (int c = 0; c < grid.columnCount(); ++c) snap.gridCaptions << grid.text(0, c);
  for (int r = 1; r < grid.rowCount(); ++r) {
    std::vector<QString> row;
    for (int c = 0; c < grid.columnCount(); ++c) row.push_back(grid.text(r, c));
    snap.grid.push_back(std::move(row));
  }
  const SettingsMap& map = editors_.settings;
  for (const FieldDef& d : map.fields()) {
    if (d.widget == Widget::Button) continue;
    if (const FieldState* st = map.state(d.name)) snap.settings[d.name] = shownText(d, *st);
  }
  return snap;
}

void Transfer::reportWrite(const EditorSnapshot& before) {
  // The editors show what the radio now holds.
  core_.files.tellReplaced(DataEvents::Replacement::Written);

  const EditorSnapshot after = snapshotEditors();
  QStringList lines;
  for (size_t r = 0; r < before.grid.size() && r < after.grid.size(); ++r) {
    const auto& was = before.grid[r];
    const auto& now = after.grid[r];
    for (size_t c = 1; c < was.size() && c < now.size(); ++c) {
      if (was[c] == now[c]) continue;
      const QString column = static_cast<qsizetype>(c) < after.gridCaptions.size() ? after.gridCaptions[static_cast<qsizetype>(c)]
                                                                                   : QString::number(c);
      lines << QStringLiteral("Channel %1, %2: %3 -> %4")
                   .arg(r + 1)
                   .arg(column, was[c].isEmpty() ? QStringLiteral("(empty)") : was[c],
                        now[c].isEmpty() ? QStringLiteral("(empty)") : now[c]);
    }
  }
  const SettingsMap& map = editors_.settings;
  QStringList notSent;
  for (const FieldDef& d : map.fields()) {
    const auto was = before.settings.find(d.name);
    const auto now = after.settings.find(d.name);
    if (was == before.settings.end() || now == after.settings.end()) continue;
    const QString caption = map.caption(d).trimmed().isEmpty() ? d.name : map.caption(d).trimmed() + QStringLiteral(" (") + d.name + QStringLiteral(")");
    if (was->second != now->second)
      lines << QStringLiteral("%1: %2 -> %3").arg(caption, was->second, now->second);
    const std::vector<int> addrs = fieldAddresses(d);
    if (!addrs.empty() && std::any_of(addrs.begin(), addrs.end(), [&](int a) { return !sent_.count(a); }))
      notSent << QStringLiteral("Not sent to this radio: %1 = %2").arg(caption, now->second);
  }
  // The volume table's dialog edits 0x01A0-0x01AB; the block there goes to
  // 0x01AC, so most of it never reaches the radio.
  for (int v = kVolumeBase; v <= kVolumeSwitchAddr; ++v) {
    if (sent_.count(v)) continue;
    notSent << QStringLiteral("Not sent to this radio: volume table (%1-%2)")
                   .arg(hexText(kVolumeBase, 4), hexText(kVolumeSwitchAddr, 4));
    break;
  }
  writeReport_ = lines + notSent;
  if (writeReport_.isEmpty()) return;
  for (const QString& l : writeReport_) engine_.trace().add(l);
  QString text;
  if (!lines.isEmpty()) text = QStringLiteral("The write changed what the editors showed:\n") + lines.join(u'\n');
  if (!notSent.isEmpty()) {
    if (!text.isEmpty()) text += QStringLiteral("\n\n");
    text += QStringLiteral("%1 settings shown on the pages were not sent to this radio:\n").arg(notSent.size()) +
            notSent.join(u'\n');
  }
  // A message only when the write failed its read-back: a good write stays
  // quiet and keeps the report for whoever asks.
  writeReportText_ = text;
  if (outcome_ != TransferOutcome::Succeeded)
    core_.prompts.message(core_.text.SoftFace(kTxtNotice), text, UserPrompts::Icon::Information);
}

}  // namespace zr
