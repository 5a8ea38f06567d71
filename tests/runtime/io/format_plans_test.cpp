// Single-field plans: which fixed formats a WRITE may lay out without stepping the format,
// and that such a WRITE gives exactly the records the format interpreter gives.

#include <complex>
#include <memory>
#include <vector>

#include "io_test_support.h"
#include "runtime/format/format.h"

namespace {

using runtime::kErrorBranch;
using runtime::Keyword;
using runtime::keyword_text;

TEST(FormatPlans, WhichFormatsHoldOneFieldPerRecord) {
  const std::pair<const char*, bool> cases[] = {
      {"(F20.10)", true},     {"(i6)", true},       {"(A)", true},           {"((F5.1))", true},   {"(F5.1,:)", true},
      {"(E12.4E3)", true},    {"(1X,F8.3)", false}, {"(F20.10,'x')", false}, {"(2F5.1)", false},   {"(F5.1/)", false},
      {"(SP,F5.1)", false},   {"(F5.1,SP)", false}, {"(F5.1,T1)", false},    {"(F5.1,5X)", false}, {"(F5.1,$)", false},
      {"()", false},          {"(Q)", false},       {"(F5.1,:,1X)", false},  {"(1PF8.3)", false},  {"('a',I2)", false},
      {"(I2,(F5.1))", false}, {"(BZ,I5)", false},
  };
  for (const auto& [text, single] : cases) {
    runtime::CompiledFormat compiled;
    std::size_t offset = 0;
    ASSERT_EQ(runtime::compile_format(text, compiled, offset), 0) << text;
    EXPECT_EQ(runtime::make_single_field_plan(compiled).single_field, single) << text;
  }
}

TEST(FormatPlans, PlannedWritesMatchTheInterpreter) {
  const char* texts[] = {"(F20.10)", "(I3)", "(A)", "((F6.2))", "(F5.1,:)", "(G12.4)", "(L2)", "(1X,F8.3)"};
  const double reals[] = {0.5, -1.25, 1.0e9, 3.0};
  const std::int32_t integer = 1234;
  const std::int32_t logical = -1;
  const std::complex<double> complex_value(1.5, -2.5);
  const std::string_view text = "chars";
  for (const char* format_text : texts) {
    // A fixed format (planned when it qualifies) and the same text as character data.
    auto fixed = std::make_unique<runtime::FixedFormat>(format_text);
    io_test::ScratchDirectory directory;
    const std::string planned = directory.file("planned.txt");
    const std::string interpreted = directory.file("interpreted.txt");
    ASSERT_EQ(runtime::open_unit(90, kErrorBranch, {keyword_text(Keyword::File, planned)}), 0);
    ASSERT_EQ(runtime::open_unit(91, kErrorBranch, {keyword_text(Keyword::File, interpreted)}), 0);
    std::vector<std::vector<runtime::IoItem>> statements = {
        {runtime::item(reals[0])},
        {runtime::item(reals[0]), runtime::item(reals[1]), runtime::item(reals[2])},
        {runtime::item(integer)},
        {runtime::logical_item(logical)},
        {runtime::item(complex_value), runtime::item(reals[3])},
        {runtime::item(text)},
        {},
    };
    for (const auto& items : statements) {
      int planned_status = runtime::write_formatted(90, kErrorBranch, items, *fixed);
      int interpreted_status = runtime::write_formatted(91, kErrorBranch, items, std::string_view(format_text));
      EXPECT_EQ(planned_status, interpreted_status) << format_text << " with " << items.size() << " items";
    }
    runtime::close_unit(90, kErrorBranch);
    runtime::close_unit(91, kErrorBranch);
    EXPECT_EQ(io_test::read_file(planned), io_test::read_file(interpreted)) << format_text;
    EXPECT_FALSE(io_test::read_file(planned).empty()) << format_text;
  }
}

TEST(FormatPlans, APlanIsNeverUsedForAnotherFormat) {
  io_test::ScratchDirectory directory;
  const std::string path = directory.file("reused.txt");
  ASSERT_EQ(runtime::open_unit(92, kErrorBranch, {keyword_text(Keyword::File, path)}), 0);
  const double value = 2.5;
  // Formats made and destroyed in turn may share an address; each must be planned afresh.
  for (const char* text : {"(F6.2)", "(F4.1)", "(E10.3)", "(1X,F6.2)"}) {
    auto format = std::make_unique<runtime::FixedFormat>(text);
    ASSERT_EQ(runtime::write_formatted(92, kErrorBranch, {runtime::item(value)}, *format), 0) << text;
  }
  runtime::close_unit(92, kErrorBranch);
  char expected[64];
  std::string e_field(10, ' ');
  ASSERT_EQ(runtime::write_internal(e_field, kErrorBranch, {runtime::item(value)}, "(E10.3)"), 0);
  std::snprintf(expected, sizeof expected, "  2.50\r\n 2.5\r\n%s\r\n   2.50\r\n", e_field.c_str());
  EXPECT_EQ(io_test::read_file(path), expected);
}

}  // namespace
