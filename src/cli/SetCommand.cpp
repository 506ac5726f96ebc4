// zr417-cli set FILE.dat [--out OUT.dat] FIELD=VALUE ...: radio-wide settings
// changed through each field's own change handling, then saved.
#include <QFileInfo>

#include "cli/CliCommon.h"
#include "cli/CliParser.h"
#include "editors/BandChoice.h"

namespace zr::cli {

namespace {

// A field its page shows disabled still takes the value; the user hears
// which field enables it.
QString disabledWarning(const SettingsMap& map, const QString& name) {
  const FieldDef* d = map.def(name);
  const FieldState* s = map.state(name);
  if (!d || !s || s->enabled) return {};
  const QString& leader = d->enabledWhen.leader;
  const FieldDef* ld = map.def(leader);
  const FieldState* ls = map.state(leader);
  if (!ld || !ls)
    return QStringLiteral("zr417-cli set: warning: %1 is disabled on its page; the value is stored anyway").arg(name);
  QString shown;
  switch (ld->widget) {
    case Widget::Check: shown = ls->checked ? QStringLiteral("on") : QStringLiteral("off"); break;
    case Widget::List: shown = QStringLiteral("\"%1\"").arg(ls->entries.value(ls->position)); break;
    default: shown = QStringLiteral("\"%1\"").arg(ls->text); break;
  }
  return QStringLiteral("zr417-cli set: warning: %1 is disabled on its page while %2 is %3 (%2 enables it); the "
                        "value is stored anyway")
      .arg(name, leader, shown);
}

}  // namespace

int runSet(const GlobalOptions& global, const QStringList& args) {
  GlobalOptions g = global;
  CommandParser p(QStringLiteral("set"));
  if (auto exit = p.parse(args, g)) return *exit;
  QStringList assignments = p.positionals();
  if (assignments.isEmpty()) return p.usageError(QStringLiteral("missing FILE.dat"));
  const QString file = assignments.takeFirst();
  if (assignments.isEmpty()) return p.usageError(QStringLiteral("no assignment FIELD=VALUE given"));
  for (const QString& a : assignments)
    if (!a.contains(u'=')) return p.usageError(QStringLiteral("not an assignment FIELD=VALUE: %1").arg(a));
  const QString outPath = p.value(QStringLiteral("out"));

  const bool force = p.isSet(QStringLiteral("force"));
  if (auto exit = refuseNonDataFile(QStringLiteral("set"), file, force)) return *exit;
  if (!outPath.isEmpty() && QFileInfo::exists(outPath))
    if (auto exit = refuseNonDataFile(QStringLiteral("set"), outPath, force)) return *exit;

  SaveLock lock;
  if (auto exit = lock.take(QStringLiteral("set"), outPath.isEmpty() ? file : outPath)) return *exit;
  auto session = startSession(g);
  Core& c = *session->core;
  if (!c.files.OpenFile(file)) return kExitFailed;
  // A range change points the current path at a new file, as New does; the
  // result still goes where the user said.
  const QString savePath = outPath.isEmpty() ? c.image.CurFilePath : outPath;
  SettingsMap& map = session->editors->settings;
  for (const QString& a : assignments) {
    const qsizetype eq = a.indexOf(u'=');
    const QString name = a.left(eq);
    const QString value = a.mid(eq + 1);
    QString problem;
    const int inUse = channelsInUse(c);
    if (name == QStringLiteral("model")) {
      problem = chooseModel(session->editors->band, value);
    } else if (name == QStringLiteral("band")) {
      problem = chooseBand(session->editors->band, value);
    } else {
      const QString warning = disabledWarning(map, name);
      problem = map.applyAssignment(a);
      if (problem.isEmpty() && !warning.isEmpty()) printErr(warning);
    }
    if (!problem.isEmpty()) {
      printErr(QStringLiteral("zr417-cli set: %1").arg(problem));
      return kExitUsage;  // nothing is written
    }
    // A model or range that starts a new data set empties the channel table:
    // never without the user saying so.
    if ((name == QStringLiteral("band") || name == QStringLiteral("model")) && inUse > 0 && channelsInUse(c) == 0 &&
        !force) {
      printErr(QStringLiteral("zr417-cli set: %1 has %2 channels in use; %3= starts a new data set; add --force to "
                              "clear them (nothing was written)")
                   .arg(file)
                   .arg(inUse)
                   .arg(name));
      return kExitFailed;
    }
    if (name == QStringLiteral("band"))
      printErr(QStringLiteral("zr417-cli set: note: choosing a range starts a new data set, as the range list "
                              "does: every channel and setting returns to its default"));
  }
  c.image.CurFilePath = savePath;
  if (!c.files.SaveDatFile()) {
    printSaveFailure(*session, QStringLiteral("set"), savePath);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace zr::cli
