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
#include "shell/Core.h"
#include "shell/UserPrompts.h"

namespace zr::fuzz {

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

// A core and its editors started headless on `configPath` (default: the
// shipped configuration in the program folder). Questions are answered No and
// file dialogs cancelled, so nothing here waits for a user.
struct Session {
  explicit Session(const QString& configPath = QString());
  ScriptedPrompts prompts;
  std::unique_ptr<Core> core;
  std::unique_ptr<Editors> editors;

  ByteArray& image() { return core->image.TempArray; }

  // Puts the image, the default image, the channel table and the file name
  // back as the start-up left them, empties the error log and refreshes the
  // editors from the image, so one session serves input after input as if
  // freshly started (a start-up costs more than most inputs).
  void restart();

 private:
  MemoryImage started_;
  ChannelTable startedTable_;
};

// One session per process for the targets that restart it before each input.
Session& sharedSession();

// Reports of the error log with a given code (9: an index that would have
// left an array, caught by the bounds checks).
int reportsWithCode(const ErrorLog& log, int code);

// Aborts with a message when `ok` is false.
void check(bool ok, const char* what);
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
