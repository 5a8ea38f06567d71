#pragma once
// The baseline of the recording benchmarks: the Henon map (a = 1.4, b = 0.3, x0 = y0 = 0.1)
// stepped as the explorer steps it, and its x component after a transient written by a plain
// loop, each value right-justified in 20 columns with 10 decimals by std::to_chars and ended
// by CR LF, gathered in one 1 MiB buffer written with fwrite.

#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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
inline HenonOrbit henon_after_transient(long transient) {
  HenonOrbit orbit;
  for (long i = 0; i < transient; ++i) orbit.step();
  return orbit;
}

// Writes `length` series points of x after `transient` steps to `path`: each line made in one
// 1 MiB buffer, written with fwrite when the buffer is full, as a plain program would. False
// when the file cannot be opened or written. Every benchmark's plain loop is this one, so
// that "the plain loop" measures the same thing in each of them.
inline bool write_plain_series(const std::string& path, long transient, long length) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  constexpr std::size_t kBufferSize = 1 << 20;
  std::vector<char> buffer(kBufferSize);
  std::size_t used = 0;
  bool written = true;
  HenonOrbit orbit = henon_after_transient(transient);
  for (long m = 1; m <= length; ++m) {
    if (m > 1) orbit.step();
    if (used + 64 > kBufferSize) {
      written = std::fwrite(buffer.data(), 1, used, file) == used && written;
      used = 0;
    }
    char digits[48];
    const auto result = std::to_chars(digits, digits + sizeof digits, orbit.x, std::chars_format::fixed, 10);
    const std::size_t width = static_cast<std::size_t>(result.ptr - digits);
    const std::size_t pad = width < 20 ? 20 - width : 0;
    char* line = buffer.data() + used;
    std::memset(line, ' ', pad);
    std::memcpy(line + pad, digits, width);
    line[pad + width] = '\r';
    line[pad + width + 1] = '\n';
    used += pad + width + 2;
  }
  written = std::fwrite(buffer.data(), 1, used, file) == used && written;
  return std::fclose(file) == 0 && written;
}

}  // namespace bench
