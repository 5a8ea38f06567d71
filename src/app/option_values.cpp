#include "app/option_values.h"

#include <charconv>

#include "app/dialogue_state.h"
#include "numerics/uniform_generator.h"

namespace app {
namespace {

// The text without one leading '+' (which from_chars does not take), unless a sign follows.
std::string_view without_plus(std::string_view text) {
  if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
  return text;
}

}  // namespace

bool parse_real(std::string_view text, double& value) {
  text = without_plus(text);
  double parsed = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  // A value out of the range of double is refused rather than taken as infinity or zero.
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

bool parse_whole_number(std::string_view text, std::int64_t low, std::int64_t high, std::int32_t& value) {
  text = without_plus(text);
  std::int64_t parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  if (parsed < low || parsed > high) return false;
  value = static_cast<std::int32_t>(parsed);
  return true;
}

bool read_whole_number(std::string_view option, std::string_view text, std::int64_t low, std::int64_t high,
                       std::int32_t& value, std::string& error) {
  if (parse_whole_number(text, low, high, value)) return true;
  error = std::string(option) + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
          ": " + std::string(text);
  return false;
}

bool read_seed_option(const CommandLine& line, std::optional<std::int32_t>& seed, std::string& error) {
  const std::string* text = line.value(kSeedOption);
  if (text == nullptr) return true;
  std::int32_t value = 0;
  if (!read_whole_number(kSeedOption, *text, numerics::kSmallestSeed, numerics::kLargestSeed, value, error)) {
    return false;
  }
  seed = value;
  return true;
}

bool read_noise_option(const CommandLine& line, std::optional<double>& noise, std::string& error) {
  const std::string* text = line.value(kNoiseOption);
  if (text == nullptr) return true;
  double value = 0.0;
  if (!parse_real(*text, value) || !acceptable_noise(value)) {
    error = std::string(kNoiseOption) + " must be a number greater than 0: " + *text;
    return false;
  }
  noise = value;
  return true;
}

}  // namespace app
