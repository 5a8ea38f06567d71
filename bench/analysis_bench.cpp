// The analyses' costs (Google Benchmark): an 800 x 600 orbit diagram of the quadratic map
// over lambda in [0, 2] (800 values, 1000 transient steps and 200 points each, both sweeps
// and the raster), the Henon map's Lyapunov spectrum over 999999 steps, and the whole
// `mapexplorer bifurcation` command for that diagram with its PNG picture (a process of the
// built explorer: start-up, console on the offscreen platform, drawing, saving).

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/bifurcation_diagram.h"
#include "app/lyapunov.h"

namespace {

void QuadraticDiagram800x600(benchmark::State& state) {
  app::BifurcationSettings settings;
  settings.map_number = 1;
  settings.vary_slot = 1;
  settings.from = 0.0;
  settings.to = 2.0;
  settings.steps = 800;
  settings.initial = {0.1, 0.0};
  for (auto _ : state) {
    const app::BifurcationDiagram diagram = app::compute_diagram(settings, 800, 600);
    benchmark::DoNotOptimize(diagram.raster.marked_count());
  }
}
BENCHMARK(QuadraticDiagram800x600)->Unit(benchmark::kMillisecond);

void HenonSpectrum999999(benchmark::State& state) {
  app::OrbitSettings orbit;
  orbit.map_number = 2;
  orbit.parameters = {1.4, 0.3, 0, 0};
  orbit.initial = {0.1, 0.1};
  orbit.length = 999999;
  for (auto _ : state) benchmark::DoNotOptimize(app::lyapunov_spectrum(orbit).exponents);
}
BENCHMARK(HenonSpectrum999999)->Unit(benchmark::kMillisecond);

void BifurcationCommand800x600(benchmark::State& state) {
  const std::string picture = "/tmp/analysis_bench_" + std::to_string(::getpid()) + ".png";
  const std::string command = std::string(MAPEXPLORER_PATH) +
                              " bifurcation --map quadratic --vary lambda=0:2 --initial 0.1 --picture " + picture;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("the command failed");
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::remove(picture.c_str());
}
BENCHMARK(BifurcationCommand800x600)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
