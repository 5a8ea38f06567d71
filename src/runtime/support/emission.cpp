// Writing messages to descriptors, the FORT0 redirection, the diagnostic log, and the debug
// and core-dump endings.

#include "runtime/support/emission.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

#include "runtime/support/environment.h"
#include "runtime/support/error_numbers.h"
#include "runtime/support/exception_context.h"
#include "runtime/support/lifecycle.h"

namespace runtime {
namespace {

// Signal-safe reading of the environment: getenv only walks the environment block.
const char* raw_environment(const char* name) {
  const char* value = std::getenv(name);
  return (value != nullptr && *value != '\0') ? value : nullptr;
}

bool raw_switch(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && switch_value_is_true(value);
}

int open_for_append(const char* path) {
  int fd;
  do {
    fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Restores the default action of `signal_number` and lets it through this thread's mask.
void use_default_action(int signal_number) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal_number, &action, nullptr);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal_number);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace

int write_fully(int fd, std::string_view bytes, std::size_t& written) {
  written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    written += static_cast<std::size_t>(n);
  }
  return 0;
}

bool write_all(int fd, std::string_view text) {
  std::size_t written = 0;
  return write_fully(fd, text, written) == 0;
}

bool write_with_record_ends(int fd, std::string_view text) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' || (i > 0 && text[i - 1] == '\r')) continue;
    if (!write_all(fd, text.substr(start, i - start)) || !write_all(fd, "\r\n")) return false;
    start = i + 1;
  }
  return write_all(fd, text.substr(start));
}

int redirect_standard_error_once() {
  // 0: not yet; 1: being done or done. An atomic exchange rather than a once flag, because a
  // signal handler may be the first to emit.
  static std::atomic<int> state{0};
  if (state.exchange(1) != 0) return 0;
  const char* path = raw_environment("FORT0");
  if (path == nullptr) return 0;
  const int fd = open_for_append(path);
  if (fd < 0) return errno;
  // Reopening in place with dup2 keeps standard error working when the file cannot be
  // opened, where closing and reopening the stream would lose it.
  ::dup2(fd, STDERR_FILENO);
  ::close(fd);
  return 0;
}

int append_to_diagnostic_log(std::string_view text) {
  const char* path = raw_environment("FOR_DIAGNOSTIC_LOG_FILE");
  if (path == nullptr) return 0;
  const int fd = open_for_append(path);
  if (fd < 0) return errno;
  int status = 0;
  if (!write_with_record_ends(fd, text)) status = errno != 0 ? errno : EIO;
  ::close(fd);
  return status;
}

bool debug_exception_requested(int number) {
  if (number == kNoncontinuableException || !raw_switch("FOR_GENERATE_DEBUG_EXCEPTION")) return false;
  const ExceptionContext* context = exception_context();
  return context != nullptr && !context->marked_for_debugger;
}

void raise_debug_exception() {
  use_default_action(SIGTRAP);
  ::raise(SIGTRAP);
}

bool core_dump_requested() {
  const char* flag = std::getenv("f77_dump_flag");
  if (flag == nullptr) flag = std::getenv("harrowfort_dump_flag");
  return flag != nullptr && (flag[0] == 'Y' || flag[0] == 'y');
}

void abort_with_core_dump() {
  use_default_action(SIGABRT);
  std::abort();
}

void end_after_severe_error(int exit_code) {
  run_exit_handler();
  if (environment_switch("FOR__IS_DEBUGGER_PRESENT")) raise_debug_exception();
  if (core_dump_requested()) abort_with_core_dump();
  end_process(exit_code);
}

}  // namespace runtime
