// Connecting units to files: STATUS and POSITION rules, cutting a sequential file after the
// first record written, scratch files, the implicit connection, re-opening, the operating
// system's failures, devices and the checks that leave a unit unconnected.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "io_test_support.h"

namespace {

using runtime::kErrorBranch;
using runtime::Keyword;
using runtime::keyword_integer;
using runtime::keyword_logical;
using runtime::keyword_text;
using runtime::KeywordValue;

const runtime::FixedFormat kText("(A)");

int write_line(std::int32_t unit, std::string_view text) {
  return runtime::write_formatted(unit, kErrorBranch, {runtime::item(text)}, kText);
}

int read_line(std::int32_t unit, std::string& text) {
  char buffer[64];
  int status = runtime::read_formatted(unit, kErrorBranch, {runtime::item(buffer, sizeof buffer)}, kText);
  text.assign(buffer, sizeof buffer);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return status;
}

struct StatusCase {
  const char* what;
  std::optional<std::string> existing;  // file content before the OPEN
  std::vector<KeywordValue> keywords;
  runtime::StatementFlags flags;
  int open_error;
  std::vector<std::string> records;  // written after the OPEN
  std::optional<std::string> after;  // file content after CLOSE (nullopt: no file)
};

TEST(Connection, StatusPositionAndCutting) {
  const StatusCase cases[] = {
      {"old, missing", std::nullopt, {keyword_text(Keyword::Status, "OLD")}, kErrorBranch, 29, {}, std::nullopt},
      {"old, missing, compatibility numbering",
       std::nullopt,
       {keyword_text(Keyword::Status, "OLD")},
       kErrorBranch | runtime::kCompatibilityNumbering,
       602,
       {},
       std::nullopt},
      {"old, existing", "abc\r\n", {keyword_text(Keyword::Status, "OLD")}, kErrorBranch, 0, {"x"}, "x\r\n"},
      {"new, existing", "abc\r\n", {keyword_text(Keyword::Status, "NEW")}, kErrorBranch, 10, {}, "abc\r\n"},
      {"new, existing, compatibility numbering",
       "abc\r\n",
       {keyword_text(Keyword::Status, "NEW")},
       kErrorBranch | runtime::kCompatibilityNumbering,
       601,
       {},
       "abc\r\n"},
      {"new, missing", std::nullopt, {keyword_text(Keyword::Status, "NEW")}, kErrorBranch, 0, {"n"}, "n\r\n"},
      {"replace empties at once",
       "old\r\nlines\r\n",
       {keyword_text(Keyword::Status, "REPLACE")},
       kErrorBranch,
       0,
       {},
       ""},
      {"unknown keeps a file nothing is written to",
       "aaa\r\nbbb\r\n",
       {keyword_text(Keyword::Status, "UNKNOWN")},
       kErrorBranch,
       0,
       {},
       "aaa\r\nbbb\r\n"},
      {"unknown cuts after the first record", "aaaaaaaaaa\r\nbbb\r\n", {}, kErrorBranch, 0, {"x"}, "x\r\n"},
      {"later records are appended", "aaaaaaaaaa\r\nbbb\r\nccc\r\n", {}, kErrorBranch, 0, {"x", "y"}, "x\r\ny\r\n"},
      {"unknown creates", std::nullopt, {}, kErrorBranch, 0, {"1", "2"}, "1\r\n2\r\n"},
      {"position append", "a\r\n", {keyword_text(Keyword::Position, "APPEND")}, kErrorBranch, 0, {"b"}, "a\r\nb\r\n"},
      {"access append", "a\r\n", {keyword_text(Keyword::Access, "APPEND")}, kErrorBranch, 0, {"b"}, "a\r\nb\r\n"},
      {"stream_lf records",
       std::nullopt,
       {keyword_text(Keyword::RecordType, "STREAM_LF")},
       kErrorBranch,
       0,
       {"p", "q"},
       "p\nq\n"},
      {"fixed records",
       std::nullopt,
       {keyword_text(Keyword::RecordType, "FIXED"), keyword_integer(Keyword::RecordLength, 4)},
       kErrorBranch,
       0,
       {"ab", "cdef"},
       "ab  cdef"},
      {"first-character control on a file",
       std::nullopt,
       {keyword_text(Keyword::CarriageControl, "FORTRAN")},
       kErrorBranch,
       0,
       {" one", "0two", "+x"},
       "one\r\n\r\ntwo\rx\r\n"},
  };
  for (const StatusCase& c : cases) {
    io_test::ScratchDirectory directory;
    const std::string path = directory.file("data.txt");
    if (c.existing) io_test::write_file(path, *c.existing);
    std::vector<KeywordValue> keywords = c.keywords;
    keywords.push_back(keyword_text(Keyword::File, path));
    EXPECT_EQ(runtime::open_unit(40, c.flags, keywords), c.open_error) << c.what;
    for (const std::string& record : c.records) EXPECT_EQ(write_line(40, record), 0) << c.what;
    EXPECT_EQ(runtime::close_unit(40, kErrorBranch), 0) << c.what;
    if (c.after) {
      EXPECT_EQ(io_test::read_file(path), *c.after) << c.what;
    } else {
      EXPECT_FALSE(io_test::file_exists(path)) << c.what;
    }
  }
}

TEST(Connection, ExistingFileIsUntouchedUntilTheFirstRecordIsWritten) {
  io_test::ScratchDirectory directory;
  const std::string path = directory.file("series.dat");
  io_test::write_file(path, "0.1\r\n0.2\r\n0.3\r\n");
  ASSERT_EQ(runtime::open_unit(41, kErrorBranch, {keyword_text(Keyword::File, path)}), 0);
  std::string first;
  ASSERT_EQ(read_line(41, first), 0);
  EXPECT_EQ(first, "0.1");
  EXPECT_EQ(io_test::read_file(path), "0.1\r\n0.2\r\n0.3\r\n");
  // A record written after reading one replaces the rest of the file.
  ASSERT_EQ(write_line(41, "new"), 0);
  ASSERT_EQ(runtime::close_unit(41, kErrorBranch), 0);
  EXPECT_EQ(io_test::read_file(path), "0.1\r\nnew\r\n");
}

TEST(Connection, ScratchFilesLeaveNothingBehind) {
  io_test::ScratchDirectory directory;
  io_test::EnvironmentVariable temporary("TMPDIR", directory.path());
  ASSERT_EQ(runtime::open_unit(42, kErrorBranch, {keyword_text(Keyword::Status, "SCRATCH")}), 0);
  ASSERT_EQ(write_line(42, "temporary"), 0);
  EXPECT_TRUE(io_test::directory_entries(directory.path()).empty());  // no name is left
  ASSERT_EQ(runtime::close_unit(42, kErrorBranch), 0);
  // KEEP is refused for a scratch file, which goes all the same.
  ASSERT_EQ(runtime::open_unit(42, kErrorBranch, {keyword_text(Keyword::Status, "SCRATCH")}), 0);
  EXPECT_EQ(runtime::close_unit(42, kErrorBranch, {keyword_text(Keyword::Status, "KEEP")}), 46);
  EXPECT_EQ(runtime::unit_window_index(42), -1);
  EXPECT_EQ(runtime::close_unit(42, kErrorBranch), 0);  // no longer connected: nothing to do
  EXPECT_TRUE(io_test::directory_entries(directory.path()).empty());
}

TEST(Connection, ImplicitConnectionUsesFortNAndTheEnvironment) {
  io_test::ScratchDirectory directory(true);
  {
    io_test::EnvironmentVariable unset("FORT43", std::nullopt);
    ASSERT_EQ(write_line(43, "implicit"), 0);
    ASSERT_EQ(runtime::close_unit(43, kErrorBranch), 0);
    EXPECT_EQ(io_test::read_file(directory.file("fort.43")), "implicit\r\n");
  }
  {
    io_test::EnvironmentVariable named("FORT44", "out.dat");
    ASSERT_EQ(write_line(44, "named"), 0);
    ASSERT_EQ(runtime::close_unit(44, kErrorBranch), 0);
    EXPECT_EQ(io_test::read_file(directory.file("out.dat")), "named\r\n");
    EXPECT_FALSE(io_test::file_exists(directory.file("fort.44")));
  }
  {
    // A READ connects only a file that exists, and leaves no empty file behind.
    std::string text;
    EXPECT_EQ(read_line(45, text), 29);
    EXPECT_FALSE(io_test::file_exists(directory.file("fort.45")));
    io_test::write_file(directory.file("fort.45"), "given\n");
    EXPECT_EQ(read_line(45, text), 0);
    EXPECT_EQ(text, "given");
    EXPECT_EQ(read_line(45, text), 24);
    // Connected by a READ, the unit may still be written.
    EXPECT_EQ(write_line(45, "more"), 0);
    ASSERT_EQ(runtime::close_unit(45, kErrorBranch), 0);
    EXPECT_EQ(io_test::read_file(directory.file("fort.45")), "given\nmore\r\n");
  }
}

TEST(Connection, ReservedUnitsFollowTheirEnvironmentVariables) {
  io_test::ScratchDirectory directory(true);
  io_test::write_file(directory.file("input.txt"), "17\n");
  {
    io_test::EnvironmentVariable print("FOR_PRINT", "printed.txt");
    io_test::EnvironmentVariable type("FOR_TYPE", "typed.txt");
    io_test::EnvironmentVariable read("FOR_READ", "input.txt");
    io_test::EnvironmentVariable accept("FOR_ACCEPT", "input.txt");
    ASSERT_EQ(write_line(-1, "print"), 0);
    ASSERT_EQ(write_line(-2, "type"), 0);
    std::int32_t value = 0;
    ASSERT_EQ(runtime::read_formatted(-4, kErrorBranch, {runtime::item(value)}, "(I2)"), 0);
    EXPECT_EQ(value, 17);
    ASSERT_EQ(runtime::read_formatted(-3, kErrorBranch, {runtime::item(value)}, "(I1)"), 0);
    EXPECT_EQ(value, 1);
    for (std::int32_t unit : {-1, -2, -3, -4}) EXPECT_EQ(runtime::close_unit(unit, kErrorBranch), 0);
  }
  EXPECT_EQ(io_test::read_file(directory.file("printed.txt")), "print\r\n");
  EXPECT_EQ(io_test::read_file(directory.file("typed.txt")), "type\r\n");
}

TEST(Connection, FailedOpenLeavesTheUnitUnconnected) {
  io_test::ScratchDirectory directory(true);
  EXPECT_EQ(runtime::open_unit(46, kErrorBranch,
                               {keyword_text(Keyword::File, "missing.txt"), keyword_text(Keyword::Status, "OLD")}),
            29);
  // Still unconnected: the next WRITE connects fort.46.
  ASSERT_EQ(write_line(46, "w"), 0);
  ASSERT_EQ(runtime::close_unit(46, kErrorBranch), 0);
  EXPECT_TRUE(io_test::file_exists(directory.file("fort.46")));
  EXPECT_FALSE(io_test::file_exists(directory.file("missing.txt")));
}

TEST(Connection, ReopeningTheSameOrAnotherFile) {
  io_test::ScratchDirectory directory(true);
  const std::string path = directory.file("a.txt");
  ASSERT_EQ(::symlink(path.c_str(), directory.file("link.txt").c_str()), 0);
  ASSERT_EQ(runtime::open_unit(47, kErrorBranch, {keyword_text(Keyword::File, "a.txt")}), 0);
  ASSERT_EQ(write_line(47, "1"), 0);
  // The same physical file, under its own name or another: the connection stays.
  EXPECT_EQ(runtime::open_unit(47, kErrorBranch, {keyword_text(Keyword::File, path)}), 0);
  EXPECT_EQ(runtime::open_unit(47, kErrorBranch,
                               {keyword_text(Keyword::File, "link.txt"), keyword_text(Keyword::Blank, "ZERO")}),
            0);
  ASSERT_EQ(write_line(47, "2"), 0);
  // Another access or action on the same file is refused and the connection stays.
  EXPECT_EQ(runtime::open_unit(47, kErrorBranch,
                               {keyword_text(Keyword::File, "a.txt"), keyword_text(Keyword::Action, "READ")}),
            560);
  EXPECT_EQ(runtime::open_unit(47, kErrorBranch,
                               {keyword_text(Keyword::File, "a.txt"), keyword_text(Keyword::Access, "DIRECT"),
                                keyword_integer(Keyword::RecordLength, 10)}),
            560);
  ASSERT_EQ(write_line(47, "3"), 0);
  // Another file: the first is closed (complete) and the unit connected anew.
  EXPECT_EQ(runtime::open_unit(47, kErrorBranch, {keyword_text(Keyword::File, "b.txt")}), 0);
  EXPECT_EQ(io_test::read_file(path), "1\r\n2\r\n3\r\n");
  ASSERT_EQ(write_line(47, "b"), 0);
  ASSERT_EQ(runtime::close_unit(47, kErrorBranch), 0);
  EXPECT_EQ(io_test::read_file(directory.file("b.txt")), "b\r\n");
}

TEST(Connection, BlankModeOfTheOpenAppliesToReads) {
  io_test::ScratchDirectory directory(true);
  io_test::write_file(directory.file("n.txt"), "1 2\n1 2\n");
  ASSERT_EQ(runtime::open_unit(48, kErrorBranch, {keyword_text(Keyword::File, "n.txt")}), 0);
  std::int32_t value = 0;
  ASSERT_EQ(runtime::read_formatted(48, kErrorBranch, {runtime::item(value)}, "(I6)"), 0);
  EXPECT_EQ(value, 12);
  ASSERT_EQ(runtime::open_unit(48, kErrorBranch,
                               {keyword_text(Keyword::File, "n.txt"), keyword_text(Keyword::Blank, "ZERO")}),
            0);
  ASSERT_EQ(runtime::read_formatted(48, kErrorBranch, {runtime::item(value)}, "(I6)"), 0);
  EXPECT_EQ(value, 102000);
  ASSERT_EQ(runtime::close_unit(48, kErrorBranch), 0);
}

struct FailureCase {
  const char* what;
  std::string name;
  std::vector<KeywordValue> keywords;
  int error;
};

TEST(Connection, OperatingSystemFailures) {
  io_test::ScratchDirectory directory(true);
  io_test::write_file(directory.file("plain.txt"), "p\n");
  ASSERT_EQ(::mkdir(directory.file("folder").c_str(), 0700), 0);
  const FailureCase cases[] = {
      {"directory", "folder", {}, 9},
      {"directory with a trailing slash", "folder/", {}, 9},
      {"the current directory", ".", {}, 9},
      {"directory opened for reading", "folder", {keyword_text(Keyword::Action, "READ")}, 9},
      {"missing directory", "nowhere/x.txt", {}, 29},
      {"file used as directory", "plain.txt/x.txt", {}, 43},
      {"name too long", std::string(300, 'n'), {}, 43},
      {"read-only open of a missing file", "absent.txt", {keyword_text(Keyword::Action, "READ")}, 29},
  };
  for (const FailureCase& c : cases) {
    std::vector<KeywordValue> keywords = c.keywords;
    keywords.push_back(keyword_text(Keyword::File, c.name));
    EXPECT_EQ(runtime::open_unit(49, kErrorBranch, keywords), c.error) << c.what;
    EXPECT_EQ(runtime::close_unit(49, kErrorBranch), 0) << c.what;
  }
  EXPECT_FALSE(io_test::file_exists(directory.file("absent.txt")));
}

void check_unwritable_files() {
  io_test::ScratchDirectory directory(true);
  const std::string path = directory.file("locked.txt");
  io_test::write_file(path, "kept\n");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(
      runtime::open_unit(50, kErrorBranch, {keyword_text(Keyword::File, path), keyword_text(Keyword::Action, "WRITE")}),
      9);
  EXPECT_EQ(runtime::open_unit(50, kErrorBranch | runtime::kCompatibilityNumbering,
                               {keyword_text(Keyword::File, path), keyword_text(Keyword::Action, "READWRITE")}),
            600);
  // Without ACTION the file is opened for reading: writing is refused, reading works.
  ASSERT_EQ(runtime::open_unit(50, kErrorBranch, {keyword_text(Keyword::File, path)}), 0);
  EXPECT_EQ(write_line(50, "lost?"), 47);
  std::string text;
  EXPECT_EQ(read_line(50, text), 0);
  EXPECT_EQ(text, "kept");
  // Deleting a read-only connection is refused; the file stays and the unit is released.
  EXPECT_EQ(runtime::close_unit(50, kErrorBranch, {keyword_text(Keyword::Status, "DELETE")}), 46);
  EXPECT_EQ(io_test::read_file(path), "kept\n");
  const std::string protected_directory = directory.file("sealed");
  ASSERT_EQ(::mkdir(protected_directory.c_str(), 0500), 0);
  EXPECT_EQ(runtime::open_unit(50, kErrorBranch, {keyword_text(Keyword::File, protected_directory + "/new.txt")}), 9);
}

TEST(Connection, UnwritableFiles) {
  if (::geteuid() != 0) {
    check_unwritable_files();
    return;
  }
  // Permissions do not bind the superuser: run the checks in a child as an unprivileged user.
  EXPECT_EXIT(
      {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(3);
        check_unwritable_files();
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

// A file that refuses writing even to the superuser.
TEST(Connection, AccessDeniedMapsToError9) {
  const std::string path = "/sys/kernel/notes";
  if (!io_test::file_exists(path)) GTEST_SKIP() << "no " << path;
  EXPECT_EQ(
      runtime::open_unit(54, kErrorBranch, {keyword_text(Keyword::File, path), keyword_text(Keyword::Action, "WRITE")}),
      9);
  EXPECT_EQ(runtime::open_unit(54, kErrorBranch | runtime::kCompatibilityNumbering,
                               {keyword_text(Keyword::File, path), keyword_text(Keyword::Action, "READWRITE")}),
            600);
  ASSERT_EQ(runtime::open_unit(54, kErrorBranch, {keyword_text(Keyword::File, path)}), 0);
  EXPECT_EQ(write_line(54, "x"), 47);
  EXPECT_EQ(runtime::close_unit(54, kErrorBranch, {keyword_text(Keyword::Status, "DELETE")}), 46);
  EXPECT_TRUE(io_test::file_exists(path));
}

TEST(Connection, DevicesAndUnitNumbers) {
  ASSERT_EQ(runtime::open_unit(51, kErrorBranch, {keyword_text(Keyword::File, "NUL")}), 0);
  EXPECT_EQ(write_line(51, "into nothing"), 0);
  std::string text;
  EXPECT_EQ(read_line(51, text), 24);
  EXPECT_EQ(runtime::close_unit(51, kErrorBranch), 0);
  if (!io_test::file_exists("/dev/lp3")) {
    EXPECT_EQ(runtime::open_unit(51, kErrorBranch, {keyword_text(Keyword::File, "LPT4")}), 42);
  }
  EXPECT_EQ(runtime::open_unit(-1, kErrorBranch, {}), 580);
  EXPECT_EQ(runtime::close_unit(-9, kErrorBranch), 580);
  EXPECT_EQ(write_line(-6, "x"), 32);
  EXPECT_EQ(write_line(-5, "x"), 32);
  EXPECT_EQ(read_line(2147483647, text), 32);
  // TITLE and IOFOCUS need a window, and without the windowed console there is none.
  EXPECT_EQ(
      runtime::open_unit(51, kErrorBranch, {keyword_text(Keyword::File, "NUL"), keyword_text(Keyword::Title, "T")}),
      565);
  EXPECT_EQ(runtime::open_unit(51, kErrorBranch,
                               {keyword_text(Keyword::File, "user"), keyword_logical(Keyword::IoFocus, true)}),
            563);
  EXPECT_EQ(runtime::close_unit(51, kErrorBranch), 0);
}

TEST(Connection, FilePathOfAUnit) {
  io_test::ScratchDirectory directory(true);
  EXPECT_EQ(runtime::unit_file_path(52), std::nullopt);  // not connected
  ASSERT_EQ(runtime::open_unit(52, kErrorBranch, {keyword_text(Keyword::File, "series.dat")}), 0);
  char* real = ::realpath(directory.path().c_str(), nullptr);
  ASSERT_NE(real, nullptr);
  EXPECT_EQ(runtime::unit_file_path(52), std::string(real) + "/series.dat");
  std::free(real);
  EXPECT_EQ(runtime::close_unit(52, kErrorBranch), 0);
  EXPECT_EQ(runtime::unit_file_path(52), std::nullopt);
  ASSERT_EQ(runtime::open_unit(52, kErrorBranch, {keyword_text(Keyword::File, "NUL")}), 0);
  EXPECT_EQ(runtime::unit_file_path(52), std::nullopt);  // a device
  EXPECT_EQ(runtime::close_unit(52, kErrorBranch), 0);
  ASSERT_EQ(runtime::open_unit(52, kErrorBranch, {keyword_text(Keyword::Status, "SCRATCH")}), 0);
  EXPECT_EQ(runtime::unit_file_path(52), std::nullopt);
  EXPECT_EQ(runtime::close_unit(52, kErrorBranch), 0);
}

TEST(Connection, UnformattedAndDirectUnitsRefuseFormattedSequentialStatements) {
  io_test::ScratchDirectory directory(true);
  ASSERT_EQ(runtime::open_unit(52, kErrorBranch,
                               {keyword_text(Keyword::File, "u.bin"), keyword_text(Keyword::Form, "UNFORMATTED")}),
            0);
  EXPECT_EQ(write_line(52, "x"), 257);
  ASSERT_EQ(runtime::close_unit(52, kErrorBranch), 0);
  ASSERT_EQ(runtime::open_unit(52, kErrorBranch,
                               {keyword_text(Keyword::File, "d.dat"), keyword_text(Keyword::Access, "DIRECT"),
                                keyword_integer(Keyword::RecordLength, 8)}),
            0);
  EXPECT_EQ(write_line(52, "x"), 259);
  ASSERT_EQ(runtime::close_unit(52, kErrorBranch), 0);
}

TEST(Connection, ConvertFromTheEnvironmentIsChecked) {
  io_test::ScratchDirectory directory(true);
  {
    io_test::EnvironmentVariable convert("FORT_CONVERT53", "BIG_ENDIAN");
    EXPECT_EQ(runtime::open_unit(53, kErrorBranch, {keyword_text(Keyword::File, "c.dat")}), 0);
    EXPECT_EQ(runtime::close_unit(53, kErrorBranch), 0);
  }
  io_test::EnvironmentVariable convert("FORT_CONVERT53", "MIDDLE_ENDIAN");
  EXPECT_EQ(runtime::open_unit(53, kErrorBranch, {keyword_text(Keyword::File, "c.dat")}), 45);
  EXPECT_EQ(runtime::close_unit(53, kErrorBranch), 0);
}

}  // namespace
