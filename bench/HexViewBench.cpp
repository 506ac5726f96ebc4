// The hex view over an 8 KiB image: a full refresh (with and without the
// channel encoder that "Fill Gird" runs first) and a fill of the whole range.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <memory>
#include <random>

#include "inspector/HexView.h"
#include "inspector/RangeFill.h"
#include "data/Core.h"

namespace {

constexpr int kLastAddr = 0x1FFF;

struct Bench {
  Bench() : core(dir.path(), dir.filePath("kelvane.def"), prompts, QStringLiteral("bench")) {
    core.image.create(kLastAddr);
    core.settings.TableMaxAddr = kLastAddr;
    std::mt19937 random(417);
    for (uint8_t& b : core.image.TempArray.bytes()) b = static_cast<uint8_t>(random());
    view = std::make_unique<zr::HexView>(core);
    view->SetGridMemDat();
    fill = std::make_unique<zr::RangeFill>(*view, core.log);
  }
  QTemporaryDir dir;
  zr::ScriptedPrompts prompts;
  zr::Core core;
  std::unique_ptr<zr::HexView> view;
  std::unique_ptr<zr::RangeFill> fill;
};

// Every other round changes every byte, so the cells turn red and their texts change.
void BM_RefreshFullImage(benchmark::State& state) {
  Bench b;
  b.view->TableFreDat();
  for (auto _ : state) {
    state.PauseTiming();
    for (uint8_t& byte : b.core.image.TempArray.bytes()) byte ^= 0x55;
    state.ResumeTiming();
    b.view->TableFreDat();
  }
  state.SetBytesProcessed(state.iterations() * (kLastAddr + 1));
}
BENCHMARK(BM_RefreshFullImage)->Unit(benchmark::kMicrosecond);

void BM_FillGridWithEncoder(benchmark::State& state) {
  Bench b;
  for (auto _ : state) b.view->cmdFillGrid_Click();
  state.SetBytesProcessed(state.iterations() * (kLastAddr + 1));
}
BENCHMARK(BM_FillGridWithEncoder)->Unit(benchmark::kMicrosecond);

void BM_FillWholeRange(benchmark::State& state) {
  Bench b;
  b.view->TableFreDat();
  b.fill->txtStartAddr = QStringLiteral("0000");
  b.fill->txtEndAddr = QStringLiteral("1FFF");
  int round = 0;
  for (auto _ : state) {
    b.fill->txtFillData = (++round & 1) ? QStringLiteral("AB") : QStringLiteral("5");
    b.fill->cmdFillData_Click();
  }
  state.SetBytesProcessed(state.iterations() * (kLastAddr + 1));
}
BENCHMARK(BM_FillWholeRange)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
