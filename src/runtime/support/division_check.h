#pragma once
// The division test behind check_division_flaw, on given operands: x - (x / y) * y must be
// exactly 0.0 on a sound divider for the operands the check uses.

namespace runtime {

// The operands of the check; a flawed divider leaves a residue for them.
inline constexpr double kDivisionCheckDividend = 4195835.0;
inline constexpr double kDivisionCheckDivisor = 3145727.0;

double division_residue(double dividend, double divisor);

// Raises severe error 201 when the residue is not 0.0, unless FOR_RUN_FLAWED_PENTIUM is true.
void check_division_operands(double dividend, double divisor);

}  // namespace runtime
