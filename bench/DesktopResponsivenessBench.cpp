// What a user of the desktop program feels: how soon input is answered while
// a read or a write runs against the simulator paced at 9600 baud 8N2, and
// how long the program takes for start-up, Open, a hex view refresh, an undo
// and a paste. Everything runs as the desktop program runs it, offscreen:
// the main window shown, the editors refreshed through the event loop.
//
// Input latency: a thread outside the event loop posts, every 4 ms, a key
// press and a timer tick stamped with the time of posting; the program
// thread takes the stamp off when it handles the event. p99 and worst over
// every event of one transfer are reported (milliseconds).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QInputDevice>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "editors/ChannelClipboard.h"
#include "editors/Editors.h"
#include "inspector/HexView.h"
#include "inspector/ui/HexViewWindow.h"
#include "link/ui/CommunicationWindow.h"
#include "shell/ui/DesktopApp.h"
#include "shell/ui/MainWindow.h"
#include "sim/PtyHost.h"
#include "sim/RadioSimulator.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// A program folder with the files the desktop program expects beside it.
struct ProgramFolder {
  ProgramFolder() {
    for (const char* name : {"dhcpqec.def", "DefRadioSet_VHF.def", "DefRadioSet_UHF.def"})
      QFile::copy(QStringLiteral(ZR_BIN_DIR "/") + name, dir.filePath(name));
    QFile::copy(QStringLiteral(ZR_SOURCE_DIR "/resources/kelvane.def"), dir.filePath("kelvane.def"));
    QFile::setPermissions(dir.filePath("kelvane.def"), QFile::ReadOwner | QFile::WriteOwner);
  }
  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir;
};

// The desktop program started as a user starts it, its window shown.
struct Desktop {
  explicit Desktop(const ProgramFolder& folder) : app(folder.dir.path(), &prompts, &system) {
    app.start();
    app.window().show();
    QCoreApplication::processEvents();
  }
  zr::ScriptedPrompts prompts;
  zr::ScriptedFrontEnd system;
  zr::DesktopApp app;
};

// Takes the stamps off posted events; the handling is the user's answer.
class LatencyProbe : public QObject {
 public:
  static constexpr QEvent::Type kTick = static_cast<QEvent::Type>(QEvent::User + 417);

  struct Stamped : QEvent {
    explicit Stamped(Clock::time_point t) : QEvent(kTick), posted(t) {}
    Clock::time_point posted;
  };
  struct StampedKey : QKeyEvent {
    explicit StampedKey(Clock::time_point t) : QKeyEvent(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier), posted(t) {}
    Clock::time_point posted;
  };

  bool event(QEvent* e) override {
    if (e->type() == kTick) {
      record(static_cast<Stamped*>(e)->posted);
      return true;
    }
    if (auto* k = dynamic_cast<StampedKey*>(e)) {
      record(k->posted);
      return true;
    }
    return QObject::event(e);
  }

  // Posts both kinds of event every `period` until stopped.
  void startPosting(std::chrono::milliseconds period) {
    // A key event names the keyboard it came from; Qt makes that object on
    // first use, and it must be made here, in the program's own thread.
    (void)QInputDevice::primaryKeyboard();
    running_ = true;
    started_ = Clock::now();
    poster_ = std::thread([this, period] {
      while (running_) {
        QCoreApplication::postEvent(this, new StampedKey(Clock::now()));
        QCoreApplication::postEvent(this, new Stamped(Clock::now()));
        std::this_thread::sleep_for(period);
      }
    });
  }
  void stopPosting() {
    running_ = false;
    if (poster_.joinable()) poster_.join();
    QCoreApplication::processEvents();  // the last events, answered at once now
  }

  // p99 and worst of what was recorded, milliseconds.
  std::pair<double, double> figures() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (waits_.empty()) return {0, 0};
    std::vector<double> w = waits_;
    std::sort(w.begin(), w.end());
    const size_t at = std::min(w.size() - 1, static_cast<size_t>(static_cast<double>(w.size()) * 0.99));
    return {w[at], w.back()};
  }
  // When the longest wait began, seconds after posting started: tells the
  // transfer's steady pace from its start and its end.
  double worstAt() {
    std::lock_guard<std::mutex> lock(mutex_);
    return worstAt_;
  }
  size_t count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return waits_.size();
  }

 private:
  void record(Clock::time_point posted) {
    std::lock_guard<std::mutex> lock(mutex_);
    const double w = msSince(posted);
    if (waits_.empty() || w > worst_) {
      worst_ = w;
      worstAt_ = std::chrono::duration<double>(posted - started_).count();
    }
    waits_.push_back(w);
  }
  std::atomic<bool> running_{false};
  std::thread poster_;
  std::mutex mutex_;
  std::vector<double> waits_;
  Clock::time_point started_ = Clock::now();
  double worst_ = 0;
  double worstAt_ = 0;  // seconds from the first event posted to the worst one
};

// A read or a write of the whole memory from the desktop program, with the
// input latency measured throughout.
void transferLatency(benchmark::State& state, zr::CommunMode mode) {
  ProgramFolder folder;
  zr::RadioSimulator sim;
  for (int a = 0; a < zr::RadioSimulator::kMemorySize; ++a)
    if (a < 0x0380 || a > 0x03DF) sim.poke(a, static_cast<uint8_t>(a * 13 + 7));
  zr::PtyHost::Options options;
  options.paced = true;
  zr::PtyHost host(sim, options);
  if (!host.open()) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  std::thread server([&] { host.run(); });
  {
    Desktop d(folder);
    d.app.core().settings.ComPort = d.app.link().portMap.assign(QString::fromStdString(host.slavePath()));
    d.app.transfer().searchOtherPorts = false;
    if (mode == zr::CommunMode::Write) {
      // A write sends what the user has: the VHF default settings, opened.
      d.app.core().files.OpenFile(folder.path("DefRadioSet_VHF.def"));
      d.prompts.defaultAnswer = true;  // "write?" and any question after it
    }
    LatencyProbe probe;
    double wall = 0;
    int restarts = 0;
    double longestWaitMs = 0;
    for (auto _ : state) {
      const auto t0 = Clock::now();
      probe.startPosting(std::chrono::milliseconds(4));
      // A read's window closes itself; a write's stays open with its result
      // until the user closes it, which the benchmark does at once.
      QTimer closer;
      QObject::connect(&closer, &QTimer::timeout, [&] {
        if (d.app.transfer().running() || d.app.transfer().outcome() == zr::TransferOutcome::None) return;
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
      });
      if (mode == zr::CommunMode::Write) closer.start(20);
      zr::showCommunWindow(d.app.transfer(), mode, &d.app.window());
      closer.stop();
      probe.stopPosting();
      wall += msSince(t0) / 1000.0;
      // A restart of the list is a stall the user sees: said beside the latency.
      restarts += d.app.transfer().restarts();
      longestWaitMs = std::max(longestWaitMs, static_cast<double>(d.app.transfer().longestWaitMs()));
      if (d.app.transfer().outcome() != zr::TransferOutcome::Succeeded) {
        state.SkipWithError("the transfer failed");
        break;
      }
    }
    const auto [p99, worst] = probe.figures();
    state.counters["events"] = static_cast<double>(probe.count());
    state.counters["p99_ms"] = p99;
    state.counters["worst_ms"] = worst;
    state.counters["worst_at_s"] = probe.worstAt();
    state.counters["wall_s"] = wall / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
    state.counters["restarts"] = restarts;
    state.counters["longest_wait_ms"] = longestWaitMs;
    state.SetLabel("aims: p99 <= 16 ms, worst <= 50 ms");
  }
  host.stop();
  server.join();
}

void BM_InputLatencyDuringRead(benchmark::State& state) { transferLatency(state, zr::CommunMode::Read); }
BENCHMARK(BM_InputLatencyDuringRead)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_InputLatencyDuringWrite(benchmark::State& state) { transferLatency(state, zr::CommunMode::Write); }
BENCHMARK(BM_InputLatencyDuringWrite)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// From nothing to the main window shown and painted, the files read from disk.
void BM_StartUp(benchmark::State& state) {
  ProgramFolder folder;
  for (auto _ : state) {
    auto d = std::make_unique<Desktop>(folder);
    state.PauseTiming();
    d.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.SetLabel("aim: under 300 ms");
}
BENCHMARK(BM_StartUp)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

// Open of a data file through the refresh of every editor (channel grid,
// settings pages, band, the hex view when shown), alternating two files so
// every open changes what is shown.
void BM_OpenDataFile(benchmark::State& state) {
  ProgramFolder folder;
  Desktop d(folder);
  d.app.hexViewWindow().setShown(true);
  QCoreApplication::processEvents();
  const QString files[] = {folder.path("DefRadioSet_VHF.def"), folder.path("DefRadioSet_UHF.def")};
  int k = 0;
  for (auto _ : state) {
    if (!d.app.core().files.OpenFile(files[k++ & 1])) {
      state.SkipWithError("Open failed");
      break;
    }
    QCoreApplication::processEvents();
  }
  state.SetLabel("aim: under 10 ms");
}
BENCHMARK(BM_OpenDataFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The hex view's full refresh after every byte changed ("Fill Gird"), the window shown.
void BM_HexViewRefresh(benchmark::State& state) {
  ProgramFolder folder;
  Desktop d(folder);
  d.app.hexViewWindow().setShown(true);
  QCoreApplication::processEvents();
  zr::ByteArray& image = d.app.core().image.TempArray;
  for (auto _ : state) {
    state.PauseTiming();
    for (uint8_t& b : image.bytes()) b ^= 0x55;
    state.ResumeTiming();
    d.app.hexView().TableFreDat();
    QCoreApplication::processEvents();
  }
  state.SetLabel("aim: under 10 ms");
}
BENCHMARK(BM_HexViewRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();

// Undo of one settings change (a list of the settings pages), with the
// redisplay the undo brings.
void BM_UndoSettingsChange(benchmark::State& state) {
  ProgramFolder folder;
  Desktop d(folder);
  d.app.core().files.OpenFile(folder.path("DefRadioSet_VHF.def"));
  QCoreApplication::processEvents();
  for (auto _ : state) {
    state.PauseTiming();
    // A list position other than the one shown (choosing the shown one is no step).
    zr::SettingsMap& settings = d.app.editors().settings;
    const int shown = settings.state(QStringLiteral("cboTot"))->position;
    settings.setPosition(QStringLiteral("cboTot"), shown == 1 ? 2 : 1);
    QCoreApplication::processEvents();
    state.ResumeTiming();
    if (!d.app.core().history.undo()) {
      state.SkipWithError("nothing to undo");
      break;
    }
    QCoreApplication::processEvents();
  }
  state.SetLabel("aim: under 10 ms");
}
BENCHMARK(BM_UndoSettingsChange)->Unit(benchmark::kMillisecond)->UseRealTime();

// A paste of 16 channel rows into the grid, shown; undone between rounds.
void BM_Paste16Rows(benchmark::State& state) {
  ProgramFolder folder;
  Desktop d(folder);
  d.app.core().files.OpenFile(folder.path("DefRadioSet_VHF.def"));
  QCoreApplication::processEvents();
  QString text;
  for (int k = 0; k < 16; ++k) text += QStringLiteral("%1\t\t\t\tHigh\n").arg(144.0 + 0.5 * k, 0, 'f', 5);
  for (auto _ : state) {
    const zr::PasteResult r = zr::pasteChannelRows(d.app.editors().grid, d.app.core(), 1, text);
    QCoreApplication::processEvents();
    state.PauseTiming();
    if (r.channels != 16) {
      state.SkipWithError("the paste did not reach 16 channels");
      break;
    }
    d.app.core().history.undo();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.SetLabel("aim: under 10 ms");
}
BENCHMARK(BM_Paste16Rows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
