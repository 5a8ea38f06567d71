#pragma once
// Doubles that put the exact fixed-point text (exact_fixed_text) to the test, in kinds, and
// the comparison of that text with std::to_chars's. Shared by the unit test (a few hundred
// thousand values) and the differential check in bench/ (10^8 and more).
//
// Kinds, for d fraction digits:
// - every binade: random significands in every binary exponent from the subnormals up to
//   values whose rounded digits no longer fit 19 digits (beyond any F20.10 field: asterisks);
// - ties: odd multiples of 2^-(d+1), the doubles exactly halfway between two d-digit results;
// - beside ties: the doubles one step below and above a tie;
// - carries: the doubles around 10^k - 0.5 x 10^-d and 10^k, where rounding adds a digit;
// - other counts: the kinds above for a random d in 0..27.

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string_view>

#include "runtime/conversion/conversion_internal.h"

namespace fixed_text_samples {

enum class Kind { EveryBinade, Tie, BesideTie, Carry, OtherCount };

struct KindShare {
  Kind kind;
  const char* name;
  double share;  // of the values checked
};

inline constexpr std::array<KindShare, 5> kKinds{{
    {Kind::EveryBinade, "every binade (subnormals to asterisks)", 0.55},
    {Kind::Tie, "exact ties", 0.15},
    {Kind::BesideTie, "one step beside a tie", 0.10},
    {Kind::Carry, "around 10^k and 10^k - half a unit", 0.05},
    {Kind::OtherCount, "other digit counts 0..27", 0.15},
}};

// The largest binary exponent worth drawing for d digits: 2^e x 10^d well past 10^19.
inline int top_exponent(int fraction_digits) {
  return static_cast<int>(std::ceil((19 - fraction_digits) * 3.3219280948873623)) + 2;
}

class Sampler {
 public:
  explicit Sampler(std::uint64_t seed) : random_(seed) {}

  // One value of `kind` for `fraction_digits` (OtherCount picks its own count into it).
  double next(Kind kind, int& fraction_digits) {
    switch (kind) {
      case Kind::EveryBinade: return any_binade(fraction_digits);
      case Kind::Tie: return tie(fraction_digits);
      case Kind::BesideTie: {
        const double middle = tie(fraction_digits);
        return (random_() & 1) != 0 ? std::nextafter(middle, 0.0) : std::nextafter(middle, 1e300);
      }
      case Kind::Carry: return carry(fraction_digits);
      case Kind::OtherCount: {
        fraction_digits = static_cast<int>(random_() % (runtime::conversion_detail::kExactFixedDigitsLimit + 1));
        switch (random_() % 4) {
          case 0: return any_binade(fraction_digits);
          case 1: return tie(fraction_digits);
          case 2: return std::nextafter(tie(fraction_digits), 0.0);
          default: return carry(fraction_digits);
        }
      }
    }
    return 0.0;
  }

 private:
  // A random significand in a binade drawn evenly from the subnormals (biased exponent 0)
  // up to the top exponent for d digits.
  double any_binade(int fraction_digits) {
    const std::uint64_t top_biased = static_cast<std::uint64_t>(1023 + top_exponent(fraction_digits));
    const std::uint64_t biased = random_() % (top_biased + 1);
    const std::uint64_t significand = random_() & ((std::uint64_t{1} << 52) - 1);
    return std::bit_cast<double>((biased << 52) | significand);
  }

  // j x 2^-(d+1) with j odd and of a random length: exactly halfway between two results.
  double tie(int fraction_digits) {
    const int top = std::min(52, top_exponent(fraction_digits) + fraction_digits + 1);
    const int length = 1 + static_cast<int>(random_() % static_cast<std::uint64_t>(top));
    std::uint64_t odd = (random_() | 1) & ((std::uint64_t{1} << length) - 1);
    odd |= std::uint64_t{1} << (length - 1);
    return std::ldexp(static_cast<double>(odd), -(fraction_digits + 1));
  }

  // Within 64 steps of 10^k or 10^k - 0.5 x 10^-d, for k from -d to the last that fits.
  double carry(int fraction_digits) {
    const int k = -fraction_digits + static_cast<int>(random_() % static_cast<std::uint64_t>(20));
    const double power = std::pow(10.0, k);
    double value = (random_() & 1) != 0 ? power : power - 0.5 * std::pow(10.0, -fraction_digits);
    if (!(value > 0.0)) value = power;
    const int steps = static_cast<int>(random_() % 129) - 64;
    for (int i = 0; i < steps; ++i) value = std::nextafter(value, 1e300);
    for (int i = 0; i > steps && value > 0.0; --i) value = std::nextafter(value, 0.0);
    return value;
  }

  std::mt19937_64 random_;
};

// Values every run checks: zero, the subnormal and normal limits, the largest values F20.10
// holds and the first that it does not.
inline constexpr std::array<double, 12> kEdgeValues{
    0.0,
    std::numeric_limits<double>::denorm_min(),
    std::numeric_limits<double>::min() - std::numeric_limits<double>::denorm_min(),
    std::numeric_limits<double>::min(),
    0.5e-10,
    1.5e-10,
    0.00048828125,  // 2^-11: a tie at 10 digits
    999999999.99999999994,
    999999999.99999999995,
    1e9,
    1844674407.3709551615,
    1e19,
};

// The outcome of comparing the two texts of one value.
enum class Verdict { Same, Declined, Differs };

// Compares exact_fixed_text with to_chars for `magnitude` at `fraction_digits`. Declining is
// right only where the rounded digits need more than 19 places.
inline Verdict compare(double magnitude, int fraction_digits) {
  char exact[96];
  char reference[400];
  const char* exact_end = runtime::conversion_detail::exact_fixed_text(magnitude, fraction_digits, exact);
  const char* reference_end =
      std::to_chars(reference, reference + sizeof reference, magnitude, std::chars_format::fixed, fraction_digits).ptr;
  const std::string_view expected(reference, static_cast<std::size_t>(reference_end - reference));
  if (exact_end == nullptr) {
    std::size_t significant = 0;
    for (char c : expected) {
      if (c != '.' && (significant > 0 || c != '0')) ++significant;
    }
    return significant >= 20 ? Verdict::Declined : Verdict::Differs;
  }
  return std::string_view(exact, static_cast<std::size_t>(exact_end - exact)) == expected ? Verdict::Same
                                                                                          : Verdict::Differs;
}

}  // namespace fixed_text_samples
