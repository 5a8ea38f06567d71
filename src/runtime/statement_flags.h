#pragma once
// Flags that a program passes with every I/O statement, and the values a statement returns
// to a caller that asked for its errors.

#include <cstdint>

namespace runtime {

using StatementFlags = std::uint32_t;

// An error branch or status variable is present: errors are returned, not reported.
inline constexpr StatementFlags kErrorBranch = 1u << 0;
// An end-of-file branch is present: end of file returns kEndIndication.
inline constexpr StatementFlags kEndBranch = 1u << 1;
// An end-of-record branch is present: end of record returns kEndOfRecordIndication.
inline constexpr StatementFlags kEndOfRecordBranch = 1u << 2;
// The format is held in character data and is compiled for this statement.
inline constexpr StatementFlags kFormatInCharacterData = 1u << 3;
// OPEN errors use the compatibility numbering (600 "access not allowed", ...).
inline constexpr StatementFlags kCompatibilityNumbering = 1u << 4;
// An ADVANCE specifier follows in the argument list.
inline constexpr StatementFlags kAdvanceSpecifier = 1u << 19;

// Returned instead of an error number when the statement has the matching branch.
inline constexpr int kEndIndication = -1;
inline constexpr int kEndOfRecordIndication = -2;

}  // namespace runtime
