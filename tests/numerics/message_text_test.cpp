// Message templates, the printed form of errors, and the machine constants.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "numerics/argument_check.h"
#include "numerics/error_printing.h"
#include "numerics/error_stack.h"
#include "numerics/machine_constants.h"
#include "numerics/message_template.h"
#include "recording_error_output.h"

namespace numerics {
namespace {

TEST(MessageTemplate, Expansion) {
  InsertionValues values;
  values.set_text(1, "NR");
  values.set_integer(1, 0);
  values.set_integer(2, 1);
  values.set_integer(9, -9223372036854775807LL - 1);
  values.set_text(-3, "neg");
  values.set_text(10, "ignored");
  values.set_text(-10, "ignored");
  values.set_integer(0, 55);
  struct Case {
    const char* message_template;
    const char* expected;
  };
  const Case cases[] = {
      {kLowerBoundTemplate.data(), "NR = 0.  NR must be greater than or equal to 1."},
      {"%(I9)|%(L3)|%(L4)", "-9223372036854775808|neg|"},
      {"a%(A1)%(C2)%(D3)%(K4)%(R5)%(S6)%(Z7)b", "ab"},
      {"%(I0) %(X1) %(I1 %I1) %( I1) %/ %", "%(I0) %(X1) %(I1 %I1) %( I1) %/ %"},
      {"%(i1)%(I1)", "%(i1)0"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(expand_message_template(c.message_template, values), c.expected);
  }
}

TEST(MessageTemplate, LengthLimits) {
  InsertionValues values;
  values.set_text(1, std::string(300, 't'));
  EXPECT_EQ(values.texts[0].size(), kMaxInsertionTextLength);
  EXPECT_EQ(expand_message_template(std::string(2000, 'x'), values).size(), kMaxMessageLength);
  // An insertion that crosses the limit is cut there.
  const std::string expanded = expand_message_template(std::string(1000, 'x') + "%(L1)tail", values);
  EXPECT_EQ(expanded, std::string(1000, 'x') + std::string(24, 't'));
}

TEST(ErrorPrinting, RoutineNamesAndTypeNames) {
  const std::pair<const char*, const char*> names[] = {{"dRNUN", "DRNUN"}, {"drnun", "drnun"}, {"DRNNOR  ", "DRNNOR"},
                                                       {"dR", "DR"},       {"d", "d"},         {"1A", "1A"},
                                                       {"", ""},           {"aBc", "ABc"}};
  for (const auto& [stored, printed] : names) EXPECT_EQ(printed_routine_name(stored), printed);
  EXPECT_EQ(error_type_name(kTerminal), "TERMINAL");
  EXPECT_EQ(error_type_name(kWarningImmediate), "WARNING");
  EXPECT_EQ(error_type_name(0), "");
  EXPECT_EQ(error_type_name(8), "");
}

TEST(ErrorPrinting, Wrapping) {
  const auto lines = format_error_lines(kTerminal, 1, "dRNUN", "NR = 0.  NR must be greater than or equal to 1.");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], " *** TERMINAL ERROR 1 from DRNUN.  NR = 0.  NR must be greater than or");
  EXPECT_EQ(lines[1], " ***          equal to 1.");

  const std::string message =
      "A long message that has to go over several lines because it keeps talking about the "
      "arguments of the routine, " +
      std::string(150, 'w') + " and ends here.";
  const auto wrapped = format_error_lines(kWarning, 12, "LONG", message);
  EXPECT_GE(wrapped.size(), 4u);
  for (std::size_t i = 0; i < wrapped.size(); ++i) {
    EXPECT_LE(wrapped[i].size(), kPrintedLineWidth);
    EXPECT_EQ(wrapped[i].rfind(i == 0 ? kFirstLinePrefix : kContinuationPrefix, 0), 0u);
  }
  // Nothing is lost: without blanks and prefixes the lines give the text back (the
  // 150-character word is cut across lines).
  std::string joined;
  for (const auto& line : wrapped) joined += line.substr(line.rfind("***", 4) + 3);
  std::string expected = "WARNING ERROR 12 from LONG.  " + message;
  std::erase(joined, ' ');
  std::erase(expected, ' ');
  EXPECT_EQ(joined, expected);

  EXPECT_EQ(format_plain_lines("first%/  second%/%/third"),
            (std::vector<std::string>{" *** first", " ***          second", " ***", " ***          third"}));
  EXPECT_EQ(format_error_lines(kNote, 3, "", "x"), (std::vector<std::string>{" *** NOTE ERROR 3.  x"}));
}

TEST(MachineConstants, Tables) {
  const double inf = std::numeric_limits<double>::infinity();
  const double doubles[] = {std::ldexp(1.0, -1022), std::numeric_limits<double>::max(), std::ldexp(1.0, -53),
                            std::ldexp(1.0, -52), std::log10(2.0)};
  const float singles[] = {std::ldexp(1.0f, -126), std::numeric_limits<float>::max(), std::ldexp(1.0f, -24),
                           std::ldexp(1.0f, -23), std::log10(2.0f)};
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(DMACH(i), doubles[i - 1]) << i;
    EXPECT_EQ(AMACH(i), singles[i - 1]) << i;
  }
  EXPECT_EQ(DMACH(4), 2.220446049250313e-16);
  EXPECT_TRUE(std::isnan(DMACH(6)) && std::isnan(AMACH(6)));
  EXPECT_EQ(DMACH(7), inf);
  EXPECT_EQ(DMACH(8), -inf);
  EXPECT_EQ(AMACH(7), std::numeric_limits<float>::infinity());
  EXPECT_EQ(AMACH(8), -std::numeric_limits<float>::infinity());
}

TEST(MachineConstants, BadIndex) {
  for (const int index : {0, 9, -1}) {
    testing::reset_library_state();
    EXPECT_THROW(DMACH(index), testing::LibraryStopped);
    EXPECT_EQ(testing::printed_lines().at(0),
              " *** TERMINAL ERROR 1 from DMACH.  The argument must be between 1 and 8");
    EXPECT_EQ(testing::printed_lines().at(1), " ***          inclusive. N = " + std::to_string(index));
    testing::reset_library_state();
    set_error_stop_attribute(kTerminal, false);
    EXPECT_TRUE(std::isnan(AMACH(index)));
    EXPECT_EQ(current_error_type(), kTerminal);
  }
  testing::reset_library_state();
}

}  // namespace
}  // namespace numerics
