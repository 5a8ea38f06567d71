#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "console/graphics_status.h"
#include "console_test_support.h"

namespace console_test {
namespace {

using console::TextOrigin;

constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kWhite = 0xFFFFFFFFu;

struct WriteCase {
  const char* name;
  std::vector<std::string> writes;
  std::vector<std::pair<int, std::string>> rows;  // row -> text
  int row, column;                                // text position afterwards
};

// Test names show the case name, not the bytes of the case.
void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class TextWriteTest : public ConsoleTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(TextWriteTest, RowsAndPosition) {
  const WriteCase& c = GetParam();
  for (const std::string& w : c.writes) {
    ASSERT_EQ(core->write_text(kGraphic1, w), static_cast<long>(w.size()));
  }
  for (const auto& [row, text] : c.rows) EXPECT_EQ(row_text(kGraphic1, row), text) << "row " << row;
  EXPECT_EQ(store_size(kGraphic1), static_cast<int>(c.rows.size()));
  EXPECT_EQ(text_position(kGraphic1), std::make_pair(c.row, c.column));
}

const std::string k128(128, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, TextWriteTest,
    ::testing::Values(WriteCase{"carriage_return_overwrites", {std::string("ab\rc")}, {{1, "cb"}}, 1, 2},
                      WriteCase{"line_feed_moves_down", {std::string("ab\nc")}, {{1, "ab"}, {2, "c"}}, 2, 2},
                      WriteCase{"crlf_is_one_new_line", {std::string("ab\r\ncd")}, {{1, "ab"}, {2, "cd"}}, 2, 3},
                      WriteCase{"split_writes_continue", {"ab", "cd"}, {{1, "abcd"}}, 1, 5},
                      WriteCase{"one_cell_longer_than_row_wraps", {k128 + "y"}, {{1, k128}, {2, "y"}}, 2, 2},
                      WriteCase{"full_row_wraps_at_once", {k128}, {{1, k128}}, 2, 1},
                      WriteCase{
                          "full_row_then_line_feed_leaves_blank_row", {k128 + "\nz"}, {{1, k128}, {3, "z"}}, 3, 2},
                      WriteCase{"nul_ends_the_string", {std::string("ab\0cd", 5)}, {{1, "ab"}}, 1, 3},
                      WriteCase{"control_bytes_take_cells", {std::string("a\tb")}, {{1, "a\tb"}}, 1, 4},
                      WriteCase{"empty_write", {""}, {}, 1, 1}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST_F(ConsoleTest, LastRowWrapScrollsFirst) {
  for (int row = 1; row < 48; ++row) core->write_text(kGraphic1, "r" + std::to_string(row) + "\n");
  ASSERT_EQ(text_position(kGraphic1), std::make_pair(48, 1));
  core->write_text(kGraphic1, k128 + "y");
  EXPECT_EQ(row_text(kGraphic1, 1), "r2");  // "r1" scrolled out
  EXPECT_EQ(row_text(kGraphic1, 46), "r47");
  EXPECT_EQ(row_text(kGraphic1, 47), k128);
  EXPECT_EQ(row_text(kGraphic1, 48), "y");
  EXPECT_EQ(text_position(kGraphic1), std::make_pair(48, 2));
}

TEST_F(ConsoleTest, GlyphsUseTextAndBackgroundColoursOnly) {
  core->write_text(kGraphic1, "A");
  int lit = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 8; ++x) {
      const QRgb p = pixel(kGraphic1, x, y);
      EXPECT_TRUE(p == kBlack || p == kWhite) << std::hex << p;
      lit += p == kWhite ? 1 : 0;
    }
  }
  EXPECT_GT(lit, 4);
  // The next cell stays background.
  for (int y = 0; y < 16; ++y) EXPECT_EQ(pixel(kGraphic1, 8 + 3, y), kBlack);
}

// A virtual screen that is not a whole number of cells: a line feed on the last row moves
// only the cells of the text window.
TEST_F(ConsoleTest, ScrollingLeavesPixelsOutsideTheCellGrid) {
  const int window = core->create_window("Odd");
  auto record = core->find_window(window);
  console::WindowConfig config;
  config.pixels_x = 1030;
  config.pixels_y = 780;
  ASSERT_EQ(core->apply_config(*record, config), console::ConsoleCore::ApplyOutcome::Applied);
  with_record(window, [](console::ChildWindowRecord& r) {
    ASSERT_EQ(r.text_columns, 128);
    ASSERT_EQ(r.text_rows, 48);
    r.surface().setPixel(1027, 10, qRgb(255, 0, 0));  // right of the last column
    r.surface().setPixel(500, 775, qRgb(0, 255, 0));  // below the last row
    r.surface().setPixel(3, 770, qRgb(0, 0, 255));    // below the last row, left
  });
  for (int row = 1; row <= 48; ++row) core->write_text(window, "line\n");
  EXPECT_EQ(pixel(window, 1027, 10), qRgb(255, 0, 0));
  EXPECT_EQ(pixel(window, 500, 775), qRgb(0, 255, 0));
  EXPECT_EQ(pixel(window, 3, 770), qRgb(0, 0, 255));
  // The freed bottom row of the text window has the background colour.
  EXPECT_EQ(pixel(window, 2, 47 * 16 + 5), kBlack);
}

TEST_F(ConsoleTest, ScrollMovesPixelsUpOneRow) {
  core->write_text(kGraphic1, "\nA");  // A on row 2
  QRgb before[16][8];
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) before[y][x] = pixel(kGraphic1, x, 16 + y);
  with_record(kGraphic1, [](console::ChildWindowRecord& r) { r.text_row = 48; });
  core->write_text(kGraphic1, "\n");
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(pixel(kGraphic1, x, y), before[y][x]);
  EXPECT_EQ(row_text(kGraphic1, 1), "A");
}

TEST_F(ConsoleTest, WritingRefusesUnknownAndClosedWindows) {
  EXPECT_EQ(core->write_text(1063, "x"), -1);  // empty slot
  EXPECT_EQ(core->write_text(999, "x"), -1);   // outside the table
  const int window = core->create_window("Input Window");
  ASSERT_EQ(core->close_unit_window(window, true), 0);
  EXPECT_EQ(core->write_text(window, "x"), -1);
}

TEST_F(ConsoleTest, WritingConfiguresAWindowOnceAndKeepsGraphicsStatus) {
  const int window = core->create_window("Late");
  console::set_graphics_status(console::kStatusAltered);
  EXPECT_EQ(core->write_text(window, "x"), 1);
  EXPECT_EQ(presentation.count_events(window, console::WindowEvent::Shown), 1);
  core->write_text(window, "y");
  EXPECT_EQ(presentation.count_events(window, console::WindowEvent::Shown), 1);
  EXPECT_EQ(console::graphics_status(), console::kStatusAltered);
  EXPECT_EQ(presentation.written(window), "xy");
}

TEST_F(ConsoleTest, OutputLeavesActiveWindowUnlessItIsTheUnitWindow) {
  const int plain = core->create_window("Plain");
  ASSERT_EQ(core->active_window(), kGraphic1);
  core->write_text(plain, "a");
  EXPECT_EQ(core->active_window(), kGraphic1);
  const int unit_window = core->create_unit_window("Input Window", true);
  ASSERT_EQ(core->active_window(), unit_window);
  core->activate_window(plain);
  core->write_text(unit_window, "b");
  EXPECT_EQ(core->active_window(), unit_window);
}

TEST_F(ConsoleTest, DisplayCursorFlagsAndPendingLineEnd) {
  std::vector<int> owed;
  core->set_pending_line_end_writer([&](int window) { owed.push_back(window); });
  EXPECT_EQ(core->display_cursor(2), -1);
  EXPECT_EQ(console::graphics_status(), console::kStatusFailure);
  EXPECT_TRUE(owed.empty());
  EXPECT_EQ(core->display_cursor(1), 0);  // a configuration turns the cursor off
  EXPECT_EQ(core->display_cursor(0), 1);
  EXPECT_EQ(owed, (std::vector<int>{kGraphic1, kGraphic1}));
  auto info = core->window_info(kGraphic1);
  ASSERT_TRUE(info);
  EXPECT_FALSE(info->cursor_visible);
}

TEST_F(ConsoleTest, RepaintsAreCoalescedUntilTaken) {
  core->write_text(kGraphic1, "a");
  const int first = presentation.count_events(kGraphic1, console::WindowEvent::Changed);
  for (int i = 0; i < 50; ++i) core->write_text(kGraphic1, "b");
  EXPECT_EQ(presentation.count_events(kGraphic1, console::WindowEvent::Changed), first);
  QRect taken;
  ASSERT_TRUE(core->with_surface(kGraphic1, [&](const QImage&, const QRect& dirty) { taken = dirty; }));
  EXPECT_TRUE(taken.contains(QRect(0, 0, 51 * 8, 16)));
  core->write_text(kGraphic1, "c");
  EXPECT_EQ(presentation.count_events(kGraphic1, console::WindowEvent::Changed), first + 1);
}

TEST_F(ConsoleTest, CaretFollowsTextPosition) {
  core->write_text(kGraphic1, "abc\nde");
  auto info = core->window_info(kGraphic1);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->caret, QRect(2 * 8, 16, 8, 16));
}

}  // namespace
}  // namespace console_test
