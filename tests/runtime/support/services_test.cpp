// Services that return their results: thread mode, dynamic arrays with a status variable,
// floating-point masks, the division test, exit statuses, the mapping of processor exceptions,
// mathematical-style messages, system error texts and the traceback layout.

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>

#include "runtime/support/division_check.h"
#include "runtime/support/floating_point.h"
#include "runtime/support/lifecycle.h"
#include "runtime/support/math_errors.h"
#include "runtime/support/processor_exceptions.h"
#include "runtime/support/system_errors.h"
#include "runtime/support/termination.h"
#include "runtime/support/traceback.h"
#include "support_test_helpers.h"

// A routine of its own with external linkage (its name is exported), so that the walk has a
// known frame to find.
__attribute__((noinline)) std::string traceback_probe(bool verbose) {
  runtime::FixedText<16384> text;
  runtime::TracebackOptions options;
  options.verbose = verbose;
  runtime::append_traceback(text, options);
  return std::string(text.view());
}

namespace {

class ServicesTest : public support_test::SupportTest {};

TEST(ThreadMode, SetReturnsPreviousAndThreeOnlyQueries) {
  const int original = runtime::thread_mode();
  const struct {
    int set;
    int expected_previous;
    int expected_after;
  } steps[] = {{0, original, 0}, {2, 0, 2}, {3, 2, 2}, {1, 2, 1}, {3, 1, 1}, {0, 1, 0}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.set);
    EXPECT_EQ(runtime::set_thread_mode(&step.set), step.expected_previous);
    EXPECT_EQ(runtime::thread_mode(), step.expected_after);
  }
  EXPECT_EQ(runtime::set_thread_mode(nullptr), 0);  // no value: a query
  EXPECT_EQ(runtime::thread_mode(), 0);
}

TEST_F(ServicesTest, ArrayErrorsAreReturnedWithAStatusVariable) {
  using runtime::kArrayStatusVariable;
  void* array = nullptr;
  ASSERT_EQ(runtime::allocate_array(64, &array, kArrayStatusVariable), 0);
  ASSERT_NE(array, nullptr);
  void* const first = array;
  static_cast<char*>(array)[63] = 'x';  // the whole size is usable

  // Allocated twice: 151, and the array keeps its first allocation.
  EXPECT_EQ(runtime::allocate_array(32, &array, kArrayStatusVariable), 151);
  EXPECT_EQ(array, first);
  EXPECT_EQ(runtime::deallocate_array(array, kArrayStatusVariable), 0);
  array = nullptr;

  // The "already allocated" flag counts as allocated even with a null pointer.
  EXPECT_EQ(runtime::allocate_array(8, &array, kArrayStatusVariable | runtime::kArrayAlreadyAllocated), 151);
  EXPECT_EQ(array, nullptr);

  // Size 0 allocates nothing.
  EXPECT_EQ(runtime::allocate_array(0, &array, kArrayStatusVariable), 0);
  EXPECT_EQ(array, nullptr);

  // No memory for the size: 41, pointer untouched.
  EXPECT_EQ(runtime::allocate_array(std::numeric_limits<std::size_t>::max() - 4096, &array, kArrayStatusVariable), 41);
  EXPECT_EQ(array, nullptr);

  // Never allocated: 153, unless an unallocated array is allowed.
  EXPECT_EQ(runtime::deallocate_array(nullptr, kArrayStatusVariable), 153);
  EXPECT_EQ(runtime::deallocate_array(nullptr, kArrayStatusVariable | runtime::kArrayMayBeUnallocated), 0);
  EXPECT_EQ(runtime::deallocate_array(nullptr, runtime::kArrayMayBeUnallocated), 0);

  // Nowhere to store the address.
  EXPECT_EQ(runtime::allocate_array(8, nullptr, kArrayStatusVariable), 48);
}

TEST(FloatingPoint, MasksOfModes) {
  const struct {
    int mode;
    int masked;
  } cases[] = {
      {0, 31},   // every exception masked
      {4, 23},   // division by zero traps
      {8, 15},   // invalid operation traps
      {15, 1},   // only inexact stays masked
      {16, 31},  // only the low four bits of the mode count
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    EXPECT_EQ(runtime::masked_floating_exceptions(c.mode), c.masked);
  }
}

TEST(FloatingPoint, ApplyingModesChangesTheTraps) {
  runtime::apply_floating_point_mode(4);
  EXPECT_EQ(runtime::unmasked_floating_exceptions(), runtime::kFloatingDivideByZero);
  runtime::apply_floating_point_mode(runtime::kProgramFloatingMode);
  EXPECT_EQ(runtime::unmasked_floating_exceptions(), 0);
  // With everything masked, arithmetic gives infinities and NaNs.
  volatile double zero = 0.0;
  volatile double one = 1.0;
  EXPECT_TRUE(std::isinf(one / zero));
  EXPECT_TRUE(std::isnan(zero / zero));
  EXPECT_TRUE(std::isinf(std::numeric_limits<double>::max() * (one + one)));
}

TEST(DivisionCheck, ResidueOfTheCheckOperandsIsZeroHere) {
  EXPECT_EQ(runtime::division_residue(runtime::kDivisionCheckDividend, runtime::kDivisionCheckDivisor), 0.0);
  // A pair that does leave a rounding residue, used to drive the failing path in a child.
  EXPECT_NE(runtime::division_residue(1.0, 49.0), 0.0);
}

TEST_F(ServicesTest, DivisionCheckPassesSilentlyAndHonoursTheOverride) {
  testing::internal::CaptureStderr();
  runtime::check_division_flaw();
  setenv("FOR_RUN_FLAWED_PENTIUM", "yes", 1);
  runtime::check_division_operands(1.0, 49.0);  // would be error 201 without the override
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(ExitStatus, LowBitsAndNeverFalseSuccess) {
  const struct {
    int code;
    int status;
  } cases[] = {{0, 0},     {3, 3},    {64, 64},   {201, 201}, {255, 255},
               {256, 255}, {268, 12}, {512, 255}, {-1, 255},  {-256, 255}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(runtime::process_exit_status(c.code), c.status);
  }
}

TEST(ProcessorExceptions, ErrorNumbers) {
  int local = 0;
  const auto sp = reinterpret_cast<unsigned long>(&local);
  const void* below_stack = reinterpret_cast<const void*>(sp - 64);
  const void* far_away = reinterpret_cast<const void*>(16);
  const struct {
    const char* name;
    int signal_number;
    int code;
    const void* address;
    unsigned long stack_pointer;
    int expected;
  } cases[] = {
      {"access violation", SIGSEGV, SEGV_MAPERR, far_away, sp, 157},
      {"stack overflow", SIGSEGV, SEGV_ACCERR, below_stack, sp, 170},
      {"stack pointer unknown", SIGSEGV, SEGV_MAPERR, below_stack, 0, 157},
      {"sent by kill", SIGSEGV, SI_USER, below_stack, sp, 157},
      {"misalignment", SIGBUS, BUS_ADRALN, far_away, sp, 158},
      {"in-page error", SIGBUS, BUS_OBJERR, far_away, sp, 167},
      {"illegal instruction", SIGILL, ILL_ILLOPC, far_away, sp, 168},
      {"privileged instruction", SIGILL, ILL_PRVOPC, far_away, sp, 166},
      {"integer divide", SIGFPE, FPE_INTDIV, far_away, sp, 164},
      {"integer overflow", SIGFPE, FPE_INTOVF, far_away, sp, 165},
      {"floating divide", SIGFPE, FPE_FLTDIV, far_away, sp, 73},
      {"floating overflow", SIGFPE, FPE_FLTOVF, far_away, sp, 72},
      {"floating underflow", SIGFPE, FPE_FLTUND, far_away, sp, 74},
      {"floating inexact", SIGFPE, FPE_FLTRES, far_away, sp, 140},
      {"floating invalid", SIGFPE, FPE_FLTINV, far_away, sp, 65},
      {"subscript", SIGFPE, FPE_FLTSUB, far_away, sp, 161},
      {"floating sent by kill", SIGFPE, SI_USER, far_away, sp, 75},
      {"breakpoint", SIGTRAP, TRAP_BRKPT, far_away, sp, 159},
      {"single step", SIGTRAP, TRAP_TRACE, far_away, sp, 160},
      {"other signal", SIGUSR1, SI_USER, far_away, sp, 172},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(runtime::processor_exception_error(c.signal_number, c.code, c.address, c.stack_pointer), c.expected);
  }
}

TEST(MathMessages, Layout) {
  using runtime::FloatingSignalKind;
  using runtime::MathErrorKind;
  const std::string line_end = "\r\n";
  const struct {
    MathErrorKind kind;
    const char* function;
    std::string expected;
  } math[] = {
      {MathErrorKind::Domain, "log", "M6201: MATH" + line_end + "- log: DOMAIN error" + line_end},
      {MathErrorKind::Singularity, "cotan", "M6202: MATH" + line_end + "- cotan: SING" + line_end},
      {MathErrorKind::Overflow, "**", "M6203: MATH" + line_end + "- **: OVERFLOW" + line_end},
      {MathErrorKind::Underflow, "cexp", "M6204: MATH" + line_end + "- cexp: UNDERFLOW" + line_end},
      {MathErrorKind::TotalLoss, "ccos", "M6205: MATH" + line_end + "- ccos: TLOSS" + line_end},
      {MathErrorKind::PartialLoss, "csin", "M6206: MATH" + line_end + "- csin: PLOSS" + line_end},
  };
  for (const auto& c : math) {
    SCOPED_TRACE(c.function);
    EXPECT_EQ(runtime::build_math_error_message(c.kind, c.function), c.expected);
  }
  const struct {
    FloatingSignalKind kind;
    int number;
    const char* text;
  } signals[] = {
      {FloatingSignalKind::Invalid, 6101, "invalid"},
      {FloatingSignalKind::Denormal, 6102, "denormal"},
      {FloatingSignalKind::DivideByZero, 6103, "divide by zero"},
      {FloatingSignalKind::Overflow, 6104, "overflow"},
      {FloatingSignalKind::Underflow, 6105, "underflow"},
      {FloatingSignalKind::Inexact, 6106, "inexact"},
      {FloatingSignalKind::SquareRoot, 6108, "square root"},
      {FloatingSignalKind::StackOverflow, 6110, "stack overflow"},
      {FloatingSignalKind::StackUnderflow, 6111, "stack underflow"},
  };
  for (const auto& c : signals) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(runtime::floating_signal_error_number(c.kind), c.number);
    EXPECT_EQ(runtime::build_floating_signal_message(c.kind),
              "M" + std::to_string(c.number) + ": MATH" + line_end + "- floating-point error: " + c.text + line_end);
  }
}

TEST(SystemErrors, TextsAndMissingTexts) {
  EXPECT_EQ(runtime::system_error_text(ENOENT), std::string("duzevi: ") + std::strerror(ENOENT));
  EXPECT_EQ(runtime::system_error_text(EACCES), std::string("duzevi: ") + std::strerror(EACCES));
  EXPECT_EQ(runtime::system_error_text(99999), "FormatMessage failed for sysmem message number 99999");
  EXPECT_EQ(runtime::system_error_text(-7), "FormatMessage failed for sysmem message number -7");
}

TEST(Traceback, Layout) {
  const std::string traceback = traceback_probe(false);
  std::istringstream lines(traceback);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "Traceback symbolic or hex stack dump follows:");
  std::getline(lines, line);
  EXPECT_EQ(line, "");
  std::getline(lines, line);
  EXPECT_EQ(line, "Image              PC        Routine            Line        Source             ");
  // Image (17), two blanks, PC (at least 8 hex digits), two blanks, routine (17), two blanks,
  // line (10, empty), two blanks, source (empty).
  int frames = 0;
  bool probe_seen = false;
  bool caller_first = false;
  while (std::getline(lines, line)) {
    SCOPED_TRACE(line);
    ++frames;
    ASSERT_GE(line.size(), 19u);
    EXPECT_EQ(line.substr(17, 2), "  ");
    const std::size_t pc_end = line.find(' ', 19);
    ASSERT_NE(pc_end, std::string::npos);
    const std::string pc = line.substr(19, pc_end - 19);
    EXPECT_GE(pc.size(), 8u);
    EXPECT_LE(pc.size(), 16u);
    EXPECT_EQ(pc.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(line.size(), pc_end + 2 + 17 + 2 + 10 + 2);
    EXPECT_EQ(line.substr(pc_end, 2), "  ");
    EXPECT_EQ(line.substr(pc_end + 2 + 17), std::string(14, ' '));
    if (line.find("traceback_probe") != std::string::npos) {
      probe_seen = true;
      if (frames == 1) caller_first = true;
    }
  }
  EXPECT_TRUE(caller_first) << "the walk starts at the caller of the traceback";
  EXPECT_GE(frames, 3);
  EXPECT_TRUE(probe_seen) << traceback;
  EXPECT_EQ(traceback.find("Stack trace terminated abnormally."), std::string::npos);
}

TEST(Traceback, VerboseAddsFrameRecords) {
  const std::string plain = traceback_probe(false);
  const std::string verbose = traceback_probe(true);
  EXPECT_EQ(plain.find("Frame record:"), std::string::npos);
  EXPECT_NE(verbose.find("    Frame record: routine start "), std::string::npos);
}

}  // namespace
