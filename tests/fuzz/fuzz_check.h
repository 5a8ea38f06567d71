#pragma once
// What the fuzz targets share: fuzz_check, which stops the run with a message when a property
// that must hold for every input does not (libFuzzer then keeps the input as a crash).

#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void fuzz_check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", property);
  std::abort();
}

}  // namespace fuzz
