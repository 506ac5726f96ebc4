#pragma once
// The command line of zr417-cli written down once: every command with its
// usage, its description and its options, the global options and the exit
// codes. The commands' parsers take their options from here, and so do the
// top-level --help, the manual page's command section and the bash, zsh and
// fish completions (generated at build time by tools/mkclidocs.cpp), so that
// none of them can forget an option the others know.
#include <QString>
#include <QStringList>
#include <vector>

namespace zr::cli {

// What a value (of an option, or an argument) is, so that a completion can
// offer the right words.
enum class ValueKind {
  None,    // nothing to offer (a number, a text, a range)
  File,    // a file name ending in one of `words` (extensions without the dot)
  Port,    // a port number 1..16 or a serial device path
  Choice,  // one of `words`
  Field,   // FIELD=VALUE of `set`: the settings fields' names, model= and band=
};

struct ValueSpec {
  ValueKind kind = ValueKind::None;
  QStringList words;
};

struct OptionSpec {
  QString name;         // "port" for --port
  QString shortName;    // "v" for -v, mostly empty
  QString valueName;    // "PORT"; empty for a flag
  QString description;  // one sentence or two, for --help and the manual page
  ValueSpec value;      // what completes the value
};

struct CommandSpec {
  QString name;       // "read"
  QString synopsis;   // usage lines without "zr417-cli ", one per '\n'
  QString summary;    // one line for the top-level help
  QString description;
  std::vector<OptionSpec> options;
  ValueSpec firstArgument;   // the first word that is no option
  ValueSpec laterArguments;  // the words after it
  // A command whose logic has not landed yet stays out of the help, the
  // manual page and the completions until it is switched on.
  bool listed = true;
};

struct ExitCode {
  int code;
  QString meaning;
};

// Every command, in the order the help lists them.
const std::vector<CommandSpec>& commandTable();
// The command of that name, or nullptr.
const CommandSpec* findCommand(const QString& name);
// The options every command accepts, before or after the command's name.
const std::vector<OptionSpec>& globalOptions();
const std::vector<ExitCode>& exitCodes();
// The top-level help of `zr417-cli --help`.
QString overviewText();

}  // namespace zr::cli
