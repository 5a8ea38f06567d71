#include "numerics/error_output.h"

#include <cstdint>
#include <string_view>

#include "runtime/format/format.h"
#include "runtime/io/statements.h"
#include "runtime/io_item.h"
#include "runtime/support/lifecycle.h"

namespace numerics {

namespace {

constexpr std::int32_t kLibraryOutputUnit = 6;
constexpr std::int64_t kLibraryStopCode = 1;

}  // namespace

void print_library_lines(std::span<const std::string> lines) {
  static const runtime::FixedFormat kLineFormat("(A)");
  for (const std::string& line : lines) {
    // No error branch: a failing write is reported by the runtime itself.
    runtime::write_formatted(kLibraryOutputUnit, 0, {runtime::item(std::string_view(line))}, kLineFormat);
  }
}

void stop_after_library_error() { runtime::stop_program({}, runtime::kStopDisplay, kLibraryStopCode); }

}  // namespace numerics
