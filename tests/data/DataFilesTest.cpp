// New, Open, Save and the refresh after load, on real files in a temporary folder.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "data/DataFiles.h"
#include "data/UndoHistory.h"

namespace zr {
namespace {

std::vector<uint8_t> readAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray b = f.readAll();
  return {b.begin(), b.end()};
}

void writeAll(const QString& path, const std::vector<uint8_t>& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

// A file in data file layout whose every byte tells its offset.
std::vector<uint8_t> patternFile(size_t size, uint8_t salt) {
  std::vector<uint8_t> f(size);
  for (size_t i = 0; i < size; ++i) f[i] = static_cast<uint8_t>((i * 7 + salt) & 0xFF);
  return f;
}

class DataFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    image.create(0x1FFF);
    text.LoadSoftFace(lang);
    writeAll(dir.filePath(kDefaultImageFile), patternFile(kDataFileSize, 1));
    writeAll(dir.filePath(kDefaultVhfFile), patternFile(kDataFileSize, 2));
    writeAll(dir.filePath(kDefaultUhfFile), patternFile(kDataFileSize, 3));
    QDir(dir.path()).mkpath(kDataFolder);
    files.GenerateDatFolder();
  }

  QString path(const QString& name) const { return dir.filePath(name); }

  QTemporaryDir dir;
  int lang = kLangEng;
  ErrorLog log;
  TextTable text;
  ToneTable tones;
  MemoryImage image;
  ChannelTable table;
  ChColumnDefs columns = ChColumnDefs::fallback();
  ChannelCodec codec{image.TempArray, image.DefTempArray, table, tones, columns, log};
  ScriptedPrompts prompts;
  UndoHistory history{image, table};
  DataEvents events;
  DataFiles files{image, codec, text, prompts, log, AppPaths::forProgram(dir.path()), history, events};
};

TEST_F(DataFilesTest, SaveWritesTheDataFileLayoutAndOpenGivesTheImageBack) {
  files.NewFileSol();
  auto& img = image.TempArray;
  for (int a = 0; a < 0x0400; ++a) img.set(a, (a * 13 + 5) & 0xFF);
  img.set(kModelSignatureAddr, 'M');
  // The save encodes the channel table first: give it valid channels decoded
  // from the image, so the round trip must reproduce every record.
  const uint8_t record[16] = {0x00, 0x20, 0x65, 0x14, 0x00, 0x25, 0x65, 0x14,
                              0x9E, 0x02, 0x13, 0x28, 0x8A, 0xFF, 0xF1, 0x5D};
  for (int ch = 1; ch <= 16; ++ch)
    for (int k = 0; k < 16; ++k) img.set(recordAddress(ch) + k, record[k]);
  codec.IicDatToChInfo();
  const std::vector<uint8_t> before(img.bytes().begin(), img.bytes().begin() + 0x0400);

  const int reportsBefore = log.reportCount();
  image.CurFilePath = path("radio.dat");
  ASSERT_TRUE(files.SaveDatFile());
  const auto saved = readAll(path("radio.dat"));
  ASSERT_EQ(saved.size(), 1040u);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(saved.data()), 6), QByteArray("KV6183"));
  for (int k = 16; k < 32; ++k) EXPECT_EQ(saved[k], 0xFF) << k;
  EXPECT_EQ(saved[32], img.at(0x0010));
  EXPECT_EQ(saved[1039], img.at(0x03FF));
  for (int k = 0; k < 6; ++k) EXPECT_EQ(img.at(k), saved[k]);  // the signature lands in the image too

  for (int a = 0; a < 0x0400; ++a) img.set(a, 0);
  ASSERT_TRUE(files.OpenFile(path("radio.dat")));
  for (int a = 6; a < 0x0400; ++a) ASSERT_EQ(img.at(a), before[a]) << "address " << a;
  EXPECT_EQ(image.CurFilePath, path("radio.dat"));
  EXPECT_EQ(log.reportCount(), reportsBefore) << log.lines().join(QStringLiteral("\n")).toStdString();
}

TEST_F(DataFilesTest, OpenRealignsAndLeavesBytesBeyondAShortFileAlone) {
  auto file = patternFile(kDataFileSize, 9);
  ASSERT_TRUE(files.OpenFile([&] { writeAll(path("full.dat"), file); return path("full.dat"); }()));
  EXPECT_EQ(image.TempArray.at(0x0010), file[0x20]);
  EXPECT_EQ(image.TempArray.at(0x03FF), file[0x040F]);
  EXPECT_EQ(image.TempArray.at(0x0005), file[5]);
  // 0x0400-0x040F keep the file's bytes at those offsets.
  EXPECT_EQ(image.TempArray.at(0x0400), file[0x0400]);

  for (int a = 0; a <= 0x1FFF; ++a) image.TempArray.set(a, 0xAB);
  writeAll(path("short.dat"), std::vector<uint8_t>(0x0100, 0x11));
  ASSERT_TRUE(files.OpenFile(path("short.dat")));
  EXPECT_EQ(image.TempArray.at(0x00EF), 0x11);   // file byte 0xFF moved down by 16
  EXPECT_EQ(image.TempArray.at(0x00F0), 0xAB);   // no data for it in the file
  EXPECT_EQ(image.TempArray.at(0x1000), 0xAB);   // beyond what data files hold
}

TEST_F(DataFilesTest, ModelSignatureIsRepairedOnlyWhenItsFirstByteIsNotM) {
  struct Case { uint8_t first; bool repaired; } cases[] = {{'M', false}, {0x00, true}, {0xFF, true}};
  for (const auto& c : cases) {
    auto file = patternFile(kDataFileSize, 4);
    file[kModelSignatureAddr + 16] = c.first;
    writeAll(path("sig.dat"), file);
    ASSERT_TRUE(files.OpenFile(path("sig.dat")));
    for (int k = 0; k < 8; ++k) {
      const uint8_t expected = c.repaired ? kModelSignature[k] : file[kModelSignatureAddr + 16 + k];
      EXPECT_EQ(image.TempArray.at(kModelSignatureAddr + k), expected) << int(c.first) << " byte " << k;
    }
  }
}

TEST_F(DataFilesTest, UnreadableFileIsWrongFileTypeAndChangesNothing) {
  files.NewFileSol();
  const auto before = image.TempArray;
  const QString previous = image.CurFilePath;
  EXPECT_FALSE(files.OpenFile(path("missing.dat")));
  EXPECT_FALSE(files.OpenFile(dir.path()));  // a folder
  EXPECT_EQ(image.TempArray, before);
  EXPECT_EQ(image.CurFilePath, previous);
  ASSERT_EQ(prompts.messages.size(), 2);
  EXPECT_EQ(prompts.messages[0], QStringLiteral("Wrong file type!"));
  EXPECT_EQ(prompts.titles.last(), QStringLiteral("Notice"));
  EXPECT_EQ(log.lastTag(), QStringLiteral("mdifrmMain->OpenFile"));
}

TEST_F(DataFilesTest, ImageTooSmallForADataFileFailsWithoutTouchingMemory) {
  image.create(0x0100);  // "DatNum" below 0x040F
  for (int a = 0; a <= 0x0100; ++a) image.TempArray.set(a, 0x5A);
  writeAll(path("any.dat"), patternFile(kDataFileSize, 5));
  EXPECT_FALSE(files.OpenFile(path("any.dat")));
  for (int a = 0; a <= 0x0100; ++a) ASSERT_EQ(image.TempArray.at(a), 0x5A);
  EXPECT_EQ(log.lastCode(), kErrSubscript);

  files.InitTempArray();
  EXPECT_EQ(log.lastTag(), QStringLiteral("mdifrmMain->InitTempArray"));
  image.CurFilePath = path("small.dat");
  EXPECT_FALSE(files.SaveDatFile());
  EXPECT_FALSE(QFile::exists(path("small.dat")));
}

TEST_F(DataFilesTest, NewKeepsModelAndBandBytesAndAsksFirst) {
  files.NewFileSol();
  for (int a = 0x0379; a <= 0x037D; ++a) image.TempArray.set(a, 0xC0 + a - 0x0379);
  image.TempArray.set(0x0200, 0x77);

  prompts.answers = {false};
  files.NewFile();
  EXPECT_EQ(image.TempArray.at(0x0200), 0x77);  // No: nothing happens
  EXPECT_EQ(prompts.asked.last(), QStringLiteral("All data will be cleared,continue?"));

  image.CurFilePath = path("other.dat");
  prompts.answers = {true};
  files.NewFile();
  EXPECT_EQ(image.CurFilePath, QDir(path(kDataFolder)).filePath(kUntitledFile));
  for (int a = 0; a <= 0x1FFF; ++a) {
    if (a >= 0x0379 && a <= 0x037D) {
      EXPECT_EQ(image.TempArray.at(a), 0xC0 + a - 0x0379);
    } else {
      ASSERT_EQ(image.TempArray.at(a), image.DefTempArray.at(a)) << "address " << a;
    }
  }
  EXPECT_NE(image.TempArray.at(0x0200), 0x77);
}

TEST_F(DataFilesTest, SaveQuestionAndDialogAnswersDecideWhatIsWritten) {
  files.NewFileSol();
  image.CurFilePath = path("Data/Untitled.dat");
  prompts.answers = {false};
  files.SaveFile();  // No: nothing written
  EXPECT_FALSE(QFile::exists(path("Data/Untitled.dat")));
  EXPECT_EQ(prompts.asked.last(), QStringLiteral("TempData has changed,Do you want to save it now?"));

  prompts.answers = {true};
  files.SaveFile();  // Yes, then the dialog is cancelled
  EXPECT_EQ(image.CurFilePath, path("Data/Untitled.dat"));

  prompts.answers = {true};
  prompts.fileNames = {path("chosen.dat")};
  files.SaveFile();
  EXPECT_EQ(image.CurFilePath, path("chosen.dat"));
  EXPECT_EQ(readAll(path("chosen.dat")).size(), 1040u);

  prompts.fileNames.clear();
  EXPECT_FALSE(files.OpenFile(QString()));  // open dialog cancelled
  EXPECT_EQ(image.CurFilePath, path("chosen.dat"));
  EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(DataFilesTest, SaveKeepsTheTailOfALongerFileAndNeverDamagesItOnFailure) {
  files.NewFileSol();
  auto longer = patternFile(1500, 6);
  writeAll(path("long.dat"), longer);
  image.CurFilePath = path("long.dat");
  ASSERT_TRUE(files.SaveDatFile());
  const auto saved = readAll(path("long.dat"));
  ASSERT_EQ(saved.size(), 1500u);
  EXPECT_TRUE(std::equal(saved.begin() + 1040, saved.end(), longer.begin() + 1040));
  EXPECT_EQ(saved[32], image.TempArray.at(0x0010));

  // A target that cannot be written (here a folder): logged, reported, and
  // the file name stays the one the image came from.
  QDir(dir.path()).mkpath(QStringLiteral("blocked.dat"));
  prompts.fileNames = {path("blocked.dat")};
  EXPECT_FALSE(files.SaveAsFile());
  EXPECT_EQ(image.CurFilePath, path("long.dat"));
  // The message names the cause after the entry's text.
  EXPECT_EQ(prompts.messages.last(), QStringLiteral("Save file failed!\n") + path("blocked.dat") + QStringLiteral(": is a folder"));
  EXPECT_EQ(log.lastTag(), QStringLiteral("mdifrmMain->SaveDatFile"));
  EXPECT_EQ(readAll(path("long.dat")), saved);
}

TEST_F(DataFilesTest, RestoreDefaultsOpensTheFileOfTheBandFamily) {
  struct Case { int position; QString file; uint8_t salt; } cases[] = {
      {0, kDefaultVhfFile, 2}, {6, kDefaultVhfFile, 2}, {7, kDefaultUhfFile, 3}, {12, kDefaultUhfFile, 3}};
  for (const auto& c : cases) {
    // The restore before is an unsaved change: dropped when asked.
    prompts.saveChoices = {UserPrompts::SaveChoice::Discard};
    files.RestoreDefaults(c.position);
    EXPECT_EQ(image.CurFilePath, path(c.file)) << c.position;
    EXPECT_EQ(image.TempArray.at(0x0100), patternFile(kDataFileSize, c.salt)[0x0110]) << c.position;
  }
}

// The data layer tells what happened and never calls up into editors: a
// load says "loaded" once the signature is in place, New and Restore Default
// Setting say so; with nobody listening the channel table is still decoded.
TEST_F(DataFilesTest, ReplacingTheImageIsToldOnceAndTheChannelsFollowWithoutEditors) {
  files.NewFileSol();
  const ChannelTable empty = table;
  const uint8_t record[16] = {0x00, 0x20, 0x65, 0x14, 0x00, 0x25, 0x65, 0x14,
                              0x9E, 0x02, 0x13, 0x28, 0x8A, 0xFF, 0xF1, 0x5D};
  for (int k = 0; k < 16; ++k) image.TempArray.set(recordAddress(1) + k, record[k]);
  image.TempArray.set(kModelSignatureAddr, 0x00);
  files.SoftDisplay();
  EXPECT_EQ(image.TempArray.at(kModelSignatureAddr), kModelSignature[0]);
  EXPECT_FALSE(table == empty) << "the channel table did not follow the loaded image";

  std::vector<DataEvents::Replacement> told;
  QObject::connect(&events, &DataEvents::replaced, [&](DataEvents::Replacement how) {
    told.push_back(how);
    if (how == DataEvents::Replacement::Loaded) {
      EXPECT_EQ(image.TempArray.at(kModelSignatureAddr), kModelSignature[0]);
    }
  });
  image.TempArray.set(kModelSignatureAddr, 0x00);
  files.SoftDisplay();
  prompts.defaultSaveChoice = UserPrompts::SaveChoice::Discard;
  files.NewFileSol();
  files.RestoreDefaults(0);
  using R = DataEvents::Replacement;
  EXPECT_EQ(told, (std::vector<R>{R::Loaded, R::New, R::DefaultsLoaded}));
}

}  // namespace
// Another program changed the file between Open and Save: the save asks
// before it overwrites, and each answer does what it says.
TEST_F(DataFilesTest, ASaveOverAFileChangedByAnotherProgramAsksFirst) {
  const QString a = path(QStringLiteral("a.dat")), b = path(QStringLiteral("b.dat"));
  ASSERT_TRUE(files.OpenFile(QString()) == false);  // no name given: nothing happens
  image.TempArray.set(0x0136, 1);
  prompts.fileNames = {a};
  ASSERT_TRUE(files.SaveAsFile());
  ASSERT_TRUE(files.OpenFile(a));

  struct Case {
    const char* name;
    std::deque<int> choices;
    std::deque<QString> names;
    bool saved;
    bool theirsKept;  // otherwise our data replaced theirs
  };
  const Case cases[] = {
      {"Cancel keeps their file", {2}, {a}, false, true},
      {"Save As saves elsewhere", {1}, {a, b}, true, true},
      {"Overwrite replaces it", {0}, {a}, true, false},
  };
  uint8_t salt = 9;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(files.OpenFile(a));
    const std::vector<uint8_t> theirs = patternFile(kDataFileSize, ++salt);
    writeAll(a, theirs);  // the other program, with new content every round
    prompts.asked.clear();
    prompts.choices = c.choices;
    prompts.fileNames = c.names;
    EXPECT_EQ(files.SaveAsFile(), c.saved);
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_TRUE(prompts.asked[0].contains(a + QStringLiteral(" was changed by another program since you opened it")));
    if (!c.theirsKept) {
      EXPECT_NE(readAll(a), theirs);
    } else {
      EXPECT_EQ(readAll(a), theirs);
    }
  }
  EXPECT_EQ(readAll(b).size(), kDataFileSize);

  // Nobody else touched it: saved without a question.
  ASSERT_TRUE(files.OpenFile(a));
  prompts.asked.clear();
  prompts.fileNames = {a};
  EXPECT_TRUE(files.SaveAsFile());
  EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(DataFilesTest, OpenSaysWhenTheFileIsNotADataFile) {
  const QString raw = path(QStringLiteral("r.bin"));
  writeAll(raw, patternFile(8192, 4));
  ASSERT_TRUE(files.OpenFile(raw));
  EXPECT_TRUE(files.lastOpenNote().contains(QStringLiteral("8192 bytes"))) << files.lastOpenNote().toStdString();
  prompts.fileNames = {path(QStringLiteral("d.dat"))};
  ASSERT_TRUE(files.SaveAsFile());
  ASSERT_TRUE(files.OpenFile(path(QStringLiteral("d.dat"))));
  EXPECT_TRUE(files.lastOpenNote().isEmpty()) << files.lastOpenNote().toStdString();
}

}  // namespace zr

namespace zr {
namespace {

// An edit the user made through the history, as an editor makes it.
void edit(UndoHistory& history, MemoryImage& image, uint8_t value) {
  history.aboutToChange();
  image.TempArray.set(0x0200, value);
}

// Open, New and closing a modified data set: the save question replaces the
// command's own, and its answer decides whether the command goes on.
TEST_F(DataFilesTest, ModifiedDataIsSavedDroppedOrKeptBeforeOpenAndNew) {
  writeAll(path("other.dat"), patternFile(kDataFileSize, 9));
  const QString askSave = QStringLiteral("TempData has changed,Do you want to save it now?");
  using C = UserPrompts::SaveChoice;
  struct Case {
    const char* name;
    bool open;           // Open "other.dat", otherwise New
    C choice;
    bool dialogSaves;    // the Save As dialog gets a name
    bool goesOn;         // the command replaced the data
    bool savedFile;      // "saved.dat" holds the edit
  };
  const Case cases[] = {
      {"open/save", true, C::Save, true, true, true},
      {"open/save, dialog cancelled", true, C::Save, false, false, false},
      {"open/discard", true, C::Discard, false, true, false},
      {"open/cancel", true, C::Cancel, false, false, false},
      {"new/save", false, C::Save, true, true, true},
      {"new/discard", false, C::Discard, false, true, false},
      {"new/cancel", false, C::Cancel, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(path("saved.dat"));
    history.clear();
    ASSERT_TRUE(files.OpenFile(path(kDefaultVhfFile)));
    edit(history, image, 0x77);
    ASSERT_TRUE(history.modified());
    prompts.asked.clear();
    prompts.saveChoices = {c.choice};
    if (c.dialogSaves) prompts.fileNames = {path("saved.dat")};
    if (c.open) files.OpenFile(path("other.dat"));
    else files.NewFile();

    // One question, the save question: not the New question in addition.
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked.first(), askSave);
    EXPECT_EQ(image.TempArray.at(0x0200) != 0x77, c.goesOn);
    EXPECT_EQ(history.modified(), !c.goesOn);
    EXPECT_EQ(QFile::exists(path("saved.dat")), c.savedFile);
    prompts.fileNames.clear();
    if (c.savedFile) {  // the file holds the edit
      ASSERT_TRUE(files.OpenFile(path("saved.dat")));
      EXPECT_EQ(image.TempArray.at(0x0200), 0x77);
    }
  }
}

TEST_F(DataFilesTest, UnmodifiedDataKeepsTheCommandsOwnQuestions) {
  ASSERT_TRUE(files.OpenFile(path(kDefaultVhfFile)));
  // An edit undone is no change.
  edit(history, image, 0x77);
  ASSERT_TRUE(history.undo());
  EXPECT_FALSE(history.modified());

  prompts.answers = {false};
  files.NewFile();
  EXPECT_EQ(prompts.asked, QStringList{QStringLiteral("All data will be cleared,continue?")});
  prompts.asked.clear();
  writeAll(path("other.dat"), patternFile(kDataFileSize, 9));
  EXPECT_TRUE(files.OpenFile(path("other.dat")));  // Open asks nothing
  EXPECT_TRUE(prompts.asked.isEmpty());

  // A saved edit is no longer a change either.
  edit(history, image, 0x55);
  EXPECT_TRUE(history.modified());
  prompts.fileNames = {path("saved.dat")};
  ASSERT_TRUE(files.SaveAsFile());
  EXPECT_FALSE(history.modified());
  EXPECT_TRUE(files.OpenFile(path("other.dat")));
  EXPECT_TRUE(prompts.asked.isEmpty());
}

// Where the data stands against the last save, through undo, redo, typing
// into one field and the bound of the history.
TEST_F(DataFilesTest, ModifiedFollowsTheHistoryPositionOfTheLastSave) {
  ASSERT_TRUE(files.OpenFile(path(kDefaultVhfFile)));
  history.aboutToChange(QStringLiteral("field"));
  image.TempArray.set(0x0200, 1);
  history.markClean();  // saved while typing into the field
  EXPECT_FALSE(history.modified());
  history.aboutToChange(QStringLiteral("field"));  // typing on is a change
  image.TempArray.set(0x0200, 2);
  EXPECT_TRUE(history.modified());
  history.undo();
  EXPECT_FALSE(history.modified());
  history.redo();
  EXPECT_TRUE(history.modified());
  history.aboutToChange();  // a change that changes nothing
  EXPECT_TRUE(history.modified());
  history.undo();
  EXPECT_FALSE(history.modified());

  // Undone past the save, then a new change: the saved state is out of reach.
  history.undo();
  EXPECT_TRUE(history.modified());
  edit(history, image, 3);
  history.undo();
  EXPECT_TRUE(history.modified());

  // A save that fell out of the bounded history stays out of reach.
  history.markClean();
  for (int k = 0; k <= UndoHistory::kMaxSteps; ++k) edit(history, image, static_cast<uint8_t>(k));
  while (history.undo()) {
  }
  EXPECT_TRUE(history.modified());
  history.clear();  // New, Open, a read
  EXPECT_FALSE(history.modified());
}

}  // namespace
}  // namespace zr
