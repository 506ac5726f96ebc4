#include "shell/ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <QDesktopServices>
#include <QFileInfo>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <optional>
#include <type_traits>

#include "base/Contrast.h"
#include "data/Core.h"
#include "shell/Startup.h"
#include "shell/ui/ErrorLogWindow.h"
#include "shell/ui/InfoWindows.h"
#include "shell/ui/KeyboardFocus.h"
#include "shell/ui/QtPrompts.h"
#include "base/TextIds.h"

namespace zr {

namespace {

const QString kVerifyAfterWriteKey = QStringLiteral("VerifyAfterWrite");
constexpr int kErrorLogHeight = 150;  // pixels: the title and about six lines
constexpr int kTreeWidth = 170;       // pixels: the navigation tree's captions
constexpr QSize kPreferredSize(1280, 800);
// Icons are graphics, not text: a ratio of 3 against the bar keeps them visible.
constexpr double kMinIconContrast = 3.0;
constexpr int kIconSizes[] = {16, 24, 32, 48};

// One row per menu entry: object name, parent menu ("" for the menu bar),
// caption entry (-1: none), shortcut, visible at load, whether it is a sub-menu.
struct MenuRow {
  const char* name;
  const char* parent;
  int entry;
  const char* shortcut;
  bool visible;
  bool submenu;
  const char* fixedCaption;  // for the entries without a text table caption
};

constexpr MenuRow kMenus[] = {
    {"mnuFile", "", 20, "", true, true, nullptr},
    {"mnuFileNew", "mnuFile", 21, "Ctrl+N", true, false, nullptr},
    {"mnuFileOpen", "mnuFile", 22, "Ctrl+O", true, false, nullptr},
    {"mnuFileSave", "mnuFile", 23, "Ctrl+S", true, false, nullptr},
    {"mnuFileSaveAs", "mnuFile", 24, "", true, false, nullptr},
    {"mnuRecentFiles", "mnuFile", -1, "", true, true, "Recent &Files"},
    {"mnuOpenBackupFolder", "mnuFile", -1, "", true, false, "Open &Backup Folder"},
    {"sepPrintFile", "mnuFile", -1, "", false, false, nullptr},
    {"mnuPrintFile", "mnuFile", 43, "Ctrl+P", false, false, nullptr},
    {"mnuExit", "mnuFile", 25, "", true, false, nullptr},
    // Undo and redo of the user's changes (our own addition, fixed captions).
    {"mnuEdit", "", -1, "", true, true, "&Edit"},
    {"mnuEditUndo", "mnuEdit", -1, "Ctrl+Z", true, false, "&Undo"},
    {"mnuEditRedo", "mnuEdit", -1, "Ctrl+Shift+Z", true, false, "&Redo"},
    {"mnuProgram", "", 26, "", true, true, nullptr},
    {"mnuReadFre", "mnuProgram", 27, "Ctrl+R", true, false, nullptr},
    {"mnuWriteFre", "mnuProgram", 28, "Ctrl+W", true, false, nullptr},
    {"mnuVerifyWrite", "mnuProgram", -1, "", true, false, "&Verify After Write"},
    // The dealer's station: one data file into several radios at once.
    {"mnuBatchWrite", "mnuProgram", -1, "", true, false, "&Batch Write..."},
    {"mnuReadWriteFre", "mnuProgram", 48, "F2", false, false, nullptr},
    {"mnuAddFre", "mnuProgram", 44, "F7", false, false, nullptr},
    {"mnuTestMode", "mnuProgram", 40, "Ctrl+T", false, false, nullptr},
    {"mnuTestFre", "mnuProgram", 41, "", false, false, nullptr},
    {"mnuBatchTestVal", "mnuProgram", 42, "Ctrl+B", false, false, nullptr},
    {"mnuOption", "", 29, "", false, true, nullptr},
    {"mnuModel", "mnuOption", 39, "Ctrl+M", false, false, nullptr},
    {"mnuFunc", "mnuOption", 30, "Ctrl+F", false, false, nullptr},
    {"mnuDtmf", "mnuOption", 45, "", true, false, nullptr},
    {"mnuKeySet", "mnuOption", 46, "", true, false, nullptr},
    {"mnuMcuVer", "mnuOption", 49, "", false, false, nullptr},
    {"mnuChLock", "mnuOption", 47, "Ctrl+L", true, false, nullptr},
    {"mnuSet", "", 31, "", true, true, nullptr},
    {"mnuCommunicate", "mnuSet", 32, "", true, false, nullptr},
    {"mnuLockFace", "mnuSet", 58, "", true, false, nullptr},
    {"mnuLangSetting", "mnuSet", 33, "", true, true, nullptr},
    {"mnuLangSel0", "mnuLangSetting", 34, "", true, false, nullptr},
    {"mnuLangSel2", "mnuLangSetting", 35, "", true, false, nullptr},
    {"mnuLangSel1", "mnuLangSetting", 57, "", true, false, nullptr},
    // Shown, unlike the original frame: it is the way back to a closed tree and log.
    {"mnuView", "", -1, "", true, true, "&View"},
    {"mnuTreeView", "mnuView", -1, "", true, false, "&Tree"},
    {"mnuShowErr", "mnuView", -1, "", true, false, "提示"},
    {"mnuWindow", "", -1, "", false, true, "&Window"},
    {"mnuHelp", "", 36, "", true, true, nullptr},
    // Shown, unlike the original frame, so that F1 opens the help.
    {"mnuHelpTopic", "mnuHelp", 37, "F1", true, false, nullptr},
    {"mnuAboutSoft", "mnuHelp", 38, "", true, false, nullptr},
};

// Toolbar positions 1..16: a key and its caption entry; the rest are separators.
struct ToolRow {
  int position;
  const char* key;
  int entry;
  QStyle::StandardPixmap icon;
};
constexpr ToolRow kTools[] = {
    {2, "FileNew", 0, QStyle::SP_FileIcon},          {4, "FileOpen", 1, QStyle::SP_DialogOpenButton},
    {5, "FileSave", 2, QStyle::SP_DialogSaveButton}, {7, "Read", 3, QStyle::SP_ArrowDown},
    {8, "Write", 4, QStyle::SP_ArrowUp},             {10, "Com", 5, QStyle::SP_DriveNetIcon},
    {12, "Print", 8, QStyle::SP_FileDialogDetailedView}, {14, "Help", 6, QStyle::SP_DialogHelpButton},
    {16, "Exit", 7, QStyle::SP_DialogCloseButton},
};
constexpr int kToolPositions = 16;

}  // namespace

MainWindow::MainWindow(Core& core, QtPrompts& prompts, FrontEnd& frontEnd, QWidget* parent)
    : QMainWindow(parent), core_(core), prompts_(prompts), frontEnd_(frontEnd), lock_(core), recent_(core.ini) {
  setObjectName(QStringLiteral("mdifrmMain"));
  mdi_ = new QMdiArea(this);
  mdi_->setObjectName(QStringLiteral("mdiArea"));
  setCentralWidget(mdi_);
  buildMenus();
  buildToolbar();
  updateUndoActions();
  buildPictureButtons();
  buildStatusBar();
  installPaneCycling(this);

  errorLog_ = new ErrorLogWindow(core_.log, this);
  addDockWidget(Qt::BottomDockWidgetArea, errorLog_);
  errorLog_->hide();
  // The log opens as a strip of a few lines under the windows, so the channel
  // grid keeps its rows; the user may drag it larger or float it.
  connect(errorLog_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (visible && !errorLog_->isFloating())
      resizeDocks({errorLog_}, {kErrorLogHeight}, Qt::Vertical);
  });

  connect(&lock_, &InterfaceLock::statusWanted, this, [this](const QString& t) { setStatusPanel(1, t); });
  auto makeTimer = [this](const char* name, int interval, auto tick) {
    auto* t = new QTimer(this);
    t->setObjectName(QString::fromLatin1(name));
    t->setInterval(interval);
    connect(t, &QTimer::timeout, this, tick);
    return t;
  };
  tmrChLock_ = makeTimer("tmrChLock", InterfaceLock::kChLockInterval, [this] {
    lock_.tmrChLock_Timer(statusPanel(1));
    syncLock();
  });
  tmrChLockBlink_ = makeTimer("tmrChLockBlink", InterfaceLock::kBlinkInterval, [this] {
    lock_.tmrChLockBlink_Timer(statusPanel(1));
    syncLock();
  });
  tmrNoteStatus_ = makeTimer("tmrNoteStatus", InterfaceLock::kNoteInterval, [this] {
    lock_.tmrNoteStatus_Timer();
    syncLock();
  });
  tmrTabDockErr_ = makeTimer("tmrTabDockErr", 50, [] {});
  tmrChLock_->start();

  connect(&core_.configReport, &ConfigWriteReport::failed, this, [this] { showConfigProblem(); });
  connect(&core_.events, &DataEvents::fileNamed, this, [this] {
    showFilePath();
    noteRecentFile();
  });
  // A tone being typed into the grid belongs to the data that is saved or
  // asked about.
  connect(&core_.events, &DataEvents::pendingEditsWanted, this, [this] {
    guarded(core_.log, "frmChMem->commitPendingEdit", [this] { emit commitPendingEditWanted(); });
  });
  setAcceptDrops(true);
  rebuildRecentMenu();
  applyReadableIcons();
  resize(kPreferredSize);
}

MainWindow::~MainWindow() {
  // Closing the windows may still end an edit that records a step: the
  // actions it would update are going.
  disconnect(&core_.history, nullptr, this, nullptr);
}

void MainWindow::buildMenus() {
  for (const MenuRow& row : kMenus) {
    const QString name = QString::fromLatin1(row.name);
    const QString parentName = QString::fromLatin1(row.parent);
    QMenu* parentMenu = parentName.isEmpty() ? nullptr : menus_.value(parentName);
    if (row.submenu) {
      QMenu* m = parentMenu ? parentMenu->addMenu(QString()) : menuBar()->addMenu(QString());
      m->setObjectName(name);
      m->menuAction()->setObjectName(name + QStringLiteral("Action"));
      m->menuAction()->setVisible(row.visible);
      if (row.fixedCaption) m->setTitle(QString::fromUtf8(row.fixedCaption));
      menus_.insert(name, m);
      actions_.insert(name, m->menuAction());
    } else {
      QAction* a = name.startsWith(QStringLiteral("sep")) ? parentMenu->addSeparator() : parentMenu->addAction(QString());
      a->setObjectName(name);
      a->setVisible(row.visible);
      if (row.fixedCaption) a->setText(QString::fromUtf8(row.fixedCaption));
      if (*row.shortcut) {
        a->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
        a->setShortcutContext(Qt::ApplicationShortcut);
      }
      actions_.insert(name, a);
    }
    if (row.entry >= 0) entries_.insert(name, row.entry);
  }
  for (const char* n : {"mnuLangSel0", "mnuLangSel1", "mnuLangSel2", "mnuChLock", "mnuLockFace", "mnuVerifyWrite"})
    actions_.value(QString::fromLatin1(n))->setCheckable(true);
  // The lock entry sits in a hidden menu; its shortcut still works from the frame.
  addAction(actions_.value(QStringLiteral("mnuChLock")));

  // A command that shows a dialog gives the focus back to where it was; the
  // tree and log entries move it on purpose.
  auto on = [this](const char* name, auto slot) {
    const bool keepsFocus = qstrcmp(name, "mnuTreeView") != 0 && qstrcmp(name, "mnuShowErr") != 0;
    connect(actions_.value(QString::fromLatin1(name)), &QAction::triggered, this, [slot, keepsFocus](bool checked) {
      std::optional<FocusKeeper> keeper;
      if (keepsFocus) keeper.emplace();
      if constexpr (std::is_invocable_v<decltype(slot), bool>) slot(checked);
      else slot();
    });
  };
  // Redo also answers Ctrl+Y, as many programs have it.
  QAction* redo = actions_.value(QStringLiteral("mnuEditRedo"));
  redo->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
  on("mnuEditUndo", [this] { undoRedo(false); });
  on("mnuEditRedo", [this] { undoRedo(true); });
  connect(&core_.history, &UndoHistory::changed, this, &MainWindow::updateUndoActions);
  on("mnuFileNew", [this] { core_.files.NewFile(); });
  on("mnuFileOpen", [this] { openFile(); });
  on("mnuFileSave", [this] { onSave(false); });
  on("mnuFileSaveAs", [this] { onSave(true); });
  on("mnuOpenBackupFolder", [this] { onOpenBackupFolder(); });
  on("mnuVerifyWrite", [this](bool on) { onVerifyAfterWrite(on); });
  on("mnuBatchWrite", [this] {
    guarded(core_.log, "mdifrmMain->mnuBatchWrite_Click", [this] {
      emit batchWriteWanted();
    });
  });
  on("mnuExit", [this] { guarded(core_.log, "mdifrmMain->ExitSoft", [this] { close(); }); });
  on("mnuLangSel0", [this] { onLanguage(kLangChs); });
  on("mnuLangSel1", [this] { onLanguage(kLangCht); });
  on("mnuLangSel2", [this] { onLanguage(kLangEng); });
  on("mnuHelpTopic", [this] { onHelp(); });
  on("mnuShowErr", [this] { core_.log.show(); });
  on("mnuCommunicate", [this] { onToolbar(QStringLiteral("Com")); });
  on("mnuReadFre", [this] { onToolbar(QStringLiteral("Read")); });
  on("mnuWriteFre", [this] { onToolbar(QStringLiteral("Write")); });
  // The recent files are listed afresh each time the menu opens, so a file
  // deleted meanwhile shows greyed.
  connect(menus_.value(QStringLiteral("mnuRecentFiles")), &QMenu::aboutToShow, this, &MainWindow::rebuildRecentMenu);
  on("mnuAboutSoft", [this] {
    AboutDialog about(core_, this);
    about.exec();
  });
  // The tree entry shows the navigation tree, or hides it when it is shown.
  on("mnuTreeView", [this] {
    QWidget* tree = children_.value(QStringLiteral("frmTreeView"));
    if (tree && tree->isVisible()) tree->hide();
    else showNamed(QStringLiteral("frmTreeView"));
  });
  on("mnuLockFace", [this] {
    lock_.mnuLockFace_Click();
    syncLock();
  });
  on("mnuChLock", [this] {
    lock_.mnuChLock_Click();
    syncLock();
  });
}

void MainWindow::buildToolbar() {
  toolbar_ = addToolBar(QString());
  toolbar_->setObjectName(QStringLiteral("tlbMdiFrmMain"));
  toolbar_->setMovable(false);
  toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  for (int pos = 1; pos <= kToolPositions; ++pos) {
    const ToolRow* row = nullptr;
    for (const ToolRow& t : kTools)
      if (t.position == pos) row = &t;
    if (!row) {
      if (pos > 1) toolbar_->addSeparator();
      continue;
    }
    const QString key = QString::fromLatin1(row->key);
    QAction* a = toolbar_->addAction(style()->standardIcon(row->icon), QString());
    iconRoles_.insert(a, row->icon);
    a->setObjectName(QStringLiteral("tlb") + key);
    a->setData(key);
    connect(a, &QAction::triggered, this, [this, key] { onToolbar(key); });
    entries_.insert(a->objectName(), row->entry);
    actions_.insert(a->objectName(), a);
  }
  // Undo and redo, after the file buttons' group.
  toolbar_->addSeparator();
  const std::tuple<const char*, const char*, QStyle::StandardPixmap, bool> edits[] = {
      {"tlbUndo", "Undo", QStyle::SP_ArrowBack, false}, {"tlbRedo", "Redo", QStyle::SP_ArrowForward, true}};
  for (const auto& [name, caption, icon, redo] : edits) {
    QAction* a = toolbar_->addAction(style()->standardIcon(icon), QString::fromLatin1(caption));
    iconRoles_.insert(a, icon);
    a->setObjectName(QString::fromLatin1(name));
    const bool isRedo = redo;
    connect(a, &QAction::triggered, this, [this, isRedo] { undoRedo(isRedo); });
    actions_.insert(a->objectName(), a);
  }
  updateUndoActions();
}

void MainWindow::undoRedo(bool redo) {
  guarded(core_.log, redo ? "mdifrmMain->mnuEditRedo_Click" : "mdifrmMain->mnuEditUndo_Click", [&] {
    // The lock freezes the data: nothing is taken back or done again under it.
    if (core_.settings.LockState == kLockOn) return;
    // A tone entry in progress is the user's latest change: it is committed
    // first, so that undo takes it back rather than losing it.
    emit commitPendingEditWanted();
    if (redo) core_.history.redo();
    else core_.history.undo();
  });
}

void MainWindow::updateUndoActions() {
  // The history reports a change just before it happens: the title looks
  // once the command has made it.
  QTimer::singleShot(0, this, [this] { showFilePath(); });
  if (QAction* a = actions_.value(QStringLiteral("mnuEditUndo"))) a->setEnabled(core_.history.canUndo());
  if (QAction* a = actions_.value(QStringLiteral("mnuEditRedo"))) a->setEnabled(core_.history.canRedo());
  if (QAction* a = actions_.value(QStringLiteral("tlbUndo"))) a->setEnabled(core_.history.canUndo());
  if (QAction* a = actions_.value(QStringLiteral("tlbRedo"))) a->setEnabled(core_.history.canRedo());
}

void MainWindow::buildPictureButtons() {
  // The three picture buttons: port chooser, read, write.
  auto* bar = new QToolBar(this);
  bar->setObjectName(QStringLiteral("picButtons"));
  bar->setMovable(false);
  bar->setIconSize(QSize(32, 32));
  addToolBar(Qt::LeftToolBarArea, bar);
  const std::tuple<const char*, const char*, QStyle::StandardPixmap, int> buttons[] = {
      {"picComSet", "Com", QStyle::SP_DriveNetIcon, 5},
      {"picReadDat", "Read", QStyle::SP_ArrowDown, 3},
      {"picWriteDat", "Write", QStyle::SP_ArrowUp, 4}};
  for (const auto& [name, key, icon, entry] : buttons) {
    QAction* a = bar->addAction(style()->standardIcon(icon), QString());
    iconRoles_.insert(a, icon);
    a->setObjectName(QString::fromLatin1(name));
    const QString k = QString::fromLatin1(key);
    connect(a, &QAction::triggered, this, [this, k] { onToolbar(k); });
    entries_.insert(a->objectName(), entry);
    actions_.insert(a->objectName(), a);
  }
}

void MainWindow::buildStatusBar() {
  statusBar()->setObjectName(QStringLiteral("sbrStatus"));
  for (int k = 0; k < 3; ++k) {
    panels_[k] = new QLabel(this);
    panels_[k]->setObjectName(QStringLiteral("sbrStatusPanel%1").arg(k + 1));
    panels_[k]->setContentsMargins(6, 0, 6, 0);
    // A label tells a screen reader of every new text it shows.
    panels_[k]->setAccessibleDescription(QStringLiteral("Status line"));
    statusBar()->addWidget(panels_[k], k == 2 ? 1 : 0);
  }
  panels_[0]->setMinimumWidth(160);
  panels_[1]->setMinimumWidth(90);
  transferResult_ = new QLabel(this);
  transferResult_->setObjectName(QStringLiteral("lblTransferResult"));
  transferResult_->setAccessibleName(QStringLiteral("Result of the last transfer"));
  transferResult_->setContentsMargins(6, 0, 6, 0);
  transferResult_->hide();
  statusBar()->addPermanentWidget(transferResult_);
}

void MainWindow::showTransferResult(const QString& text, const QString& details, bool failure) {
  transferResult_->setText(text);
  transferResult_->setToolTip(details);
  transferResult_->setAccessibleDescription(details);
  const QPalette pal = palette();  // the window's: the label's own carries the colour set last
  const uint32_t normal = pal.color(QPalette::WindowText).rgb() & 0xFFFFFF;
  const uint32_t colour = failure ? readableOn(0xFF0000, pal.color(QPalette::Window).rgb() & 0xFFFFFF, normal) : normal;
  transferResult_->setStyleSheet(QStringLiteral("color: %1;").arg(QColor::fromRgb(colour).name()));
  transferResult_->setVisible(!text.isEmpty());
}

void MainWindow::SetSoftFace() {
  guarded(core_.log, "mdimoduMain->SetSoftFace", [this] {
    for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) {
      const QString caption = core_.text.SoftFace(it.value());
      if (QMenu* m = menus_.value(it.key())) m->setTitle(caption);
      else if (QAction* a = actions_.value(it.key())) a->setText(caption);
    }
    setWindowTitle(core_.text.SoftFace(kTxtAppTitle));
    // The log's caption is entry 70, "Notice" in English: its dock title and
    // the entry of the window's dock menu follow the language in use.
    if (errorLog_) errorLog_->setWindowTitle(core_.text.SoftFace(kTxtNotice));
    setStatusPanel(1, core_.text.SoftFace(kTxtReady));
    showConfigProblem();
    showPort();
    showFilePath();
  });
}

bool MainWindow::openOutside(const QString& path) {
  // Some openers hand the file over and end; others stay while a program
  // shows it. One still running after a while has opened it: it goes on
  // by itself and is not waited for.
  auto* process = new QProcess(this);
  connect(process, &QProcess::finished, process, &QObject::deleteLater);
  process->start(opener, {path});
  if (!process->waitForStarted(5000)) {
    process->deleteLater();
    return false;
  }
  if (!process->waitForFinished(5000)) {
    connect(process, &QProcess::errorOccurred, process, &QObject::deleteLater);
    return process->state() != QProcess::NotRunning;
  }
  return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}

void MainWindow::onOpenBackupFolder() {
  const QString folder = core_.paths.backupDir;
  QDir().mkpath(folder);
  if (!frontEnd_.openPath(folder))
    core_.prompts.message(core_.text.SoftFace(kTxtNotice),
                          QStringLiteral("No program could open the backup folder %1. Open it in a file manager.")
                              .arg(QDir::toNativeSeparators(folder)),
                          UserPrompts::Icon::Information);
}

void MainWindow::restoreVerifyAfterWrite() {
  const bool on = core_.setting(kVerifyAfterWriteKey, QStringLiteral("0"), 2) == QStringLiteral("1");
  actions_.value(QStringLiteral("mnuVerifyWrite"))->setChecked(on);
  emit verifyAfterWriteChanged(on);
}

void MainWindow::onVerifyAfterWrite(bool on) {
  QString why;
  if (!core_.ini.WriteString(kSettingSection, kVerifyAfterWriteKey, on ? QStringLiteral("1") : QStringLiteral("0"), &why)) {
    // Not stored: the tick goes back and the user learns why.
    actions_.value(QStringLiteral("mnuVerifyWrite"))->setChecked(!on);
    core_.prompts.message(core_.text.SoftFace(kTxtNotice), core_.text.SoftFace(kTxtOccurError) + QStringLiteral("\n") + why,
                          UserPrompts::Icon::Error);
    return;
  }
  emit verifyAfterWriteChanged(on);
}

void MainWindow::tickLanguageMenu(int lang) {
  actions_.value(QStringLiteral("mnuLangSel0"))->setChecked(lang == kLangChs);
  actions_.value(QStringLiteral("mnuLangSel1"))->setChecked(lang == kLangCht);
  actions_.value(QStringLiteral("mnuLangSel2"))->setChecked(lang == kLangEng);
}

void MainWindow::applyLock(bool on) {
  lock_.restore(on ? kLockOn : kLockOff);
  syncLock();
}

void MainWindow::syncLock() {
  lock_.chLockVisible = actions_.value(QStringLiteral("mnuChLock"))->isVisible();
  actions_.value(QStringLiteral("mnuChLock"))->setChecked(lock_.chLockTicked);
  actions_.value(QStringLiteral("mnuLockFace"))->setChecked(lock_.lockFaceTicked);
  if (lock_.blinkRunning && !tmrChLockBlink_->isActive()) tmrChLockBlink_->start();
  if (!lock_.blinkRunning) tmrChLockBlink_->stop();
  if (lock_.noteRunning && !tmrNoteStatus_->isActive()) tmrNoteStatus_->start();
  if (!lock_.noteRunning) tmrNoteStatus_->stop();
  emit lockEntryShown(lock_.chLockVisible, lock_.chLockTicked);
}

void MainWindow::setStatusPanel(int panel, const QString& text) {
  if (panel >= 1 && panel <= 3) panels_[panel - 1]->setText(text);
}

QString MainWindow::statusPanel(int panel) const {
  return panel >= 1 && panel <= 3 ? panels_[panel - 1]->text() : QString();
}

void MainWindow::showFilePath() {
  setStatusPanel(3, core_.text.SoftFace(kTxtFileName) + core_.image.CurFilePath);
  // The title names the file, with a "*" while it has unsaved changes.
  const QString name = QFileInfo(core_.image.CurFilePath).fileName();
  const QString title = core_.text.SoftFace(kTxtAppTitle);
  if (name.isEmpty()) setWindowTitle(title);
  else setWindowTitle(QStringLiteral("%1%2 - %3").arg(name, core_.history.modified() ? QStringLiteral("*") : QString(), title));
}

void MainWindow::showPort() { setStatusPanel(2, QStringLiteral("COM") + QString::number(core_.settings.ComPort)); }

void MainWindow::openFile(const QString& path) {
  if (!core_.files.OpenFile(path)) return;
  // Open takes any file, as the radio's tools always have; the user learns
  // when what was loaded is not a data file.
  const QString note = core_.files.lastOpenNote();
  if (!note.isEmpty())
    setStatusPanel(1, QStringLiteral("%1 is not a data file (%2); its bytes were loaded as an image")
                          .arg(QFileInfo(core_.image.CurFilePath).fileName(), note));
}

void MainWindow::onSave(bool saveAs) {
  emit commitPendingEditWanted();
  if (saveAs) core_.files.SaveAsFile();
  else core_.files.SaveFile();
}

void MainWindow::onToolbar(const QString& key) {
  const FocusKeeper keeper;
  guarded(core_.log, "mdifrmMain->tlbmdifrmMain_ButtonClick", [&] {
    if (key == QStringLiteral("FileNew")) core_.files.NewFile();
    else if (key == QStringLiteral("FileOpen")) openFile();
    else if (key == QStringLiteral("FileSave")) onSave(false);
    else if (key == QStringLiteral("Help")) onHelp();
    else if (key == QStringLiteral("Exit")) close();
    else if (key == QStringLiteral("Com")) {
      emit portChooserWanted();
      showPort();
    }
    else if (key == QStringLiteral("Read")) {
      // A read replaces the data: unsaved changes are saved or dropped first.
      if (!core_.files.mayReplaceData()) return;
      emit transferWanted(false);
    } else if (key == QStringLiteral("Write")) {
      startWrite(true);
    }
    // "Print" has no effect.
  });
}

QString MainWindow::writeQuestion() const {
  return QStringLiteral("Write the data to the radio on COM%1?").arg(core_.settings.ComPort);
}

void MainWindow::startWrite(bool ask) {
  guarded(core_.log, "mdifrmMain->startWrite", [&] {
    if (ask && askBeforeWrite(core_.ini)) {
      bool dontAskAgain = false;
      if (!core_.prompts.askYesNoDontAskAgain(core_.text.SoftFace(kTxtNotice), writeQuestion(), &dontAskAgain)) return;
      // Kept only with a Yes: a No never silences the question.
      if (dontAskAgain) setAskBeforeWrite(core_.ini, false);
    }
    emit commitPendingEditWanted();
    emit transferWanted(true);
  });
}

bool MainWindow::openPath(const QString& path, bool rawImage) {
  if (!rawImage) {
    openFile(path);
    return core_.image.CurFilePath == path;
  }
  return core_.files.OpenFile(path, DataFiles::FileForm::RawImage);
}

QString MainWindow::droppedFile(const QMimeData* mime, bool* rawImage) {
  if (!mime || !mime->hasUrls() || mime->urls().size() != 1) return {};
  const QUrl url = mime->urls().first();
  if (!url.isLocalFile()) return {};
  const QString path = url.toLocalFile();
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != QStringLiteral("dat") && suffix != QStringLiteral("bin")) return {};
  if (rawImage) *rawImage = suffix == QStringLiteral("bin");
  return path;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
  if (!droppedFile(e->mimeData(), nullptr).isEmpty()) e->acceptProposedAction();
  else e->ignore();
}

void MainWindow::dropEvent(QDropEvent* e) {
  bool raw = false;
  const QString path = droppedFile(e->mimeData(), &raw);
  if (path.isEmpty()) {
    e->ignore();
    return;
  }
  e->acceptProposedAction();
  // Opened after the drop has finished, so that the questions and messages
  // of the open do not run inside the drag and drop of the desktop.
  QTimer::singleShot(0, this, [this, path, raw] { openPath(path, raw); });
}

void MainWindow::noteRecentFile() {
  const QString path = core_.image.CurFilePath;
  // The untitled image and the shipped default files are not the user's files.
  if (path.isEmpty() || !QFileInfo(path).isFile() || path == core_.files.untitledPath()) return;
  for (const QString& shipped : {kDefaultImageFile, kDefaultVhfFile, kDefaultUhfFile})
    if (QFileInfo(path) == QFileInfo(core_.files.shippedFile(shipped))) return;
  recent_.add(path);
  rebuildRecentMenu();
}

void MainWindow::rebuildRecentMenu() {
  QMenu* m = menus_.value(QStringLiteral("mnuRecentFiles"));
  if (!m) return;
  m->clear();
  m->setToolTipsVisible(true);
  const QStringList paths = recent_.paths();
  for (int k = 0; k < paths.size(); ++k) {
    const QString& path = paths[k];
    const QFileInfo fi(path);
    QString name = fi.fileName();
    name.replace(u'&', QStringLiteral("&&"));
    QAction* a = m->addAction(QStringLiteral("&%1 %2").arg(k + 1).arg(name));
    a->setObjectName(QStringLiteral("mnuRecentFile%1").arg(k + 1));
    a->setToolTip(path);
    a->setStatusTip(path);
    // A file that is gone stays listed, greyed, so the user sees where it was.
    a->setEnabled(fi.isFile());
    connect(a, &QAction::triggered, this, [this, path] { openPath(path); });
  }
  m->menuAction()->setEnabled(!paths.isEmpty());
}

void MainWindow::restorePlaces() {
  const WindowPlace kept = WindowPlace::load(core_.ini);
  // Where the windowing system lets a program place its windows (X11, not
  // Wayland), the place comes back; the size always does.
  const bool canPlace = !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
  QScreen* screen = kept.geometry.isValid() ? QGuiApplication::screenAt(kept.geometry.center()) : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect available = screen ? screen->availableGeometry() : QRect();
  if (kept.geometry.isValid()) {
    QRect r = fitIntoScreen(kept.geometry, available);
    if (canPlace) setGeometry(r);
    else resize(r.size());
  } else {
    const QRect r = firstStartPlace(kPreferredSize, available);
    if (canPlace) setGeometry(r);
    else resize(r.size());
  }
  if (!kept.state.isEmpty()) restoreState(kept.state);
  // The log opens by itself on the first report; it does not come back empty.
  if (errorLog_) errorLog_->hide();
  if (kept.maximized) setWindowState(windowState() | Qt::WindowMaximized);
  placesRestored_ = true;
}

void MainWindow::storePlaces() {
  if (!placesRestored_) return;
  WindowPlace place;
  place.maximized = isMaximized();
  // A maximised window keeps the size it returns to.
  place.geometry = place.maximized ? normalGeometry() : geometry();
  place.state = saveState();
  place.store(core_.ini);
}

void MainWindow::changeEvent(QEvent* e) {
  if (e->type() == QEvent::PaletteChange || e->type() == QEvent::StyleChange) applyReadableIcons();
  QMainWindow::changeEvent(e);
}

namespace {

// The mean colour of an icon's visible pixels, as 0xRRGGBB.
uint32_t meanColour(const QImage& img) {
  double r = 0, g = 0, b = 0, weight = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      const double a = c.alphaF();
      r += c.redF() * a;
      g += c.greenF() * a;
      b += c.blueF() * a;
      weight += a;
    }
  if (weight <= 0) return 0;
  auto to8 = [weight](double v) { return static_cast<uint32_t>(std::lround(v / weight * 255.0)) & 0xFF; };
  return (to8(r) << 16) | (to8(g) << 8) | to8(b);
}

// Turns the lightness of every pixel over, keeping hue and transparency.
QPixmap turnedOver(const QPixmap& pm) {
  QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      QColor c = img.pixelColor(x, y);
      float h, s, l, a;
      c.getHslF(&h, &s, &l, &a);
      c.setHslF(h, s, 1.0f - l, a);
      img.setPixelColor(x, y, c);
    }
  QPixmap out = QPixmap::fromImage(img);
  out.setDevicePixelRatio(pm.devicePixelRatio());
  return out;
}

}  // namespace

void MainWindow::applyReadableIcons() {
  const QColor bg = palette().color(QPalette::Window);
  const uint32_t background = bg.rgb() & 0xFFFFFF;
  for (auto it = iconRoles_.cbegin(); it != iconRoles_.cend(); ++it) {
    const QIcon icon = style()->standardIcon(static_cast<QStyle::StandardPixmap>(it.value()));
    const uint32_t mean = meanColour(icon.pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32));
    if (contrastRatio(mean, background) >= kMinIconContrast) {
      it.key()->setIcon(icon);
      continue;
    }
    QIcon readable;
    for (int size : kIconSizes) readable.addPixmap(turnedOver(icon.pixmap(size)));
    it.key()->setIcon(readable);
  }
}

void MainWindow::onLanguage(int lang) {
  LanguageSwitch change(core_, frontEnd_);
  connect(&change, &LanguageSwitch::languageTicked, this, &MainWindow::tickLanguageMenu);
  connect(&change, &LanguageSwitch::closeWanted, this, &QWidget::close);
  if (!change.switchTo(lang)) tickLanguageMenu(core_.CurLang);
}

void MainWindow::onHelp() {
  int lang = core_.CurLang;
  const QString path = helpFilePath(core_, lang);
  core_.CurLang = lang;
  // The desktop's handler for HTML pages shows the help; when the page is
  // missing or nothing opens it, the user learns which file to look for.
  QString problem;
  if (!QFileInfo(path).isFile()) problem = QStringLiteral("The help page %1 is missing.").arg(path);
  else if (!frontEnd_.openPath(path))
    problem = QStringLiteral("No program could open the help page %1. Open it in a web browser.").arg(path);
  if (!problem.isEmpty())
    core_.prompts.message(core_.text.SoftFace(kTxtNotice), problem, UserPrompts::Icon::Information);
}

void MainWindow::showConfigProblem() {
  if (!core_.configReport.reported()) return;
  setStatusPanel(1, core_.configReport.message());
  panels_[0]->setToolTip(core_.configReport.message());
}

void MainWindow::showChild(QWidget* child) {
  if (!child) return;
  for (QMdiSubWindow* w : mdi_->subWindowList())
    if (w->widget() == child) {
      child->show();
      w->showMaximized();
      return;
    }
  QMdiSubWindow* sub = mdi_->addSubWindow(child);
  sub->setObjectName(child->objectName() + QStringLiteral("Frame"));
  sub->setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint);
  sub->showMaximized();
}

void MainWindow::showNamed(const QString& name) {
  guarded(core_.log, "mdifrmMain->showNamed", [&] {
    QWidget* w = children_.value(name);
    if (!w && name == QStringLiteral("frmTreeView")) {
      auto* tree = new TreeViewWindow(core_, this);
      connect(tree, &TreeViewWindow::showRequested, this, &MainWindow::showNamed);
      addDockWidget(Qt::LeftDockWidgetArea, tree);
      resizeDocks({tree}, {kTreeWidth}, Qt::Horizontal);
      w = tree;
    } else if (!w && name == QStringLiteral("frmRadioInfo")) {
      auto* info = new RadioInfoWindow(core_);
      connect(info, &RadioInfoWindow::hexViewRequested, this, [this] {
        emit hexViewWanted(true);
      });
      w = info;
    } else if (!w && name == QStringLiteral("frmSysSet")) {
      w = new SysSetWindow(core_);
    }
    if (!w) return;
    children_.insert(name, w);
    if (qobject_cast<QDockWidget*>(w)) w->show();
    else showChild(w);
  });
}

void MainWindow::closeChild(const QString& name) {
  if (name == QStringLiteral("frmShowErr")) {
    if (errorLog_) errorLog_->hide();
    return;
  }
  for (QMdiSubWindow* w : mdi_->subWindowList())
    if (w->widget() && w->widget()->objectName() == name) w->close();
  // Windows made elsewhere (the hex view, its fill window, the automatic
  // input) hang below this window under their names.
  if (QWidget* w = children_.value(name)) w->close();
  else if (QWidget* w = findChild<QWidget*>(name)) w->close();
}

void MainWindow::closeEvent(QCloseEvent* e) {
  // The place is taken before the child windows close and the docks change
  // (a close that is refused afterwards leaves it stored, which is harmless).
  if (!core_.settings.autoInputOpen) storePlaces();
  if (!frontEnd_.mayLeave()) {
    e->ignore();
    return;
  }
  if (!queryUnload(core_, [this](const QString& name) { closeChild(name); })) {
    e->ignore();
    return;
  }
  emit leaving();
  e->accept();
}

}  // namespace zr
