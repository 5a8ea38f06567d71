#include "numerics/machine_constants.h"

#include <array>
#include <limits>
#include <string_view>

#include "numerics/error_printing.h"
#include "numerics/error_stack.h"

namespace numerics {

namespace {

constexpr int kConstantCount = 8;
constexpr std::string_view kIndexTemplate = "The argument must be between 1 and 8 inclusive. N = %(I1)";

template <typename Real>
constexpr std::array<Real, kConstantCount> machine_constants() {
  using limits = std::numeric_limits<Real>;
  return {limits::min(),
          limits::max(),
          limits::epsilon() / 2,
          limits::epsilon(),
          static_cast<Real>(0.30102999566398119521),
          limits::quiet_NaN(),
          limits::infinity(),
          -limits::infinity()};
}

template <typename Real>
Real machine_constant(std::string_view routine, int index) {
  static constexpr std::array<Real, kConstantCount> kTable = machine_constants<Real>();
  if (index >= 1 && index <= kConstantCount) return kTable[static_cast<std::size_t>(index - 1)];
  E1PSH(routine);
  set_integer_insertion(1, index);
  E1MES(kTerminal, 1, kIndexTemplate);
  E1POP(routine);
  return std::numeric_limits<Real>::quiet_NaN();
}

}  // namespace

double DMACH(int index) { return machine_constant<double>("DMACH", index); }
float AMACH(int index) { return machine_constant<float>("AMACH", index); }

}  // namespace numerics
