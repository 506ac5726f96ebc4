// Every window, page and dialog the desktop program opens, walked the way a
// screen reader walks it: a control that takes the focus without a name a
// person understands fails the test.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "editors/ui/CustomFreDialog.h"
#include "editors/ui/InputCodeDialog.h"
#include "editors/ui/PttIdPauseDialog.h"
#include "editors/ui/SettingsPages.h"
#include "editors/ui/VolumeDialog.h"
#include "editors/ui/AutoInputWindow.h"
#include "inspector/ui/FillDialog.h"
#include "inspector/ui/HexViewWindow.h"
#include "link/FakeSerialLibrary.h"
#include "link/PortAccess.h"
#include "link/PortMap.h"
#include "link/ScriptEngine.h"
#include "link/Waiters.h"
#include "link/ui/CommunicationWindow.h"
#include "link/ui/PortDialog.h"
#include "shell/ui/InfoWindows.h"
#include "shell/ui/QtPrompts.h"
#include "support/Accessibility.h"
#include "support/DesktopFixture.h"

namespace zr {
namespace {

using testing::accessibleName;
using testing::reachable;
using testing::unnamedControls;

std::string listed(const QStringList& controls) { return controls.join(QStringLiteral("; ")).toStdString(); }

// What a screen reader hears as a list's value.
QString valueOf(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  return iface ? iface->text(QAccessible::Value) : QStringLiteral("<no interface>");
}

// The entry the pop-up list of a list marks as selected, asked as a reader
// asks (Orca takes a list's value from there), or -1.
int selectedInPopup(QWidget* box) {
  QAccessibleInterface* popup = QAccessible::queryAccessibleInterface(box)->child(0);
  int selected = -1, count = 0;
  for (int i = 0; popup && i < popup->childCount(); ++i)
    if (QAccessibleInterface* entry = popup->child(i); entry && entry->state().selected) {
      selected = i;
      ++count;
    }
  return count == 1 ? selected : -1;
}

// The controls without a name of the modal window that `open` opens (and
// that is then closed), or why there were none to look at.
QStringList unnamedInModal(const std::function<void()>& open, const char* className) {
  QStringList unnamed{QStringLiteral("nothing opened")};
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    if (!box || !box->inherits(className)) {
      unnamed = QStringList{QStringLiteral("no %1 but %2").arg(
          QString::fromLatin1(className), QString::fromLatin1(box ? box->metaObject()->className() : "nothing"))};
    } else {
      unnamed = unnamedControls(box);
    }
    if (auto* d = qobject_cast<QDialog*>(box)) d->reject();
  });
  open();
  return unnamed;
}

class AccessibilityTest : public testing::DesktopFixture {
 protected:
  void SetUp() override {
    DesktopFixture::SetUp();
    app->window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window()));
  }
  SettingsPages* pages() { return app->window().findChild<SettingsPages*>(); }
  // Shows the service pages as the right code does.
  void showServicePages() {
    SettingsPages* p = pages();
    p->askCode = [] { return QStringLiteral("高级码"); };
    p->cmdMoreFunc_Click();
    ASSERT_TRUE(p->sstabMoreFunc()->isVisible());
  }
};

TEST_F(AccessibilityTest, MainWindowPagesAndServicePagesNameEveryControl) {
  showServicePages();
  app->core().log.show();  // the error log dock
  app->window().showNamed(QStringLiteral("frmTreeView"));
  EXPECT_EQ(listed(unnamedControls(&app->window())), "");

  // The other child windows of the frame take the channel window's place.
  for (const char* name : {"frmRadioInfo", "frmSysSet"}) {
    app->window().showNamed(QString::fromLatin1(name));
    QWidget* child = app->window().child(QString::fromLatin1(name));
    ASSERT_NE(child, nullptr) << name;
    EXPECT_EQ(listed(unnamedControls(child)), "") << name;
  }
}

TEST_F(AccessibilityTest, NamesSayWhichControlOfARowItIs) {
  showServicePages();
  auto name = [&](const char* object) {
    QWidget* w = app->window().findChild<QWidget*>(QString::fromLatin1(object));
    if (!w) return QStringLiteral("<missing %1>").arg(QString::fromLatin1(object));
    return accessibleName(w);
  };
  const std::pair<const char*, const char*> cases[] = {
      {"cboRadioId(2)", "Radio ID digit 3"},
      {"cboVoxCmpDat(7)", "VOX comparison value 7"},
      {"txtAutoMem(4)", "Auto memory 5"},
      {"txtInfo(1)", "Message line 1"},
      {"txtInfo(2)", "Message line 2"},
      {"cboTwoWayVolumeLevel", "Two Way Radio Vol Level"},
      {"cboPttIdPauseTime", "PTT ID Pause Time"},
      {"cmdMoreFunc", "More settings (service code)"},
      {"vsfgGridCh", "Channels"},
      {"treevMain", "Navigation"},
      {"listShowErr", "Error log"},
  };
  app->core().log.show();
  for (const auto& [object, expected] : cases) EXPECT_EQ(name(object), QString::fromUtf8(expected)) << object;
  // The system's own captions stay as they are on the screen.
  EXPECT_EQ(pages()->sstabMoreFunc()->tabText(2), QStringLiteral("两音"));
  EXPECT_EQ(pages()->cmdMoreFunc()->text(), QStringLiteral(">"));
}

TEST_F(AccessibilityTest, ListsSayTheirNameAndShowTheirEntryAsValue) {
  showServicePages();
  int lists = 0;
  for (QComboBox* box : app->window().findChildren<QComboBox*>()) {
    if (!(box->focusPolicy() & Qt::TabFocus) || !reachable(box, &app->window())) continue;
    ++lists;
    const std::string which = box->objectName().toStdString();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
    ASSERT_NE(iface, nullptr) << which;
    EXPECT_EQ(iface->role(), QAccessible::ComboBox) << which;
    EXPECT_EQ(valueOf(box), box->currentText()) << which;
    EXPECT_EQ(selectedInPopup(box), box->currentIndex()) << which;
    // A list whose name repeats the entry it shows tells nothing about itself.
    if (box->currentText() != box->accessibleName()) {
      EXPECT_NE(accessibleName(box), box->currentText()) << which;
    }
  }
  EXPECT_GT(lists, 40);

  // A list of a row keeps its name when its entry changes; the value and the
  // pop-up list's selection follow the entry.
  auto* digit = app->window().findChild<QComboBox*>(QStringLiteral("cboRadioId(2)"));
  ASSERT_NE(digit, nullptr);
  digit->setCurrentIndex((digit->currentIndex() + 1) % digit->count());
  EXPECT_EQ(accessibleName(digit), QStringLiteral("Radio ID digit 3"));
  EXPECT_EQ(valueOf(digit), digit->currentText());
  EXPECT_EQ(selectedInPopup(digit), digit->currentIndex());
}

TEST_F(AccessibilityTest, AListIsNamedByItsOwnNameOrItsLabelNeverByItsEntry) {
  QWidget page;
  auto* box = new QComboBox(&page);
  box->addItems({QStringLiteral("Off"), QStringLiteral("On")});
  page.show();
  EXPECT_EQ(accessibleName(box), QString());
  EXPECT_EQ(unnamedControls(&page).size(), 1) << "a list without name or label is found";
  auto* label = new QLabel(QStringLiteral("&Squelch:"), &page);
  label->setBuddy(box);
  EXPECT_EQ(accessibleName(box), QStringLiteral("Squelch:"));
  box->setAccessibleName(QStringLiteral("Squelch level"));
  EXPECT_EQ(accessibleName(box), QStringLiteral("Squelch level"));
  EXPECT_EQ(valueOf(box), QStringLiteral("Off"));
  box->setEditable(true);
  box->setEditText(QStringLiteral("typed"));
  EXPECT_EQ(valueOf(box), QStringLiteral("typed"));
}

TEST_F(AccessibilityTest, FileDialogsAndThePortChooserNameEveryControl) {
  // The Qt dialogs (the desktop may offer its own, which names its controls itself).
  const bool wasNative = !QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs);
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
  QtPrompts files;
  files.setParentWindow(&app->window());
  const QString filter = QStringLiteral("Data File(*.dat)|*.dat");
  EXPECT_EQ(listed(unnamedInModal([&] { files.openFileName(filter, dir.path()); }, "QFileDialog")), "") << "Open";
  EXPECT_EQ(listed(unnamedInModal([&] { files.saveFileName(filter, dir.path(), QStringLiteral("dat")); }, "QFileDialog")),
            "")
      << "Save As";
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, !wasNative);

  // The port chooser, on fake ports (its probe opens every port it lists),
  // with a cable's device beside its port.
  VirtualClock clock;
  VirtualWaiter waiter{clock};
  FakeSerialLibrary sio{&clock};
  ScriptEngine engine{sio, waiter, app->core().log, app->core().text};
  int comPort = 1;
  PortAccess access{sio, engine, waiter, app->core().log, app->core().ini, comPort};
  sio.port(2).opens = true;
  PortMap map([] {
    return std::vector<SerialDevice>{{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"), QString(), true}};
  });
  PortDialog ports(access, app->core().text, &map, QString(), &app->window());
  ports.show();
  EXPECT_EQ(listed(unnamedControls(&ports)), "") << "port chooser";
}

TEST_F(AccessibilityTest, WindowsAndDialogsNameEveryControl) {
  Core& core = app->core();
  MainWindow& w = app->window();
  HexViewWindow& hex = app->hexViewWindow();
  hex.setShown(true);
  EXPECT_EQ(listed(unnamedControls(&hex)), "") << "hex view";
  FillDialog* fill = hex.ensureFillDialog();
  fill->show();
  EXPECT_EQ(listed(unnamedControls(fill)), "") << "fill";
  fill->hide();

  AutoInputWindow& autoInput = app->autoInputWindow();
  autoInput.show();
  EXPECT_EQ(listed(unnamedControls(&autoInput)), "") << "automatic channel input";
  autoInput.hide();

  CommunicationWindow commun(app->transfer(), &w);
  commun.show();
  EXPECT_EQ(listed(unnamedControls(&commun)), "") << "communication";
  commun.hide();

  VolumeDialog volume(core, &w);
  PttIdPauseDialog pause(core, &w);
  CustomFreDialog custom(app->editors().band, core.text, core.log, &w);
  InputCodeDialog prompt(core.text.language(), &w);
  AboutDialog about(core, &w);
  for (QDialog* d : std::initializer_list<QDialog*>{&volume, &pause, &custom, &prompt, &about}) {
    d->show();
    EXPECT_EQ(listed(unnamedControls(d)), "") << d->objectName().toStdString();
    d->hide();
  }
}

TEST_F(AccessibilityTest, WriteQuestionNamesItsControls) {
  QStringList unnamed{QStringLiteral("not asked")};
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    unnamed = box ? unnamedControls(box) : QStringList{QStringLiteral("no question")};
    if (auto* mb = qobject_cast<QMessageBox*>(box)) mb->button(QMessageBox::No)->click();
  });
  bool dontAsk = false;
  QtPrompts dialogs;
  dialogs.setParentWindow(&app->window());
  dialogs.askYesNoDontAskAgain(QStringLiteral("Notice"), QStringLiteral("Write?"), &dontAsk);
  EXPECT_EQ(unnamed, QStringList());
}

}  // namespace
}  // namespace zr
