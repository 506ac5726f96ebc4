// The desktop program's help command hands the page to the desktop and says
// so when that fails; a configuration that cannot be written shows once in
// the status line and the error log.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QToolBar>
#include <QUrl>
#include <gtest/gtest.h>

#include "support/DesktopFixture.h"

namespace zr {
namespace {

class HelpAndConfigReportTest : public testing::DesktopFixture {
 protected:
  QString panel(int k) { return app->window().findChild<QLabel*>(QStringLiteral("sbrStatusPanel%1").arg(k))->text(); }
  void pressHelp() {
    for (QAction* a : app->window().toolbar()->actions())
      if (a->text() == QStringLiteral("Help")) return a->trigger();
    FAIL() << "no Help button";
  }
};

TEST_F(HelpAndConfigReportTest, HelpPageGoesToTheDesktopOrTheUserLearnsWhichFile) {
  const QString page = dir.filePath("EngHelp.html");
  QStringList& opened = system.calls;

  struct Case { const char* what; bool present; bool answers; bool messageExpected; const char* words; };
  const Case cases[] = {
      {"missing page", false, true, true, "is missing"},
      {"page opened", true, true, false, ""},
      {"no program opens it", true, false, true, "No program could open"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.present && !QFile::exists(page)) {
      ASSERT_TRUE(QFile::copy(QStringLiteral(ZR_SOURCE_DIR "/resources/help/EngHelp.html"), page));
    }
    system.pathOpens = c.answers;
    opened.clear();
    prompts.messages.clear();
    pressHelp();
    EXPECT_EQ(opened.size(), c.present ? 1 : 0);
    if (c.present && !opened.isEmpty()) {
      EXPECT_EQ(opened[0], QStringLiteral("openPath ") + page);
    }
    ASSERT_EQ(prompts.messages.size(), c.messageExpected ? 1 : 0);
    if (c.messageExpected) {
      EXPECT_TRUE(prompts.messages[0].contains(page)) << prompts.messages[0].toStdString();
      EXPECT_TRUE(prompts.messages[0].contains(QLatin1String(c.words))) << prompts.messages[0].toStdString();
      EXPECT_EQ(prompts.titles.last(), "Notice");
    }
  }
}

TEST_F(HelpAndConfigReportTest, ConfigurationThatCannotBeWrittenShowsOnceInStatusAndLog) {
  // The folder of the configuration turns out to be a file: no write can succeed.
  QFile blocker(dir.filePath("blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  const QString config = dir.filePath("blocker/kelvane.def");
  app->core().ini.setPath(config);
  const int before = app->core().log.reportCount();
  EXPECT_EQ(panel(1), "Ready");

  // Each toggle of the channel lock stores "ChannelLock".
  QAction* lock = app->window().action(QStringLiteral("mnuChLock"));
  lock->trigger();
  EXPECT_EQ(app->core().log.reportCount(), before + 1);
  EXPECT_EQ(app->core().log.lastTag(), ConfigWriteReport::kTag);
  EXPECT_TRUE(panel(1).contains(config)) << panel(1).toStdString();
  EXPECT_TRUE(panel(1).startsWith("Settings are not saved")) << panel(1).toStdString();
  lock->trigger();
  EXPECT_EQ(app->core().log.reportCount(), before + 1);
}

}  // namespace
}  // namespace zr
