#pragma once
// Standard normal deviates by inversion: DRNNOR draws uniform deviates from DRNUN and maps
// each through the inverse standard normal distribution function, computed from the inverse
// error function with rational approximations (within about 3e-7 of the exact quantiles).
// One uniform is consumed per normal deviate.

#include <cstdint>
#include <span>

namespace numerics {

// Fills r[0..nr-1] with standard normal deviates; r[k] is the transform of the k-th uniform
// of this call. nr must be at least 1 and no more than r.size(); otherwise the library's
// terminal error for "NR" is raised under the routine name "DRNNOR" and r is left untouched.
void DRNNOR(std::int32_t nr, std::span<double> r);

// The inverse standard normal distribution function at p in (0, 1). p = 0 gives -infinity,
// p = 1 gives +infinity, and p outside [0, 1] or NaN gives NaN.
double inverse_normal_cdf(double p);

}  // namespace numerics
