#pragma once
// Values on the command line: real numbers and whole numbers as a user types them ("1.4",
// "-0.3", "2.5e-1", "+2", and "inf" and "nan", which the dialogue's answers allow too), and
// the two options that the dialogue and the record command share: --seed N and --noise STD.
// Errors are one line that names the option.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/command_line.h"

namespace app {

inline constexpr std::string_view kSeedOption = "--seed";
inline constexpr std::string_view kNoiseOption = "--noise";

// The whole text as a double (a leading '+' allowed); false for anything else.
bool parse_real(std::string_view text, double& value);
// The whole text as a whole number from `low` to `high` (a leading '+' allowed).
bool parse_whole_number(std::string_view text, std::int64_t low, std::int64_t high, std::int32_t& value);

// parse_whole_number for the value of `option`; the error says "OPTION must be a whole number
// from LOW to HIGH: TEXT".
bool read_whole_number(std::string_view option, std::string_view text, std::int64_t low, std::int64_t high,
                       std::int32_t& value, std::string& error);

// --seed N (1..2147483646), when given.
bool read_seed_option(const CommandLine& line, std::optional<std::int32_t>& seed, std::string& error);
// --noise STD (greater than 0, as the dialogue's question 8 accepts), when given.
bool read_noise_option(const CommandLine& line, std::optional<double>& noise, std::string& error);

}  // namespace app
