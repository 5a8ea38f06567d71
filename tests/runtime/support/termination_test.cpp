// Ending the program, each in a child process: the exit handler (once, also when two threads
// end at the same time), the main wrapper, console events, processor exceptions, reported
// array errors and the division check.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "runtime/support/console_events.h"
#include "runtime/support/division_check.h"
#include "runtime/support/lifecycle.h"
#include "support_test_helpers.h"

namespace {

using support_test::ContainsOnce;
using support_test::RecordingWindowServices;
using support_test::write_to_standard_error;
using ::testing::AllOf;
using ::testing::ExitedWithCode;
using ::testing::HasSubstr;
using ::testing::Not;

class TerminationTest : public support_test::SupportTest {};

// Waits in a child for the runtime to end the process; exits with 99 if it never does.
[[noreturn]] void wait_to_be_ended(std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  write_to_standard_error("[not ended]\n");
  std::_Exit(99);
}

void slow_unit_closer() {
  write_to_standard_error("[closing]\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  write_to_standard_error("[closed]\n");
}

void two_threads_run_the_exit_handler() {
  runtime::set_unit_closer(slow_unit_closer);
  std::thread other([] {
    runtime::run_exit_handler();
    write_to_standard_error("[other returned]\n");
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  runtime::run_exit_handler();  // the other thread is closing: wait for it to finish
  write_to_standard_error("[main returned]\n");
  other.join();
  runtime::run_exit_handler();
  std::_Exit(0);
}

TEST_F(TerminationTest, ExitHandlerRunsOnceAndASecondThreadWaitsForIt) {
  EXPECT_EXIT(two_threads_run_the_exit_handler(), ExitedWithCode(0),
              AllOf(ContainsOnce("[closing]"), ContainsOnce("[closed]"),
                    testing::ContainsRegex("\\[closed\\]\n(.|\n)*\\[main returned\\]")));
}

void end_process_with_window_services() {
  static RecordingWindowServices services(true);
  runtime::register_window_services(&services);
  runtime::set_unit_closer(support_test::announce_units_closed);
  runtime::end_process(3);
}

TEST_F(TerminationTest, EndProcessClosesUnitsThenHandsOverToTheEndSequence) {
  EXPECT_EXIT(end_process_with_window_services(), ExitedWithCode(3),
              testing::ContainsRegex("\\[units closed\\]\n\\[end_program 3\\]\n"));
}

void main_wrapper_with_window_services() {
  static RecordingWindowServices services(true);
  runtime::register_window_services(&services);
  runtime::set_unit_closer(support_test::announce_units_closed);
  const int code = runtime::run_main_wrapper({"  a.dat", "b.dat"}, [] {
    write_to_standard_error("[main routine]\n");
    write_to_standard_error("[argument " + runtime::take_next_command_argument().value_or("-") + "]\n");
    write_to_standard_error("[argument " + runtime::take_next_command_argument().value_or("-") + "]\n");
    write_to_standard_error("[argument " + runtime::take_next_command_argument().value_or("-") + "]\n");
  });
  write_to_standard_error("[wrapper returned " + std::to_string(code) + "]\n");
  std::exit(code);  // the normal exit path: the exit handler must not run again
}

TEST_F(TerminationTest, MainWrapperRunsTheRoutineAndTheNormalEnd) {
  EXPECT_EXIT(main_wrapper_with_window_services(), ExitedWithCode(0),
              AllOf(testing::ContainsRegex("\\[main routine\\]\n\\[argument a.dat\\]\n\\[argument b.dat\\]\n"
                                           "\\[argument -\\]\n\\[units closed\\]\n\\[end_program 0\\]\n"
                                           "\\[wrapper returned 0\\]"),
                    ContainsOnce("[units closed]")));
}

void exit_through_the_process_exit_path() {
  runtime::start_runtime({});
  runtime::set_unit_closer(support_test::announce_units_closed);
  std::exit(5);
}

TEST_F(TerminationTest, ProcessExitRunsTheExitHandler) {
  EXPECT_EXIT(exit_through_the_process_exit_path(), ExitedWithCode(5), ContainsOnce("[units closed]"));
}

// ---- Console events ----

void send_console_event(int signal_number) {
  runtime::start_runtime({});
  runtime::set_unit_closer(support_test::announce_units_closed);
  // A thread made after start-up: it inherits the blocked signals.
  std::thread worker([] { wait_to_be_ended(); });
  worker.detach();
  kill(getpid(), signal_number);
  wait_to_be_ended();
}

TEST_F(TerminationTest, ConsoleEventsReportAndEndWithTheirStatus) {
  const struct {
    int signal_number;
    const char* name;
    int status;
  } cases[] = {{SIGINT, "control-C", 130},
               {SIGQUIT, "control-BREAK", 1},
               {SIGHUP, "window-CLOSE", 2},
               {SIGTERM, "window-CLOSE", 143}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EXIT(send_console_event(c.signal_number), ExitedWithCode(c.status),
                AllOf(HasSubstr(std::string("duzevi: error (200): program aborting due to ") + c.name + " event\n"),
                      Not(HasSubstr("Traceback")), ContainsOnce("[units closed]")));
  }
}

void console_event_from_a_thread_that_predates_the_runtime() {
  std::atomic<bool> started{false};
  std::thread early([&started] {
    while (!started.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    // This thread does not block the signal: it must still reach the event thread.
    pthread_kill(pthread_self(), SIGINT);
    wait_to_be_ended();
  });
  runtime::start_runtime({});
  started.store(true);
  early.detach();
  wait_to_be_ended();
}

TEST_F(TerminationTest, ConsoleEventOnAThreadStartedBeforeTheRuntime) {
  EXPECT_EXIT(console_event_from_a_thread_that_predates_the_runtime(), ExitedWithCode(130),
              HasSubstr("program aborting due to control-C event"));
}

// Another end of the program (the terminal's end of input) asks for the end right after a
// console event was sent: the event has it, whether it is still pending or already taken.
void claim_after_console_event(int signal_number) {
  runtime::start_runtime({});
  runtime::set_unit_closer(support_test::announce_units_closed);
  kill(getpid(), signal_number);
  if (runtime::claim_program_end()) write_to_standard_error("[end claimed by input]\n");
  wait_to_be_ended();
}

// The other end claimed first: an event that comes after it leaves that end to finish.
void console_event_after_claim() {
  runtime::start_runtime({});
  runtime::set_unit_closer(support_test::announce_units_closed);
  if (runtime::claim_program_end()) write_to_standard_error("[end claimed by input]\n");
  kill(getpid(), SIGINT);
  wait_to_be_ended(std::chrono::milliseconds(500));
}

TEST_F(TerminationTest, AConsoleEventSentFirstDecidesTheEnd) {
  for (int signal_number : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal_number);
    EXPECT_EXIT(claim_after_console_event(signal_number), ExitedWithCode(128 + signal_number),
                AllOf(HasSubstr("program aborting due to"), Not(HasSubstr("[end claimed by input]")),
                      ContainsOnce("[units closed]")));
  }
  EXPECT_EXIT(console_event_after_claim(), ExitedWithCode(99),
              AllOf(HasSubstr("[end claimed by input]"), Not(HasSubstr("(200)")), HasSubstr("[not ended]")));
}

void program_handler(int) {
  write_to_standard_error("[program handler]\n");
  std::_Exit(7);
}

void console_event_with_program_handler(bool ignore) {
  runtime::start_runtime({});
  signal(SIGINT, ignore ? SIG_IGN : program_handler);
  kill(getpid(), SIGINT);
  if (ignore) {
    wait_to_be_ended(std::chrono::milliseconds(500));
  }
  wait_to_be_ended();
}

TEST_F(TerminationTest, ConsoleEventTakenOverByTheProgram) {
  EXPECT_EXIT(console_event_with_program_handler(false), ExitedWithCode(7),
              AllOf(HasSubstr("[program handler]"), Not(HasSubstr("(200)"))));
  EXPECT_EXIT(console_event_with_program_handler(true), ExitedWithCode(99),
              AllOf(HasSubstr("[not ended]"), Not(HasSubstr("(200)"))));
}

// ---- Processor exceptions ----

__attribute__((noinline, no_sanitize("undefined"))) int divide(int dividend, int divisor) {
  volatile int numerator = dividend;
  volatile int denominator = divisor;
  return numerator / denominator;
}

__attribute__((noinline, no_sanitize("address", "undefined"))) void write_to_invalid_address() {
  volatile std::uintptr_t address = 16;
  *reinterpret_cast<volatile int*>(address) = 1;
}

volatile bool g_keep_recursing = true;

__attribute__((noinline, no_sanitize("address", "undefined"))) int recurse_for_ever(int depth) {
  volatile char frame[512];
  frame[depth % 512] = static_cast<char>(depth);
  if (!g_keep_recursing) return depth;
  return recurse_for_ever(depth + 1) + frame[(depth + 1) % 512];
}

void integer_division_by_zero() {
  support_test::suppress_core_files();
  runtime::start_runtime({});
  runtime::set_unit_closer(support_test::announce_units_closed);
  const int result = divide(1, 0);
  write_to_standard_error("[went on " + std::to_string(result) + "]\n");
  std::_Exit(100);
}

TEST_F(TerminationTest, IntegerDivisionByZero) {
  EXPECT_EXIT(integer_division_by_zero(), ExitedWithCode(164),
              AllOf(HasSubstr("duzevi: severe (164): Program Exception - integer divide by zero\n"
                              "Traceback symbolic or hex stack dump follows:"),
                    ContainsOnce("[units closed]"), Not(HasSubstr("[went on"))));
}

void access_violation() {
  runtime::start_runtime({});
  write_to_invalid_address();
  std::_Exit(100);
}

TEST_F(TerminationTest, AccessViolation) {
  EXPECT_EXIT(access_violation(), ExitedWithCode(157),
              HasSubstr("duzevi: severe (157): Program Exception - access violation\n"));
  setenv("FOR_DISABLE_STACK_TRACE", "1", 1);
  EXPECT_EXIT(access_violation(), ExitedWithCode(157),
              AllOf(HasSubstr("(157): Program Exception - access violation"), Not(HasSubstr("Traceback"))));
  setenv("FOR_ENABLE_VERBOSE_STACK_TRACE", "1", 1);
  unsetenv("FOR_DISABLE_STACK_TRACE");
  EXPECT_EXIT(access_violation(), ExitedWithCode(157),
              AllOf(HasSubstr("Frame record:"), HasSubstr("Registers at the exception:")));
}

void stack_overflow() {
  runtime::start_runtime({});
  write_to_standard_error("[depth " + std::to_string(recurse_for_ever(0)) + "]\n");
  std::_Exit(100);
}

TEST_F(TerminationTest, StackOverflow) {
  EXPECT_EXIT(stack_overflow(), ExitedWithCode(170),
              HasSubstr("duzevi: severe (170): Program Exception - stack overflow"));
}

void stack_overflow_on_the_program_thread() {
  runtime::start_runtime({});  // early, on the thread that will be the GUI thread
  std::thread program([] {
    // The routine never returns: the stack overflow ends the process.
    static_cast<void>(runtime::run_main_wrapper(
        {}, [] { write_to_standard_error("[depth " + std::to_string(recurse_for_ever(0)) + "]\n"); }));
  });
  program.join();
  std::_Exit(100);
}

TEST_F(TerminationTest, StackOverflowOnTheProgramThread) {
  EXPECT_EXIT(stack_overflow_on_the_program_thread(), ExitedWithCode(170),
              HasSubstr("duzevi: severe (170): Program Exception - stack overflow"));
}

void breakpoint() {
  runtime::start_runtime({});
  raise(SIGTRAP);
  std::_Exit(100);
}

TEST_F(TerminationTest, Breakpoint) {
  EXPECT_EXIT(breakpoint(), ExitedWithCode(159), HasSubstr("duzevi: severe (159): Program Exception - breakpoint"));
}

void exception_with_window_services() {
  // This thread plays the console's GUI thread; the exception happens on the program thread.
  static RecordingWindowServices echo(true);
  runtime::register_window_services(&echo);
  std::thread program([] {
    runtime::start_runtime({});
    runtime::set_unit_closer(support_test::announce_units_closed);
    divide(7, 0);
  });
  program.join();
  std::_Exit(100);
}

void exception_on_the_thread_that_registered_the_console() {
  static RecordingWindowServices echo(true);
  runtime::register_window_services(&echo);
  runtime::start_runtime({});
  divide(7, 0);
  std::_Exit(100);
}

TEST_F(TerminationTest, ProcessorExceptionThroughTheWindowedConsole) {
  // The box is shown from the event thread, then units are closed and the end sequence runs.
  EXPECT_EXIT(exception_with_window_services(), ExitedWithCode(164),
              testing::ContainsRegex("\\[box caption=Quillon run-time error \\]duzevi: severe \\(164\\)[^[]*"
                                     "\\[end box\\]\n\\[units closed\\]\n\\[end_program 164\\]"));
  // On the console's own thread no box could be shown: the message goes to standard error.
  EXPECT_EXIT(exception_on_the_thread_that_registered_the_console(), ExitedWithCode(164),
              AllOf(HasSubstr("duzevi: severe (164)"), Not(HasSubstr("[box"))));
}

bool did_not_end_with_164(int status) { return !(WIFEXITED(status) && WEXITSTATUS(status) == 164); }

TEST_F(TerminationTest, IgnoredExceptionsGoOnToTheSystem) {
  setenv("FOR_IGNORE_EXCEPTIONS", "yes", 1);
  EXPECT_EXIT(integer_division_by_zero(), did_not_end_with_164, Not(HasSubstr("(164)")));
}

// ---- Reported array errors and the division check ----

void allocate_twice() {
  void* array = nullptr;
  runtime::allocate_array(16, &array, 0);
  runtime::allocate_array(16, &array, 0);
  std::_Exit(100);
}

void deallocate_unallocated() {
  runtime::deallocate_array(nullptr, 0);
  std::_Exit(100);
}

void allocate_too_much() {
  void* array = nullptr;
  runtime::allocate_array(SIZE_MAX - 4096, &array, 0);
  std::_Exit(100);
}

TEST_F(TerminationTest, ArrayErrorsWithoutAStatusVariableEndTheProgram) {
  EXPECT_EXIT(allocate_twice(), ExitedWithCode(151),
              HasSubstr("duzevi: severe (151): allocatable array is already allocated"));
  EXPECT_EXIT(deallocate_unallocated(), ExitedWithCode(153),
              HasSubstr("duzevi: severe (153): allocatable array or pointer is not allocated"));
  EXPECT_EXIT(allocate_too_much(), ExitedWithCode(41), HasSubstr("duzevi: severe (41): insufficient virtual memory"));
}

TEST_F(TerminationTest, DivisionFlawEndsTheProgram) {
  EXPECT_EXIT(runtime::check_division_operands(1.0, 49.0), ExitedWithCode(201),
              HasSubstr("duzevi: severe (201): Intel Pentium fdiv flaw detected, please update the processor"));
}

}  // namespace
