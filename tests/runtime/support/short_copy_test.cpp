// The short copies and fills equal memcpy and memset for every count around their size
// classes, and touch no byte outside the count.

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "runtime/support/short_copy.h"

namespace {

constexpr std::size_t kGuard = 8;
constexpr std::size_t kLongest = 70;  // past the 32 bytes done inline

TEST(ShortCopy, EqualsMemcpyForEveryCount) {
  std::array<char, kLongest> source{};
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<char>('A' + i % 50);
  for (std::size_t count = 0; count <= kLongest; ++count) {
    std::array<char, kLongest + 2 * kGuard> copied{};
    std::array<char, kLongest + 2 * kGuard> expected{};
    copied.fill('#');
    expected.fill('#');
    runtime::copy_short(copied.data() + kGuard, source.data(), count);
    std::memcpy(expected.data() + kGuard, source.data(), count);
    EXPECT_EQ(copied, expected) << "count " << count;
  }
}

TEST(ShortCopy, FillEqualsMemsetForEveryCount) {
  for (std::size_t count = 0; count <= kLongest; ++count) {
    std::array<char, kLongest + 2 * kGuard> filled{};
    std::array<char, kLongest + 2 * kGuard> expected{};
    filled.fill('#');
    expected.fill('#');
    runtime::fill_short(filled.data() + kGuard, ' ', count);
    std::memset(expected.data() + kGuard, ' ', count);
    EXPECT_EQ(filled, expected) << "count " << count;
  }
}

}  // namespace
