// How the explorer ends when it is interrupted or its input goes away: console events (with
// standard input closed right after them, as a closing terminal does), a closed standard
// input descriptor, and the end of input while paused.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "explorer_process.h"

namespace {

using e2e::ExplorerOptions;
using e2e::ExplorerRun;
using e2e::TemporaryDirectory;

const std::string kEndOfInputMessage = "end of file on standard input";

// A recording of five points; the dialogue then waits at "Record again?".
const std::string kShortRecording = "1\n1.9\n0.1\ny\n0\n5\nn\n";
const std::string kRecordAgain = "9) Record again? (y/n) ";

constexpr std::chrono::milliseconds kQuestionWait{100};

// Each console event, sent while a question waits and followed at once by the end of
// standard input, ends the program with the event's message and status, every time: the end
// of input that races it never decides. Repeated, because the race went wrong about one
// time in five; the four events run side by side to keep the test short.
TEST(Ending, AConsoleEventDecidesTheEndOverTheEndOfInputRacingIt) {
  constexpr int kRepeats = 10;
  struct Event {
    int signal_number;
    const char* name;
    int status;
  };
  const Event events[] = {{SIGINT, "control-C", 130},
                          {SIGQUIT, "control-BREAK", 1},
                          {SIGHUP, "window-CLOSE", 2},
                          {SIGTERM, "window-CLOSE", 143}};
  struct Outcome {
    ExplorerRun run;
    std::size_t series_lines = 0;
  };
  std::vector<std::vector<Outcome>> outcomes(std::size(events));
  std::vector<std::thread> senders;
  for (std::size_t e = 0; e < std::size(events); ++e) {
    senders.emplace_back([&event = events[e], &outcomes = outcomes[e]] {
      TemporaryDirectory directory;
      for (int repeat = 0; repeat < kRepeats; ++repeat) {
        ExplorerOptions options;
        options.arguments = {"--terminal", "s.dat"};
        options.input = kShortRecording;
        options.working_directory = directory.path();
        options.keep_input_open = true;
        options.act_when = e2e::question_waited_for(kRecordAgain, kQuestionWait);
        options.signal_number = event.signal_number;
        options.time_limit = std::chrono::seconds(30);
        Outcome outcome;
        outcome.run = e2e::run_explorer(options);
        outcome.series_lines = e2e::split_lines(e2e::read_file(directory.file("s.dat"))).size();
        outcomes.push_back(std::move(outcome));
      }
    });
  }
  for (std::thread& sender : senders) sender.join();

  for (std::size_t e = 0; e < std::size(events); ++e) {
    const Event& event = events[e];
    for (std::size_t repeat = 0; repeat < outcomes[e].size(); ++repeat) {
      SCOPED_TRACE(std::string(event.name) + " run " + std::to_string(repeat));
      const ExplorerRun& run = outcomes[e][repeat].run;
      ASSERT_FALSE(run.timed_out);
      ASSERT_EQ(run.exit_status, event.status) << run.err;
      ASSERT_NE(run.err.find(std::string("duzevi: error (200): program aborting due to ") + event.name + " event"),
                std::string::npos)
          << run.err;
      ASSERT_EQ(run.err.find(kEndOfInputMessage), std::string::npos) << run.err;
      ASSERT_EQ(outcomes[e][repeat].series_lines, 5u);
    }
  }
}

// SIGTERM in the middle of a long recording: the records written so far reach the file, up
// to its last whole record, with the window-CLOSE message and status 143.
TEST(Ending, TerminationRequestFlushesTheRecordsWritten) {
  TemporaryDirectory directory;
  ExplorerOptions options;
  options.arguments = {"--terminal", "long.dat"};
  options.input = "1\n1.9\n0.1\ny\n0\n999999\nn\n";
  options.working_directory = directory.path();
  options.keep_input_open = true;
  // Once the recording has written a good part of its records (about 22 MB in all).
  const std::string series_path = directory.file("long.dat");
  options.act_when = e2e::file_grown_past(series_path, 1000000);
  options.signal_number = SIGTERM;
  const ExplorerRun run = e2e::run_explorer(options);
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 143) << run.err;
  EXPECT_NE(run.err.find("program aborting due to window-CLOSE event"), std::string::npos) << run.err;
  const std::string series = e2e::read_file(series_path);
  constexpr std::size_t kRecordLength = 22;  // 20 columns and CR LF
  EXPECT_GT(series.size(), 0u);
  EXPECT_EQ(series.size() % kRecordLength, 0u);
}

// Standard input that is closed, or that ends while the program is paused by a Ctrl+S byte,
// ends the program as the end of input does elsewhere, instead of waiting for ever.
TEST(Ending, ClosedOrPausedInputEndsTheProgram) {
  const struct {
    const char* name;
    bool descriptor_closed;
    std::string input;
  } cases[] = {
      {"descriptor closed", true, ""},
      {"paused, lines refused, then the end", false, "2\n\x13\n1.4\n0.3\n"},
  };
  TemporaryDirectory directory;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExplorerOptions options;
    options.arguments = {"--terminal", "x.dat"};
    options.input = c.input;
    options.input_descriptor_closed = c.descriptor_closed;
    options.working_directory = directory.path();
    options.time_limit = std::chrono::seconds(20);
    const ExplorerRun run = e2e::run_explorer(options);
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 1) << run.err;
    EXPECT_NE(run.err.find(kEndOfInputMessage), std::string::npos) << run.err;
  }
}

}  // namespace
