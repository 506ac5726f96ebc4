// The start-up sequence, the first run, the language rules, the shutdown and
// the language switch, on a configuration file in a temporary folder.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "editors/Editors.h"
#include "shell/Startup.h"
#include "shell/StartupSteps.h"

namespace zr {
namespace {

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"dhcpqec.def", "DefRadioSet_VHF.def", "DefRadioSet_UHF.def"})
      QFile::copy(QStringLiteral(ZR_BIN_DIR "/") + name, dir.filePath(name));
  }
  void writeConfig(const QByteArray& text) {
    QFile f(configPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
  }
  QString configPath() const { return dir.filePath(kConfigFile); }
  std::unique_ptr<Core> makeCore() {
    return std::make_unique<Core>(dir.path(), configPath(), prompts, QStringLiteral("test"));
  }
  // Runs the start-up with recording slots and a scripted front end; the
  // system locale is `lcid`.
  QStringList start(Core& core, int lcid = kLcidEnglishUs) {
    ScriptedFrontEnd answers;
    answers.lcid = lcid;
    QStringList& calls = answers.calls;
    Startup s(core, answers);
    QObject::connect(&s, &Startup::languageSettled, [&](int lang) { calls << QStringLiteral("tick %1").arg(lang); });
    QObject::connect(&s, &Startup::SetSoftFace, [&] { calls << "SetSoftFace"; });
    QObject::connect(&s, &Startup::lockRestored, [&](bool on) { calls << QStringLiteral("lock %1").arg(on); });
    s.run();
    trace = s.trace;
    return calls;
  }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  QStringList trace;
};

TEST_F(StartupTest, RunsTheStepsInTheirOrder) {
  writeConfig("[Setting]\nFirRun=0\nDatNum=8191\n");
  auto core = makeCore();
  start(*core);
  EXPECT_EQ(trace, (QStringList{"buildSerialLists", "channelBitTables", "configPath", "GetSysLang", "language",
                                "LoadSoftFace", "HanZiTbl", "port", "image", "fonts", "colours", "VolumeMode",
                                "addresses", "buildVolumeTable", "buildProtocolScripts", "GenerateDatFolder",
                                "SetSoftFace", "InitChMem", "layoutHexView", "showChannelWindow", "ChannelLock"}));
  EXPECT_EQ(core->image.TempArray.upperBound(), 8191);
  EXPECT_EQ(core->image.CurFilePath, QDir(dir.filePath("Data")).filePath("Untitled.dat"));
  EXPECT_TRUE(QFileInfo(dir.filePath("Data")).isDir());
  // The initial band choice loaded the default image.
  EXPECT_EQ(core->image.TempArray.at(0x01B8), 0x4D);
  EXPECT_EQ(core->log.reportCount(), 0) << core->log.lines().join("\n").toStdString();
}

TEST_F(StartupTest, FirstRunStoresTheLanguageOfTheLocaleOnce) {
  struct Case { int lcid; const char* language; } cases[] = {
      {kLcidEnglishUs, "3"}, {kLcidChinesePrc, "1"}, {kLcidChineseTaiwan, "2"}, {1031, "3"}, {0, "3"}};
  for (const auto& c : cases) {
    writeConfig("[Setting]\r\nDatNum=8191\r\n");
    auto core = makeCore();
    const QStringList calls = start(*core, c.lcid);
    PrivateProfile ini(configPath());
    EXPECT_EQ(ini.GetString("Setting", "FirRun", "", 2), "0") << c.lcid;
    EXPECT_EQ(ini.GetString("Setting", "Language", "", 9), c.language) << c.lcid;
    EXPECT_TRUE(calls.contains("AutoSetPort")) << c.lcid;
    EXPECT_EQ(core->CurLang, kLangEng);

    // The second start neither writes nor searches.
    const QByteArray after = readFile(configPath());
    auto again = makeCore();
    EXPECT_FALSE(start(*again, c.lcid).contains("AutoSetPort"));
    EXPECT_EQ(readFile(configPath()), after);
  }
}

TEST_F(StartupTest, FirstRunFlagIsASixteenBitNumber) {
  // "0.4" converts to 0: no first run. Text that is not a number is reported
  // and counts as the default "1".
  struct Case { const char* firRun; bool firstRun; int reports; } cases[] = {
      {"0", false, 0}, {"0.4", false, 0}, {" 0", false, 0}, {"1", true, 0}, {"-1", true, 0}, {"x", true, 1}};
  for (const auto& c : cases) {
    writeConfig(QByteArray("[Setting]\nDatNum=8191\nFirRun=") + c.firRun + "\n");
    auto core = makeCore();
    const QStringList calls = start(*core);
    EXPECT_EQ(calls.contains("AutoSetPort"), c.firstRun) << c.firRun;
    const QString stored = PrivateProfile(configPath()).GetString("Setting", "FirRun", "", 9);
    EXPECT_EQ(stored, c.firstRun ? QStringLiteral("0") : QString(c.firRun).trimmed()) << c.firRun;
    EXPECT_EQ(core->log.reportCount(), c.reports) << c.firRun;
    if (c.reports) {
      EXPECT_TRUE(core->log.lastTag().contains("FirRun")) << c.firRun;
    }
  }
}

TEST_F(StartupTest, AddressesMayCarryLeadingZeros) {
  writeConfig(
      "[Setting]\nFirRun=0\nDatNum=8191\nTableMaxAddr=00001fff\nReadStartAddr=000000000010\n"
      "ReadEndAddr=0x1FFF\nWriteStartAddr=+10\nWriteEndAddr=0001FFFF\n");
  auto core = makeCore();
  start(*core);
  const AppSettings& s = core->settings;
  EXPECT_EQ(s.TableMaxAddr, 0x1FFF);
  EXPECT_EQ(s.TableMaxAddrText, "00001fff");
  EXPECT_EQ(s.ReadStartAddr, 0x0010);
  // A prefix, a sign or more than four significant digits is not an address.
  EXPECT_EQ(s.ReadEndAddr, 0x1FFF);
  EXPECT_EQ(s.ReadEndAddrText, "1FFF");
  EXPECT_EQ(s.WriteStartAddr, 0x0000);
  EXPECT_EQ(s.WriteEndAddr, 0x1FFF);
  EXPECT_EQ(s.WriteEndAddrText, "1FFF");
  EXPECT_EQ(core->log.reportCount(), 3);
}

TEST_F(StartupTest, EveryRunStartsInEnglishWhateverIsStored) {
  for (const char* stored : {"1", "2", "3", "7", "x"}) {
    writeConfig(QByteArray("[Setting]\nFirRun=0\nDatNum=8191\nLanguage=") + stored + "\n");
    auto core = makeCore();
    const QStringList calls = start(*core);
    EXPECT_EQ(core->CurLang, kLangEng) << stored;
    EXPECT_TRUE(calls.contains("tick 3")) << stored;
    EXPECT_EQ(core->text.SoftFace(94), "Ready");
    EXPECT_EQ(core->tones.NoToneText(), "None");
  }
}

TEST_F(StartupTest, ReadsTheSettingsAndReplacesBadValuesByTheirDefaults) {
  writeConfig(
      "[Setting]\nFirRun=0\nDatNum=8191\nCOM=12\nOverColor=red\nDefColor=32768\nVolumeMode=1\n"
      "ReadStartAddr=0010\nReadEndAddr=XYZ\nWriteEndAddr=03FF\nTableMaxAddr=1FFF0000000000000000\n"
      "ChannelLock=ShowLock\nEngFont=DejaVu Sans\n");
  auto core = makeCore();
  const QStringList calls = start(*core);
  const AppSettings& s = core->settings;
  EXPECT_EQ(s.ComPort, 12);
  EXPECT_TRUE(calls.contains("VerdictCom 12"));
  EXPECT_EQ(s.OverColor, kDefaultOverColor);
  EXPECT_EQ(s.DefColor, "32768");
  EXPECT_EQ(s.VolumeMode, 1);
  EXPECT_EQ(s.ReadStartAddr, 0x0010);
  EXPECT_EQ(s.ReadEndAddr, 0x1FFF);
  EXPECT_EQ(s.ReadEndAddrText, "1FFF");
  EXPECT_EQ(s.WriteEndAddr, 0x03FF);
  EXPECT_EQ(s.TableMaxAddr, 0x1FFF);  // 14 characters are not an address: default
  EXPECT_EQ(s.SoftFont, "DejaVu Sans");
  EXPECT_EQ(s.LockState, kLockOn);
  EXPECT_TRUE(calls.contains("lock 1"));
  // Each bad value was reported, naming the key.
  const QString log = core->log.lines().join("\n");
  for (const char* key : {"OverColor", "ReadEndAddr", "TableMaxAddr"}) EXPECT_TRUE(log.contains(key)) << key;
  EXPECT_EQ(core->log.reportCount(), 3);
}

TEST_F(StartupTest, StartsWithoutAnyConfigurationFile) {
  auto core = makeCore();
  const QStringList calls = start(*core);
  EXPECT_EQ(core->settings.ComPort, 1);
  EXPECT_EQ(core->settings.LockState, kLockOff);
  EXPECT_EQ(core->columns.channelCount, 16);
  EXPECT_TRUE(calls.contains("lock 0"));
  EXPECT_EQ(trace.last(), "ChannelLock");
  // The default "DatNum" of 0 leaves an image too small for data files: the
  // loads fail and are logged instead of touching memory beyond it.
  EXPECT_EQ(core->image.TempArray.upperBound(), 0);
  EXPECT_GT(core->log.reportCount(), 0);
}

// Everything a start-up leaves in a core and its editors, as text (a
// difference shows as the lines that differ).
QStringList startedState(const Editors& e) {
  const Core& c = e.core;
  QStringList out;
  const auto bytes = [](const ByteArray& a) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(a.bytes().data()), a.size()).toHex());
  };
  out << "image " + bytes(c.image.TempArray) << "default " + bytes(c.image.DefTempArray) << "file " + c.image.CurFilePath;
  for (int row = 0; row < ChannelTable::kRows; ++row) {
    QStringList cells;
    for (int ch = 1; ch <= ChannelTable::kChannels; ++ch) cells << QString::number(c.ChTable.get(row, ch));
    out << QStringLiteral("table row %1: ").arg(row) + cells.join(u' ');
  }
  for (int ch = 1; ch <= ChannelTable::kChannels; ++ch)
    out << QStringLiteral("tones %1: %2 %3").arg(ch).arg(c.ChTable.decodeTone(ch), c.ChTable.encodeTone(ch));
  out << c.log.lines();
  out << QStringLiteral("log: %1 reports, last %2 %3 %4, loaded %5")
             .arg(c.log.reportCount()).arg(c.log.lastTag()).arg(c.log.lastCode()).arg(c.log.lastDetail())
             .arg(c.log.isLoaded());
  const AppSettings& s = c.settings;
  out << QStringList{QString::number(c.CurLang), QString::number(s.LeaveNoAsk), QString::number(s.autoInputOpen),
                     QString::number(s.Leaving), QString::number(s.ComPort), s.EngFont, s.ChsFont, s.SoftFont,
                     s.OverColor, s.DefColor, QString::number(s.VolumeMode), s.TableMaxAddrText, s.ReadStartAddrText,
                     s.ReadEndAddrText, s.WriteStartAddrText, s.WriteEndAddrText, s.LockState}
             .join(u' ');
  const ChColumnDefs& cols = c.columns;
  out << QStringLiteral("columns %1 %2 %3 %4").arg(cols.channelCount).arg(cols.rowHeight).arg(cols.columnCount)
             .arg(cols.headerFormat);
  for (const QStringList& items : cols.items) out << "items " + items.join(u'|');
  out << QStringLiteral("undo %1").arg(c.history.modified());
  const ChannelGrid& g = e.grid;
  out << QStringLiteral("grid %1x%2 cursor %3,%4").arg(g.rowCount()).arg(g.columnCount()).arg(g.cursorRow())
             .arg(g.cursorCol());
  for (int r = 0; r < g.rowCount(); ++r)
    for (int col = 0; col < g.columnCount(); ++col)
      out << QStringLiteral("cell %1,%2 %3 %4").arg(r).arg(col).arg(g.text(r, col)).arg(g.colour(r, col));
  const BandModel& b = e.band;
  out << QStringLiteral("band %1-%2 at %3 %4: ").arg(b.BandMin).arg(b.BandMax).arg(b.modelPosition())
             .arg(b.rangePosition()) + (b.modelTexts() + b.rangeTexts()).join(u'|');
  for (const FieldDef& f : e.settings.fields()) {
    const FieldState* st = e.settings.state(f.name);
    out << QStringLiteral("field %1 %2 %3 %4 [%5] [%6] %7").arg(f.name).arg(st->position).arg(st->checked)
               .arg(st->enabled).arg(st->text, st->toolTip, st->entries.join(u'|'));
  }
  return out;
}

TEST_F(StartupTest, AStartUpOverAnotherFileGivesWhatANewCoreGives) {
  // The shipped configuration; one whose image is too small for the
  // default data (every step that fills the image fails and is logged) with
  // all 260 channels and 20 columns; one with bad values and 8 channels.
  QFile shippedFile(QStringLiteral(ZR_BIN_DIR "/kelvane.def"));
  ASSERT_TRUE(shippedFile.open(QIODevice::ReadOnly));
  const QByteArray shipped = shippedFile.readAll();
  const QByteArray configs[] = {
      shipped,
      "[Setting]\nFirRun=0\nDatNum=100\nChannelLock=ShowLock\n[ChInfo]\n3000=260\n3002=20\n",
      "[Setting]\nFirRun=0\nDatNum=8191\nCOM=x\nOverColor=red\nEngFont=Serif\n[ChInfo]\n3000=8\n3200=a\n3201=b\n"
      "3202=*EndOfThisItem*\n",
  };
  for (const QByteArray& first : configs) {
    for (const QByteArray& second : configs) {
      if (&first == &second) continue;
      writeConfig(first);
      auto core = makeCore();
      Editors editors(*core);
      startHeadless(editors);
      // The user changes a setting (an unsaved change a new start would
      // otherwise ask about) and the program's own state moves on.
      editors.settings.setPosition(QStringLiteral("cboSql"), 3);
      core->settings.LeaveNoAsk = true;
      core->settings.autoInputOpen = true;
      writeConfig(second);
      prompts.asked.clear();
      startHeadlessAgain(editors);
      const QStringList again = startedState(editors) << "asked: " + prompts.asked.join(u'|');

      prompts.asked.clear();
      auto newCore = makeCore();
      Editors newEditors(*newCore);
      startHeadless(newEditors);
      EXPECT_EQ(again, startedState(newEditors) << "asked: " + prompts.asked.join(u'|'))
          << first.left(60).constData() << " then " << second.left(60).constData();
    }
  }
}

TEST_F(StartupTest, ShutdownAsksUnlessSwitchingLanguageAndClosesInOrder) {
  writeConfig("[Setting]\nFirRun=0\nDatNum=8191\n");
  auto core = makeCore();
  start(*core);
  QStringList closed;
  auto close = [&](const QString& name) { closed << name; };

  core->settings.autoInputOpen = true;
  EXPECT_FALSE(queryUnload(*core, close));
  EXPECT_TRUE(prompts.asked.isEmpty());
  core->settings.autoInputOpen = false;

  prompts.answers = {false};
  EXPECT_FALSE(queryUnload(*core, close));
  EXPECT_EQ(prompts.asked.last(), "Are you sure want to exit?");
  EXPECT_TRUE(closed.isEmpty());
  EXPECT_FALSE(core->settings.Leaving);

  prompts.answers = {true};
  EXPECT_TRUE(queryUnload(*core, close));
  EXPECT_TRUE(core->settings.Leaving);
  EXPECT_EQ(closed, kCloseOrder);

  core->settings.LeaveNoAsk = true;
  const auto asked = prompts.asked.size();
  EXPECT_TRUE(queryUnload(*core, close));
  EXPECT_EQ(prompts.asked.size(), asked);
}

TEST_F(StartupTest, LanguageSwitchStoresRestartsAndLeavesWithoutAsking) {
  writeConfig("[Setting]\nFirRun=0\nDatNum=8191\nLanguage=3\n");
  auto core = makeCore();
  start(*core);
  ScriptedFrontEnd answers;
  QStringList& calls = answers.calls;
  LanguageSwitch change(*core, answers);
  QObject::connect(&change, &LanguageSwitch::languageTicked, [&](int l) { calls << QStringLiteral("tick %1").arg(l); });
  QObject::connect(&change, &LanguageSwitch::closeWanted, [&] { calls << "close"; });

  EXPECT_FALSE(change.switchTo(kLangEng));  // already English: nothing
  EXPECT_TRUE(calls.isEmpty());
  EXPECT_TRUE(prompts.messages.isEmpty());

  // A batch round the user keeps writing keeps the program and its language.
  answers.leavingAllowed = false;
  EXPECT_FALSE(change.switchTo(kLangChs));
  EXPECT_EQ(calls, (QStringList{"mayLeave"}));
  EXPECT_EQ(PrivateProfile(configPath()).GetString("Setting", "Language", "", 9), "3");
  EXPECT_EQ(core->CurLang, kLangEng);
  EXPECT_FALSE(core->settings.LeaveNoAsk);
  calls.clear();

  answers.leavingAllowed = true;
  EXPECT_TRUE(change.switchTo(kLangChs));
  EXPECT_EQ(calls, (QStringList{"mayLeave", "tick 1", "startNewInstance", "close"}));
  EXPECT_EQ(PrivateProfile(configPath()).GetString("Setting", "Language", "", 9), "1");
  EXPECT_EQ(prompts.messages.last(), "Language has changed, you need to restart the software.");
  EXPECT_EQ(prompts.titles.last(), "Message");
  EXPECT_TRUE(core->settings.LeaveNoAsk);
  EXPECT_EQ(core->CurLang, kLangChs);

  int lang = 9;
  EXPECT_TRUE(helpFilePath(*core, lang).endsWith("/EngHelp.html"));
  EXPECT_EQ(lang, kLangEng);
  lang = kLangCht;
  EXPECT_TRUE(helpFilePath(*core, lang).endsWith("/ChtHelp.html"));
}

TEST(LocaleNames, MapToTheIdentifiersTheFirstRunKnows) {
  struct Case { const char* name; int lcid; } cases[] = {
      {"zh_TW", 1028}, {"zh_TW.UTF-8", 1028}, {"en_US", 1033}, {"en-US", 1033},
      {"zh_CN.GB2312", 2052}, {"en_GB", 0}, {"de_DE", 0}, {"C", 0}, {"", 0}};
  for (const auto& c : cases) EXPECT_EQ(lcidFromLocaleName(c.name), c.lcid) << c.name;
}

}  // namespace
}  // namespace zr
