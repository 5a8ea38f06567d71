#include "numerics/normal_deviates.h"

#include <cmath>

#include "numerics/argument_check.h"
#include "numerics/machine_constants.h"
#include "numerics/uniform_generator.h"

namespace numerics {

namespace {

// Central region, w <= 0.85.
constexpr double a0 = 0.113773;
constexpr double a1 = -1.896513;
constexpr double a2 = -0.05496261;
constexpr double a3 = 1.187515;
constexpr double a4 = 2.374996;
constexpr double a5 = 3.293474;
constexpr double a6 = -0.5751703;
// s < 2.5.
constexpr double b0 = 0.1146666;
constexpr double b1 = 44.27977;
constexpr double b2 = 21.98546;
constexpr double b3 = 7.586103;
constexpr double b4 = 0.1314774;
constexpr double b5 = 0.2368201;
constexpr double b6 = 0.05073975;
// 2.5 <= s < 4.
constexpr double c0 = 0.05668422;
constexpr double c1 = 6.266786;
constexpr double c2 = 4.666263;
constexpr double c3 = 2.962883;
constexpr double c4 = 0.3937021;
constexpr double c5 = 0.3166501;
constexpr double c6 = 0.06208963;
// s >= 4, and the tails.
constexpr double d0 = 0.0001851159;
constexpr double d1 = 0.09952975;
constexpr double d2 = 0.5211733;
constexpr double d3 = 0.06888301;
constexpr double d4 = 0.002028152;
constexpr double d5 = 0.1498384;
constexpr double d6 = 0.01078639;

// Computed on the first evaluation and kept for the whole run.
double square_root_of_two() {
  static const double root = std::sqrt(2.0);
  return root;
}

double largest_relative_spacing() {
  static const double spacing = DMACH(4);
  return spacing;
}

// The correction for s >= 4, with t = 1/s.
double far_correction(double s) {
  const double t = 1.0 / s;
  return t * (t * (t * d6 - d5) - d4) / (t * (t * (t - d3) + d2) + d1) + d0;
}

double with_sign(double p, double e) {
  const double magnitude = e * square_root_of_two();
  return p >= 0.5 ? magnitude : -magnitude;
}

}  // namespace

double inverse_normal_cdf(double p) {
  const double eps = largest_relative_spacing();
  if (eps < p && p < 1.0 - 3.0 * eps) {
    const double w = std::fabs(1.0 - (p + p));
    double e = 0.0;
    if (w <= 0.85) {
      const double z = w * w;
      const double f = (a6 * z) / (z - a5 + a1 / (z - a4 + a2 / (z - a3))) - a0;
      e = w + f * w;
    } else {
      const double u = 1.0 - w;
      const double s = std::sqrt(-std::log(u * w + u));
      double f = 0.0;
      if (s < 2.5) {
        f = s * (s * (s * b6 - b5) - b4) / (s * (s * (s - b3) + b2) - b1) - b0;
      } else if (s < 4.0) {
        f = s * (s * (s * c6 - c5) + c4) / (s * (s * (s - c3) + c2) - c1) - c0;
      } else {
        f = far_correction(s);
      }
      e = s + f * s;
    }
    return with_sign(p, e);
  }
  // The tails, and anything outside (0, 1): NaN and p outside [0, 1] make the logarithm's
  // argument NaN or negative, so the result is NaN; p = 0 and p = 1 give infinities.
  const double v = p >= 0.5 ? 2.0 * (1.0 - p) : p + p;
  const double s = std::sqrt(-std::log((v - v * v) + v));
  const double e = s + far_correction(s) * s;
  return with_sign(p, e);
}

void DRNNOR(std::int32_t nr, std::span<double> r) {
  if (!check_count_argument("DRNNOR", "NR", nr, r.size())) return;
  DRNUN(nr, r);
  for (std::int32_t i = 0; i < nr; ++i) {
    const auto k = static_cast<std::size_t>(i);
    r[k] = inverse_normal_cdf(r[k]);
  }
}

}  // namespace numerics
