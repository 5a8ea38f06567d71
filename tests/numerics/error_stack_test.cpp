#include "numerics/error_stack.h"

#include <gtest/gtest.h>

#include <string>

#include "numerics/argument_check.h"
#include "numerics/error_printing.h"
#include "recording_error_output.h"

namespace numerics {
namespace {

using testing::LibraryStopped;
using testing::printed_lines;
using testing::printed_text;
using testing::printed_words;

class ErrorStackTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::reset_library_state(); }
  void TearDown() override { testing::reset_library_state(); }
};

TEST_F(ErrorStackTest, PushAndPopLeaveTheStackAsItWas) {
  const std::string long_name(40, 'Q');
  struct Case {
    std::string pushed, popped;
  };
  const Case cases[] = {
      {"DRNUN", "DRNUN"}, {"ABC   ", "ABC"}, {long_name, long_name}, {long_name, long_name.substr(0, 32)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pushed);
    E1PSH(c.pushed);
    EXPECT_EQ(error_stack_level(), 2);
    E1POP(c.popped);
    EXPECT_EQ(error_stack_level(), 1);
    EXPECT_EQ(current_error_type(), kNoError);
  }
  EXPECT_TRUE(printed_lines().empty());
}

TEST_F(ErrorStackTest, FortyNinePushesThenRefusal) {
  for (int i = 0; i < 49; ++i) E1PSH("R" + std::to_string(i));
  EXPECT_EQ(error_stack_level(), kMaxStackLevel);
  EXPECT_THROW(E1PSH("ONE_TOO_MANY"), LibraryStopped);
  EXPECT_EQ(printed_words(), "Error condition in E1PSH. Push would cause stack level to exceed 50. ");
  EXPECT_EQ(printed_lines().at(0).rfind(" *** Error condition in E1PSH.", 0), 0u);
  EXPECT_EQ(error_stack_level(), kMaxStackLevel);
}

TEST_F(ErrorStackTest, BadPopsStopTheProgram) {
  EXPECT_THROW(E1POP("DRNUN"), LibraryStopped);
  EXPECT_EQ(printed_words(), "Error condition in E1POP. Cannot pop from DRNUN because stack is empty. ");

  testing::reset_library_state();
  E1PSH("DRNNOR");
  EXPECT_THROW(E1POP("DRNUN"), LibraryStopped);
  EXPECT_EQ(printed_words(), "Error condition in E1POP. DRNUN does not match the name DRNNOR in the stack. ");
  EXPECT_EQ(error_stack_level(), 2);
}

TEST_F(ErrorStackTest, EachTypePrintsAndStopsAsItsAttributesSay) {
  enum class Stop { Never, AtMessage, AtPop };
  struct Case {
    int type;
    bool printed;
    Stop stop;
    int type_left_for_caller;
  };
  const Case cases[] = {
      {kNote, false, Stop::Never, kNoError},
      {kAlert, false, Stop::Never, kAlert},
      {kWarning, true, Stop::Never, kWarning},
      {kFatal, true, Stop::AtPop, kFatal},
      {kTerminal, true, Stop::AtPop, kTerminal},
      {kWarningImmediate, true, Stop::Never, kWarningImmediate},
      {kFatalImmediate, true, Stop::AtMessage, kFatalImmediate},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    testing::reset_library_state();
    E1PSH("dRTEST");
    if (c.stop == Stop::AtMessage) {
      EXPECT_THROW(E1MES(c.type, 7, "Something is wrong."), LibraryStopped);
    } else {
      E1MES(c.type, 7, "Something is wrong.");
      if (c.stop == Stop::AtPop) {
        EXPECT_THROW(E1POP("dRTEST"), LibraryStopped);
      } else {
        E1POP("dRTEST");
        EXPECT_EQ(current_error_type(), c.type_left_for_caller);
      }
    }
    if (c.printed) {
      const std::string expected =
          " *** " + std::string(error_type_name(c.type)) + " ERROR 7 from DRTEST.  Something is wrong.\n";
      EXPECT_EQ(printed_text(), expected);  // printed exactly once
    } else {
      EXPECT_TRUE(printed_lines().empty());
    }
  }
}

TEST_F(ErrorStackTest, FatalErrorStopsWhenItReachesTheCallersLevel) {
  E1PSH("OUTER");
  E1PSH("INNER");
  E1MES(kFatal, 2, "Inner failure.");
  E1POP("INNER");
  EXPECT_EQ(current_error_type(), kFatal);
  EXPECT_EQ(printed_lines().size(), 1u);
  EXPECT_THROW(E1POP("OUTER"), LibraryStopped);
  EXPECT_EQ(printed_lines().size(), 1u);
}

TEST_F(ErrorStackTest, NextCallFromTheCallersLevelClearsTheOldError) {
  set_error_stop_attribute(kTerminal, false);
  E1PSH("FIRST");
  E1MES(kTerminal, 3, "Bad.");
  E1POP("FIRST");
  EXPECT_EQ(current_error_code(), 3);
  E1PSH("SECOND");
  E1POP("SECOND");
  EXPECT_EQ(current_error_type(), kNoError);
}

TEST_F(ErrorStackTest, MessageTypesAndInsertions) {
  E1PSH("R");
  set_integer_insertion(1, 5);
  set_integer_insertion(10, 99);  // ignored
  set_text_insertion(-2, "name");
  E1MES(kNote, 1, "%(I1) %(L2)");
  EXPECT_EQ(current_error_message(), "5 name");
  E1MES(kNote, 1, "%(I1)%(L2).");  // insertions were cleared by the previous message
  EXPECT_EQ(current_error_message(), "0.");
  E1MES(9, 4, "ignored");
  EXPECT_EQ(current_error_type(), kNote);
  E1MES(kNoError, 0, "");
  EXPECT_EQ(current_error_type(), kNoError);
  EXPECT_EQ(current_error_message(), "");
  E1POP("R");
}

TEST_F(ErrorStackTest, ArgumentCheck) {
  struct Case {
    std::int64_t value, lower, upper;
    const char* message;  // empty: in bounds
  };
  const Case cases[] = {
      {0, 1, 0, "NR = 0.  NR must be greater than or equal to 1."},
      {1, 1, 0, ""},
      {2000000000, 1, 0, ""},
      {0, 1, 3, "NR = 0.  NR must be greater than or equal to 1 and less than or equal to 3."},
      {4, 1, 3, "NR = 4.  NR must be greater than or equal to 1 and less than or equal to 3."},
      {3, 1, 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    testing::reset_library_state();
    E1PSH("R");
    int counter = 4;
    const bool in_bounds = check_integer_argument(c.value, "NR", c.lower, c.upper, counter);
    EXPECT_EQ(counter, 5);
    EXPECT_EQ(in_bounds, std::string(c.message).empty());
    EXPECT_EQ(current_error_message(), c.message);
    EXPECT_EQ(current_error_type(), in_bounds ? kNoError : kTerminal);
    if (!in_bounds) {
      EXPECT_EQ(current_error_code(), 4);
    }
  }
}

}  // namespace
}  // namespace numerics
