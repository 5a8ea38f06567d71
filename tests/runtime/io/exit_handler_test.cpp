// The end of the program, each case in a child process: buffered files completed, pending
// records and owed line ends written, windows left as they are, busy units waited for a
// bounded time, statements of other threads held back once the exit handler has begun, and
// a severe error inside a statement closing its own unit. Also the console prompt of a
// blank-name OPEN without the windowed console, answered from standard input.

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "io_test_support.h"

namespace {

using runtime::kErrorBranch;
using runtime::Keyword;
using runtime::keyword_text;

const runtime::FixedFormat kLine("(1X,A)");
const runtime::FixedFormat kValue("(F20.10)");

// In a child: reports a failed check on standard error and exits with status 3.
void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "check failed: %s\n", what);
    std::_Exit(3);
  }
}

class ExitHandlerDeathTest : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// The parent checks the files its child left, so the child is forked from the test itself
// (a re-executed child would make a scratch directory of its own).
TEST_F(ExitHandlerDeathTest, BufferedRecordsAndPendingOutputReachTheFilesAtExit) {
  GTEST_FLAG_SET(death_test_style, "fast");
  io_test::ScratchDirectory directory;
  const std::string series = directory.file("series.dat");
  const std::string listing = directory.file("listing.txt");
  EXPECT_EXIT(
      {
        runtime::open_unit(1, kErrorBranch, {keyword_text(Keyword::File, series)});
        for (int i = 0; i < 1000; ++i) {
          double value = i * 0.5;
          runtime::write_formatted(1, kErrorBranch, {runtime::item(value)}, kValue);
        }
        runtime::open_unit(2, kErrorBranch,
                           {keyword_text(Keyword::File, listing), keyword_text(Keyword::CarriageControl, "FORTRAN")});
        runtime::write_formatted(2, kErrorBranch, {runtime::item(std::string_view("one"))}, kLine);
        runtime::write_formatted(2, kErrorBranch | runtime::kAdvanceSpecifier, {runtime::item(std::string_view("two"))},
                                 kLine, "NO");
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
  std::string content = io_test::read_file(series);
  EXPECT_EQ(content.size(), 1000u * 22u);
  EXPECT_EQ(content.substr(content.size() - 22), "      499.5000000000\r\n");
  EXPECT_EQ(io_test::read_file(listing), "one\r\ntwo\r\n");
}

TEST_F(ExitHandlerDeathTest, WindowsAreLeftAsTheyAre) {
  EXPECT_EXIT(
      {
        io_test::FakeWindows fake;
        runtime::register_window_services(&fake);
        runtime::open_unit(10, kErrorBranch, {keyword_text(Keyword::File, "user")});
        runtime::write_formatted(10, kErrorBranch, {runtime::item(std::string_view("text"))}, kLine);
        runtime::run_exit_handler();
        check(fake.close_calls == 0, "no window closed");
        check(fake.window(1024).output == "text\n", "owed line end written");
        check(runtime::unit_window_index(10) == -1, "unit closed");
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(ExitHandlerDeathTest, AUnitWaitingForInputDoesNotHoldTheExitHandler) {
  io_test::ScratchDirectory directory;
  const std::string path = directory.file("flushed.txt");
  EXPECT_EXIT(
      {
        io_test::FakeWindows fake;
        std::atomic<bool> reading{false};
        fake.hold_read = [&reading] {
          reading = true;
          return false;  // the user never answers
        };
        runtime::register_window_services(&fake);
        runtime::open_unit(10, kErrorBranch, {keyword_text(Keyword::File, "user")});
        runtime::open_unit(3, kErrorBranch, {keyword_text(Keyword::File, path)});
        runtime::write_formatted(3, kErrorBranch, {runtime::item(std::string_view("kept"))}, kLine);
        std::thread reader([] {
          char answer[4];
          runtime::read_formatted(10, kErrorBranch, {runtime::item(answer, 4)}, "(A)");
        });
        reader.detach();
        while (!reading) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        auto start = std::chrono::steady_clock::now();
        runtime::run_exit_handler();
        auto waited = std::chrono::steady_clock::now() - start;
        check(waited < std::chrono::seconds(5), "bounded wait");
        check(io_test::read_file(path) == " kept\r\n", "other units closed");
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "");
}

// A text window's unit whose statement waits for a typed line is left alone at once: the
// line will not come now, and the window owes nothing at exit.
TEST_F(ExitHandlerDeathTest, AWindowReadInProgressIsNotWaitedFor) {
  EXPECT_EXIT(
      {
        io_test::FakeWindows fake;
        std::atomic<bool> reading{false};
        std::atomic<bool> answer{false};
        fake.hold_read = [&] {
          reading = true;
          return answer.load();
        };
        runtime::register_window_services(&fake);
        runtime::open_unit(10, kErrorBranch, {keyword_text(Keyword::File, "user")});
        fake.window(1024).lines.push_back("typed");
        std::atomic<int> status{-100};
        std::thread reader([&status] {
          char answer_text[5];
          status = runtime::read_formatted(10, kErrorBranch, {runtime::item(answer_text, 5)}, "(A)");
        });
        while (!reading) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const auto start = std::chrono::steady_clock::now();
        runtime::run_exit_handler();
        const auto waited = std::chrono::steady_clock::now() - start;
        // Waiting for a busy unit would take the exit handler's full bounded wait (1 s).
        check(waited < std::chrono::milliseconds(800), "the exit handler did not wait for the read");
        check(status == -100, "the read still waits");
        answer = true;
        reader.join();
        check(status == 0, "the read completed afterwards");
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(ExitHandlerDeathTest, StatementsOfOtherThreadsWaitOnceTheExitHandlerHasBegun) {
  io_test::ScratchDirectory directory;
  EXPECT_EXIT(
      {
        check(::chdir(directory.path().c_str()) == 0, "chdir");
        runtime::open_unit(4, kErrorBranch, {keyword_text(Keyword::File, "first.txt")});
        runtime::run_exit_handler();
        std::atomic<bool> finished{false};
        std::thread late([&finished] {
          runtime::write_formatted(44, kErrorBranch, {runtime::item(std::string_view("stray"))}, kLine);
          finished = true;
        });
        late.detach();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        check(!finished.load(), "the late statement waits");
        check(!io_test::file_exists(directory.file("fort.44")), "no stray file");
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(ExitHandlerDeathTest, ASevereErrorInsideAStatementClosesItsOwnUnit) {
  GTEST_FLAG_SET(death_test_style, "fast");
  io_test::ScratchDirectory directory;
  const std::string path = directory.file("partial.txt");
  EXPECT_EXIT(
      {
        ::setenv("FOR_DISABLE_STACK_TRACE", "1", 1);
        runtime::open_unit(5, kErrorBranch, {keyword_text(Keyword::File, path)});
        runtime::write_formatted(5, kErrorBranch | runtime::kAdvanceSpecifier,
                                 {runtime::item(std::string_view("kept"))}, "(A)", "NO");
        double real = 1.5;
        runtime::write_formatted(5, 0, {runtime::item(real)}, "(I5)");
        std::_Exit(0);
      },
      testing::ExitedWithCode(61), "format/variable-type mismatch, unit 5");
  EXPECT_EQ(io_test::read_file(path), "kept\r\n");
}

TEST_F(ExitHandlerDeathTest, BlankNameOpenAsksOnTheConsole) {
  io_test::ScratchDirectory directory;
  EXPECT_EXIT(
      {
        check(::chdir(directory.path().c_str()) == 0, "chdir");
        int input[2];
        int output[2];
        check(::pipe(input) == 0 && ::pipe(output) == 0, "pipes");
        const char answers[] = "\n  second.txt  \n";
        check(::write(input[1], answers, sizeof answers - 1) == sizeof answers - 1, "answers");
        ::close(input[1]);
        ::dup2(input[0], 0);
        ::dup2(output[1], 1);
        runtime::start_runtime({"  first.txt"});
        check(runtime::open_unit(6, kErrorBranch, {keyword_text(Keyword::File, "")}) == 0, "argument used");
        check(runtime::open_unit(7, kErrorBranch, {keyword_text(Keyword::File, " ")}) == 0, "console answer");
        check(runtime::open_unit(8, kErrorBranch, {keyword_text(Keyword::File, "")}) == 24, "end of input");
        runtime::write_formatted(6, kErrorBranch, {runtime::item(std::string_view("1"))}, "(A)");
        runtime::write_formatted(7, kErrorBranch, {runtime::item(std::string_view("2"))}, "(A)");
        runtime::close_unit(6, kErrorBranch);
        runtime::close_unit(7, kErrorBranch);
        check(io_test::read_file("first.txt") == "1\r\n", "first file");
        check(io_test::read_file("second.txt") == "2\r\n", "second file");
        char shown[512];
        ssize_t got = ::read(output[0], shown, sizeof shown);
        const std::string prompt = "File name missing or blank - please enter file name\r\nUNIT 7? ";
        const std::string prompt8 = "File name missing or blank - please enter file name\r\nUNIT 8? ";
        check(got > 0 && std::string(shown, static_cast<std::size_t>(got)) == prompt + prompt + prompt8, "prompts");
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(ExitHandlerDeathTest, ConsoleUnitsShareTheStandardOutputDevice) {
  EXPECT_EXIT(
      {
        int input[2];
        int output[2];
        check(::pipe(input) == 0 && ::pipe(output) == 0, "pipes");
        check(::write(input[1], "Al\n", 3) == 3, "answer");
        ::close(input[1]);
        ::dup2(input[0], 0);
        ::dup2(output[1], 1);
        ::unsetenv("FOR_PRINT");
        ::unsetenv("FORT5");
        ::unsetenv("FORT6");
        runtime::write_formatted(6, kErrorBranch, {runtime::item(std::string_view("six"))}, kLine);
        // USER is standard output when there is no windowed console.
        runtime::open_unit(30, kErrorBranch, {keyword_text(Keyword::File, "USER")});
        runtime::write_formatted(30, kErrorBranch, {runtime::item(std::string_view("user"))}, kLine);
        runtime::write_formatted(-1, kErrorBranch, {runtime::item(std::string_view("print"))}, kLine);
        runtime::write_formatted(6, kErrorBranch | runtime::kAdvanceSpecifier,
                                 {runtime::item(std::string_view("Name? "))}, kLine, "NO");
        char name[2];
        check(runtime::read_formatted(5, kErrorBranch, {runtime::item(name, 2)}, "(A)") == 0, "read");
        check(std::string(name, 2) == "Al", "answer read");
        runtime::run_exit_handler();
        char shown[256];
        ssize_t got = ::read(output[0], shown, sizeof shown);
        check(got > 0 && std::string(shown, static_cast<std::size_t>(got)) == "six\nuser\nprint\nName? ", "transcript");
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
