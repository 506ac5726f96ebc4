#pragma once
// `mdifrmMain`: the program's frame. Menu bar, toolbar `tlbMdiFrmMain`, the
// three-panel status bar `sbrStatus`, and the area that hosts the child
// windows. Commands are forwarded to the core; the window holds no rules.
#include <QHash>
#include <QMainWindow>

#include "shell/DesktopPlaces.h"
#include "shell/InterfaceLock.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QMimeData;
class QTimer;
class QUrl;
class QToolBar;

namespace zr {

struct Core;
class ErrorLogWindow;
class FrontEnd;
class QtPrompts;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // File > Open (menu, toolbar; a file named on the command line with its
  // path): loads a file and notes in the status line one that is not a data file.
  void openFile(const QString& path = QString());
  // `frontEnd` answers what the window asks of the program around it:
  // whether it may close, the desktop's opener, a fresh instance.
  MainWindow(Core& core, QtPrompts& prompts, FrontEnd& frontEnd, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Captions of the menus, toolbar, title and status bar from the text table.
  void SetSoftFace();
  // Tick the language menu entry of `lang` (1, 2, 3) and untick the others.
  void tickLanguageMenu(int lang);
  // The lock state restored at start-up: ticks, status text, locked windows.
  void applyLock(bool on);
  InterfaceLock& interfaceLock() { return lock_; }
  // Mirrors the lock model's ticks and timers into the menu entries and timers.
  void syncLock();
  void setStatusPanel(int panel, const QString& text);
  QString statusPanel(int panel) const;
  void showFilePath();
  // Hosts a child window in the frame, maximised.
  void showChild(QWidget* child);
  // Shows a child window by name ("frmChMem", "frmRadioInfo", "frmSysSet"),
  // creating the information windows on first use.
  void showNamed(const QString& name);
  void registerChild(const QString& name, QWidget* child) { children_.insert(name, child); }
  QWidget* child(const QString& name) const { return children_.value(name); }
  void showPort();
  // The result of the last read or write in the status line (`lblTransferResult`):
  // a failure in red with every line in its tool tip, kept until the next
  // transfer clears it (empty text).
  void showTransferResult(const QString& text, const QString& details, bool failure);

  // Opens a file through File > Open's routine with the path given (drops,
  // recent files); `rawImage` reads it as the image's bytes from address 0.
  bool openPath(const QString& path, bool rawImage = false);
  // The file a drop would open, and whether it is a raw image; empty when
  // the drop holds no single local ".dat" or ".bin" file.
  static QString droppedFile(const QMimeData* mime, bool* rawImage);
  // A write of the radio. From the menu, the toolbar and the keys it asks
  // first (`ask`); a caller that has asked already, or runs without a user
  // at the keys, passes false.
  void startWrite(bool ask = true);
  QString writeQuestion() const;

  // The window's place, size, maximised state and docks as kept in the
  // configuration file, fitted into a screen that exists; the first start
  // fits the default size into the screen.
  void restorePlaces();
  void storePlaces();
  RecentFiles& recentFiles() { return recent_; }
  void rebuildRecentMenu();

  QAction* action(const QString& name) const { return actions_.value(name); }
  QMenu* menu(const QString& name) const { return menus_.value(name); }
  QToolBar* toolbar() const { return toolbar_; }
  QMdiArea* mdiArea() const { return mdi_; }

  // The desktop's opener for files and folders. It runs as a process whose
  // exit status tells whether the file or folder was opened.
  QString opener = QStringLiteral("xdg-open");
  // Runs `opener` on a path; true when it reported success (or is still
  // showing it after a few seconds).
  bool openOutside(const QString& path);
  // Ticks "Verify After Write" as stored in the configuration file.
  void restoreVerifyAfterWrite();

 signals:
  // What the window's commands want of the parts around it. Connected with
  // direct connections: each has run when the command goes on.
  // A tone being typed into the grid is committed (before a save, an undo,
  // a write, and whenever the data asks for pending edits).
  void commitPendingEditWanted();
  // Opens the communication window for a read (false) or a write (true).
  void transferWanted(bool write);
  // The port chooser `frmToolCom`, shown modally.
  void portChooserWanted();
  // Program > Batch Write...: the window of the dealer's station.
  void batchWriteWanted();
  // The hex view, shown or hidden by the service gestures.
  void hexViewWanted(bool show);
  // "Verify After Write" was ticked or unticked (and stored), or restored.
  void verifyAfterWriteChanged(bool on);
  // The state of the lock entry `mnuChLock`, whenever the window shows it anew.
  void lockEntryShown(bool visible, bool ticked);
  // The program closes (after every question was answered): end what still runs.
  void leaving();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void buildMenus();
  void buildToolbar();
  void buildPictureButtons();
  void buildStatusBar();
  QLabel* transferResult_ = nullptr;
  void onToolbar(const QString& key);
  void onLanguage(int lang);
  void onHelp();
  // The status line names a configuration file that cannot be written.
  void showConfigProblem();
  void onSave(bool saveAs);

  void onOpenBackupFolder();
  void onVerifyAfterWrite(bool on);
  void closeChild(const QString& name);
  void undoRedo(bool redo);
  void updateUndoActions();
  void noteRecentFile();
  // Icons drawn dark on a dark palette (or light on a light one) are redrawn
  // with their lightness turned over.
  void applyReadableIcons();

  Core& core_;
  QtPrompts& prompts_;
  FrontEnd& frontEnd_;
  QMdiArea* mdi_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QLabel* panels_[3] = {nullptr, nullptr, nullptr};
  ErrorLogWindow* errorLog_ = nullptr;
  QHash<QString, QAction*> actions_;
  QHash<QString, QMenu*> menus_;
  QHash<QString, int> entries_;  // object name -> text table entry of its caption
  InterfaceLock lock_;
  QHash<QString, QWidget*> children_;
  QTimer* tmrChLock_ = nullptr;
  QTimer* tmrChLockBlink_ = nullptr;
  QTimer* tmrNoteStatus_ = nullptr;
  QTimer* tmrTabDockErr_ = nullptr;
  RecentFiles recent_;
  QHash<QAction*, int> iconRoles_;  // action -> QStyle::StandardPixmap
  bool placesRestored_ = false;
};

}  // namespace zr
