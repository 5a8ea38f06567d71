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

TEST(TerminalProgramTest, TranscriptHoldsPromptsAndTypedAnswers) {
  const ChildResult r = run_demo({"dialogue", "3"}, "42\nhello world\n");
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "\n Your answer? 42\n Got [42]\n Your answer? hello world\n Got [hello world]\n");
  EXPECT_EQ(own_messages(r.err), "terminal_demo\nProgram Terminated with exit code 3\nExit Window?\n");
}

TEST(TerminalProgramTest, AnswersWithCarriageReturnLineEndsAndControlBytes) {
  const ChildResult r = run_demo({"dialogue"}, "1\r\nab\bc\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "\n Your answer? 1\n Got [1]\n Your answer? ab\b \bc\n Got [ac]\n");
}

TEST(TerminalProgramTest, CarriageReturnInsideALineSplitsIt) {
  const ChildResult r = run_demo({"dialogue"}, "x\ry\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "\n Your answer? x\n Got [x]\n Your answer? y\n Got [y]\n");
}

TEST(TerminalProgramTest, EndOfFileWhileWaitingEndsTheProgram) {
  const ChildResult r = run_demo({"dialogue", "5"}, "42\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n Your answer? 42\n Got [42]\n Your answer? ");
  EXPECT_EQ(own_messages(r.err), "terminal_demo: end of file on standard input while the program waits for input\n");
}

// A Ctrl+S byte pauses the program as the key does; what is typed while paused is refused,
// a Ctrl+Q byte resumes, and the end of input ends the program, paused or not. (Whether the
// Enter right after Ctrl+S is still taken depends on how soon the pause is carried out;
// the transcript is the same either way.)
TEST(TerminalProgramTest, PauseFromStandardInputAndTheEndOfInput) {
  const std::string end_message = "terminal_demo: end of file on standard input while the program waits for input\n";
  const struct {
    const char* name;
    std::string input;
    int status;
    std::string out;
    std::string err;
  } cases[] = {
      {"paused, then lines, then the end", "\x13\n7\n8\n", 1, "\n Your answer? ", end_message},
      {"paused, resumed, answered", "\x13\n\x11\n7\n", 0, "\n Your answer? \n Got []\n Your answer? 7\n Got [7]\n",
       "terminal_demo\nProgram Terminated with exit code 0\nExit Window?\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ChildResult r = run_demo({"dialogue"}, c.input);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(own_messages(r.err), c.err);
  }
}

TEST(TerminalProgramTest, EmptyInputEndsAtTheFirstRead) {
  const ChildResult r = run_demo({"dialogue"}, "");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n Your answer? ");
}

TEST(TerminalProgramTest, LongAnswerKeepsItsFirst128Bytes) {
  const ChildResult r = run_demo({"dialogue"}, std::string(300, 'z') + "\nok\n");
  EXPECT_EQ(r.status, 0);
  const std::string kept(128, 'z');
  EXPECT_EQ(r.out, "\n Your answer? " + kept + "\n Got [" + kept + "]\n Your answer? ok\n Got [ok]\n");
}

TEST(TerminalProgramTest, FilePromptIsAnsweredFromStandardInput) {
  const ChildResult r = run_demo({"file"}, "series.dat\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "File name missing or blank - please enter file name\nUNIT 1? series.dat\n File [series.dat]\n");
}

TEST(TerminalProgramTest, BlankFileAnswerCountsAsCancelled) {
  const ChildResult r = run_demo({"file"}, "   \n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "File name missing or blank - please enter file name\nUNIT 1?    \n Cancelled\n");
}

TEST(TerminalProgramTest, EndOfFileAtTheFilePromptEndsTheProgram) {
  const ChildResult r = run_demo({"file"}, "");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(own_messages(r.err), "terminal_demo: end of file on standard input while the program waits for input\n");
}

TEST(TerminalProgramTest, TranscriptByteRules) {
  const ChildResult r = run_demo({"bytes"}, "");
  EXPECT_EQ(r.status, 0);
  // The NUL ends its write: neither "hidden" nor the line end after it reach the window.
  EXPECT_EQ(r.out, "over\rwrite\ntab\there\nsplit line end\nshown");
}

TEST(TerminalProgramTest, MessageBoxGoesToStandardError) {
  const ChildResult r = run_demo({"error"}, "");
  EXPECT_EQ(r.status, 64);
  EXPECT_EQ(own_messages(r.err),
            "Quillon run-time error\nduzevi: severe (64): input conversion error, unit 10, file user\n"
            "terminal_demo\nProgram Terminated with exit code 64\nExit Window?\n");
}

TEST(TerminalProgramTest, OnATerminalTheEchoIsNotWrittenTwice) {
  const ChildResult r = run_demo({"dialogue"}, "42\n7\n", true);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "\n Your answer?  Got [42]\n Your answer?  Got [7]\n");
}

}  // namespace
