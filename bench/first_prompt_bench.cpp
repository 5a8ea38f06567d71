// Start-up of the explorer in the terminal: the time from starting the process to the first
// byte of its first prompt on standard output, and to its exit, with end of file on standard
// input (so the program ends at the first question). Prints the best and the median of
// ROUNDS runs (target: first prompt within 15 ms).
//
//   first_prompt_bench [ROUNDS] [EXPLORER...]
//
// With several explorers (say the build before and after a change) the runs alternate between
// them, so that each sees the same machine, and each gets its own line.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Timing {
  double first_prompt = -1.0;  // milliseconds; -1 when nothing came
  double exit = 0.0;
};

// The environment without DISPLAY and WAYLAND_DISPLAY, so that the explorer picks the terminal.
std::vector<char*> terminal_environment() {
  std::vector<char*> variables;
  for (char** v = environ; *v != nullptr; ++v) {
    const std::string entry(*v);
    if (entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("WAYLAND_DISPLAY=", 0) == 0) continue;
    variables.push_back(*v);
  }
  variables.push_back(nullptr);
  return variables;
}

bool run_once(const std::string& explorer, Timing& timing) {
  int output[2];
  if (::pipe2(output, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, output[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> environment = terminal_environment();
  std::string terminal_option = "--terminal";
  std::string program = explorer;
  char* arguments[] = {program.data(), terminal_option.data(), nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = ::posix_spawn(&child, explorer.c_str(), &actions, nullptr, arguments, environment.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(output[1]);
  if (spawned != 0) {
    ::close(output[0]);
    return false;
  }
  char buffer[4096];
  bool first = true;
  for (;;) {
    const ssize_t got = ::read(output[0], buffer, sizeof buffer);
    if (got <= 0) break;
    if (first) {
      timing.first_prompt = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      first = false;
    }
  }
  ::close(output[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  timing.exit = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  return !first;
}

double best(std::vector<double> values) { return *std::min_element(values.begin(), values.end()); }

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  std::vector<std::string> explorers;
  for (int i = 2; i < argc; ++i) explorers.emplace_back(argv[i]);
  if (explorers.empty()) explorers.emplace_back(MAPEXPLORER_PATH);

  std::vector<std::vector<double>> prompts(explorers.size());
  std::vector<std::vector<double>> exits(explorers.size());
  // One run of each first, untimed: it brings the libraries and fonts into the page cache.
  for (const std::string& explorer : explorers) {
    Timing warm_up;
    if (!run_once(explorer, warm_up)) {
      std::fprintf(stderr, "first_prompt_bench: %s printed no prompt\n", explorer.c_str());
      return 1;
    }
  }
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t e = 0; e < explorers.size(); ++e) {
      Timing timing;
      if (!run_once(explorers[e], timing)) return 1;
      prompts[e].push_back(timing.first_prompt);
      exits[e].push_back(timing.exit);
    }
  }
  std::printf("start to the first prompt, end of file on standard input, %d runs each (ms, best / median)\n", rounds);
  for (std::size_t e = 0; e < explorers.size(); ++e) {
    std::printf("%s\n  first prompt: %6.2f / %6.2f   (target <= 15)\n  exit:         %6.2f / %6.2f\n",
                explorers[e].c_str(), best(prompts[e]), median(prompts[e]), best(exits[e]), median(exits[e]));
  }
  return 0;
}
