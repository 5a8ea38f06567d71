#include "runtime/io/shell_commands.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/io/file_names.h"
#include "runtime/support/environment.h"

namespace runtime {

namespace {

// Lower priority for submitted commands, as a batch job would have.
constexpr int kSubmitNiceness = 10;

// In the child after fork: only async-signal-safe calls until exec.
[[noreturn]] void exec_shell(const char* command, bool detached) {
  if (detached) {
    ::setpriority(PRIO_PROCESS, 0, kSubmitNiceness);
    int null_input = ::open("/dev/null", O_RDONLY);
    if (null_input >= 0) {
      ::dup2(null_input, 0);
      if (null_input != 0) ::close(null_input);
    }
    ::setsid();
  }
  ::execl("/bin/sh", "sh", "-c", command, static_cast<char*>(nullptr));
  ::_exit(127);
}

bool wait_for(pid_t child, int* status) {
  for (;;) {
    pid_t done = ::waitpid(child, status, 0);
    if (done == child) return true;
    if (done < 0 && errno == EINTR) continue;
    return false;
  }
}

}  // namespace

std::string quote_for_shell(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  quoted += '\'';
  return quoted;
}

std::string print_command(const std::string& path) {
  if (std::optional<std::string> device = environment_value("FOR_DEFAULT_PRINT_DEVICE")) {
    std::string_view name = trim_file_name(*device);
    if (!name.empty()) {
      std::string target(name);
      if (std::optional<DeviceName> known = match_device_name(name)) {
        if (!known->machine_path.empty()) target.assign(known->machine_path);
      }
      return "cat " + quote_for_shell(path) + " > " + quote_for_shell(target);
    }
  }
  return "lp " + quote_for_shell(path) + " > /dev/null";
}

std::string submit_command(const std::string& path, bool delete_after) {
  std::string command = "/bin/sh " + quote_for_shell(path);
  if (delete_after) command += " && rm -f " + quote_for_shell(path);
  return command;
}

bool run_shell_command(const std::string& command, bool wait) {
  const char* text = command.c_str();
  pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    if (wait) exec_shell(text, false);
    // Detached: a grandchild runs the command, so nobody has to wait for it.
    pid_t grandchild = ::fork();
    if (grandchild == 0) exec_shell(text, true);
    ::_exit(grandchild < 0 ? 1 : 0);
  }
  int status = 0;
  if (!wait_for(child, &status)) {
    // The program ignores SIGCHLD, so the exit status cannot be had: assume it ran.
    return errno == ECHILD;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace runtime
