// Figures for the format hot path: the series file writes one record per value under
// "(F20.10)", up to a million times, and the dialogue compiles its reading formats for every
// statement.

#include <benchmark/benchmark.h>

#include "runtime/format/format.h"

namespace {

// One series WRITE on a FixedFormat: a fresh cursor, the data descriptor, the end.
void BM_SeriesStatementOnFixedFormat(benchmark::State& state) {
  static const runtime::FixedFormat series("(F20.10)");
  for (auto _ : state) {
    runtime::FormatCursor cursor(*series.compiled(), {});
    runtime::RecordPosition record;
    runtime::EditDescriptor d;
    benchmark::DoNotOptimize(runtime::next_edit_descriptor(cursor, record, true, d));
    benchmark::DoNotOptimize(d);
    benchmark::DoNotOptimize(runtime::next_edit_descriptor(cursor, record, false, d));
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_SeriesStatementOnFixedFormat);

// Compiling a reading format at the start of a statement, into a reused CompiledFormat.
void BM_CompileReadingFormat(benchmark::State& state) {
  runtime::CompiledFormat format;
  std::size_t offset = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(runtime::compile_format("(F20.10)", format, offset));
  }
}
BENCHMARK(BM_CompileReadingFormat);

// Compiling into a fresh CompiledFormat, as a statement that owns its copy does.
void BM_CompileIntoFreshFormat(benchmark::State& state) {
  std::size_t offset = 0;
  for (auto _ : state) {
    runtime::CompiledFormat format;
    benchmark::DoNotOptimize(runtime::compile_format("(1X,I5,3(1X,F8.3))", format, offset));
  }
}
BENCHMARK(BM_CompileIntoFreshFormat);

// Stepping through a format with a group and reversion: one call per item.
void BM_StepWithGroupsAndReversion(benchmark::State& state) {
  runtime::CompiledFormat format;
  std::size_t offset = 0;
  if (runtime::compile_format("(1X,I5,3(1X,F8.3))", format, offset) != 0) {
    state.SkipWithError("the format does not compile");
    return;
  }
  const int items = static_cast<int>(state.range(0));
  for (auto _ : state) {
    runtime::FormatCursor cursor(format, {});
    runtime::RecordPosition record;
    runtime::EditDescriptor d;
    for (int i = 0; i < items; ++i) {
      benchmark::DoNotOptimize(runtime::next_edit_descriptor(cursor, record, true, d));
      if (d.kind == runtime::DescriptorKind::Slash) {
        benchmark::DoNotOptimize(runtime::next_edit_descriptor(cursor, record, true, d));
      }
      benchmark::DoNotOptimize(d);
    }
  }
  state.SetItemsProcessed(state.iterations() * items);
}
BENCHMARK(BM_StepWithGroupsAndReversion)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
