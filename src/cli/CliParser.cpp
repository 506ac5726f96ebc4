#include "cli/CliParser.h"

#include <QCoreApplication>

#include "cli/CliCommon.h"
#include "cli/CommandTable.h"

namespace zr::cli {

namespace {

const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");
const QString kConfig = QStringLiteral("config");
const QString kVerbose = QStringLiteral("verbose");

void addOptionSpec(QCommandLineParser& p, const OptionSpec& o) {
  QStringList names;
  if (!o.shortName.isEmpty()) names << o.shortName;
  names << o.name;
  p.addOption(QCommandLineOption(names, o.description, o.valueName));
}

// The options every command accepts, before or after the command's name.
void addGlobalOptions(QCommandLineParser& p) {
  for (const OptionSpec& o : globalOptions()) addOptionSpec(p, o);
}

void takeGlobalOptions(const QCommandLineParser& p, GlobalOptions& g) {
  if (p.isSet(kConfig)) g.configPath = p.value(kConfig);
  if (p.isSet(kVerbose)) g.verbose = true;
}

QString dashed(const QString& name) {
  return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// QCommandLineParser's own texts ("Missing value after '--port'.") as one of
// our message lines.
QString parseProblem(const QCommandLineParser& p) {
  const QStringList unknown = p.unknownOptionNames();
  if (!unknown.isEmpty()) return QStringLiteral("unknown option '%1'").arg(dashed(unknown.first()));
  QString text = p.errorText();
  if (text.endsWith(u'.')) text.chop(1);
  if (!text.isEmpty()) text[0] = text[0].toLower();
  return text;
}

void printText(const QString& text, std::FILE* to) {
  const QByteArray b = text.toUtf8();
  std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), to);
  std::fflush(to);
}

}  // namespace

QString versionText() { return QStringLiteral("zr417-cli %1").arg(QCoreApplication::applicationVersion()); }

CommandParser::CommandParser(const QString& command) : command_(command) {
  const CommandSpec* spec = findCommand(command);
  if (!spec) return;  // a programming error; parse() then knows no option
  synopsis_ = spec->synopsis;
  parser_.setApplicationDescription(spec->description);
  for (const OptionSpec& o : spec->options) addOptionSpec(parser_, o);
}

CommandParser::CommandParser(QString command, QString synopsis, QString description)
    : command_(std::move(command)), synopsis_(std::move(synopsis)) {
  parser_.setApplicationDescription(description);
}

void CommandParser::addOption(const QString& name, const QString& description, const QString& valueName) {
  parser_.addOption(QCommandLineOption(name, description, valueName));
}

std::optional<int> CommandParser::parse(const QStringList& args, GlobalOptions& g) {
  // Added last, so that the help lists the command's own options first.
  addGlobalOptions(parser_);
  if (!parser_.parse(QStringList{QStringLiteral("zr417-cli")} + args)) return usageError(parseProblem(parser_));
  if (parser_.isSet(kHelp)) {
    printText(helpText(), stdout);
    return kExitOk;
  }
  if (parser_.isSet(kVersion)) {
    printOut(versionText());
    return kExitOk;
  }
  takeGlobalOptions(parser_, g);
  return std::nullopt;
}

int CommandParser::usageError(const QString& message) const {
  printErr(QStringLiteral("zr417-cli %1: %2").arg(command_, message));
  printErr(QStringLiteral("Try 'zr417-cli %1 --help'.").arg(command_));
  return kExitUsage;
}

QString CommandParser::helpText() const {
  // QCommandLineParser's first line names the program by its path; ours
  // names the command and its arguments.
  const QString generated = parser_.helpText();
  QString usage;
  const QStringList lines = synopsis_.split(u'\n');
  for (int i = 0; i < lines.size(); ++i)
    usage += (i == 0 ? QStringLiteral("Usage: zr417-cli ") : QStringLiteral("       zr417-cli ")) + lines[i] + u'\n';
  const qsizetype firstBreak = generated.indexOf(u'\n');
  return usage + (firstBreak < 0 ? QString() : generated.mid(firstBreak + 1));
}

std::optional<int> parseGlobal(const QStringList& arguments, const QString& overview, GlobalOptions& g,
                               QString& command, QStringList& rest) {
  QCommandLineParser p;
  // Options stop at the command's name; the command parses the rest.
  p.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  addGlobalOptions(p);
  if (!p.parse(arguments)) {
    printErr(QStringLiteral("zr417-cli: %1").arg(parseProblem(p)));
    printErr(QStringLiteral("Try 'zr417-cli --help'."));
    return kExitUsage;
  }
  rest = p.positionalArguments();
  if (p.isSet(kVersion)) {
    printOut(versionText());
    return kExitOk;
  }
  if (rest.isEmpty()) {
    printText(overview, p.isSet(kHelp) ? stdout : stderr);
    return p.isSet(kHelp) ? kExitOk : kExitUsage;
  }
  command = rest.takeFirst();
  // `zr417-cli --help read` shows the help of read.
  if (p.isSet(kHelp)) rest.prepend(QStringLiteral("--help"));
  takeGlobalOptions(p, g);
  return std::nullopt;
}

}  // namespace zr::cli
