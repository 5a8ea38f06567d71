#pragma once
// A work array of doubles allocated through the runtime's allocate_array and released
// through deallocate_array, so that a failed allocation is the runtime's error 41.

#include <cstddef>
#include <span>

#include "runtime/support/lifecycle.h"

namespace app {

class RuntimeArray {
 public:
  RuntimeArray() = default;
  explicit RuntimeArray(std::size_t count) { allocate(count); }
  ~RuntimeArray() { release(); }
  RuntimeArray(const RuntimeArray&) = delete;
  RuntimeArray& operator=(const RuntimeArray&) = delete;

  // Allocates `count` doubles, all 0.0. Reports error 41 (and ends the program) when memory is
  // exhausted; allocating an array that is allocated is error 151.
  void allocate(std::size_t count) {
    void* memory = data_;
    runtime::allocate_array(count * sizeof(double), &memory, 0);
    data_ = static_cast<double*>(memory);
    count_ = data_ != nullptr ? count : 0;
    for (std::size_t i = 0; i < count_; ++i) data_[i] = 0.0;
  }

  void release() {
    if (data_ != nullptr) runtime::deallocate_array(data_, 0);
    data_ = nullptr;
    count_ = 0;
  }

  bool allocated() const { return data_ != nullptr; }
  std::size_t size() const { return count_; }
  double& operator[](std::size_t i) { return data_[i]; }
  const double& operator[](std::size_t i) const { return data_[i]; }
  std::span<double> span() { return {data_, count_}; }
  std::span<const double> span() const { return {data_, count_}; }
  double* data() { return data_; }
  const double* data() const { return data_; }

 private:
  double* data_ = nullptr;
  std::size_t count_ = 0;
};

}  // namespace app
