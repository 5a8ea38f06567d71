#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "console/text_store.h"

namespace {

using console::TextStore;

struct TextRun {
  int row;
  int column;
  std::string text;
};

struct Expected {
  int row;
  int first_column;
  std::string text;
};

struct RecordCase {
  const char* name;
  std::vector<TextRun> runs;
  int right_column;
  std::vector<Expected> rows;
};

// Test names show the case name, not the bytes of the case.
void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.name; }

class TextStoreRecordTest : public ::testing::TestWithParam<RecordCase> {};

TEST_P(TextStoreRecordTest, RowsAfterRuns) {
  const RecordCase& c = GetParam();
  TextStore store;
  for (const TextRun& run : c.runs) store.record_run(run.row, run.column, run.text, c.right_column);
  ASSERT_EQ(store.rows().size(), c.rows.size());
  for (std::size_t i = 0; i < c.rows.size(); ++i) {
    EXPECT_EQ(store.rows()[i].row, c.rows[i].row) << i;
    EXPECT_EQ(store.rows()[i].first_column, c.rows[i].first_column) << i;
    EXPECT_EQ(store.rows()[i].text, c.rows[i].text) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextStoreRecordTest,
    ::testing::Values(
        RecordCase{"single", {{1, 1, "hello"}}, 80, {{1, 1, "hello"}}},
        RecordCase{"overwrite_middle", {{1, 1, "abcdef"}, {1, 3, "XY"}}, 80, {{1, 1, "abXYef"}}},
        RecordCase{"gap_filled_with_spaces", {{1, 1, "ab"}, {1, 6, "cd"}}, 80, {{1, 1, "ab   cd"}}},
        RecordCase{"run_before_entry", {{2, 5, "cd"}, {2, 1, "ab"}}, 80, {{2, 1, "ab  cd"}}},
        RecordCase{"clipped_at_right_column", {{1, 4, "abcdef"}}, 6, {{1, 4, "abc"}}},
        RecordCase{"trailing_spaces_trimmed", {{1, 1, "ab   "}}, 80, {{1, 1, "ab"}}},
        RecordCase{"blanks_remove_entry", {{1, 1, "ab"}, {1, 1, "  "}}, 80, {}},
        RecordCase{"blank_run_alone_makes_no_entry", {{3, 2, "    "}}, 80, {}},
        RecordCase{"leading_blanks_kept", {{1, 1, "  x"}}, 80, {{1, 1, "  x"}}},
        RecordCase{
            "rows_ordered", {{5, 1, "e"}, {2, 1, "b"}, {9, 1, "i"}}, 80, {{2, 1, "b"}, {5, 1, "e"}, {9, 1, "i"}}},
        RecordCase{"column_beyond_right_ignored", {{1, 81, "x"}}, 80, {}},
        RecordCase{"overwrite_tail_with_blanks_trims", {{1, 1, "abcdef"}, {1, 4, "   "}}, 80, {{1, 1, "abc"}}}),
    [](const ::testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

TEST(TextStoreTest, ScrollDropsTopRowAndMovesRowsInsideTheRange) {
  TextStore store;
  store.record_run(1, 1, "one", 80);
  store.record_run(2, 1, "two", 80);
  store.record_run(3, 1, "three", 80);
  store.record_run(5, 1, "outside", 80);
  store.scroll_up(1, 3);
  ASSERT_EQ(store.rows().size(), 3u);
  EXPECT_EQ(store.find(1)->text, "two");
  EXPECT_EQ(store.find(2)->text, "three");
  EXPECT_EQ(store.find(3), nullptr);
  EXPECT_EQ(store.find(5)->text, "outside");
}

TEST(TextStoreTest, BlankRegionBlanksCellsTrimsAndDropsEmptyRows) {
  TextStore store;
  store.record_run(1, 1, "abcdef", 80);
  store.record_run(2, 1, "xy", 80);
  store.record_run(4, 1, "keep", 80);
  store.blank_region(1, 4, 2, 80);  // columns 4.. of rows 1-2
  ASSERT_NE(store.find(1), nullptr);
  EXPECT_EQ(store.find(1)->text, "abc");
  EXPECT_EQ(store.find(2)->text, "xy");
  store.blank_region(1, 1, 2, 80);
  EXPECT_EQ(store.find(1), nullptr);
  EXPECT_EQ(store.find(2), nullptr);
  EXPECT_EQ(store.find(4)->text, "keep");
}

}  // namespace
