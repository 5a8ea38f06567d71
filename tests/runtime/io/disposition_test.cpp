// CLOSE dispositions of files: KEEP, DELETE, PRINT (to FOR_DEFAULT_PRINT_DEVICE, or `lp`),
// PRINT/DELETE (a failed print keeps the file with message 5), SUBMIT and SUBMIT/DELETE
// (the file run as a shell script), with file names quoted safely for the shell.

#include <chrono>
#include <thread>

#include "io_test_support.h"
#include "runtime/io/shell_commands.h"

namespace {

using runtime::kErrorBranch;
using runtime::Keyword;
using runtime::keyword_text;

// Waits up to five seconds for `done` (a submitted command runs on its own).
template <typename Condition>
bool eventually(Condition done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < deadline) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

void write_unit_file(std::int32_t unit, const std::string& path, std::string_view text,
                     std::vector<runtime::KeywordValue> keywords = {}) {
  keywords.push_back(keyword_text(Keyword::File, path));
  ASSERT_EQ(runtime::open_unit(unit, kErrorBranch, keywords), 0);
  ASSERT_EQ(runtime::write_formatted(unit, kErrorBranch, {runtime::item(text)}, "(A)"), 0);
}

TEST(ShellCommands, QuotingKeepsNamesIntact) {
  const std::pair<const char*, const char*> cases[] = {
      {"plain", "'plain'"},
      {"it's", "'it'\\''s'"},
      {"a b;rm -rf x", "'a b;rm -rf x'"},
      {"$(touch y)`z`", "'$(touch y)`z`'"},
      {"", "''"},
  };
  for (const auto& [text, quoted] : cases) EXPECT_EQ(runtime::quote_for_shell(text), quoted);
}

TEST(ShellCommands, ExitStatusTellsSuccess) {
  EXPECT_TRUE(runtime::run_shell_command("exit 0", true));
  EXPECT_FALSE(runtime::run_shell_command("exit 3", true));
  EXPECT_FALSE(runtime::run_shell_command("kill -9 $$", true));
}

struct DispositionCase {
  const char* status;
  bool file_kept;
};

TEST(Dispositions, KeepAndDelete) {
  const DispositionCase cases[] = {{nullptr, true}, {"KEEP", true}, {"SAVE", true}, {"DELETE", false}};
  for (const DispositionCase& c : cases) {
    io_test::ScratchDirectory directory;
    const std::string path = directory.file("data.txt");
    write_unit_file(80, path, "content");
    if (c.status) {
      EXPECT_EQ(runtime::close_unit(80, kErrorBranch, {keyword_text(Keyword::Status, c.status)}), 0);
    } else {
      EXPECT_EQ(runtime::close_unit(80, kErrorBranch), 0);
    }
    EXPECT_EQ(io_test::file_exists(path), c.file_kept) << (c.status ? c.status : "none");
  }
  // The disposition given at OPEN applies when CLOSE gives none.
  io_test::ScratchDirectory directory;
  const std::string path = directory.file("doomed.txt");
  write_unit_file(80, path, "x", {keyword_text(Keyword::Dispose, "DELETE")});
  EXPECT_EQ(runtime::close_unit(80, kErrorBranch), 0);
  EXPECT_FALSE(io_test::file_exists(path));
}

TEST(Dispositions, PrintToTheDefaultPrintDevice) {
  io_test::ScratchDirectory directory;
  const std::string printer = directory.file("printer out");
  io_test::EnvironmentVariable device("FOR_DEFAULT_PRINT_DEVICE", printer);
  const std::string path = directory.file("it's printed.txt");
  write_unit_file(81, path, "to paper");
  EXPECT_EQ(runtime::close_unit(81, kErrorBranch, {keyword_text(Keyword::Status, "PRINT")}), 0);
  EXPECT_EQ(io_test::read_file(printer), "to paper\r\n");
  EXPECT_TRUE(io_test::file_exists(path));
  write_unit_file(81, path, "again");
  EXPECT_EQ(runtime::close_unit(81, kErrorBranch, {keyword_text(Keyword::Dispose, "PRINT/DELETE")}), 0);
  EXPECT_EQ(io_test::read_file(printer), "again\r\n");
  EXPECT_FALSE(io_test::file_exists(path));
}

TEST(Dispositions, AFailedPrintKeepsAFileThatWasToBeDeleted) {
  io_test::MessageLog log;
  io_test::ScratchDirectory directory;
  io_test::EnvironmentVariable device("FOR_DEFAULT_PRINT_DEVICE", directory.file("missing/printer"));
  const std::string path = directory.file("report.txt");
  write_unit_file(82, path, "unprinted");
  EXPECT_EQ(runtime::close_unit(82, kErrorBranch, {keyword_text(Keyword::Status, "PRINT/DELETE")}), 0);
  EXPECT_EQ(io_test::read_file(path), "unprinted\r\n");
  EXPECT_NE(
      log.text().find("duzevi: info (5): requested disposition modified, file not deleted, unit 82, file " + path),
      std::string::npos)
      << log.text();
}

TEST(Dispositions, SubmitRunsTheFileAsAScript) {
  io_test::ScratchDirectory directory;
  const std::string marker = directory.file("marker");
  const std::string job = directory.file("job; $(x).sh");
  // Shell scripts want line feeds alone.
  const std::vector<runtime::KeywordValue> lines = {keyword_text(Keyword::RecordType, "STREAM_LF")};
  write_unit_file(83, job, "echo submitted > " + runtime::quote_for_shell(marker), lines);
  EXPECT_EQ(runtime::close_unit(83, kErrorBranch, {keyword_text(Keyword::Status, "SUBMIT")}), 0);
  EXPECT_TRUE(eventually([&] { return io_test::read_file(marker) == "submitted\n"; }));
  EXPECT_TRUE(io_test::file_exists(job));

  const std::string second = directory.file("second");
  write_unit_file(83, job, "echo again > " + runtime::quote_for_shell(second), lines);
  EXPECT_EQ(runtime::close_unit(83, kErrorBranch, {keyword_text(Keyword::Status, "SUBMIT/DELETE")}), 0);
  EXPECT_TRUE(eventually([&] { return io_test::read_file(second) == "again\n" && !io_test::file_exists(job); }));
}

TEST(Dispositions, ScratchFilesCannotBeKeptPrintedOrSubmitted) {
  for (const char* status : {"KEEP", "PRINT", "SUBMIT"}) {
    ASSERT_EQ(runtime::open_unit(84, kErrorBranch, {keyword_text(Keyword::Status, "SCRATCH")}), 0);
    EXPECT_EQ(runtime::close_unit(84, kErrorBranch, {keyword_text(Keyword::Status, status)}), 46) << status;
    // The unit is released all the same.
    EXPECT_EQ(runtime::close_unit(84, kErrorBranch), 0);
  }
}

}  // namespace
