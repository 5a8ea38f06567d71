#include "runtime/io/output_record.h"
#include "runtime/support/error_numbers.h"

#include <cstring>
#include <new>

namespace runtime {

int OutputRecord::grow(std::size_t end) {
  if (storage_ && end <= capacity_) return 0;
  if (end > kMaxRecordLength) return kInsufficientVirtualMemory;
  // Grow by at least one step, and by half the current size for long records, so that a
  // record built column by column does not copy itself over and over.
  std::size_t grown = capacity_ + (capacity_ / 2 > kGrowthStep ? capacity_ / 2 : kGrowthStep);
  std::size_t wanted = end > grown ? end : grown;
  wanted = (wanted + kGrowthStep - 1) / kGrowthStep * kGrowthStep;
  if (wanted > kMaxRecordLength) wanted = kMaxRecordLength;
  std::unique_ptr<char[]> bigger(new (std::nothrow) char[kHeadroom + wanted + kTailroom]);
  if (!bigger) return kInsufficientVirtualMemory;
  if (storage_ && length > 0) std::memcpy(bigger.get() + kHeadroom, columns(), length);
  storage_ = std::move(bigger);
  capacity_ = wanted;
  return 0;
}

}  // namespace runtime
