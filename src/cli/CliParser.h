#pragma once
// The one option parser of every zr417-cli command, over QCommandLineParser:
// `--opt VALUE` and `--opt=VALUE`, `--` ends the options, `-` is a file name
// (stdin or stdout), `--help` on every command, and the global options
// (`--config`, `--verbose`, `--version`) accepted after the command too.
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

namespace zr::cli {

struct GlobalOptions;

class CommandParser {
 public:
  // The parser of a command of the command table (CommandTable.h): its usage,
  // description and options come from its row.
  explicit CommandParser(const QString& command);
  // command: "read"; synopsis: the usage line without "zr417-cli " (several
  // lines allowed); description: one paragraph on what the command does.
  CommandParser(QString command, QString synopsis, QString description);

  // An option taking a value when valueName is given, otherwise a flag.
  void addOption(const QString& name, const QString& description, const QString& valueName = {});

  // Parses the words after the command. Returns an exit code when the
  // command ends at once: 0 after --help or --version, 2 on a usage error
  // (the message is on stderr). Global options found here go into g.
  std::optional<int> parse(const QStringList& args, GlobalOptions& g);

  bool isSet(const QString& name) const { return parser_.isSet(name); }
  // The option's value; the last one when it was given more than once.
  QString value(const QString& name) const { return parser_.value(name); }
  // Every value of an option that may be repeated, in the order given.
  QStringList values(const QString& name) const { return parser_.values(name); }
  QStringList positionals() const { return parser_.positionalArguments(); }

  // A usage error found after parsing: the message and a hint on stderr.
  int usageError(const QString& message) const;
  QString helpText() const;

 private:
  QString command_;
  QString synopsis_;
  QCommandLineParser parser_;
};

// The global options and the command, from the whole command line. Returns
// an exit code when the program ends at once (help, version, usage error);
// otherwise command is set (empty when none was given) and rest holds the
// words after it.
std::optional<int> parseGlobal(const QStringList& arguments, const QString& overview, GlobalOptions& g,
                               QString& command, QStringList& rest);

// The version line of --version.
QString versionText();

}  // namespace zr::cli
