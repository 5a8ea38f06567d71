#pragma once
// mapexplorer lyapunov [OPTION]...: the Lyapunov spectrum of one orbit, one exponent per line
// on standard output (largest first, nats per iteration), for scripts to read. The map and
// its orbit are chosen with the record command's options (map_options.h) except --variable;
// the orbit is measured over --length steps after the transient. An orbit that goes to
// infinity or becomes NaN has no exponents: a message on standard error and exit status 3.
// A bad or missing option is a usage error (one line naming the option, exit status 2).

#include <span>
#include <string>

#include "app/lyapunov.h"
#include "app/map_options.h"

namespace app {

// The orbit measured when --length is not given: the longest the option allows, which
// meets the known spectra to three decimals in a few tens of milliseconds.
inline constexpr std::int32_t kDefaultLyapunovLength = kLongestLength;

// The orbit of the map settings (the map, its parameters, the initial state, the lengths).
OrbitSettings orbit_settings_of(const MapSettings& settings);

// Reads the command's arguments (after "lyapunov"); `help` is set by --help. False with a
// one-line `error` on a usage error.
bool read_lyapunov_arguments(std::span<const std::string> arguments, OrbitSettings& orbit, bool& help,
                             std::string& error);

// Runs the command: the exit status (exit_status.h).
int run_lyapunov_command(std::span<const std::string> arguments);

}  // namespace app
