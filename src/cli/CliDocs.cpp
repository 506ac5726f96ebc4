#include "cli/CliDocs.h"

#include "cli/CommandTable.h"

namespace zr::cli {

namespace {

const QString kProgram = QStringLiteral("zr417-cli");
constexpr int kPortCount = 16;  // port numbers 1..16, as the desktop program numbers them

std::vector<const CommandSpec*> listedCommands() {
  std::vector<const CommandSpec*> out;
  for (const CommandSpec& c : commandTable())
    if (c.listed) out.push_back(&c);
  return out;
}

QString portNumbers() {
  QStringList n;
  for (int i = 1; i <= kPortCount; ++i) n << QString::number(i);
  return n.join(u' ');
}

// A word in single quotes for sh, bash, zsh and fish alike.
QString quoted(const QString& s) {
  QString q = s;
  q.replace(QStringLiteral("'"), QStringLiteral("'\\''"));
  return u'\'' + q + u'\'';
}

// The first sentence of a description, for a completion's one-line hint.
QString hint(const QString& description) {
  QString s = description.simplified();
  const int stop = s.indexOf(QStringLiteral(". "));
  if (stop >= 0) s = s.left(stop + 1);
  return s;
}

// ---- bash -----------------------------------------------------------------

QString bashValue(const ValueSpec& v) {
  switch (v.kind) {
    case ValueKind::None: return QStringLiteral(":");
    case ValueKind::File: return QStringLiteral("_zr417_cli_files \"$cur\" ") + v.words.join(u' ');
    case ValueKind::Port: return QStringLiteral("_zr417_cli_ports \"$cur\"");
    case ValueKind::Choice:
      return QStringLiteral("COMPREPLY=( $(compgen -W %1 -- \"$cur\") )").arg(quoted(v.words.join(u' ')));
    case ValueKind::Field: return QStringLiteral("_zr417_cli_fields \"$cur\"");
  }
  return QStringLiteral(":");
}

QString bashOptionWords(const std::vector<OptionSpec>& options) {
  QStringList w;
  for (const OptionSpec& o : options) {
    w << QStringLiteral("--") + o.name;
    if (!o.shortName.isEmpty()) w << QStringLiteral("-") + o.shortName;
  }
  return w.join(u' ');
}

// ---- zsh ------------------------------------------------------------------

QString zshAction(const ValueSpec& v) {
  switch (v.kind) {
    case ValueKind::None: return QStringLiteral(" ");
    case ValueKind::File: return QStringLiteral("_files -g \"*.(%1)(-.)\"").arg(v.words.join(u'|'));
    case ValueKind::Port: return QStringLiteral("_zr417_cli_ports");
    case ValueKind::Choice: return QStringLiteral("(%1)").arg(v.words.join(u' '));
    case ValueKind::Field: return QStringLiteral("_zr417_cli_fields");
  }
  return QStringLiteral(" ");
}

QString zshBracketed(const QString& text) {
  QString t = hint(text);
  t.replace(u'\\', QStringLiteral("\\\\")).replace(u'[', QStringLiteral("\\[")).replace(u']', QStringLiteral("\\]"));
  return u'[' + t + u']';
}

QStringList zshOptionSpecs(const std::vector<OptionSpec>& options) {
  QStringList specs;
  for (const OptionSpec& o : options) {
    QStringList names{QStringLiteral("--") + o.name};
    if (!o.shortName.isEmpty()) names.prepend(QStringLiteral("-") + o.shortName);
    for (const QString& n : names) {
      if (o.valueName.isEmpty())
        specs << quoted(n + zshBracketed(o.description));
      else
        specs << quoted(n + u'=' + zshBracketed(o.description) + u':' + o.valueName + u':' + zshAction(o.value));
    }
  }
  return specs;
}

// ---- fish -----------------------------------------------------------------

QString fishArguments(const ValueSpec& v) {
  switch (v.kind) {
    case ValueKind::None: return QString();
    case ValueKind::File: return QStringLiteral(" -a ") + quoted(QStringLiteral("(__zr417_cli_files %1)").arg(v.words.join(u' ')));
    case ValueKind::Port: return QStringLiteral(" -a '(__zr417_cli_ports)'");
    case ValueKind::Choice: return QStringLiteral(" -a ") + quoted(v.words.join(u' '));
    case ValueKind::Field: return QStringLiteral(" -a '(__zr417_cli_fields)'");
  }
  return QString();
}

QString fishOption(const QString& condition, const OptionSpec& o) {
  QString line = QStringLiteral("complete -c zr417-cli");
  if (!condition.isEmpty()) line += QStringLiteral(" -n ") + quoted(condition);
  if (!o.shortName.isEmpty()) line += QStringLiteral(" -s ") + o.shortName;
  line += QStringLiteral(" -l ") + o.name;
  if (!o.valueName.isEmpty()) line += QStringLiteral(" -r") + fishArguments(o.value);
  return line + QStringLiteral(" -d ") + quoted(hint(o.description)) + u'\n';
}

// ---- roff -----------------------------------------------------------------

QString roff(const QString& text) {
  QString t = text;
  t.replace(u'\\', QStringLiteral("\\e")).replace(u'-', QStringLiteral("\\-"));
  if (t.startsWith(u'.') || t.startsWith(u'\'')) t.prepend(QStringLiteral("\\&"));
  return t;
}

// A usage line with options and literal words in bold, placeholders in
// italics, brackets and bars in roman.
QString roffSynopsis(const QString& line) {
  QString out, word;
  auto flush = [&] {
    if (word.isEmpty()) return;
    const bool literal = word.startsWith(u'-') ? !word.contains(u'=') : word == word.toLower();
    if (word == QStringLiteral("..."))
      out += word;
    else
      out += (literal ? QStringLiteral("\\fB") : QStringLiteral("\\fI")) + roff(word) + QStringLiteral("\\fR");
    word.clear();
  };
  for (const QChar c : line.simplified()) {
    if (QStringLiteral("[]()| ").contains(c)) {
      flush();
      out += c;
    } else {
      word += c;
    }
  }
  flush();
  return out;
}

}  // namespace

QString bashCompletion(const QStringList& fields) {
  QString s = QStringLiteral(
      "# bash completion for zr417-cli, written from the program's table of commands.\n"
      "\n"
      "# Directories and the files ending in one of the extensions.\n"
      "_zr417_cli_files() {\n"
      "  local cur=$1 e IFS=$'\\n'; shift\n"
      "  compopt -o filenames 2>/dev/null\n"
      "  COMPREPLY+=( $(compgen -d -- \"$cur\") )\n"
      "  for e in \"$@\"; do\n"
      "    COMPREPLY+=( $(compgen -f -X \"!*.$e\" -- \"$cur\") $(compgen -f -X \"!*.${e^^}\" -- \"$cur\") )\n"
      "  done\n"
      "}\n"
      "\n"
      "# Port numbers as the program numbers them, or a device path.\n"
      "_zr417_cli_ports() {\n"
      "  local cur=$1 d\n"
      "  if [[ $cur == /* ]]; then\n"
      "    local IFS=$'\\n'\n"
      "    compopt -o filenames 2>/dev/null\n"
      "    COMPREPLY+=( $(compgen -f -- \"$cur\") )\n"
      "    return\n"
      "  fi\n"
      "  COMPREPLY+=( $(compgen -W '%1' -- \"$cur\") )\n"
      "  for d in /dev/ttyUSB* /dev/ttyACM* /dev/serial/by-id/*; do\n"
      "    [[ -e $d && $d == \"$cur\"* ]] && COMPREPLY+=( \"$d\" )\n"
      "  done\n"
      "}\n"
      "\n"
      "# FIELD= of set: the settings fields, model and band.\n"
      "_zr417_cli_fields() {\n"
      "  local f want=${1//\\\\/}  # as typed, without the backslashes before ( and )\n"
      "  local -a names=(\n")
                  .arg(portNumbers());
  for (const QString& f : fields) s += QStringLiteral("    ") + quoted(f) + u'\n';
  s += QStringLiteral(
      "  )\n"
      "  compopt -o nospace 2>/dev/null\n"
      "  for f in \"${names[@]}\"; do\n"
      "    [[ $f == \"$want\"* ]] && COMPREPLY+=( \"$(printf '%q' \"$f\")=\" )\n"
      "  done\n"
      "}\n"
      "\n"
      "# Whether option $2 of command $1 takes a value.\n"
      "_zr417_cli_takes_value() {\n"
      "  case \"$2\" in\n");
  for (const OptionSpec& o : globalOptions())
    if (!o.valueName.isEmpty()) s += QStringLiteral("    --%1) return 0 ;;\n").arg(o.name);
  s += QStringLiteral("  esac\n  case \"$1 $2\" in\n");
  QStringList valued;
  for (const CommandSpec* c : listedCommands())
    for (const OptionSpec& o : c->options)
      if (!o.valueName.isEmpty()) valued << quoted(c->name + QStringLiteral(" --") + o.name);
  if (!valued.isEmpty()) s += QStringLiteral("    ") + valued.join(u'|') + QStringLiteral(") return 0 ;;\n");
  s += QStringLiteral(
      "  esac\n"
      "  return 1\n"
      "}\n"
      "\n"
      "# The value of option $2 of command $1.\n"
      "_zr417_cli_value() {\n"
      "  local cur=$3\n"
      "  case \"$1 $2\" in\n");
  for (const CommandSpec* c : listedCommands())
    for (const OptionSpec& o : c->options)
      if (!o.valueName.isEmpty())
        s += QStringLiteral("    %1) %2 ;;\n").arg(quoted(c->name + QStringLiteral(" --") + o.name), bashValue(o.value));
  for (const OptionSpec& o : globalOptions())
    if (!o.valueName.isEmpty()) s += QStringLiteral("    *' --%1') %2 ;;\n").arg(o.name, bashValue(o.value));
  s += QStringLiteral(
      "  esac\n"
      "}\n"
      "\n"
      "_zr417_cli() {\n"
      "  local cur=${COMP_WORDS[COMP_CWORD]} cword=$COMP_CWORD\n"
      "  local -a words=( \"${COMP_WORDS[@]}\" )\n"
      "  COMPREPLY=()\n"
      "  # bash splits --option=VALUE at '='; the value completes as after --option VALUE.\n"
      "  local opt=\n"
      "  if [[ $cur == = ]]; then\n"
      "    cur= opt=${words[cword-1]}\n"
      "  elif (( cword >= 2 )) && [[ ${words[cword-1]} == = ]]; then\n"
      "    opt=${words[cword-2]}\n"
      "  fi\n"
      "  # The command is the first word that is neither an option nor its value.\n"
      "  local cmd= nargs=0 i=1 w\n"
      "  while (( i < cword )); do\n"
      "    w=${words[i]}\n"
      "    if [[ $w == -?* ]]; then\n"
      "      if [[ ${words[i+1]} == = ]]; then\n"
      "        (( i += 2 ))\n"
      "      elif _zr417_cli_takes_value \"$cmd\" \"$w\"; then\n"
      "        (( i++ ))\n"
      "      fi\n"
      "    elif [[ -z $cmd ]]; then\n"
      "      cmd=$w\n"
      "    else\n"
      "      (( nargs++ ))\n"
      "    fi\n"
      "    (( i++ ))\n"
      "  done\n"
      "  if [[ -z $opt ]] && [[ ${words[cword-1]} == -?* ]] && _zr417_cli_takes_value \"$cmd\" \"${words[cword-1]}\"; then\n"
      "    opt=${words[cword-1]}\n"
      "  fi\n"
      "  # After FIELD= of set (or an option's '=') only the value can follow.\n"
      "  if [[ -n $opt ]]; then\n"
      "    [[ $opt == -* ]] && _zr417_cli_value \"$cmd\" \"$opt\" \"$cur\"\n"
      "    return 0\n"
      "  fi\n"
      "  local global='%1'\n"
      "  if [[ $cur == -* ]]; then\n"
      "    case $cmd in\n")
           .arg(bashOptionWords(globalOptions()));
  for (const CommandSpec* c : listedCommands())
    s += QStringLiteral("      %1) COMPREPLY=( $(compgen -W \"%2 $global\" -- \"$cur\") ) ;;\n")
             .arg(c->name, bashOptionWords(c->options));
  QStringList names;
  for (const CommandSpec* c : listedCommands()) names << c->name;
  s += QStringLiteral(
           "      *) COMPREPLY=( $(compgen -W \"$global\" -- \"$cur\") ) ;;\n"
           "    esac\n"
           "    return 0\n"
           "  fi\n"
           "  if [[ -z $cmd ]]; then\n"
           "    COMPREPLY=( $(compgen -W '%1' -- \"$cur\") )\n"
           "    return 0\n"
           "  fi\n"
           "  case $cmd in\n")
           .arg(names.join(u' '));
  for (const CommandSpec* c : listedCommands()) {
    if (c->firstArgument.kind == ValueKind::None && c->laterArguments.kind == ValueKind::None) continue;
    s += QStringLiteral("    %1) if (( nargs == 0 )); then %2; else %3; fi ;;\n")
             .arg(c->name, bashValue(c->firstArgument), bashValue(c->laterArguments));
  }
  s += QStringLiteral(
      "  esac\n"
      "  return 0\n"
      "}\n"
      "complete -F _zr417_cli zr417-cli\n");
  return s;
}

QString zshCompletion(const QStringList& fields) {
  QString s = QStringLiteral(
      "#compdef zr417-cli\n"
      "# zsh completion for zr417-cli, written from the program's table of commands.\n"
      "\n"
      "_zr417_cli_ports() {\n"
      "  _alternative 'numbers:port number:(%1)' 'devices:device path:_files -W /dev -P /dev/'\n"
      "}\n"
      "\n"
      "_zr417_cli_fields() {\n"
      "  local -a names\n"
      "  names=(\n")
                  .arg(portNumbers());
  for (const QString& f : fields) s += QStringLiteral("    ") + quoted(f) + u'\n';
  s += QStringLiteral(
      "  )\n"
      "  compadd -S '=' -a names\n"
      "}\n"
      "\n"
      "_zr417_cli() {\n"
      "  local curcontext=$curcontext state state_descr line ret=1\n"
      "  typeset -A opt_args\n"
      "  local -a global\n"
      "  global=(\n");
  for (const QString& spec : zshOptionSpecs(globalOptions())) s += QStringLiteral("    ") + spec + u'\n';
  s += QStringLiteral(
      "  )\n"
      "  _arguments -C $global '1:command:->command' '*::argument:->argument' && ret=0\n"
      "  case $state in\n"
      "    command)\n"
      "      local -a commands\n"
      "      commands=(\n");
  for (const CommandSpec* c : listedCommands()) {
    QString summary = c->summary;
    summary.replace(u':', QStringLiteral("\\:"));
    s += QStringLiteral("        ") + quoted(c->name + u':' + summary) + u'\n';
  }
  s += QStringLiteral(
      "      )\n"
      "      _describe -t commands command commands && ret=0\n"
      "      ;;\n"
      "    argument)\n"
      "      curcontext=${curcontext%:*:*}:zr417-cli-$words[1]:\n"
      "      case $words[1] in\n");
  for (const CommandSpec* c : listedCommands()) {
    QStringList specs = zshOptionSpecs(c->options);
    const ValueSpec& first = c->firstArgument;
    const ValueSpec& later = c->laterArguments;
    if (first.kind != ValueKind::None || later.kind != ValueKind::None) {
      const QString what = c->synopsis.section(u' ', 1, 1).remove(u'[').remove(u']');
      specs << quoted(QStringLiteral(":%1:%2").arg(what.isEmpty() || what.startsWith(u'-') ? QStringLiteral("argument") : what,
                                                   zshAction(first)));
      if (later.kind != ValueKind::None) specs << quoted(QStringLiteral("*:argument:") + zshAction(later));
    }
    s += QStringLiteral("        %1)\n          _arguments -s $global \\\n").arg(c->name);
    for (const QString& spec : specs) s += QStringLiteral("            ") + spec + QStringLiteral(" \\\n");
    s += QStringLiteral("            && ret=0\n          ;;\n");
  }
  s += QStringLiteral(
      "      esac\n"
      "      ;;\n"
      "  esac\n"
      "  return ret\n"
      "}\n"
      "\n"
      "_zr417_cli \"$@\"\n");
  return s;
}

QString fishCompletion(const QStringList& fields) {
  QStringList names;
  for (const CommandSpec* c : listedCommands()) names << c->name;
  QString s = QStringLiteral(
                  "# fish completion for zr417-cli, written from the program's table of commands.\n"
                  "\n"
                  "function __zr417_cli_ports\n"
                  "    printf '%s\\n' %1\n"
                  "    for d in /dev/ttyUSB* /dev/ttyACM* /dev/serial/by-id/*\n"
                  "        echo $d\n"
                  "    end\n"
                  "end\n"
                  "\n"
                  "# Directories and the files ending in one of the extensions given.\n"
                  "function __zr417_cli_files\n"
                  "    set -l token (commandline -ct)\n"
                  "    for f in $token*\n"
                  "        if test -d $f\n"
                  "            echo $f/\n"
                  "        else if string match -qir -- '\\\\.('(string join '|' $argv)')$' $f\n"
                  "            echo $f\n"
                  "        end\n"
                  "    end\n"
                  "end\n"
                  "\n"
                  "function __zr417_cli_fields\n")
                  .arg(portNumbers());
  for (const QString& f : fields) s += QStringLiteral("    echo ") + quoted(f + u'=') + u'\n';
  s += QStringLiteral(
           "end\n"
           "\n"
           "complete -c zr417-cli -f\n"
           "set -l commands %1\n")
           .arg(names.join(u' '));
  for (const OptionSpec& o : globalOptions()) s += fishOption(QString(), o);
  for (const CommandSpec* c : listedCommands())
    s += QStringLiteral("complete -c zr417-cli -n \"not __fish_seen_subcommand_from $commands\" -a %1 -d %2\n")
             .arg(c->name, quoted(c->summary));
  for (const CommandSpec* c : listedCommands()) {
    const QString seen = QStringLiteral("__fish_seen_subcommand_from ") + c->name;
    for (const OptionSpec& o : c->options) s += fishOption(seen, o);
    for (const ValueSpec* v : {&c->firstArgument, &c->laterArguments}) {
      if (v->kind == ValueKind::None) continue;
      if (v == &c->laterArguments && v->kind == c->firstArgument.kind && v->words == c->firstArgument.words) continue;
      s += QStringLiteral("complete -c zr417-cli -n %1%2\n").arg(quoted(seen), fishArguments(*v));
    }
  }
  return s;
}

QString manualPage(const QString& manTemplate) {
  QString options;
  for (const OptionSpec& o : globalOptions()) {
    QString head;
    if (!o.shortName.isEmpty()) head += QStringLiteral("\\fB\\-%1\\fR, ").arg(o.shortName);
    head += QStringLiteral("\\fB\\-\\-") + roff(o.name) + QStringLiteral("\\fR");
    if (!o.valueName.isEmpty()) head += QStringLiteral(" \\fI") + roff(o.valueName) + QStringLiteral("\\fR");
    options += QStringLiteral(".TP\n") + head + u'\n' + roff(o.description) + u'\n';
  }

  QString commands;
  for (const CommandSpec* c : listedCommands()) {
    // A line that starts with blanks continues the usage line above it.
    QStringList usages;
    for (const QString& line : c->synopsis.split(u'\n')) {
      if (line.startsWith(u' ') && !usages.isEmpty())
        usages.last() += u' ' + line.trimmed();
      else
        usages << line;
    }
    for (int i = 0; i < usages.size(); ++i)
      commands += (i == 0 ? QStringLiteral(".TP\n") : QStringLiteral(".TQ\n")) + roffSynopsis(usages[i]) + u'\n';
    commands += roff(c->description.simplified()) + u'\n';
    if (c->options.empty()) continue;
    commands += QStringLiteral(".RS\n");
    for (const OptionSpec& o : c->options) {
      QString head = QStringLiteral("\\fB\\-\\-") + roff(o.name) + QStringLiteral("\\fR");
      if (!o.valueName.isEmpty()) head += QStringLiteral(" \\fI") + roff(o.valueName) + QStringLiteral("\\fR");
      commands += QStringLiteral(".TP\n") + head + u'\n' + roff(o.description) + u'\n';
    }
    commands += QStringLiteral(".RE\n");
  }

  QString exits;
  for (const ExitCode& e : exitCodes()) {
    QString meaning = e.meaning;
    if (!meaning.isEmpty()) meaning[0] = meaning[0].toUpper();
    exits += QStringLiteral(".TP\n.B %1\n").arg(e.code) + roff(meaning) + QStringLiteral(".\n");
  }

  QString page = manTemplate;
  page.replace(QStringLiteral("@OPTIONS@\n"), options);
  page.replace(QStringLiteral("@COMMANDS@\n"), commands);
  page.replace(QStringLiteral("@EXIT_STATUS@\n"), exits);
  return page;
}

}  // namespace zr::cli
