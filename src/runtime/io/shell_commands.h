#pragma once
// The commands behind the PRINT and SUBMIT dispositions, run through /bin/sh -c with every
// file name quoted for the shell. PRINT copies the file to the device named by
// FOR_DEFAULT_PRINT_DEVICE (a device name or a path), or hands it to `lp`, and waits. SUBMIT
// runs the file as a shell script at low priority without waiting, optionally removing it
// after a successful run.

#include <string>
#include <string_view>

namespace runtime {

// `text` in single quotes, with each single quote written as '\''.
std::string quote_for_shell(std::string_view text);

// The shell command that prints `path`.
std::string print_command(const std::string& path);
// The shell command that submits `path` (and removes it afterwards when `delete_after`).
std::string submit_command(const std::string& path, bool delete_after);

// Runs `command` with /bin/sh -c. Waiting: returns true when it exits with status 0. Not
// waiting: the command runs detached at low priority with standard input from /dev/null;
// returns true when it was started.
bool run_shell_command(const std::string& command, bool wait);

}  // namespace runtime
