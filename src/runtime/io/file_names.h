#pragma once
// File names: the blanks and NULs stripped from a name, the device names (CON, CONOUT$,
// CONIN$, ERR, USER, PRN, LPT1-LPT4, COM1-COM4, AUX, LINE, NUL) with their extension rule,
// the file a unit uses when no name is given (FOR_READ, FOR_ACCEPT, FOR_TYPE, FOR_PRINT for
// the reserved units, FORTn, the standard handles of units 0, 5 and 6, fort.N), the paths of
// the machine's printer and serial devices, and the expansion of a name to a full path.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/io/unit_block.h"

namespace runtime {

// Longest full path name a unit may have.
inline constexpr std::size_t kMaxFileNameLength = 256;

// `name` without leading and trailing blanks and trailing NULs.
std::string_view trim_file_name(std::string_view name);

// A device that a file name names.
struct DeviceName {
  DeviceKind kind;                // TextWindow for USER
  std::string_view name;          // the device's name in upper case
  std::string_view machine_path;  // printers and serial ports (/dev/lpN, /dev/ttySN), NUL
};

// The device `name` names, if any. The name is compared without its extension (the part from
// the first '.') and in any case; with an extension only the console names (CON, CONOUT$,
// CONIN$) and the printer and port names (PRN, LPT1-LPT4, COM1-COM4, AUX) name devices, and
// USER, ERR, LINE and NUL are ordinary files. Names with a directory part are files.
std::optional<DeviceName> match_device_name(std::string_view name);

// Expands `name` to a full path (the directory resolved, the last component kept). Returns 0,
// or 43 when the name is invalid or the full path would exceed kMaxFileNameLength.
[[nodiscard]] int expand_full_path(std::string_view name, std::string& full_path);

// Where a unit connects when no FILE is given.
struct DefaultConnection {
  enum class Kind { Named, StandardInput, StandardOutput, StandardError };
  Kind kind;
  std::string name;  // Named: the file name (from the environment or fort.N)
};
DefaultConnection default_connection(std::int32_t unit);

// The environment variable that may name the file of a reserved unit (-1..-4), else empty.
std::string_view reserved_unit_variable(std::int32_t unit);

}  // namespace runtime
