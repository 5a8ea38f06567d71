// The terminal presentation from outside: terminal_demo run as a child process with its
// standard streams on pipes (or standard input on a pseudo-terminal).

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

struct ChildResult {
  std::string out;
  std::string err;
  int status = -1;  // exit status, or -1 when it did not exit normally in time
};

void append_available(int fd, std::string& to, bool& open) {
  char buffer[4096];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n > 0) {
    to.append(buffer, static_cast<std::size_t>(n));
  } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
    open = false;
  }
}

// Runs terminal_demo with `arguments`. Standard input is a pipe fed with `input` and then
// closed, or, with `use_terminal`, a pseudo-terminal whose other side gets `input` and
// stays open until the child ends.
ChildResult run_demo(const std::vector<std::string>& arguments, const std::string& input, bool use_terminal = false) {
  ChildResult result;
  int out_pipe[2], err_pipe[2], in_pipe[2] = {-1, -1};
  if (::pipe(out_pipe) != 0 || ::pipe(err_pipe) != 0) return result;
  int master = -1;
  std::string slave_name;
  if (use_terminal) {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return result;
    slave_name = ::ptsname(master);
  } else if (::pipe(in_pipe) != 0) {
    return result;
  }

  const pid_t pid = ::fork();
  if (pid == 0) {
    int in = use_terminal ? ::open(slave_name.c_str(), O_RDWR | O_NOCTTY) : in_pipe[0];
    ::dup2(in, 0);
    ::dup2(out_pipe[1], 1);
    ::dup2(err_pipe[1], 2);
    for (int fd = 3; fd < 256; ++fd) ::close(fd);
    std::vector<char*> argv;
    std::string program = TERMINAL_DEMO_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (auto& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  if (use_terminal) {
    ::write(master, input.data(), input.size());
  } else {
    ::close(in_pipe[0]);
    ::signal(SIGPIPE, SIG_IGN);
    ::write(in_pipe[1], input.data(), input.size());
    ::close(in_pipe[1]);
  }

  bool out_open = true, err_open = true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while ((out_open || err_open) && std::chrono::steady_clock::now() < deadline) {
    pollfd fds[3] = {
        {out_open ? out_pipe[0] : -1, POLLIN, 0}, {err_open ? err_pipe[0] : -1, POLLIN, 0}, {master, POLLIN, 0}};
    if (::poll(fds, 3, 200) <= 0) continue;
    if (fds[0].revents) append_available(out_pipe[0], result.out, out_open);
    if (fds[1].revents) append_available(err_pipe[0], result.err, err_open);
    if (master >= 0 && fds[2].revents) {
      std::string echo;  // the terminal's own echo, drained
      bool open = true;
      append_available(master, echo, open);
    }
  }
  int status = 0;
  if (out_open || err_open) ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  if (!out_open && !err_open && WIFEXITED(status)) result.status = WEXITSTATUS(status);
  ::close(out_pipe[0]);
  ::close(err_pipe[0]);
  if (master >= 0) ::close(master);
  return result;
}

// Lines of standard error that are not the platform's own notes.
std::string own_messages(const std::string& err) {
  std::string kept;
  std::size_t start = 0;
  while (start < err.size()) {
    std::size_t end = err.find('\n', start);
    if (end == std::string::npos) end = err.size() - 1;
    const std::string line = err.substr(start, end - start + 1);
    if (line.rfind("QStandardPaths:", 0) != 0) kept += line;
    start = end + 1;
  }
  return kept;
}

const std::string kEndOfInput = "terminal_demo: end of file on standard input while the program waits for input\n";

// The program-end box as the terminal writes it to standard error.
std::string program_end(int code) {
  return "terminal_demo\nProgram Terminated with exit code " + std::to_string(code) + "\nExit Window?\n";
}

const std::string kFilePrompt = "File name missing or blank - please enter file name\nUNIT 1? ";
const std::string kLongAnswer(128, 'z');

struct DemoCase {
  const char* name;
  std::vector<std::string> arguments;
  std::string input;
  bool on_terminal;  // standard input is a pseudo-terminal instead of a pipe
  int status;
  std::string out;
  std::string err;  // without the platform's own notes
};

// Test names show the case name.
void PrintTo(const DemoCase& c, std::ostream* os) { *os << c.name; }

class TerminalProgram : public ::testing::TestWithParam<DemoCase> {};

TEST_P(TerminalProgram, TranscriptStatusAndMessages) {
  const DemoCase& c = GetParam();
  const ChildResult r = run_demo(c.arguments, c.input, c.on_terminal);
  EXPECT_EQ(r.status, c.status);
  EXPECT_EQ(r.out, c.out);
  EXPECT_EQ(own_messages(r.err), c.err);
}

const DemoCase kDemoCases[] = {
    {"prompts_and_typed_answers",
     {"dialogue", "3"},
     "42\nhello world\n",
     false,
     3,
     "\n Your answer? 42\n Got [42]\n Your answer? hello world\n Got [hello world]\n",
     program_end(3)},
    {"carriage_return_line_ends_and_control_bytes",
     {"dialogue"},
     "1\r\nab\bc\n",
     false,
     0,
     "\n Your answer? 1\n Got [1]\n Your answer? ab\b \bc\n Got [ac]\n",
     program_end(0)},
    {"carriage_return_inside_a_line_splits_it",
     {"dialogue"},
     "x\ry\n",
     false,
     0,
     "\n Your answer? x\n Got [x]\n Your answer? y\n Got [y]\n",
     program_end(0)},
    {"end_of_file_while_waiting_ends_the_program",
     {"dialogue", "5"},
     "42\n",
     false,
     1,
     "\n Your answer? 42\n Got [42]\n Your answer? ",
     kEndOfInput},
    {"empty_input_ends_at_the_first_read", {"dialogue"}, "", false, 1, "\n Your answer? ", kEndOfInput},
    {"long_answer_keeps_its_first_128_bytes",
     {"dialogue"},
     std::string(300, 'z') + "\nok\n",
     false,
     0,
     "\n Your answer? " + kLongAnswer + "\n Got [" + kLongAnswer + "]\n Your answer? ok\n Got [ok]\n",
     program_end(0)},
    // A Ctrl+S byte pauses the program as the key does; what is typed while paused is refused,
    // a Ctrl+Q byte resumes, and the end of input ends the program, paused or not. (Whether the
    // Enter right after Ctrl+S is still taken depends on how soon the pause is carried out;
    // the transcript is the same either way.)
    {"paused_then_lines_then_the_end", {"dialogue"}, "\x13\n7\n8\n", false, 1, "\n Your answer? ", kEndOfInput},
    {"paused_resumed_answered",
     {"dialogue"},
     "\x13\n\x11\n7\n",
     false,
     0,
     "\n Your answer? \n Got []\n Your answer? 7\n Got [7]\n",
     program_end(0)},
    {"file_prompt_answered_from_standard_input",
     {"file"},
     "series.dat\n",
     false,
     0,
     kFilePrompt + "series.dat\n File [series.dat]\n",
     program_end(0)},
    {"blank_file_answer_counts_as_cancelled",
     {"file"},
     "   \n",
     false,
     0,
     kFilePrompt + "   \n Cancelled\n",
     program_end(0)},
    {"end_of_file_at_the_file_prompt_ends_the_program", {"file"}, "", false, 1, kFilePrompt, kEndOfInput},
    // The NUL ends its write: neither "hidden" nor the line end after it reach the window.
    {"transcript_byte_rules", {"bytes"}, "", false, 0, "over\rwrite\ntab\there\nsplit line end\nshown", program_end(0)},
    {"message_box_goes_to_standard_error",
     {"error"},
     "",
     false,
     64,
     "",
     "Quillon run-time error\nduzevi: severe (64): input conversion error, unit 10, file user\n" + program_end(64)},
    {"on_a_terminal_the_echo_is_not_written_twice",
     {"dialogue"},
     "42\n7\n",
     true,
     0,
     "\n Your answer?  Got [42]\n Your answer?  Got [7]\n",
     program_end(0)},
};

INSTANTIATE_TEST_SUITE_P(Demo, TerminalProgram, ::testing::ValuesIn(kDemoCases),
                         [](const ::testing::TestParamInfo<DemoCase>& info) { return std::string(info.param.name); });

}  // namespace
