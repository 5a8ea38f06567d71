#pragma once
// Texts of operating-system error numbers as the runtime shows them: "duzevi: " and the
// system's own text, or "FormatMessage failed for sysmem message number N" when the system
// has no text for the number.

#include <string>

namespace runtime {

std::string system_error_text(int system_error_number);

}  // namespace runtime
