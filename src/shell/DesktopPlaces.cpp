#include "shell/DesktopPlaces.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "base/PrivateProfile.h"

namespace zr {

namespace {

// Paths are long; the profile reader cuts values at this many characters.
constexpr int kMaxPathChars = 4096;
constexpr int kMaxStateChars = 8192;
const QString kRecentKey = QStringLiteral("Recent%1");
const QString kGeometryKey = QStringLiteral("MainWindow");
const QString kMaximizedKey = QStringLiteral("MainWindowMaximized");
const QString kStateKey = QStringLiteral("MainWindowDocks");
const QString kLastFolderKey = QStringLiteral("LastFolder");
const QString kAskWriteKey = QStringLiteral("AskBeforeWrite");

// Paths compare as the file system names them: "a/../b.dat" is "b.dat".
QString normalised(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace

QStringList RecentFiles::paths() const {
  QStringList out;
  for (int k = 1; k <= kMax; ++k) {
    const QString p = ini_.GetString(kDesktopSection, kRecentKey.arg(k), QString(), kMaxPathChars);
    if (!p.isEmpty() && !out.contains(p)) out << p;
  }
  return out;
}

void RecentFiles::add(const QString& path) {
  if (path.isEmpty()) return;
  const QString p = normalised(path);
  QStringList list = paths();
  list.removeAll(p);
  list.prepend(p);
  while (list.size() > kMax) list.removeLast();
  for (int k = 1; k <= kMax; ++k)
    ini_.WriteString(kDesktopSection, kRecentKey.arg(k), k <= list.size() ? list[k - 1] : QString());
}

WindowPlace WindowPlace::load(const PrivateProfile& ini) {
  WindowPlace place;
  const QStringList v = ini.GetString(kDesktopSection, kGeometryKey, QString(), 60).split(u',');
  if (v.size() == 4) {
    bool ok[4] = {};
    const int x = v[0].toInt(&ok[0]), y = v[1].toInt(&ok[1]), w = v[2].toInt(&ok[2]), h = v[3].toInt(&ok[3]);
    if (ok[0] && ok[1] && ok[2] && ok[3] && w > 0 && h > 0) place.geometry = QRect(x, y, w, h);
  }
  place.maximized = ini.GetString(kDesktopSection, kMaximizedKey, QStringLiteral("0"), 2) == QStringLiteral("1");
  place.state = QByteArray::fromBase64(ini.GetString(kDesktopSection, kStateKey, QString(), kMaxStateChars).toLatin1());
  return place;
}

bool WindowPlace::store(const PrivateProfile& ini) const {
  bool ok = true;
  if (geometry.isValid())
    ok &= ini.WriteString(kDesktopSection, kGeometryKey,
                          QStringLiteral("%1,%2,%3,%4").arg(geometry.x()).arg(geometry.y()).arg(geometry.width()).arg(geometry.height()));
  ok &= ini.WriteString(kDesktopSection, kMaximizedKey, maximized ? QStringLiteral("1") : QStringLiteral("0"));
  // A state too long for the reader would come back cut and be refused by
  // Qt: such a state is not kept.
  const QString s = QString::fromLatin1(state.toBase64());
  ok &= ini.WriteString(kDesktopSection, kStateKey, s.size() < kMaxStateChars ? s : QString());
  return ok;
}

QRect fitIntoScreen(const QRect& wanted, const QRect& available) {
  if (!available.isValid()) return wanted;
  QRect r(wanted.topLeft(), wanted.size().boundedTo(available.size()));
  if (r.right() > available.right()) r.moveRight(available.right());
  if (r.bottom() > available.bottom()) r.moveBottom(available.bottom());
  if (r.left() < available.left()) r.moveLeft(available.left());
  if (r.top() < available.top()) r.moveTop(available.top());
  return r;
}

QRect firstStartPlace(const QSize& preferred, const QRect& available) {
  if (!available.isValid()) return QRect(QPoint(0, 0), preferred);
  // A little margin, so that the frame's decorations stay on the screen too.
  const QSize room(available.width() * 95 / 100, available.height() * 95 / 100);
  QRect r(QPoint(0, 0), preferred.boundedTo(room));
  r.moveCenter(available.center());
  return fitIntoScreen(r, available);
}

QString dialogStartFolder(const QString& currentPath, const QString& lastFolder) {
  const QFileInfo current(currentPath);
  if (!currentPath.isEmpty() && current.isFile()) return current.absolutePath();
  if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir()) return lastFolder;
  if (!currentPath.isEmpty() && current.isDir()) return currentPath;
  return currentPath.isEmpty() ? QString() : current.absolutePath();
}

QString lastDialogFolder(const PrivateProfile& ini) {
  return ini.GetString(kDesktopSection, kLastFolderKey, QString(), kMaxPathChars);
}

void storeDialogFolder(const PrivateProfile& ini, const QString& chosenFile) {
  if (chosenFile.isEmpty()) return;
  ini.WriteString(kDesktopSection, kLastFolderKey, QFileInfo(chosenFile).absolutePath());
}

bool askBeforeWrite(const PrivateProfile& ini) {
  return ini.GetString(kDesktopSection, kAskWriteKey, QStringLiteral("1"), 2) != QStringLiteral("0");
}

bool setAskBeforeWrite(const PrivateProfile& ini, bool ask, QString* why) {
  return ini.WriteString(kDesktopSection, kAskWriteKey, ask ? QStringLiteral("1") : QStringLiteral("0"), why);
}

}  // namespace zr
