// Selection logic: the text copied out of a text store, movement keys and the mouse, the
// cells and pixels a selection covers, and the title prefixes.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "console/selection.h"
#include "console/text_store.h"

namespace console_test {
namespace {

using console::Selection;
using console::SelectionKey;
using console::SelectionLimits;
using console::SelectionMode;
using console::SelectionPoint;

SelectionLimits text_limits() {
  SelectionLimits limits;
  limits.text_columns = 10;
  limits.text_rows = 5;
  limits.pixels_x = 80;
  limits.pixels_y = 80;
  return limits;
}

SelectionLimits graphics_limits() {
  SelectionLimits limits = text_limits();
  limits.pixels_x = 20;
  limits.pixels_y = 10;
  limits.has_graphics = true;
  return limits;
}

Selection text_selection(SelectionPoint anchor, SelectionPoint current) {
  Selection selection;
  selection.mode = SelectionMode::Text;
  selection.anchor = anchor;
  selection.current = current;
  return selection;
}

// Rows as written by text output: (row, first column, text), counted from 1.
struct StoreRow {
  int row;
  int column;
  std::string text;
};

console::TextStore make_store(const std::vector<StoreRow>& rows) {
  console::TextStore store;
  for (const StoreRow& r : rows) store.record_run(r.row, r.column, r.text, 200);
  return store;
}

struct CopyCase {
  const char* name;
  std::vector<StoreRow> rows;
  Selection selection;
  std::string expected;
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

class CopyTextTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyTextTest, CopiesWhatIsShown) {
  const CopyCase& c = GetParam();
  EXPECT_EQ(console::copy_selected_text(make_store(c.rows), c.selection), c.expected);
}

Selection marking_only() {
  Selection selection = text_selection({1, 0}, {1, 0});
  selection.marking = true;
  return selection;
}

Selection graphics_rectangle() {
  Selection selection = text_selection({0, 0}, {5, 1});
  selection.mode = SelectionMode::Graphics;
  return selection;
}

const std::vector<StoreRow> kTwoRows = {{1, 1, "hello world"}, {2, 1, "second line"}};

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyTextTest,
    ::testing::Values(
        CopyCase{"middle_of_one_row_to_middle_of_the_next", kTwoRows, text_selection({6, 0}, {3, 1}), "world\r\nsec"},
        CopyCase{"current_point_before_the_anchor", kTwoRows, text_selection({3, 1}, {6, 0}), "world\r\nsec"},
        CopyCase{"blank_rows_add_nothing",
                 {{1, 1, "alpha"}, {4, 1, "delta"}},
                 text_selection({0, 0}, {5, 3}),
                 "alpha\r\ndelta"},
        CopyCase{"blanks_before_the_first_written_column",
                 {{1, 5, "xyz"}, {2, 1, "q"}},
                 text_selection({0, 0}, {0, 1}),
                 "    xyz\r\n"},
        CopyCase{"within_a_row", {{1, 1, "hello"}}, text_selection({1, 0}, {3, 0}), "el"},
        CopyCase{"within_a_row_to_its_end", {{1, 1, "hello"}}, text_selection({2, 0}, {9, 0}), "llo\r\n"},
        CopyCase{"within_a_row_exactly_to_its_end", {{1, 1, "hello"}}, text_selection({0, 0}, {5, 0}), "hello\r\n"},
        CopyCase{
            "first_row_starting_after_its_text", {{1, 1, "ab"}, {2, 1, "cd"}}, text_selection({5, 0}, {1, 1}), "\r\nc"},
        CopyCase{"ending_at_the_start_of_a_row", kTwoRows, text_selection({0, 0}, {0, 1}), "hello world\r\n"},
        CopyCase{"rows_between_are_whole",
                 {{1, 1, "one"}, {2, 3, "two"}, {3, 1, "three"}},
                 text_selection({1, 0}, {2, 2}),
                 "ne\r\n  two\r\nth"},
        CopyCase{"nothing_between_equal_points", kTwoRows, text_selection({4, 1}, {4, 1}), ""},
        CopyCase{"a_mark_alone_copies_nothing", kTwoRows, marking_only(), ""},
        CopyCase{"graphics_copies_no_text", kTwoRows, graphics_rectangle(), ""},
        CopyCase{"no_text_at_all", {}, text_selection({0, 0}, {9, 4}), ""}));

struct WholeWindowCase {
  const char* name;
  std::vector<StoreRow> rows;
  std::string expected;
};

TEST(SelectAllTest, TextOnlyWindowCopiesAllItsText) {
  const std::vector<WholeWindowCase> cases = {
      {"last row blank", {{1, 1, "one"}, {2, 1, "two"}}, "one\r\ntwo\r\n"},
      {"blank row between", {{1, 1, "one"}, {3, 1, "three"}, {5, 1, "five"}}, "one\r\nthree\r\nfive"},
      // The last row's last cell belongs to the selection.
      {"full last row", {{1, 1, "a"}, {5, 1, "0123456789"}}, "a\r\n0123456789"},
  };
  const Selection all = console::select_whole_window(text_limits());
  EXPECT_EQ(all.mode, SelectionMode::Text);
  EXPECT_TRUE(all.select_all);
  EXPECT_TRUE(all.has_area());
  for (const WholeWindowCase& c : cases) {
    EXPECT_EQ(console::copy_selected_text(make_store(c.rows), all), c.expected) << c.name;
  }
}

TEST(SelectAllTest, WindowWithGraphicsSelectsItsWholePicture) {
  const Selection all = console::select_whole_window(graphics_limits());
  EXPECT_EQ(all.mode, SelectionMode::Graphics);
  EXPECT_EQ(console::selected_pixels(all), QRect(0, 0, 20, 10));
  EXPECT_STREQ(console::selection_title_prefix(all), "Select Graphics in ");
  // A fixed selection takes no keys.
  Selection moved = all;
  EXPECT_FALSE(console::apply_selection_key(moved, SelectionKey::Left, false, true, graphics_limits(), {}));
  EXPECT_EQ(moved.current, all.current);
}

// ---- keys ----

struct Press {
  SelectionKey key;
  bool ctrl;
  bool shift;
};

struct KeyCase {
  const char* name;
  SelectionMode mode;
  SelectionPoint start;  // the mark
  std::vector<Press> presses;
  SelectionPoint anchor;
  SelectionPoint current;
  bool marking;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class SelectionKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(SelectionKeyTest, MovesTheMarkOrTheSelection) {
  const KeyCase& c = GetParam();
  const SelectionLimits limits = c.mode == SelectionMode::Text ? text_limits() : graphics_limits();
  Selection selection = console::begin_selection(c.mode, limits, QPoint(0, 0));
  selection.anchor = selection.current = c.start;
  for (const Press& p : c.presses) {
    console::apply_selection_key(selection, p.key, p.ctrl, p.shift, limits, console::SelectionPage{4, 2});
  }
  EXPECT_EQ(selection.anchor, c.anchor);
  EXPECT_EQ(selection.current, c.current);
  EXPECT_EQ(selection.marking, c.marking);
  EXPECT_EQ(selection.has_area(), !c.marking);
}

constexpr Press kRight{SelectionKey::Right, false, false};
constexpr Press kShiftRight{SelectionKey::Right, false, true};
constexpr Press kShiftDown{SelectionKey::Down, false, true};
constexpr Press kLeft{SelectionKey::Left, false, false};
constexpr Press kShiftLeft{SelectionKey::Left, false, true};

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionKeyTest,
    ::testing::Values(
        KeyCase{"mark_moves_without_shift", SelectionMode::Text, {0, 0}, {kRight, kRight}, {2, 0}, {2, 0}, true},
        KeyCase{"shift_selects_from_the_mark",
                SelectionMode::Text,
                {2, 1},
                {kShiftRight, kShiftDown},
                {2, 1},
                {3, 2},
                false},
        KeyCase{"moving_without_shift_drops_the_selection",
                SelectionMode::Text,
                {2, 1},
                {kShiftRight, kShiftRight, kLeft},
                {3, 1},
                {3, 1},
                true},
        KeyCase{"shift_back_over_the_anchor",
                SelectionMode::Text,
                {2, 1},
                {kShiftLeft, kShiftLeft, kShiftLeft},
                {2, 1},
                {0, 1},
                false},
        KeyCase{"left_stops_at_column_zero", SelectionMode::Text, {0, 3}, {kLeft}, {0, 3}, {0, 3}, true},
        KeyCase{"end_goes_after_the_last_column",
                SelectionMode::Text,
                {3, 2},
                {{SelectionKey::End, false, true}},
                {3, 2},
                {10, 2},
                false},
        KeyCase{"ctrl_end_goes_to_the_last_row",
                SelectionMode::Text,
                {3, 2},
                {{SelectionKey::End, true, false}},
                {10, 4},
                {10, 4},
                true},
        KeyCase{"ctrl_home_goes_to_the_top_left",
                SelectionMode::Text,
                {3, 2},
                {{SelectionKey::Home, true, true}},
                {3, 2},
                {0, 0},
                false},
        KeyCase{"home_keeps_the_row",
                SelectionMode::Text,
                {3, 2},
                {{SelectionKey::Home, false, false}},
                {0, 2},
                {0, 2},
                true},
        KeyCase{"page_down_moves_a_page_of_rows",
                SelectionMode::Text,
                {1, 0},
                {{SelectionKey::PageDown, false, true}},
                {1, 0},
                {1, 2},
                false},
        KeyCase{"page_down_is_clamped",
                SelectionMode::Text,
                {1, 3},
                {{SelectionKey::PageDown, false, false}},
                {1, 4},
                {1, 4},
                true},
        KeyCase{"ctrl_page_down_moves_across",
                SelectionMode::Text,
                {1, 0},
                {{SelectionKey::PageDown, true, false}},
                {5, 0},
                {5, 0},
                true},
        KeyCase{"ctrl_page_up_moves_back_across",
                SelectionMode::Text,
                {9, 0},
                {{SelectionKey::PageUp, true, true}},
                {9, 0},
                {5, 0},
                false},
        KeyCase{"graphics_end_is_the_last_pixel",
                SelectionMode::Graphics,
                {3, 3},
                {{SelectionKey::End, true, true}},
                {3, 3},
                {19, 9},
                false},
        KeyCase{"graphics_moves_by_pixels",
                SelectionMode::Graphics,
                {3, 3},
                {kShiftRight, kShiftDown},
                {3, 3},
                {4, 4},
                false}));

TEST(SelectionStartTest, MarkStartsAtTheTopLeftVisibleCellOrPixel) {
  SelectionLimits limits = text_limits();
  limits.text_columns = 100;
  limits.text_rows = 50;
  limits.pixels_x = limits.pixels_y = 1000;
  const Selection text = console::begin_selection(SelectionMode::Text, limits, QPoint(20, 40));
  EXPECT_TRUE(text.marking);
  EXPECT_FALSE(text.has_area());
  EXPECT_EQ(text.anchor, (SelectionPoint{2, 2}));
  EXPECT_EQ(text.current, text.anchor);
  const Selection graphics = console::begin_selection(SelectionMode::Graphics, limits, QPoint(20, 40));
  EXPECT_EQ(graphics.anchor, (SelectionPoint{20, 40}));
  EXPECT_FALSE(console::begin_selection(SelectionMode::None, limits, QPoint()).active());
}

// ---- mouse ----

TEST(SelectionMouseTest, PointerPositionsBecomePoints) {
  struct Case {
    SelectionMode mode;
    QPoint pixel;
    SelectionPoint expected;
  };
  const std::vector<Case> cases = {
      {SelectionMode::Text, {11, 31}, {1, 1}},  // 1.375 columns: the boundary left of it
      {SelectionMode::Text, {12, 15}, {2, 0}},  // half a cell rounds to the next boundary
      {SelectionMode::Text, {-7, -3}, {0, 0}},  // clamped into the buffer
      {SelectionMode::Text, {500, 500}, {10, 4}},   {SelectionMode::Graphics, {7, 9}, {7, 9}},
      {SelectionMode::Graphics, {30, -2}, {19, 0}},
  };
  for (const Case& c : cases) {
    const SelectionLimits limits = c.mode == SelectionMode::Text ? text_limits() : graphics_limits();
    EXPECT_EQ(console::point_at_pixel(c.mode, c.pixel, limits), c.expected) << c.pixel.x() << "," << c.pixel.y();
  }
}

TEST(SelectionMouseTest, PressDragAndReleaseSelect) {
  Selection selection = console::begin_selection(SelectionMode::Text, text_limits(), QPoint());
  EXPECT_STREQ(console::selection_title_prefix(selection), "Mark Text - ");
  console::press_selection_mouse(selection, {4, 1});
  EXPECT_FALSE(selection.marking);
  EXPECT_TRUE(selection.mouse_used);
  EXPECT_EQ(selection.phase, console::DragPhase::Dragging);
  EXPECT_STREQ(console::selection_title_prefix(selection), "Select Text - ");
  console::drag_selection_mouse(selection, {2, 3});
  EXPECT_EQ(selection.current, (SelectionPoint{2, 3}));
  console::release_selection_mouse(selection, {6, 3});
  EXPECT_EQ(selection.phase, console::DragPhase::Done);
  EXPECT_EQ(selection.anchor, (SelectionPoint{4, 1}));
  EXPECT_EQ(selection.current, (SelectionPoint{6, 3}));
  EXPECT_TRUE(selection.has_area());
  // Moving after the release changes nothing; a new press starts again.
  console::drag_selection_mouse(selection, {0, 0});
  EXPECT_EQ(selection.current, (SelectionPoint{6, 3}));
  console::press_selection_mouse(selection, {1, 1});
  EXPECT_EQ(selection.anchor, (SelectionPoint{1, 1}));
  EXPECT_EQ(selection.current, (SelectionPoint{1, 1}));
}

TEST(SelectionMouseTest, SelectAllIgnoresTheMouse) {
  Selection selection = console::select_whole_window(text_limits());
  const Selection before = selection;
  console::press_selection_mouse(selection, {1, 1});
  EXPECT_EQ(selection.anchor, before.anchor);
  EXPECT_EQ(selection.phase, console::DragPhase::None);
}

// ---- what is covered ----

TEST(SelectionAreaTest, CellsPerRow) {
  struct Case {
    const char* name;
    Selection selection;
    std::vector<QRect> cells;
  };
  const std::vector<Case> cases = {
      {"one row", text_selection({5, 1}, {2, 1}), {QRect(2, 1, 3, 1)}},
      {"two rows", text_selection({3, 1}, {2, 2}), {QRect(3, 1, 7, 1), QRect(0, 2, 2, 1)}},
      {"rows between", text_selection({2, 4}, {3, 1}), {QRect(3, 1, 7, 1), QRect(0, 2, 10, 2), QRect(0, 4, 2, 1)}},
      {"ending at column zero", text_selection({0, 0}, {0, 1}), {QRect(0, 0, 10, 1)}},
      {"empty", text_selection({4, 2}, {4, 2}), {}},
      {"mark only", marking_only(), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(console::selected_cells(c.selection, 10), c.cells) << c.name;
}

TEST(SelectionAreaTest, PixelsAndMark) {
  Selection rectangle = graphics_rectangle();
  rectangle.anchor = {12, 7};
  rectangle.current = {3, 2};
  EXPECT_EQ(console::selected_pixels(rectangle), QRect(QPoint(3, 2), QPoint(12, 7)));
  EXPECT_EQ(console::mark_area(rectangle, graphics_limits()), QRect(3, 2, 1, 1));
  EXPECT_TRUE(console::selected_pixels(text_selection({0, 0}, {3, 3})).isEmpty());
  // A text mark after the last column shows on the last cell.
  const Selection end = text_selection({10, 2}, {10, 2});
  EXPECT_EQ(console::mark_area(end, text_limits()), QRect(9 * 8, 2 * 16, 8, 16));
}

TEST(SelectionTitleTest, Prefixes) {
  Selection selection;
  EXPECT_STREQ(console::selection_title_prefix(selection), "");
  selection = console::begin_selection(SelectionMode::Graphics, graphics_limits(), QPoint());
  EXPECT_STREQ(console::selection_title_prefix(selection), "Mark Graphics - ");
  console::press_selection_mouse(selection, {1, 1});
  EXPECT_STREQ(console::selection_title_prefix(selection), "Select Graphics in ");
  EXPECT_STREQ(console::selection_title_prefix(console::select_whole_window(text_limits())), "Select Text - ");
}

}  // namespace
}  // namespace console_test
