// A channel CSV from anywhere, entered through the channel grid's own rules
// in every format the program reads. Checks that the image keeps its size,
// that no index reaches outside an array, that every channel the import
// touched is inside the band, that each problem names a line of the file, and
// that exporting and importing the result into a fresh start gives the same
// table back.
#include "FuzzSupport.h"
#include "data/MemoryImage.h"
#include "editors/ChannelCsv.h"
#include "editors/ChirpCsv.h"

using namespace zr;
using namespace zr::fuzz;

namespace {

struct CsvFormat {
  const char* name;
  bool (*importCsv)(Editors&, const QString&, std::vector<CsvProblem>&);
  QString (*exportCsv)(Editors&);
};

// Every CSV format the program reads; a new format is one more row.
const CsvFormat kFormats[] = {
    {"channels", importChannelsCsv, exportChannelsCsv},
    {"chirp", importChirpCsv, exportChirpCsv},
};

struct Channel {
  int rx, tx;
  bool operator==(const Channel&) const = default;
};

std::vector<Channel> channels(Session& s) {
  std::vector<Channel> out;
  const int n = std::min(s.core->columns.channelCount, ChannelTable::kChannels);
  for (int ch = 1; ch <= n; ++ch) out.push_back({s.core->ChTable.get(kRowRx, ch), s.core->ChTable.get(kRowTx, ch)});
  return out;
}

// A second session for the re-import, restarted as a fresh start.
Session& freshSession() {
  static Session* session = [] {
    auto* s = new Session;
    s->restart();
    return s;
  }();
  return *session;
}

// Every format imports into the shared session, restarted after it. (The seed
// chirp-differs-after-a-channels-import.csv once showed a CHIRP import after a
// channels import store a tone again into channel 16, picked up by the tone
// picker of the import before.)
void runFormat(const CsvFormat& f, const QString& csv, int lineCount, Digest& d) {
  Session& s = sharedSession();
  Session::RestartAfter reset(s);
  const int imageSize = s.image().size();
  const int indexFailures = reportsWithCode(s.core->log, kErrSubscript);
  const std::vector<Channel> before = channels(s);

  std::vector<CsvProblem> problems;
  f.importCsv(*s.editors, csv, problems);
  ZR_CHECK(s.image().size() == imageSize);
  ZR_CHECK(reportsWithCode(s.core->log, kErrSubscript) == indexFailures);
  for (const CsvProblem& p : problems) ZR_CHECK(p.line >= 1 && p.line <= std::max(lineCount, 1));

  const int lo = s.editors->band.BandMin, hi = s.editors->band.BandMax;
  const std::vector<Channel> after = channels(s);
  for (size_t k = 0; k < after.size(); ++k) {
    if (after[k] == before[k]) continue;
    const Channel c = after[k];
    ZR_CHECK(c.rx == -1 || (c.rx >= lo && c.rx <= hi));
    ZR_CHECK(c.tx == -1 || (c.tx >= lo && c.tx <= hi));
    ZR_CHECK(c.rx != -1 || c.tx == -1);
  }

  // The encoder takes whatever the grid accepted.
  s.core->codec.ChInfoToIicDat();
  ZR_CHECK(toDataFile(s.image()).size() == static_cast<size_t>(kDataFileSize));
  ZR_CHECK(reportsWithCode(s.core->log, kErrSubscript) == indexFailures);

  // What the program writes, it reads back to the same table.
  const QString exported = f.exportCsv(*s.editors);
  Session& fresh = freshSession();
  Session::RestartAfter freshReset(fresh);
  std::vector<CsvProblem> again;
  ZR_CHECK(f.importCsv(*fresh.editors, exported, again));
  ZR_CHECK(channels(fresh) == after);
  ZR_CHECK(f.exportCsv(*fresh.editors) == exported);

  d.add(exported);
  for (const CsvProblem& p : problems) {
    d.add(static_cast<long long>(p.line));
    d.add(p.message);
  }
  s.digest(d);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  initialise(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 16384) return -1;  // a channel table is a few kilobytes at most
  const QString csv = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  // Lines end at LF, CR LF or a lone CR.
  int lines = 1;
  for (size_t k = 0; k < size; ++k)
    if (data[k] == '\n' || (data[k] == '\r' && !(k + 1 < size && data[k + 1] == '\n'))) ++lines;
  sameTwice([&] {
    Digest d;
    for (const CsvFormat& f : kFormats) runFormat(f, csv, lines, d);
    return d.value();
  });
  return 0;
}
