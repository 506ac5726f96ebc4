// The channel window under the mouse, offscreen: every cell of an empty and
// of a full grid is clicked, double-clicked and right-clicked, and the
// program neither crashes nor logs a failure.
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTableWidget>
#include <QTest>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "shell/ui/DesktopApp.h"
#include "support/ChannelWindowFixture.h"

namespace zr {
namespace {

// Qt's own complaints about the grid's cell editors, collected while a test runs.
QStringList editorWarnings;
QtMessageHandler previousHandler = nullptr;
void collectEditorWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QStringLiteral("Editor"), Qt::CaseInsensitive) ||
      message.contains(QStringLiteral("editing failed")))
    editorWarnings << message;
  if (previousHandler) previousHandler(type, context, message);
}

class ChannelWindowMouseTest : public testing::ChannelWindowFixture {
 protected:
  // The clicks below are placed for the full-size frame, larger than the
  // offscreen screen the first start fits the window into.
  void beforeShow() override { app->window().resize(1280, 800); }
  void SetUp() override {
    ChannelWindowFixture::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(app->core().log.reportCount(), 0);
    editorWarnings.clear();
    previousHandler = qInstallMessageHandler(collectEditorWarnings);
  }
  void TearDown() override {
    qInstallMessageHandler(previousHandler);
    EXPECT_TRUE(editorWarnings.isEmpty()) << editorWarnings.join("\n").toStdString();
    ChannelWindowFixture::TearDown();
  }

  QPoint centre(int row, int col) {
    return table()->visualRect(table()->model()->index(row - 1, col - 1)).center();
  }
  void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }

  // Left click, double click and right click on every cell; closes each menu again.
  void exerciseEveryCell() {
    QWidget* viewport = table()->viewport();
    for (int r = 1; r <= table()->rowCount(); ++r)
      for (int c = 1; c <= table()->columnCount(); ++c) {
        table()->scrollTo(table()->model()->index(r - 1, c - 1));
        const QPoint p = centre(r, c);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, p);
        settle();
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, p);
        settle();
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, p, viewport->mapToGlobal(p));
        QApplication::sendEvent(viewport, &menuEvent);
        settle();
        QMenu* menu = app->channelWindow().contextMenu();
        ASSERT_TRUE(menu->isVisible()) << r << "," << c;
        const bool channel = grid().text(r, 1).isEmpty() == false;
        EXPECT_EQ(menu->findChild<QAction*>("mnuDelOne")->isEnabled(), channel) << r << "," << c;
        menu->hide();
        settle();
        ASSERT_EQ(app->core().log.reportCount(), 0)
            << r << "," << c << ": " << app->core().log.lines().join("\n").toStdString();
      }
  }
};

TEST_F(ChannelWindowMouseTest, EveryCellOfAnEmptyGridTakesClicks) {
  exerciseEveryCell();
  for (int r = 1; r <= table()->rowCount(); ++r) EXPECT_EQ(grid().text(r, 1), "") << r;
}

TEST_F(ChannelWindowMouseTest, EveryCellOfAFullGridTakesClicks) {
  // Every channel in use; every third one without transmit frequency.
  for (int r = 1; r <= table()->rowCount(); ++r) {
    ASSERT_TRUE(grid().beforeEdit(r, 1));
    grid().GridChAfterEdit(r, 1, QStringLiteral("4%1.12500").arg(10 + r));
    if (r % 3 == 0) grid().GridChAfterEdit(r, 2, QString());
  }
  settle();
  exerciseEveryCell();
  for (int r = 1; r <= table()->rowCount(); ++r) EXPECT_FALSE(grid().text(r, 1).isEmpty()) << r;
}

TEST_F(ChannelWindowMouseTest, DoubleClickOnTheEncodeToneOfAChannelWithoutTransmitFillsIt) {
  grid().GridChAfterEdit(2, 1, QStringLiteral("446.52"));  // the start-up band is 400-520 MHz
  grid().GridChAfterEdit(2, 2, QString());
  settle();
  ASSERT_EQ(table()->item(1, 1)->text(), "");
  // The click sends the cursor to the transmit cell; the double click acts there.
  // (A real double click arrives as a click followed by the double click.)
  QSignalSpy doubleClicks(table(), &QTableWidget::cellDoubleClicked);
  QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, centre(2, 4));
  QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, centre(2, 4));
  settle();
  ASSERT_EQ(doubleClicks.size(), 1);
  EXPECT_EQ(app->core().ChTable.get(kRowTx, 2), 44652000);
  EXPECT_EQ(table()->item(1, 1)->text(), "446.52000");
  EXPECT_EQ(table()->item(1, 3)->text(), "None");
  EXPECT_EQ(app->core().log.reportCount(), 0);
}

// Clicks as the user makes them: through the window, so that a cell editor
// lying over the cell takes the second half of a double click.
TEST_F(ChannelWindowMouseTest, RealDoubleClicksStepOptionsAndCopyTheReceiveSide) {
  grid().GridChAfterEdit(1, 1, QStringLiteral("446.52"));
  grid().GridChAfterEdit(2, 1, QStringLiteral("446.52"));
  grid().GridChAfterEdit(2, 2, QString());
  settle();
  QWindow* window = app->window().windowHandle();
  auto doubleClick = [&](int row, int col) {
    const QPoint p = table()->viewport()->mapTo(&app->window(), centre(row, col));
    QTest::mouseClick(window, Qt::LeftButton, {}, p);
    settle();  // the click has opened the cell's editor
    QTest::mouseDClick(window, Qt::LeftButton, {}, p);
    settle();
  };
  auto openEditors = [&] {
    int n = 0;
    for (QWidget* w : table()->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (w->isVisible() && w != app->channelWindow().picker()) ++n;
    return n;
  };

  ASSERT_EQ(app->core().ChTable.get(8, 1), 0);  // busy-channel lockout "Off"
  doubleClick(1, 8);
  EXPECT_EQ(app->core().ChTable.get(8, 1), 1);
  EXPECT_EQ(table()->item(0, 7)->text(), "Carrier");
  EXPECT_EQ(openEditors(), 0);

  doubleClick(2, 2);
  EXPECT_EQ(app->core().ChTable.get(kRowTx, 2), 44652000);
  EXPECT_EQ(table()->item(1, 1)->text(), "446.52000");
  EXPECT_EQ(openEditors(), 0);

  // On an empty channel the double click leaves the receive cell open for typing.
  doubleClick(5, 6);
  EXPECT_EQ(openEditors(), 1);
  EXPECT_EQ(grid().cursorCol(), 1);
  EXPECT_EQ(app->core().log.reportCount(), 0);
}

}  // namespace
}  // namespace zr
