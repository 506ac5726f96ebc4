#include "shell/Startup.h"

#include <QMetaMethod>

#include "editors/ChInfoReader.h"
#include "base/VbText.h"
#include "base/TextIds.h"

namespace zr {

namespace {
const char kLoadTag[] = "mdifrmMain->MDIForm_Load";
}  // namespace

int languageForLcid(int lcid) {
  switch (lcid) {
    case kLcidChineseTaiwan: return kLangCht;
    case kLcidEnglishUs: return kLangEng;
    case kLcidChinesePrc: return kLangChs;
    default: return kLangEng;
  }
}

template <typename Body>
void Startup::step(const char* name, Body&& body) {
  trace << QString::fromLatin1(name);
  guarded(core_.log, kLoadTag, std::forward<Body>(body));
}

QString Startup::readSetting(const QString& key, const QString& def, int maxChars) {
  return core_.setting(key, def, maxChars);
}

int Startup::readNumber(const QString& key, const QString& def, int maxChars) {
  const QString text = readSetting(key, def, maxChars);
  if (auto v = toInt16(text)) return *v;
  // Not a number: report it and go on with the key's default.
  core_.log.LogError(QStringLiteral("%1 (%2)").arg(QLatin1String(kLoadTag), key), kErrTypeMismatch);
  return toInt16(def).value_or(0);
}

int Startup::readHex(const QString& key, const QString& def, QString& text) {
  text = readSetting(key, def, 14);
  if (auto v = hexToUInt16(text)) return *v;
  core_.log.LogError(QStringLiteral("%1 (%2)").arg(QLatin1String(kLoadTag), key), kErrTypeMismatch);
  text = def;
  return hexToUInt16(def).value_or(0);
}

QString Startup::readColour(const QString& key, const QString& def) {
  const QString text = readSetting(key, def, 29);
  bool ok = false;
  const qlonglong v = text.toLongLong(&ok);
  if (ok && v >= 0 && v <= 0xFFFFFF) return text;
  core_.log.LogError(QStringLiteral("%1 (%2)").arg(QLatin1String(kLoadTag), key), kErrTypeMismatch);
  return def;
}

void Startup::GetSysLang() {
  guarded(core_.log, "mdifrmMain->GetSysLang", [&] {
    // A 16-bit number like the other numeric keys ("0.4" is 0); text that is
    // not a number is reported and counts as the default "1", a first run.
    const QString firRun = readSetting(QStringLiteral("FirRun"), QStringLiteral("1"), 2);
    const std::optional<int> first = toInt16(firRun);
    if (!first) core_.log.LogError(QStringLiteral("mdifrmMain->GetSysLang (FirRun)"), kErrTypeMismatch);
    if (first.value_or(1) == 0) return;
    core_.ini.WriteString(kSettingSection, QStringLiteral("FirRun"), QStringLiteral("0"));
    const int lcid = frontEnd_.GetSystemDefaultLCID();
    core_.ini.WriteString(kSettingSection, QStringLiteral("Language"), QString::number(languageForLcid(lcid)));
    trace << QStringLiteral("AutoSetPort");
    frontEnd_.AutoSetPort();
  });
}

void Startup::run() {
  // Every key the start-up reads comes from one version of the configuration
  // file, looked at once (a key written meanwhile is read back as written).
  const PrivateProfile::Snapshot snapshot(core_.ini);
  AppSettings& s = core_.settings;
  step("buildSerialLists", [this] { emit buildSerialLists(); });
  step("channelBitTables", [] {});  // the tables are constants of AppSettings
  step("configPath", [] {});        // fixed when the core was built
  trace << QStringLiteral("GetSysLang");
  if (runFirstRunStep) GetSysLang();
  step("language", [&] {
    int stored = readNumber(QStringLiteral("Language"), QStringLiteral("2"), 9);
    if (stored < kLangChs || stored > kLangEng) stored = kLangEng;
    // Every run starts in English, whatever was stored.
    core_.CurLang = kLangEng;
    emit languageSettled(core_.CurLang);
  });
  step("LoadSoftFace", [&] { core_.text.LoadSoftFace(core_.CurLang); });
  step("HanZiTbl", [] {});  // built with the core
  step("port", [&] {
    s.ComPort = readNumber(QStringLiteral("COM"), QStringLiteral("1"), 9);
    if (!frontEnd_.VerdictCom(s.ComPort)) frontEnd_.AutoSetPort();
  });
  step("image", [&] {
    const int datNum = readNumber(QStringLiteral("DatNum"), QStringLiteral("0"), 9);
    core_.image.create(datNum);
  });
  step("fonts", [&] {
    s.EngFont = readSetting(QStringLiteral("EngFont"), QStringLiteral("Times New Roman"), 29);
    s.ChsFont = readSetting(QStringLiteral("ChsFont"), QStringLiteral("宋体"), 29);
    s.SoftFont = core_.CurLang == kLangChs ? s.ChsFont : s.EngFont;
  });
  step("colours", [&] {
    s.OverColor = readColour(QStringLiteral("OverColor"), kDefaultOverColor);
    s.DefColor = readColour(QStringLiteral("DefColor"), kDefaultDefColor);
  });
  step("VolumeMode", [&] { s.VolumeMode = readNumber(QStringLiteral("VolumeMode"), QStringLiteral("0"), 29); });
  step("addresses", [&] {
    s.TableMaxAddr = readHex(QStringLiteral("TableMaxAddr"), QStringLiteral("1FFF"), s.TableMaxAddrText);
    s.ReadStartAddr = readHex(QStringLiteral("ReadStartAddr"), QStringLiteral("0000"), s.ReadStartAddrText);
    s.ReadEndAddr = readHex(QStringLiteral("ReadEndAddr"), QStringLiteral("1FFF"), s.ReadEndAddrText);
    s.WriteStartAddr = readHex(QStringLiteral("WriteStartAddr"), QStringLiteral("0000"), s.WriteStartAddrText);
    s.WriteEndAddr = readHex(QStringLiteral("WriteEndAddr"), QStringLiteral("1FFF"), s.WriteEndAddrText);
    emit addressesRead();
  });
  step("buildVolumeTable", [this] { emit buildVolumeTable(); });
  step("buildProtocolScripts", [this] { emit buildProtocolScripts(); });
  step("GenerateDatFolder", [&] { core_.files.GenerateDatFolder(); });
  step("SetSoftFace", [this] { emit SetSoftFace(); });
  step("InitChMem", [&] {
    core_.tones.GenCtdcsList(core_.CurLang);
    core_.columns = ReadChInfo(core_.ini, core_.CurLang, core_.log);
    emit initChannelWindow();
    core_.codec.InitChTable();
    // The initial band choice starts a new data set from the default image.
    if (isSignalConnected(QMetaMethod::fromSignal(&Startup::ChInfoModel))) emit ChInfoModel();
    else core_.files.NewFileSol();
  });
  step("layoutHexView", [this] { emit layoutHexView(); });
  step("showChannelWindow", [this] { emit showChannelWindow(); });
  step("ChannelLock", [&] {
    s.LockState = readSetting(QStringLiteral("ChannelLock"), kLockOff, 14);
    emit lockRestored(s.LockState == kLockOn);
  });
  // What the start-up set up is where the user's history begins.
  core_.history.clear();
}

bool queryUnload(Core& core, const std::function<void(const QString&)>& closeWindow) {
  bool mayClose = false;
  guarded(core.log, "mdifrmMain->MDIForm_QueryUnload", [&] {
    AppSettings& s = core.settings;
    if (s.autoInputOpen) return;
    // The language switch has asked already, before its new instance started.
    if (!s.LeaveNoAsk && !core.files.mayReplaceData(core.text.SoftFace(kTxtExitQuestion))) return;
    s.Leaving = true;
    for (const QString& name : kCloseOrder)
      if (closeWindow) closeWindow(name);
    mayClose = true;
  });
  return mayClose;
}

bool LanguageSwitch::switchTo(int lang) {
  Core& core = core_;
  if (lang == core.CurLang) return false;
  const int previous = core.CurLang;
  // The switch closes the program: a batch round still writing radios is
  // ended only if the user agrees, asked before anything changes.
  if (!frontEnd_.mayLeave()) return false;
  // The switch closes this window: unsaved changes are saved or dropped
  // before the new instance starts, or the switch does not happen.
  if (!core.files.mayReplaceData()) return false;
  guarded(core.log, "mdifrmMain->SwiLangFace", [&] {
    emit languageTicked(lang);
    core.CurLang = lang;
    QString why;
    if (!core.ini.WriteString(kSettingSection, QStringLiteral("Language"), QString::number(lang), &why)) {
      // Not stored, so no restart: the program stays wholly in its language
      // and the user learns why.
      core.CurLang = previous;
      emit languageTicked(previous);
      core.prompts.message(core.text.SoftFace(kTxtNotice), core.text.SoftFace(kTxtOccurError) + QStringLiteral("\n") + why,
                           UserPrompts::Icon::Error);
      throw RunError(kErrPathFileAccess, why);
    }
    core.prompts.message(QStringLiteral("Message"), core.text.text(kTxtLanguageChanged, kLangEng),
                         UserPrompts::Icon::Question);
    frontEnd_.startNewInstance();
    core.settings.LeaveNoAsk = true;
    emit closeWanted();
  });
  return true;
}

QString helpFilePath(const Core& core, int& lang) {
  if (lang < kLangChs || lang > kLangEng) lang = kLangEng;
  static const QString kNames[] = {QStringLiteral("ChsHelp.html"), QStringLiteral("ChtHelp.html"),
                                   QStringLiteral("EngHelp.html")};
  return core.paths.sharedFile(kNames[lang - 1]);
}

}  // namespace zr
