#pragma once
// Where the help file is. "ZUROR_HLP", when set, names it (a directory alone is completed
// with "ZUROR.HLP") and is used when that file exists; when the variable is not set,
// "ZUROR.HLP" is looked for along the search path (PATH). Failing both, the name "ZUROR.HLP"
// is used as it stands.

#include <optional>
#include <string>

namespace gui {

inline constexpr const char* kHelpFileName = "ZUROR.HLP";
inline constexpr const char* kHelpVariable = "ZUROR_HLP";

struct HelpEnvironment {
  std::optional<std::string> help_variable;  // the value of ZUROR_HLP, if set
  std::string search_path;                   // PATH: directories separated by ':'
};

HelpEnvironment current_help_environment();

std::string find_help_file(const HelpEnvironment& environment);

}  // namespace gui
