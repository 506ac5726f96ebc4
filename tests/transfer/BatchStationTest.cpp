// zr417-cli batch: several `zr417-cli simulate` radios written at once, every
// port by its own `write --json` worker, as a dealer's station runs them.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <signal.h>

#include "data/MemoryImage.h"
#include "link/BatchResult.h"
#include "transfer/TransferRig.h"
#include "support/CliRunner.h"

namespace zr {
namespace {

const QString kCli = QStringLiteral(ZR_BIN_DIR "/zr417-cli");

using Radio = testing::SimulatedRadio;

struct CliRun {
  int exitCode = -1;
  QString out, err;
  QStringList lines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Batch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    config = path("kelvane.def");
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZR_BIN_DIR "/kelvane.def"), config));
    // A customer's radio: factory settings with channel 1 in use.
    const ByteArray f = test::factoryImage();
    QByteArray radio(RadioSimulator::kMemorySize, 0);
    for (int a = 0; a < radio.size(); ++a) radio[a] = static_cast<char>(a < kImageSpan ? f.at(a) : (a * 7 + 3) & 0xFF);
    for (int k = 0; k < 16; ++k) radio[0x10 + k] = static_cast<char>(test::kChannel1[static_cast<size_t>(k)]);
    radio[0x0388] = 0x5A;
    radio[0x0389] = 0x24;
    radio[0x038A] = 0x29;
    radio[0x03D4] = static_cast<char>(RadioSimulator::kDefaultModelCode);
    // Radios of models 100-149 with these bits take 0x03E0-0x03EB (the Radio
    // ID among them) in the special blocks of a write; the others keep it.
    radio[0x03D3] = 0x28;
    radioFile = path("radio.bin");
    QFile out(radioFile);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(radio);
    out.close();
    // The fleet's configuration: a fresh data file, no channel in use.
    fleet = path("fleet.dat");
    ASSERT_EQ(run({QStringLiteral("new"), fleet}).exitCode, 0);
  }
  void TearDown() override {
    // The copies the workers kept go with the test.
    for (const QString& p : backups) {
      QFile::remove(p);
      QFile::remove(p.chopped(4) + QStringLiteral(".dat"));
    }
  }

  QString path(const QString& name) const { return dir.filePath(name); }
  CliRun run(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(kCli, QStringList{QStringLiteral("--config"), config} + args);
    p.waitForStarted(60000);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(240000)) p.kill();
    p.waitForFinished();
    CliRun r{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
    return r;
  }
  // The batch over `radios`, one round per line of `input`, with --json:
  // the result objects in the order they came.
  std::vector<RadioResult> batch(const std::vector<std::unique_ptr<Radio>>& radios, const QStringList& options,
                                 const QByteArray& input, CliRun* raw = nullptr) {
    QStringList args{QStringLiteral("batch"), fleet, QStringLiteral("--json")};
    for (const auto& r : radios) args << QStringLiteral("--port") << r->device();
    CliRun r = run(args + options, input);
    std::vector<RadioResult> results;
    for (const QString& line : r.lines()) {
      const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
      EXPECT_FALSE(o.isEmpty()) << "not a JSON line: " << line.toStdString();
      results.push_back(RadioResult::fromJson(o));
      backups << results.back().backups;
    }
    if (raw) *raw = r;
    return results;
  }
  std::vector<std::unique_ptr<Radio>> radios(const std::vector<QStringList>& faults) {
    std::vector<std::unique_ptr<Radio>> list;
    for (const QStringList& f : faults) {
      list.push_back(std::make_unique<Radio>(QStringList{QStringLiteral("--image"), radioFile} + f));
      EXPECT_FALSE(list.back()->device().isEmpty());
    }
    return list;
  }
  // A radio's Radio ID bytes, read back from it.
  QByteArray radioIdBytes(const QString& device) {
    const CliRun r = run({QStringLiteral("read"), QStringLiteral("--port"), device, QStringLiteral("--range"),
                       QStringLiteral("03E0-03EF"), QStringLiteral("--raw"), path("back.bin")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const int copy = static_cast<int>(r.err.indexOf(QStringLiteral("Backup: ")));
    if (copy >= 0) backups << r.err.mid(copy + 8).section(u'\n', 0, 0).trimmed();
    return readAll(path("back.bin")).mid(0x03E9, 3);
  }

  QTemporaryDir dir;
  QString config, radioFile, fleet;
  QStringList backups;
};

TEST_F(Batch, ThreeRadiosInOneRoundAreWrittenVerifiedNumberedAndLogged) {
  const QStringList takesIds{QStringLiteral("--model-code"), QStringLiteral("120")};
  const auto three = radios({takesIds, takesIds, takesIds});
  const QString log = path("station.csv");
  CliRun raw;
  const auto results = batch(three,
                             {QStringLiteral("--verify"), QStringLiteral("--log"), log, QStringLiteral("--radio-id-from"),
                              QStringLiteral("111118")},
                             "\n", &raw);
  EXPECT_EQ(raw.exitCode, 0) << raw.err.toStdString();
  ASSERT_EQ(results.size(), 3u) << raw.out.toStdString() << raw.err.toStdString();
  // Numbers go in the order the ports were named, 0 skipped.
  const QStringList ids{QStringLiteral("111118"), QStringLiteral("111119"), QStringLiteral("111121")};
  for (size_t i = 0; i < 3; ++i) {
    const auto& r = std::find_if(results.begin(), results.end(),
                                 [&](const RadioResult& x) { return x.port == three[i]->device(); });
    ASSERT_NE(r, results.end());
    EXPECT_EQ(r->result, BatchOutcome::Ok) << r->cause.toStdString();
    EXPECT_EQ(r->round, 1);
    EXPECT_EQ(r->radioId, ids[static_cast<int>(i)]);
    EXPECT_EQ(r->ident, QStringLiteral("5A2429"));
    EXPECT_EQ(r->modelCode, 120);
  }
  // The radio holds its number: digit i in byte 0x03E9 + i/2, odd digits high.
  EXPECT_EQ(radioIdBytes(three[2]->device()), QByteArray("\x11\x11\x12", 3));
  EXPECT_EQ(radioIdBytes(three[0]->device()), QByteArray("\x11\x11\x81", 3));
  // Progress of every port on stderr while it runs.
  for (const auto& r : three)
    EXPECT_TRUE(raw.err.contains(r->device() + QStringLiteral(" write 100 %"))) << raw.err.toStdString();

  const QStringList rows = QString::fromUtf8(readAll(log)).split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(rows.size(), 4);
  EXPECT_EQ(rows[0], batchCsvHeader());
  for (int i = 1; i < 4; ++i) {
    const QStringList cells = rows[i].split(u',');
    ASSERT_EQ(cells.size(), 10) << rows[i].toStdString();
    EXPECT_EQ(cells[2], QStringLiteral("1"));
    EXPECT_EQ(cells[3], QStringLiteral("120"));
    EXPECT_EQ(cells[4], QStringLiteral("5A2429"));
    EXPECT_TRUE(ids.contains(cells[5]));
    EXPECT_EQ(cells[6], QStringLiteral("ok"));
    EXPECT_FALSE(cells[9].isEmpty());  // the copy of what was sent
  }
}

TEST_F(Batch, AFailingRadioDoesNotStopTheOthers) {
  // Port 2 stops answering in the middle of its blocks, port 3 has no radio,
  // port 4 takes the whole write and falls silent in the read-back.
  const QStringList takesIds{QStringLiteral("--model-code"), QStringLiteral("120")};
  const auto set = radios({takesIds,
                           takesIds + QStringList{QStringLiteral("--fail-after"), QStringLiteral("30")},
                           takesIds + QStringList{QStringLiteral("--silent")},
                           takesIds + QStringList{QStringLiteral("--fail-after"), QStringLiteral("100")}});
  CliRun raw;
  const auto results = batch(set, {QStringLiteral("--verify"), QStringLiteral("--radio-id-from"), QStringLiteral("222221")},
                             "\n", &raw);
  EXPECT_EQ(raw.exitCode, 1);
  ASSERT_EQ(results.size(), 4u) << raw.out.toStdString() << raw.err.toStdString();
  for (const RadioResult& r : results) {
    if (r.port == set[0]->device()) {
      EXPECT_EQ(r.result, BatchOutcome::Ok) << r.cause.toStdString();
      EXPECT_EQ(r.radioId, QStringLiteral("222221"));
    } else if (r.port == set[1]->device()) {
      EXPECT_EQ(r.result, BatchOutcome::PartlyWritten) << r.cause.toStdString();
      EXPECT_TRUE(r.cause.startsWith(QStringLiteral("The radio was partly written ("))) << r.cause.toStdString();
      // A number given to a radio that failed is not given again.
      EXPECT_EQ(r.radioId, QStringLiteral("222222"));
    } else if (r.port == set[2]->device()) {
      EXPECT_EQ(r.result, BatchOutcome::NoRadio) << r.cause.toStdString();
      EXPECT_EQ(r.radioId, QStringLiteral("222223"));
    } else {
      // Everything was sent: not partly written, but not confirmed either.
      EXPECT_EQ(r.result, BatchOutcome::VerifyFailed) << r.cause.toStdString();
      EXPECT_EQ(r.radioId, QStringLiteral("222224"));
    }
  }
  EXPECT_TRUE(raw.err.contains(QStringLiteral("1 ok, 1 verify-failed, 1 partly-written, 1 no-radio")))
      << raw.err.toStdString();
}

TEST_F(Batch, APartlyWrittenRadioCountsTheBlocksAsTheSingleWriteDoes) {
  // Two radios that stop answering at the same request: one written alone,
  // one by the batch. The batch reports the transfer's own count, not a
  // guess from the progress bar (which moves once every few blocks).
  const QStringList midway{QStringLiteral("--fail-after"), QStringLiteral("45")};
  const auto single = radios({midway});
  const CliRun alone = run({QStringLiteral("write"), QStringLiteral("--port"), single[0]->device(), fleet});
  EXPECT_EQ(alone.exitCode, 1);
  static const QRegularExpression partly(
      QStringLiteral("The radio was partly written \\((\\d+) of (\\d+) blocks, up to address ([0-9A-F]{4})\\)[^\\n]*"));
  const auto m = partly.match(alone.err);
  ASSERT_TRUE(m.hasMatch()) << alone.err.toStdString();
  const int backup = static_cast<int>(alone.err.indexOf(QStringLiteral("Backup: ")));
  if (backup >= 0) backups << alone.err.mid(backup + 8).section(u'\n', 0, 0).trimmed();

  const auto batched = radios({midway});
  CliRun raw;
  const auto results = batch(batched, {QStringLiteral("--log"), path("station.csv")}, "\n", &raw);
  ASSERT_EQ(results.size(), 1u) << raw.out.toStdString() << raw.err.toStdString();
  const RadioResult& r = results[0];
  EXPECT_EQ(r.result, BatchOutcome::PartlyWritten) << r.cause.toStdString();
  EXPECT_EQ(r.failure.kind, LinkFailure::Kind::StoppedAnswering);
  EXPECT_EQ(r.failure.blocksAcknowledged, m.captured(1).toInt());
  EXPECT_EQ(r.failure.blocksTotal, m.captured(2).toInt());
  EXPECT_EQ(r.failure.lastAcknowledgedAddress, m.captured(3).toInt(nullptr, 16));
  // The same sentence in the result, and in the log row, with the cause after it.
  EXPECT_TRUE(r.cause.startsWith(m.captured(0))) << r.cause.toStdString() << " / " << m.captured(0).toStdString();
  EXPECT_TRUE(r.cause.contains(QStringLiteral("stopped answering at block %1").arg(r.failure.block)))
      << r.cause.toStdString();
  EXPECT_TRUE(QString::fromUtf8(readAll(path("station.csv"))).contains(m.captured(0)));
}

TEST_F(Batch, TwoRoundsKeepEachRadiosOldRangeBeforeWriting) {
  const auto two = radios({{}, {}});
  CliRun raw;
  const auto results = batch(two, {QStringLiteral("--backup-before")}, "\n\n", &raw);
  EXPECT_EQ(raw.exitCode, 0) << raw.err.toStdString();
  ASSERT_EQ(results.size(), 4u) << raw.out.toStdString() << raw.err.toStdString();
  for (size_t i = 0; i < results.size(); ++i) {
    const RadioResult& r = results[i];
    EXPECT_EQ(r.result, BatchOutcome::Ok) << r.cause.toStdString();
    EXPECT_EQ(r.round, i < 2 ? 1 : 2);
    EXPECT_TRUE(r.radioId.isEmpty());
    ASSERT_EQ(r.backups.size(), 2);
    EXPECT_TRUE(r.backups[0].contains(QStringLiteral("_before-write_"))) << r.backups[0].toStdString();
    // Round 1 found the customer's channel 1; round 2 finds what round 1 wrote.
    const QByteArray before = readAll(r.backups[0]);
    ASSERT_GE(before.size(), 0x20);
    const QByteArray ch1(reinterpret_cast<const char*>(test::kChannel1.data()), 16);
    if (r.round == 1) EXPECT_EQ(before.mid(0x10, 16), ch1);
    else EXPECT_NE(before.mid(0x10, 16), ch1);
  }
}

TEST_F(Batch, ARadioIdIsGivenOnlyWhereAWriteCanStoreIt) {
  // A radio of model 120 takes the special blocks (its 0x03D3 says so); one
  // of model 40 keeps 0x03E0-0x03EB whatever is written there.
  const auto two = radios({{QStringLiteral("--model-code"), QStringLiteral("120")}, {}});
  CliRun raw;
  const auto results = batch(two, {QStringLiteral("--radio-id-from"), QStringLiteral("111111")}, "\n", &raw);
  EXPECT_EQ(raw.exitCode, 1);
  ASSERT_EQ(results.size(), 2u) << raw.out.toStdString() << raw.err.toStdString();
  for (const RadioResult& r : results) {
    if (r.port == two[0]->device()) {
      EXPECT_EQ(r.result, BatchOutcome::Ok) << r.cause.toStdString();
      EXPECT_EQ(r.radioId, QStringLiteral("111111"));
    } else {
      // Refused before a block went out, the number stays with the radio in
      // the log, and the radio still holds its customer's channel 1.
      EXPECT_EQ(r.result, BatchOutcome::Failed);
      EXPECT_EQ(r.radioId, QStringLiteral("111112"));
      EXPECT_EQ(r.modelCode, 40);
      EXPECT_TRUE(r.cause.startsWith(QStringLiteral("Radio ID 111112 not given: this radio (model code 40, byte 03D3 "
                                                    "28) keeps its Radio ID")))
          << r.cause.toStdString();
    }
  }
  EXPECT_EQ(radioIdBytes(two[0]->device()), QByteArray("\x11\x11\x11", 3));
  const CliRun back = run({QStringLiteral("read"), QStringLiteral("--port"), two[1]->device(), QStringLiteral("--range"),
                           QStringLiteral("0000-001F"), QStringLiteral("--raw"), path("ch1.bin")});
  ASSERT_EQ(back.exitCode, 0) << back.err.toStdString();
  const int copy = static_cast<int>(back.err.indexOf(QStringLiteral("Backup: ")));
  if (copy >= 0) backups << back.err.mid(copy + 8).section(u'\n', 0, 0).trimmed();
  EXPECT_EQ(readAll(path("ch1.bin")).mid(0x10, 16),
            QByteArray(reinterpret_cast<const char*>(test::kChannel1.data()), 16));

  // A file read from a model-40 radio: the whole batch is refused at once.
  QByteArray file = readAll(fleet);
  ASSERT_EQ(file.size(), kDataFileSize);
  file[0x03D3 + 0x10] = 0x28;
  file[0x03D4 + 0x10] = 40;
  const QString model40 = path("model40.dat");
  QFile out(model40);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(file);
  out.close();
  const CliRun refused = run({QStringLiteral("batch"), model40, QStringLiteral("--port"), two[0]->device(),
                              QStringLiteral("--radio-id-from"), QStringLiteral("111111")},
                             "\n");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.out.isEmpty());
  EXPECT_TRUE(refused.err.contains(QStringLiteral("was read from a radio of model code 40"))) << refused.err.toStdString();
}

TEST_F(Batch, RefusesWhatWouldMixOrLoseData) {
  const QString notData = path("notes.dat");
  QFile f(notData);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("not a data file");
  f.close();
  struct Case {
    const char* what;
    QStringList args;
    int exit;
  };
  const std::vector<Case> cases{
      {"a port named twice", {fleet, QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("--port"), QStringLiteral("3")}, 2},
      {"a Radio ID with a 0", {fleet, QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("--radio-id-from"), QStringLiteral("111101")}, 2},
      {"no port", {fleet}, 2},
      {"not a data file", {notData, QStringLiteral("--port"), QStringLiteral("3")}, 1},
      {"a log that cannot be written",
       {fleet, QStringLiteral("--port"), QStringLiteral("3"), QStringLiteral("--log"), path("no/such/dir.csv")}, 1},
  };
  for (const Case& c : cases) {
    const CliRun r = run(QStringList{QStringLiteral("batch")} + c.args, "\n");
    EXPECT_EQ(r.exitCode, c.exit) << c.what << ": " << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << c.what;
  }
}

TEST(BatchResult, RadioIdsCountInDigitsOneToNine) {
  const std::vector<std::pair<QString, QString>> cases{
      {QStringLiteral("111111"), QStringLiteral("111112")}, {QStringLiteral("111119"), QStringLiteral("111121")},
      {QStringLiteral("199999"), QStringLiteral("211111")}, {QStringLiteral("999999"), QString()},
      {QStringLiteral("111101"), QString()},                {QStringLiteral("11111"), QString()},
  };
  for (const auto& [from, next] : cases) EXPECT_EQ(nextRadioId(from), next) << from.toStdString();
}

TEST(BatchResult, OnlyModelsThatTakeTheSpecialBlocksTakeARadioId) {
  struct Case {
    int code;
    uint8_t flags;
    bool takes;
  };
  const Case cases[] = {{100, 0x28, true}, {149, 0x28, true}, {120, 0xEF, true}, {99, 0x28, false},
                        {150, 0x28, false}, {120, 0x20, false}, {120, 0x38, false}, {40, 0x28, false}};
  for (const Case& c : cases) EXPECT_EQ(radioIdRefusal(c.code, c.flags).isEmpty(), c.takes) << c.code << " " << int(c.flags);
  // A data file names its model in the same bytes, 16 bytes further on; New
  // leaves them erased, and then each radio is asked.
  QByteArray file(kDataFileSize, '\xFF');
  EXPECT_TRUE(radioIdRefusalForFile(file, QStringLiteral("new.dat")).isEmpty());
  file[0x03E3] = 0x28;
  file[0x03E4] = 120;
  EXPECT_TRUE(radioIdRefusalForFile(file, QStringLiteral("fleet.dat")).isEmpty());
  file[0x03E4] = 40;
  EXPECT_TRUE(radioIdRefusalForFile(file, QStringLiteral("fleet.dat")).startsWith(QStringLiteral("fleet.dat was read")));
}

TEST(BatchResult, LineJsonAndCsvCarryTheSameRadio) {
  RadioResult r;
  r.port = QStringLiteral("/dev/pts/4");
  r.round = 2;
  r.result = BatchOutcome::PartlyWritten;
  r.cause = QStringLiteral("stopped answering at block 7, \"0x0060\"");
  r.seconds = 3.26;
  r.modelCode = 40;
  r.ident = QStringLiteral("5A2429");
  r.radioId = QStringLiteral("111121");
  r.backups = QStringList{QStringLiteral("/b/1.bin"), QStringLiteral("/b/2.bin")};
  r.failure = LinkFailure::stoppedAnswering(7, 0x0060);
  r.failure.write = true;
  r.failure.blocksAcknowledged = 6;
  r.failure.blocksTotal = 512;
  r.failure.lastAcknowledgedAddress = 0x005F;
  const RadioResult back = RadioResult::fromJson(r.toJson());
  EXPECT_EQ(back.toJson(), r.toJson());
  EXPECT_EQ(back.failure, r.failure);
  EXPECT_EQ(r.line(), QStringLiteral("/dev/pts/4 2 partly-written 3.3 id=111121 ") + r.cause);
  // A cause with a comma and quotes stays one cell.
  EXPECT_EQ(r.csvRow(QDateTime(QDate(2026, 12, 11), QTime(3, 0))),
            QStringLiteral("2026-12-11T03:00:00,/dev/pts/4,2,40,5A2429,111121,partly-written,"
                           "\"stopped answering at block 7, \"\"0x0060\"\"\",3.3,/b/1.bin;/b/2.bin"));
  RadioResult none;
  EXPECT_TRUE(none.toJson().value(QStringLiteral("radio_id")).isNull());
  EXPECT_TRUE(none.toJson().value(QStringLiteral("model_code")).isNull());
  EXPECT_TRUE(none.toJson().value(QStringLiteral("failure")).isNull());
}

}  // namespace
}  // namespace zr
