#pragma once
// Environment variables as the runtime reads them.

#include <optional>
#include <string>
#include <string_view>

namespace runtime {

// The value of `name`, or nothing when it is not set.
std::optional<std::string> environment_value(std::string_view name);

// A switch is true when its value begins with T, t, Y or y, or is an unsigned decimal number
// other than 0. Unset means false.
bool environment_switch(std::string_view name);
bool switch_value_is_true(std::string_view value);

}  // namespace runtime
