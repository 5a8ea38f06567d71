// Floating-point exception masks through <cfenv> and the C library's trap control.

#include "runtime/support/floating_point.h"

#include <fenv.h>

#include <cfenv>

namespace runtime {
namespace {

struct ExceptionBit {
  int bit;
  int flag;
};
constexpr ExceptionBit kExceptionBits[] = {
    {kFloatingInexact, FE_INEXACT},        {kFloatingUnderflow, FE_UNDERFLOW}, {kFloatingOverflow, FE_OVERFLOW},
    {kFloatingDivideByZero, FE_DIVBYZERO}, {kFloatingInvalid, FE_INVALID},
};

}  // namespace

void apply_floating_point_mode(int mode) {
  std::feclearexcept(FE_ALL_EXCEPT);
  const int masked = masked_floating_exceptions(mode);
  for (const ExceptionBit& e : kExceptionBits) {
    if ((masked & e.bit) != 0) {
      fedisableexcept(e.flag);
    } else {
      feenableexcept(e.flag);
    }
  }
}

int unmasked_floating_exceptions() {
  const int enabled = fegetexcept();
  int bits = 0;
  for (const ExceptionBit& e : kExceptionBits) {
    if ((enabled & e.flag) != 0) bits |= e.bit;
  }
  return bits;
}

}  // namespace runtime
