// Writes that a file refuses part way (here: the file size limit, as a full disk would): the
// failure is error 38 wherever the buffered records are flushed (in a WRITE, at CLOSE, in
// the exit handler), and the file is cut back to its last whole record. Each of those cases
// runs in a child process with its own file size limit; the parent checks the file it left.
// A file that loses its name while connected refuses the writes after it in the same way.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "io_test_support.h"
#include "runtime/io/byte_channel.h"

namespace {

using runtime::ByteChannel;
using runtime::kErrorBranch;
using runtime::Keyword;
using runtime::keyword_text;

const runtime::FixedFormat kValue("(F20.10)");
constexpr std::size_t kSeriesRecord = 22;  // 20 columns and CR LF

// In a child: reports a failed check on standard error and exits with status 3.
void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "check failed: %s\n", what);
    std::_Exit(3);
  }
}

// In a child: files grow to at most `bytes`; a write past it fails with EFBIG.
void limit_file_size(rlim_t bytes) {
  ::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{bytes, bytes};
  check(::setrlimit(RLIMIT_FSIZE, &limit) == 0, "setrlimit");
}

class WriteFailureTest : public testing::Test {
 protected:
  // The parent checks the file its child left, so the child is forked from the test itself.
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "fast"); }
};

TEST_F(WriteFailureTest, TheChannelCutsTheFileBackToItsLastWholeRecord) {
  const struct {
    const char* what;
    std::size_t record_length;
    std::size_t records;
    rlim_t limit;
    std::size_t whole_records;  // what the file keeps
  } cases[] = {
      {"short records, refused when the buffer is flushed", 22, 100, 1000, 45},
      {"short records, refused when the buffer fills", 22, 10000, 100000, 4545},
      {"the limit at a record end", 20, 100, 1000, 50},
      {"a record longer than the buffer, written at once", runtime::kChannelBufferSize + 100, 3,
       runtime::kChannelBufferSize + 5000, 1},
      {"the first record refused", 22, 5, 10, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    io_test::ScratchDirectory directory;
    const std::string path = directory.file("out.dat");
    const std::string record = std::string(c.record_length - 2, 'r') + "\r\n";
    EXPECT_EXIT(
        {
          limit_file_size(c.limit);
          const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
          check(descriptor >= 0, "open");
          ByteChannel channel = ByteChannel::for_descriptor(descriptor, true, true, false);
          int error = 0;
          for (std::size_t i = 0; i < c.records && error == 0; ++i) error = channel.write(record);
          if (error == 0) error = channel.flush();
          check(error == EFBIG, "the failure is returned");
          check(channel.close() == 0, "close");
          std::exit(0);
        },
        testing::ExitedWithCode(0), "");
    const std::string content = io_test::read_file(path);
    EXPECT_EQ(content.size(), c.whole_records * record.size());
    EXPECT_EQ(content.find_first_not_of("r\r\n"), std::string::npos);
  }
}

// The series as the runtime writes it, refused part way: the statement that met the failure
// returns 38 (a WRITE that flushes a full buffer, or the CLOSE that flushes the rest), and
// the exit handler reports 38 for a unit it closes. The file holds whole records only.
TEST_F(WriteFailureTest, AFailedFlushIsErrorDuringWrite) {
  enum class Where { Write, Close, ExitHandler };
  const struct {
    const char* what;
    Where where;
    int records;
    rlim_t limit;
  } cases[] = {
      {"in a WRITE", Where::Write, 10000, 100000},
      {"at CLOSE", Where::Close, 500, 1024},
      {"in the exit handler", Where::ExitHandler, 500, 1024},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    io_test::ScratchDirectory directory;
    const std::string path = directory.file("series.dat");
    EXPECT_EXIT(
        {
          limit_file_size(c.limit);
          check(runtime::open_unit(1, kErrorBranch, {keyword_text(Keyword::File, path)}) == 0, "open");
          int write_result = 0;
          for (int i = 0; i < c.records && write_result == 0; ++i) {
            double value = i * 0.5;
            write_result = runtime::write_formatted(1, kErrorBranch, {runtime::item(value)}, kValue);
          }
          check(write_result == (c.where == Where::Write ? 38 : 0), "the WRITE's result");
          if (c.where == Where::ExitHandler) std::exit(0);
          check(runtime::close_unit(1, kErrorBranch) == (c.where == Where::Close ? 38 : 0), "the CLOSE's result");
          std::_Exit(0);
        },
        testing::ExitedWithCode(0), c.where == Where::ExitHandler ? "\\(38\\): error during write, unit 1, file " : "");
    const std::string content = io_test::read_file(path);
    EXPECT_EQ(content.size(), c.limit / kSeriesRecord * kSeriesRecord);
    EXPECT_EQ(content.substr(0, kSeriesRecord), "        0.0000000000\r\n");
    EXPECT_EQ(content.substr(content.size() - 2), "\r\n");
  }
}

// A file whose name goes while its channel writes to it: the flush after the removal fails
// with ENOENT (the records reached a file nobody can open again), while a file that is only
// renamed, or a channel not asked to watch for the removal (a scratch file, nameless from the
// start), takes its records as before.
TEST(FileRemoval, AFlushAfterTheFileLostItsNameFails) {
  enum class Change { None, Removed, Renamed };
  const struct {
    const char* what;
    bool watched;
    Change change;
    int flush_result;
  } cases[] = {
      {"watched, removed", true, Change::Removed, ENOENT},
      {"watched, renamed", true, Change::Renamed, 0},
      {"watched, left alone", true, Change::None, 0},
      {"not watched, removed", false, Change::Removed, 0},
  };
  const std::string record = std::string(20, 'r') + "\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    io_test::ScratchDirectory directory;
    const std::string path = directory.file("out.dat");
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(descriptor, 0);
    ByteChannel channel = ByteChannel::for_descriptor(descriptor, true, true, false);
    if (c.watched) channel.refuse_writes_once_removed();
    ASSERT_EQ(channel.write(record), 0);
    ASSERT_EQ(channel.flush(), 0);
    ASSERT_EQ(channel.write(record), 0);
    if (c.change == Change::Removed) ASSERT_EQ(::unlink(path.c_str()), 0);
    if (c.change == Change::Renamed) ASSERT_EQ(::rename(path.c_str(), directory.file("moved.dat").c_str()), 0);
    EXPECT_EQ(channel.flush(), c.flush_result);
    EXPECT_EQ(channel.close(), 0);
  }
}

// Through the statements: records written to a series file after it was removed make the
// CLOSE that writes them out fail with error 38, as any refused write does.
TEST(FileRemoval, ClosingAUnitWhoseFileWasRemovedIsErrorDuringWrite) {
  io_test::ScratchDirectory directory;
  const std::string path = directory.file("series.dat");
  ASSERT_EQ(runtime::open_unit(1, kErrorBranch, {keyword_text(Keyword::File, path)}), 0);
  double value = 0.5;
  ASSERT_EQ(runtime::write_formatted(1, kErrorBranch, {runtime::item(value)}, kValue), 0);
  ASSERT_EQ(::unlink(path.c_str()), 0);
  ASSERT_EQ(runtime::write_formatted(1, kErrorBranch, {runtime::item(value)}, kValue), 0);
  EXPECT_EQ(runtime::close_unit(1, kErrorBranch), 38);
  EXPECT_FALSE(io_test::file_exists(path));
}

}  // namespace
