// How a failed transfer is told: the typed cause each kind of failure leaves
// (silence, a radio that stops answering, a wrong reply, a pulled cable, the
// user's stop), the partly written radio after a write that stopped midway
// and the repeated write that mends it, the quiet end of a good write, and
// the names of the backups a write keeps.
#include <QFileInfo>
#include <gtest/gtest.h>

#include "base/ErrorLog.h"
#include "transfer/TransferRig.h"

namespace zr {
namespace {

using test::TransferRig;

constexpr uint8_t kWriteCmd = 0x29;
constexpr uint8_t kReadCmd = 0x24;

// The radio address a block frame carries (addresses below 0x0400 are plain).
int frameAddress(const Bytes& f) { return f.size() >= 4 ? (f[1] << 8 | f[2]) : -1; }

const QString kComFailed = QStringLiteral("Communication failed,please check commuication port!");

TEST(FailureCause, EachFailureOfAWriteNamesItsCauseAndWhatTheRadioHolds) {
  struct Case {
    const char* name;
    std::function<void(TransferRig&)> fault;
    LinkFailure::Kind kind;
    QString causeStart;  // the cause line starts so
    int acknowledged;    // blocks the radio took
  };
  const Case cases[] = {
      {"silent radio", [](TransferRig& r) { r.dropFrame = [](const Bytes&) { return true; }; },
       LinkFailure::Kind::NoAnswer, QStringLiteral("Rx：Communication failed! No receive Data! No answer from the radio"), 0},
      {"stops answering at 0x0050",
       [](TransferRig& r) {
         r.dropFrame = [](const Bytes& f) { return !f.empty() && f[0] == kWriteCmd && frameAddress(f) >= 0x0050; };
       },
       LinkFailure::Kind::StoppedAnswering,
       QStringLiteral("Rx：Communication failed! No receive Data! The radio stopped answering at block 6 (address 0050)."), 5},
      {"refuses block 0x0030",
       [](TransferRig& r) {
         r.io.port(TransferRig::kPort).onWrite = [&r](const Bytes& f) {
           if (!f.empty() && f[0] == kWriteCmd && frameAddress(f) == 0x0030) return Bytes{0x15};
           return r.sim.feed(f);
         };
       },
       LinkFailure::Kind::UnexpectedReply,
       QStringLiteral("Rx：Communication failed! Receive Data Error! The radio answered something else at block 4 "
                      "(address 0030): expected 06, received 15."),
       3},
      {"cable pulled at 0x0070",
       [](TransferRig& r) {
         r.io.port(TransferRig::kPort).onWrite = [&r](const Bytes& f) {
           if (!f.empty() && f[0] == kWriteCmd && frameAddress(f) == 0x0070) r.io.port(TransferRig::kPort).gone = true;
           return r.sim.feed(f);
         };
       },
       LinkFailure::Kind::PortGone, QStringLiteral("COM1 went away (Input/output error)"), 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig;
    rig.loadRadio();
    rig.setWriteRange(0x0000, 0x03FF);
    c.fault(rig);
    EXPECT_FALSE(rig.transfer->cmdWrite());
    const LinkFailure& f = rig.transfer->failure();
    EXPECT_EQ(f.kind, c.kind);
    EXPECT_EQ(f.blocksAcknowledged, c.acknowledged);
    const QStringList lines = rig.transfer->failureLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), kComFailed);  // the system's text stays first
    EXPECT_TRUE(lines.last().startsWith(c.causeStart)) << lines.last().toStdString();
    // A partly written radio is named between the two; otherwise nothing is.
    const QString partly =
        QStringLiteral("The radio was partly written (%1 of 64 blocks, up to address %2); write it again before using it.")
            .arg(c.acknowledged)
            .arg(QString::number(c.acknowledged * 16 - 1, 16).toUpper().rightJustified(4, u'0'));
    EXPECT_EQ(lines.size(), c.acknowledged > 0 ? 3 : 2);
    if (c.acknowledged > 0) {
      EXPECT_EQ(lines[1], partly);
    }
    // The message box says all of it; the error log's report carries the cause.
    if (c.kind != LinkFailure::Kind::NoAnswer) {
      ASSERT_FALSE(rig.prompts.messages.isEmpty());
      EXPECT_EQ(rig.prompts.messages.last(), lines.join(u'\n'));
    }
    EXPECT_TRUE(rig.core->log.lastDetail().contains(lines.last())) << rig.core->log.lastDetail().toStdString();
    EXPECT_EQ(rig.core->log.lastCode(), kErrDeviceIo);
    // The window keeps the failure on show.
    EXPECT_TRUE(rig.transfer->state().status.contains(lines.last()));
    // A pulled cable ends at once; a radio that answered once is retried to
    // the 20th failure; a silent one is never found.
    EXPECT_EQ(rig.transfer->restarts(), c.acknowledged > 0 && c.kind != LinkFailure::Kind::PortGone ? Transfer::kMaxFailures - 1 : 0);
    EXPECT_EQ(QFileInfo(rig.transfer->lastBackup().rawPath).fileName().contains(QStringLiteral("_write-failed_")),
              c.acknowledged > 0 || c.kind != LinkFailure::Kind::NoAnswer)
        << rig.transfer->lastBackup().rawPath.toStdString();
  }
}

TEST(FailureCause, WriteAgainAfterAPartlyWrittenRadioWritesItWhole) {
  TransferRig rig;
  rig.loadRadio();
  rig.setWriteRange(0x0000, 0x03FF);
  bool broken = true;
  rig.dropFrame = [&](const Bytes& f) { return broken && !f.empty() && f[0] == kWriteCmd && frameAddress(f) >= 0x0100; };
  for (int a = 0x0100; a < 0x0110; ++a) rig.image().set(a, 0xA5);
  ASSERT_FALSE(rig.transfer->cmdWrite());
  ASSERT_TRUE(rig.transfer->failure().partlyWritten());
  EXPECT_EQ(rig.transfer->failure().lastAcknowledgedAddress, 0x00FF);
  EXPECT_NE(rig.sim.peek(0x0100), 0xA5);
  // The cable is fixed; the same write again reaches the end.
  broken = false;
  ASSERT_TRUE(rig.transfer->cmdWrite());
  EXPECT_FALSE(rig.transfer->failure().failed());
  EXPECT_TRUE(rig.transfer->failureLines().isEmpty());
  EXPECT_EQ(rig.sim.peek(0x0100), rig.image().at(0x0100));
}

TEST(FailureCause, ReadFailuresNameTheirCauseToo) {
  struct Case {
    const char* name;
    std::function<void(TransferRig&)> fault;
    LinkFailure::Kind kind;
    QString cause;
  };
  const Case cases[] = {
      {"stops answering at 0x0200",
       [](TransferRig& r) {
         r.dropFrame = [](const Bytes& f) { return !f.empty() && f[0] == kReadCmd && frameAddress(f) >= 0x0200; };
       },
       LinkFailure::Kind::StoppedAnswering,
       QStringLiteral("Rx：Communication failed! No receive Data! The radio stopped answering at block 33 (address 0200).")},
      {"cable pulled",
       [](TransferRig& r) {
         r.io.port(TransferRig::kPort).onWrite = [&r](const Bytes& f) {
           if (!f.empty() && f[0] == kReadCmd && frameAddress(f) == 0x0100) r.io.port(TransferRig::kPort).gone = true;
           return r.sim.feed(f);
         };
       },
       LinkFailure::Kind::PortGone,
       QStringLiteral("COM1 went away (Input/output error): is the cable still plugged in? Plug it in and start again.")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig;
    rig.loadRadio();
    rig.setReadRange(0x0000, 0x03FF);
    c.fault(rig);
    EXPECT_FALSE(rig.transfer->cmdRead());
    EXPECT_EQ(rig.transfer->failure().kind, c.kind);
    EXPECT_FALSE(rig.transfer->failure().partlyWritten());  // a read leaves the radio as it was
    EXPECT_EQ(rig.transfer->failureLines(), (QStringList{kComFailed, c.cause}));
    EXPECT_TRUE(rig.sawStatus(QStringLiteral("Read Failed ") + c.cause));
  }
}

TEST(FailureCause, RestartsAreCountedAndTraced) {
  TransferRig rig;
  rig.loadRadio();
  rig.setReadRange(0x0000, 0x03FF);
  // Two requests go unanswered, then the radio answers again.
  int dropped = 0;
  rig.dropFrame = [&](const Bytes& f) { return !f.empty() && f[0] == kReadCmd && frameAddress(f) == 0x0040 && dropped++ < 2; };
  QStringList told;
  QObject::connect(rig.transfer.get(), &Transfer::restarted, [&](const QString& line) { told << line; });
  ASSERT_TRUE(rig.transfer->cmdRead());
  EXPECT_EQ(rig.transfer->restarts(), 2);
  const QString line = QStringLiteral(
      "restarted at block 5: Rx：Communication failed! No receive Data! The radio stopped answering at block 5 (address 0040).");
  EXPECT_EQ(told, (QStringList{line, line}));
  EXPECT_EQ(rig.engine->trace().lines().count(line), 2);
}

TEST(QuietWrite, AGoodWriteEndsWithOneLineAndKeepsItsReportForDetails) {
  for (const bool verify : {false, true}) {
    SCOPED_TRACE(verify ? "with verify" : "without verify");
    TransferRig rig;
    rig.loadRadio();
    rig.setWriteRange(0x0000, 0x03FF);
    rig.transfer->verifyAfterWrite = verify;
    ASSERT_TRUE(rig.transfer->cmdWrite());
    const QString summary = verify ? QStringLiteral("Write OK · Verify OK") : QStringLiteral("Write OK");
    EXPECT_EQ(rig.transfer->summary(), summary);
    EXPECT_EQ(rig.transfer->state().status, summary);
    EXPECT_TRUE(rig.prompts.messages.isEmpty()) << rig.prompts.messages.join('|').toStdString();
    // The report is there on request and in the communication list.
    ASSERT_FALSE(rig.transfer->writeReport().isEmpty());
    EXPECT_TRUE(rig.transfer->writeReportText().contains(rig.transfer->writeReport().first()));
    EXPECT_TRUE(rig.engine->trace().lines().contains(rig.transfer->writeReport().first()));
    EXPECT_EQ(rig.sawStatus(QStringLiteral("Verifying...")), verify);
    EXPECT_TRUE(QFileInfo(rig.transfer->lastBackup().rawPath).fileName().contains(QStringLiteral("_write_")));
  }
}

TEST(BackupNames, CarryTheOutcomeAndTheBandTheImageHolds) {
  TransferRig rig;
  rig.loadRadio();
  rig.setWriteRange(0x0000, 0x03FF);
  rig.transfer->verifyAfterWrite = true;
  rig.sim.setIgnoreWrites(true);  // the read-back finds the old bytes
  for (int a = 0x0100; a < 0x0110; ++a) rig.image().set(a, 0x5A);
  // The image says 400-480 MHz whatever the band list shows.
  rig.image().set(0x037A, 0x40);
  rig.image().set(0x037B, 0x00);
  rig.image().set(0x037C, 0x48);
  rig.image().set(0x037D, 0x00);
  EXPECT_FALSE(rig.transfer->cmdWrite());
  EXPECT_EQ(rig.transfer->outcome(), TransferOutcome::VerifyFailed);
  EXPECT_FALSE(rig.transfer->failure().partlyWritten());
  const QString name = QFileInfo(rig.transfer->lastBackup().rawPath).fileName();
  EXPECT_TRUE(name.contains(QStringLiteral("_write-verify-failed_"))) << name.toStdString();
  EXPECT_TRUE(name.contains(QStringLiteral("_400-480-MHz"))) << name.toStdString();
}

}  // namespace
}  // namespace zr
