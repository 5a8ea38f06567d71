// Test entry: death tests re-execute this program for each check, so every child starts a
// fresh process (the runtime's once-per-process state and threads stay inside the child).

#include <gtest/gtest.h>

// Allocation tests ask for impossible sizes; the sanitizers' allocators must answer with null,
// as the C library does, instead of stopping the program.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
extern "C" const char* __tsan_default_options() { return "allocator_may_return_null=1"; }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  return RUN_ALL_TESTS();
}
