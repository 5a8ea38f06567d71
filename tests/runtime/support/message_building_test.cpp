// Building messages: "%s (%i): %s" with the unit/file tail, the other directives, untrusted
// inserts, and the fixed-buffer text primitives the signal handler relies on.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "runtime/support/errors.h"
#include "runtime/support/message_text.h"

namespace {

using runtime::ErrorInserts;

ErrorInserts unit_inserts(std::int32_t unit, std::string_view file) {
  ErrorInserts inserts;
  inserts.has_unit = true;
  inserts.unit = unit;
  inserts.file_name = file;
  return inserts;
}

ErrorInserts value_inserts(std::int64_t a, std::int64_t b, std::int64_t c, std::string_view text) {
  ErrorInserts inserts;
  inserts.numbers[0] = a;
  inserts.numbers[1] = b;
  inserts.numbers[2] = c;
  inserts.text = text;
  return inserts;
}

struct MessageCase {
  const char* name;
  int number;
  ErrorInserts inserts;
  std::string expected;
};

TEST(MessageBuilding, FillsInsertsAndPrefix) {
  const MessageCase cases[] = {
      {"unit and file", 64, unit_inserts(10, "CON"), "duzevi: severe (64): input conversion error, unit 10, file CON"},
      {"unnamed unit", 29, unit_inserts(1, ""), "duzevi: severe (29): file not found, unit 1, file unknown"},
      {"negative unit", 32, unit_inserts(-5, "x"), "duzevi: severe (32): invalid logical unit number, unit -5, file x"},
      {"info with unit", 5, unit_inserts(3, "a.dat"),
       "duzevi: info (5): requested disposition modified, file not deleted, unit 3, file a.dat"},
      {"error severity", 63, unit_inserts(6, "out.txt"),
       "duzevi: error (63): output conversion error, unit 6, file out.txt"},
      {"no inserts", 41, ErrorInserts{}, "duzevi: severe (41): insufficient virtual memory"},
      {"text insert", 200, value_inserts(0, 0, 0, "control-C"),
       "duzevi: error (200): program aborting due to control-C event"},
      {"text then number", 8, value_inserts(97, 0, 0, "qwgconfg"),
       "duzevi: severe (8): internal consistency check failure, file qwgconfg, line 97"},
      {"precision text", 58, value_inserts(3, 0, 0, "F2O.10)"),
       "duzevi: info (58): format syntax error at or near F2O"},
      {"negative precision is whole text", 58, value_inserts(-1, 0, 0, "Q)"),
       "duzevi: info (58): format syntax error at or near Q)"},
      {"precision beyond text", 58, value_inserts(50, 0, 0, "Q)"),
       "duzevi: info (58): format syntax error at or near Q)"},
      {"hex and decimal", 156, value_inserts(255, 255, 0, ""), "duzevi: severe (156): GENTRAP code = 0xff (255)"},
      {"character", 651, value_inserts('$', 0, 0, ""),
       "duzevi: severe (651): $ or $ : nonstandard edit descriptor in format"},
      {"more directives than numbers", 665, value_inserts(1, 7, 12, "A"),
       "duzevi: severe (665): Subscript 1 of A (value 7) is out of range (12:0)"},
      {"count", 297, value_inserts(4, 0, 0, ""), "duzevi: info (297): 4 floating invalid traps"},
      {"unknown number", 7, ErrorInserts{}, "duzevi: severe (7): Message not found"},
      {"unit tail without unit", 24, value_inserts(9, 0, 0, "f"),
       "duzevi: severe (24): end-of-file during read, unit 9, file f"},
  };
  for (const MessageCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(runtime::build_runtime_message(c.number, c.inserts), c.expected);
  }
}

TEST(MessageBuilding, InsertsAreNeverInterpretedAsDirectives) {
  // File names and texts come from the user: directives in them stay literal text.
  EXPECT_EQ(runtime::build_runtime_message(29, unit_inserts(1, "%s%n%d%%")),
            "duzevi: severe (29): file not found, unit 1, file %s%n%d%%");
  EXPECT_EQ(runtime::build_runtime_message(200, value_inserts(0, 0, 0, "%n%s")),
            "duzevi: error (200): program aborting due to %n%s event");
}

TEST(MessageBuilding, VeryLongInsertIsCutNotOverrun) {
  const std::string long_name(100000, 'n');
  const std::string message = runtime::build_runtime_message(29, unit_inserts(1, long_name));
  EXPECT_EQ(message.rfind("duzevi: severe (29): file not found, unit 1, file nnn", 0), 0u);
  EXPECT_LT(message.size(), long_name.size());
}

TEST(TextBuffer, FieldsNumbersAndTruncation) {
  runtime::FixedText<64> text;
  text.append_field("Routine", 10, 10, true);
  text.append_char('|');
  text.append_field("abcdefghijkl", 5, 5, true);
  text.append_char('|');
  text.append_field("7", 4, 4, false);
  text.append_char('|');
  text.append_hex(0xBEEF, 8, true);
  text.append_char('|');
  text.append_hex(0x123456789ABCull, 8, true);
  EXPECT_EQ(text.view(), "Routine   |abcde|   7|0000BEEF|123456789ABC");
  EXPECT_FALSE(text.truncated());

  runtime::FixedText<64> numbers;
  numbers.append_decimal(std::numeric_limits<std::int64_t>::min());
  numbers.append_char(' ');
  numbers.append_decimal(0);
  numbers.append_char(' ');
  numbers.append_decimal(-42);
  EXPECT_EQ(numbers.view(), "-9223372036854775808 0 -42");

  runtime::FixedText<8> small;
  small.append("0123456789");
  EXPECT_EQ(small.view(), "01234567");
  EXPECT_TRUE(small.truncated());
  small.append_repeated(' ', 3);
  EXPECT_EQ(small.size(), 8u);
}

}  // namespace
