#pragma once
// The program's start-up sequence, its first-run step, the shutdown and the
// language switch, without windows. Each step that parts around the core
// take part in is a signal, emitted in the sequence's fixed order; the parts
// connect their slots (the link, the editors and the inspector first, then
// the desktop program's windows: see `StartupSteps.h`). What a step needs to
// know from outside it asks the `FrontEnd`. Tests and the CLI run it bare.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "base/FrontEnd.h"
#include "data/Core.h"

namespace zr {

// Language code the first run stores for a locale identifier.
int languageForLcid(int lcid);

class Startup : public QObject {
  Q_OBJECT
 public:
  Startup(Core& core, FrontEnd& frontEnd) : core_(core), frontEnd_(frontEnd) {}

  // The main window's load sequence. Records each step's name in `trace`.
  void run();
  // The first-run step: language from the system locale, then the port search.
  void GetSysLang();

  bool runFirstRunStep = true;  // the CLI leaves the first run to the desktop program
  QStringList trace;

 signals:
  // The steps, in the order `run` emits them. A slot that fails is reported
  // with the load's tag and the sequence goes on.
  void buildSerialLists();           // serial settings name lists
  void languageSettled(int lang);    // tick the entry of the language in use
  void addressesRead();              // the fill range, the communication window's address boxes
  void buildVolumeTable();
  void buildProtocolScripts();
  void SetSoftFace();                // main window captions
  void initChannelWindow();          // the grid from the column definitions, then its window
  // Model and band lists; the band choice loads the default image. Without a
  // slot the default image is loaded straight away.
  void ChInfoModel();
  void layoutHexView();
  void showChannelWindow();
  void lockRestored(bool locked);    // the interface lock as stored

 private:
  // Records the step and runs its body, reporting a failure with the load's tag.
  template <typename Body>
  void step(const char* name, Body&& body);
  QString readSetting(const QString& key, const QString& def, int maxChars);
  int readNumber(const QString& key, const QString& def, int maxChars);
  int readHex(const QString& key, const QString& def, QString& text);
  QString readColour(const QString& key, const QString& def);

  Core& core_;
  FrontEnd& frontEnd_;
};

// Windows that the shutdown closes, in its order.
inline const QStringList kCloseOrder = {
    QStringLiteral("frmTreeView"), QStringLiteral("frmSysSet"),  QStringLiteral("frmRadioInfo"),
    QStringLiteral("frmChMem"),    QStringLiteral("frmAboutSoft"), QStringLiteral("frmCommun"),
    QStringLiteral("frmToolCom"),  QStringLiteral("frmShowErr"), QStringLiteral("frmPartFill"),
    QStringLiteral("frmMemDat"),   QStringLiteral("frmAutoInput")};

// The close request of the main window (`MDIForm_QueryUnload`): refused while
// the automatic channel input is open; otherwise the exit question (skipped
// after a language switch). On Yes `Leaving` is set and `closeWindow` is
// called for every window of the close order. Returns whether the main
// window may close.
bool queryUnload(Core& core, const std::function<void(const QString&)>& closeWindow);

// The language switch (`SwiLangFace` and the menu steps around it).
class LanguageSwitch : public QObject {
  Q_OBJECT
 public:
  LanguageSwitch(Core& core, FrontEnd& frontEnd) : core_(core), frontEnd_(frontEnd) {}
  // Stores the language and starts a fresh instance in it. Returns false when
  // the language is already the current one or the user kept the unsaved
  // changes by cancelling (nothing happens).
  bool switchTo(int lang);

 signals:
  // Tick the menu entry of this language (the new one, or the old one again
  // when it could not be stored).
  void languageTicked(int lang);
  // The fresh instance runs: the main window closes without asking.
  void closeWanted();

 private:
  Core& core_;
  FrontEnd& frontEnd_;
};

// Help file of a language, beside the program; normalises the code first.
QString helpFilePath(const Core& core, int& lang);

}  // namespace zr
