// Readable colours, recent files, kept places and the write question's
// answer, as the desktop program keeps them in the configuration file.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "base/Contrast.h"
#include "shell/DesktopPlaces.h"
#include "base/PrivateProfile.h"

namespace zr {
namespace {

TEST(ContrastTest, EveryConfiguredColourReadsOnLightAndDarkPalettes) {
  struct Palette { const char* name; uint32_t base, window, text; } palettes[] = {
      {"light", 0xFFFFFF, 0xEFEFEF, 0x000000}, {"dark", 0x2A2A2A, 0x353535, 0xFFFFFF}};
  // Text colour as configured, and the background it is drawn on (0: the palette's base/window).
  struct Pair { const char* what; uint32_t fg; uint32_t bg; bool onWindow; } pairs[] = {
      {"DefColor on the grid", fromColourNumber(0), 0, false},
      {"OverColor on the grid", fromColourNumber(255), 0, false},
      {"DefColor on the current row", fromColourNumber(0), 0xC279F0, false},
      {"OverColor on the current row", fromColourNumber(255), 0xC279F0, false},
      {"hex view black", fromColourNumber(0), 0, false},
      {"hex view changed-byte red", fromColourNumber(255), 0, false},
      {"failure red in the status line", 0xFF0000, 0, true},
  };
  for (const Palette& p : palettes)
    for (const Pair& c : pairs) {
      const uint32_t bg = c.bg ? c.bg : (c.onWindow ? p.window : p.base);
      const uint32_t shown = readableOn(c.fg, bg, p.text);
      EXPECT_GE(contrastRatio(shown, bg), kMinTextContrast) << p.name << ": " << c.what;
      // A readable configured colour is kept as it is.
      if (contrastRatio(c.fg, bg) >= kMinTextContrast) {
        EXPECT_EQ(shown, c.fg) << p.name << ": " << c.what;
      }
      // Red stays a red, so out-of-band and changed bytes still stand out.
      if (c.fg == 0xFF0000) {
        EXPECT_GT((shown >> 16) & 0xFF, ((shown >> 8) & 0xFF) + 40) << p.name << ": " << c.what;
      }
    }
  // Plain black text on a dark background gives way to the palette's text colour.
  EXPECT_EQ(readableOn(0x000000, 0x2A2A2A, 0xFFFFFF), 0xFFFFFFu);
  EXPECT_NEAR(contrastRatio(0x000000, 0xFFFFFF), 21.0, 0.01);
}

class PlacesTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  PrivateProfile ini{dir.filePath("kelvane.def")};
};

TEST_F(PlacesTest, RecentFilesKeepTheLastEightNewestFirstWithoutDuplicates) {
  RecentFiles recent(ini);
  for (int k = 1; k <= 10; ++k) recent.add(dir.filePath(QStringLiteral("f%1.dat").arg(k)));
  recent.add(dir.filePath("sub/../f9.dat"));  // the same file by another name
  const QStringList p = recent.paths();
  ASSERT_EQ(p.size(), 8);
  EXPECT_EQ(p.first(), dir.filePath("f9.dat"));
  EXPECT_EQ(p[1], dir.filePath("f10.dat"));
  EXPECT_EQ(p.last(), dir.filePath("f3.dat"));
  EXPECT_EQ(p.count(dir.filePath("f9.dat")), 1);
  // Kept in the file: a fresh reader sees the same list.
  EXPECT_EQ(RecentFiles(PrivateProfile(dir.filePath("kelvane.def"))).paths(), p);
}

TEST_F(PlacesTest, KeptPlacesComeBackInsideTheScreen) {
  const QRect screen(0, 0, 1600, 1000);
  struct Case { QRect wanted; QRect expected; } cases[] = {
      {{100, 80, 1000, 700}, {100, 80, 1000, 700}},     // fits: unchanged
      {{1200, 900, 1000, 700}, {600, 300, 1000, 700}},  // hangs off: moved in
      {{-500, -40, 800, 600}, {0, 0, 800, 600}},
      {{0, 0, 2560, 1600}, {0, 0, 1600, 1000}},         // too large: cut to the screen
  };
  for (const Case& c : cases) EXPECT_EQ(fitIntoScreen(c.wanted, screen), c.expected) << c.wanted.x();
  // The first start on a scaled small screen fits inside it.
  EXPECT_TRUE(QRect(0, 0, 800, 500).contains(firstStartPlace(QSize(1280, 800), QRect(0, 0, 800, 500))));

  WindowPlace kept;
  kept.geometry = QRect(100, 80, 1000, 700);
  kept.maximized = true;
  kept.state = QByteArray("\x00\x01state", 7);
  ASSERT_TRUE(kept.store(ini));
  const WindowPlace back = WindowPlace::load(ini);
  EXPECT_EQ(back.geometry, kept.geometry);
  EXPECT_TRUE(back.maximized);
  EXPECT_EQ(back.state, kept.state);
}

TEST_F(PlacesTest, DialogsStartInTheLastFolderUnlessAFileIsOpen) {
  QDir(dir.path()).mkpath("last");
  QFile f(dir.filePath("open.dat"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  storeDialogFolder(ini, dir.filePath("last/x.dat"));
  EXPECT_EQ(lastDialogFolder(ini), dir.filePath("last"));
  const QString untitled = dir.filePath("Data/Untitled.dat");  // not saved yet
  EXPECT_EQ(dialogStartFolder(untitled, lastDialogFolder(ini)), dir.filePath("last"));
  EXPECT_EQ(dialogStartFolder(dir.filePath("open.dat"), lastDialogFolder(ini)), dir.path());
  // A remembered folder that is gone is not used.
  EXPECT_EQ(dialogStartFolder(untitled, dir.filePath("gone")), dir.filePath("Data"));
}

}  // namespace
}  // namespace zr
