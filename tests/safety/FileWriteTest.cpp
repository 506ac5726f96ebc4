// Every file the programs write goes through one helper: on a full disk, in a
// folder that refuses new files, or over a huge file, the user's old file
// stays whole and the cause reaches the user.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "shell/StartupSteps.h"
#include "data/DataFiles.h"
#include "safety/SmallDisk.h"
#include "support/CliRunner.h"
#include "data/Core.h"
#include "shell/Startup.h"

namespace zr {
namespace {

using test::SmallDisk;

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(f.write(bytes), bytes.size());
}

// A program folder with the shipped files, and a started core over it whose
// configuration file may live elsewhere (on the small disk).
class CoreOnDisk {
 public:
  explicit CoreOnDisk(const QString& configPath) {
    for (const char* name : {"dhcpqec.def", "DefRadioSet_VHF.def", "DefRadioSet_UHF.def"})
      QFile::copy(QStringLiteral(ZR_BIN_DIR "/") + name, program.filePath(name));
    if (!QFile::exists(configPath)) QFile::copy(QStringLiteral(ZR_BIN_DIR "/kelvane.def"), configPath);
    core = std::make_unique<Core>(program.path(), configPath, prompts, QStringLiteral("test"));
    startHeadless(*core);
  }
  QTemporaryDir program;
  ScriptedPrompts prompts;
  std::unique_ptr<Core> core;
};

// One writer of the programs, run against a file that already holds `old`.
// Returns the cause it reports, or an empty text when it claims success.
struct Writer {
  const char* name;
  std::function<QString(const QString& path)> write;
};

TEST(FullDisk, EveryWriterKeepsTheOldFileWholeAndReportsDiskFull) {
  const QByteArray newContent(3000, 'n');
  const std::vector<Writer> writers = {
      {"the file helper",
       [&](const QString& path) {
         try {
           writeFileAtomically(path, newContent);
         } catch (const RunError& e) {
           EXPECT_EQ(e.code(), kErrDiskFull);
           return e.detail();
         }
         return QString();
       }},
      {"a configuration key",
       [](const QString& path) {
         QString why;
         if (PrivateProfile(path).WriteString(QStringLiteral("Setting"), QStringLiteral("Language"),
                                              QStringLiteral("1"), &why))
           return QString();
         return why.isEmpty() ? QStringLiteral("(no cause)") : why;
       }},
      {"Save As of a data file",
       [](const QString& path) {
         const QString config = QDir::temp().filePath(QStringLiteral("zr-safety-%1.def").arg(::getpid()));
         QFile::remove(config);
         CoreOnDisk c(config);
         QFile::remove(config);
         const QString before = c.core->image.CurFilePath;
         c.prompts.fileNames = {path};
         const bool written = c.core->files.SaveAsFile();
         EXPECT_EQ(c.core->image.CurFilePath, before) << "the failed file must not become the current one";
         if (written) return QString();
         EXPECT_FALSE(c.prompts.messages.isEmpty());
         return c.prompts.messages.isEmpty() ? QStringLiteral("(no message)") : c.prompts.messages.last();
       }},
  };
  for (const Writer& w : writers) {
    SCOPED_TRACE(w.name);
    SmallDisk disk;
    ZR_NEED_SMALL_DISK(disk);
    const QString path = disk.filePath(QStringLiteral("radio.dat"));
    const QByteArray old = QByteArray("[Setting]\r\nLanguage=3\r\n") + QByteArray(1040, 'o');
    writeFile(path, old);
    disk.fill();

    const QString cause = w.write(path);
    EXPECT_TRUE(cause.contains(QStringLiteral("disk full"))) << cause.toStdString();
    EXPECT_EQ(readFile(path), old);
    EXPECT_EQ(disk.entries(), QStringList{QStringLiteral("radio.dat")}) << "a temporary file was left behind";
  }
}

TEST(FullDisk, TheCliSaysDiskFullAndExitsOne) {
  SmallDisk disk;
  ZR_NEED_SMALL_DISK(disk);
  const QString file = disk.filePath(QStringLiteral("radio.dat"));
  const QByteArray old = readFile(QStringLiteral(ZR_BIN_DIR "/dhcpqec.def")).left(kDataFileSize);
  writeFile(file, old);
  disk.fill();
  struct Case {
    const char* what;
    QStringList args;
  };
  const Case cases[] = {
      {"set", {QStringLiteral("set"), file, QStringLiteral("chkBeep=0")}},
      {"channels --export", {QStringLiteral("channels"), file, QStringLiteral("--export"), file}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const testing::CliResult r = testing::runCli(c.args);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("disk full"))) << r.err.toStdString();
    EXPECT_EQ(readFile(file), old);
    // No temporary file is left; the empty lock file of the set command stays.
    QStringList left = disk.entries();
    left.removeAll(QStringLiteral(".radio.dat.lock"));
    EXPECT_EQ(left, QStringList{QStringLiteral("radio.dat")});
  }
}

TEST(FullDisk, LanguageSwitchThatCannotBeStoredIsUndone) {
  SmallDisk disk;
  ZR_NEED_SMALL_DISK(disk);
  const QString config = disk.filePath(kConfigFile);
  CoreOnDisk c(config);
  const QByteArray old = readFile(config);
  ASSERT_FALSE(old.isEmpty());
  disk.fill();

  QList<int> ticks;
  bool restarted = false, closed = false;
  ScriptedFrontEnd answers;
  LanguageSwitch change(*c.core, answers);
  QObject::connect(&change, &LanguageSwitch::languageTicked, [&](int l) { ticks << l; });
  QObject::connect(&change, &LanguageSwitch::closeWanted, [&] { closed = true; });
  change.switchTo(kLangChs);
  restarted = answers.calls.contains(QStringLiteral("startNewInstance"));

  EXPECT_EQ(c.core->CurLang, kLangEng);
  ASSERT_FALSE(ticks.isEmpty());
  EXPECT_EQ(ticks.last(), kLangEng) << "the menu tick goes back to the language in use";
  EXPECT_FALSE(restarted);
  EXPECT_FALSE(closed);
  EXPECT_FALSE(c.core->settings.LeaveNoAsk);
  ASSERT_FALSE(c.prompts.messages.isEmpty());
  EXPECT_TRUE(c.prompts.messages.last().startsWith(QStringLiteral("Occur error!")));
  EXPECT_TRUE(c.prompts.messages.last().contains(QStringLiteral("disk full")));
  EXPECT_EQ(readFile(config), old);
}

// Runs `body` as an ordinary user (root passes every permission check, so a
// folder's mode means nothing to it); returns the child's exit status.
int asOrdinaryUser(const std::function<int()>& body) {
  if (::geteuid() != 0) return body();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

TEST(LockedFolder, AFileTheUserMayWriteIsSavedInPlaceAndANewOneIsRefusedByItsCause) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath(QStringLiteral("radio.dat"));
  writeFile(file, QByteArray(2000, 'o'));
  ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0666), 0);
  ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);

  const int status = asOrdinaryUser([&] {
    try {
      // A data file save: the new content, then the old file's bytes past it.
      writeFileAtomically(file, QByteArray(1040, 'n'), 1040);
    } catch (const RunError&) {
      return 1;
    }
    try {
      writeFileAtomically(dir.filePath(QStringLiteral("new.dat")), QByteArray(10, 'n'));
      return 2;
    } catch (const RunError& e) {
      if (e.code() != kErrPermissionDenied || !e.detail().contains(QStringLiteral("permission denied"))) return 3;
    }
    return 0;
  });
  ::chmod(QFile::encodeName(dir.path()).constData(), 0755);

  EXPECT_EQ(status, 0) << "1: the in-place save failed, 2: a new file appeared, 3: wrong cause";
  EXPECT_EQ(readFile(file), QByteArray(1040, 'n') + QByteArray(960, 'o'));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("radio.dat")});
}

TEST(BoundedRead, OpenReadsAtMostTheImageAndSaveCopiesOnlyTheTail) {
  QTemporaryDir dir;
  CoreOnDisk c(dir.filePath(kConfigFile));
  // /dev/zero never ends, and a device is nobody's data file: refused at
  // once, the image untouched.
  const uint8_t before = c.core->image.TempArray.at(0x0100);
  EXPECT_THROW(readFileBytes(QStringLiteral("/dev/zero"), 4096), RunError);
  EXPECT_FALSE(c.core->files.OpenFile(QStringLiteral("/dev/zero")));
  EXPECT_EQ(c.core->image.TempArray.at(0x0100), before);

  // A file far larger than memory should hold (sparse): the save keeps its
  // tail without reading it whole.
  const QString big = dir.filePath(QStringLiteral("big.dat"));
  {
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(qint64(64) << 20));
    ASSERT_TRUE(f.seek((qint64(64) << 20) - 4));
    f.write("tail");
  }
  ASSERT_TRUE(c.core->files.OpenFile(big));
  c.core->image.CurFilePath = big;
  ASSERT_TRUE(c.core->files.SaveDatFile());
  QFile f(big);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.size(), qint64(64) << 20);
  EXPECT_EQ(f.read(6), QByteArray("KV6183"));
  ASSERT_TRUE(f.seek(f.size() - 4));
  EXPECT_EQ(f.read(4), QByteArray("tail"));
}

}  // namespace
// A link planted by another user in a shared folder such as /tmp is not
// followed (the kernel's protected-links rule); one's own link is, and the
// target keeps its mode.
TEST(SharedFolder, ALinkOfAnotherUserIsRefusedAndOnesOwnIsFollowed) {
  QTemporaryDir dir;
  const QString shared = dir.filePath(QStringLiteral("sticky"));
  ASSERT_TRUE(QDir().mkdir(shared));
  ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
  const QString target = dir.filePath(QStringLiteral("target.csv"));
  {
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
  }
  ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
  const QString own = shared + QStringLiteral("/own.csv");
  const QString planted = shared + QStringLiteral("/out.csv");
  ASSERT_TRUE(QFile::link(target, own));
  ASSERT_TRUE(QFile::link(target, planted));

  writeFileAtomically(own, QByteArray("mine"));
  EXPECT_EQ(QFileInfo(own).isSymLink(), true);
  QFile t(target);
  ASSERT_TRUE(t.open(QIODevice::ReadOnly));
  EXPECT_EQ(t.readAll(), QByteArray("mine"));
  EXPECT_EQ(QFileInfo(target).permissions() & QFileDevice::Permissions(0x7077), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);

  // The planted link belongs to somebody else: only root can make it so here.
  if (::lchown(QFile::encodeName(planted).constData(), 65534, 65534) != 0)
    GTEST_SKIP() << "cannot give the link to another user (needs root); the refusal was not tried";
  try {
    writeFileAtomically(planted, QByteArray("theirs"));
    ADD_FAILURE() << "wrote through a link of another user";
  } catch (const RunError& e) {
    EXPECT_TRUE(e.detail().contains(QStringLiteral("will not follow a link owned by another user in a shared folder")))
        << e.detail().toStdString();
  }
  t.close();
  ASSERT_TRUE(t.open(QIODevice::ReadOnly));
  EXPECT_EQ(t.readAll(), QByteArray("mine"));
}

}  // namespace zr
