// The explorer's series files and the devices and names around them, driven in the terminal:
// writes the file refuses, file names that look like devices or are directories.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "explorer_process.h"
#include "series_oracle.h"

namespace {

using e2e::ExplorerOptions;
using e2e::ExplorerRun;
using e2e::TemporaryDirectory;

// A recording of `points` values of the quadratic map (lambda = 1.9, x0 = 0.1, no
// transient), then no to every later question.
std::string recording_answers(int points) { return "1\n1.9\n0.1\ny\n0\n" + std::to_string(points) + "\nn\nn\nn\nn\n"; }

e2e::SeriesRequest recording_request(int points) { return {1, {1.9, 0, 0, 0}, {0.1}, 1, 0, points}; }

// A series file the system refuses part way (the file size limit, as a full disk would):
// error 38 "error during write" for unit 1, wherever the refusal is met (while recording,
// when the last records are written at CLOSE), and the file keeps only whole records.
TEST(Files, ARefusedWriteIsErrorDuringWriteAndLeavesWholeRecords) {
  const struct {
    const char* what;
    int points;
    unsigned long limit;
  } cases[] = {
      {"refused at CLOSE", 500, 1024},
      {"refused while recording", 10000, 100000},
  };
  constexpr std::size_t kRecordLength = 22;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TemporaryDirectory directory;
    ExplorerOptions options;
    options.arguments = {"--terminal", "limited.dat"};
    options.input = recording_answers(c.points);
    options.working_directory = directory.path();
    options.file_size_limit = c.limit;
    const ExplorerRun run = e2e::run_explorer(options);
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 38) << run.err;
    EXPECT_NE(run.err.find("duzevi: severe (38): error during write, unit 1, file " + directory.file("limited.dat")),
              std::string::npos)
        << run.err;
    const std::string expected = e2e::expected_series_file(recording_request(c.points));
    EXPECT_EQ(e2e::read_file(directory.file("limited.dat")),
              expected.substr(0, c.limit / kRecordLength * kRecordLength));
  }
}

// Names of devices with an extension: nul.txt, user.txt and err.log are ordinary files and
// receive the series; NUL alone is the null device and leaves no file.
TEST(Files, DeviceNamesWithAnExtensionAreOrdinaryFiles) {
  const struct {
    const char* name;
    bool is_file;
  } cases[] = {{"nul.txt", true}, {"NUL.DAT", true}, {"user.txt", true}, {"err.log", true}, {"nul", false}};
  const std::string expected = e2e::expected_series_file(recording_request(100));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TemporaryDirectory directory;
    ExplorerOptions options;
    options.arguments = {"--terminal", c.name};
    options.input = recording_answers(100);
    options.working_directory = directory.path();
    const ExplorerRun run = e2e::run_explorer(options);
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(e2e::file_exists(directory.file(c.name)), c.is_file);
    if (c.is_file) EXPECT_EQ(e2e::read_file(directory.file(c.name)), expected);
  }
}

// A directory given as the series file: access to it is denied (error 9), and the message
// names the directory.
TEST(Files, ADirectoryAsTheFileIsAccessDenied) {
  TemporaryDirectory directory;
  for (const std::string name : {"sub", "sub/", "."}) {
    SCOPED_TRACE(name);
    ExplorerOptions options;
    options.arguments = {"--terminal", name};
    options.input = recording_answers(5);
    options.working_directory = directory.path();
    std::filesystem::create_directories(directory.file("sub"));
    const ExplorerRun run = e2e::run_explorer(options);
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 9) << run.err;
    EXPECT_NE(
        run.err.find("duzevi: severe (9): permission to access file denied, unit 1, file " + directory.file(name)),
        std::string::npos)
        << run.err;
  }
}

}  // namespace
