// FixedFormat: compiled once, on first use, by whichever thread gets there first; every later
// use shares the same compiled form.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "format_walk.h"
#include "runtime/format/format.h"

namespace {

TEST(FixedFormat, CompilesOnceAndReusesTheCompiledForm) {
  const runtime::FixedFormat series("(F20.10)");
  runtime::CompiledFormat* first = series.compiled();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(series.compile_status(), 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(series.compiled(), first);
  EXPECT_EQ(format_test::walk_compiled(*first, 2), "F20.10 / F20.10 End");
  EXPECT_EQ(series.text(), "(F20.10)");
}

TEST(FixedFormat, SyntaxErrorIsKeptWithItsOffset) {
  struct Case {
    const char* text;
    std::size_t offset;
  };
  for (const Case& c : {Case{"(1X,A", 4}, Case{"1X,A)", 0}, Case{"(1X,,Y)", 5}}) {
    const runtime::FixedFormat broken(c.text);
    EXPECT_EQ(broken.compiled(), nullptr) << c.text;
    EXPECT_EQ(broken.compile_status(), 62) << c.text;
    EXPECT_EQ(broken.syntax_error_offset(), c.offset) << c.text;
  }
}

TEST(FixedFormat, ConcurrentFirstUseCompilesOnce) {
  for (int round = 0; round < 20; ++round) {
    const runtime::FixedFormat prompt("(1X,A,$)");
    constexpr int kThreads = 6;
    std::vector<runtime::CompiledFormat*> seen(kThreads, nullptr);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        while (!go.load()) std::this_thread::yield();
        seen[static_cast<std::size_t>(t)] = prompt.compiled();
      });
    }
    go.store(true);
    for (auto& thread : threads) thread.join();
    ASSERT_NE(seen[0], nullptr);
    for (runtime::CompiledFormat* compiled : seen) EXPECT_EQ(compiled, seen[0]);
    EXPECT_EQ(format_test::walk_compiled(*seen[0], 1), "A@1 $ End");
  }
}

// Statements on a FixedFormat each start at the beginning, whatever the last one left.
TEST(FixedFormat, EveryStatementStartsAtTheBeginning) {
  const runtime::FixedFormat pair("(I1,I2)");
  EXPECT_EQ(format_test::walk_compiled(*pair.compiled(), 1), "I1 End");
  EXPECT_EQ(format_test::walk_compiled(*pair.compiled(), 3), "I1 I2@1 / I1 End");
}

}  // namespace
