#include "numerics/uniform_generator.h"

#include <ctime>

#include "numerics/argument_check.h"

namespace numerics {

namespace {

struct GeneratorState {
  std::int32_t seed = 0;
  bool seed_is_set = false;
  bool first_call = true;
  LocalClock clock = nullptr;
};

GeneratorState& generator() {
  static GeneratorState state;
  return state;
}

bool is_valid_seed(std::int64_t seed) { return seed >= kSmallestSeed && seed <= kLargestSeed; }

// 16807 * seed mod (2^31 - 1) for a seed in 1..2^31 - 2. Schrage's decomposition keeps every
// intermediate within 32 bits, and the result stays in 1..2^31 - 2.
std::int32_t next_seed(std::int32_t seed) {
  const std::int32_t k = seed / kSchrageQuotient;
  std::int32_t next = kMultiplier * (seed - kSchrageQuotient * k) - kSchrageRemainder * k;
  if (next < 0) next += kModulus;
  return next;
}

}  // namespace

std::int32_t seed_from_time(const TimeOfDay& time) {
  const std::int64_t seed = 10000LL * time.hour + 100LL * time.minute + time.second + 1;
  if (seed <= 1 || !is_valid_seed(seed)) return kFallbackSeed;
  return static_cast<std::int32_t>(seed);
}

std::optional<TimeOfDay> system_local_time() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr) {
    return std::nullopt;
  }
  return TimeOfDay{local.tm_hour, local.tm_min, local.tm_sec};
}

bool init_uniform_generator(std::int32_t request) {
  GeneratorState& state = generator();
  if (request == 0) {
    if (!state.seed_is_set) {
      const LocalClock clock = state.clock != nullptr ? state.clock : system_local_time;
      const std::optional<TimeOfDay> time = clock();
      state.seed = time ? seed_from_time(*time) : kFallbackSeed;
      state.seed_is_set = true;
    }
    return true;
  }
  if (!is_valid_seed(request)) return false;
  state.seed = request;
  state.seed_is_set = true;
  return true;
}

void DRNUN(std::int32_t nr, std::span<double> r) {
  if (!check_count_argument("dRNUN", "NR", nr, r.size())) return;
  GeneratorState& state = generator();
  if (state.first_call) {
    state.first_call = false;
    init_uniform_generator(0);
  }
  for (std::int32_t i = 0; i < nr; ++i) {
    state.seed = next_seed(state.seed);
    r[static_cast<std::size_t>(i)] = static_cast<double>(state.seed) * kUniformScale;
  }
}

std::int32_t uniform_seed() { return generator().seed; }

void set_local_clock(LocalClock clock) { generator().clock = clock; }

void restart_uniform_generator() { generator() = GeneratorState{}; }

}  // namespace numerics
