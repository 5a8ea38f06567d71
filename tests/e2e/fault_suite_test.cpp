// Faults that must keep the series file whole, through the built explorer: the file's
// directory removed or made read-only during a 999,999-point recording, a disk that fills up,
// a file size limit, console events in the middle of a recording and while a question waits,
// and twenty explorers recording at once. A fault leaves whole records only (the start of the
// file a run without the fault writes), is reported with the run-time error number it gets
// when it happens, and ends the run with a non-zero status.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "explorer_process.h"
#include "series_oracle.h"

namespace {

using e2e::ExplorerOptions;
using e2e::ExplorerRun;
using e2e::TemporaryDirectory;

constexpr int kLongSeries = 999999;
constexpr std::size_t kFieldWidth = 20;
const std::string kRecordEnd = "\r\n";
constexpr std::size_t kRecordLength = kFieldWidth + 2;
// Faults strike once the series file holds this much (about 45,000 records).
constexpr long kFaultAfterBytes = 1000000;
constexpr int kErrorDuringWrite = 38;
constexpr std::chrono::milliseconds kQuestionWait{100};
constexpr std::chrono::seconds kTimeLimit{300};

// The recording every fault case makes: the quadratic map with lambda = 1.9 from x0 = 0.1,
// no transient.
e2e::SeriesRequest quadratic_request(int points) { return {1, {1.9, 0, 0, 0}, {0.1}, 1, 0, points}; }

std::vector<std::string> record_arguments(const std::string& file) {
  return {"record",
          "--map",
          "1",
          "--param",
          "lambda=1.9",
          "--initial",
          "0.1",
          "--transient",
          "0",
          "--length",
          std::to_string(kLongSeries),
          file};
}

// The dialogue's answers up to the recording of `points` values of the same series (the
// last answer is question 7's "n"); `then` answers the questions after it.
std::string dialogue_answers(int points, const std::string& then) {
  return "1\n1.9\n0.1\ny\n0\n" + std::to_string(points) + "\nn\n" + then;
}

// The file of the long recording without a fault, from the independent model; made once.
const std::string& full_long_series() {
  static const std::string file = e2e::expected_series_file(quadratic_request(kLongSeries));
  return file;
}

bool is_number_field(const std::string& field) {
  const std::size_t first = field.find_first_not_of(' ');
  if (field.size() != kFieldWidth || first == std::string::npos) return false;
  double value = 0;
  const auto [end, error] = std::from_chars(field.data() + first, field.data() + field.size(), value);
  return error == std::errc() && end == field.data() + field.size();
}

// Whether `file` holds whole records only (each a number in its 20-character field, ended by
// CR LF) and is the start of `full`, the file of the same recording made without a fault.
testing::AssertionResult whole_records_of(const std::string& file, const std::string& full) {
  std::size_t start = 0;
  for (std::size_t record = 1; start < file.size(); ++record) {
    const std::size_t end = file.find(kRecordEnd, start);
    if (end == std::string::npos) {
      return testing::AssertionFailure() << "record " << record << " is torn: \"" << file.substr(start) << "\"";
    }
    const std::string field = file.substr(start, end - start);
    if (!is_number_field(field)) {
      return testing::AssertionFailure() << "record " << record << " is not a number in its field: \"" << field << "\"";
    }
    start = end + kRecordEnd.size();
  }
  if (file.size() > full.size() || full.compare(0, file.size(), file) != 0) {
    std::size_t differing = 0;
    while (differing < file.size() && differing < full.size() && file[differing] == full[differing]) ++differing;
    return testing::AssertionFailure() << "the file (" << file.size() << " bytes) is not the start of the run without a"
                                       << " fault: record " << differing / kRecordLength + 1 << " differs";
  }
  return testing::AssertionSuccess() << file.size() / kRecordLength << " whole records";
}

std::string error_during_write_message(const std::string& path) {
  return "duzevi: severe (38): error during write, unit 1, file " + path;
}

// The file's directory gets its write permission back when the case ends, however it ends, so
// that the temporary directory can go.
class WritableAgain {
 public:
  explicit WritableAgain(std::string directory) : directory_(std::move(directory)) {}
  ~WritableAgain() { ::chmod(directory_.c_str(), 0755); }
  WritableAgain(const WritableAgain&) = delete;
  WritableAgain& operator=(const WritableAgain&) = delete;

 private:
  std::string directory_;
};

// The series file's directory changed in the middle of a long `mapexplorer record`, or its
// file size limited. A file size limit is error 38 at the write it refuses, with the file cut
// back to its last whole record. A removed directory takes the open file with it: the writes
// still succeed on the file without a name, so the explorer looks for the removal and reports
// error 38 at the first write after it instead of finishing as if the series were kept (the
// directory is not made again). A directory made read-only does not stop the writes to a file
// open already: the recording is written whole and ends with status 0.
TEST(FaultSuite, TheSeriesFilesDirectoryChangedOrItsSizeLimitedDuringARecording) {
  enum class Fault { SizeLimit, DirectoryRemoved, DirectoryReadOnly };
  const struct {
    const char* what;
    Fault fault;
    int exit_status;
    bool file_kept;
  } cases[] = {
      {"file size limit", Fault::SizeLimit, kErrorDuringWrite, true},
      {"directory removed", Fault::DirectoryRemoved, kErrorDuringWrite, false},
      {"directory made read-only", Fault::DirectoryReadOnly, 0, true},
  };
  constexpr unsigned long kSizeLimit = 1000003;  // not at a record end
  const std::string& full = full_long_series();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TemporaryDirectory directory;
    const std::string series_directory = directory.file("series");
    const std::string series_path = series_directory + "/s.dat";
    ASSERT_TRUE(std::filesystem::create_directory(series_directory));
    WritableAgain writable(series_directory);
    ExplorerOptions options;
    options.arguments = record_arguments(series_path);
    options.working_directory = directory.path();
    options.time_limit = kTimeLimit;
    if (c.fault == Fault::SizeLimit) {
      options.file_size_limit = kSizeLimit;
    } else {
      options.act_when = e2e::file_grown_past(series_path, kFaultAfterBytes);
      options.action = [&] {
        if (c.fault == Fault::DirectoryRemoved) std::filesystem::remove_all(series_directory);
        if (c.fault == Fault::DirectoryReadOnly) ::chmod(series_directory.c_str(), 0555);
      };
    }
    const ExplorerRun run = e2e::run_explorer(options);
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, c.exit_status) << run.err;
    if (c.exit_status == 0) {
      EXPECT_TRUE(run.err.empty()) << run.err;
    } else {
      EXPECT_NE(run.err.find(error_during_write_message(series_path)), std::string::npos) << run.err;
    }
    EXPECT_EQ(e2e::file_exists(series_path), c.file_kept);
    if (!c.file_kept) {
      EXPECT_FALSE(e2e::file_exists(series_directory));
      continue;
    }
    const std::string file = e2e::read_file(series_path);
    EXPECT_TRUE(whole_records_of(file, full));
    const std::size_t expected_size =
        c.fault == Fault::SizeLimit ? kSizeLimit / kRecordLength * kRecordLength : full.size();
    EXPECT_EQ(file.size(), expected_size);
  }
}

// A small tmpfs mounted on a directory for the life of the object: a disk that fills up.
class SmallDisk {
 public:
  SmallDisk(std::string at, unsigned long bytes) : at_(std::move(at)) {
    const std::string size = "size=" + std::to_string(bytes);
    mounted_ = ::mount("tmpfs", at_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, size.c_str()) == 0;
    if (!mounted_) refusal_ = std::strerror(errno);
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& refusal() const { return refusal_; }
  // What the disk holds in all.
  unsigned long capacity() const {
    struct statvfs info {};
    if (::statvfs(at_.c_str(), &info) != 0) return 0;
    return info.f_blocks * info.f_frsize;
  }

 private:
  std::string at_;
  bool mounted_ = false;
  std::string refusal_;
};

// A disk that fills up part way through a long recording: error 38 at the write it refuses,
// and the file keeps every whole record the disk had room for.
TEST(FaultSuite, AFullDiskIsErrorDuringWriteAndLeavesWholeRecords) {
  TemporaryDirectory directory;
  const std::string disk_directory = directory.file("disk");
  ASSERT_TRUE(std::filesystem::create_directory(disk_directory));
  constexpr unsigned long kDiskSize = 1024 * 1024;
  const SmallDisk disk(disk_directory, kDiskSize);
  if (!disk.mounted()) {
    GTEST_SKIP() << "a small tmpfs cannot be mounted here (" << disk.refusal()
                 << "); the full disk needs a machine that lets the test mount one (root)";
  }
  const std::string series_path = disk_directory + "/s.dat";
  ExplorerOptions options;
  options.arguments = record_arguments(series_path);
  options.working_directory = directory.path();
  options.time_limit = kTimeLimit;
  const ExplorerRun run = e2e::run_explorer(options);
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, kErrorDuringWrite) << run.err;
  EXPECT_NE(run.err.find(error_during_write_message(series_path)), std::string::npos) << run.err;
  const std::string file = e2e::read_file(series_path);
  EXPECT_TRUE(whole_records_of(file, full_long_series()));
  // Every whole record the disk had room for is kept: only the torn one is cut off.
  const unsigned long capacity = disk.capacity();
  ASSERT_GT(capacity, 0u);
  EXPECT_GT(file.size() + kRecordLength, capacity);
}

struct ConsoleEvent {
  int signal_number;
  const char* name;
  int exit_status;
};

const ConsoleEvent kConsoleEvents[] = {{SIGINT, "control-C", 130},
                                       {SIGTERM, "window-CLOSE", 143},
                                       {SIGHUP, "window-CLOSE", 2},
                                       {SIGQUIT, "control-BREAK", 1}};

std::string event_message(const ConsoleEvent& event) {
  return std::string("duzevi: error (200): program aborting due to ") + event.name + " event";
}

// Each console event in the middle of a long recording, through the dialogue and through
// `mapexplorer record`: error 200 with the event's name and status, and the records written
// up to the event are in the file, whole.
TEST(FaultSuite, AConsoleEventInTheMiddleOfARecordingKeepsTheRecordsWritten) {
  const std::string& full = full_long_series();
  for (const ConsoleEvent& event : kConsoleEvents) {
    for (const bool dialogue : {true, false}) {
      SCOPED_TRACE(std::string(event.name) + " (signal " + std::to_string(event.signal_number) + ")" +
                   (dialogue ? " in the dialogue" : " in mapexplorer record"));
      TemporaryDirectory directory;
      const std::string series_path = directory.file("s.dat");
      ExplorerOptions options;
      if (dialogue) {
        options.arguments = {"--terminal", "s.dat"};
        // No answer after the recording's: were it to end before the event, the explorer
        // would wait at "Record again?" for the event all the same.
        options.input = dialogue_answers(kLongSeries, "");
        options.keep_input_open = true;
      } else {
        options.arguments = record_arguments("s.dat");
      }
      options.working_directory = directory.path();
      options.time_limit = kTimeLimit;
      options.act_when = e2e::file_grown_past(series_path, kFaultAfterBytes);
      options.signal_number = event.signal_number;
      const ExplorerRun run = e2e::run_explorer(options);
      ASSERT_FALSE(run.timed_out);
      EXPECT_EQ(run.exit_status, event.exit_status) << run.err;
      EXPECT_NE(run.err.find(event_message(event)), std::string::npos) << run.err;
      const std::string file = e2e::read_file(series_path);
      EXPECT_TRUE(whole_records_of(file, full));
      EXPECT_GT(file.size(), static_cast<std::size_t>(kFaultAfterBytes));
    }
  }
}

// Each console event while the dialogue waits for an answer after a recording: at "Record
// again?", and at the prompt for the next series file's name (the runtime's own question,
// asked while it opens the unit). The finished series is in its file whole.
TEST(FaultSuite, AConsoleEventWhileAQuestionWaitsKeepsTheFinishedSeries) {
  constexpr int kPoints = 2000;
  const struct {
    const char* question;
    std::string answers;
  } questions[] = {
      {"9) Record again? (y/n) ", dialogue_answers(kPoints, "")},
      {"UNIT 1? ", dialogue_answers(kPoints, "y\nn\nn\n")},
  };
  const std::string full = e2e::expected_series_file(quadratic_request(kPoints));
  for (const auto& question : questions) {
    for (const ConsoleEvent& event : kConsoleEvents) {
      SCOPED_TRACE(std::string(event.name) + " (signal " + std::to_string(event.signal_number) + ") at \"" +
                   question.question + "\"");
      TemporaryDirectory directory;
      ExplorerOptions options;
      options.arguments = {"--terminal", "s.dat"};
      options.input = question.answers;
      options.keep_input_open = true;
      options.working_directory = directory.path();
      options.time_limit = kTimeLimit;
      options.act_when = e2e::question_waited_for(question.question, kQuestionWait);
      options.signal_number = event.signal_number;
      const ExplorerRun run = e2e::run_explorer(options);
      ASSERT_FALSE(run.timed_out);
      EXPECT_EQ(run.exit_status, event.exit_status) << run.err;
      EXPECT_NE(run.err.find(event_message(event)), std::string::npos) << run.err;
      const std::string file = e2e::read_file(directory.file("s.dat"));
      EXPECT_TRUE(whole_records_of(file, full));
      EXPECT_EQ(file.size(), full.size());
    }
  }
}

// Twenty explorers recording at once through the dialogue, four for each map, each into a
// file of its own: every file is byte for byte the file one explorer running alone writes.
TEST(FaultSuite, TwentyExplorersAtOnceEachWriteTheFileOfARunAlone) {
  constexpr int kPoints = 20000;
  const std::string length = std::to_string(kPoints);
  const std::string settings[] = {
      "1\n1.9\n0.3\ny\n100\n" + length + "\nn\nn\nn\nn\n",
      "2\n1.4\n0.3\n0.1\n0.1\n2\ny\n1000\n" + length + "\nn\nn\nn\nn\n",
      "3\n1.8\n0.05\n0.2\n0.3\n1\ny\n50\n" + length + "\nn\nn\nn\nn\n",
      "4\n1.6\n0.05\n0.1\n-0.2\n2\ny\n0\n" + length + "\nn\nn\nn\nn\n",
      "5\n0.5\n0.3\n2.0\n0.5\n0.1\ny\n10\n" + length + "\nn\nn\nn\nn\n",
  };
  constexpr std::size_t kExplorersPerMap = 4;
  TemporaryDirectory directory;
  auto run_in_file = [&directory](const std::string& answers, const std::string& name) {
    ExplorerOptions options;
    options.arguments = {"--terminal", name};
    options.input = answers;
    options.working_directory = directory.path();
    options.time_limit = kTimeLimit;
    return e2e::run_explorer(options);
  };

  std::vector<std::string> alone;
  for (std::size_t map = 0; map < std::size(settings); ++map) {
    const std::string name = "alone" + std::to_string(map + 1) + ".dat";
    const ExplorerRun run = run_in_file(settings[map], name);
    ASSERT_FALSE(run.timed_out);
    ASSERT_EQ(run.exit_status, 0) << run.err;
    alone.push_back(e2e::read_file(directory.file(name)));
    ASSERT_EQ(alone.back().size(), kPoints * kRecordLength) << "map " << map + 1 << " diverged";
  }

  const std::size_t explorers = std::size(settings) * kExplorersPerMap;
  std::vector<ExplorerRun> runs(explorers);
  std::vector<std::thread> threads;
  for (std::size_t k = 0; k < explorers; ++k) {
    threads.emplace_back([&, k] {
      runs[k] = run_in_file(settings[k % std::size(settings)], "together" + std::to_string(k + 1) + ".dat");
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (std::size_t k = 0; k < explorers; ++k) {
    SCOPED_TRACE("explorer " + std::to_string(k + 1) + ", map " + std::to_string(k % std::size(settings) + 1));
    ASSERT_FALSE(runs[k].timed_out);
    EXPECT_EQ(runs[k].exit_status, 0) << runs[k].err;
    EXPECT_TRUE(e2e::read_file(directory.file("together" + std::to_string(k + 1) + ".dat")) ==
                alone[k % std::size(settings)]);
  }
}

}  // namespace
