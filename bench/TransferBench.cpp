// A whole read of the radio (0x0000-0x1FFF, 516 scripts) through the real
// serial layer against the simulator on a pseudo-terminal: unpaced (the
// program's own delays and the engine's cost) and paced at 9600 baud with 8
// data bits and 2 stop bits (what a user waits for). Wall time is what counts
// here; the CPU time shows that waiting does not spin.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <thread>

#include "editors/Editors.h"
#include "link/RadioLink.h"
#include "link/Transfer.h"
#include "link/Waiters.h"
#include "shell/Core.h"
#include "sim/PtyHost.h"
#include "sim/RadioSimulator.h"

namespace {

struct Rig {
  explicit Rig(bool paced) {
    QFile config(dir.filePath(zr::kConfigFile));
    if (config.open(QIODevice::WriteOnly))
      config.write("[Setting]\nFirRun=0\nLanguage=3\nCOM=1\nDatNum=8191\nReadStartAddr=0000\nReadEndAddr=1FFF\n");
    config.close();
    core = std::make_unique<zr::Core>(dir.path(), dir.filePath(zr::kConfigFile), prompts, QStringLiteral("bench"));
    editors = std::make_unique<zr::Editors>(*core);
    editors->startHeadless();
    for (int a = 0; a < zr::RadioSimulator::kMemorySize; ++a)
      if (a < 0x0380 || a > 0x03DF) sim.poke(a, static_cast<uint8_t>(a * 13 + 7));
    zr::PtyHost::Options options;
    options.paced = paced;
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
  std::unique_ptr<zr::RadioLink> link;
  std::unique_ptr<zr::Transfer> transfer;
};

void BM_FullRead(benchmark::State& state) {
  Rig rig(state.range(0) != 0);
  if (!rig.transfer) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  for (auto _ : state) {
    if (!rig.transfer->cmdRead()) {
      state.SkipWithError("the read failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * zr::RadioSimulator::kMemorySize);
  state.SetLabel(state.range(0) ? "paced 9600 8N2" : "unpaced");
}
BENCHMARK(BM_FullRead)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
