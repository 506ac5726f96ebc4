#pragma once
// The desktop program offscreen with its main window shown and active, as a
// user finds it before touching the channel grid.
#include <QCoreApplication>
#include <QTableWidget>
#include <QTest>

#include "editors/ChannelGrid.h"
#include "support/DesktopFixture.h"

namespace zr::testing {

class ChannelWindowFixture : public DesktopFixture {
 protected:
  void SetUp() override {
    DesktopFixture::SetUp();
    if (HasFatalFailure()) return;
    beforeShow();
    app->window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window()));
    app->window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app->window()));
  }
  // What a test needs done to the window before it is shown (a size, say).
  virtual void beforeShow() {}

  QTableWidget* table() { return app->channelWindow().table(); }
  ChannelGrid& grid() { return app->editors().grid; }
  // A left click on a cell of the grid (row and column from 1).
  void clickCell(int row, int col, Qt::KeyboardModifiers mods = {}) {
    const QRect r = table()->visualRect(table()->model()->index(row - 1, col - 1));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, mods, r.center());
    QCoreApplication::processEvents();
  }
};

}  // namespace zr::testing
