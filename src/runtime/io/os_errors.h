#pragma once
// The run-time error numbers for failures of the operating system's open: file not found 29,
// too many open files 30, access denied 9 (also for a directory named as the file), no such
// device 42, file exists 10, bad name 43, anything else 30; and the same in the compatibility
// numbering (602, 603, 600, 42, 601, 43, 30).

namespace runtime {

[[nodiscard]] int open_failure_error(int errno_value, bool compatibility_numbering);

}  // namespace runtime
