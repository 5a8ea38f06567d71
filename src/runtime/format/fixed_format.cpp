// CompiledFormat's lifetime and FixedFormat: a format fixed in the program's text, compiled
// and planned the first time any thread uses it and shared by every statement afterwards.

#include <new>

#include "runtime/format/format.h"
#include "runtime/support/error_numbers.h"

namespace runtime {

CompiledFormat::CompiledFormat() = default;
CompiledFormat::~CompiledFormat() = default;

void FixedFormat::compile_first_time() const {
  std::call_once(once_, [this] {
    try {
      auto compiled = std::make_unique<CompiledFormat>();
      std::size_t offset = 0;
      status_ = compile_format(text_, *compiled, offset);
      error_offset_ = offset;
      if (status_ == 0) {
        plan_ = make_single_field_plan(*compiled);
        compiled_ = std::move(compiled);
      }
    } catch (const std::bad_alloc&) {
      status_ = kInsufficientVirtualMemory;
    }
    compiled_once_.store(true, std::memory_order_release);
  });
}

CompiledFormat* FixedFormat::compiled() const {
  compile_once();
  return compiled_.get();
}

int FixedFormat::compile_status() const {
  compile_once();
  return status_;
}

std::size_t FixedFormat::syntax_error_offset() const {
  compile_once();
  return error_offset_;
}

}  // namespace runtime
