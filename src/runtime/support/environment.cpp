// Environment variables and the truth rule of the runtime's switches.

#include "runtime/support/environment.h"

#include <cstdlib>

namespace runtime {

std::optional<std::string> environment_value(std::string_view name) {
  // getenv needs a terminated name; a name with an embedded NUL cannot be set at all.
  const std::string terminated(name);
  if (terminated.find('\0') != std::string::npos) return std::nullopt;
  const char* value = std::getenv(terminated.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

bool switch_value_is_true(std::string_view value) {
  if (value.empty()) return false;
  const char first = value.front();
  if (first == 'T' || first == 't' || first == 'Y' || first == 'y') return true;
  // Otherwise an unsigned decimal number other than 0: digits only, at least one non-zero.
  // Checking digits rather than converting keeps huge values true without overflow.
  bool non_zero = false;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    if (c != '0') non_zero = true;
  }
  return non_zero;
}

bool environment_switch(std::string_view name) {
  const std::optional<std::string> value = environment_value(name);
  return value.has_value() && switch_value_is_true(*value);
}

}  // namespace runtime
