// The plain program a user might write instead of the explorer: the Henon map (a = 1.4,
// b = 0.3, x0 = y0 = 0.1) stepped as the explorer steps it, N points of x after NTRANS steps,
// each right-justified in 20 columns with 10 decimals by std::to_chars and ended by CR LF,
// gathered in one 1 MiB buffer and written with fwrite.
//
//   henon_plain_program FILE [NTRANS] [N]

#include <cstdlib>

#include "henon_plain_loop.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const long transient = argc > 2 ? std::atol(argv[2]) : 1000;
  const long length = argc > 3 ? std::atol(argv[3]) : 999999;
  return bench::write_plain_series(argv[1], transient, length) ? 0 : 1;
}
