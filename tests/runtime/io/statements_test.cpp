// The statement drivers on file units and internal writes: field cutting, positions, Q,
// non-advancing reads and writes, and the error paths (58 + 62, 60, 61, 63, 64, 66, 67,
// 268, 24, 22, 41, 38, 39, 48), returned with an error branch or reported without.

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <vector>

#include "io_test_support.h"
#include "runtime/io/output_record.h"

namespace {

using runtime::kErrorBranch;
using runtime::Keyword;
using runtime::keyword_text;

// A unit connected to a file in a scratch directory, closed at the end of the test.
class FileUnit {
 public:
  FileUnit(std::int32_t unit, std::string_view content, std::vector<runtime::KeywordValue> keywords = {})
      : unit_(unit), path_(directory_.file("unit.txt")) {
    io_test::write_file(path_, content);
    keywords.push_back(keyword_text(Keyword::File, path_));
    EXPECT_EQ(runtime::open_unit(unit, kErrorBranch, keywords), 0);
  }
  ~FileUnit() { runtime::close_unit(unit_, kErrorBranch); }
  std::string content() {
    runtime::close_unit(unit_, kErrorBranch);
    return io_test::read_file(path_);
  }
  const std::string& path() const { return path_; }

 private:
  io_test::ScratchDirectory directory_;
  std::int32_t unit_;
  std::string path_;
};

struct ReadCase {
  const char* what;
  std::string record;
  const char* format;
  int status;
  std::int32_t first;
  std::int32_t second;
};

TEST(ReadStatement, FieldsPositionsAndCommas) {
  const ReadCase cases[] = {
      {"comma ends the fields", "1,2\n", "(I5,I5)", 0, 1, 2},
      {"comma right away", ",7\n", "(I3,I3)", 0, 0, 7},
      {"padding in BN mode", "12\n", "(I6,I6)", 0, 12, 0},
      {"padding in BZ mode", "12\n", "(BZ,I6,I6)", 0, 120000, 0},
      {"tab to and tab left", "1234\n", "(T3,I2,TL4,I2)", 0, 34, 12},
      {"skip with X", "9 87\n", "(I1,2X,I2)", 0, 9, 7},
      {"carriage return and line feed", "12\r\n34\r\n", "(I2/I2)", 0, 12, 34},
      {"slash reads the next record", "1\n2\n", "(I1/I1)", 0, 1, 2},
      {"reversion reads the next record", "1\n2\n", "(I1)", 0, 1, 2},
      {"literal consumes characters", "ab12\ncd34\n", "('xy',I2)", 0, 12, 34},
      {"hollerith literal on input", "abc4\nxyz5\n", "(3Hxyz,I1)", 0, 4, 5},
      {"invalid character", "1a\n", "(I2,I2)", 64, 0, 0},
      {"binary bytes", std::string("\x01\xff\n", 3), "(I2,I2)", 64, 0, 0},
      {"integer out of range", "3000000000\n", "(I12,I1)", 64, 0, 0},
      {"real edit on an integer", "1.5\n", "(F5.1,I1)", 61, 0, 0},
      {"empty file", "", "(I1,I1)", 24, 0, 0},
      {"end of file after the first record", "5\n", "(I1/I1)", 24, 5, 0},
      {"last record without a line feed", "42", "(I2,I2)", 0, 42, 0},
      {"control-Z record", "\x1a\n", "(I1,I1)", 24, 0, 0},
      {"reversion after a literal reads the next record", "1\n", "(I1,'x')", 24, 1, 0},
      {"format without data", "1\n", "('x')", 60, 0, 0},
  };
  for (const ReadCase& c : cases) {
    FileUnit file(60, c.record);
    std::int32_t first = 0;
    std::int32_t second = 0;
    int status = runtime::read_formatted(60, kErrorBranch, {runtime::item(first), runtime::item(second)}, c.format);
    EXPECT_EQ(status, c.status) << c.what;
    EXPECT_EQ(first, c.first) << c.what;
    EXPECT_EQ(second, c.second) << c.what;
  }
}

TEST(ReadStatement, PaddingSwitchedOff) {
  struct Case {
    const char* what;
    const char* format;
    runtime::StatementFlags flags;
    std::string_view advance;
    int status;
  };
  const Case cases[] = {
      {"advancing", "(I5)", kErrorBranch, {}, 67},
      {"field after a skip runs past the end", "(1X,I5)", kErrorBranch, {}, 67},
      {"non-advancing", "(I5)", kErrorBranch | runtime::kAdvanceSpecifier, "NO", 268},
      {"end-of-record branch", "(I5)", runtime::kEndOfRecordBranch | runtime::kAdvanceSpecifier, "no",
       runtime::kEndOfRecordIndication},
      {"the field fits", "(I2)", kErrorBranch, {}, 0},
  };
  for (const Case& c : cases) {
    FileUnit file(61, "12\n", {keyword_text(Keyword::Pad, "NO")});
    std::int32_t value = 0;
    EXPECT_EQ(runtime::read_formatted(61, c.flags, {runtime::item(value)}, c.format, c.advance), c.status) << c.what;
  }
  FileUnit file(61, "1,2\n", {keyword_text(Keyword::Pad, "NO")});
  std::int32_t a = 0;
  std::int32_t b = 0;
  EXPECT_EQ(runtime::read_formatted(61, kErrorBranch, {runtime::item(a), runtime::item(b)}, "(I5,I1)"), 0);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
}

TEST(ReadStatement, NonAdvancingReadsContinueTheRecord) {
  FileUnit file(62, "123\n45\n");
  std::int32_t value = 0;
  const auto flags = kErrorBranch | runtime::kAdvanceSpecifier;
  ASSERT_EQ(runtime::read_formatted(62, flags, {runtime::item(value)}, "(I1)", "NO"), 0);
  EXPECT_EQ(value, 1);
  ASSERT_EQ(runtime::read_formatted(62, flags, {runtime::item(value)}, "(I1)", "no "), 0);
  EXPECT_EQ(value, 2);
  ASSERT_EQ(runtime::read_formatted(62, kErrorBranch, {runtime::item(value)}, "(I1)"), 0);
  EXPECT_EQ(value, 3);
  ASSERT_EQ(runtime::read_formatted(62, kErrorBranch, {runtime::item(value)}, "(I2)"), 0);
  EXPECT_EQ(value, 45);
  EXPECT_EQ(runtime::read_formatted(62, flags, {runtime::item(value)}, "(I1)", "MAYBE"), 48);
}

TEST(ReadStatement, CharactersLeftAndCharacterFields) {
  FileUnit file(63, "hello\nyes\n\nmore\n");
  std::int32_t left = 0;
  char word[8];
  ASSERT_EQ(runtime::read_formatted(63, kErrorBranch, {runtime::item(left), runtime::item(word, 8)}, "(Q,A)"), 0);
  EXPECT_EQ(left, 5);
  EXPECT_EQ(std::string(word, 8), "hello   ");
  char one = 0;
  ASSERT_EQ(runtime::read_formatted(63, kErrorBranch, {runtime::item(&one, 1)}, "(A1)"), 0);
  EXPECT_EQ(one, 'y');
  ASSERT_EQ(runtime::read_formatted(63, kErrorBranch, {runtime::item(&one, 1)}, "(A1)"), 0);
  EXPECT_EQ(one, ' ');
  double real = 0;
  EXPECT_EQ(runtime::read_formatted(63, kErrorBranch, {runtime::item(real)}, "(Q)"), 61);
}

TEST(ReadStatement, WideFieldsNeverExhaustMemory) {
  FileUnit file(64, "7\n7\n7\n");
  std::int32_t value = 0;
  EXPECT_EQ(runtime::read_formatted(64, kErrorBranch, {runtime::item(value)}, "(I2147483647)"), 0);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(runtime::read_formatted(64, kErrorBranch, {runtime::item(value)}, "(BZ,I2147483647)"), 41);
  char text[3];
  EXPECT_EQ(runtime::read_formatted(64, kErrorBranch, {runtime::item(text, 3)}, "(A2147483647)"), 0);
  EXPECT_EQ(std::string(text, 3), "   ");
}

TEST(ReadStatement, OverlongRecordIsError22) {
  io_test::ScratchDirectory directory;
  const std::string path = directory.file("long.txt");
  {
    std::string block(1 << 20, 'x');
    int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(descriptor, 0);
    for (std::size_t written = 0; written <= runtime::kMaxRecordLength; written += block.size()) {
      ASSERT_EQ(::write(descriptor, block.data(), block.size()), static_cast<ssize_t>(block.size()));
    }
    ::close(descriptor);
  }
  ASSERT_EQ(runtime::open_unit(65, kErrorBranch, {keyword_text(Keyword::File, path)}), 0);
  char text[4];
  EXPECT_EQ(runtime::read_formatted(65, kErrorBranch, {runtime::item(text, 4)}, "(A)"), 22);
  runtime::close_unit(65, kErrorBranch);
}

TEST(ReadStatement, ReadFailureIs39) {
  FileUnit file(66, "data\n", {keyword_text(Keyword::Action, "WRITE")});
  char text[4];
  EXPECT_EQ(runtime::read_formatted(66, kErrorBranch, {runtime::item(text, 4)}, "(A)"), 39);
}

struct WriteCase {
  const char* what;
  const char* format;
  std::vector<double> reals;
  std::vector<std::int32_t> integers;
  int status;
  std::string content;
};

TEST(WriteStatement, RecordsAndErrorsOnAFile) {
  const WriteCase cases[] = {
      {"ten values, ten records",
       "(F20.10)",
       {0.5, -1.2345, 123456789.0, 1.0e-11, 0, 1, 2, 3, 4, 5},
       {},
       0,
       "        0.5000000000\r\n       -1.2345000000\r\n123456789.0000000000\r\n        0.0000000000\r\n"
       "        0.0000000000\r\n        1.0000000000\r\n        2.0000000000\r\n        3.0000000000\r\n"
       "        4.0000000000\r\n        5.0000000000\r\n"},
      {"overflow completes the statement", "(I2)", {}, {7, 123, -5, -10}, 63, " 7\r\n**\r\n-5\r\n**\r\n"},
      {"reversion to the last group", "(1X,I1,2(1X,I1))", {}, {1, 2, 3, 4, 5, 6, 7}, 0, " 1 2 3\r\n 4 5\r\n 6 7\r\n"},
      {"positions", "(T5,I1,T1,I1,5X)", {}, {1, 2}, 0, "2   1\r\n"},
      {"slashes", "(I1,2/I1)", {}, {1, 2}, 0, "1\r\n\r\n2\r\n"},
      {"colon stops at the end of the items", "(I1,:,' more')", {}, {1}, 0, "1\r\n"},
      {"trailing literal is written", "(I1,' end')", {}, {1}, 0, "1 end\r\n"},
      {"type mismatch", "(I5)", {1.5}, {}, 61, ""},
      {"no data descriptor", "()", {}, {1}, 60, ""},
      {"huge width", "(I2147483647)", {}, {1}, 41, ""},
      {"huge position", "(2147483647X,I1)", {}, {1}, 41, ""},
      {"Q has no meaning on output", "(Q)", {}, {1}, 61, ""},
  };
  for (const WriteCase& c : cases) {
    FileUnit file(67, "old content that is cut away\r\n");
    std::vector<runtime::IoItem> items;
    for (const double& value : c.reals) items.push_back(runtime::item(value));
    for (const std::int32_t& value : c.integers) items.push_back(runtime::item(value));
    EXPECT_EQ(runtime::write_formatted(67, kErrorBranch, items, c.format), c.status) << c.what;
    if (c.content.empty()) {
      EXPECT_EQ(file.content(), "old content that is cut away\r\n") << c.what;
    } else {
      EXPECT_EQ(file.content(), c.content) << c.what;
    }
  }
}

TEST(WriteStatement, NonAdvancingRecordsAndFailuresKeepThePendingPart) {
  FileUnit file(68, "");
  const auto no = kErrorBranch | runtime::kAdvanceSpecifier;
  ASSERT_EQ(runtime::write_formatted(68, no, {runtime::item(std::string_view("abc"))}, "(A)", "NO"), 0);
  double real = 2.5;
  EXPECT_EQ(runtime::write_formatted(68, kErrorBranch, {runtime::item(std::string_view("zz")), runtime::item(real)},
                                     "(A,I5)"),
            61);
  ASSERT_EQ(runtime::write_formatted(68, kErrorBranch, {runtime::item(std::string_view("def"))}, "(A,$)"), 0);
  // Tabs of a continued record count from where it was continued.
  ASSERT_EQ(runtime::write_formatted(68, kErrorBranch, {runtime::item(std::string_view("xy"))}, "(TL2,T1,A)"), 0);
  EXPECT_EQ(runtime::write_formatted(68, no, {runtime::item(std::string_view("x"))}, "(A)", "perhaps"), 48);
  ASSERT_EQ(runtime::write_formatted(68, no, {runtime::item(std::string_view("last"))}, "(A)", "yes "), 0);
  EXPECT_EQ(file.content(), "abcdefxy\r\nlast\r\n");
}

TEST(WriteStatement, RecordLengthLimitsTheRecord) {
  FileUnit file(69, "", {runtime::keyword_integer(Keyword::RecordLength, 4)});
  std::int32_t value = 12345;
  EXPECT_EQ(runtime::write_formatted(69, kErrorBranch, {runtime::item(value)}, "(I5)"), 66);
  EXPECT_EQ(runtime::write_formatted(69, kErrorBranch, {runtime::item(value)}, "(I4)"), 63);
  EXPECT_EQ(file.content(), "****\r\n");
}

TEST(WriteStatement, WriteFailureIs38) {
  if (!io_test::file_exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ASSERT_EQ(runtime::open_unit(70, kErrorBranch, {keyword_text(Keyword::File, "/dev/full")}), 0);
  EXPECT_EQ(runtime::write_formatted(70, kErrorBranch, {runtime::item(std::string_view("x"))}, "(A)"), 38);
  runtime::close_unit(70, kErrorBranch);
}

TEST(WriteStatement, ReportedErrorsNameTheUnitAndFile) {
  io_test::MessageLog log;
  FileUnit file(71, "");
  std::int32_t value = 123;
  // Without an error branch an overflow is reported with severity error and the program goes on.
  EXPECT_EQ(runtime::write_formatted(71, 0, {runtime::item(value)}, "(I2)"), 0);
  EXPECT_EQ(runtime::write_formatted(71, 0, {runtime::item(value)}, "(I3)"), 0);
  EXPECT_NE(log.text().find("duzevi: error (63): output conversion error, unit 71, file " + file.path()),
            std::string::npos)
      << log.text();
  EXPECT_EQ(file.content(), "**\r\n123\r\n");
}

TEST(FormatErrors, SyntaxMessageComesEvenWithAnErrorBranch) {
  struct Case {
    std::string format;
    std::string shown;
  };
  const Case cases[] = {
      {"(I5,K3)", "K3)"},
      {"I5", "I5"},
      {"(I5," + std::string(100, 'K') + ")", std::string(80, 'K')},
  };
  for (const Case& c : cases) {
    io_test::MessageLog log;
    FileUnit file(72, "");
    std::int32_t value = 1;
    EXPECT_EQ(runtime::write_formatted(72, kErrorBranch, {runtime::item(value)}, runtime::FormatRef(c.format)), 62);
    std::string text = log.text();
    EXPECT_NE(text.find("duzevi: info (58): format syntax error at or near " + c.shown + "\r\n"), std::string::npos)
        << text;
    EXPECT_EQ(text.find("(62)"), std::string::npos) << text;
    EXPECT_EQ(file.content(), "");
  }
  io_test::MessageLog log;
  static const runtime::FixedFormat broken("(F20.10");
  double real = 1;
  char buffer[4];
  EXPECT_EQ(runtime::write_internal(buffer, kErrorBranch, {runtime::item(real)}, broken), 62);
  EXPECT_NE(log.text().find("(58)"), std::string::npos);
}

struct InternalCase {
  const char* what;
  const char* format;
  std::vector<std::int32_t> integers;
  std::vector<double> reals;
  std::size_t size;
  int status;
  std::string buffer;
};

TEST(InternalWrite, BufferIsTheRecord) {
  const InternalCase cases[] = {
      {"blank fill", "(I2)", {7}, {}, 5, 0, " 7   "},
      {"fits exactly", "(I5)", {-1234}, {}, 5, 0, "-1234"},
      {"past the end", "(I6)", {1}, {}, 5, 66, "     "},
      {"second field past the end", "(I3,I3)", {1, 2}, {}, 5, 66, "  1  "},
      {"second record", "(I2)", {1, 2}, {}, 5, 66, " 1   "},
      {"overflow completes", "(I2,I2)", {123, 4}, {}, 5, 63, "** 4 "},
      {"labels of the plot", "(F5.1)", {}, {2.26}, 6, 0, "  2.3 "},
      {"positions", "(T4,I1,TL3,I1)", {1, 2}, {}, 5, 0, " 2 1 "},
      {"nothing written", "()", {}, {}, 3, 0, "   "},
      {"empty buffer", "(I1)", {1}, {}, 0, 66, ""},
  };
  for (const InternalCase& c : cases) {
    std::vector<char> buffer(c.size, '#');
    std::vector<runtime::IoItem> items;
    for (const std::int32_t& value : c.integers) items.push_back(runtime::item(value));
    for (const double& value : c.reals) items.push_back(runtime::item(value));
    EXPECT_EQ(runtime::write_internal(buffer, kErrorBranch, items, c.format), c.status) << c.what;
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), c.buffer) << c.what;
  }
}

TEST(InternalWrite, MessagesNameTheInternalFile) {
  io_test::MessageLog log;
  char buffer[2];
  std::int32_t value = 100;
  EXPECT_EQ(runtime::write_internal(buffer, 0, {runtime::item(value)}, "(I2)"), 0);
  EXPECT_NE(log.text().find("output conversion error, unit -5, file Internal Formatted Write"), std::string::npos)
      << log.text();
}

TEST(StatementDeathTest, SevereErrorsWithoutABranchEndTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  io_test::ScratchDirectory directory;
  const std::string path = directory.file("answers.txt");
  io_test::write_file(path, "a\n");
  EXPECT_EXIT(
      {
        ::setenv("FOR_DISABLE_STACK_TRACE", "1", 1);
        runtime::open_unit(73, kErrorBranch, {keyword_text(Keyword::File, path)});
        std::int32_t value = 0;
        runtime::read_formatted(73, 0, {runtime::item(value)}, "(I1)");
        std::_Exit(0);
      },
      testing::ExitedWithCode(64), "severe \\(64\\): input conversion error, unit 73, file .*answers.txt");
  EXPECT_EXIT(
      {
        ::setenv("FOR_DISABLE_STACK_TRACE", "1", 1);
        std::int32_t value = 0;
        runtime::write_formatted(74, 0, {runtime::item(value)}, "(I5");
        std::_Exit(0);
      },
      testing::ExitedWithCode(62), "info \\(58\\): format syntax error at or near [^\n]*\n.*severe \\(62\\)");
}

}  // namespace
