// Dynamic arrays: allocation with errors 151 (already allocated) and 41 (no memory),
// deallocation with error 153 (not allocated). Errors are returned when the statement has a
// status variable, otherwise reported (all three are severe and end the program).

#include <cstdlib>

#include "runtime/statement_flags.h"
#include "runtime/support/error_numbers.h"
#include "runtime/support/errors.h"
#include "runtime/support/lifecycle.h"

namespace runtime {
namespace {

int array_error(int number, unsigned flags) {
  const StatementFlags statement = (flags & kArrayStatusVariable) != 0 ? kErrorBranch : 0;
  return report_runtime_error(number, statement);
}

}  // namespace

int allocate_array(std::size_t bytes, void** pointer, unsigned flags) {
  // No place to store the address: the call itself is wrong.
  if (pointer == nullptr) return array_error(kInvalidRuntimeArgument, flags);
  if (*pointer != nullptr || (flags & kArrayAlreadyAllocated) != 0)
    return array_error(kAllocatableArrayAlreadyAllocated, flags);
  if (bytes == 0) return 0;  // nothing to allocate; the pointer stays null
  void* memory = std::malloc(bytes);
  if (memory == nullptr) return array_error(kInsufficientVirtualMemory, flags);
  *pointer = memory;
  return 0;
}

int deallocate_array(void* pointer, unsigned flags) {
  if (pointer == nullptr) {
    return (flags & kArrayMayBeUnallocated) != 0 ? 0 : array_error(kAllocatableArrayNotAllocated, flags);
  }
  std::free(pointer);
  return 0;
}

}  // namespace runtime
