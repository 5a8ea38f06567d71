// One recording of the explorer in the terminal presentation against a plain loop: the Henon
// map (a = 1.4, b = 0.3, x0 = y0 = 0.1, Ntrans = 1000) recorded for N = 999999 points by the
// built explorer (which plots every point into its "Graphics" window), its answers piped in, and, in the same run, the
// same series computed and written with std::to_chars + fwrite. Prints both times and their ratio. Each way runs
// several times, alternating; the best runs are compared.
//
// The explorer is timed twice: the recording alone (from the echo of the answer that starts
// it to the prompt of the next question, as its transcript arrives) and the whole child
// process (start-up, dialogue, recording, exit) by the wall clock and by the processor time
// of all its threads.

#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "henon_plain_loop.h"

namespace {

constexpr int kRepetitions = 5;
constexpr int kSeriesLength = 999999;
constexpr const char* kAnswers = "2\n1.4\n0.3\n0.1\n0.1\n1\ny\n1000\n999999\nn\nn\nn\nn\n";

struct Times {
  double wall = 0.0;
  double processor = 0.0;
  double recording = 0.0;  // explorer: from the answer that starts the recording to the next question
};

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; }

// Runs the explorer once, writing the series to `path`. Its transcript is read as it comes,
// so the recording itself is timed from the echo of the last settings answer to the prompt
// of the question that follows the recording.
Times run_explorer(const std::string& path) {
  int input[2];
  int output[2];
  if (::pipe(input) != 0 || ::pipe(output) != 0) std::exit(1);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(input[0], 0);
    ::dup2(output[1], 1);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 2);
    ::close(input[0]);
    ::close(input[1]);
    ::close(output[0]);
    ::close(output[1]);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::execl(MAPEXPLORER_PATH, MAPEXPLORER_PATH, "--terminal", path.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(input[0]);
  ::close(output[1]);
  const std::size_t length = std::strlen(kAnswers);
  if (::write(input[1], kAnswers, length) != static_cast<ssize_t>(length)) std::exit(1);
  ::close(input[1]);

  const std::string started = "7) Add noise to the time series? (y/n) n\n";
  const std::string finished = "9) Record again? (y/n) ";
  std::string transcript;
  std::chrono::steady_clock::time_point recording_start{};
  std::chrono::steady_clock::time_point recording_end{};
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(output[0], buffer, sizeof buffer)) > 0) {
    const auto now = std::chrono::steady_clock::now();
    transcript.append(buffer, static_cast<std::size_t>(n));
    if (recording_start == std::chrono::steady_clock::time_point{} && transcript.find(started) != std::string::npos) {
      recording_start = now;
    }
    if (recording_end == std::chrono::steady_clock::time_point{} && transcript.find(finished) != std::string::npos) {
      recording_end = now;
    }
  }
  ::close(output[0]);
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || recording_end == std::chrono::steady_clock::time_point{}) {
    std::fprintf(stderr, "the explorer failed (status %d)\n", status);
    std::exit(1);
  }
  return {std::chrono::duration<double>(end - start).count(), seconds(usage.ru_utime) + seconds(usage.ru_stime),
          std::chrono::duration<double>(recording_end - recording_start).count()};
}

// The same series, computed and written by a plain loop.
Times run_plain_loop(const std::string& path) {
  rusage before{};
  ::getrusage(RUSAGE_SELF, &before);
  const auto start = std::chrono::steady_clock::now();
  if (!bench::write_plain_series(path, 1000, kSeriesLength)) std::exit(1);
  const auto end = std::chrono::steady_clock::now();
  rusage after{};
  ::getrusage(RUSAGE_SELF, &after);
  return {std::chrono::duration<double>(end - start).count(),
          seconds(after.ru_utime) - seconds(before.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_stime)};
}

std::string read_all(const std::string& path) {
  std::string bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  char buffer[1 << 16];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  std::fclose(file);
  return bytes;
}

}  // namespace

int main() {
  char directory_template[] = "/tmp/mapexplorer-bench-XXXXXX";
  const char* directory = ::mkdtemp(directory_template);
  if (directory == nullptr) return 1;
  const std::string explorer_file = std::string(directory) + "/explorer.dat";
  const std::string plain_file = std::string(directory) + "/plain.dat";

  std::vector<Times> explorer;
  std::vector<Times> plain;
  for (int i = 0; i < kRepetitions; ++i) {
    explorer.push_back(run_explorer(explorer_file));
    plain.push_back(run_plain_loop(plain_file));
  }
  const bool identical = read_all(explorer_file) == read_all(plain_file);
  ::unlink(explorer_file.c_str());
  ::unlink(plain_file.c_str());
  ::rmdir(directory);

  auto best = [](const std::vector<Times>& runs, double Times::*field) {
    double value = runs.front().*field;
    for (const Times& t : runs) value = std::min(value, t.*field);
    return value;
  };
  const double explorer_wall = best(explorer, &Times::wall);
  const double explorer_processor = best(explorer, &Times::processor);
  const double plain_wall = best(plain, &Times::wall);
  const double plain_processor = best(plain, &Times::processor);
  const double recording = best(explorer, &Times::recording);
  std::printf("Henon recording, N = %d, Ntrans = 1000 (best of %d runs each)\n", kSeriesLength, kRepetitions);
  std::printf("one recording:         wall %7.3f s                       (%6.1f ns/value)\n", recording,
              recording * 1e9 / kSeriesLength);
  std::printf("whole explorer run:    wall %7.3f s   processor %7.3f s   (%6.1f ns/value wall)\n", explorer_wall,
              explorer_processor, explorer_wall * 1e9 / kSeriesLength);
  std::printf("to_chars + fwrite:     wall %7.3f s   processor %7.3f s   (%6.1f ns/value wall)\n", plain_wall,
              plain_processor, plain_wall * 1e9 / kSeriesLength);
  std::printf("ratio, one recording with its plot to the loop (target <= 2.5): %.2f\n", recording / plain_wall);
  std::printf("ratio, whole run to the loop (wall):          %.2f\n", explorer_wall / plain_wall);
  std::printf("ratio, whole run to the loop (processor):     %.2f\n", explorer_processor / plain_processor);
  std::printf("series files identical: %s\n", identical ? "yes" : "NO");
  return identical ? 0 : 1;
}
