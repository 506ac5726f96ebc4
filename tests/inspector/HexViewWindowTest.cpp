// The real hex view window and fill dialog, offscreen: names and captions, a
// byte typed into the grid and a fill reaching the image, and closing that
// only hides until the program is leaving.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "InspectorFixture.h"
#include "inspector/ui/FillDialog.h"
#include "inspector/ui/HexViewWindow.h"

namespace zr {
namespace {

template <class W>
W* named(QWidget& root, const char* name) {
  return root.findChild<W*>(QString::fromLatin1(name));
}

QLineEdit* openEditor(QTableView* grid) {
  for (auto* e : grid->viewport()->findChildren<QLineEdit*>())
    if (e->isVisible()) return e;
  return nullptr;
}

TEST_F(InspectorFixture, WindowShowsEditsFillsAndHidesUntilLeaving) {
  HexViewWindow w(*core, *view, *fill);
  EXPECT_EQ(w.objectName(), "frmMemDat");
  EXPECT_EQ(w.windowTitle(), "Memory Data");
  ASSERT_NE(named<QGroupBox>(w, "fraMemData"), nullptr);
  EXPECT_EQ(named<QGroupBox>(w, "fraMemData")->title(), "Memory Data");
  QTableView* grid = named<QTableView>(w, "vsfgGridMemDat");
  ASSERT_EQ(grid, w.grid());
  const std::pair<const char*, const char*> buttons[] = {
      {"cmdPartFill", "Part Fill"}, {"cmdFillGrid", "Fill Gird"}, {"cmdSetDefCol", "Set Def Color"}};
  for (const auto& [name, caption] : buttons) {
    ASSERT_NE(named<QPushButton>(w, name), nullptr) << name;
    EXPECT_EQ(named<QPushButton>(w, name)->text(), caption);
  }
  QAbstractItemModel* m = grid->model();
  EXPECT_EQ(m->rowCount(), 512);
  EXPECT_EQ(m->columnCount(), 17);
  EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "Addr");
  EXPECT_EQ(m->headerData(16, Qt::Horizontal).toString(), "F");
  EXPECT_EQ(m->index(511, 0).data().toString(), "1FF0H");

  w.setShown(true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  QTest::mouseClick(named<QPushButton>(w, "cmdFillGrid"), Qt::LeftButton);
  EXPECT_EQ(m->index(1, 1).data().toString(), FormatByteDat(img().at(0x0010)));

  // Type a byte into the cell of address 0x0200 (a settings byte no encoder rewrites).
  const QModelIndex cell = m->index(0x20, 1);
  grid->setCurrentIndex(cell);
  grid->edit(cell);
  QLineEdit* editor = openEditor(grid);
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "7f");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(img().at(0x0200), 0x7F);
  EXPECT_EQ(cell.data().toString(), "7F");
  EXPECT_TRUE(cell.data(Qt::ToolTipRole).toString().startsWith("地址为: 0x0200    二进制:01111111"));
  // More than a byte is refused: the image and the cell keep 7F.
  grid->edit(cell);
  editor = openEditor(grid);
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "1FFZ");  // the editor takes hexadecimal digits only
  EXPECT_EQ(editor->text(), "1FF");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(img().at(0x0200), 0x7F);
  EXPECT_EQ(cell.data().toString(), "7F");
  EXPECT_EQ(reports, std::vector<std::string>{"frmMemDat->GridDataTemp#6"});
  reports.clear();

  // A byte that changed under the view turns red at the next refresh.
  img().set(0x0211, img().at(0x0211) ^ 0xFF);
  QTest::mouseClick(named<QPushButton>(w, "cmdFillGrid"), Qt::LeftButton);
  // Red, darkened just enough to read on the white grid.
  const QColor changed = m->index(0x21, 2).data(Qt::ForegroundRole).value<QBrush>().color();
  EXPECT_EQ(changed.hue(), 0);
  EXPECT_GT(changed.red(), 200);
  EXPECT_EQ(changed.green(), 0);
  EXPECT_EQ(m->index(0x21, 3).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
  EXPECT_EQ(grid->currentIndex(), m->index(0x21, 2));
  QTest::mouseClick(named<QPushButton>(w, "cmdSetDefCol"), Qt::LeftButton);
  EXPECT_EQ(m->index(0x21, 2).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));

  // The fill dialog, driven through its boxes.
  FillDialog* d = w.ensureFillDialog();
  ASSERT_EQ(w.fillDialog(), d);
  EXPECT_EQ(d->objectName(), "frmPartFill");
  EXPECT_EQ(d->windowTitle(), "Part Fill");
  const std::pair<const char*, const char*> labels[] = {
      {"lblFillData", "Fill Data"}, {"lblStartAddr", "Start Addr"}, {"lblEndAddr", "End Addr"}};
  for (const auto& [name, caption] : labels) {
    ASSERT_NE(named<QLabel>(*d, name), nullptr) << name;
    EXPECT_EQ(named<QLabel>(*d, name)->text(), caption);
  }
  EXPECT_EQ(named<QLineEdit>(*d, "txtFillData")->text(), "FF");
  EXPECT_EQ(named<QLineEdit>(*d, "txtStartAddr")->text(), "0000");
  EXPECT_EQ(named<QLineEdit>(*d, "txtEndAddr")->text(), "1FFF");
  QComboBox* base = named<QComboBox>(*d, "cboFillData");
  ASSERT_EQ(base->count(), 3);
  EXPECT_EQ(base->itemText(0) + base->itemText(1) + base->itemText(2), "HDB");
  EXPECT_EQ(base->currentText(), "H");
  EXPECT_EQ(named<QPushButton>(*d, "cmdFillData")->text(), "Fill");

  d->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(d));
  named<QLineEdit>(*d, "txtStartAddr")->setText("0220");
  named<QLineEdit>(*d, "txtEndAddr")->setText("0223");
  named<QLineEdit>(*d, "txtFillData")->setText("12");
  base->setCurrentIndex(1);  // decimal
  QTest::mouseClick(named<QPushButton>(*d, "cmdFillData"), Qt::LeftButton);
  for (int a = 0x220; a <= 0x223; ++a) EXPECT_EQ(img().at(a), 12) << a;
  EXPECT_EQ(m->index(0x22, 1).data().toString(), "C");  // the fill's "00" pattern leaves a letter unpadded
  EXPECT_EQ(fill->FillStart, 0x220);
  EXPECT_EQ(fill->FillEnd, 0x223);

  // Closing hides both and keeps their contents ...
  EXPECT_FALSE(d->close());
  EXPECT_FALSE(d->isVisible());
  EXPECT_FALSE(w.close());
  EXPECT_FALSE(w.isVisible());
  w.setShown(true);
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(cell.data().toString(), "7F");
  EXPECT_EQ(named<QLineEdit>(*d, "txtEndAddr")->text(), "0223");
  w.setShown(false);
  EXPECT_FALSE(w.isVisible());

  // ... until the program is leaving.
  w.setShown(true);
  core->settings.Leaving = true;
  EXPECT_TRUE(w.close());
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(reports.empty()) << reports.front();
}

}  // namespace
}  // namespace zr

namespace zr {
namespace {

TEST_F(InspectorFixture, WindowOpensWithEveryByteColumnAndKeepsItsPlace) {
  {
    HexViewWindow w(*core, *view, *fill);
    w.setShown(true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTableView* grid = w.grid();
    const QFontMetrics fm(grid->font());
    EXPECT_GE(grid->columnWidth(0), fm.horizontalAdvance("0000H")) << "the address is cut";
    const QRect viewport = grid->viewport()->rect();
    const QRect lastByte = grid->visualRect(grid->model()->index(0, 16));
    EXPECT_TRUE(viewport.contains(lastByte)) << "column F is not in view";
    EXPECT_GE(grid->rowAt(viewport.bottom()), 15) << "fewer than sixteen rows in view";
    w.move(40, 30);
    w.resize(700, 500);
    w.setShown(false);
  }
  PrivateProfile ini(core->ini.path());
  const QString kept = ini.GetString("Setting", "MemDatWindow", "", 40);
  EXPECT_TRUE(kept.endsWith(",700,500")) << kept.toStdString();

  HexViewWindow again(*core, *view, *fill);
  again.setShown(true);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
  EXPECT_EQ(again.size(), QSize(700, 500));
  again.setShown(false);
}

}  // namespace
}  // namespace zr
