// Reading font specification strings, and set_font and init_fonts against a fixed font
// table (tests/console/fixed_font_source.h), so that the choices do not depend on the
// machine's fonts.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <utility>

#include "console/font_specification.h"
#include "console/graphics_status.h"
#include "console_test_support.h"
#include "fixed_font_source.h"

namespace console_test {
namespace {

using console::FontSpecificationError;
using console::graphics_status;

// What a reading gives, as a short text: the face, then every option given, or the error.
std::string summary(const console::FontSpecification& s) {
  if (s.error == FontSpecificationError::NameNotQuoted) return "error: not quoted";
  if (s.error == FontSpecificationError::NameUnterminated) return "error: unterminated";
  std::string text = s.face ? "'" + *s.face + "'" : "-";
  if (s.height != 0) text += " h" + std::to_string(s.height);
  if (s.width != 0) text += " w" + std::to_string(s.width);
  for (const auto& [flag, letter] : {std::pair{s.fixed_pitch, " f"},
                                     {s.variable_pitch, " p"},
                                     {s.raster, " r"},
                                     {s.scalable, " v"},
                                     {s.best_fit, " b"},
                                     {s.italic, " i"},
                                     {s.underline, " u"},
                                     {s.bold, " e"},
                                     {s.conflict, " conflict"}})
    if (flag) text += letter;
  if (s.number) text += " n" + std::to_string(*s.number);
  return text;
}

TEST(ReadSpecification, Options) {
  const std::string k31(31, 'a');
  const std::pair<std::string, std::string> cases[] = {
      {"t'Arial'h14w7i", "'Arial' h14 w7 i"},
      {"T'Arial'H14W7I", "'Arial' h14 w7 i"},
      {"h10h12", "- h12"},     // a later height replaces an earlier one
      {"h", "-"},              // no digits: 0, not given
      {" x9 ,;h3 q", "- h3"},  // everything else is skipped
      {"fp", "- conflict"},    // the second cancels the first
      {"pf", "- conflict"},
      {"fpf", "- f conflict"},
      {"ff", "- f"},
      {"rv", "- conflict"},
      {"bue", "- b u e"},
      {"n3i'", "- n3"},  // the rest is not read
      {"n", "- n0"},
      {"h99999999999999", "- h2147483647"},  // saturates instead of wrapping
      {"t'Tms Rmn'", "'Tms Rmn'"},
      {"t''", "-"},  // an empty name names no face
      {"t'" + k31 + "'", "'" + k31 + "'"},
      {"t'" + k31 + "a'", "error: unterminated"},  // 32 characters
      {"tArial", "error: not quoted"},
      {"h3t", "error: not quoted"},
      {"t'Arial", "error: unterminated"},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(summary(console::read_font_specification(text)), expected) << text;
}

TEST(ReadSpecification, DoubleByteCharactersNeverEndTheName) {
  // 0x82 is a lead byte; its trail byte here is a quote.
  const std::string text = std::string("t'a") + '\x82' + '\'' + "b'";
  const console::FontSpecification s = console::read_font_specification(text, true);
  ASSERT_TRUE(s.face);
  EXPECT_EQ(*s.face, std::string("a") + '\x82' + '\'' + "b");
  EXPECT_EQ(console::read_font_specification(text, false).face, std::string("a") + '\x82');
}

TEST(ReadSpecification, FaceSubstitutionsIgnoreCase) {
  EXPECT_EQ(console::substitute_face_name("tms rmn"), "Times New Roman");
  EXPECT_EQ(console::substitute_face_name("COURIER"), "Courier New");
  EXPECT_EQ(console::substitute_face_name("Helv"), "Arial");
  EXPECT_EQ(console::substitute_face_name("Courier New"), "Courier New");
}

// ---- set_font and init_fonts on a window, against the fixed table ----

class FontTest : public ConsoleTest {
 protected:
  void SetUp() override {
    source = std::make_shared<FixedFontSource>(test_font_faces());
    options.font_source = source;
    ConsoleTest::SetUp();
  }
  console::GraphicsFontState font() {
    console::GraphicsFontState state;
    with_record(kGraphic1, [&](console::ChildWindowRecord& r) { state = r.graphics_font; });
    return state;
  }
  std::shared_ptr<FixedFontSource> source;
};

TEST_F(FontTest, InitFontsBuildsOnceAndSelectsTheLastNonRasterThenTheLastEntry) {
  EXPECT_EQ(core->init_fonts(), 10);
  EXPECT_EQ(font().index, 8);  // "Odd": its type is not exactly 1
  EXPECT_EQ(font().requested_height, 10);
  EXPECT_EQ(core->init_fonts(), 10);
  EXPECT_EQ(font().index, 9);  // a second call takes the last entry
  EXPECT_EQ(source->typeface_enumerations.load(), 1);
  core->with_font_table([](const console::FontTable& table) {
    EXPECT_EQ(table.count(), 10);
    EXPECT_EQ(table.last_scalable, 8);
    EXPECT_EQ(table.entries[3].logical_font.face, "Arial");
  });
}

TEST_F(FontTest, FailedEnumerationLeavesTheTableToBeBuiltAgain) {
  source->fail_typefaces = true;
  EXPECT_EQ(core->init_fonts(), 0);
  EXPECT_EQ(graphics_status(), -1);
  EXPECT_FALSE(font().selected);
  source->fail_typefaces = false;
  source->failing_enumerations = {"Arial"};
  EXPECT_EQ(core->init_fonts(), 0);
  EXPECT_EQ(graphics_status(), -1);
  source->failing_enumerations.clear();
  EXPECT_EQ(core->init_fonts(), 10);
  EXPECT_EQ(source->typeface_enumerations.load(), 3);
}

TEST_F(FontTest, EmptyTableGivesNoFont) {
  auto empty = std::make_shared<FixedFontSource>(std::vector<FixedFontSource::Face>{});
  options.font_source = empty;
  restart();
  EXPECT_EQ(core->init_fonts(), 0);
  EXPECT_EQ(core->init_fonts(), 0);
  EXPECT_EQ(empty->typeface_enumerations.load(), 1);
  EXPECT_EQ(core->set_font("t'Arial'"), -1);
}

TEST_F(FontTest, SetFontNeedsAFontInTheWindowFirst) {
  EXPECT_EQ(core->set_font("t'Arial'"), -1);
  EXPECT_EQ(graphics_status(), -1);
  // The table made for another window does not give this one a font.
  const int other = core->create_window("Other");
  ASSERT_EQ(core->activate_window(other), 1);
  EXPECT_EQ(core->init_fonts(), 10);
  ASSERT_EQ(core->activate_window(kGraphic1), 1);
  EXPECT_EQ(core->set_font("t'Arial'"), -1);
  EXPECT_EQ(graphics_status(), -1);
}

// set_font's result and status, then the window's font: its entry (0-based), the height and
// width it was made with, and its attributes.
std::string outcome(int result, int status, const console::GraphicsFontState& f) {
  std::string text = std::to_string(result) + " (" + std::to_string(status) + "): #" + std::to_string(f.index) + " h" +
                     std::to_string(f.requested_height) + " w" + std::to_string(f.requested_width);
  if (f.italic) text += " i";
  if (f.underline) text += " u";
  if (f.bold) text += " e";
  return text;
}

TEST_F(FontTest, SetFontChoosesTheEntry) {
  const std::string q31(31, 'q');
  // After init_fonts the window has entry 8 ("Odd", 10 x 5); a failure leaves it.
  const std::pair<std::string, std::string> cases[] = {
      {"t'Arial'h14w7i", "4 (0): #3 h14 w7 i"},  // scalable, made at the requested size
      {"t'arial'", "4 (0): #3 h16 w7"},          // names compared without regard to case
      {"T'Arial'", "4 (0): #3 h16 w7"},
      {"t'Arial'   ", "4 (0): #3 h16 w7"},  // trailing blanks removed
      {"t'Helv'", "4 (0): #3 h16 w7"},
      {"t'Tms Rmn'h12", "7 (0): #6 h12 w0"},  // width 0: the source chooses
      {"t'Courier'", "6 (0): #5 h16 w8"},
      {"t'Arial'eu", "4 (0): #3 h16 w7 u e"},
      {"tArial", "-1 (-4): #8 h10 w5"},
      {"t'Arial", "-1 (-1): #8 h10 w5"},
      {"t'" + q31 + "q'b", "-1 (-1): #8 h10 w5"},  // a 32-character name
      {"t'" + q31 + "'b", "9 (0): #8 h10 w5"},     // 31 read; best fit keeps the window's font
      {"t'Nothing'", "-1 (-1): #8 h10 w5"},
      {"fp", "1 (3): #0 h16 w7"},  // neither: the first entry of any pitch
      {"pf", "1 (3): #0 h16 w7"},
      {"rv", "1 (3): #0 h16 w7"},
      {"f", "3 (0): #2 h12 w8"},
      {"v", "4 (0): #3 h16 w7"},
      {"h20", "2 (0): #1 h20 w9"},  // a raster entry of that height
      {"rh13", "-1 (-1): #8 h10 w5"},
      {"rbh13w8", "3 (0): #2 h12 w8"},  // nearest raster entry
      {"bh13", "4 (0): #3 h13 w0"},     // the first scalable entry ends the search
      {"t'Odd'", "9 (0): #8 h10 w5"},   // type 5 is raster by its bit 0
      {"t'Odd'v", "-1 (-1): #8 h10 w5"},
      {"n3", "3 (0): #2 h12 w8"},
      {"in3", "3 (0): #2 h12 w8"},  // attributes are not applied with n
      {"n10", "10 (0): #9 h8 w4"},
      {"n0", "-1 (-1): #8 h10 w5"},
      {"n11", "-1 (-1): #8 h10 w5"},
      {"", "1 (0): #0 h16 w7"},
  };
  for (const auto& [text, expected] : cases) {
    restart();
    ASSERT_EQ(core->init_fonts(), 10);
    console::set_graphics_status(0);
    const int result = core->set_font(text);
    EXPECT_EQ(outcome(result, graphics_status(), font()), expected) << text;
  }
}

TEST_F(FontTest, SameSpecificationTwiceGivesTheSameEntry) {
  ASSERT_EQ(core->init_fonts(), 10);
  const int first = core->set_font("t'Arial'h14w7i");
  EXPECT_EQ(core->set_font("t'Arial'h14w7i"), first);
  EXPECT_EQ(source->last_made.height, 14);
  EXPECT_EQ(source->last_made.width, 7);
  EXPECT_EQ(source->last_made.italic, 1);
}

TEST_F(FontTest, PendingAttributesApplyToLaterSelections) {
  ASSERT_EQ(core->init_fonts(), 10);
  ASSERT_EQ(core->set_font("t'Arial'i"), 4);
  EXPECT_EQ(core->init_fonts(), 10);
  EXPECT_EQ(font().index, 9);
  EXPECT_TRUE(font().italic);
  // The table keeps the enumerated description.
  core->with_font_table([](const console::FontTable& table) { EXPECT_EQ(table.entries[9].logical_font.italic, 0); });
}

TEST_F(FontTest, FontThatCannotBeMadeLeavesThePreviousOne) {
  ASSERT_EQ(core->init_fonts(), 10);
  ASSERT_EQ(core->set_font("t'Arial'"), 4);
  source->failing_creations = {"Times New Roman"};
  EXPECT_EQ(core->set_font("t'Times New Roman'"), -1);
  EXPECT_EQ(graphics_status(), -1);
  EXPECT_EQ(font().index, 3);
}

TEST_F(FontTest, FixedWidthOnlyForFixedPitchEntries) {
  ASSERT_EQ(core->init_fonts(), 10);
  ASSERT_EQ(core->set_font("t'Courier New'w9"), 6);
  EXPECT_EQ(font().fixed_width, 9);
  ASSERT_EQ(core->set_font("t'Arial'w9"), 4);
  EXPECT_EQ(font().fixed_width, 0);
}

}  // namespace
}  // namespace console_test
