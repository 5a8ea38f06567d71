// The differential check of the exact fixed-point text: draws COUNT doubles (default 10^8)
// of every kind in fixed_text_samples.h (every binade from the subnormals to values that
// overflow an F20.10 field into asterisks, exact ties, their neighbours, carries into a new
// digit, and the other digit counts 0..27), plus the edge values, and compares
// exact_fixed_text with std::to_chars for each. Prints the counts per kind, the binades
// covered, and the nanoseconds per value of both conversions; exits 1 on any difference.
//
//   fixed_text_check [COUNT] [SEED]

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <vector>

#include "fixed_text_samples.h"

namespace {

using fixed_text_samples::Verdict;

struct Tally {
  std::uint64_t same = 0;
  std::uint64_t declined = 0;
  std::uint64_t differs = 0;
};

// The binary exponent of a value (the subnormals as one binade below the normals).
int binade_of(double value) {
  if (value == 0.0) return -1075;
  int exponent = 0;
  std::frexp(value, &exponent);
  return exponent < -1021 ? -1022 : exponent - 1;
}

template <typename Convert>
double nanoseconds_per_value(const std::vector<double>& values, int digits, Convert convert) {
  const auto start = std::chrono::steady_clock::now();
  std::uint64_t sum = 0;
  for (const double v : values) sum += convert(v, digits);
  const auto end = std::chrono::steady_clock::now();
  if (sum == 42) std::puts("");  // keeps the loop
  return std::chrono::duration<double, std::nano>(end - start).count() / static_cast<double>(values.size());
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100'000'000;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  std::printf("values: %llu, seed %llu\n", static_cast<unsigned long long>(count),
              static_cast<unsigned long long>(seed));

  bool all_same = true;
  std::set<int> binades_at_ten_digits;
  std::uint64_t ten_digit_ties = 0;
  for (const auto& kind : fixed_text_samples::kKinds) {
    fixed_text_samples::Sampler sampler(seed * 31 + static_cast<std::uint64_t>(kind.kind));
    const auto share = static_cast<std::uint64_t>(static_cast<double>(count) * kind.share);
    Tally tally;
    for (std::uint64_t i = 0; i < share; ++i) {
      int digits = 10;
      const double value = sampler.next(kind.kind, digits);
      switch (fixed_text_samples::compare(value, digits)) {
        case Verdict::Same: ++tally.same; break;
        case Verdict::Declined: ++tally.declined; break;
        case Verdict::Differs:
          if (++tally.differs <= 10) std::printf("  DIFFERS: %.17g with %d digits\n", value, digits);
          break;
      }
      if (digits == 10) {
        binades_at_ten_digits.insert(binade_of(value));
        if (kind.kind == fixed_text_samples::Kind::Tie) ++ten_digit_ties;
      }
    }
    std::printf("%-42s %11llu same %10llu beyond 19 digits %llu different\n", kind.name,
                static_cast<unsigned long long>(tally.same), static_cast<unsigned long long>(tally.declined),
                static_cast<unsigned long long>(tally.differs));
    all_same = all_same && tally.differs == 0;
  }
  for (const double value : fixed_text_samples::kEdgeValues) {
    for (int digits = 0; digits <= runtime::conversion_detail::kExactFixedDigitsLimit; ++digits) {
      if (fixed_text_samples::compare(value, digits) == Verdict::Differs) {
        std::printf("  DIFFERS: edge value %.17g with %d digits\n", value, digits);
        all_same = false;
      }
    }
  }
  std::printf("binades drawn at 10 digits: %zu (2^%d to 2^%d, subnormals as 2^-1022 and zero as 2^-1075)\n",
              binades_at_ten_digits.size(), *binades_at_ten_digits.begin(), *binades_at_ten_digits.rbegin());
  std::printf("exact ties at 10 digits: %llu\n", static_cast<unsigned long long>(ten_digit_ties));

  // Speed of both on values like a series file's (order one, both signs).
  std::vector<double> series(1 << 20);
  double x = 0.1;
  for (double& v : series) {
    x = 1.0 - 1.9 * x * x;
    v = std::fabs(x);
  }
  char text[400];
  const double exact = nanoseconds_per_value(series, 10, [&](double v, int d) {
    return static_cast<std::uint64_t>(runtime::conversion_detail::exact_fixed_text(v, d, text) - text);
  });
  const double reference = nanoseconds_per_value(series, 10, [&](double v, int d) {
    return static_cast<std::uint64_t>(std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, d).ptr -
                                      text);
  });
  std::printf("ns per value at 10 digits: exact %.1f, to_chars %.1f\n", exact, reference);
  std::printf("%s\n", all_same ? "every text the same" : "TEXTS DIFFER");
  return all_same ? 0 : 1;
}
