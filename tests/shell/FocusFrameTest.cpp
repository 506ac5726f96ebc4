// The keyboard focus is plain to see: a frame two pixels wide that stands out
// (3:1 at least) from what it is drawn on, on the channel grid's current cell,
// the hex view's and the tree's, and on the settings pages' tab bar, in a
// light and in a dark colour scheme.
#include <QAbstractItemView>
#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "base/Contrast.h"
#include "editors/ui/ChannelWindow.h"
#include "editors/ui/SettingsPages.h"
#include "inspector/ui/HexViewWindow.h"
#include "shell/ui/FocusFrameStyle.h"
#include "support/DesktopFixture.h"

namespace zr {
namespace {

uint32_t rgbAt(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

TEST(FocusFrameColour, HighlightWhereItStandsOutElseBlackOrWhite) {
  struct Case {
    const char* what;
    uint32_t highlight, background, frame;
  } cases[] = {
      {"light scheme, plain cell", 0x308CC6, 0xFFFFFF, 0x308CC6},
      {"light scheme, magenta selected cell", 0xFF00FF, 0xFF00FF, 0x000000},
      {"light highlight on magenta", 0x308CC6, 0xFF00FF, 0x000000},
      {"dark scheme, plain cell", 0x15539E, 0x2D2D2D, 0xFFFFFF},
      {"dark scheme, selected cell", 0x15539E, 0x15539E, 0xFFFFFF},
      {"dark scheme, bright highlight", 0x3DAEE9, 0x232629, 0x3DAEE9},
  };
  for (const Case& c : cases) {
    const uint32_t frame = focusFrameOn(c.highlight, c.background);
    EXPECT_EQ(frame, c.frame) << c.what;
    EXPECT_GE(contrastRatio(frame, c.background), kMinFrameContrast) << c.what;
  }
}

class FocusFrameTest : public testing::DesktopFixture {
 protected:
  void SetUp() override {
    DesktopFixture::SetUp();
    light = QApplication::palette();
    app->window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window()));
    app->window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app->window()));
  }
  void TearDown() override {
    QApplication::setPalette(light);
    DesktopFixture::TearDown();
  }
  static QPalette dark() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(0x2D, 0x2D, 0x2D));
    p.setColor(QPalette::AlternateBase, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(0x15, 0x53, 0x9E));
    p.setColor(QPalette::HighlightedText, Qt::white);
    return p;
  }
  static void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }
  // The left edge of the current cell of `view` and a point inside the cell
  // next to it, as drawn with and without the focus on the view.
  struct Edge {
    uint32_t focused, unfocused, inside;
  };
  Edge currentCellEdge(QAbstractItemView* view, QWidget* elsewhere) {
    view->setFocus();
    settle();
    const QRect cell = view->visualRect(view->currentIndex());
    EXPECT_TRUE(cell.isValid() && view->hasFocus());
    const int y = cell.center().y();
    const QImage withFocus = view->viewport()->grab().toImage();
    elsewhere->setFocus();
    settle();
    const QImage without = view->viewport()->grab().toImage();
    return {rgbAt(withFocus, cell.left(), y), rgbAt(without, cell.left(), y), rgbAt(withFocus, cell.left() + 3, y)};
  }

  QPalette light;
};

TEST_F(FocusFrameTest, TheCurrentCellOfEveryViewWithTheFocusIsFramed) {
  ASSERT_NE(qobject_cast<FocusFrameStyle*>(QApplication::style()), nullptr);
  QTableWidget* grid = app->channelWindow().table();
  auto* tree = app->window().findChild<QAbstractItemView*>(QStringLiteral("treevMain"));
  HexViewWindow& hex = app->hexViewWindow();
  hex.setShown(true);
  auto* bytes = hex.findChild<QAbstractItemView*>(QStringLiteral("vsfgGridMemDat"));
  ASSERT_TRUE(grid && tree && bytes);
  app->window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&app->window()));
  grid->setCurrentCell(2, 1);
  tree->setCurrentIndex(tree->model()->index(0, 0));

  for (const bool isDark : {false, true}) {
    QApplication::setPalette(isDark ? dark() : light);
    settle();
    for (auto [view, elsewhere] : {std::pair<QAbstractItemView*, QWidget*>{grid, tree}, {tree, grid}}) {
      const Edge e = currentCellEdge(view, elsewhere);
      const std::string what = view->objectName().toStdString() + (isDark ? " (dark)" : " (light)");
      EXPECT_GE(contrastRatio(e.focused, e.inside), kMinFrameContrast) << what;
      EXPECT_NE(e.focused, e.unfocused) << what << ": no frame without the focus";
    }
  }
  // The hex view, a window of its own.
  hex.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&hex));
  bytes->setCurrentIndex(bytes->model()->index(1, 2));
  auto* button = hex.findChild<QWidget*>(QStringLiteral("cmdPartFill"));
  ASSERT_NE(button, nullptr);
  const Edge e = currentCellEdge(bytes, button);
  EXPECT_GE(contrastRatio(e.focused, e.inside), kMinFrameContrast) << "hex view";
  EXPECT_NE(e.focused, e.unfocused) << "hex view";
}

TEST_F(FocusFrameTest, TheTabBarWithTheFocusFramesItsCurrentTab) {
  ASSERT_NE(qobject_cast<FocusFrameStyle*>(QApplication::style()), nullptr);
  auto* pages = app->window().findChild<SettingsPages*>();
  ASSERT_NE(pages, nullptr);
  QTabBar* bar = pages->sstabSetMode()->tabBar();
  for (const bool isDark : {false, true}) {
    QApplication::setPalette(isDark ? dark() : light);
    settle();
    const QRect tab = bar->tabRect(bar->currentIndex());
    const uint32_t frame = focusFrameOn(bar->palette().color(QPalette::Highlight).rgb(),
                                        bar->palette().color(QPalette::Window).rgb());
    const auto framePixels = [&](bool focused) {
      (focused ? static_cast<QWidget*>(bar) : app->channelWindow().table())->setFocus();
      settle();
      const QImage image = bar->grab().toImage();
      int n = 0;
      for (int y = tab.top(); y <= tab.bottom(); ++y)
        for (int x = tab.left(); x <= tab.right(); ++x) n += rgbAt(image, x, y) == frame;
      return n;
    };
    // Two pixels all round a caption: far more than the thin line of the default look.
    EXPECT_GT(framePixels(true) - framePixels(false), 4 * tab.height()) << (isDark ? "dark" : "light");
  }
}

}  // namespace
}  // namespace zr
