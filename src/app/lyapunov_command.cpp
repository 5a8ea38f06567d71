#include "app/lyapunov_command.h"

#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "app/exit_status.h"

namespace app {
namespace {

constexpr std::string_view kHelpOption = "--help";

constexpr std::string_view kLyapunovUsageHead =
    "Usage: mapexplorer lyapunov [OPTION]...\n"
    "Computes the Lyapunov exponents of one orbit of a map: one exponent per state variable,\n"
    "largest first, in nats per iteration, one per line on standard output. The orbit's\n"
    "tangent vectors are carried along by the map's Jacobian and made orthonormal again at\n"
    "every step; the exponents are the mean logarithms of their stretching.\n"
    "\n"
    "The map and its orbit (as for 'mapexplorer record'):\n";

constexpr std::string_view kLyapunovUsageTail =
    "  --transient N         iterations discarded first, 0 to 999999 (default 1000):\n"
    "                                                         --transient 500\n"
    "  --length N            iterations measured, 2 to 999999 (default 999999):\n"
    "                                                         --length 100000\n"
    "  --help                show this help and exit\n"
    "\n"
    "Example (prints about 0.4192 and -1.6232):\n"
    "  mapexplorer lyapunov --map henon --param a=1.4 --param b=0.3 --initial 0.1,0.1\n"
    "\n"
    "An exponent is written with ten decimals, or as -inf where the orbit meets a point\n"
    "where the map's derivative is zero (a superstable orbit).\n"
    "\n"
    "Exit status:\n"
    "  0  the exponents are written\n"
    "  2  usage error: a bad or missing option\n"
    "  3  the orbit goes to infinity (a state variable reaches 1000 in magnitude, as in a\n"
    "     recording) or becomes NaN (not a number): it has no exponents, nothing is written\n"
    "     to standard output and standard error says after how many iterations\n"
    "  4  standard output could not be written\n";

}  // namespace

OrbitSettings orbit_settings_of(const MapSettings& settings) {
  OrbitSettings orbit;
  orbit.map_number = settings.map->number;
  orbit.parameters = settings.parameters;
  orbit.initial = initial_state(settings);
  orbit.n_transient = settings.transient;
  orbit.length = settings.length;
  return orbit;
}

bool read_lyapunov_arguments(std::span<const std::string> arguments, OrbitSettings& orbit, bool& help,
                             std::string& error) {
  // The exponents belong to the whole state: there is no variable to choose.
  std::vector<OptionRule> rules = map_option_rules_except({kVariableOption});
  rules.push_back({kHelpOption, ""});
  CommandLine line;
  if (!parse_command_line(arguments, rules, line, error)) return false;
  help = line.has(kHelpOption);
  if (help) return true;
  if (!line.operands().empty()) {
    error = "no operand is taken: " + line.operands().front();
    return false;
  }
  MapSettings settings;
  if (!read_map_options(line, settings, error) || !check_parameters_given(settings, error)) return false;
  if (!line.has(kLengthOption)) settings.length = kDefaultLyapunovLength;
  orbit = orbit_settings_of(settings);
  return true;
}

int run_lyapunov_command(std::span<const std::string> arguments) {
  OrbitSettings orbit;
  bool help = false;
  std::string error;
  if (!read_lyapunov_arguments(arguments, orbit, help, error)) {
    std::fprintf(stderr, "mapexplorer lyapunov: %s (see mapexplorer lyapunov --help)\n", error.c_str());
    return kExitUsage;
  }
  if (help) {
    const std::string usage = std::string(kLyapunovUsageHead) + map_option_help() + std::string(kLyapunovUsageTail);
    std::fwrite(usage.data(), 1, usage.size(), stdout);
    return kExitSuccess;
  }
  const LyapunovSpectrum spectrum = lyapunov_spectrum(orbit);
  if (spectrum.outcome != OrbitOutcome::Bounded) {
    std::fprintf(stderr, "mapexplorer lyapunov: %s\n", orbit_failure_text(spectrum).c_str());
    return kExitDiverged;
  }
  const std::string lines = exponent_lines(spectrum);
  std::fwrite(lines.data(), 1, lines.size(), stdout);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "mapexplorer lyapunov: cannot write the exponents to standard output\n");
    return kExitNotWritten;
  }
  return kExitSuccess;
}

}  // namespace app
