// The read transfer against the radio simulator: the image it leaves, the
// refresh after it, the retry policy and how a read ends.
#include <gtest/gtest.h>

#include "transfer/TransferRig.h"

namespace zr {
namespace {

using test::TransferRig;

std::vector<uint8_t> radioBytes(const RadioSimulator& sim) {
  return std::vector<uint8_t>(sim.memory().begin(), sim.memory().end());
}

// Progress values shown with "Reading Now......", in order.
std::vector<int> readPercents(const TransferRig& rig) {
  std::vector<int> out;
  const QString suffix = QStringLiteral(" %    Reading Now......");
  for (const CommunState& s : rig.states)
    if (s.status.endsWith(suffix) && (out.empty() || s.status != QString::number(out.back()) + suffix))
      out.push_back(s.status.left(s.status.size() - suffix.size()).toInt());
  return out;
}

CommunState readEndState() {
  CommunState s;
  s.readBold = true;
  return s;
}

struct IdentCase {
  uint8_t marker, readCmd, writeCmd;
  bool echo;
  bool alternateBlocks;  // blocks go with 0x24/0x29
};

class WholeRead : public ::testing::TestWithParam<IdentCase> {};

TEST_P(WholeRead, CopiesTheRadioAndRefreshesTheEditors) {
  const IdentCase c = GetParam();
  TransferRig rig;
  rig.loadRadio();
  rig.sim.setIdent(c.marker, c.readCmd, c.writeCmd);
  rig.sim.setEcho(c.echo);
  rig.sim.poke(0x01B8, 0x00);  // no model signature: the refresh writes it
  std::vector<uint8_t> received;
  QObject::connect(rig.transfer.get(), &Transfer::readArrived, [&] { received = rig.image().bytes(); });

  ASSERT_TRUE(rig.transfer->cmdRead()) << rig.core->log.lines().join('\n').toStdString();
  EXPECT_EQ(rig.transfer->outcome(), TransferOutcome::Succeeded);
  EXPECT_EQ(rig.transfer->ComRetry, 0);
  EXPECT_EQ(rig.engine->EchoMode(), c.echo ? 1 : 0);
  EXPECT_EQ(received, radioBytes(rig.sim));
  EXPECT_EQ(rig.sim.servedByCommand(0x24), c.alternateBlocks ? 512 : 0);
  EXPECT_EQ(rig.transfer->plan().usingAltSet(), c.alternateBlocks);

  // The refresh after the read: channels decoded, model signature repaired.
  EXPECT_EQ(rig.core->ChTable.get(kRowRx, 1), 14652000);
  EXPECT_EQ(rig.core->ChTable.decodeTone(1), QStringLiteral("67.0"));
  EXPECT_EQ(rig.image().at(0x01B8), 0x4D);

  // 0 after the identification, 3 after the acknowledge, then the blocks up
  // to 97, and 100 after the closing acknowledge.
  const std::vector<int> p = readPercents(rig);
  ASSERT_GE(p.size(), 4u);
  EXPECT_EQ(p[0], 0);
  EXPECT_EQ(p[1], 3);
  EXPECT_EQ(p[2], 4);
  EXPECT_EQ(p[p.size() - 2], 97);
  EXPECT_EQ(p.back(), 100);
  EXPECT_TRUE(std::is_sorted(p.begin(), p.end()));
  EXPECT_TRUE(rig.sawStatus(QStringLiteral("Read Successful")));

  // The end: everything cleared (the read button keeps its bold face), the
  // window closed once.
  EXPECT_EQ(rig.transfer->state(), readEndState());
  EXPECT_EQ(rig.transfer->Communicating(), 0);
  EXPECT_EQ(rig.closes, 1);
  EXPECT_FALSE(rig.io.port(TransferRig::kPort).isOpen);
  EXPECT_TRUE(rig.prompts.messages.isEmpty());
  EXPECT_EQ(rig.core->log.reportCount(), 0) << rig.core->log.lines().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Idents, WholeRead,
                         ::testing::Values(IdentCase{0x5A, 0x24, 0x29, false, true},
                                           IdentCase{0x5A, 0x24, 0x29, true, true},
                                           IdentCase{0x5A, 0x52, 0x57, false, false},
                                           IdentCase{0x00, 0x24, 0x29, true, false}));

TEST(ReadTransfer, RetriesAfterCorruptAndMissingAnswers) {
  TransferRig rig;
  rig.loadRadio();
  rig.setReadRange(0x0000, 0x03FF);
  int frames = 0;
  rig.dropFrame = [&](const Bytes&) {
    ++frames;
    if (frames == 30) rig.sim.corruptNextReply(1);  // a wrong address byte in an answer
    return frames == 50;                            // a request unanswered
  };
  std::vector<uint8_t> received;
  QObject::connect(rig.transfer.get(), &Transfer::readArrived, [&] { received = rig.image().bytes(); });

  ASSERT_TRUE(rig.transfer->cmdRead());
  EXPECT_EQ(rig.transfer->ComRetry, 2);
  for (int a = 0; a <= 0x03FF; ++a) ASSERT_EQ(received[static_cast<size_t>(a)], rig.sim.peek(a)) << a;
  EXPECT_TRUE(rig.engine->trace().lines().contains(QStringLiteral("Rx：Communication failed! No receive Data!")));
}

TEST(ReadTransfer, TwentiethFailureEndsTheReadWithAMessage) {
  TransferRig rig;
  rig.loadRadio();
  // The port search (2 requests) and the first scripts pass, then the radio
  // falls silent for good.
  rig.sim.silenceAfter(2 + 2 + 1 + 1 + 10);
  const ByteArray before = rig.image();

  EXPECT_FALSE(rig.transfer->cmdRead());
  EXPECT_EQ(rig.transfer->outcome(), TransferOutcome::TooManyFailures);
  EXPECT_EQ(rig.transfer->ComRetry, 20);
  // The system's text, then where the radio fell silent.
  ASSERT_EQ(rig.prompts.messages.size(), 1);
  const QStringList lines = rig.prompts.messages.first().split(u'\n');
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0], QStringLiteral("Communication failed,please check commuication port!"));
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Rx：Communication failed! No receive Data! The radio stopped answering at block ")))
      << lines[1].toStdString();
  EXPECT_EQ(rig.prompts.titles, QStringList{QStringLiteral("Notice")});
  // The stop box came up at the 6th failure, the count at the 9th.
  const auto stopShown = std::find_if(rig.states.begin(), rig.states.end(), [](auto& s) { return s.stopVisible; });
  EXPECT_NE(stopShown, rig.states.end());
  EXPECT_TRUE(rig.sawStatus(QStringLiteral("Reading Now...... 9")));
  EXPECT_TRUE(rig.sawStatus(QStringLiteral("Reading Now...... 19")));
  EXPECT_FALSE(rig.statuses().filter(QStringLiteral("Read Failed Rx：Communication failed! No receive Data! The radio stopped answering at block ")).isEmpty())
      << rig.statuses().join('\n').toStdString();
  EXPECT_FALSE(rig.sawStatus(QStringLiteral("Read Successful")));
  // A failed read leaves the image as it was: no block of it mixes in.
  EXPECT_EQ(rig.image().bytes(), before.bytes());
  EXPECT_EQ(rig.core->ChTable.get(kRowRx, 1), -1);
  EXPECT_EQ(rig.closes, 1);
  EXPECT_EQ(rig.transfer->Communicating(), 0);
  EXPECT_FALSE(rig.io.port(TransferRig::kPort).isOpen);
}

TEST(ReadTransfer, TickedStopBoxEndsSilentlyAtTheSixthFailure) {
  TransferRig rig;
  rig.loadRadio();
  rig.sim.silenceAfter(2 + 6);
  // The user ticks the box as soon as it shows.
  QObject::connect(rig.transfer.get(), &Transfer::stateChanged, [&] {
    if (rig.transfer->state().stopVisible && !rig.transfer->state().stopTicked) rig.transfer->setStopTicked(true);
  });
  EXPECT_FALSE(rig.transfer->cmdRead());
  EXPECT_EQ(rig.transfer->outcome(), TransferOutcome::Stopped);
  EXPECT_EQ(rig.transfer->ComRetry, 6);
  EXPECT_TRUE(rig.prompts.messages.isEmpty());
  EXPECT_EQ(rig.closes, 1);
}

TEST(ReadTransfer, CloseRequestDuringAReadIsRefusedAndTheReadFinishes) {
  TransferRig rig;
  rig.loadRadio();
  rig.setReadRange(0x0000, 0x03FF);
  bool refused = false;
  QObject::connect(rig.transfer.get(), &Transfer::stateChanged, [&] {
    if (!refused && rig.transfer->state().progress >= 50) {
      refused = !rig.transfer->requestClose();
      EXPECT_EQ(rig.transfer->state().progress, 0);
      EXPECT_TRUE(rig.transfer->state().status.isEmpty());
      EXPECT_TRUE(rig.transfer->state().stopVisible);
      EXPECT_TRUE(rig.transfer->state().stopTicked);
    }
  });
  EXPECT_TRUE(rig.transfer->cmdRead());
  EXPECT_TRUE(refused);
  EXPECT_EQ(rig.transfer->CloseRequested, -1);
  EXPECT_EQ(rig.closes, 1);
  // Once the transfer is over the window may close.
  EXPECT_TRUE(rig.transfer->requestClose());
}

TEST(ReadTransfer, UnsupportedRadioEndsAtOnce) {
  TransferRig rig;
  rig.loadRadio();
  rig.sim.setIdent(0x5A, 0x12, 0x34);
  EXPECT_FALSE(rig.transfer->cmdRead());
  EXPECT_EQ(rig.transfer->outcome(), TransferOutcome::Unsupported);
  EXPECT_EQ(rig.transfer->ComRetry, kUnsupportedRetry);
  EXPECT_EQ(rig.prompts.messages, QStringList{rig.core->text.SoftFace(69)});
  EXPECT_EQ(rig.prompts.titles, QStringList{QStringLiteral("Notice")});
  EXPECT_EQ(rig.sim.requestsServed(), 2 + 2);  // the port search, then handshake and identification
  EXPECT_TRUE(rig.sawStatus(QStringLiteral("Read Failed")));
}

TEST(ReadTransfer, NoRadioOnAnyPort) {
  for (const bool closeDuringSearch : {false, true}) {
    SCOPED_TRACE(closeDuringSearch);
    TransferRig rig;
    rig.io.port(TransferRig::kPort).onWrite = nullptr;  // the cable answers nothing
    if (closeDuringSearch)
      rig.waiter.onWait = [&](int) {
        if (rig.transfer->CloseRequested == 0) {
          EXPECT_FALSE(rig.transfer->requestClose());
        }
      };
    EXPECT_FALSE(rig.transfer->cmdRead());
    EXPECT_EQ(rig.transfer->outcome(), TransferOutcome::PortNotFound);
    // The system's text and the cause: silence, or the user's stop.
    EXPECT_EQ(rig.transfer->state().status,
              QStringLiteral("Communication failed,please check commuication port! ") +
                  (closeDuringSearch ? QStringLiteral("Stopped by the user.")
                                     : QStringLiteral("Rx：Communication failed! No receive Data! No answer from the radio: "
                                                      "is it switched on and the cable in?")));
    EXPECT_FALSE(rig.transfer->state().blinking);
    EXPECT_TRUE(rig.prompts.messages.isEmpty());
    // The window stays open unless it was asked to close.
    EXPECT_EQ(rig.closes, closeDuringSearch ? 1 : 0);
    // A ticked stop box cuts the 26 handshake attempts short.
    const int sent = static_cast<int>(rig.io.port(TransferRig::kPort).writes.size());
    if (closeDuringSearch) {
      EXPECT_LT(sent, 4);
    } else {
      EXPECT_EQ(sent, 26);
    }
  }
}

TEST(ReadTransfer, ADevicePathIsTheOnlyPortTried) {
  // The radio is on port 3; the configured port 1 opens but stays silent.
  for (const bool search : {true, false}) {
    SCOPED_TRACE(search);
    TransferRig rig(3);
    rig.loadRadio();
    rig.setReadRange(0x0000, 0x000F);
    rig.io.port(2).opens = true;
    rig.transfer->searchOtherPorts = search;
    EXPECT_EQ(rig.transfer->cmdRead(), search);
    const QString stored = rig.core->ini.GetString(kSettingSection, QStringLiteral("COM"), QString(), 8);
    if (search) {
      EXPECT_EQ(rig.core->settings.ComPort, 3);
      EXPECT_EQ(stored, QStringLiteral("3"));
    } else {
      EXPECT_EQ(rig.core->settings.ComPort, 1);
      EXPECT_EQ(stored, QStringLiteral("1"));
      EXPECT_EQ(rig.io.port(2).openAttempts, 0);
      EXPECT_EQ(rig.io.port(3).openAttempts, 0);
    }
  }
}

// The configured port will not even open: the status line and the error log
// say why, beside the usual text. A port that opens but stays silent gets
// the usual text and that the radio did not answer.
TEST(ReadTransfer, APortThatWillNotOpenIsExplained) {
  const QString why = QStringLiteral("cannot open /dev/ttyUSB0: permission denied (0660 crw-rw---- root:dialout); "
                                     "add yourself to the group dialout (sudo usermod -aG dialout $USER) and "
                                     "log in again");
  for (const bool opens : {false, true}) {
    SCOPED_TRACE(opens);
    TransferRig rig;
    rig.io.port(TransferRig::kPort).opens = opens;
    rig.io.port(TransferRig::kPort).onWrite = nullptr;
    rig.io.port(TransferRig::kPort).openError = why;
    rig.transfer->searchOtherPorts = false;
    const int reportsBefore = rig.core->log.reportCount();
    EXPECT_FALSE(rig.transfer->cmdRead());
    EXPECT_EQ(rig.transfer->outcome(), TransferOutcome::PortNotFound);
    const QString failed = QStringLiteral("Communication failed,please check commuication port!");
    if (opens) {
      const QString silence = QStringLiteral(
          "Rx：Communication failed! No receive Data! No answer from the radio: is it switched on and the cable in?");
      EXPECT_EQ(rig.transfer->state().status, failed + QStringLiteral(" ") + silence);
      EXPECT_TRUE(rig.transfer->portProblem().isEmpty());
      EXPECT_EQ(rig.core->log.reportCount(), reportsBefore + 1);
      EXPECT_EQ(rig.core->log.lastDetail(), silence);
      EXPECT_EQ(rig.transfer->failure().kind, LinkFailure::Kind::NoAnswer);
    } else {
      EXPECT_EQ(rig.transfer->state().status, failed + QStringLiteral(" ") + why);
      EXPECT_EQ(rig.transfer->portProblem(), why);
      EXPECT_EQ(rig.core->log.reportCount(), reportsBefore + 1);
      EXPECT_EQ(rig.core->log.lastTag(), QStringLiteral("modCommun->OpenCom"));
      EXPECT_EQ(rig.core->log.lastDetail(), why);
      EXPECT_EQ(rig.transfer->failure().kind, LinkFailure::Kind::PortBusy);
    }
  }
}

TEST(ReadTransfer, ASearchThatMayNotStoreLeavesTheConfiguration) {
  TransferRig rig(3);
  rig.loadRadio();
  rig.setReadRange(0x0000, 0x000F);
  rig.access->storeFoundPort = false;
  EXPECT_TRUE(rig.transfer->cmdRead());
  EXPECT_EQ(rig.core->settings.ComPort, 3);  // used for this run
  EXPECT_EQ(rig.core->ini.GetString(kSettingSection, QStringLiteral("COM"), QString(), 8), QStringLiteral("1"));
}

TEST(ReadTransfer, RangeBeyondTheImageFailsCleanly) {
  TransferRig rig;
  rig.loadRadio();
  rig.core->image.TempArray.resize(0x03FF + 0x10);  // a smaller DatNum than the range
  rig.setReadRange(0x0400, 0x04FF);
  EXPECT_FALSE(rig.transfer->cmdRead());
  EXPECT_EQ(rig.transfer->outcome(), TransferOutcome::Unexpected);
  EXPECT_EQ(rig.core->log.lastTag(), QStringLiteral("frmCommun->cmdRead_Click"));
  EXPECT_EQ(rig.core->log.lastCode(), 9);
  EXPECT_EQ(rig.transfer->Communicating(), 0);
  EXPECT_EQ(rig.closes, 1);
  EXPECT_EQ(rig.transfer->state(), readEndState());
  EXPECT_FALSE(rig.io.port(TransferRig::kPort).isOpen);
}

TEST(AddressBoxes, TextIsStoredAndTheValueFollowsWhenItIsHex) {
  struct Case {
    QString text;
    int value;  // expected value afterwards
    int loggedCode;  // 0: nothing logged
  };
  const Case cases[] = {
      {QStringLiteral("03ff"), 0x03FF, 0},
      {QStringLiteral("FFFF"), -1, 0},
      {QStringLiteral("8000"), -32768, 0},
      {QStringLiteral("12G4"), -32768, 13},  // keeps the previous value
      {QStringLiteral(""), -32768, 13},
      {QStringLiteral("12345"), -32768, 6},
      {QStringLiteral("00200"), 0x0200, 0},
  };
  TransferRig rig;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    const int reports = rig.core->log.reportCount();
    rig.transfer->addressBoxChanged(AddressBox::ReadEnd, c.text);
    EXPECT_EQ(rig.core->ini.GetString(kSettingSection, QStringLiteral("ReadEndAddr"), QStringLiteral("?"), 20), c.text);
    EXPECT_EQ(rig.transfer->addressText(AddressBox::ReadEnd), c.text);
    EXPECT_EQ(rig.core->settings.ReadEndAddr, c.value);
    if (c.loggedCode) {
      EXPECT_EQ(rig.core->log.reportCount(), reports + 1);
      EXPECT_EQ(rig.core->log.lastTag(), QStringLiteral("frmCommun->txtReadEndAddr_Change"));
      EXPECT_EQ(rig.core->log.lastCode(), c.loggedCode);
    } else {
      EXPECT_EQ(rig.core->log.reportCount(), reports);
    }
  }
}

TEST(AddressBoxes, EndFFFFLeavesOnlyTheFixedScripts) {
  TransferRig rig;
  rig.loadRadio();
  rig.transfer->addressBoxChanged(AddressBox::ReadStart, QStringLiteral("0000"));
  rig.transfer->addressBoxChanged(AddressBox::ReadEnd, QStringLiteral("FFFF"));
  EXPECT_TRUE(rig.transfer->cmdRead());
  EXPECT_EQ(rig.transfer->plan().ComCodeNum(kDirRead), 4);
  EXPECT_EQ(rig.sim.servedByCommand(0x24), 0);
}

}  // namespace
}  // namespace zr
