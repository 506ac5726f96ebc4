// Where the program's files live: portable beside the program, or installed
// with the user's own configuration and data folders; and a core started in
// an installed tree in a temporary folder.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#include "shell/StartupSteps.h"
#include "data/Core.h"

namespace zr {
namespace {

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(data);
}

// A temporary root with an install tree (prefix/bin, prefix/share/zr417cps
// with the shipped files) and a home whose XDG folders are set for the test.
class AppPathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) saved.emplace_back(name, qgetenv(name));
    qputenv("HOME", home().toUtf8());
    qputenv("XDG_CONFIG_HOME", path("home/config").toUtf8());
    qputenv("XDG_DATA_HOME", path("home/data").toUtf8());
    QDir().mkpath(home());
  }
  void TearDown() override {
    for (const auto& [name, value] : saved) {
      if (value.isNull()) qunsetenv(name);
      else qputenv(name, value);
    }
  }
  QString path(const QString& rel) const { return root.filePath(rel); }
  QString home() const { return path("home"); }
  QString bin() const { return path("prefix/bin"); }
  QString share() const { return path("prefix/share/zr417cps"); }
  void makeInstallTree(const QByteArray& config = "[Setting]\nFirRun=0\nDatNum=8191\n") {
    QDir().mkpath(bin());
    writeFile(QDir(share()).filePath(kConfigFile), config);
    for (const char* name : {"dhcpqec.def", "DefRadioSet_VHF.def", "DefRadioSet_UHF.def"})
      ASSERT_TRUE(QFile::copy(QStringLiteral(ZR_BIN_DIR "/") + name, QDir(share()).filePath(name)));
  }

  QTemporaryDir root;
  std::vector<std::pair<const char*, QByteArray>> saved;
};

TEST_F(AppPathsTest, WritableFolderOutsideAnInstallTreeKeepsEverythingBesideTheProgram) {
  const QString program = path("portable");
  QDir().mkpath(program);
  const AppPaths p = AppPaths::forProgram(program);
  EXPECT_TRUE(p.portable);
  EXPECT_EQ(p.configFile, QDir(program).filePath("kelvane.def"));
  EXPECT_EQ(p.shippedConfigFile, p.configFile);
  EXPECT_EQ(p.sharedFile("dhcpqec.def"), QDir(program).filePath("dhcpqec.def"));
  EXPECT_EQ(p.dataDir, QDir(program).filePath("Data"));
  EXPECT_EQ(p.backupDir, QDir(program).filePath("Backups"));
  EXPECT_EQ(p.provideConfigFile(), QString());
  EXPECT_FALSE(QFile::exists(path("home/config/zr417cps")));
}

TEST_F(AppPathsTest, BinFolderOfAnInstallTreeUsesTheSharedAndTheUsersFolders) {
  makeInstallTree();
  // Even a writable bin/ (root in /usr/bin) gets no files of ours.
  const AppPaths p = AppPaths::forProgram(bin());
  EXPECT_FALSE(p.portable);
  EXPECT_EQ(QDir(p.sharedDataDir).canonicalPath(), QDir(share()).canonicalPath());
  EXPECT_EQ(p.configFile, path("home/config/zr417cps/kelvane.def"));
  EXPECT_EQ(p.backupDir, path("home/data/zr417cps/Backups"));
  // No documents folder in this home: data files stay with our data.
  EXPECT_EQ(p.dataDir, path("home/data/zr417cps/Data"));
}

TEST_F(AppPathsTest, ReadOnlyProgramFolderIsInstalledModeWithTheShippedFilesBesideIt) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes to any folder; the install tree test covers a non-root user";
  const QString program = path("readonly");
  QDir().mkpath(program);
  QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
  const AppPaths p = AppPaths::forProgram(program);
  QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_FALSE(p.portable);
  EXPECT_EQ(p.sharedDataDir, program);
  EXPECT_EQ(p.configFile, path("home/config/zr417cps/kelvane.def"));
}

TEST_F(AppPathsTest, DataFilesGoToTheDocumentsFolderWhenThereIsOne) {
  UserFolders user{path("home/config"), path("home/data"), path("home/Documents")};
  EXPECT_EQ(AppPaths::installedAt(bin(), share(), user).dataDir, path("home/data/zr417cps/Data"));
  QDir().mkpath(user.documents);
  EXPECT_EQ(AppPaths::installedAt(bin(), share(), user).dataDir, path("home/Documents/ZR-417"));
}

TEST_F(AppPathsTest, UsersConfigurationStartsAsACopyAndIsNeverReplaced) {
  makeInstallTree("[Setting]\nCOM=4\n");
  const AppPaths p = AppPaths::forProgram(bin());
  EXPECT_EQ(p.provideConfigFile(), QString());
  EXPECT_EQ(readFile(p.configFile), "[Setting]\nCOM=4\n");
  EXPECT_TRUE(QFileInfo(p.configFile).isWritable());

  writeFile(p.configFile, "[Setting]\nCOM=7\n");
  EXPECT_EQ(p.provideConfigFile(), QString());
  EXPECT_EQ(readFile(p.configFile), "[Setting]\nCOM=7\n");
}

TEST_F(AppPathsTest, ConfigurationFolderThatCannotBeMadeIsExplained) {
  makeInstallTree();
  writeFile(path("home/config"), "a file where the folder should be");
  const AppPaths p = AppPaths::forProgram(bin());
  const QString why = p.provideConfigFile();
  EXPECT_TRUE(why.contains(path("home/config/zr417cps"))) << why.toStdString();
  EXPECT_FALSE(QFile::exists(p.configFile));
}

TEST_F(AppPathsTest, CoreInAnInstallTreeReadsSharedFilesAndWritesOnlyInTheHome) {
  makeInstallTree();
  ScriptedPrompts prompts;
  Core core(bin(), QString(), prompts, QStringLiteral("test"));
  EXPECT_EQ(core.ini.path(), path("home/config/zr417cps/kelvane.def"));
  EXPECT_TRUE(QFile::exists(core.ini.path()));
  startHeadless(core);
  EXPECT_EQ(core.log.reportCount(), 0);

  // The default image came from share/: the same bytes as a New from the shipped file.
  const QByteArray shipped = readFile(QDir(share()).filePath("dhcpqec.def"));
  ASSERT_GE(shipped.size(), 6);
  for (int a = 0; a < 6; ++a) EXPECT_EQ(core.image.DefTempArray.at(a), static_cast<uint8_t>(shipped[a])) << a;
  // The data folder was made in the user's folders and names the current file.
  EXPECT_TRUE(QFileInfo(path("home/data/zr417cps/Data")).isDir());
  EXPECT_EQ(core.image.CurFilePath, path("home/data/zr417cps/Data/Untitled.dat"));
  EXPECT_EQ(QDir(bin()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

  // Settings written now land in the user's copy.
  EXPECT_TRUE(core.ini.WriteString(kSettingSection, QStringLiteral("COM"), QStringLiteral("5")));
  EXPECT_TRUE(readFile(core.ini.path()).contains("COM=5"));
  EXPECT_FALSE(readFile(QDir(share()).filePath(kConfigFile)).contains("COM=5"));
}

TEST_F(AppPathsTest, ConfigurationWriteFailuresAreReportedOnce) {
  makeInstallTree();
  writeFile(path("home/config"), "a file where the folder should be");
  ScriptedPrompts prompts;
  Core core(bin(), QString(), prompts, QStringLiteral("test"));
  // The copy could not be made: one report at start, naming the file.
  EXPECT_TRUE(core.configReport.reported());
  EXPECT_TRUE(core.configReport.message().contains(core.ini.path()));
  EXPECT_EQ(core.log.reportCount(), 1);
  EXPECT_EQ(core.log.lastTag(), ConfigWriteReport::kTag);
  EXPECT_EQ(core.log.lastCode(), kErrPathFileAccess);
  // Every later write fails too, and says so to its caller, but the log stays quiet.
  EXPECT_FALSE(core.ini.WriteString(kSettingSection, QStringLiteral("COM"), QStringLiteral("5")));
  EXPECT_FALSE(core.ini.WriteString(kSettingSection, QStringLiteral("ChannelLock"), QStringLiteral("ShowLock")));
  EXPECT_EQ(core.log.reportCount(), 1);
}

TEST_F(AppPathsTest, FirstWriteFailureOfAWorkingConfigurationIsReported) {
  ScriptedPrompts prompts;
  const QString config = path("portable/kelvane.def");
  writeFile(config, "[Setting]\nFirRun=0\n");
  Core core(path("portable"), config, prompts, QStringLiteral("test"));
  EXPECT_FALSE(core.configReport.reported());
  EXPECT_TRUE(core.ini.WriteString(kSettingSection, QStringLiteral("COM"), QStringLiteral("2")));
  // A refused key name is not a file failure.
  EXPECT_FALSE(core.ini.WriteString(kSettingSection, QStringLiteral("a=b"), QStringLiteral("2")));
  EXPECT_FALSE(core.configReport.reported());

  // The file turns into something that cannot be read or replaced.
  ASSERT_TRUE(QFile::remove(config));
  ASSERT_TRUE(QDir().mkpath(config));
  QStringList signalled;
  QObject::connect(&core.configReport, &ConfigWriteReport::failed, [&](const QString& m) { signalled << m; });
  EXPECT_FALSE(core.ini.WriteString(kSettingSection, QStringLiteral("COM"), QStringLiteral("3")));
  EXPECT_FALSE(core.ini.WriteString(kSettingSection, QStringLiteral("COM"), QStringLiteral("4")));
  ASSERT_EQ(signalled.size(), 1);
  EXPECT_TRUE(signalled[0].contains(config));
  EXPECT_EQ(core.log.reportCount(), 1);
}

}  // namespace
}  // namespace zr
