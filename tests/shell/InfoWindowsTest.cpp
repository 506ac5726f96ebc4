// The navigation tree, the radio information window with its hidden switch,
// and the about box, in the desktop program started offscreen.
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "shell/ui/DesktopApp.h"
#include "shell/ui/InfoWindows.h"
#include "support/DesktopFixture.h"

namespace zr {
namespace {

class InfoWindowsTest : public testing::DesktopFixture {
 protected:
  void SetUp() override {
    DesktopFixture::SetUp();
    app->window().show();
  }
  QWidget* active() {
    QMdiSubWindow* sub = app->window().mdiArea()->activeSubWindow();
    return sub ? sub->widget() : nullptr;
  }

};

TEST_F(InfoWindowsTest, TreeNodesShowTheirWindowsAndTheRootNothing) {
  MainWindow& w = app->window();
  w.action("mnuTreeView")->trigger();
  auto* tree = w.findChild<TreeViewWindow*>("frmTreeView");
  ASSERT_NE(tree, nullptr);
  QTreeWidgetItem* root = tree->tree()->topLevelItem(0);
  ASSERT_EQ(root->childCount(), 3);
  EXPECT_EQ(root->child(0)->text(0), "Radio Info");
  EXPECT_EQ(root->child(1)->text(0), "Channel Info");
  EXPECT_EQ(root->child(2)->text(0), "Optional Features");
  EXPECT_TRUE(root->isExpanded());

  QWidget* before = active();
  tree->nodeClick("Radio");
  EXPECT_EQ(active(), before);
  tree->nodeClick("RadioInfo");
  QWidget* info = w.child("frmRadioInfo");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->findChild<QLabel*>("lblModel")->text(), "Model Type");
  // Closing only hides it; the next click shows the same window.
  EXPECT_FALSE(info->close());
  EXPECT_TRUE(info->isHidden());
  tree->nodeClick("RadioInfo");
  EXPECT_EQ(w.child("frmRadioInfo"), info);
  EXPECT_FALSE(info->isHidden());
  tree->nodeClick("SysSet");
  EXPECT_NE(w.child("frmSysSet"), nullptr);
}

TEST_F(InfoWindowsTest, TheDebugSwitchOpensTheHexViewOnlyWhileOn) {
  int shown = 0;
  QObject counter;  // the count ends with the test
  QObject::connect(&app->window(), &MainWindow::hexViewWanted, &counter, [&](bool) { ++shown; });
  app->window().showNamed("frmRadioInfo");
  auto* info = qobject_cast<RadioInfoWindow*>(app->window().child("frmRadioInfo"));
  ASSERT_NE(info, nullptr);
  info->fraMain_DblClick();
  EXPECT_EQ(shown, 0);
  info->lblDebug_DblClick();
  info->fraMain_DblClick();
  EXPECT_EQ(shown, 1);
  info->lblDebug_DblClick();
  info->fraMain_DblClick();
  EXPECT_EQ(shown, 1);
}

TEST_F(InfoWindowsTest, AboutBoxInEnglish) {
  AboutDialog about(app->core());
  EXPECT_EQ(about.windowTitle(), "About");
  EXPECT_EQ(about.findChild<QLabel*>("lblTitle")->text(), "Q7X Radio Programming Software");
  EXPECT_EQ(about.findChild<QLabel*>("lblUseRange")->text(), "For Q7X");
  EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "Version 1.0");
  EXPECT_EQ(about.findChild<QPushButton*>("cmdOK")->text(), "OK");
}

TEST_F(InfoWindowsTest, AboutBoxTextsAndButtonUseTheProgramFont) {
  app->core().settings.SoftFont = QStringLiteral("Some Program Font");
  AboutDialog about(app->core());
  for (const char* name : {"lblTitle", "lblUseRange", "lblVersion", "lblRelease", "lblDescription", "lblRights",
                           "cmdOK"}) {
    auto* w = about.findChild<QWidget*>(name);
    ASSERT_NE(w, nullptr) << name;
    EXPECT_EQ(w->font().family(), "Some Program Font") << name;
  }
  EXPECT_TRUE(about.findChild<QLabel*>("lblRights")->isVisibleTo(&about));
}

}  // namespace
}  // namespace zr
