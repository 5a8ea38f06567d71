// Units on text windows of the windowed console (a fake that records what windows receive):
// carriage control, held-back line ends, prompts written before reads, echo, the shared
// pending-record mark, window creation and closing, re-opening, and the blank-name dialog.

#include <string>
#include <vector>

#include "io_test_support.h"
#include "runtime/io/blank_name.h"

namespace {

using runtime::kErrorBranch;
using runtime::Keyword;
using runtime::keyword_logical;
using runtime::keyword_text;

const runtime::FixedFormat kLine("(1X,A)");
const runtime::FixedFormat kRaw("(A)");
const runtime::FixedFormat kDollar("(1X,A,$)");

struct Step {
  enum Kind { Write, WritePending, WriteDollar, WriteRaw, Read, OweCheck, Close } kind;
  std::int32_t unit;
  std::string text;  // text written, or the line typed for a Read
};

struct Scenario {
  const char* what;
  std::vector<Step> steps;
  std::string output;  // what the window shows, byte for byte
};

void run_steps(io_test::FakeWindows& fake, int window, const std::vector<Step>& steps, const char* what) {
  for (const Step& step : steps) {
    switch (step.kind) {
      case Step::Write:
        EXPECT_EQ(runtime::write_formatted(step.unit, kErrorBranch, {runtime::item(step.text)}, kLine), 0) << what;
        break;
      case Step::WritePending:
        EXPECT_EQ(runtime::write_formatted(step.unit, kErrorBranch | runtime::kAdvanceSpecifier,
                                           {runtime::item(step.text)}, kLine, "no"),
                  0)
            << what;
        break;
      case Step::WriteDollar:
        EXPECT_EQ(runtime::write_formatted(step.unit, kErrorBranch, {runtime::item(step.text)}, kDollar), 0) << what;
        break;
      case Step::WriteRaw:
        EXPECT_EQ(runtime::write_formatted(step.unit, kErrorBranch, {runtime::item(step.text)}, kRaw), 0) << what;
        break;
      case Step::Read: {
        fake.window(window).lines.push_back(step.text);
        char answer[16];
        EXPECT_EQ(runtime::read_formatted(step.unit, kErrorBranch, {runtime::item(answer, sizeof answer)}, "(A16)"), 0)
            << what;
        break;
      }
      case Step::OweCheck: runtime::write_owed_line_end(window); break;
      case Step::Close: EXPECT_EQ(runtime::close_unit(step.unit, kErrorBranch), 0) << what; break;
    }
  }
}

TEST(WindowUnits, CarriageControlPromptsAndEcho) {
  const Scenario scenarios[] = {
      {"advancing prompt: the answer goes on the next line",
       {{Step::Write, 10, "Question"}, {Step::Read, 10, "7"}},
       "Question\n7\r\n"},
      {"non-advancing prompt: the answer follows it",
       {{Step::WritePending, 10, "Select a map: "}, {Step::Read, 10, "3"}},
       "Select a map: 3\r\n"},
      {"the dialogue's pattern",
       {{Step::Write, 10, "1) You can select"},
        {Step::Write, 10, "   exemplar maps: "},
        {Step::WritePending, 10, "   Select a map: "},
        {Step::Read, 10, "x"},
        {Step::Write, 10, "Incorrect input"},
        {Step::WritePending, 10, "   Select a map: "},
        {Step::Read, 10, "3"}},
       "1) You can select\n   exemplar maps: \n   Select a map: x\r\nIncorrect input\n   Select a map: 3\r\n"},
      {"a dollar in the format keeps the record pending",
       {{Step::WriteDollar, 10, "Name? "}, {Step::Read, 10, "Bob"}},
       "Name? Bob\r\n"},
      {"a dollar control character lets the next record continue the line",
       {{Step::WriteRaw, 10, " a"}, {Step::WriteRaw, 10, "$"}, {Step::Read, 10, "b"}},
       "a\nb\r\n"},
      {"blank, zero, one, plus, dollar and NUL",
       {{Step::WriteRaw, 10, " a"},
        {Step::WriteRaw, 10, "0b"},
        {Step::WriteRaw, 10, "1c"},
        {Step::WriteRaw, 10, "+d"},
        {Step::WriteRaw, 10, std::string("\0e", 2)},
        {Step::WriteRaw, 10, "$f"},
        {Step::WriteRaw, 10, " g"},
        {Step::WriteRaw, 10, ""},
        {Step::WriteRaw, 10, "?h"}},
       "a\n\nb\nc\rde\nfg\n\nh\n"},
      {"a first record with zero starts with an empty line", {{Step::WriteRaw, 10, "0top"}}, "\ntop\n"},
      {"the owed line end is written on request",
       {{Step::Write, 10, "a"}, {Step::OweCheck, 10, ""}, {Step::OweCheck, 10, ""}, {Step::Write, 10, "b"}},
       "a\nb\n"},
      {"close writes the pending record and the owed line end",
       {{Step::Write, 10, "a"}, {Step::WritePending, 10, "Last"}, {Step::Close, 10, ""}},
       "a\nLast\n"},
  };
  for (const Scenario& scenario : scenarios) {
    io_test::FakeWindows fake;
    io_test::RegisteredWindows registered(fake);
    ASSERT_EQ(runtime::open_unit(10, kErrorBranch,
                                 {keyword_text(Keyword::File, "user"), keyword_text(Keyword::Title, "Input Window"),
                                  keyword_logical(Keyword::IoFocus, true), keyword_text(Keyword::Blank, "NULL"),
                                  keyword_text(Keyword::Status, "UNKNOWN")}),
              0);
    ASSERT_EQ(fake.windows.size(), 1u);
    run_steps(fake, 1024, scenario.steps, scenario.what);
    runtime::close_unit(10, kErrorBranch);
    EXPECT_EQ(fake.window(1024).output, scenario.output) << scenario.what;
  }
}

TEST(WindowUnits, StandardUnitsShareTheStandardWindow) {
  const Scenario scenarios[] = {
      {"a prompt of unit 6 is written before unit 5 reads",
       {{Step::WritePending, 6, "Name? "}, {Step::Read, 5, "Bob"}},
       "Name? Bob\r\n"},
      {"a pending record ends before another unit's record",
       {{Step::WritePending, 6, "Partial"}, {Step::Write, 0, "Other"}, {Step::Write, 6, "Next"}},
       "Partial\nOther\nNext"},
      {"the line end owed by one unit is written by the next",
       {{Step::Write, 6, "six"}, {Step::Write, 0, "zero"}, {Step::Read, 5, "in"}},
       "six\nzero\nin\r\n"},
  };
  for (const Scenario& scenario : scenarios) {
    io_test::FakeWindows fake;
    io_test::RegisteredWindows registered(fake);
    int window = fake.add_standard_window();
    run_steps(fake, window, scenario.steps, scenario.what);
    for (const Step& step : scenario.steps) EXPECT_EQ(runtime::unit_window_index(step.unit), window) << scenario.what;
    for (std::int32_t unit : {0, 5, 6}) runtime::close_unit(unit, kErrorBranch);
    EXPECT_EQ(fake.window(window).output.substr(0, scenario.output.size()), scenario.output) << scenario.what;
  }
}

TEST(WindowUnits, DispositionsRemoveOrKeepTheWindow) {
  struct Case {
    const char* status;  // nullptr: no keyword
    bool kept;
  };
  const Case cases[] = {
      {nullptr, false},        {"KEEP", true},   {"DELETE", false},        {"PRINT", true},
      {"PRINT/DELETE", false}, {"SUBMIT", true}, {"SUBMIT/DELETE", false},
  };
  for (const Case& c : cases) {
    io_test::FakeWindows fake;
    io_test::RegisteredWindows registered(fake);
    ASSERT_EQ(runtime::open_unit(11, kErrorBranch,
                                 {keyword_text(Keyword::File, "USER"), keyword_text(Keyword::Title, "Graphics")}),
              0);
    EXPECT_EQ(runtime::unit_window_index(11), 1024);
    if (c.status) {
      EXPECT_EQ(runtime::close_unit(11, kErrorBranch, {keyword_text(Keyword::Status, c.status)}), 0) << c.status;
    } else {
      EXPECT_EQ(runtime::close_unit(11, kErrorBranch), 0);
    }
    EXPECT_TRUE(fake.window(1024).closed);
    EXPECT_EQ(fake.window(1024).kept, c.kept) << (c.status ? c.status : "none");
    EXPECT_EQ(fake.window(1024).title, c.kept ? "Graphics-Closed" : "Graphics");
    EXPECT_EQ(runtime::unit_window_index(11), -1);
  }
}

TEST(WindowUnits, CreationTitlesFocusAndReopening) {
  io_test::FakeWindows fake;
  io_test::RegisteredWindows registered(fake);
  ASSERT_EQ(runtime::open_unit(12, kErrorBranch, {keyword_text(Keyword::File, "user")}), 0);
  EXPECT_EQ(fake.window(1024).title, "Unit 12");
  EXPECT_TRUE(fake.window(1024).focus);
  ASSERT_EQ(runtime::open_unit(13, kErrorBranch,
                               {keyword_text(Keyword::File, "User"), keyword_logical(Keyword::IoFocus, false)}),
            0);
  EXPECT_FALSE(fake.window(1025).focus);
  // Opening a window unit again keeps its window; IOFOCUS is passed on, the title stays.
  ASSERT_EQ(runtime::open_unit(13, kErrorBranch,
                               {keyword_text(Keyword::File, "USER"), keyword_text(Keyword::Title, "Other"),
                                keyword_logical(Keyword::IoFocus, true)}),
            0);
  EXPECT_TRUE(fake.window(1025).focus);
  EXPECT_EQ(fake.window(1025).title, "Unit 13");
  ASSERT_EQ(runtime::open_unit(13, kErrorBranch, {keyword_text(Keyword::File, "CON")}), 0);
  ASSERT_EQ(runtime::open_unit(13, kErrorBranch, {keyword_text(Keyword::File, "conout$")}), 0);
  EXPECT_EQ(fake.windows.size(), 2u);
  EXPECT_EQ(runtime::unit_window_index(13), 1025);
  // Another file closes the window first.
  io_test::ScratchDirectory directory;
  ASSERT_EQ(runtime::open_unit(13, kErrorBranch, {keyword_text(Keyword::File, directory.file("f.txt"))}), 0);
  EXPECT_TRUE(fake.window(1025).closed);
  EXPECT_FALSE(fake.window(1025).kept);
  EXPECT_EQ(runtime::unit_window_index(13), -1);
  // TITLE and IOFOCUS belong to window units.
  EXPECT_EQ(
      runtime::open_unit(13, kErrorBranch,
                         {keyword_text(Keyword::File, directory.file("f.txt")), keyword_text(Keyword::Title, "T")}),
      564);
  EXPECT_EQ(runtime::open_unit(
                14, kErrorBranch,
                {keyword_text(Keyword::File, directory.file("g.txt")), keyword_logical(Keyword::IoFocus, true)}),
            562);
  EXPECT_FALSE(io_test::file_exists(directory.file("g.txt")));
  EXPECT_EQ(runtime::unit_window_index(14), -1);
  // A window that cannot be made is error 9, and the unit stays unconnected.
  fake.refuse_windows = true;
  EXPECT_EQ(runtime::open_unit(15, kErrorBranch, {keyword_text(Keyword::File, "user")}), 9);
  EXPECT_EQ(runtime::unit_window_index(15), -1);
  EXPECT_EQ(runtime::unit_window_index(999999), -1);
  for (std::int32_t unit : {12, 13, 14, 15}) runtime::close_unit(unit, kErrorBranch);
}

TEST(WindowUnits, ReadingFailuresAndEndOfFile) {
  io_test::FakeWindows fake;
  io_test::RegisteredWindows registered(fake);
  ASSERT_EQ(runtime::open_unit(16, kErrorBranch, {keyword_text(Keyword::File, "user")}), 0);
  char answer[4];
  fake.window(1024).lines.push_back("\x1a");
  EXPECT_EQ(runtime::read_formatted(16, kErrorBranch, {runtime::item(answer, sizeof answer)}, "(A)"), 24);
  EXPECT_EQ(runtime::read_formatted(16, kErrorBranch | runtime::kEndBranch, {runtime::item(answer, 4)}, "(A)"), 39);
  fake.window(1024).lines.push_back("\x1a");
  EXPECT_EQ(runtime::read_formatted(16, runtime::kEndBranch, {runtime::item(answer, 4)}, "(A)"),
            runtime::kEndIndication);
  fake.window(1024).lines.push_back("ok");
  EXPECT_EQ(runtime::read_formatted(16, kErrorBranch, {runtime::item(answer, 4)}, "(A)"), 0);
  EXPECT_EQ(std::string(answer, 4), "ok  ");
  runtime::close_unit(16, kErrorBranch);
}

TEST(WindowUnits, EveryStatementPassesThePauseGate) {
  io_test::FakeWindows fake;
  io_test::RegisteredWindows registered(fake);
  ASSERT_EQ(runtime::open_unit(17, kErrorBranch, {keyword_text(Keyword::File, "user")}), 0);
  EXPECT_EQ(fake.gate_passes, 1);
  runtime::write_formatted(17, kErrorBranch, {runtime::item(std::string_view("x"))}, kLine);
  fake.window(1024).lines.push_back("1");
  std::int32_t value = 0;
  runtime::read_formatted(17, kErrorBranch, {runtime::item(value)}, "(I1)");
  char buffer[4];
  runtime::write_internal(buffer, kErrorBranch, {runtime::item(value)}, "(I4)");
  runtime::close_unit(17, kErrorBranch);
  EXPECT_EQ(fake.gate_passes, 5);
}

TEST(WindowUnits, AStatementStartedInsideAnotherOnTheSameUnitIsRecursive) {
  io_test::FakeWindows fake;
  io_test::RegisteredWindows registered(fake);
  ASSERT_EQ(runtime::open_unit(18, kErrorBranch, {keyword_text(Keyword::File, "user")}), 0);
  int inner = -100;
  int other_unit = -100;
  fake.during_write = [&] {
    inner = runtime::write_formatted(18, kErrorBranch, {runtime::item(std::string_view("inner"))}, kLine);
    other_unit = runtime::write_internal(std::span<char>(), kErrorBranch, {}, "()");
  };
  EXPECT_EQ(runtime::write_formatted(18, kErrorBranch, {runtime::item(std::string_view("outer"))}, kLine), 0);
  EXPECT_EQ(inner, 40);
  EXPECT_EQ(other_unit, 0);
  runtime::close_unit(18, kErrorBranch);
  EXPECT_EQ(fake.window(1024).output, "outer\n");
}

TEST(WindowUnits, BlankNameAsksTheFileDialogUntilAFileIsChosen) {
  io_test::ScratchDirectory directory(true);
  io_test::FakeWindows fake;
  io_test::RegisteredWindows registered(fake);
  fake.file_answers = {std::nullopt, std::string("  "), std::string(" chosen.txt ")};
  fake.yes_no_answers = {false, false};
  ASSERT_EQ(runtime::open_unit(19, kErrorBranch, {keyword_text(Keyword::File, "")}), 0);
  ASSERT_EQ(fake.questions.size(), 2u);
  EXPECT_EQ(fake.questions[0], "File Open Error|A File Must be Selected\r\rTerminate Program?");
  ASSERT_EQ(runtime::write_formatted(19, kErrorBranch, {runtime::item(std::string_view("s"))}, kRaw), 0);
  ASSERT_EQ(runtime::close_unit(19, kErrorBranch), 0);
  EXPECT_EQ(io_test::read_file(directory.file("chosen.txt")), "s\r\n");
  // A dialog that is always cancelled and never answered Yes gives up instead of looping.
  fake.questions.clear();
  EXPECT_EQ(runtime::open_unit(19, kErrorBranch, {keyword_text(Keyword::File, "   ")}), 43);
  EXPECT_EQ(fake.questions.size(), static_cast<std::size_t>(runtime::kMaxFileDialogRounds));
}

TEST(WindowUnitsDeathTest, AnsweringYesEndsTheProgramWithStatusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        io_test::FakeWindows fake;
        fake.yes_no_answers = {true};
        runtime::register_window_services(&fake);
        runtime::open_unit(20, kErrorBranch, {keyword_text(Keyword::File, "")});
        std::_Exit(99);
      },
      testing::ExitedWithCode(1), "");
}

}  // namespace
