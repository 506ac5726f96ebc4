// A read of the radio as the desktop program makes it: the main window and
// the communication window shown (offscreen), the read started from its
// timer, every wait spent in the event loop, against the simulator on a
// pseudo-terminal paced at 9600 baud 8N2. Reported: wall time over the
// protocol's own limit (see ProtocolLimit.h) and the program's processor
// time per wall second (the user-interface thread; the simulator's thread
// stands for the radio and is not counted).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <ctime>
#include <memory>
#include <thread>

#include "ProtocolLimit.h"
#include "link/ui/CommunicationWindow.h"
#include "shell/ui/DesktopApp.h"
#include "sim/PtyHost.h"
#include "sim/RadioSimulator.h"

namespace {

double threadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void BM_DesktopRead(benchmark::State& state) {
  QTemporaryDir dir;
  for (const char* name : {"dhcpqec.def", "DefRadioSet_VHF.def", "DefRadioSet_UHF.def"})
    QFile::copy(QStringLiteral(ZR_BIN_DIR "/") + name, dir.filePath(name));
  QFile::copy(QStringLiteral(ZR_SOURCE_DIR "/resources/kelvane.def"), dir.filePath("kelvane.def"));
  QFile::setPermissions(dir.filePath("kelvane.def"), QFile::ReadOwner | QFile::WriteOwner);

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

  zr::ScriptedPrompts prompts;
  zr::ScriptedFrontEnd system;  // locale and ports answered: the simulator's port is set below
  {
    zr::DesktopApp app(dir.path(), &prompts, &system);
    app.start();
    app.core().settings.ComPort = app.link().portMap.assign(QString::fromStdString(host.slavePath()));
    app.transfer().searchOtherPorts = false;
    app.window().show();
    QCoreApplication::processEvents();

    double wall = 0, cpu = 0;
    int restarts = 0;
    double longestWaitMs = 0;
    for (auto _ : state) {
      const auto t0 = std::chrono::steady_clock::now();
      const double c0 = threadCpuSeconds();
      zr::showCommunWindow(app.transfer(), zr::CommunMode::Read, &app.window());
      cpu += threadCpuSeconds() - c0;
      restarts += app.transfer().restarts();
      longestWaitMs = std::max(longestWaitMs, static_cast<double>(app.transfer().longestWaitMs()));
      wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      if (app.transfer().outcome() != zr::TransferOutcome::Succeeded) {
        state.SkipWithError("the read failed");
        break;
      }
    }
    const double limit = zr::bench::protocolLimitMs(app.transfer().plan().scripts(zr::kDirRead)) / 1000.0;
    const double n = static_cast<double>(state.iterations());
    state.counters["restarts"] = restarts;
    state.counters["longest_wait_ms"] = longestWaitMs;
    state.counters["limit_s"] = limit;
    state.counters["wall_over_limit"] = wall / n / limit;
    state.counters["cpu_per_wall"] = cpu / wall;
    state.SetLabel("desktop, paced 9600 8N2");
  }
  host.stop();
  server.join();
}
BENCHMARK(BM_DesktopRead)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

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
