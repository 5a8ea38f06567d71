#include "explorer_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace e2e {
namespace {

void read_available(int& fd, std::string& to) {
  char buffer[8192];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n > 0) {
    to.append(buffer, static_cast<std::size_t>(n));
  } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
    ::close(fd);
    fd = -1;
  }
}

}  // namespace

ExplorerRun run_explorer_in(const TemporaryDirectory& directory, std::vector<std::string> arguments,
                            const std::string& input) {
  ExplorerOptions options;
  options.arguments = std::move(arguments);
  options.input = input;
  options.working_directory = directory.path();
  return run_explorer(options);
}

std::function<bool(const std::string&)> question_waited_for(const std::string& question,
                                                            std::chrono::milliseconds wait) {
  return [question, wait,
          seen = std::optional<std::chrono::steady_clock::time_point>()](const std::string& output) mutable {
    if (!seen && output.find(question) != std::string::npos) seen = std::chrono::steady_clock::now();
    return seen && std::chrono::steady_clock::now() - *seen >= wait;
  };
}

std::function<bool(const std::string&)> file_grown_past(const std::string& path, long bytes) {
  return [path, bytes](const std::string&) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && info.st_size > bytes;
  };
}

std::string explorer_path() {
  if (const char* path = std::getenv("MAPEXPLORER_UNDER_TEST")) return path;
  return MAPEXPLORER_PATH;
}

ExplorerRun run_explorer(const ExplorerOptions& options) {
  ExplorerRun run;
  int in_pipe[2], out_pipe[2], err_pipe[2];
  if (::pipe(in_pipe) != 0 || ::pipe(out_pipe) != 0 || ::pipe(err_pipe) != 0) return run;
  ::signal(SIGPIPE, SIG_IGN);

  const std::string program = options.program.empty() ? explorer_path() : options.program;
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (options.input_descriptor_closed) {
      ::close(0);
    } else {
      ::dup2(in_pipe[0], 0);
    }
    ::dup2(out_pipe[1], 1);
    ::dup2(err_pipe[1], 2);
    for (int fd = 3; fd < 1024; ++fd) ::close(fd);
    if (options.file_size_limit != 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{options.file_size_limit, options.file_size_limit};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
    }
    if (!options.working_directory.empty() && ::chdir(options.working_directory.c_str()) != 0) ::_exit(126);
    // The explorer decides between screen and terminal by these; tests use the terminal.
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    for (const auto& [name, value] : options.environment) ::setenv(name.c_str(), value.c_str(), 1);
    std::vector<std::string> copies = options.arguments;
    std::vector<char*> argv;
    std::string name = program;
    argv.push_back(name.data());
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(in_pipe[0]);
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  int in = in_pipe[1];
  int out = out_pipe[0];
  int err = err_pipe[0];
  ::fcntl(in, F_SETFL, O_NONBLOCK);
  std::size_t written = 0;
  bool acted = !options.act_when || (options.signal_number == 0 && !options.action);
  if ((options.input.empty() && !options.keep_input_open) || options.input_descriptor_closed) {
    ::close(in);
    in = -1;
  }

  const auto deadline = std::chrono::steady_clock::now() + options.time_limit;
  while (out >= 0 || err >= 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      run.timed_out = true;
      ::kill(pid, SIGKILL);
      break;
    }
    pollfd fds[3] = {{out, POLLIN, 0}, {err, POLLIN, 0}, {written < options.input.size() ? in : -1, POLLOUT, 0}};
    if (::poll(fds, 3, 100) > 0) {
      if (out >= 0 && fds[0].revents != 0) read_available(out, run.out);
      if (err >= 0 && fds[1].revents != 0) read_available(err, run.err);
      if (fds[2].fd >= 0 && fds[2].revents != 0) {
        const ssize_t n = ::write(in, options.input.data() + written, options.input.size() - written);
        if (n > 0) written += static_cast<std::size_t>(n);
        if (n < 0 && errno != EAGAIN && errno != EINTR) written = options.input.size();
        if (written >= options.input.size() && !options.keep_input_open) {
          ::close(in);
          in = -1;
        }
      }
    }
    if (!acted && options.act_when(run.out)) {
      acted = true;
      if (options.action) options.action();
      if (options.signal_number != 0) {
        ::kill(pid, options.signal_number);
        if (in >= 0) ::close(in);
        in = -1;
        written = options.input.size();
      }
    }
  }
  if (out >= 0) ::close(out);
  if (err >= 0) ::close(err);
  if (in >= 0) ::close(in);
  int status = 0;
  if (run.timed_out) {
    ::waitpid(pid, &status, 0);
    return run;
  }
  // Output closed: the child is ending; give it the rest of the time limit to exit.
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      run.timed_out = true;
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return run;
    }
    ::usleep(10000);
  }
  if (WIFEXITED(status)) run.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal_number = WTERMSIG(status);
  return run;
}

TemporaryDirectory::TemporaryDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "mapexplorer-e2e-XXXXXX").string();
  if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool file_exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace e2e
