// Raising errors: returned to statements that asked for them, shown and continued for info
// and error severity, and (in child processes) the whole severe path: message, traceback,
// diagnostic log, FORT0, display switches, the error box, the exit handler once, the
// program-end sequence and the exit status.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "runtime/statement_flags.h"
#include "runtime/support/errors.h"
#include "runtime/support/lifecycle.h"
#include "runtime/support/math_errors.h"
#include "runtime/support/termination.h"
#include "support_test_helpers.h"

namespace {

using support_test::ContainsOnce;
using support_test::RecordingWindowServices;
using support_test::ScopedWindowServices;
using ::testing::AllOf;
using ::testing::ExitedWithCode;
using ::testing::HasSubstr;
using ::testing::Not;

class ReportingTest : public support_test::SupportTest {};

runtime::ErrorInserts unit_inserts(std::int32_t unit, std::string_view file) {
  runtime::ErrorInserts inserts;
  inserts.has_unit = true;
  inserts.unit = unit;
  inserts.file_name = file;
  return inserts;
}

TEST_F(ReportingTest, StatementsThatAskForErrorsGetThemSilently) {
  using namespace runtime;
  const struct {
    int number;
    StatementFlags flags;
    int expected;
  } cases[] = {
      {64, kErrorBranch, 64},
      {24, kEndBranch, kEndIndication},
      {613, kEndBranch, kEndIndication},
      {24, kEndBranch | kErrorBranch, kEndIndication},
      {24, kErrorBranch, 24},
      {24, kErrorBranch | kEndOfRecordBranch, 24},
      {268, kEndOfRecordBranch, kEndOfRecordIndication},
      {268, kEndBranch | kErrorBranch, 268},
      {63, kErrorBranch, 63},
      {3, kErrorBranch, 3},
      {41, kErrorBranch | kEndBranch, 41},
  };
  RecordingWindowServices services(false);
  ScopedWindowServices registered(&services);
  testing::internal::CaptureStderr();
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.number << " flags " << c.flags);
    EXPECT_EQ(report_runtime_error(c.number, c.flags, unit_inserts(10, "CON")), c.expected);
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(services.texts.empty());
}

TEST_F(ReportingTest, InfoAndErrorSeverityAreShownAndTheProgramGoesOn) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(runtime::report_runtime_error(63, 0, unit_inserts(1, "series.dat")), 63);
  EXPECT_EQ(runtime::report_runtime_error(3, 0), 3);
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_EQ(shown,
            "duzevi: error (63): output conversion error, unit 1, file series.dat\n"
            "duzevi: info (3): ignored requested disposition\n");
}

TEST_F(ReportingTest, HugeInsertIsCutAndTheLineStillEnds) {
  const std::string file_name(200000, 'f');
  testing::internal::CaptureStderr();
  EXPECT_EQ(runtime::report_runtime_error(63, 0, unit_inserts(1, file_name)), 63);
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_EQ(shown.rfind("duzevi: error (63): output conversion error, unit 1, file fff", 0), 0u);
  EXPECT_LT(shown.size(), file_name.size());
  EXPECT_EQ(shown.back(), '\n');
  EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 1);
}

TEST_F(ReportingTest, ErrorBoxOfTheWindowedConsole) {
  RecordingWindowServices services(false);
  ScopedWindowServices registered(&services);
  testing::internal::CaptureStderr();
  runtime::ErrorInserts inserts;
  inserts.text = "control-C";
  EXPECT_EQ(runtime::report_runtime_error(200, 0, inserts), 200);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // the box replaces standard error
  ASSERT_EQ(services.texts.size(), 1u);
  EXPECT_EQ(services.captions[0], "Quillon run-time error ");
  EXPECT_EQ(services.texts[0], "duzevi: error (200): program aborting due to control-C event");
  EXPECT_TRUE(services.end_codes.empty());
}

TEST_F(ReportingTest, FormatMessageIsEmittedEvenWithAnErrorBranch) {
  testing::internal::CaptureStderr();
  runtime::ErrorInserts inserts;
  inserts.numbers[0] = 4;
  inserts.text = "Q10)";
  runtime::emit_runtime_message(58, inserts);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "duzevi: info (58): format syntax error at or near Q10)\n");
}

TEST_F(ReportingTest, DisplaySwitchAndLogForNonSevereMessages) {
  const std::string log = temporary_path(".log");
  setenv("FOR_DIAGNOSTIC_LOG_FILE", log.c_str(), 1);
  setenv("FOR_DISABLE_DIAGNOSTIC_DISPLAY", "1", 1);
  testing::internal::CaptureStderr();
  runtime::report_runtime_error(63, 0, unit_inserts(2, "a"));
  runtime::report_runtime_error(63, 0, unit_inserts(3, "b"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(support_test::read_file(log),
            "duzevi: error (63): output conversion error, unit 2, file a\r\n"
            "duzevi: error (63): output conversion error, unit 3, file b\r\n");
}

TEST_F(ReportingTest, UnwritableLogIsSaidOnStandardErrorAndTheMessageStillShown) {
  setenv("FOR_DIAGNOSTIC_LOG_FILE", "/nonexistent-directory/run.log", 1);
  testing::internal::CaptureStderr();
  runtime::report_runtime_error(63, 0, unit_inserts(2, "a"));
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_THAT(shown, HasSubstr("duzevi: error (63): output conversion error, unit 2, file a\n"));
  EXPECT_THAT(shown, HasSubstr("FOR_DIAGNOSTIC_LOG_FILE=/nonexistent-directory/run.log"));
  EXPECT_THAT(shown, HasSubstr("duzevi: No such file or directory"));
}

// ---- The severe path, each in a child process ----

void raise_severe_input_error() {
  runtime::set_unit_closer(support_test::announce_units_closed);
  runtime::report_runtime_error(64, 0, unit_inserts(10, "CON"));
  support_test::write_to_standard_error("[returned]\n");
  std::_Exit(100);
}

TEST_F(ReportingTest, SevereErrorEndsWithItsNumberAfterTheExitHandlerRanOnce) {
  EXPECT_EXIT(raise_severe_input_error(), ExitedWithCode(64),
              AllOf(HasSubstr("duzevi: severe (64): input conversion error, unit 10, file CON\n"
                              "Traceback symbolic or hex stack dump follows:\n\n"
                              "Image              PC        Routine"),
                    ContainsOnce("[units closed]"), Not(HasSubstr("[returned]"))));
}

TEST_F(ReportingTest, StatusOfANumberWhoseLowBitsAreZeroIsNotSuccess) {
  EXPECT_EXIT(
      runtime::report_runtime_error(256, 0, unit_inserts(4, "u.bin")), ExitedWithCode(255),
      HasSubstr("duzevi: severe (256): unformatted I/O to unit open for formatted transfers, unit 4, file u.bin"));
}

TEST_F(ReportingTest, StackTraceSwitch) {
  const struct {
    const char* value;
    bool traceback;
  } cases[] = {{"no", true}, {"0", true}, {"false", true}, {"1", false}, {"TRUE", false}, {"yes", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    setenv("FOR_DISABLE_STACK_TRACE", c.value, 1);
    const auto traceback = HasSubstr("Traceback symbolic or hex stack dump follows:");
    if (c.traceback) {
      EXPECT_EXIT(runtime::report_runtime_error(41, 0), ExitedWithCode(41), traceback);
    } else {
      EXPECT_EXIT(runtime::report_runtime_error(41, 0), ExitedWithCode(41),
                  AllOf(HasSubstr("duzevi: severe (41): insufficient virtual memory"), Not(traceback)));
    }
  }
}

TEST_F(ReportingTest, SevereMessageOnlyInTheLogWhenDisplayIsDisabled) {
  const std::string log = temporary_path(".log");
  setenv("FOR_DIAGNOSTIC_LOG_FILE", log.c_str(), 1);
  setenv("FOR_DISABLE_DIAGNOSTIC_DISPLAY", "1", 1);
  EXPECT_EXIT(runtime::report_runtime_error(29, 0, unit_inserts(1, "")), ExitedWithCode(29),
              Not(HasSubstr("file not found")));
  const std::string logged = support_test::read_file(log);
  EXPECT_THAT(logged, HasSubstr("duzevi: severe (29): file not found, unit 1, file unknown\r\n"));
  EXPECT_THAT(logged, HasSubstr("Traceback symbolic or hex stack dump follows:\r\n"));
  // Every line of the log, the traceback's included, ends with CR LF.
  for (std::size_t at = logged.find('\n'); at != std::string::npos; at = logged.find('\n', at + 1)) {
    ASSERT_TRUE(at > 0 && logged[at - 1] == '\r') << logged.substr(0, at);
  }
}

void emit_to_redirected_standard_error() {
  runtime::report_runtime_error(63, 0, unit_inserts(6, "first"));
  runtime::report_runtime_error(63, 0, unit_inserts(6, "second"));
  std::_Exit(0);
}

TEST_F(ReportingTest, Fort0RedirectsStandardErrorInAppendMode) {
  const std::string redirected = temporary_path(".err");
  {
    std::FILE* earlier = std::fopen(redirected.c_str(), "w");
    ASSERT_NE(earlier, nullptr);
    std::fputs("earlier line\n", earlier);
    std::fclose(earlier);
  }
  setenv("FORT0", redirected.c_str(), 1);
  EXPECT_EXIT(emit_to_redirected_standard_error(), ExitedWithCode(0), Not(HasSubstr("output conversion")));
  EXPECT_EQ(support_test::read_file(redirected),
            "earlier line\n"
            "duzevi: error (63): output conversion error, unit 6, file first\n"
            "duzevi: error (63): output conversion error, unit 6, file second\n");
}

TEST_F(ReportingTest, Fort0ThatCannotBeOpenedKeepsStandardError) {
  setenv("FORT0", "/nonexistent-directory/err.txt", 1);
  EXPECT_EXIT(emit_to_redirected_standard_error(), ExitedWithCode(0),
              AllOf(HasSubstr("FORT0=/nonexistent-directory/err.txt"),
                    HasSubstr("duzevi: error (63): output conversion error, unit 6, file first\n"),
                    HasSubstr("duzevi: error (63): output conversion error, unit 6, file second\n")));
}

void severe_error_with_window_services() {
  static RecordingWindowServices services(true);
  runtime::register_window_services(&services);
  runtime::set_unit_closer(support_test::announce_units_closed);
  runtime::report_runtime_error(39, 0, unit_inserts(1, "series.dat"));
  std::_Exit(100);
}

TEST_F(ReportingTest, SevereErrorThroughTheWindowedConsole) {
  // Box first, then the units closed, then the program-end sequence with the error number.
  EXPECT_EXIT(severe_error_with_window_services(), ExitedWithCode(39),
              testing::ContainsRegex("\\[box caption=Quillon run-time error \\]duzevi: severe \\(39\\): error during "
                                     "read, unit 1, file series.dat\nTraceback[^[]*\\[end box\\]\n"
                                     "\\[units closed\\]\n\\[end_program 39\\]\n"));
}

void severe_error_inside_the_exit_handler() {
  runtime::set_unit_closer([] {
    runtime::report_runtime_error(28, 0, unit_inserts(1, "a.dat"));
    support_test::write_to_standard_error("[next unit]\n");
  });
  runtime::run_exit_handler();
  support_test::write_to_standard_error("[handler returned]\n");
  std::_Exit(0);
}

TEST_F(ReportingTest, SevereErrorInsideTheExitHandlerLetsItGoOn) {
  EXPECT_EXIT(severe_error_inside_the_exit_handler(), ExitedWithCode(0),
              AllOf(HasSubstr("duzevi: severe (28): CLOSE error, unit 1, file a.dat"), HasSubstr("[next unit]"),
                    HasSubstr("[handler returned]")));
}

void severe_error_without_core_file() {
  support_test::suppress_core_files();
  runtime::report_runtime_error(41, 0);
}

TEST_F(ReportingTest, CoreDumpFlag) {
  setenv("f77_dump_flag", "yes", 1);
  EXPECT_EXIT(severe_error_without_core_file(), testing::KilledBySignal(SIGABRT), HasSubstr("duzevi: severe (41)"));
  unsetenv("f77_dump_flag");
  setenv("harrowfort_dump_flag", "Y", 1);
  EXPECT_EXIT(severe_error_without_core_file(), testing::KilledBySignal(SIGABRT), HasSubstr("(41)"));
  setenv("f77_dump_flag", "no", 1);  // set, so the second flag is not consulted
  EXPECT_EXIT(runtime::report_runtime_error(41, 0), ExitedWithCode(41), HasSubstr("(41)"));
}

void severe_error_after_start(bool started) {
  support_test::suppress_core_files();
  if (started) runtime::start_runtime({});
  runtime::set_unit_closer(support_test::announce_units_closed);
  runtime::report_runtime_error(41, 0);
}

TEST_F(ReportingTest, DebugExceptionComesBeforeTheMessage) {
  setenv("FOR_GENERATE_DEBUG_EXCEPTION", "1", 1);
  EXPECT_EXIT(severe_error_after_start(true), testing::KilledBySignal(SIGTRAP),
              AllOf(Not(HasSubstr("(41)")), Not(HasSubstr("[units closed]"))));
  // Without the exception context (the runtime never started) the error ends as usual.
  EXPECT_EXIT(severe_error_after_start(false), ExitedWithCode(41), HasSubstr("(41)"));
  // With a debugger present the break comes after the message and the exit handler.
  unsetenv("FOR_GENERATE_DEBUG_EXCEPTION");
  setenv("FOR__IS_DEBUGGER_PRESENT", "1", 1);
  EXPECT_EXIT(severe_error_after_start(true), testing::KilledBySignal(SIGTRAP),
              AllOf(HasSubstr("(41)"), ContainsOnce("[units closed]")));
}

TEST_F(ReportingTest, MathematicalStyleMessage) {
  const std::string expected = "\r\nrun-time error M6201: MATH\r\n- log: DOMAIN error\r\n";
  EXPECT_EXIT(runtime::report_math_error(runtime::MathErrorKind::Domain, "log"),
              ExitedWithCode(runtime::process_exit_status(6201)), HasSubstr(expected));
}

TEST_F(ReportingTest, MathematicalStyleMessageInTheLog) {
  const std::string log = temporary_path(".log");
  setenv("FOR_DIAGNOSTIC_LOG_FILE", log.c_str(), 1);
  setenv("FOR_DISABLE_DIAGNOSTIC_DISPLAY", "1", 1);
  EXPECT_EXIT(runtime::report_math_error(runtime::MathErrorKind::Domain, "log"),
              ExitedWithCode(runtime::process_exit_status(6201)), "");
  EXPECT_EQ(support_test::read_file(log), "\r\nrun-time error M6201: MATH\r\n- log: DOMAIN error\r\n");
}

void math_error_with_window_services() {
  static RecordingWindowServices services(true);
  runtime::register_window_services(&services);
  runtime::report_floating_signal_error(runtime::FloatingSignalKind::DivideByZero);
  std::_Exit(100);
}

TEST_F(ReportingTest, MathematicalStyleMessageInTheErrorBox) {
  EXPECT_EXIT(
      math_error_with_window_services(), ExitedWithCode(runtime::process_exit_status(6103)),
      HasSubstr("[box caption=run-time error ]M6103: MATH\r\n- floating-point error: divide by zero\r\n[end box]"));
}

}  // namespace
