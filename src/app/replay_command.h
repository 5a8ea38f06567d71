#pragma once
// mapexplorer replay [--check] FILE.json [OUT]: makes the recording that a provenance sidecar
// describes again, through the same routine as record, and compares the new series with the
// SHA-256 the sidecar holds (with --check, also with the recorded series file FILE beside it,
// byte for byte). The status is 0 only when they are identical.

#include <span>
#include <string>

namespace app {

// Runs the command: the exit status (exit_status.h), or the process ends with a run-time
// error's number.
int run_replay_command(int& argc, char** argv, std::span<const std::string> arguments);

}  // namespace app
