// zr417-cli diff A B: two data files or raw images compared by meaning.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommon.h"
#include "cli/CliParser.h"
#include "data/DataFiles.h"
#include "editors/ImageDiff.h"

namespace zr::cli {

namespace {

QString where(const FieldDifference& d) {
  if (d.group == QStringLiteral("channel")) return QStringLiteral("channel %1 %2").arg(d.number).arg(d.field);
  if (d.group == QStringLiteral("setting")) return d.field;
  if (d.number > 0) return QStringLiteral("%1 %2").arg(d.group).arg(d.number);
  return d.group;
}

QString hex(int value, int digits) { return QString::number(value, 16).toUpper().rightJustified(digits, u'0'); }

}  // namespace

int runDiff(const GlobalOptions& global, const QStringList& args) {
  GlobalOptions g = global;
  CommandParser p(QStringLiteral("diff"));
  if (auto exit = p.parse(args, g)) return *exit;
  const QStringList files = p.positionals();
  if (files.size() != 2) return p.usageError(QStringLiteral("give two files, A and B"));
  for (const QString& f : files)
    if (f.isEmpty()) return p.usageError(QStringLiteral("no file name given"));

  std::vector<uint8_t> images[2];
  for (int k = 0; k < 2; ++k) {
    try {
      images[k] = imageOfFile(readFileBytes(files[k], kMaxInputBytes));  // never a whole device
    } catch (const RunError& e) {
      printErr(QStringLiteral("zr417-cli diff: %1").arg(e.detail().isEmpty() ? files[k] + QStringLiteral(": cannot read")
                                                                               : e.detail()));
      return kExitUsage;  // diff(1)'s convention: 2 is trouble, 1 is "different"
    }
  }
  auto session = startSession(g);
  const ImageDifferences d = diffImages(*session->editors, images[0], images[1]);

  if (p.isSet(QStringLiteral("json"))) {
    QJsonArray fields, bytes;
    for (const FieldDifference& f : d.fields) {
      QJsonObject o;
      o.insert(QStringLiteral("group"), f.group);
      if (f.number > 0) o.insert(QStringLiteral("number"), f.number);
      o.insert(QStringLiteral("field"), f.field);
      o.insert(QStringLiteral("a"), f.a);
      o.insert(QStringLiteral("b"), f.b);
      fields.append(o);
    }
    for (const ByteDifference& b : d.bytes) {
      QJsonObject o;
      o.insert(QStringLiteral("address"), hex(b.address, 4));
      o.insert(QStringLiteral("a"), b.a);
      o.insert(QStringLiteral("b"), b.b);
      bytes.append(o);
    }
    QJsonObject root;
    root.insert(QStringLiteral("equal"), d.equal());
    root.insert(QStringLiteral("fields"), fields);
    root.insert(QStringLiteral("bytes"), bytes);
    printOut(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)).trimmed());
  } else {
    for (const FieldDifference& f : d.fields)
      printOut(QStringLiteral("%1: \"%2\" -> \"%3\"").arg(where(f), f.a, f.b));
    for (const ByteDifference& b : d.bytes)
      printOut(QStringLiteral("byte %1: %2 -> %3 (no shown value depends on it)")
                   .arg(hex(b.address, 4), hex(b.a, 2), hex(b.b, 2)));
  }
  return d.equal() ? kExitOk : kExitFailed;
}

}  // namespace zr::cli
