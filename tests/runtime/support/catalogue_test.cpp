// The catalogue: texts and severities of chosen numbers, unknown numbers, prefixes and codes.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "runtime/support/errors.h"

namespace {

using runtime::Severity;

struct CatalogueCase {
  int number;
  const char* text;
  Severity severity;
};

TEST(Catalogue, TextAndSeverityOfEntries) {
  const CatalogueCase cases[] = {
      {0, "operation completed successfully", Severity::Success},
      {1, "not a FORTRAN specific error", Severity::Severe},
      {3, "ignored requested disposition", Severity::Info},
      {5, "requested disposition modified, file not deleted, unit %d, file %s", Severity::Info},
      {8, "internal consistency check failure, file %s, line %d", Severity::Severe},
      {11, "unit not connected", Severity::Info},
      {24, "end-of-file during read, unit %d, file %s", Severity::Severe},
      {29, "file not found, unit %d, file %s", Severity::Severe},
      {41, "insufficient virtual memory", Severity::Severe},
      {58, "format syntax error at or near %.*s", Severity::Info},
      {63, "output conversion error, unit %d, file %s", Severity::Error},
      {64, "input conversion error, unit %d, file %s", Severity::Severe},
      {65, "floating invalid", Severity::Error},
      {69, "process interrupted (SIGINT)", Severity::Error},
      {70, "integer overflow", Severity::Severe},
      {89, "floating underflow in math library", Severity::Error},
      {95, "floating point conversion failed", Severity::Info},
      {139, "array index out of bounds for index %d (SIGTRAP)", Severity::Severe},
      {151, "allocatable array is already allocated", Severity::Severe},
      {153, "allocatable array or pointer is not allocated", Severity::Severe},
      {156, "GENTRAP code = 0x%lx (%ld)", Severity::Severe},
      {170, "Program Exception - stack overflow", Severity::Severe},
      {172, "Program Exception - exception code = 0x%lx (%ld)", Severity::Severe},
      {200, "program aborting due to %s event", Severity::Error},
      {201, "Intel Pentium fdiv flaw detected, please update the processor", Severity::Severe},
      {256, "unformatted I/O to unit open for formatted transfers, unit %d, file %s", Severity::Severe},
      {266, "FORTRAN abort routine called", Severity::Error},
      {267, "floating point conversion failed", Severity::Info},
      {268, "end of record during read, unit %d, file %s", Severity::Severe},
      {300, "%d floating underflow traps", Severity::Info},
      {540, "array or substring subscript expression out of range", Severity::Severe},
      {651, "%c or $ : nonstandard edit descriptor in format", Severity::Severe},
      {665, "Subscript %d of %s (value %d) is out of range (%d:%d)", Severity::Severe},
      {759, "Illegal subcript in namelist input record", Severity::Severe},
  };
  for (const CatalogueCase& c : cases) {
    SCOPED_TRACE(c.number);
    EXPECT_EQ(runtime::catalogue_text(c.number), c.text);
    EXPECT_EQ(runtime::catalogue_severity(c.number), c.severity);
  }
}

TEST(Catalogue, OnlyTheListedEntriesAreNotSevere) {
  const int info[] = {3, 4, 5, 6, 11, 58, 95, 267, 297, 298, 299, 300};
  const int error[] = {63, 65, 69, 72, 73, 74, 75, 76, 78, 79, 89, 200, 266};
  int info_seen = 0;
  int error_seen = 0;
  for (int number = 1; number <= 800; ++number) {
    const Severity severity = runtime::catalogue_severity(number);
    if (severity == Severity::Info) {
      ++info_seen;
      EXPECT_NE(std::find(std::begin(info), std::end(info), number), std::end(info)) << number;
    } else if (severity == Severity::Error) {
      ++error_seen;
      EXPECT_NE(std::find(std::begin(error), std::end(error), number), std::end(error)) << number;
    } else {
      EXPECT_EQ(severity, Severity::Severe) << number;
    }
  }
  EXPECT_EQ(info_seen, static_cast<int>(std::size(info)));
  EXPECT_EQ(error_seen, static_cast<int>(std::size(error)));
}

TEST(Catalogue, VersionLineExistsButIsNoMessage) {
  EXPECT_NE(runtime::catalogue_text(6), "Message not found");
  EXPECT_FALSE(runtime::catalogue_text(6).empty());
}

TEST(Catalogue, NumbersOutsideTheCatalogue) {
  for (int number : {7, 12, 85, 202, 255, 301, 539, 760, 6201, -1, 65536, 1 << 30}) {
    SCOPED_TRACE(number);
    EXPECT_EQ(runtime::catalogue_text(number), "Message not found");
    EXPECT_EQ(runtime::catalogue_severity(number), Severity::Severe);
  }
}

TEST(Catalogue, SeverityPrefixes) {
  EXPECT_EQ(runtime::severity_prefix(Severity::Success), "duzevi");
  EXPECT_EQ(runtime::severity_prefix(Severity::Info), "duzevi: info");
  EXPECT_EQ(runtime::severity_prefix(Severity::Error), "duzevi: error");
  EXPECT_EQ(runtime::severity_prefix(Severity::Severe), "duzevi: severe");
}

TEST(Catalogue, CodesCarrySeverityInTopBitsAndNumberInLowBits) {
  const struct {
    int number;
    Severity severity;
  } cases[] = {{0, Severity::Success},
               {3, Severity::Info},
               {63, Severity::Error},
               {64, Severity::Severe},
               {759, Severity::Severe}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    const runtime::RuntimeErrorCode code = runtime::runtime_error_code(c.number);
    EXPECT_EQ(runtime::error_number(code), c.number);
    EXPECT_EQ(runtime::error_severity(code), c.severity);
    EXPECT_EQ(code & 0x3FFF0000u, 0u);  // nothing between severity and number
  }
}

}  // namespace
