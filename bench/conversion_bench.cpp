// Cost of one F20.10 output field (the series file writes up to a million of them) beside
// the cost of std::to_chars producing the same digits, plus the other common conversions.
// Every iteration converts one field, so the Time column reads as ns per field.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <random>
#include <vector>

#include "runtime/conversion/conversion.h"

namespace {

using namespace runtime;

std::vector<double> series_values() {
  // Values like a chaotic map's series: mostly of order one, both signs.
  std::mt19937_64 random(1);
  std::uniform_real_distribution<double> distribution(-2.0, 2.0);
  std::vector<double> values(4096);
  for (double& v : values) v = distribution(random);
  return values;
}

EditDescriptor fixed_descriptor(std::int32_t w, std::int32_t d) {
  EditDescriptor descriptor;
  descriptor.kind = DescriptorKind::F;
  descriptor.has_w = descriptor.has_d = true;
  descriptor.w = w;
  descriptor.d = d;
  return descriptor;
}

void BM_ConvertOutputF20_10(benchmark::State& state) {
  const std::vector<double> values = series_values();
  const EditDescriptor descriptor = fixed_descriptor(20, 10);
  const EditModes modes;
  char field[20];
  std::size_t i = 0;
  for (auto _ : state) {
    const double value = values[i++ & 4095];
    benchmark::DoNotOptimize(convert_output_field(item(value), 0, descriptor, modes, field, 20));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConvertOutputF20_10);

void BM_ToCharsFixed10(benchmark::State& state) {
  const std::vector<double> values = series_values();
  char text[64];
  std::size_t i = 0;
  for (auto _ : state) {
    const double value = values[i++ & 4095];
    benchmark::DoNotOptimize(std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 10));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ToCharsFixed10);

void BM_ConvertOutputE25_16(benchmark::State& state) {
  const std::vector<double> values = series_values();
  EditDescriptor descriptor = fixed_descriptor(25, 16);
  descriptor.kind = DescriptorKind::E;
  const EditModes modes;
  char field[25];
  std::size_t i = 0;
  for (auto _ : state) {
    const double value = values[i++ & 4095];
    benchmark::DoNotOptimize(convert_output_field(item(value), 0, descriptor, modes, field, 25));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConvertOutputE25_16);

void BM_ConvertOutputI12(benchmark::State& state) {
  EditDescriptor descriptor;
  descriptor.kind = DescriptorKind::I;
  descriptor.has_w = true;
  descriptor.w = 12;
  descriptor.d = 1;
  const EditModes modes;
  char field[12];
  std::int32_t value = 0;
  for (auto _ : state) {
    ++value;
    benchmark::DoNotOptimize(convert_output_field(item(value), 0, descriptor, modes, field, 12));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConvertOutputI12);

void BM_TextToRealF20_10(benchmark::State& state) {
  const char* texts[] = {"       -1.2345000000", "        0.5000000000", "1.4", "1e-3", "  123456.7890123456"};
  std::size_t i = 0;
  double value = 0.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(text_to_real(texts[i++ % 5], BlankMode::Null, 10, 0, 8, value));
    benchmark::DoNotOptimize(value);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TextToRealF20_10);

}  // namespace

BENCHMARK_MAIN();
