// Walking compiled formats: repeat counts, groups, reversion, the infinite-loop error, the end
// of the item list, position and mode descriptors.

#include <gtest/gtest.h>

#include <string>

#include "format_walk.h"
#include "runtime/format/format.h"
#include "runtime/format/format_layout.h"

namespace {

using format_test::walk;
using format_test::WalkOptions;

std::string repeat_words(const std::string& word, int count, const std::string& separator) {
  std::string words;
  for (int i = 0; i < count; ++i) words += (i == 0 ? "" : separator) + word;
  return words;
}

struct WalkCase {
  const char* text;
  int items;
  const char* walk;
};

class FormatWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(FormatWalk, HandsOutDescriptorsInOrder) {
  const WalkCase& c = GetParam();
  EXPECT_EQ(walk(c.text, c.items), c.walk) << "format " << c.text << " with " << c.items << " items";
}

INSTANTIATE_TEST_SUITE_P(Reversion, FormatWalk,
                         ::testing::Values(
                             // No inner group: every record starts again at the beginning.
                             WalkCase{"(I2,I3)", 5, "I2 I3@2 / I2 I3@2 / I2 End"},
                             // The record goes back to the group 3(1X,F8.3), not to the start.
                             WalkCase{"(1X,I5,3(1X,F8.3))", 8,
                                      "I5@1 F8.3@7 F8.3@16 F8.3@25 / F8.3@1 F8.3@10 F8.3@19 / F8.3@1 End"},
                             // The group's repeat count is restored at every reversion.
                             WalkCase{"(I1,2(I2,I3))", 9, "I1 I2@1 I3@3 I2@6 I3@8 / I2 I3@2 I2@5 I3@7 End"},
                             // Reversion goes to the last group at the outer level, whatever is nested inside it.
                             WalkCase{"(I1,(I2),(I3))", 4, "I1 I2@1 I3@3 / I3 End"},
                             WalkCase{"(I1,(I2,(I3)))", 5, "I1 I2@1 I3@3 / I2 I3@2 End"},
                             WalkCase{"(I1,2(I2),I3)", 6, "I1 I2@1 I2@3 I3@5 / I2 I2@2 End"},
                             // Literals after the last item are still written; the next data descriptor ends the walk.
                             WalkCase{"('x=',I2,' y')", 1, "'x=' I2@2 ' y'@4 End"},
                             WalkCase{"('x=',I2,' y')", 2, "'x=' I2@2 ' y'@4 / 'x=' I2@2 ' y'@4 End"}));

INSTANTIATE_TEST_SUITE_P(
    RepeatCounts, FormatWalk,
    ::testing::Values(WalkCase{"(3I5)", 3, "I5 I5@5 I5@10 End"}, WalkCase{"(3I5)", 4, "I5 I5@5 I5@10 / I5 End"},
                      // A repeat cut short by the end of the items leaves the rest of the format unused.
                      WalkCase{"(3I2,'x')", 2, "I2 I2@2 End"},
                      WalkCase{"(2(I1,'-'),'!')", 2, "I1 '-'@1 I1@2 '-'@3 '!'@4 End"},
                      WalkCase{"(2(2(I1)))", 5, "I1 I1@1 I1@2 I1@3 / I1 End"},
                      // `/` is handed out once per repeat.
                      WalkCase{"(I2,3/I2)", 2, "I2 / / / I2 End"}, WalkCase{"(2/)", 0, "/ / End"},
                      WalkCase{"(I1,//,I1)", 2, "I1 / / I1 End"}, WalkCase{"(2(I1,/),'e')", 2, "I1 / I1 / 'e' End"}));

INSTANTIATE_TEST_SUITE_P(ColonDollarAndQ, FormatWalk,
                         ::testing::Values(WalkCase{"(I1,:,'x')", 1, "I1 End"},
                                           WalkCase{"(I1,:,'x')", 2, "I1 'x'@1 / I1 End"},
                                           WalkCase{"('a',:,'b')", 0, "'a' End"}, WalkCase{"(A,$)", 1, "A $ End"},
                                           WalkCase{"(' Q?',\\)", 0, "' Q?' $ End"}, WalkCase{"(Q,A)", 2, "Q A End"},
                                           WalkCase{"(2Q)", 3, "Q Q / Q End"}));

INSTANTIATE_TEST_SUITE_P(
    InfiniteLoop, FormatWalk,
    ::testing::Values(WalkCase{"()", 1, "err60"}, WalkCase{"()", 0, "End"}, WalkCase{"('abc')", 1, "'abc' err60"},
                      WalkCase{"(1X,/,'t')", 1, "/ 't' err60"},
                      // After a reversion to a group without data descriptors nothing can take the items.
                      WalkCase{"(I5,2(1X))", 2, "I5 / err60"},
                      WalkCase{"(I5,2('-'))", 2, "I5 '-'@5 '-'@6 / '-' '-'@1 err60"},
                      WalkCase{"(2147483647(2147483647(1X)))", 1, "err60"},
                      WalkCase{"(2147483647(2147483647(BN,SP,1X,TL2,T3)))", 1, "err60"}));

// A group pass that hands out neither data nor a record end and ends where it began would
// do the same again: the group's remaining passes are skipped, whatever the repeat counts.
// Passes that move on, change a mode or use data are all made.
INSTANTIATE_TEST_SUITE_P(
    PassesWithoutEffect, FormatWalk,
    ::testing::Values(WalkCase{"(2147483647(''))", 0, "'' End"}, WalkCase{"(2147483647(2147483647('')))", 0, "'' End"},
                      WalkCase{"(2147483647(2147483647('x',TL1)))", 0, "'x' End"},
                      WalkCase{"(2147483647(2147483647($)))", 0, "$ End"},
                      WalkCase{"(2147483647(2147483647($)))", 1, "$ err60"},
                      WalkCase{"(2147483647(''),I5)", 1, "'' I5 End"}, WalkCase{"(3('a',TL1))", 0, "'a' End"},
                      // The first pass changes the sign mode; the second ends as it began.
                      WalkCase{"(3(SP,'a',TL1))", 0, "'a' 'a' End"}, WalkCase{"(3('ab'))", 0, "'ab' 'ab'@2 'ab'@4 End"},
                      WalkCase{"(2('x',TL1,I1))", 2, "'x' I1 'x'@1 I1@1 End"},
                      WalkCase{"(3('-',/))", 0, "'-' / '-' / '-' / End"}));

// Whatever loops without data and does not stop changing (record ends, a record that keeps
// growing) ends with 60 after kMaxHandoutsWithoutData literals, record ends and `$`.
TEST(FormatWalkLimit, LoopsWithoutDataEndWithError60) {
  const struct {
    const char* text;
    int items;
  } cases[] = {
      {"(2147483647(2147483647(/)))", 0},
      {"(2147483647(2147483647(BN,,/X,TL2,T3)))", 0},
      {"(2147483647('ab',TL1))", 0},
      {"(2147483647(2147483647(/)),I1)", 1},
  };
  for (const auto& c : cases) {
    runtime::CompiledFormat format;
    std::size_t offset = 0;
    ASSERT_EQ(runtime::compile_format(c.text, format, offset), 0) << c.text;
    runtime::FormatCursor cursor(format, {});
    runtime::RecordPosition record;
    std::int64_t handed_out = 0;
    int status = 0;
    for (std::int64_t call = 0; call <= runtime::kMaxHandoutsWithoutData; ++call) {
      runtime::EditDescriptor d;
      status = runtime::next_edit_descriptor(cursor, record, c.items > 0, d);
      if (status != 0 || d.kind == runtime::DescriptorKind::End) break;
      ++handed_out;
      if (d.kind == runtime::DescriptorKind::Slash) record = runtime::RecordPosition{};
      if (d.kind == runtime::DescriptorKind::Literal) record.position += static_cast<std::size_t>(d.literal_length);
    }
    EXPECT_EQ(status, 60) << c.text;
    EXPECT_EQ(handed_out, runtime::kMaxHandoutsWithoutData) << c.text;
  }
}

// A data descriptor starts the count again: a million and more record ends, each after an
// item, are all written.
TEST(FormatWalkLimit, DataStartsTheCountAgain) {
  runtime::CompiledFormat format;
  std::size_t offset = 0;
  ASSERT_EQ(runtime::compile_format("(2147483647(I1,/))", format, offset), 0);
  runtime::FormatCursor cursor(format, {});
  runtime::RecordPosition record;
  const std::int64_t items = std::int64_t{runtime::kMaxHandoutsWithoutData} + 10;
  std::int64_t slashes = 0;
  for (std::int64_t item = 0; item < items; ++item) {
    runtime::EditDescriptor d;
    ASSERT_EQ(runtime::next_edit_descriptor(cursor, record, true, d), 0);
    ASSERT_EQ(d.kind, runtime::DescriptorKind::I);
    ASSERT_EQ(runtime::next_edit_descriptor(cursor, record, true, d), 0);
    ASSERT_EQ(d.kind, runtime::DescriptorKind::Slash);
    ++slashes;
  }
  EXPECT_EQ(slashes, items);
}

// The record the series file writes: "(F20.10)" over ten values gives ten one-field records.
TEST(FormatWalkSeries, F20_10OverTenItemsGivesTenRecords) {
  EXPECT_EQ(walk("(F20.10)", 10), repeat_words("F20.10", 10, " / ") + " End");
  EXPECT_EQ(walk("(F20.10)", 1), "F20.10 End");
}

TEST(FormatWalkSeries, SameWalkWhateverTheCaseOfLetters) {
  for (int items : {0, 1, 3}) {
    EXPECT_EQ(walk("(i6)", items), walk("(I6)", items));
    EXPECT_EQ(walk("(1x,a,3(f8.3,1x),t2,i2)", items), walk("(1X,A,3(F8.3,1X),T2,I2)", items));
  }
}

// Once the statement has ended, further calls keep ending it.
TEST(FormatCursorEnd, EndIsStable) {
  for (const char* text : {"(I1)", "(I1,:,'x')", "(I1,'x')", "(3I2)"}) {
    runtime::CompiledFormat format;
    std::size_t offset = 0;
    ASSERT_EQ(runtime::compile_format(text, format, offset), 0);
    runtime::FormatCursor cursor(format, {});
    runtime::RecordPosition record;
    runtime::EditDescriptor d;
    ASSERT_EQ(runtime::next_edit_descriptor(cursor, record, true, d), 0);
    do {
      ASSERT_EQ(runtime::next_edit_descriptor(cursor, record, false, d), 0);
    } while (d.kind != runtime::DescriptorKind::End);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(runtime::next_edit_descriptor(cursor, record, false, d), 0);
      EXPECT_EQ(d.kind, runtime::DescriptorKind::End) << text;
    }
  }
}

// I, O, Z and B without m get m = 1; written m is kept, including 0.
TEST(FormatDataDescriptor, MinimumDigitsDefaultToOne) {
  struct Case {
    const char* text;
    runtime::DescriptorKind kind;
    bool has_w;
    std::int32_t w;
    bool has_d;
    std::int32_t d;
  };
  using K = runtime::DescriptorKind;
  const Case cases[] = {
      {"(I)", K::I, false, 0, false, 1},      {"(I5)", K::I, true, 5, false, 1},
      {"(I5.3)", K::I, true, 5, true, 3},     {"(I5.0)", K::I, true, 5, true, 0},
      {"(O8)", K::O, true, 8, false, 1},      {"(Z4)", K::Z, true, 4, false, 1},
      {"(B16)", K::B, true, 16, false, 1},    {"(B16.16)", K::B, true, 16, true, 16},
      {"(F20.10)", K::F, true, 20, true, 10}, {"(F)", K::F, false, 0, false, 0},
      {"(A)", K::A, false, 0, false, 0},      {"(L3)", K::L, true, 3, false, 0},
  };
  for (const Case& c : cases) {
    runtime::CompiledFormat format;
    std::size_t offset = 0;
    ASSERT_EQ(runtime::compile_format(c.text, format, offset), 0) << c.text;
    runtime::FormatCursor cursor(format, {});
    runtime::RecordPosition record;
    runtime::EditDescriptor d;
    ASSERT_EQ(runtime::next_edit_descriptor(cursor, record, true, d), 0);
    EXPECT_EQ(d.kind, c.kind) << c.text;
    EXPECT_EQ(d.has_w, c.has_w) << c.text;
    EXPECT_EQ(d.w, c.w) << c.text;
    EXPECT_EQ(d.has_d, c.has_d) << c.text;
    EXPECT_EQ(d.d, c.d) << c.text;
    EXPECT_FALSE(d.has_e) << c.text;
  }
}

// An input statement copies what it read over a literal; the compiled format keeps it.
TEST(FormatLiteral, LiteralTextIsWritableInPlace) {
  runtime::CompiledFormat format;
  std::size_t offset = 0;
  ASSERT_EQ(runtime::compile_format("(I1,5HHELLO,'ab''c')", format, offset), 0);
  {
    runtime::FormatCursor cursor(format, {});
    runtime::RecordPosition record;
    runtime::EditDescriptor d;
    ASSERT_EQ(runtime::next_edit_descriptor(cursor, record, true, d), 0);
    ASSERT_EQ(runtime::next_edit_descriptor(cursor, record, false, d), 0);
    ASSERT_EQ(d.kind, runtime::DescriptorKind::Literal);
    ASSERT_EQ(d.literal_length, 5);
    std::copy_n("world", 5, d.literal);
    ASSERT_EQ(runtime::next_edit_descriptor(cursor, record, false, d), 0);
    ASSERT_EQ(d.literal_length, 4);
    EXPECT_EQ(std::string(d.literal, 4), "ab'c");
  }
  EXPECT_EQ(format_test::walk_compiled(format, 1), "I1 'world'@1 'ab'c'@6 End");
}

// Position descriptors: T counts from the left tab limit, TL never goes before it, X and TR
// may pass the end of what was written.
struct PositionCase {
  const char* text;
  int items;
  std::size_t start;
  std::size_t left_tab_limit;
  const char* walk;
};

class FormatPosition : public ::testing::TestWithParam<PositionCase> {};

TEST_P(FormatPosition, MovesRecordPosition) {
  const PositionCase& c = GetParam();
  WalkOptions options;
  options.start.position = c.start;
  options.start.left_tab_limit = c.left_tab_limit;
  EXPECT_EQ(walk(c.text, c.items, options), c.walk) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Columns, FormatPosition,
    ::testing::Values(PositionCase{"(T5,I2,TL3,I2,TR2,I2,T1,I1)", 4, 0, 0, "I2@4 I2@3 I2@7 I1 End"},
                      PositionCase{"(I3,TL10,I1)", 2, 0, 0, "I3 I1 End"},
                      PositionCase{"(100X,I1)", 1, 0, 0, "I1@100 End"},
                      PositionCase{"(TR100,I1,X,I1)", 2, 0, 0, "I1@100 I1@102 End"},
                      // A new record after `/` or a reversion starts again at column 1.
                      PositionCase{"(5X,I1,/,T3,I1)", 3, 0, 0, "I1@5 / I1@2 / I1@5 / End"},
                      // A non-advancing record continued at column 11: T and TL count from there.
                      PositionCase{"(T1,I1,T5,I1)", 2, 10, 10, "I1@10 I1@14 End"},
                      PositionCase{"(TL100,I1)", 1, 12, 10, "I1@10 End"},
                      PositionCase{"(2X,I1)", 1, 10, 10, "I1@12 End"},
                      // Position descriptors after the last item are applied before the statement ends.
                      PositionCase{"(I1,5X,'|')", 1, 0, 0, "I1 '|'@6 End"}));

// Groups that only move the position are applied in one step; they must land exactly where
// walking them pass by pass lands. The second form of each pair hands out an empty literal on
// every pass of every group, which forces the pass-by-pass walk.
TEST(FormatPosition, GroupAppliedAtOnceMatchesPassByPass) {
  const char* bodies[] = {"2X",        "TL3",          "T4",        "2X,TL3",   "TL3,2X",
                          "T4,1X",     "1X,T4",        "3X,TL1",    "TL1,3X",   "T3,TL5,2X",
                          "2(1X),TL1", "2(TL2,3X),T2", "2(T9,TL4)", "X,2(TL1)", "3(2(X),TL5)"};
  const int repeats[] = {1, 2, 3, 7};
  const std::size_t starts[] = {0, 2, 6, 20};
  for (const char* body : bodies) {
    for (int r : repeats) {
      for (std::size_t start : starts) {
        const std::string folded = "(" + std::to_string(r) + "(" + body + "),I1)";
        std::string stepped_body;
        for (const char* p = body; *p != '\0'; ++p)
          stepped_body += (*p == ')') ? std::string(",'')") : std::string(1, *p);
        const std::string stepped = "(" + std::to_string(r) + "(" + stepped_body + ",''),I1)";
        WalkOptions options;
        options.start.position = start;
        options.start.left_tab_limit = start / 2;
        const std::string expected = walk(stepped, 1, options);
        ASSERT_NE(expected.find("I1"), std::string::npos) << stepped;
        const std::string got = walk(folded, 1, options);
        const std::string tail = expected.substr(expected.find("I1"));
        EXPECT_EQ(got, tail) << folded << " from " << start;
      }
    }
  }
}

TEST(FormatPosition, HugeRepeatsOfMovesSaturateInsteadOfLooping) {
  runtime::CompiledFormat format;
  std::size_t offset = 0;
  ASSERT_EQ(runtime::compile_format("(2147483647(2147483647(2147483647(TR2147483647))),I1)", format, offset), 0);
  runtime::FormatCursor cursor(format, {});
  runtime::RecordPosition record;
  runtime::EditDescriptor d;
  ASSERT_EQ(runtime::next_edit_descriptor(cursor, record, true, d), 0);
  EXPECT_EQ(d.kind, runtime::DescriptorKind::I);
  EXPECT_EQ(record.position, static_cast<std::size_t>(runtime::format_layout::kPositionLimit));

  ASSERT_EQ(runtime::compile_format("(T3,2147483647(2147483647(TL2147483647)),I1)", format, offset), 0);
  runtime::FormatCursor back(format, {});
  record = runtime::RecordPosition{40, 7};
  ASSERT_EQ(runtime::next_edit_descriptor(back, record, true, d), 0);
  EXPECT_EQ(record.position, 7u);
}

// A group with `:` stops at the `:` when no items remain; with items it is skipped through.
TEST(FormatPosition, ColonInsideMoveOnlyGroup) {
  runtime::CompiledFormat format;
  std::size_t offset = 0;
  ASSERT_EQ(runtime::compile_format("(I1,2(1X,:,5X),I1)", format, offset), 0);
  EXPECT_EQ(format_test::walk_compiled(format, 2), "I1 I1@13 End");

  ASSERT_EQ(runtime::compile_format("(I1,2(1X,:,5X))", format, offset), 0);
  runtime::FormatCursor cursor(format, {});
  runtime::RecordPosition record;
  runtime::EditDescriptor d;
  ASSERT_EQ(runtime::next_edit_descriptor(cursor, record, true, d), 0);
  record.position += 1;
  ASSERT_EQ(runtime::next_edit_descriptor(cursor, record, false, d), 0);
  EXPECT_EQ(d.kind, runtime::DescriptorKind::End);
  EXPECT_EQ(record.position, 2u);  // 1X applied, stopped at the `:`
}

// Edit modes: set by BN/BZ, S/SP/SS and kP, taken from the statement at the start, kept across
// reversion, and set by groups applied in one step.
struct ModesCase {
  const char* text;
  int items;
  runtime::EditModes initial;
  const char* walk;
};

class FormatModes : public ::testing::TestWithParam<ModesCase> {};

TEST_P(FormatModes, TracksEditModes) {
  const ModesCase& c = GetParam();
  WalkOptions options;
  options.modes = c.initial;
  options.show_modes = true;
  EXPECT_EQ(walk(c.text, c.items, options), c.walk) << c.text;
}

constexpr runtime::EditModes kStart{};
constexpr runtime::EditModes kBlankZeroUnit{runtime::BlankMode::Zero, runtime::SignMode::Processor, 0};

INSTANTIATE_TEST_SUITE_P(
    Modes, FormatModes,
    ::testing::Values(
        ModesCase{"(F8.3,BZ,SP,2P,I2)", 3, kStart, "F8.3[BN S 0P] I2@8[BZ SP 2P] / F8.3[BZ SP 2P] End"},
        ModesCase{"(BN,F8.3,BZ,SS,-1P,F8.3)", 3, kStart, "F8.3[BN S 0P] F8.3@8[BZ SS -1P] / F8.3[BN SS -1P] End"},
        ModesCase{"(1PE12.4)", 2, kStart, "E12.4[BN S 1P] / E12.4[BN S 1P] End"},
        ModesCase{"(I2)", 1, kBlankZeroUnit, "I2[BZ S 0P] End"},
        ModesCase{"(I2,BN)", 2, kBlankZeroUnit, "I2[BZ S 0P] / I2[BN S 0P] End"},
        ModesCase{"(2(BZ,SP,3P),F5.1)", 1, kStart, "F5.1[BZ SP 3P] End"},
        ModesCase{"(3(BZ,2(SP,1P),SS),F5.1)", 1, kStart, "F5.1[BZ SS 1P] End"},
        ModesCase{"(SP,I1,2(S,'-'),I1)", 2, kStart, "I1[BN SP 0P] '-'@1 '-'@2 I1@3[BN S 0P] End"},
        ModesCase{"(I1,2(I1,SP))", 4, kStart, "I1[BN S 0P] I1@1[BN S 0P] I1@2[BN SP 0P] / I1[BN SP 0P] End"}));

// A CompiledFormat that was never compiled behaves as the empty format.
TEST(FormatCursorEdge, UncompiledFormatIsEmpty) {
  runtime::CompiledFormat format;
  EXPECT_EQ(format_test::walk_compiled(format, 0), "End");
  EXPECT_EQ(format_test::walk_compiled(format, 1), "err60");
}

}  // namespace
