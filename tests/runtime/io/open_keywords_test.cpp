// OPEN and CLOSE keyword values and their consistency checks.

#include <vector>

#include "io_test_support.h"
#include "runtime/io/open_keywords.h"

namespace {

using runtime::Keyword;
using runtime::keyword_integer;
using runtime::keyword_logical;
using runtime::keyword_text;
using runtime::KeywordValue;

struct KeywordCase {
  const char* what;
  std::vector<KeywordValue> keywords;
  int error;
};

TEST(OpenKeywords, ValuesAndConsistencyChecks) {
  const KeywordCase cases[] = {
      {"none", {}, 0},
      {"file and status", {keyword_text(Keyword::File, "a.txt"), keyword_text(Keyword::Status, "unknown ")}, 0},
      {"every status", {keyword_text(Keyword::Status, "Old")}, 0},
      {"new", {keyword_text(Keyword::Status, "NEW")}, 0},
      {"replace", {keyword_text(Keyword::Status, "replace")}, 0},
      {"bad status", {keyword_text(Keyword::Status, "OLDISH")}, 570},
      {"status as integer", {keyword_integer(Keyword::Status, 1)}, 570},
      {"bad mode", {keyword_text(Keyword::Mode, "READING")}, 571},
      {"bad access", {keyword_text(Keyword::Access, "KEYED")}, 572},
      {"bad blank", {keyword_text(Keyword::Blank, "ZEROS")}, 573},
      {"bad form", {keyword_text(Keyword::Form, "TEXT")}, 574},
      {"bad share", {keyword_text(Keyword::Share, "DENYALL")}, 575},
      {"recl zero", {keyword_integer(Keyword::RecordLength, 0)}, 581},
      {"recl negative", {keyword_integer(Keyword::RecordLength, -5)}, 581},
      {"recl text", {keyword_text(Keyword::RecordLength, "80")}, 581},
      {"bad position", {keyword_text(Keyword::Position, "END")}, 748},
      {"bad action", {keyword_text(Keyword::Action, "EXECUTE")}, 749},
      {"bad delim", {keyword_text(Keyword::Delim, "COMMA")}, 751},
      {"bad pad", {keyword_text(Keyword::Pad, "MAYBE")}, 753},
      {"bad carriage control", {keyword_text(Keyword::CarriageControl, "ASA")}, 754},
      {"carriage control kinds", {keyword_text(Keyword::CarriageControl, "fortran")}, 0},
      {"bad record type", {keyword_text(Keyword::RecordType, "LINES")}, 45},
      {"bad convert", {keyword_text(Keyword::Convert, "EBCDIC")}, 45},
      {"good convert", {keyword_text(Keyword::Convert, "big_endian")}, 0},
      {"bad organization", {keyword_text(Keyword::Organization, "INDEXED")}, 45},
      {"bad dispose", {keyword_text(Keyword::Dispose, "BURN")}, 45},
      {"buffer count range", {keyword_integer(Keyword::BufferCount, 0)}, 45},
      {"block size negative", {keyword_integer(Keyword::BlockSize, -1)}, 45},
      {"file as integer", {keyword_integer(Keyword::File, 3)}, 45},
      {"title as logical", {keyword_logical(Keyword::Title, true)}, 45},
      {"iofocus as text", {keyword_text(Keyword::IoFocus, "YES")}, 45},
      {"scratch with a name", {keyword_text(Keyword::Status, "SCRATCH"), keyword_text(Keyword::File, "x")}, 567},
      {"scratch with a blank name", {keyword_text(Keyword::Status, "SCRATCH"), keyword_text(Keyword::File, "  ")}, 0},
      {"keep scratch", {keyword_text(Keyword::Status, "SCRATCH"), keyword_text(Keyword::Dispose, "KEEP")}, 566},
      {"print scratch", {keyword_text(Keyword::Status, "SCRATCH"), keyword_text(Keyword::Dispose, "PRINT")}, 46},
      {"read a new file", {keyword_text(Keyword::Action, "READ"), keyword_text(Keyword::Status, "NEW")}, 46},
      {"read-only replace", {keyword_logical(Keyword::ReadOnly, true), keyword_text(Keyword::Status, "REPLACE")}, 46},
      {"read-only write", {keyword_logical(Keyword::ReadOnly, true), keyword_text(Keyword::Action, "WRITE")}, 46},
      {"mode and action differ", {keyword_text(Keyword::Mode, "READ"), keyword_text(Keyword::Action, "WRITE")}, 46},
      {"mode and action agree", {keyword_text(Keyword::Mode, "READ"), keyword_text(Keyword::Action, "read")}, 0},
      {"append rewound", {keyword_text(Keyword::Access, "APPEND"), keyword_text(Keyword::Position, "REWIND")}, 46},
      {"direct without recl", {keyword_text(Keyword::Access, "DIRECT")}, 46},
      {"direct with recl", {keyword_text(Keyword::Access, "DIRECT"), keyword_integer(Keyword::RecordLength, 20)}, 0},
      {"unformatted delim", {keyword_text(Keyword::Form, "UNFORMATTED"), keyword_text(Keyword::Delim, "QUOTE")}, 750},
      {"unformatted pad", {keyword_text(Keyword::Form, "UNFORMATTED"), keyword_text(Keyword::Pad, "NO")}, 752},
      {"unformatted list", {keyword_text(Keyword::Form, "BINARY"), keyword_text(Keyword::CarriageControl, "LIST")}, 46},
      {"fixed without recl", {keyword_text(Keyword::RecordType, "FIXED")}, 46},
      {"formatted variable", {keyword_text(Keyword::RecordType, "VARIABLE")}, 44},
      {"unformatted stream_lf",
       {keyword_text(Keyword::Form, "UNFORMATTED"), keyword_text(Keyword::RecordType, "STREAM_LF")},
       44},
  };
  for (const KeywordCase& c : cases) {
    runtime::OpenRequest request;
    EXPECT_EQ(runtime::read_open_keywords(c.keywords, request), c.error) << c.what;
  }
}

// Every keyword's row: a value of the wrong type, and the ends of the integer ranges.
TEST(OpenKeywords, ValueTypesAndRanges) {
  const KeywordCase cases[] = {
      {"status as logical", {keyword_logical(Keyword::Status, true)}, 570},
      {"mode as integer", {keyword_integer(Keyword::Mode, 1)}, 571},
      {"access as integer", {keyword_integer(Keyword::Access, 1)}, 572},
      {"blank as integer", {keyword_integer(Keyword::Blank, 1)}, 573},
      {"form as logical", {keyword_logical(Keyword::Form, false)}, 574},
      {"share as integer", {keyword_integer(Keyword::Share, 1)}, 575},
      {"recl as logical", {keyword_logical(Keyword::RecordLength, true)}, 581},
      {"recl largest", {keyword_integer(Keyword::RecordLength, 2147483647)}, 0},
      {"recl past the largest", {keyword_integer(Keyword::RecordLength, 2147483648)}, 581},
      {"position as integer", {keyword_integer(Keyword::Position, 0)}, 748},
      {"action as integer", {keyword_integer(Keyword::Action, 0)}, 749},
      {"delim as integer", {keyword_integer(Keyword::Delim, 0)}, 751},
      {"pad as logical", {keyword_logical(Keyword::Pad, true)}, 753},
      {"carriage control as integer", {keyword_integer(Keyword::CarriageControl, 0)}, 754},
      {"record type as integer", {keyword_integer(Keyword::RecordType, 0)}, 45},
      {"convert as integer", {keyword_integer(Keyword::Convert, 0)}, 45},
      {"read-only as text", {keyword_text(Keyword::ReadOnly, "YES")}, 45},
      {"read-only as integer", {keyword_integer(Keyword::ReadOnly, 2)}, 0},
      {"read-only false and write",
       {keyword_logical(Keyword::ReadOnly, false), keyword_text(Keyword::Action, "WRITE")},
       0},
      {"block size zero", {keyword_integer(Keyword::BlockSize, 0)}, 0},
      {"block size as text", {keyword_text(Keyword::BlockSize, "512")}, 45},
      {"buffer count largest", {keyword_integer(Keyword::BufferCount, 127)}, 0},
      {"buffer count past the largest", {keyword_integer(Keyword::BufferCount, 128)}, 45},
      {"buffer count as logical", {keyword_logical(Keyword::BufferCount, true)}, 45},
      {"organization relative", {keyword_text(Keyword::Organization, "relative")}, 0},
      {"organization as integer", {keyword_integer(Keyword::Organization, 1)}, 45},
      {"dispose as integer", {keyword_integer(Keyword::Dispose, 1)}, 45},
      {"iofocus as integer", {keyword_integer(Keyword::IoFocus, 1)}, 0},
      {"first error wins", {keyword_text(Keyword::Access, "KEYED"), keyword_text(Keyword::Form, "TEXT")}, 572},
  };
  for (const KeywordCase& c : cases) {
    runtime::OpenRequest request;
    EXPECT_EQ(runtime::read_open_keywords(c.keywords, request), c.error) << c.what;
  }
}

// Each keyword fills its own field of the request.
TEST(OpenKeywords, EveryKeywordFillsItsField) {
  runtime::OpenRequest request;
  std::vector<KeywordValue> keywords = {
      keyword_text(Keyword::Status, "old"),     keyword_text(Keyword::Access, "direct"),
      keyword_text(Keyword::Form, "binary"),    keyword_integer(Keyword::RecordLength, 8),
      keyword_text(Keyword::Position, "asis"),  keyword_text(Keyword::Mode, "readwrite"),
      keyword_text(Keyword::Share, "denyrw"),   keyword_text(Keyword::RecordType, "segmented"),
      keyword_text(Keyword::Convert, "cray"),   keyword_integer(Keyword::BlockSize, 4096),
      keyword_integer(Keyword::BufferCount, 3), keyword_text(Keyword::Dispose, "submit/delete"),
  };
  ASSERT_EQ(runtime::read_open_keywords(keywords, request), 0);
  EXPECT_EQ(request.status, runtime::FileStatus::Old);
  EXPECT_EQ(request.access, runtime::AccessMode::Direct);
  EXPECT_EQ(request.form, runtime::FormMode::Binary);
  EXPECT_EQ(request.record_length, 8);
  EXPECT_EQ(request.position, runtime::FilePosition::AsIs);
  EXPECT_EQ(request.action, runtime::ActionMode::ReadWrite);
  EXPECT_EQ(request.share, runtime::ShareMode::DenyReadWrite);
  EXPECT_EQ(request.record_type, runtime::RecordType::Segmented);
  EXPECT_EQ(request.conversion, runtime::DataConversion::Cray);
  EXPECT_EQ(request.block_size, 4096);
  EXPECT_EQ(request.buffer_count, 3);
  EXPECT_EQ(request.disposition, runtime::Disposition::SubmitDelete);
  EXPECT_FALSE(request.file.has_value());
  EXPECT_FALSE(request.delimiter.has_value());
}

TEST(OpenKeywords, ValuesAreRecorded) {
  runtime::OpenRequest request;
  std::vector<KeywordValue> keywords = {
      keyword_text(Keyword::File, " data.txt "), keyword_text(Keyword::Title, "Graphics"),
      keyword_logical(Keyword::IoFocus, false),  keyword_text(Keyword::Blank, "zero"),
      keyword_text(Keyword::Pad, "no"),          keyword_text(Keyword::CarriageControl, "NONE"),
      keyword_logical(Keyword::ReadOnly, true),  keyword_integer(Keyword::RecordLength, 132),
  };
  ASSERT_EQ(runtime::read_open_keywords(keywords, request), 0);
  EXPECT_EQ(*request.file, " data.txt ");
  EXPECT_EQ(*request.title, "Graphics");
  EXPECT_EQ(request.iofocus, false);
  EXPECT_EQ(request.blank, runtime::BlankMode::Zero);
  EXPECT_EQ(request.pad, false);
  EXPECT_EQ(request.carriage_control, runtime::CarriageControl::None);
  EXPECT_EQ(request.action, runtime::ActionMode::Read);
  EXPECT_EQ(request.record_length, 132);
}

TEST(CloseKeywords, Dispositions) {
  using runtime::Disposition;
  struct Case {
    std::vector<KeywordValue> keywords;
    int error;
    std::optional<Disposition> disposition;
  };
  const Case cases[] = {
      {{}, 0, std::nullopt},
      {{keyword_text(Keyword::Status, "keep")}, 0, Disposition::Keep},
      {{keyword_text(Keyword::Status, "SAVE")}, 0, Disposition::Keep},
      {{keyword_text(Keyword::Status, "DELETE")}, 0, Disposition::Delete},
      {{keyword_text(Keyword::Dispose, "print/delete")}, 0, Disposition::PrintDelete},
      {{keyword_text(Keyword::Dispose, "SUBMIT/DELETE  ")}, 0, Disposition::SubmitDelete},
      {{keyword_text(Keyword::Status, "SUBMIT")}, 0, Disposition::Submit},
      {{keyword_text(Keyword::Status, "PRINT")}, 0, Disposition::Print},
      {{keyword_text(Keyword::Status, "ERASE")}, 570, std::nullopt},
      {{keyword_text(Keyword::Dispose, "ERASE")}, 45, std::nullopt},
      {{keyword_text(Keyword::Status, "KEEP"), keyword_text(Keyword::Dispose, "DELETE")}, 46, std::nullopt},
      {{keyword_text(Keyword::File, "x")}, 46, std::nullopt},
  };
  for (const Case& c : cases) {
    std::optional<Disposition> disposition;
    EXPECT_EQ(runtime::read_close_keywords(c.keywords, disposition), c.error);
    if (c.error == 0) {
      EXPECT_EQ(disposition, c.disposition);
    }
  }
}

}  // namespace
