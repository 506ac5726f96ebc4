// A whole read of the radio (0x0000-0x1FFF, 516 scripts) through the real
// serial layer against the simulator on a pseudo-terminal: unpaced (the
// program's own delays and the engine's cost) and paced at 9600 baud with 8
// data bits and 2 stop bits (what a user waits for). Wall time is what counts
// here; the CPU time shows that waiting does not spin.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>

#include "shell/StartupSteps.h"
#include "ProtocolLimit.h"

#include "editors/Editors.h"
#include "link/RadioLink.h"
#include "link/Transfer.h"
#include "link/Waiters.h"
#include "data/Core.h"
#include "sim/PtyHost.h"
#include "sim/RadioSimulator.h"

namespace {

struct Rig {
  explicit Rig(bool paced, int holdEvery = 0, int holdMs = 0) {
    QFile config(dir.filePath(zr::kConfigFile));
    if (config.open(QIODevice::WriteOnly))
      config.write("[Setting]\nFirRun=0\nLanguage=3\nCOM=1\nDatNum=8191\nReadStartAddr=0000\nReadEndAddr=1FFF\n");
    config.close();
    core = std::make_unique<zr::Core>(dir.path(), dir.filePath(zr::kConfigFile), prompts, QStringLiteral("bench"));
    editors = std::make_unique<zr::Editors>(*core);
    startHeadless(*editors);
    for (int a = 0; a < zr::RadioSimulator::kMemorySize; ++a)
      if (a < 0x0380 || a > 0x03DF) sim.poke(a, static_cast<uint8_t>(a * 13 + 7));
    zr::PtyHost::Options options;
    options.paced = paced;
    this->paced = paced;
    options.holdEvery = holdEvery;
    options.holdMs = holdMs;
    host = std::make_unique<zr::PtyHost>(sim, options);
    if (!host->open()) return;
    server = std::thread([this] { host->run(); });
    link = std::make_unique<zr::RadioLink>(*core, waiter);
    core->settings.ComPort = link->portMap.assign(QString::fromStdString(host->slavePath()));
    transfer = std::make_unique<zr::Transfer>(*link, *editors);
    transfer->searchOtherPorts = false;
  }
  ~Rig() {
    transfer.reset();
    link.reset();
    if (server.joinable()) {
      host->stop();
      server.join();
    }
  }

  QTemporaryDir dir;
  zr::ScriptedPrompts prompts;
  std::unique_ptr<zr::Core> core;
  std::unique_ptr<zr::Editors> editors;
  zr::RadioSimulator sim;
  std::unique_ptr<zr::PtyHost> host;
  std::thread server;
  zr::CliWaiter waiter;
  bool paced = false;
  std::unique_ptr<zr::RadioLink> link;
  std::unique_ptr<zr::Transfer> transfer;
};

double threadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void fullRead(benchmark::State& state, Rig& rig) {
  if (!rig.transfer) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  const bool paced = rig.paced;
  double wall = 0, cpu = 0;
  int restarts = 0;
  double longestWaitMs = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = threadCpuSeconds();
    const bool ok = rig.transfer->cmdRead();
    cpu += threadCpuSeconds() - c0;
    // A restart of the list costs the time of every block read before it:
    // a stalled read shows here, with its cause in the trace.
    restarts += rig.transfer->restarts();
    longestWaitMs = std::max(longestWaitMs, static_cast<double>(rig.transfer->longestWaitMs()));
    for (const QString& line : rig.transfer->engine().trace().lines())
      if (line.startsWith(QStringLiteral("restarted at"))) std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!ok) {
      state.SkipWithError("the read failed");
      break;
    }
  }
  // Against the protocol's own limit (the program's thread only; the
  // simulator's thread stands for the radio).
  const double limit = zr::bench::protocolLimitMs(rig.transfer->plan().scripts(zr::kDirRead)) / 1000.0;
  state.counters["restarts"] = restarts;
  state.counters["longest_wait_ms"] = longestWaitMs;
  if (paced && state.iterations() > 0) {
    state.counters["limit_s"] = limit;
    state.counters["wall_over_limit"] = wall / static_cast<double>(state.iterations()) / limit;
    state.counters["cpu_per_wall"] = cpu / wall;
  }
  state.SetBytesProcessed(state.iterations() * zr::RadioSimulator::kMemorySize);
}

void BM_FullRead(benchmark::State& state) {
  Rig rig(state.range(0) != 0);
  fullRead(state, rig);
  state.SetLabel(state.range(0) ? "paced 9600 8N2" : "unpaced");
}
BENCHMARK(BM_FullRead)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same paced read, with every 25th reply of a block held up twice on its
// way, 60 ms each time (a busy machine, an adapter that sits on its bytes):
// the line is never quiet for a read's whole limit (120 ms for a block), but
// the reply ends after it. Such a reply must be read, not answered with a
// restart of the whole read.
void BM_FullReadHeldReplies(benchmark::State& state) {
  Rig rig(true, 25, 120);
  fullRead(state, rig);
  state.SetLabel("paced, every 25th reply held 2 x 60 ms");
}
BENCHMARK(BM_FullReadHeldReplies)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
