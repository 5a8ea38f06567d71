// Fuzz target: the format compiler with any bytes as format text.
//
// A text that compiles is walked the way a statement driver walks it (with no, one and three
// items), and its single-field plan is made. The compiler must answer 0, 62 or 41 only, and a
// syntax error must name an offset inside the text (or its end).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "format_walk.h"
#include "fuzz_check.h"
#include "runtime/format/format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  runtime::CompiledFormat compiled;
  std::size_t offset = 0;
  const int status = runtime::compile_format(text, compiled, offset);
  fuzz::fuzz_check(status == 0 || status == 62 || status == 41, "compile_format answers 0, 62 or 41");
  if (status == 62) fuzz::fuzz_check(offset <= text.size(), "a syntax error names an offset inside the text");
  if (status != 0) return 0;

  for (const int items : {0, 1, 3}) {
    format_test::WalkOptions options;
    options.max_calls = 512;
    format_test::walk_compiled(compiled, items, options);
  }
  const runtime::SingleFieldPlan plan = runtime::make_single_field_plan(compiled);
  if (plan.single_field) {
    fuzz::fuzz_check(runtime::is_data_descriptor(plan.descriptor.kind), "a single-field plan holds a data descriptor");
  }
  return 0;
}
