// The configuration file reader and writer: what a key reads as, and that a
// write changes only the one line it means to.
#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

#include "base/PrivateProfile.h"

namespace zr {
namespace {

class ProfileFile : public ::testing::Test {
 protected:
  QString path(const QString& name = QStringLiteral("kelvane.def")) const { return dir_.filePath(name); }

  void put(const QByteArray& bytes, const QString& name = QStringLiteral("kelvane.def")) const {
    QFile f(path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
  }

  QByteArray get(const QString& name = QStringLiteral("kelvane.def")) const {
    QFile f(path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }

  QTemporaryDir dir_;
};

// A file with most of what a hand-edited configuration holds.
const char kSample[] =
    "Orphan=before any section\n"
    "; a comment\n"
    "# another comment\n"
    "[Setting]\n"
    "DatNum=8191\n"
    "  Padded  = \t value with blanks \t \n"
    "TableMaxAddr=0123456789ABCDEFGHIJ\n"
    "Quoted=\"  spaced  \"\n"
    "HalfQuote=\"abc\n"
    "InnerQuote=a\"b\n"
    "Lone=\"\n"
    "Eq=a=b,c|\"d\"\n"
    "Empty=\n"
    "Cut=abc   def\n"
    "Chinese=中文设置\n"
    "3203=numeric key\n"
    "Größe=10\n"
    "AKeyLongerThanSixtyFourCharactersSoItIsNotFoldedOnTheStackButInAnArray=long\n"
    "Dup=first\n"
    "Dup=second\n"
    "NoEquals line\n"
    "\n"
    "[ chinfo ]\n"
    "3000=24\n"
    "[Setting]\n"
    "Later=in the second Setting section\n";

struct ReadCase {
  const char* section;
  const char* key;
  const char* def;
  int maxChars;
  const char* expected;
};

const ReadCase kReads[] = {
    {"Setting", "DatNum", "0", 14, "8191"},
    {"SETTING", "datnum", "0", 14, "8191"},                     // case-insensitive names
    {"Setting", "PADDED", "", 50, "value with blanks"},         // spaces and tabs trimmed
    {"Setting", "TableMaxAddr", "1FFF", 14, "0123456789ABCD"},  // cut to 14 characters
    {"Setting", "Quoted", "", 99, "spaced"},                    // quotes dropped, then trimmed
    {"Setting", "HalfQuote", "", 99, "\"abc"},
    {"Setting", "InnerQuote", "", 99, "a\"b"},
    {"Setting", "Lone", "", 99, "\""},
    {"Setting", "Eq", "", 99, "a=b,c|\"d\""},                   // everything after the first "="
    {"Setting", "Empty", "def", 99, ""},                        // present but empty: not the default
    {"Setting", "Cut", "", 4, "abc"},                           // cut, then trimmed again
    {"Setting", "Cut", "", 0, ""},
    {"Setting", "Chinese", "", 99, "中文设置"},
    {"Setting", "Chinese", "", 2, "中文"},                      // characters, not bytes
    {"Setting", "3203", "", 99, "numeric key"},
    {" Setting\t", "\tdatnum ", "0", 14, "8191"},              // names looked up trimmed
    {"Setting", "GRößE", "", 9, "10"},                          // only ASCII letters fold
    {"Setting", "GRÖßE", "def", 9, "def"},
    {"Setting", "akeylongerthansixtyfourcharacterssoitisnotfoldedonthestackbutinanarray", "", 9, "long"},
    {"Setting", "Dup", "", 99, "first"},                        // first key wins
    {"Setting", "Later", "def", 99, "def"},                     // first section wins
    {"Setting", "NoEquals line", "def", 99, "def"},
    {"Setting", "Missing", "def", 99, "def"},
    {"Missing", "DatNum", "def", 99, "def"},
    {"ChInfo", "3000", "16", 4, "24"},                          // blanks inside the brackets
    {"", "Orphan", "def", 99, "def"},
};

TEST_F(ProfileFile, ReadsTheSameWithLfCrlfAndBom) {
  QByteArray lf(kSample);
  QByteArray crlf = lf;
  crlf.replace("\n", "\r\n");
  const struct {
    const char* name;
    QByteArray bytes;
  } variants[] = {{"LF", lf}, {"CRLF", crlf}, {"BOM+CRLF", "\xEF\xBB\xBF" + crlf}, {"BOM+LF", "\xEF\xBB\xBF" + lf}};

  for (const auto& v : variants) {
    put(v.bytes);
    const PrivateProfile ini(path());
    for (const ReadCase& c : kReads) {
      EXPECT_EQ(ini.GetString(QString::fromUtf8(c.section), QString::fromUtf8(c.key), QString::fromUtf8(c.def),
                              c.maxChars),
                QString::fromUtf8(c.expected))
          << v.name << " [" << c.section << "] " << c.key;
      // A section read in one go answers alike, numeric keys also by number.
      const PrivateProfile::Section keys = ini.section(QString::fromUtf8(c.section));
      EXPECT_EQ(keys.GetString(QString::fromUtf8(c.key), QString::fromUtf8(c.def), c.maxChars),
                QString::fromUtf8(c.expected))
          << v.name << " [" << c.section << "] " << c.key << " in one go";
      bool numeric = false;
      const int number = QByteArray(c.key).toInt(&numeric);
      if (numeric)
        EXPECT_EQ(keys.GetString(number, QString::fromUtf8(c.def), c.maxChars), QString::fromUtf8(c.expected))
            << v.name << " [" << c.section << "] " << c.key << " by number";
    }
  }
}

TEST_F(ProfileFile, MissingFileOrPathGivesTheDefault) {
  EXPECT_EQ(PrivateProfile(path()).GetString("Setting", "COM", "1", 14), "1");
  EXPECT_EQ(PrivateProfile().GetString("Setting", "COM", "1", 14), "1");
  put("[Setting]\nCOM=4\n");
  EXPECT_EQ(PrivateProfile(path()).GetString("Setting", "COM", "1", 14), "4");
  ASSERT_TRUE(QFile::remove(path()));
  EXPECT_EQ(PrivateProfile(path()).GetString("Setting", "COM", "1", 14), "1");  // not a stale cache
}

struct WriteCase {
  const char* name;
  std::optional<QByteArray> before;  // nullopt: no file
  const char* section;
  const char* key;
  const char* value;
  QByteArray after;
};

const WriteCase kWrites[] = {
    {"rewrites one line, keeps every other byte",
     QByteArray("; settings\r\n[Setting]\r\nCOM=1\r\n  Language = 3 ; old\r\n\r\n[ChInfo]\r\n3000=16\r\n"),
     "Setting", "language", "1",
     QByteArray("; settings\r\n[Setting]\r\nCOM=1\r\n  Language=1\r\n\r\n[ChInfo]\r\n3000=16\r\n")},
    {"keeps the key's spelling and a missing final line break",
     QByteArray("[Setting]\nChannelLock=ShowNo\n[Other]\nx=1"), "SETTING", "channellock", "ShowLock",
     QByteArray("[Setting]\nChannelLock=ShowLock\n[Other]\nx=1")},
    {"rewrites the last line without a line break",
     QByteArray("[A]\r\nx=1"), "A", "x", "22", QByteArray("[A]\r\nx=22")},
    {"inserts a missing key after the section's last key line",
     QByteArray("[A]\nx=1\n; note\n\n[B]\ny=2\n"), "A", "z", "3",
     QByteArray("[A]\nx=1\nz=3\n; note\n\n[B]\ny=2\n")},
    {"inserts with the file's CRLF",
     QByteArray("[A]\r\nx=1\r\n[B]\r\n"), "A", "z", "3", QByteArray("[A]\r\nx=1\r\nz=3\r\n[B]\r\n")},
    {"inserts into a section without keys",
     QByteArray("[A]\n[B]\ny=2\n"), "a", "k", "v", QByteArray("[A]\nk=v\n[B]\ny=2\n")},
    {"inserts after a last line without a line break",
     QByteArray("[A]\r\nx=1"), "A", "z", "3", QByteArray("[A]\r\nx=1\r\nz=3")},
    {"appends a missing section after a line break",
     QByteArray("[A]\nx=1"), "New", "k", "v", QByteArray("[A]\nx=1\n[New]\nk=v\n")},
    {"appends a missing section to a CRLF file",
     QByteArray("[A]\r\nx=1\r\n"), "New", "k", "v", QByteArray("[A]\r\nx=1\r\n[New]\r\nk=v\r\n")},
    {"keeps a BOM",
     QByteArray("\xEF\xBB\xBF[A]\r\nx=1\r\n"), "A", "x", "2", QByteArray("\xEF\xBB\xBF[A]\r\nx=2\r\n")},
    {"writes into the first of two equal sections",
     QByteArray("[A]\nx=1\n[B]\n[A]\ny=1\n"), "A", "y", "2", QByteArray("[A]\nx=1\ny=2\n[B]\n[A]\ny=1\n")},
    {"fills an empty file", QByteArray(""), "Setting", "FirRun", "0", QByteArray("[Setting]\r\nFirRun=0\r\n")},
    {"creates a missing file", std::nullopt, "Setting", "FirRun", "0", QByteArray("[Setting]\r\nFirRun=0\r\n")},
};

TEST_F(ProfileFile, WriteChangesOnlyItsLine) {
  for (const WriteCase& c : kWrites) {
    QFile::remove(path());
    if (c.before) put(*c.before);
    const PrivateProfile ini(path());
    EXPECT_TRUE(ini.WriteString(QString::fromUtf8(c.section), QString::fromUtf8(c.key), QString::fromUtf8(c.value)))
        << c.name;
    EXPECT_EQ(get(), c.after) << c.name;
    EXPECT_EQ(ini.GetString(QString::fromUtf8(c.section), QString::fromUtf8(c.key), "<default>", 99),
              QString::fromUtf8(c.value))
        << c.name;
  }
}

TEST_F(ProfileFile, ValuesRoundTripExactly) {
  const PrivateProfile ini(path());
  const QString values[] = {"a=b=c", "1,2,3", "say \"hi\"", "\"unbalanced", "x|y|z",
                            "中文|繁體|English", "*EndOfThisItem*", ""};
  for (int i = 0; i < static_cast<int>(std::size(values)); ++i)
    ASSERT_TRUE(ini.WriteString("ChInfo", QString::number(3200 + i), values[i]));
  for (int i = 0; i < static_cast<int>(std::size(values)); ++i)
    EXPECT_EQ(ini.GetString("ChInfo", QString::number(3200 + i), "<default>", 99), values[i]) << i;
}

TEST_F(ProfileFile, ReadsFollowWritesAndOutsideEdits) {
  put("[Setting]\nCOM=1\n");
  const PrivateProfile ini(path());
  EXPECT_EQ(ini.GetString("Setting", "COM", "0", 14), "1");
  // Same size, within the same moment: the cached "1" must not survive.
  ASSERT_TRUE(ini.WriteString("Setting", "COM", "2"));
  EXPECT_EQ(ini.GetString("Setting", "COM", "0", 14), "2");
  // A second object on the same file sees it too.
  ASSERT_TRUE(PrivateProfile(path()).WriteString("Setting", "COM", "3"));
  EXPECT_EQ(ini.GetString("Setting", "COM", "0", 14), "3");
  put("[Setting]\nCOM=12\n");  // edited by someone else
  EXPECT_EQ(ini.GetString("Setting", "COM", "0", 14), "12");
}

// Another program rewrites the file in place to the same size and puts its
// modification time back (as a copy that keeps times does): the read after
// it still sees the new value, however soon it comes.
TEST_F(ProfileFile, AnInPlaceRewriteKeepingSizeAndTimeIsSeen) {
  put("[Setting]\nCOM=1\n");
  const PrivateProfile ini(path());
  EXPECT_EQ(ini.GetString("Setting", "COM", "0", 14), "1");
  const QDateTime modified = QFileInfo(path()).lastModified();
  for (const char* value : {"2", "3"}) {
    put(QByteArray("[Setting]\nCOM=") + value + "\n");
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.setFileTime(modified, QFileDevice::FileModificationTime));
    f.close();
    EXPECT_EQ(ini.GetString("Setting", "COM", "0", 14), value);
  }
}

// While a snapshot lives, reads answer from one version of the file: an
// outside edit shows after it ends, a write of our own at once.
TEST_F(ProfileFile, ASnapshotReadsOneVersionAndFollowsOwnWrites) {
  put("[Setting]\nCOM=1\nDatNum=8191\n");
  const PrivateProfile ini(path());
  {
    const PrivateProfile::Snapshot snapshot(ini);
    EXPECT_EQ(ini.GetString("Setting", "COM", "0", 14), "1");
    put("[Setting]\nCOM=7\nDatNum=1023\n");
    EXPECT_EQ(ini.GetString("Setting", "DatNum", "0", 14), "8191");
    EXPECT_EQ(PrivateProfile(path()).GetString("Setting", "COM", "0", 14), "1");
    ASSERT_TRUE(PrivateProfile(path()).WriteString("Setting", "COM", "2"));
    EXPECT_EQ(ini.GetString("Setting", "COM", "0", 14), "2");
    EXPECT_EQ(ini.GetString("Setting", "DatNum", "0", 14), "1023");
    put("[Setting]\nCOM=3\nDatNum=1023\n");
    EXPECT_EQ(ini.GetString("Setting", "COM", "0", 14), "2");
  }
  EXPECT_EQ(ini.GetString("Setting", "COM", "0", 14), "3");
}

TEST_F(ProfileFile, RefusedWritesLeaveTheFileAlone) {
  const QByteArray before("[Setting]\r\nCOM=1\r\n");
  put(before);
  const PrivateProfile ini(path());
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } refused[] = {
      {"Setting", "COM", "1\r\nLanguage=1"},  // would add a key
      {"Setting", "COM", "1\n[Other]"},
      {"Setting", "A=B", "1"},                // could not be read back
      {"Setting", "", "1"},
      {"", "COM", "1"},
      {"Set]ting", "COM", "1"},
  };
  for (const auto& r : refused) {
    EXPECT_FALSE(ini.WriteString(r.section, r.key, r.value)) << r.section << "/" << r.key;
    EXPECT_EQ(get(), before);
  }
  EXPECT_FALSE(PrivateProfile(dir_.filePath("no/such/folder/kelvane.def")).WriteString("Setting", "COM", "1"));
  EXPECT_FALSE(QFile::exists(dir_.filePath("no/such/folder/kelvane.def")));
  // A folder in the file's place can be neither read nor replaced.
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.def"));
  EXPECT_FALSE(PrivateProfile(path("folder.def")).WriteString("Setting", "COM", "1"));
  EXPECT_EQ(PrivateProfile(path("folder.def")).GetString("Setting", "COM", "def", 14), "def");
}

}  // namespace
}  // namespace zr
