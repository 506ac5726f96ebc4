// Writes zr417-cli's shell completions and manual page from its table of
// commands: OUTDIR/completions/{zr417-cli,_zr417-cli,zr417-cli.fish} and
// OUTDIR/man/zr417-cli.1 from the page's template.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "cli/CliDocs.h"
#include "editors/SettingsMap.h"

namespace {

bool writeFile(const QString& path, const QString& text) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text.toUtf8()) < 0) {
    std::fprintf(stderr, "zr417-mkclidocs: cannot write %s: %s\n", qPrintable(path), qPrintable(f.errorString()));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: zr417-mkclidocs OUTDIR MANPAGE-TEMPLATE\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QFile manTemplate(QString::fromLocal8Bit(argv[2]));
  if (!manTemplate.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "zr417-mkclidocs: cannot read %s: %s\n", argv[2], qPrintable(manTemplate.errorString()));
    return 1;
  }
  // The names `set` takes: every settings field that holds a value, then the
  // model and range lists.
  QStringList fields;
  for (const zr::FieldDef& d : zr::settingsTable())
    if (d.widget != zr::Widget::Button) fields << d.name;
  fields << QStringLiteral("model") << QStringLiteral("band");

  const bool ok = writeFile(out + QStringLiteral("/completions/zr417-cli"), zr::cli::bashCompletion(fields)) &&
                  writeFile(out + QStringLiteral("/completions/_zr417-cli"), zr::cli::zshCompletion(fields)) &&
                  writeFile(out + QStringLiteral("/completions/zr417-cli.fish"), zr::cli::fishCompletion(fields)) &&
                  writeFile(out + QStringLiteral("/man/zr417-cli.1"),
                            zr::cli::manualPage(QString::fromUtf8(manTemplate.readAll())));
  return ok ? 0 : 1;
}
