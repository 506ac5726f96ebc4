#pragma once
// The program's start-up sequence, its first-run step, the shutdown and the
// language switch, without windows: the desktop program supplies the window
// steps as hooks, tests and the CLI run them bare.
#include <QString>
#include <QStringList>
#include <functional>

#include "data/Core.h"

namespace zr {

// Windows locale identifiers the first run understands.
constexpr int kLcidChineseTaiwan = 1028;
constexpr int kLcidEnglishUs = 1033;
constexpr int kLcidChinesePrc = 2052;

// Locale identifier of a locale name such as "zh_TW" or "en_US.UTF-8"; 0 for
// any other locale.
int lcidFromLocaleName(const QString& name);
// Language code the first run stores for a locale identifier.
int languageForLcid(int lcid);

struct StartupHooks {
  bool runFirstRunStep = true;                     // the CLI leaves the first run to the desktop program
  std::function<void()> buildSerialLists;          // serial settings name lists
  std::function<int()> GetSystemDefaultLCID;       // defaults to the system locale
  std::function<void()> AutoSetPort;               // search for a port with a radio
  std::function<bool(int port)> VerdictCom;        // false when the port cannot be opened
  std::function<void(int lang)> tickLanguageMenu;  // tick the entry of a language
  std::function<void()> placeAddressTexts;         // the communication window's address boxes
  std::function<void()> buildVolumeTable;
  std::function<void()> buildProtocolScripts;
  std::function<void()> SetSoftFace;               // main window captions
  std::function<void()> initChannelWindow;         // grid from the column definitions
  std::function<void()> ChInfoModel;               // model and band lists; the band choice loads the default image
  std::function<void()> layoutHexView;
  std::function<void()> showChannelWindow;
  std::function<void(bool locked)> applyLock;      // restore the interface lock
};

class Startup {
 public:
  Startup(Core& core, StartupHooks hooks) : core_(core), hooks_(std::move(hooks)) {}

  // The main window's load sequence. Records each step's name in `trace`.
  void run();
  // The first-run step: language from the system locale, then the port search.
  void GetSysLang();

  QStringList trace;

 private:
  void step(const char* name, const std::function<void()>& body);
  QString readSetting(const QString& key, const QString& def, int maxChars);
  int readNumber(const QString& key, const QString& def, int maxChars);
  int readHex(const QString& key, const QString& def, QString& text);
  QString readColour(const QString& key, const QString& def);

  Core& core_;
  StartupHooks hooks_;
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

// The language switch (`SwiLangFace` and the menu steps around it). Returns
// false when the language is already the current one or the user kept the
// unsaved changes by cancelling (nothing happens).
struct LanguageSwitchHooks {
  std::function<void(int lang)> tickLanguageMenu;
  std::function<bool()> startNewInstance;   // start a fresh instance of the program
  std::function<void()> closeMainWindow;
};
bool switchLanguage(Core& core, int lang, const LanguageSwitchHooks& hooks);

// Help file of a language, beside the program; normalises the code first.
QString helpFilePath(const Core& core, int& lang);

}  // namespace zr
