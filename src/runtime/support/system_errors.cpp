// System error texts.

#include "runtime/support/system_errors.h"

#include <cstring>
#include <string_view>

namespace runtime {
namespace {

// The C library answers an unknown number with a generated "Unknown error N" text; that is no
// text of the system's own.
bool is_generated_unknown_text(std::string_view text) { return text.empty() || text.substr(0, 13) == "Unknown error"; }

// strerror_r comes in two shapes; these overloads take whichever the C library provides.
[[maybe_unused]] const char* strerror_result(int status, const char* buffer) { return status == 0 ? buffer : ""; }
[[maybe_unused]] const char* strerror_result(const char* text, const char*) { return text ? text : ""; }

}  // namespace

std::string system_error_text(int system_error_number) {
  char buffer[256] = {};
  const char* text = strerror_result(strerror_r(system_error_number, buffer, sizeof buffer), buffer);
  if (is_generated_unknown_text(text)) {
    return "FormatMessage failed for sysmem message number " + std::to_string(system_error_number);
  }
  return std::string("duzevi: ") + text;
}

}  // namespace runtime
