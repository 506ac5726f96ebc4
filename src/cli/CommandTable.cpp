#include "cli/CommandTable.h"

namespace zr::cli {

namespace {

ValueSpec files(std::initializer_list<const char*> extensions) {
  ValueSpec v{ValueKind::File, {}};
  for (const char* e : extensions) v.words << QString::fromLatin1(e);
  return v;
}
ValueSpec choice(std::initializer_list<const char*> words) {
  ValueSpec v{ValueKind::Choice, {}};
  for (const char* w : words) v.words << QString::fromLatin1(w);
  return v;
}
const ValueSpec kNothing{};
const ValueSpec kPort{ValueKind::Port, {}};
const ValueSpec kFields{ValueKind::Field, {}};

OptionSpec flag(const char* name, const char* description) {
  return {QString::fromLatin1(name), {}, {}, QString::fromUtf8(description), kNothing};
}
OptionSpec option(const char* name, const char* valueName, const char* description, ValueSpec value = kNothing) {
  return {QString::fromLatin1(name), {}, QString::fromLatin1(valueName), QString::fromUtf8(description), value};
}

// --port, --search and --range of read and write.
OptionSpec portOption() {
  return option("port", "PORT",
                "A device path (/dev/ttyUSB0, /dev/pts/7) or a port number 1..16 numbered as the desktop program "
                "numbers ports. With a path only that device is tried.",
                kPort);
}
OptionSpec searchOption() {
  return flag("search",
              "When the port number does not answer, search ports 1 to 16 (the port that answers is named, and "
              "not stored).");
}

std::vector<CommandSpec> buildTable() {
  std::vector<CommandSpec> t;
  t.push_back({QStringLiteral("show"), QStringLiteral("show FILE.dat [--json]"),
               QStringLiteral("print what the editors show for a data file"),
               QStringLiteral("Opens a data file as the desktop program's Open does and prints what the\n"
                              "editors show after the refresh: a readable summary, or one JSON object."),
               {flag("json", "Print one JSON object (keys and units: see the README).")},
               files({"dat", "bin", "def"}),
               kNothing});
  t.push_back({QStringLiteral("new"), QStringLiteral("new OUT.dat [--band TEXT] [--model TEXT] [--force]"),
               QStringLiteral("a fresh data file, as New makes it"),
               QStringLiteral("Saves a fresh data file as New makes it: the default image with every channel\n"
                              "empty and every setting at its default. Without --band the range is the one\n"
                              "the program starts with (400 - 520 MHz)."),
               {option("band", "TEXT",
                       "A text of the range list (\"136 - 174 MHz\"), #N, or LOW-HIGH in MHz for a custom range."),
                option("model", "TEXT", "A text of the model list, or #N."),
                flag("force", "Replace OUT.dat when it exists.")},
               files({"dat"}),
               kNothing});
  t.push_back({QStringLiteral("set"),
               QStringLiteral("set FILE.dat [--out OUT.dat] [--force] FIELD=VALUE [FIELD=VALUE ...]"),
               QStringLiteral("change radio-wide settings (model=, band= too) and save"),
               QStringLiteral("Opens the data file, applies each assignment in order as the settings pages\n"
                              "would (linked fields follow), then saves (to OUT.dat, or in place).\n"
                              "VALUE: for a list the exact entry text or #N for position N; for a check box\n"
                              "1/0, on/off or true/false; for a text field the text. Field names are those of\n"
                              "`zr417-cli show FILE.dat --json` (\"settings\"). model=TEXT and band=TEXT choose\n"
                              "from the model and range lists (band=LOW-HIGH in MHz for a custom range); a\n"
                              "range starts a new data set, as the range list does."),
               {option("out", "OUT.dat", "Save to OUT.dat instead of in place.", files({"dat"})),
                flag("force",
                     "Change FILE.dat even when it is not a data file, and let band= or model= clear the "
                     "channels in use.")},
               files({"dat"}),
               kFields});
  t.push_back({QStringLiteral("channels"),
               QStringLiteral("channels FILE.dat --export OUT.csv [--format ours|chirp]\n"
                              "channels FILE.dat --import IN.csv [--format ours|chirp] [--strict] [--out OUT.dat] [--force]"),
               QStringLiteral("exchange the channel table as CSV (ours or CHIRP's)"),
               QStringLiteral(
                   "Export writes the channel table as CSV: our columns (Channel,Rx,Tx,Decode,Encode and\n"
                   "the option columns; frequencies in MHz with five decimals, three digits before\n"
                   "the point) or CHIRP's generic CSV. Import enters every cell as typing it into the\n"
                   "channel grid would (snapping, band limits, tone rules, new-channel defaults),\n"
                   "reports each adjusted or rejected cell with its cause on stderr, and saves the\n"
                   "data file (in place, or to OUT.dat). The format of an import is also recognised\n"
                   "from its header, and so is its delimiter (comma, semicolon or tab; frequencies\n"
                   "may have a decimal comma). Our columns are taken by caption in any order; any\n"
                   "subset with Channel and Rx will do, and a column left out keeps the channel's\n"
                   "values. '-' as a file name is stdout for --export, stdin for --import."),
               {option("export", "OUT.csv", "Write the channel table to OUT.csv.", files({"csv"})),
                option("import", "IN.csv", "Enter the channels of IN.csv.", files({"csv", "txt"})),
                option("format", "FORMAT", "ours (default) or chirp (CHIRP's generic CSV).", choice({"ours", "chirp"})),
                flag("strict", "Exit 1 when any cell was adjusted or rejected (nothing is saved)."),
                option("out", "OUT.dat", "After an import, save to OUT.dat instead of in place.", files({"dat"})),
                flag("force", "Import into FILE.dat even when it is not a data file.")},
               files({"dat"}),
               kNothing});
  t.push_back({QStringLiteral("diff"), QStringLiteral("diff A B [--json]"),
               QStringLiteral("differences of two data files or raw images by meaning"),
               QStringLiteral("Compares two data files or raw images (read --raw) by meaning: model and range,\n"
                              "channels field by field, settings by name with both texts, the two-tone table and\n"
                              "the PTT ID pause channels, then the bytes no shown value depends on.\n"
                              "Exit 0 when equal, 1 when different, 2 when a file cannot be read."),
               {flag("json", "Print one JSON object.")},
               files({"dat", "bin", "def"}),
               files({"dat", "bin", "def"})});
  t.push_back({QStringLiteral("ports"), QStringLiteral("ports [--json]"),
               QStringLiteral("the serial ports as the program numbers them"),
               QStringLiteral("Lists ports 1 to 16 as the program numbers them: number, device, stable by-id\n"
                              "link, description, USB vendor:product, and whether this user can open the\n"
                              "device (and if not, why)."),
               {flag("json", "Print one JSON array.")},
               kNothing,
               kNothing});
  t.push_back({QStringLiteral("read"),
               QStringLiteral("read --port PORT [--search] [--range SSSS-EEEE] [--out FILE.dat] [--raw FILE.bin]"),
               QStringLiteral("read the radio"),
               QStringLiteral("Reads the radio as the communication window does (identification, command set,\n"
                              "retries, single-wire cable detection). Progress goes to stderr.\n"
                              "Every good read keeps a copy in the backups folder and names it on stderr.\n"
                              "Exit 0 on success, 1 when the read failed."),
               {portOption(), searchOption(),
                option("range", "SSSS-EEEE",
                       "Read these addresses (four hex digits each) instead of ReadStartAddr-ReadEndAddr of the "
                       "configuration."),
                option("out", "FILE.dat", "On success, refresh the editors and save the data file.", files({"dat"})),
                option("raw", "FILE.bin", "On success, write the image bytes 0..DatNum as received.", files({"bin"}))},
               kNothing,
               kNothing});
  t.push_back({QStringLiteral("write"),
               QStringLiteral("write --port PORT [--search] [--range SSSS-EEEE] [--verify] [--force] "
                              "(FILE.dat | --raw FILE.bin)"),
               QStringLiteral("write the radio"),
               QStringLiteral("Loads the data file as Open does (or a raw image from address 0, not realigned)\n"
                              "and writes it to the radio as the communication window does: write preparation,\n"
                              "scripted blocks, model and band, information reads, parameter or special blocks,\n"
                              "end frame. Progress goes to stderr. Exit 0 only when the whole write succeeded.\n"
                              "What the write preparation changed, and the settings this radio was not sent,\n"
                              "are reported on stderr. Every write keeps a copy in the backups folder."),
               {portOption(), searchOption(),
                option("range", "SSSS-EEEE", "Write these addresses instead of WriteStartAddr-WriteEndAddr."),
                option("raw", "FILE.bin", "A raw image instead of a data file.", files({"bin"})),
                flag("force",
                     "Write FILE.dat even when it is not a data file (not 1040 bytes, or without the data file "
                     "signature)."),
                flag("verify", "Read the written range back and compare; exit 1 naming the first differing addresses."),
                flag("backup-before",
                     "First read the write range of the radio and keep it as a backup copy (before-write); "
                     "nothing is written when that read fails."),
                option("radio-id", "DDDDDD",
                       "Give the radio this Radio ID (six digits 1-9) before writing it; its model is read "
                       "first, and a radio that would keep its old ID is not written."),
                flag("json",
                     "Report progress and the result on stdout as JSON lines (the batch station's worker).")},
               files({"dat"}),
               kNothing});
  t.push_back({QStringLiteral("batch"),
               QStringLiteral("batch FILE.dat --port PORT [--port PORT ...] [--verify] [--backup-before]\n"
                              "      [--radio-id-from DDDDDD] [--log LOG.csv] [--json] [--force]"),
               QStringLiteral("write one data file into many radios, one per port"),
               QStringLiteral("A dealer's station: writes FILE.dat into one radio on each named port, all ports\n"
                              "at the same time. Each line read on stdin (Enter) starts a round over every port;\n"
                              "end of input or a line 'q' ends the batch with a summary on stderr. Each radio\n"
                              "gets one result line on stdout: PORT ROUND RESULT SECONDS [id=DDDDDD] [CAUSE],\n"
                              "RESULT one of ok, verify-failed, partly-written, failed, no-radio. Every port runs\n"
                              "as its own `zr417-cli write --json` process, so one cable cannot stall another.\n"
                              "Exit 0 when every radio of every round was ok, 1 otherwise."),
               {option("port", "PORT", "A port of the station (a device path or a port number 1..16); repeat it "
                                       "for every port.", kPort),
                flag("verify", "Read each written range back and compare."),
                flag("backup-before", "Read each radio's write range first and keep it as a backup."),
                option("radio-id-from", "DDDDDD",
                       "Give the radios consecutive Radio IDs from this one (six digits 1-9); only models that "
                       "take the ID in a write are written."),
                option("log", "LOG.csv", "Append one CSV row per radio to LOG.csv.", files({"csv"})),
                flag("json", "Print each result as one JSON object per line."),
                flag("force", "Write FILE.dat even when it is not a data file.")},
               files({"dat"}),
               kNothing});
  t.push_back({QStringLiteral("simulate"),
               QStringLiteral("simulate [--echo] [--ident ZZRRWW] [--model-code N] [--image FILE.bin] [--paced]\n"
                              "         [--fail-after N] [--fail-for K] [--ignore-writes] [--silent]"),
               QStringLiteral("run the radio simulator on a pseudo-terminal"),
               QStringLiteral("Starts the radio simulator on a pseudo-terminal, prints the device path as\n"
                              "the first line and serves until interrupted (Ctrl+C)."),
               {flag("echo", "Behave like a single-wire cable (every byte comes back)."),
                option("ident", "ZZRRWW", "Radio bytes 0x0388-0x038A as six hex digits (default 5A2429)."),
                option("model-code", "N", "Radio byte 0x03D4, 0..255 (default 40)."),
                option("image", "FILE.bin", "Radio memory from a raw image, from address 0 (at most 8 KiB).",
                       files({"bin"})),
                flag("paced", "Deliver bytes at 9600 baud, 8 data bits, 2 stop bits."),
                // Faults, for trying failures without a radio.
                option("fail-after", "N", "Stop answering after N requests."),
                option("fail-for", "K",
                       "Leave K requests unanswered (after --fail-after N: from then on), then answer again."),
                flag("ignore-writes", "Acknowledge writes but keep the memory as it is."),
                flag("silent", "Never answer.")},
               kNothing,
               kNothing});
  return t;
}

}  // namespace

const std::vector<CommandSpec>& commandTable() {
  static const std::vector<CommandSpec> table = buildTable();
  return table;
}

const CommandSpec* findCommand(const QString& name) {
  for (const CommandSpec& c : commandTable())
    if (c.name == name) return &c;
  return nullptr;
}

const std::vector<OptionSpec>& globalOptions() {
  static const std::vector<OptionSpec> options = [] {
    std::vector<OptionSpec> o;
    o.push_back({QStringLiteral("help"), QStringLiteral("h"), {}, QStringLiteral("Show this help."), kNothing});
    o.push_back(
        {QStringLiteral("version"), QStringLiteral("v"), {}, QStringLiteral("Show the program's version."), kNothing});
    o.push_back(option("config", "PATH",
                       "The configuration file (default: kelvane.def beside the program, or "
                       "~/.config/zr417cps/kelvane.def when installed).",
                       files({"def"})));
    o.push_back(flag("verbose", "Also print the error log's reports on stderr."));
    return o;
  }();
  return options;
}

const std::vector<ExitCode>& exitCodes() {
  static const std::vector<ExitCode> codes{
      {0, QStringLiteral("success (for diff: the files are equal)")},
      {1, QStringLiteral("the operation failed: the radio did not answer, an unsupported radio, a file that "
                         "cannot be read or is not a data file where one is needed, output that could not be "
                         "written; for diff: the files differ")},
      {2, QStringLiteral("usage error: an unknown command, option or field, a value a field does not offer, a "
                         "range whose start is above its end; for diff: a file that cannot be read")},
  };
  return codes;
}

namespace {

// Words wrapped to lines of at most `width` columns, each line starting with `indent`.
QString wrapped(const QString& text, int indent, int width = 79) {
  QString out;
  QString line;
  for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
    if (!line.isEmpty() && indent + line.size() + 1 + word.size() > width) {
      out += QString(indent, u' ') + line + u'\n';
      line.clear();
    }
    line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
  }
  if (!line.isEmpty()) out += QString(indent, u' ') + line + u'\n';
  return out;
}

}  // namespace

QString overviewText() {
  QString t = QStringLiteral("Usage: zr417-cli [--config PATH] [--verbose] COMMAND [ARGS]\n\nCommands:\n");
  for (const CommandSpec& c : commandTable()) {
    if (!c.listed) continue;
    for (const QString& line : c.synopsis.split(u'\n')) t += QStringLiteral("  ") + line + u'\n';
    t += wrapped(c.summary, 6);
  }
  t += QStringLiteral("\nOptions (before or after the command):\n");
  for (const OptionSpec& o : globalOptions()) {
    QString head = QStringLiteral("  ");
    if (!o.shortName.isEmpty()) head += QStringLiteral("-%1, ").arg(o.shortName);
    head += QStringLiteral("--") + o.name;
    if (!o.valueName.isEmpty()) head += u' ' + o.valueName;
    t += head + u'\n' + wrapped(o.description, 6);
  }
  t += QStringLiteral("\nEvery command takes --help (zr417-cli COMMAND --help).\n"
                      "Options take their value as --opt VALUE or --opt=VALUE; -- ends the options.\n"
                      "\nExit codes:\n");
  for (const ExitCode& e : exitCodes()) t += wrapped(QStringLiteral("%1  %2").arg(e.code).arg(e.meaning), 2);
  return t;
}

}  // namespace zr::cli
