#pragma once
// What the desktop program keeps between runs in a section of its own of the
// configuration file: the recent files, the main window's place and docks,
// the folder of the last file dialog and the answer to the write question.
#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringList>

namespace zr {

class PrivateProfile;

inline const QString kDesktopSection = QStringLiteral("Desktop");

// The last data files opened or saved, newest first, at most kMax of them.
class RecentFiles {
 public:
  static constexpr int kMax = 8;
  explicit RecentFiles(const PrivateProfile& ini) : ini_(ini) {}

  QStringList paths() const;
  // Puts `path` first (moving it up when it is listed already) and stores the
  // list; the oldest falls off beyond kMax.
  void add(const QString& path);

 private:
  const PrivateProfile& ini_;
};

// The main window's place as kept: frame geometry, maximised, and the dock
// and toolbar state as Qt saves it.
struct WindowPlace {
  QRect geometry;       // invalid when nothing was kept
  bool maximized = false;
  QByteArray state;     // QMainWindow::saveState()

  static WindowPlace load(const PrivateProfile& ini);
  // Returns false when the file could not be written.
  bool store(const PrivateProfile& ini) const;
};

// The rectangle a window of `wanted` gets on a screen whose free area is
// `available`: no larger than the area, and moved inside it.
QRect fitIntoScreen(const QRect& wanted, const QRect& available);
// The first start: the default size, made smaller on a small (or scaled)
// screen, centred in the free area.
QRect firstStartPlace(const QSize& preferred, const QRect& available);

// Where a file dialog starts: the folder of the file being worked on when
// it exists, else the folder of the last dialog when it still exists, else
// the folder of `currentPath` (the data folder for an untitled image).
QString dialogStartFolder(const QString& currentPath, const QString& lastFolder);

QString lastDialogFolder(const PrivateProfile& ini);
void storeDialogFolder(const PrivateProfile& ini, const QString& chosenFile);

// The write question: asked unless the user ticked "Do not ask again".
bool askBeforeWrite(const PrivateProfile& ini);
bool setAskBeforeWrite(const PrivateProfile& ini, bool ask, QString* why = nullptr);

}  // namespace zr
