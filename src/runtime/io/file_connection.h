#pragma once
// Connecting a unit: resolving the file name (FILE, the environment, the standard handles,
// fort.N, the blank-name question), recognising devices, opening the file with the STATUS,
// ACTION, ACCESS and POSITION asked for (the operating system's failures mapped to run-time
// errors), creating the text window of a USER unit through WindowServices, and setting the
// unit's modes. The implicit connection of the first READ or WRITE is an OPEN without
// keywords, except that a READ only opens a file that exists (no empty file is left behind).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "runtime/io/file_names.h"
#include "runtime/io/open_keywords.h"
#include "runtime/io/unit_block.h"

namespace runtime {

// Where a unit's name leads.
struct ResolvedName {
  enum class Kind { File, Scratch, Device, StandardInput, StandardOutput, StandardError };
  Kind kind = Kind::File;
  std::string name;                  // full path, device name or standard handle name
  std::optional<DeviceName> device;  // Kind::Device
};

// Resolves the name for an OPEN with `request` (implicit: no FILE keyword at all). May ask for
// a blank name. Returns 0, or an error number with `name_for_messages` set to what is known.
[[nodiscard]] int resolve_unit_name(std::int32_t unit, const OpenRequest& request, bool implicit,
                                    ResolvedName& resolved, std::string& name_for_messages);

// Connects `unit` to `resolved` with the modes of `request`. Returns 0 with `block` set, or an
// error number. `for_reading`: an implicit connection made by a READ.
[[nodiscard]] int connect_resolved(std::int32_t unit, const OpenRequest& request, const ResolvedName& resolved,
                                   bool for_reading, bool compatibility_numbering, std::unique_ptr<UnitBlock>& block);

// True when `resolved` names what `block` is connected to (same physical file, or the same
// device; USER, CON and CONOUT$ are one device under the windowed console).
bool names_connected_file(const UnitBlock& block, const ResolvedName& resolved);

// Registers the exit handler's unit closer once, on the first connection of the process.
void note_first_connection();

}  // namespace runtime
