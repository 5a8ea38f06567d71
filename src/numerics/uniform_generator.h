#pragma once
// The uniform pseudo-random generator: the multiplicative congruential generator with
// modulus 2^31 - 1 and multiplier 16807, advanced in 32-bit arithmetic by Schrage's method.
// Its deviates lie strictly between 0 and 1. The state is process-wide and is seeded once,
// at the first call of DRNUN, from the local time of day (hhmmss + 1), unless a seed has
// been set before. Only the program thread uses it.

#include <cstdint>
#include <optional>
#include <span>

namespace numerics {

inline constexpr std::int32_t kModulus = 2147483647;
inline constexpr std::int32_t kMultiplier = 16807;
inline constexpr std::int32_t kSchrageQuotient = kModulus / kMultiplier;   // 127773
inline constexpr std::int32_t kSchrageRemainder = kModulus % kMultiplier;  // 2836
// The double nearest to 1 / (2^31 - 1).
inline constexpr double kUniformScale = 1.0 / kModulus;
// The seeds the sequence can start from: every element it can reach.
inline constexpr std::int32_t kSmallestSeed = 1;
inline constexpr std::int32_t kLargestSeed = kModulus - 1;
// Used when the time of day gives no usable seed (00:00:00, or no clock).
inline constexpr std::int32_t kFallbackSeed = 123457;

// Fills r[0..nr-1], in order, with consecutive uniform deviates. nr must be at least 1 and
// no more than r.size(); otherwise the library's terminal error for "NR" is raised under the
// routine name "dRNUN" and r is left untouched.
void DRNUN(std::int32_t nr, std::span<double> r);

// The generator's initialisation step. Request 0 takes the seed from the local time unless a
// seed is already set; a request of 1..2147483646 sets that seed. Any other request is
// refused (it would make the sequence stick or leave the interval) and false is returned.
bool init_uniform_generator(std::int32_t request);

// The current element of the sequence (the seed of the next deviate), 0 before any seed.
std::int32_t uniform_seed();

// The time of day that seeds the generator.
struct TimeOfDay {
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int second = 0;  // 0..60
};
using LocalClock = std::optional<TimeOfDay> (*)();

// The seed for a time of day: 10000*hour + 100*minute + second + 1, or the fallback seed when
// that is not greater than 1 or does not fit the sequence.
std::int32_t seed_from_time(const TimeOfDay& time);

// Replaces the clock read at the first use (null: the system's local time). A clock that
// gives no time leads to the fallback seed.
void set_local_clock(LocalClock clock);
std::optional<TimeOfDay> system_local_time();

// Returns the generator to its state before first use (no seed, first call pending) and the
// clock to the system's. For tests; the program never resets the generator.
void restart_uniform_generator();

}  // namespace numerics
