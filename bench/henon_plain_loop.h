#pragma once
// The baseline of the recording benchmarks: the Henon map (a = 1.4, b = 0.3, x0 = y0 = 0.1)
// stepped as the explorer steps it, and its x component after a transient written by a plain
// loop, each value right-justified in 20 columns with 10 decimals by std::to_chars and ended
// by CR LF, through fwrite.

#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

namespace bench {

struct HenonOrbit {
  double x = 0.1;
  double y = 0.1;
  void step() {
    const double next = (0.3 * y - 1.4 * x * x) + 1.0;
    y = x;
    x = next;
  }
};

// The orbit after `transient` steps, as the first series point sees it.
inline HenonOrbit henon_after_transient(int transient) {
  HenonOrbit orbit;
  for (int i = 0; i < transient; ++i) orbit.step();
  return orbit;
}

// Writes `length` series points of x after `transient` steps to `path`; false when the file
// cannot be opened.
inline bool write_plain_series(const std::string& path, int transient, int length) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  HenonOrbit orbit = henon_after_transient(transient);
  char line[64];
  for (int m = 1; m <= length; ++m) {
    if (m > 1) orbit.step();
    char digits[48];
    const auto result = std::to_chars(digits, digits + sizeof digits, orbit.x, std::chars_format::fixed, 10);
    const std::size_t width = static_cast<std::size_t>(result.ptr - digits);
    const std::size_t pad = width < 20 ? 20 - width : 0;
    std::memset(line, ' ', pad);
    std::memcpy(line + pad, digits, width);
    line[pad + width] = '\r';
    line[pad + width + 1] = '\n';
    std::fwrite(line, 1, pad + width + 2, file);
  }
  return std::fclose(file) == 0;
}

}  // namespace bench
