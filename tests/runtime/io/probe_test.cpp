// fio_probe run as a child process: conversions and statuses seen from outside, malformed
// command lines, malformed formats, binary bytes, huge widths and over-long records.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "io_test_support.h"

extern char** environ;

namespace {

constexpr std::chrono::seconds kProbeTimeLimit{120};

struct ProbeResult {
  int exit_status = -1;
  std::string out;
  std::string err;
};

ProbeResult run_probe(const std::vector<std::string>& arguments, std::string_view input = {}) {
  io_test::ScratchDirectory directory;
  const std::string in_path = directory.file("in");
  const std::string out_path = directory.file("out");
  const std::string err_path = directory.file("err");
  io_test::write_file(in_path, input);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in_path.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<std::string> all = {FIO_PROBE_PATH};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : all) argv.push_back(argument.data());
  argv.push_back(nullptr);
  ProbeResult result;
  pid_t child = -1;
  if (posix_spawn(&child, FIO_PROBE_PATH, &actions, nullptr, argv.data(), environ) == 0) {
    // A probe that does not end by the deadline is killed and counts as not having exited.
    const auto deadline = std::chrono::steady_clock::now() + kProbeTimeLimit;
    int status = 0;
    pid_t waited = 0;
    while ((waited = ::waitpid(child, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (waited == 0) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
    } else if (waited == child && WIFEXITED(status)) {
      result.exit_status = WEXITSTATUS(status);
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = io_test::read_file(out_path);
  result.err = io_test::read_file(err_path);
  return result;
}

struct WriteCase {
  std::vector<std::string> arguments;
  std::string out;
  int status;
};

TEST(Probe, Writes) {
  const std::string stars20(20, '*');
  const WriteCase cases[] = {
      {{"(F20.10)", "r8:0.5"}, "        0.5000000000\r\n", 0},
      {{"(F20.10)", "r8:-1.2345"}, "       -1.2345000000\r\n", 0},
      {{"(F20.10)", "r8:123456789.0"}, "123456789.0000000000\r\n", 0},
      {{"(F20.10)", "r8:1.0E9"}, stars20 + "\r\n", 63},
      {{"(F20.10)", "r8:-1.0E8"}, stars20 + "\r\n", 63},
      {{"(F20.10)", "r8:1.0E-11"}, "        0.0000000000\r\n", 0},
      {{"(F20.10)", "r8:1", "r8:2"}, "        1.0000000000\r\n        2.0000000000\r\n", 0},
      {{"(F20.10)", "r8:inf"}, "            Infinity\r\n", 0},
      {{"(F20.10)", "r4:0.5"}, "        0.5000000000\r\n", 0},
      {{"(I2)", "i4:7"}, " 7\r\n", 0},
      {{"(I2)", "i4:123"}, "**\r\n", 63},
      {{"(I2)", "i4:-5"}, "-5\r\n", 0},
      {{"(I2)", "i4:-10"}, "**\r\n", 63},
      {{"(I2)", "i1:-128"}, "**\r\n", 63},
      {{"(I20)", "i8:-9223372036854775808"}, "-9223372036854775808\r\n", 0},
      {{"(I5.3)", "i2:7"}, "  007\r\n", 0},
      {{"(F4.2)", "r8:0.5"}, "0.50\r\n", 0},
      {{"(F4.2)", "r8:-0.5"}, "-.50\r\n", 0},
      {{"(F3.2)", "r8:-0.5"}, "***\r\n", 63},
      {{"(F3.1)", "r8:inf"}, "***\r\n", 63},
      {{"(F5.1)", "r8:2.26"}, "  2.3\r\n", 0},
      {{"(L3)", "l4:T", "l4:F"}, "  T\r\n  F\r\n", 0},
      {{"(1X,A,I5,A,I5)", "a:   Ntrans = ", "i4:1000", "a:, N = ", "i4:10000"}, "    Ntrans =  1000, N = 10000\r\n", 0},
      {{"('It''s')"}, "It's\r\n", 0},
      {{"(A,$)", "a:pending"}, "pending\r\n", 0},
      {{"(A)", "a:\x01\x7f\xff bytes"}, "\x01\x7f\xff bytes\r\n", 0},
      {{"()", "i4:1"}, "", 60},
      {{"(I5)", "r8:1.5"}, "", 61},
      {{"(F20.10)", "a:x"}, "", 61},
      {{"(I2147483647)", "i4:1"}, "", 41},
      {{"(A)", "a:" + std::string(100000, 'w')}, std::string(100000, 'w') + "\r\n", 0},
  };
  for (const WriteCase& c : cases) {
    ProbeResult result = run_probe([&] {
      std::vector<std::string> all = {"write"};
      all.insert(all.end(), c.arguments.begin(), c.arguments.end());
      return all;
    }());
    const std::string label = c.arguments[0] + " " + (c.arguments.size() > 1 ? c.arguments[1].substr(0, 20) : "");
    EXPECT_EQ(result.exit_status, 0) << label;
    EXPECT_EQ(result.out, c.out) << label;
    EXPECT_EQ(result.err, "status " + std::to_string(c.status) + "\n") << label;
  }
}

// Nested repeat counts over groups that use no data end in bounded time: a group whose passes
// stop changing anything writes what one pass writes; record ends without data stop with 60
// after a million; on input, the end of the file comes first.
TEST(Probe, FormatsThatLoopWithoutDataEnd) {
  const std::string million_records = [] {
    std::string records;
    for (std::int32_t i = 0; i < runtime::kMaxHandoutsWithoutData; ++i) records += "\r\n";
    return records;
  }();
  const struct {
    const char* format;
    std::string written;
    int write_status;
    int read_status;  // with one integer item, from "12\n34\n"
  } cases[] = {
      {"(2147483647(''))", "\r\n", 0, 60},
      {"(2147483647(2147483647('')))", "\r\n", 0, 60},
      {"(2147483647(2147483647('x',TL1)))", "x\r\n", 0, 60},
      {"(2147483647(2147483647($)))", "\r\n", 0, 60},
      {"(2147483647(2147483647(BN,,/X,TL2,T3)))", million_records, 60, 24},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    const ProbeResult written = run_probe({"write", c.format});
    EXPECT_EQ(written.exit_status, 0);
    EXPECT_TRUE(written.out == c.written) << written.out.size() << " bytes written";
    EXPECT_EQ(written.err, "status " + std::to_string(c.write_status) + "\n");
    const ProbeResult read = run_probe({"read", c.format, "i4"}, "12\n34\n");
    EXPECT_EQ(read.exit_status, 0);
    EXPECT_EQ(read.out, "0\nstatus " + std::to_string(c.read_status) + "\n");
  }
}

TEST(Probe, MalformedFormatsShowTheSyntaxMessage) {
  const char* formats[] = {"(I5", "I5", "(I5,,I5)", "(10000000000I5)", "(((((((((I5)))))))))", "(I5)'", "(\x01)"};
  for (const char* format : formats) {
    ProbeResult result = run_probe({"write", format, "i4:1"});
    EXPECT_EQ(result.exit_status, 0) << format;
    if (result.err.find("status 0") != std::string::npos) continue;  // a form the compiler accepts
    EXPECT_EQ(result.out, "") << format;
    EXPECT_NE(result.err.find("duzevi: info (58): format syntax error at or near"), std::string::npos) << format;
    EXPECT_NE(result.err.find("status 62\n"), std::string::npos) << format;
  }
}

struct ReadCase {
  const char* format;
  std::vector<std::string> types;
  std::string input;
  std::string out;
};

std::string real_line(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g\n", value);
  return text;
}

TEST(Probe, Reads) {
  const ReadCase cases[] = {
      {"(I1)", {"i4"}, "12\n", "1\nstatus 0\n"},
      {"(I1)", {"i4"}, "a\n", "0\nstatus 64\n"},
      {"(I1)", {"i4"}, "\n", "0\nstatus 0\n"},
      {"(I1)", {"i4"}, " 3\n", "0\nstatus 0\n"},
      {"(I1)", {"i4"}, "-\n", "0\nstatus 0\n"},
      {"(I6)", {"i4"}, "1 2\n", "12\nstatus 0\n"},
      {"(BZ,I6)", {"i4"}, "1 2\n", "102000\nstatus 0\n"},
      {"(BZ,I6)", {"i4"}, "12\n", "120000\nstatus 0\n"},
      {"(I6)", {"i4"}, "1234567\n", "123456\nstatus 0\n"},
      {"(I6)", {"i4"}, "+7\n", "7\nstatus 0\n"},
      {"(I6)", {"i4"}, "9999999999\n", "999999\nstatus 0\n"},
      {"(I12)", {"i4"}, "3000000000\n", "0\nstatus 64\n"},
      {"(I12)", {"i8"}, "3000000000\n", "3000000000\nstatus 0\n"},
      {"(I4)", {"i1"}, "200\n", "0\nstatus 64\n"},
      {"(F20.10)", {"r8"}, "1.4\n", real_line(1.4) + "status 0\n"},
      {"(F20.10)", {"r8"}, "-0.25\r\n", real_line(-0.25) + "status 0\n"},
      {"(F20.10)", {"r8"}, "1.0e-3\n", real_line(0.001) + "status 0\n"},
      {"(F20.10)", {"r8"}, "2\n", real_line(2.0e-10) + "status 0\n"},
      {"(F20.10)", {"r8"}, "1e-3\n", real_line(1.0e-13) + "status 0\n"},
      {"(F20.10)", {"r8"}, "\n", real_line(0.0) + "status 0\n"},
      {"(F20.10)", {"r8"}, "3 . 5\n", real_line(3.5) + "status 0\n"},
      {"(F20.10)", {"r8"}, "1e400\n", real_line(0.0) + "status 64\n"},
      {"(F20.10)", {"r8"}, "5.\n", real_line(5.0) + "status 0\n"},
      {"(F20.10)", {"r8"}, "1,5\n", real_line(1.0e-10) + "status 0\n"},
      {"(F20.10)", {"r8"}, "-Infinity\n", real_line(-1.0 / 0.0) + "status 0\n"},
      {"(A1)", {"a1"}, "yes\n", "[y]\nstatus 0\n"},
      {"(A1)", {"a1"}, "\n", "[ ]\nstatus 0\n"},
      {"(A1)", {"a1"}, "Y\n", "[Y]\nstatus 0\n"},
      {"(A)", {"a5"}, "\x01\x02\xff\n", "[\x01\x02\xff  ]\nstatus 0\n"},
      {"(I2)", {"i4"}, "\x01\x02\n", "0\nstatus 64\n"},
      {"(L2)", {"l4"}, ".t\n", "T\nstatus 0\n"},
      {"(L2)", {"l4"}, "x\n", "F\nstatus 64\n"},
      {"(I2,1X,F5.1,1X,L1,1X,A3)",
       {"i2", "r4", "l4", "a3"},
       "12   3.5 T abc\n",
       "12\n" + real_line(3.5) + "T\n[abc]\nstatus 0\n"},
      {"(I1)", {"i4"}, "", "0\nstatus 24\n"},
      {"(I1)", {"i4"}, "7", "7\nstatus 0\n"},
      {"(I1)", {"i4"}, "\x1a\n", "0\nstatus 24\n"},
      {"(A3)", {"a3"}, std::string(1 << 20, 'k') + "\n", "[kkk]\nstatus 0\n"},
      {"(I1", {"i4"}, "1\n", "0\nstatus 62\n"},
      {"(F5.1)", {"i4"}, "1\n", "0\nstatus 61\n"},
      {"(I1/I1)", {"i4", "i4"}, "1\n", "1\n0\nstatus 24\n"},
  };
  for (const ReadCase& c : cases) {
    std::vector<std::string> arguments = {"read", c.format};
    arguments.insert(arguments.end(), c.types.begin(), c.types.end());
    ProbeResult result = run_probe(arguments, c.input);
    const std::string label = std::string(c.format) + " <" + c.input.substr(0, 20) + ">";
    EXPECT_EQ(result.exit_status, 0) << label;
    EXPECT_EQ(result.out, c.out) << label;
  }
}

TEST(Probe, MalformedCommandLines) {
  const std::vector<std::string> cases[] = {
      {},
      {"write"},
      {"frob", "(I5)"},
      {"write", "(I5)", "x:1"},
      {"write", "(I5)", "i4"},
      {"write", "(I5)", "i4:"},
      {"write", "(I5)", "i4:12a"},
      {"write", "(I5)", "i4:99999999999"},
      {"write", "(I5)", "i1:128"},
      {"write", "(L1)", "l4:X"},
      {"write", "(F5.1)", "r8:1e999"},
      {"write", "(F5.1)", "r4:1e39"},
      {"write", "(F5.1)", "r8:abc"},
      {"read", "(I5)", "q9"},
      {"read", "(A)", "a"},
      {"read", "(A)", "a0"},
      {"read", "(A)", "a-1"},
      {"read", "(A)", "a99999999999999999999"},
  };
  for (const std::vector<std::string>& arguments : cases) {
    ProbeResult result = run_probe(arguments);
    EXPECT_EQ(result.exit_status, 2) << (arguments.empty() ? "" : arguments.back());
    EXPECT_NE(result.err.find("usage: fio_probe"), std::string::npos);
    EXPECT_EQ(result.out, "");
  }
}

}  // namespace
