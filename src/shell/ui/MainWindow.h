#pragma once
// `mdifrmMain`: the program's frame. Menu bar, toolbar `tlbMdiFrmMain`, the
// three-panel status bar `sbrStatus`, and the area that hosts the child
// windows. Commands are forwarded to the core; the window holds no rules.
#include <QHash>
#include <QMainWindow>
#include <functional>

#include "shell/InterfaceLock.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QUrl;
class QToolBar;

namespace zr {

struct Core;
class ErrorLogWindow;
class QtPrompts;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // File > Open (menu, toolbar; a file named on the command line with its
  // path): loads a file and notes in the status line one that is not a data file.
  void openFile(const QString& path = QString());
  MainWindow(Core& core, QtPrompts& prompts, QWidget* parent = nullptr);
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
  // Windows owned elsewhere that the shutdown closes by name.
  std::function<QWidget*(const QString& name)> childLookup;
  // The hex view, shown or hidden by the service gestures.
  std::function<void(bool show)> showHexView;
  void showPort();

  QAction* action(const QString& name) const { return actions_.value(name); }
  QMenu* menu(const QString& name) const { return menus_.value(name); }
  QToolBar* toolbar() const { return toolbar_; }
  QMdiArea* mdiArea() const { return mdi_; }

  // How a fresh instance is started after a language switch (replaceable in tests).
  std::function<bool()> startNewInstance;
  // Hands a help page to the desktop's handler (replaceable in tests).
  std::function<bool(const QUrl&)> openUrl;
  // Extra steps before a save (the grid commits its tone entry).
  std::function<void()> commitPendingEdit;
  // Opens the communication window for a read (false) or a write (true).
  std::function<void(bool write)> startTransfer;
  // The port chooser `frmToolCom`, shown modally.
  std::function<void()> openPortChooser;
  // "Verify After Write" was ticked or unticked (and stored).
  std::function<void(bool on)> verifyAfterWriteChanged;
  // Shows a folder in the desktop's file manager ("Open Backup Folder").
  std::function<void(const QString& folder)> openFolder;
  // Ticks "Verify After Write" as stored in the configuration file.
  void restoreVerifyAfterWrite();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void buildMenus();
  void buildToolbar();
  void buildPictureButtons();
  void buildStatusBar();
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

  Core& core_;
  QtPrompts& prompts_;
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
};

}  // namespace zr
