// The plain program a user might write instead of the explorer: the Henon map (a = 1.4,
// b = 0.3, x0 = y0 = 0.1) stepped as the explorer steps it, N points of x after NTRANS steps,
// each right-justified in 20 columns with 10 decimals by std::to_chars and ended by CR LF,
// gathered in one 1 MiB buffer and written with fwrite.
//
//   henon_plain_program FILE [NTRANS] [N]

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const long transient = argc > 2 ? std::atol(argv[2]) : 1000;
  const long length = argc > 3 ? std::atol(argv[3]) : 999999;
  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) return 1;
  constexpr std::size_t kBufferSize = 1 << 20;
  std::vector<char> buffer(kBufferSize);
  std::size_t used = 0;
  double x = 0.1;
  double y = 0.1;
  auto step = [&] {
    const double next = (0.3 * y - 1.4 * x * x) + 1.0;
    y = x;
    x = next;
  };
  for (long i = 0; i < transient; ++i) step();
  for (long m = 1; m <= length; ++m) {
    if (m > 1) step();
    if (used + 64 > kBufferSize) {
      std::fwrite(buffer.data(), 1, used, file);
      used = 0;
    }
    char digits[48];
    const auto result = std::to_chars(digits, digits + sizeof digits, x, std::chars_format::fixed, 10);
    const std::size_t width = static_cast<std::size_t>(result.ptr - digits);
    const std::size_t pad = width < 20 ? 20 - width : 0;
    char* line = buffer.data() + used;
    std::memset(line, ' ', pad);
    std::memcpy(line + pad, digits, width);
    line[pad + width] = '\r';
    line[pad + width + 1] = '\n';
    used += pad + width + 2;
  }
  std::fwrite(buffer.data(), 1, used, file);
  return std::fclose(file) == 0 ? 0 : 1;
}
