// What a read or a write does to the user's data: a failed or stopped read
// changes nothing, a good read and every write leave a copy, a write can be
// proved by reading it back, and a write tells what its preparation changed.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <gtest/gtest.h>

#include "transfer/TransferRig.h"

namespace zr {
namespace {

using test::TransferRig;

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Everything the editors and the file name hold, to compare before and after.
struct UserState {
  std::vector<uint8_t> image;
  std::vector<int> rx, tx;
  QStringList grid;
  QByteArray settings;
  QString file;
  bool operator==(const UserState&) const = default;
};

UserState userState(TransferRig& rig) {
  UserState s;
  s.image = rig.image().bytes();
  for (int ch = 1; ch <= 16; ++ch) {
    s.rx.push_back(rig.core->ChTable.get(kRowRx, ch));
    s.tx.push_back(rig.core->ChTable.get(kRowTx, ch));
    for (int c = 0; c < rig.editors->grid.columnCount(); ++c) s.grid << rig.editors->grid.text(ch, c);
  }
  s.settings = QJsonDocument(rig.editors->settings.settingsJson()).toJson(QJsonDocument::Compact);
  s.file = rig.core->image.CurFilePath;
  return s;
}

// The user has a file open with a channel of its own.
void openUserFile(TransferRig& rig) {
  for (int k = 0; k < 16; ++k) rig.image().set(0x0010 + k, test::kChannel1[static_cast<size_t>(k)]);
  rig.image().set(0x0012, 0x60);
  rig.image().set(0x0013, 0x44);  // 446.02000 MHz
  rig.core->files.SoftDisplay();
  rig.core->image.CurFilePath = rig.dir.filePath(QStringLiteral("mine.dat"));
  ASSERT_TRUE(rig.core->files.SaveDatFile());
  ASSERT_TRUE(rig.core->files.OpenFile(rig.core->image.CurFilePath));
  ASSERT_EQ(rig.core->ChTable.get(kRowRx, 1), 44602000);
}

TEST(SafeRead, AFailedOrStoppedReadLeavesImageEditorsAndFileNameAlone) {
  for (const bool stop : {false, true}) {
    SCOPED_TRACE(stop ? "stopped" : "failed at block 100");
    TransferRig rig;
    rig.loadRadio();
    for (int a = 0x0020; a < 0x0400; ++a) rig.sim.poke(a, static_cast<uint8_t>(a * 3));
    rig.sim.setIdent(0x5A, 0x24, 0x29);  // the pattern covered the identification
    rig.setReadRange(0x0000, 0x1FFF);
    ASSERT_NO_FATAL_FAILURE(openUserFile(rig));
    const UserState before = userState(rig);
    // The radio answers 100 block reads, then falls silent.
    int blocks = 0;
    rig.dropFrame = [&](const Bytes& f) { return !f.empty() && f[0] == 0x24 && ++blocks > 100; };
    if (stop)
      QObject::connect(rig.transfer.get(), &Transfer::stateChanged, [&] {
        if (rig.transfer->state().stopVisible && !rig.transfer->state().stopTicked) rig.transfer->setStopTicked(true);
      });

    EXPECT_FALSE(rig.transfer->cmdRead());
    EXPECT_GT(blocks, 100);
    EXPECT_EQ(rig.transfer->outcome(), stop ? TransferOutcome::Stopped : TransferOutcome::TooManyFailures);
    EXPECT_TRUE(userState(rig) == before) << "the read changed the user's data";
    EXPECT_TRUE(rig.transfer->lastBackup().rawPath.isEmpty()) << "a failed read keeps no copy";
    if (stop) {
      EXPECT_TRUE(rig.sawStatus(QStringLiteral("Read Failed: Communication stopped")));
      EXPECT_TRUE(rig.engine->trace().lines().contains(QStringLiteral("Communication stopped")));
    }
  }
}

TEST(SafeRead, AGoodReadKeepsACopyOfTheRadiosMemory) {
  TransferRig rig;
  rig.loadRadio();
  rig.setReadRange(0x0000, 0x1FFF);
  ASSERT_TRUE(rig.transfer->cmdRead());

  const BackupCopy& copy = rig.transfer->lastBackup();
  ASSERT_TRUE(copy.ok()) << copy.failure.toStdString();
  EXPECT_TRUE(copy.rawPath.startsWith(rig.core->paths.backupDir));
  EXPECT_TRUE(QFileInfo(copy.rawPath).fileName().contains(QStringLiteral("_read_ZR-417_"))) << copy.rawPath.toStdString();
  const QByteArray raw = readFile(copy.rawPath);
  const auto& memory = rig.sim.memory();
  EXPECT_EQ(raw, QByteArray(reinterpret_cast<const char*>(memory.data()), static_cast<qsizetype>(memory.size())));
  // The data file holds the same memory in the data file layout.
  const QByteArray dat = readFile(copy.datPath);
  ASSERT_EQ(dat.size(), kDataFileSize);
  EXPECT_EQ(dat.mid(0x20, 0x03F0), raw.mid(0x10, 0x03F0));
}

TEST(SafeRead, ABackupThatCannotBeWrittenIsReportedAndTheReadStillSucceeds) {
  TransferRig rig;
  rig.loadRadio();
  rig.setReadRange(0x0000, 0x03FF);
  // A file where the folder should be.
  QFile blocker(rig.core->paths.backupDir);
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();

  ASSERT_TRUE(rig.transfer->cmdRead());
  EXPECT_FALSE(rig.transfer->lastBackup().ok());
  EXPECT_TRUE(rig.engine->trace().lines().filter(QStringLiteral("Backup failed")).size() == 1);
}

TEST(Backups, NamesSortByTimeAndOnlyTheNewestAreKept) {
  QTemporaryDir dir;
  Backups backups(dir.filePath(QStringLiteral("Backups")), 3);
  ByteArray image(0x1FFF);
  const QDateTime t0(QDate(2026, 12, 10), QTime(9, 0));
  for (int k = 0; k < 5; ++k) {
    image.set(0, static_cast<uint8_t>(k));
    // Stored out of order: the names still sort by time.
    const int minute = (k * 3) % 5;
    ASSERT_TRUE(backups.store(QStringLiteral("read"), image, QStringLiteral("ZR-417"), QStringLiteral("400 - 520 MHz"),
                              t0.addSecs(60 * minute))
                    .ok());
  }
  const QStringList kept = backups.copies();
  ASSERT_EQ(kept.size(), 3);
  EXPECT_EQ(kept.front(), QStringLiteral("20261210-090200-000_read_ZR-417_400-520-MHz"));
  EXPECT_TRUE(kept.back().startsWith(QStringLiteral("20261210-0904")));
  EXPECT_EQ(QDir(backups.folder()).entryList(QDir::Files).size(), 6);  // .bin and .dat of each
}

TEST(VerifyAfterWrite, PassesOnARadioThatTookTheDataAndFailsOnOneThatDidNot) {
  for (const bool ignore : {false, true}) {
    SCOPED_TRACE(ignore ? "radio ignores writes" : "radio takes writes");
    TransferRig rig;
    rig.setWriteRange(0x0000, 0x03FF);
    rig.sim.setIgnoreWrites(ignore);
    rig.transfer->verifyAfterWrite = true;
    const bool ok = rig.transfer->cmdWrite();
    const QStringList trace = rig.engine->trace().lines();
    if (!ignore) {
      EXPECT_TRUE(ok) << rig.transfer->failureText().toStdString();
      EXPECT_TRUE(trace.contains(Transfer::kVerifyOkText));
    } else {
      EXPECT_FALSE(ok);
      EXPECT_EQ(rig.transfer->outcome(), TransferOutcome::VerifyFailed);
      EXPECT_TRUE(rig.transfer->failureText().contains(QStringLiteral("first at 0x0")))
          << rig.transfer->failureText().toStdString();
      EXPECT_FALSE(trace.contains(Transfer::kVerifyOkText));
    }
    // The write kept a copy of what it sent either way.
    EXPECT_TRUE(QFile::exists(rig.transfer->lastBackup().rawPath));
  }
}

TEST(VerifyAfterWrite, IsOffByDefaultAndThenReadsNothingBack) {
  TransferRig rig;
  rig.setWriteRange(0x0000, 0x00FF);
  ASSERT_TRUE(rig.transfer->cmdWrite());
  // Only the write's three information reads.
  EXPECT_EQ(rig.sim.servedByCommand(0x24), 3) << "no read-back without the option";
}

TEST(WriteReport, TellsWhatThePreparationChangedAndTheGridShowsWhatTheRadioHolds) {
  TransferRig rig;
  rig.setWriteRange(0x0000, 0x03FF);
  ASSERT_NO_FATAL_FAILURE(openUserFile(rig));  // channel 1 has VOX off (byte 13 bit 7 clear)
  const int voxCol = kRowVox;
  ASSERT_EQ(rig.editors->grid.text(0, voxCol), QStringLiteral("VOX"));
  ASSERT_EQ(rig.editors->grid.text(1, voxCol), QStringLiteral("Off"));

  ASSERT_TRUE(rig.transfer->cmdWrite());
  EXPECT_EQ(rig.editors->grid.text(1, voxCol), QStringLiteral("On"));
  const QStringList report = rig.transfer->writeReport();
  EXPECT_TRUE(report.contains(QStringLiteral("Channel 1, VOX: Off -> On"))) << report.join('\n').toStdString();
  EXPECT_TRUE(rig.engine->trace().lines().contains(QStringLiteral("Channel 1, VOX: Off -> On")));
  EXPECT_TRUE(rig.transfer->writeReportText().contains(QStringLiteral("Channel 1, VOX: Off -> On")));
  // Settings at 0x01A0-0x01AB are never sent (that block goes to 0x01AC).
  EXPECT_FALSE(report.filter(QStringLiteral("Not sent to this radio")).isEmpty()) << report.join(u'\n').toStdString();
  // The next save stores what the radio holds.
  rig.core->image.CurFilePath = rig.dir.filePath(QStringLiteral("after.dat"));
  ASSERT_TRUE(rig.core->files.SaveDatFile());
  EXPECT_EQ(static_cast<uint8_t>(readFile(rig.core->image.CurFilePath).at(0x20 + 13)) & 0x80, 0x80);
}

}  // namespace
}  // namespace zr
