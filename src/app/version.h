#pragma once
// The explorer's version, as --version and the About box show it.

namespace app {

inline constexpr const char* kVersion = "0.1.0";

}  // namespace app
