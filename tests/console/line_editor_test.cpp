#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "console/line_editor.h"

namespace {

using console::kLineCapacity;
using console::kTabWidth;
using console::LineEditor;
using console::PastedChunk;
using Outcome = console::LineEditor::Outcome;

LineEditor editor_with(int typed) {
  LineEditor editor;
  editor.start_line();
  for (int i = 0; i < typed; ++i) editor.type('a', false);
  return editor;
}

TEST(LineEditorTest, LineHoldsAtMost128BytesAndBeepsBeyond) {
  LineEditor editor = editor_with(128);
  EXPECT_EQ(editor.count(), 128);
  const auto result = editor.type('z', false);
  EXPECT_EQ(result.outcome, Outcome::Beep);
  EXPECT_TRUE(result.beep);
  EXPECT_TRUE(result.echo.empty());
  EXPECT_EQ(editor.count(), 128);
  EXPECT_EQ(editor.line().back(), 'a');
}

struct BackspaceCase {
  const char* name;
  int typed;
  bool at_first_cell;
  Outcome outcome;
  int count_after;
};

// Test names show the case name, not the bytes of the case.
void PrintTo(const BackspaceCase& c, std::ostream* os) { *os << c.name; }

class BackspaceTest : public ::testing::TestWithParam<BackspaceCase> {};

TEST_P(BackspaceTest, Outcome) {
  const BackspaceCase& c = GetParam();
  LineEditor editor = editor_with(c.typed);
  const auto result = editor.type(8, c.at_first_cell);
  EXPECT_EQ(result.outcome, c.outcome);
  EXPECT_EQ(result.beep, c.outcome == Outcome::Beep);
  EXPECT_EQ(editor.count(), c.count_after);
}

INSTANTIATE_TEST_SUITE_P(Cases, BackspaceTest,
                         ::testing::Values(BackspaceCase{"nothing_typed", 0, false, Outcome::Nothing, 0},
                                           BackspaceCase{"nothing_typed_at_first_cell", 0, true, Outcome::Nothing, 0},
                                           BackspaceCase{"first_cell_beeps_with_bytes", 3, true, Outcome::Beep, 3},
                                           BackspaceCase{"drops_last_byte", 3, false, Outcome::Erase, 2}),
                         [](const ::testing::TestParamInfo<BackspaceCase>& info) {
                           return std::string(info.param.name);
                         });

struct TabCase {
  int typed;
  int spaces;
  bool beep;
};

void PrintTo(const TabCase& c, std::ostream* os) { *os << c.typed << "_typed"; }

class TabTest : public ::testing::TestWithParam<TabCase> {};

TEST_P(TabTest, AppendsSpacesUpTo126) {
  const TabCase& c = GetParam();
  LineEditor editor = editor_with(c.typed);
  const auto result = editor.type(9, false);
  EXPECT_EQ(result.echo, std::string(static_cast<std::size_t>(c.spaces), ' '));
  EXPECT_EQ(result.beep, c.beep);
  EXPECT_EQ(editor.count(), c.typed + c.spaces);
}

INSTANTIATE_TEST_SUITE_P(Cases, TabTest,
                         ::testing::Values(TabCase{0, 8, false}, TabCase{118, 8, false}, TabCase{120, 6, true},
                                           TabCase{125, 1, true}, TabCase{126, 0, true}, TabCase{128, 0, true}));

TEST(LineEditorTest, EnterEndsTheLineAndControlBytesAreStored) {
  LineEditor editor = editor_with(0);
  EXPECT_EQ(editor.type(26, false).outcome, Outcome::Stored);  // Ctrl+Z is a byte like others
  EXPECT_EQ(editor.line(), std::string(1, '\x1a'));
  EXPECT_EQ(editor.type(13, false).outcome, Outcome::LineEnded);
  EXPECT_EQ(editor.type(10, false).outcome, Outcome::LineEnded);
  EXPECT_EQ(editor.count(), 1);
}

TEST(LineEditorTest, CarriedTextIsGivenInParts) {
  LineEditor editor;
  editor.carry("es");
  EXPECT_TRUE(editor.has_carried());
  EXPECT_EQ(editor.take_carried(1), "e");
  EXPECT_EQ(editor.take_carried(10), "s");
  EXPECT_FALSE(editor.has_carried());
}

struct Chunk {
  std::string text;
  bool completes;
  bool ended;
};

struct ChunkCase {
  const char* name;
  std::string pasted;
  int raw_limit;
  int room;  // for both a complete and an open chunk
  std::vector<Chunk> chunks;
};

// Test names show the case name, not the bytes of the case.
void PrintTo(const ChunkCase& c, std::ostream* os) { *os << c.name; }

class PasteChunkTest : public ::testing::TestWithParam<ChunkCase> {};

TEST_P(PasteChunkTest, ChunksInOrder) {
  const ChunkCase& c = GetParam();
  LineEditor editor;
  ASSERT_TRUE(editor.paste(c.pasted));
  for (std::size_t i = 0; i < c.chunks.size(); ++i) {
    ASSERT_TRUE(editor.paste_pending()) << "chunk " << i;
    const auto chunk = editor.take_chunk(c.raw_limit, c.room, c.room);
    EXPECT_EQ(chunk.text, c.chunks[i].text) << "chunk " << i;
    EXPECT_EQ(chunk.completes_line, c.chunks[i].completes) << "chunk " << i;
    EXPECT_EQ(chunk.paste_ended, c.chunks[i].ended) << "chunk " << i;
    EXPECT_LE(static_cast<int>(chunk.text.size()), c.room) << "chunk " << i;
  }
  EXPECT_FALSE(editor.paste_pending());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasteChunkTest,
    ::testing::Values(
        ChunkCase{"two_lines", "one\ntwo\n", 1024, 1024, {{"one", true, false}, {"two", true, true}}},
        ChunkCase{"no_final_line_feed", "one\ntwo", 1024, 1024, {{"one", true, false}, {"two", false, true}}},
        ChunkCase{"tab_expands", "a\tb\n", 1024, 1024, {{"a        b", true, true}}},
        ChunkCase{"carriage_return_rewinds", "abc\rX\n", 1024, 1024, {{"Xbc", true, true}}},
        ChunkCase{"byte_limit_splits_line", "abcdefgh\n", 5, 1024, {{"abcde", true, false}, {"fgh", true, true}}},
        ChunkCase{"line_feed_after_limit_taken", "abcde\nfg\n", 5, 1024, {{"abcde", true, false}, {"fg", true, true}}},
        ChunkCase{
            "expansion_cut_keeps_rest", "a\t\tb\n", 1024, 10, {{"a        ", true, false}, {"        b", true, true}}},
        ChunkCase{"expansion_exactly_fills", "\t\t\n", 1024, 16, {{std::string(16, ' '), true, true}}},
        ChunkCase{"empty_lines", "\n\nx\n", 1024, 1024, {{"", true, false}, {"", true, false}, {"x", true, true}}},
        ChunkCase{"nul_ends_paste", std::string("ab\0cd\n", 6), 1024, 1024, {{"ab", false, true}}}),
    [](const ::testing::TestParamInfo<ChunkCase>& info) { return std::string(info.param.name); });

// A read takes its first pasted chunk with the reader's buffer as the room of a chunk that
// completes the line and the whole line as the room of one that leaves it open. A chunk cut
// because it does not fit the line completes the line, so it must fit the reader's buffer
// too: for every buffer size, no chunk is larger than the room of its kind, and the bytes
// not taken stay pasted, so the chunks together hold everything pasted.
TEST(LineEditorTest, EveryChunkFitsTheRoomOfItsKind) {
  const std::string pastes[] = {std::string(17, '\t'),           "ab\tcd\tef\tgh\t" + std::string(20, '\t'),
                                std::string(200, 'x'),           std::string(16, '\t') + "\n",
                                "abc\r" + std::string(17, '\t'), "x\ty\n" + std::string(30, '\t') + "\n"};
  for (const std::string& pasted : pastes) {
    for (int buffer = 0; buffer <= kLineCapacity + 2; ++buffer) {
      SCOPED_TRACE("buffer " + std::to_string(buffer) + ", pasted " + std::to_string(pasted.size()) + " bytes");
      LineEditor editor;
      ASSERT_TRUE(editor.paste(pasted));
      const PastedChunk chunk = editor.take_chunk(buffer, buffer, kLineCapacity);
      EXPECT_LE(static_cast<int>(chunk.text.size()), chunk.completes_line ? buffer : kLineCapacity);
    }
  }
}

TEST(LineEditorTest, ACutChunkIsCutToTheReadersBuffer) {
  LineEditor editor;
  ASSERT_TRUE(editor.paste(std::string(17, '\t')));
  // 17 tabs expand to 136 spaces: more than the line holds, so the chunk completes the line
  // and gets the reader's 20 bytes (two tabs); the other 15 tabs stay pasted.
  const PastedChunk first = editor.take_chunk(20, 20, kLineCapacity);
  EXPECT_TRUE(first.completes_line);
  EXPECT_EQ(first.text, std::string(16, ' '));
  EXPECT_FALSE(first.paste_ended);
  const PastedChunk rest = editor.take_chunk(1024, 1024, kLineCapacity);
  EXPECT_EQ(rest.text, std::string(15 * kTabWidth, ' '));
  EXPECT_FALSE(rest.completes_line);
  EXPECT_TRUE(rest.paste_ended);
}

TEST(LineEditorTest, ZeroRoomCompletesWithoutTakingBytes) {
  LineEditor editor;
  ASSERT_TRUE(editor.paste("xyz\n"));
  const auto chunk = editor.take_chunk(0, 0, 0);
  EXPECT_TRUE(chunk.completes_line);
  EXPECT_EQ(chunk.text, "");
  EXPECT_TRUE(editor.paste_pending());
  EXPECT_EQ(editor.take_chunk(1024, 1024, 1024).text, "xyz");
}

TEST(LineEditorTest, EmptyPasteChangesNothing) {
  LineEditor editor;
  EXPECT_FALSE(editor.paste(""));
  EXPECT_FALSE(editor.paste(std::string("\0abc", 4)));
  EXPECT_FALSE(editor.paste_pending());
}

TEST(LineEditorTest, AppendNeverOverrunsTheLine) {
  LineEditor editor = editor_with(120);
  EXPECT_EQ(editor.append(std::string(20, 'b')), 8u);
  EXPECT_EQ(editor.count(), 128);
}

}  // namespace
