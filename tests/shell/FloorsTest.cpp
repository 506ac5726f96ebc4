// The sources are built as floors (base, data, editors, link and inspector,
// the roofs shell and cli, app): a file includes only from its own floor and
// the floors below, the widget-free core never includes a window, and no
// header reaches itself again through its includes. Read from the sources
// themselves, so a new include that runs back up fails here.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <functional>

namespace {

// How high each folder of src/ stands.
const QHash<QString, int>& floors() {
  static const QHash<QString, int> f = {
      {QStringLiteral("base"), 0},   {QStringLiteral("data"), 1},      {QStringLiteral("sim"), 2},
      {QStringLiteral("editors"), 2}, {QStringLiteral("link"), 3},      {QStringLiteral("inspector"), 3},
      {QStringLiteral("shell"), 4},   {QStringLiteral("cli"), 5},       {QStringLiteral("app"), 5},
  };
  return f;
}

struct Source {
  QString folder;  // "data", "editors/ui", ...
  QStringList includes;  // our own, as written: "data/Core.h"
};

QHash<QString, Source> readSources() {
  QHash<QString, Source> all;
  const QDir src(QDir(QStringLiteral(ZR_SOURCE_DIR "/src")).absolutePath());
  static const QRegularExpression include(QStringLiteral(R"re(^\s*#\s*include\s+"([^"]+)")re"),
                                          QRegularExpression::MultilineOption);
  QDirIterator it(src.path(), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString rel = src.relativeFilePath(path);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) continue;
    Source s;
    s.folder = QFileInfo(rel).path();
    const QString text = QString::fromUtf8(f.readAll());
    for (auto m = include.globalMatch(text); m.hasNext();) s.includes << m.next().captured(1);
    all.insert(rel, s);
  }
  return all;
}

int floorOf(const QString& folder) { return floors().value(folder.section(u'/', 0, 0), -1); }
bool isWindow(const QString& folder) { return folder.endsWith(QStringLiteral("/ui")); }

TEST(Floors, NoIncludeRunsBackUpAndTheCoreIncludesNoWindow) {
  const QHash<QString, Source> all = readSources();
  ASSERT_GT(all.size(), 100) << "the sources were not found under " ZR_SOURCE_DIR;
  QStringList wrong;
  for (auto it = all.begin(); it != all.end(); ++it) {
    const Source& s = it.value();
    const int own = floorOf(s.folder);
    if (own < 0) {
      wrong << QStringLiteral("%1: the folder %2 has no floor").arg(it.key(), s.folder);
      continue;
    }
    for (const QString& inc : s.includes) {
      if (!all.contains(inc)) continue;  // generated (moc) or not ours
      const QString to = all.value(inc).folder;
      if (floorOf(to) > own || (floorOf(to) == own && to.section(u'/', 0, 0) != s.folder.section(u'/', 0, 0)))
        wrong << QStringLiteral("%1 includes %2: up or sideways").arg(it.key(), inc);
      if (isWindow(to) && !isWindow(s.folder) && s.folder != QStringLiteral("app"))
        wrong << QStringLiteral("%1 includes the window %2").arg(it.key(), inc);
    }
  }
  EXPECT_TRUE(wrong.isEmpty()) << wrong.join(u'\n').toStdString();
}

TEST(Floors, NoHeaderIncludesItselfAgain) {
  const QHash<QString, Source> all = readSources();
  // Depth-first search over our own headers; a header met again on the
  // current path closes a circle.
  QHash<QString, int> state;  // 1 on the path, 2 done
  QStringList path, circles;
  std::function<void(const QString&)> visit = [&](const QString& file) {
    state[file] = 1;
    path << file;
    for (const QString& inc : all.value(file).includes) {
      if (!all.contains(inc)) continue;
      if (state.value(inc) == 1) circles << (path.mid(path.indexOf(inc)) << inc).join(QStringLiteral(" -> "));
      else if (state.value(inc) == 0) visit(inc);
    }
    path.removeLast();
    state[file] = 2;
  };
  for (auto it = all.begin(); it != all.end(); ++it)
    if (state.value(it.key()) == 0) visit(it.key());
  EXPECT_TRUE(circles.isEmpty()) << circles.join(u'\n').toStdString();
}

}  // namespace
