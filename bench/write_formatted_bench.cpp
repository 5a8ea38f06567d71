// Writes 1,000,000 values of a chaotic series under "(F20.10)" through write_formatted to a
// file, and the same series through a plain std::to_chars + fwrite loop producing the same
// bytes, and prints nanoseconds per value for both and their ratio (target: ratio <= 1.0).
// Each way runs several times, alternating; the best and the median runs are reported. Times
// are the thread's processor time (user and system), which a busy machine disturbs less
// than the wall clock.

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/fio.h"

namespace {

constexpr std::size_t kValues = 1'000'000;
constexpr int kRepetitions = 11;

// The quadratic map x -> 1 - a x^2 in its chaotic range.
std::vector<double> chaotic_series() {
  std::vector<double> series(kValues);
  double x = 0.1;
  for (double& value : series) {
    x = 1.0 - 1.9 * x * x;
    value = x;
  }
  return series;
}

double thread_seconds() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double write_through_runtime(const std::vector<double>& series, const std::string& path) {
  static const runtime::FixedFormat kFormat("(F20.10)");
  // The last run's file goes first, outside the timing: freeing its pages is no part of writing.
  std::remove(path.c_str());
  const double start = thread_seconds();
  if (runtime::open_unit(1, runtime::kErrorBranch,
                         {runtime::keyword_text(runtime::Keyword::File, path),
                          runtime::keyword_text(runtime::Keyword::Status, "REPLACE")}) != 0) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    std::exit(1);
  }
  for (const double& value : series) runtime::write_formatted(1, 0, {runtime::item(value)}, kFormat);
  runtime::close_unit(1, 0);
  return thread_seconds() - start;
}

double write_through_stdio(const std::vector<double>& series, const std::string& path) {
  std::remove(path.c_str());
  const double start = thread_seconds();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    std::exit(1);
  }
  char digits[64];
  char line[22];
  for (const double& value : series) {
    auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 10);
    std::size_t length = static_cast<std::size_t>(result.ptr - digits);
    std::memset(line, ' ', 20);
    std::memcpy(line + 20 - length, digits, length);
    line[20] = '\r';
    line[21] = '\n';
    std::fwrite(line, 1, sizeof line, file);
  }
  std::fclose(file);
  return thread_seconds() - start;
}

std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  const char* directory = std::getenv("TMPDIR");
  std::string base = std::string(directory != nullptr && *directory != '\0' ? directory : "/tmp") +
                     "/write_formatted_bench_" + std::to_string(::getpid());
  const std::string runtime_path = base + "_runtime.dat";
  const std::string stdio_path = base + "_stdio.dat";
  const std::vector<double> series = chaotic_series();

  std::vector<double> runtime_times;
  std::vector<double> stdio_times;
  for (int i = 0; i < kRepetitions; ++i) {
    runtime_times.push_back(write_through_runtime(series, runtime_path));
    stdio_times.push_back(write_through_stdio(series, stdio_path));
  }
  const bool identical = file_text(runtime_path) == file_text(stdio_path);
  std::remove(runtime_path.c_str());
  std::remove(stdio_path.c_str());

  const double per_value = 1e9 / static_cast<double>(kValues);
  const double runtime_best = *std::min_element(runtime_times.begin(), runtime_times.end()) * per_value;
  const double stdio_best = *std::min_element(stdio_times.begin(), stdio_times.end()) * per_value;
  const double runtime_median = median(runtime_times) * per_value;
  const double stdio_median = median(stdio_times) * per_value;
  std::printf("values per run:            %zu (%d runs each)\n", kValues, kRepetitions);
  std::printf("write_formatted (F20.10):  best %7.1f ns/value, median %7.1f ns/value\n", runtime_best, runtime_median);
  std::printf("to_chars + fwrite:         best %7.1f ns/value, median %7.1f ns/value\n", stdio_best, stdio_median);
  std::printf("ratio (best):              %.2f\n", runtime_best / stdio_best);
  std::printf("ratio (median):            %.2f   (target <= 1.0)\n", runtime_median / stdio_median);
  std::printf("outputs identical:         %s\n", identical ? "yes" : "NO");
  return identical ? 0 : 1;
}
