#pragma once
// What every statement does around its work: pass the windowed console's pause gate, claim
// the unit and connect it implicitly, prepare the format (a format in character data is
// compiled for the statement; a syntax error emits message 58 with up to 80 characters of
// the format from the offending character, then fails with 62), and raise errors with the
// unit number and file name.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/format/format.h"
#include "runtime/io/unit_table.h"
#include "runtime/statement_flags.h"
#include "runtime/support/errors.h"

namespace runtime {

void pass_pause_gate();

// Raises error `number` for a statement with `flags` on `unit` (file name may be empty:
// unknown). Returns the value the statement returns: the number (or an end indication) when
// the statement asked for its errors, else 0 after the message (a severe error does not
// return).
[[nodiscard]] int raise_statement_error(int number, StatementFlags flags, std::int32_t unit,
                                        std::string_view file_name);

// Claims `unit` for a READ or WRITE and connects it implicitly when needed. Returns 0, or an
// error number with `failed_name` set to the name to report.
[[nodiscard]] int claim_and_connect(StatementClaim& claim, std::int32_t unit, bool for_reading,
                                    std::string& failed_name);

// The ADVANCE specifier (read when flags carry kAdvanceSpecifier): YES or NO in any case,
// trailing blanks ignored. Returns 0 or 48.
[[nodiscard]] int read_advance_specifier(StatementFlags flags, std::string_view advance, bool& advancing);

// The compiled format of a statement. A format in character data is compiled into `storage`.
// Returns the format, or null with `error` set (62 after message 58, or 41).
CompiledFormat* prepare_format(FormatRef format, std::unique_ptr<CompiledFormat>& storage, int& error);

// What READ and WRITE hold for the length of the statement once it has started.
struct FormattedStatement {
  StatementClaim claim;
  bool advancing = true;
  std::unique_ptr<CompiledFormat> format_storage;
  CompiledFormat* format = nullptr;
  const SingleFieldPlan* plan = nullptr;  // the plan of a fixed format
  UnitBlock& block() const { return *claim.block(); }
};

// The start READ and WRITE share: the pause gate, the unit number, the ADVANCE specifier,
// the claim and the implicit connection, the unit's form and access (and, for a WRITE, that
// it may be written), the format, and the unit's statement flags. True when the statement
// may go on with `statement`; otherwise false, with `ended` the value the statement returns
// (the error it raised). (A flag and an out value rather than an optional: this runs once a
// statement, and the optional's two parts are stored apart and read back as one.)
[[nodiscard]] bool begin_formatted_statement(std::int32_t unit, StatementFlags flags, FormatRef format,
                                             std::string_view advance, bool for_reading, FormattedStatement& statement,
                                             int& ended);

// True for unit numbers a READ or WRITE may name (-4 to 2147483646).
inline bool is_external_unit(std::int32_t unit) { return unit >= -4 && unit <= kLargestUnit; }

}  // namespace runtime
