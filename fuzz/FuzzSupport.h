#pragma once
// What every fuzz target shares: a program folder with the files the program
// expects beside it, a core with its editors started the way the CLI starts
// them, a reader of the fuzzer's bytes, and the checks that abort the run (so
// libFuzzer keeps the input) when something that must always hold does not.
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "editors/Editors.h"
#include "data/Core.h"
#include "base/UserPrompts.h"

// For the targets' own checks and digests, which run alike for every input:
// their comparisons tell the fuzzer nothing, and tracing them cost a good
// part of a target's time.
#define ZR_NO_COVERAGE __attribute__((no_sanitize("coverage")))

namespace zr::fuzz {

class Digest;

// Whether each input runs twice (ZR_FUZZ_SAME_TWICE=1 in the environment).
// A long run takes each input once, at twice the speed; `scripts/fuzz` then
// replays every input it kept with this check on.
bool sameTwiceMode();

// Aborts with a message.
[[noreturn]] void fail(const char* what);
// Aborts with a message when `ok` is false. (Inline: checks run per cell of
// the hex view, many thousand times an input.)
ZR_NO_COVERAGE inline void check(bool ok, const char* what) {
  if (!ok) fail(what);
}

// Once per process: a QCoreApplication, quiet Qt warnings, and a program folder
// holding the default image, the default settings files, the shipped
// configuration file and the Data folder.
void initialise(int* argc, char*** argv);
// The program folder of this process.
const QString& programDir();
// A path inside the program folder.
QString programPath(const QString& name);
// Writes bytes to a file, replacing it; aborts when that fails.
void writeFile(const QString& path, const uint8_t* data, size_t size);
std::vector<uint8_t> readFile(const QString& path);
// Reads a file into `out` (reusing its storage); false when it cannot be read.
bool readFileInto(const QString& path, std::vector<uint8_t>& out);

// A core and its editors started headless on `configPath` (default: the
// shipped configuration in the program folder). Questions are answered No and
// file dialogs cancelled, so nothing here waits for a user.
struct Session {
  explicit Session(const QString& configPath = QString());
  ScriptedPrompts prompts;
  std::unique_ptr<Core> core;
  std::unique_ptr<Editors> editors;

  ByteArray& image() { return core->image.TempArray; }

  // Puts back everything an input can change as the start-up left it: the
  // image, the default image, the file name, the channel table, the settings
  // (address boxes, port), the undo history, the configuration file's bytes
  // and the backup folder; empties the error log and refreshes the editors
  // from the image.
  // So one session serves input after input as if freshly started (a
  // start-up costs far more than most inputs).
  void restart();

  // Adds what an input can leave behind in the session to `d`.
  ZR_NO_COVERAGE void digest(Digest& d) const;

  // Restarts the session when the input's scope ends, so that the next input
  // finds it as the start-up left it. The reset comes after an input rather
  // than before the next one: what the input allocated is then freed within
  // the same input, and libFuzzer, which runs an input a second time looking
  // for a leak whenever it made more allocations than frees, does not run
  // every input twice.
  class RestartAfter {
   public:
    explicit RestartAfter(Session& s) : s_(s) {}
    ~RestartAfter() { s_.restart(); }
    RestartAfter(const RestartAfter&) = delete;
    RestartAfter& operator=(const RestartAfter&) = delete;

   private:
    Session& s_;
  };

 private:
  MemoryImage started_;
  ChannelTable startedTable_;
  AppSettings startedSettings_;
  std::vector<uint8_t> startedConfig_;
  std::vector<uint8_t> configNow_;
};

// One session per process for the targets that restart it after each input
// (the first input finds it restarted too).
Session& sharedSession();

// A fingerprint (64-bit FNV-1a) of what one input produced. Only the replay
// of each input twice compares fingerprints; outside it a digest takes
// nothing (collecting one cost a tenth of some targets' time).
class Digest {
 public:
  bool on() const { return on_; }
  ZR_NO_COVERAGE void add(const void* data, size_t size) {
    if (!on_) return;
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t k = 0; k < size; ++k) h_ = (h_ ^ p[k]) * 0x100000001B3ull;
  }
  void add(long long v) { add(&v, sizeof v); }
  void add(const std::vector<uint8_t>& b) {
    if (!on_) return;
    add(static_cast<long long>(b.size()));
    add(b.data(), b.size());
  }
  void add(const QString& s) {
    if (!on_) return;
    add(static_cast<long long>(s.size()));
    add(s.utf16(), static_cast<size_t>(s.size()) * sizeof(char16_t));
  }
  uint64_t value() const { return h_; }

 private:
  bool on_ = sameTwiceMode();
  uint64_t h_ = 0xCBF29CE484222325ull;
};

// Runs `once` (which handles one input and returns its digest); in the
// same-twice mode runs it twice and aborts when the two differ: the reset
// between inputs missed something the first run left behind, and every later
// input would be tested on a state no user ever starts from.
template <class Once>
void sameTwice(Once once) {
  const uint64_t first = once();
  if (!sameTwiceMode()) return;
  const uint64_t second = once();
  check(first == second, "the same input twice gives the same result (the reset between inputs is incomplete)");
}

// Reports of the error log with a given code (9: an index that would have
// left an array, caught by the bounds checks).
int reportsWithCode(const ErrorLog& log, int code);

#define ZR_CHECK(cond) ::zr::fuzz::check((cond), #cond " (" __FILE__ ":" ZR_STR(__LINE__) ")")
#define ZR_STR(x) ZR_STR2(x)
#define ZR_STR2(x) #x

// Takes the fuzzer's bytes front to back; an exhausted reader gives zeros.
class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
  bool empty() const { return p_ == end_; }
  size_t left() const { return static_cast<size_t>(end_ - p_); }
  uint8_t byte() { return p_ == end_ ? 0 : *p_++; }
  int word() { return byte() | (byte() << 8); }
  // Up to `n` bytes.
  std::vector<uint8_t> bytes(size_t n) {
    n = std::min(n, left());
    std::vector<uint8_t> out(p_, p_ + n);
    p_ += n;
    return out;
  }
  std::vector<uint8_t> rest() { return bytes(left()); }
  // A text of up to `maxLen` bytes read as UTF-8.
  QString text(size_t maxLen) {
    const std::vector<uint8_t> b = bytes(std::min<size_t>(byte(), maxLen));
    return QString::fromUtf8(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
  }

 private:
  const uint8_t* p_;
  const uint8_t* end_;
};

}  // namespace zr::fuzz
