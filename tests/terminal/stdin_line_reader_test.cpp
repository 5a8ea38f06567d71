#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <future>
#include <optional>
#include <string>

#include "terminal/stdin_line_reader.h"

namespace {

using terminal::StdinLineReader;

class Pipe {
 public:
  Pipe() { EXPECT_EQ(::pipe(ends_), 0); }
  ~Pipe() {
    close_write();
    if (ends_[0] >= 0) ::close(ends_[0]);
  }
  void write(const std::string& bytes) {
    ASSERT_EQ(::write(ends_[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void close_write() {
    if (ends_[1] >= 0) ::close(ends_[1]);
    ends_[1] = -1;
  }
  int read_end() const { return ends_[0]; }

 private:
  int ends_[2] = {-1, -1};
};

TEST(StdinLineReaderTest, LinesThenEndOfFile) {
  Pipe pipe;
  pipe.write("a\nb\r\n\nlast without end");
  pipe.close_write();
  StdinLineReader reader(pipe.read_end());
  EXPECT_EQ(reader.read_line(), std::optional<std::string>("a"));
  EXPECT_EQ(reader.read_line(), std::optional<std::string>("b"));
  EXPECT_EQ(reader.read_line(), std::optional<std::string>(""));
  EXPECT_EQ(reader.read_line(), std::optional<std::string>("last without end"));
  EXPECT_EQ(reader.read_line(), std::nullopt);
  EXPECT_EQ(reader.read_line(), std::nullopt);
}

TEST(StdinLineReaderTest, NothingAfterTheLineIsTaken) {
  Pipe pipe;
  pipe.write("one\ntwo\n");
  {
    StdinLineReader reader(pipe.read_end());
    EXPECT_EQ(reader.read_line(), std::optional<std::string>("one"));
  }
  char rest[16] = {};
  EXPECT_EQ(::read(pipe.read_end(), rest, sizeof rest), 4);
  EXPECT_EQ(std::string(rest), "two\n");
}

TEST(StdinLineReaderTest, OverLongLineKeepsItsStartAndTheNextLineIsWhole) {
  Pipe pipe;
  StdinLineReader reader(pipe.read_end());
  auto first = std::async(std::launch::async, [&] { return reader.read_line(); });
  pipe.write(std::string(5000, 'x') + "\ny\n");
  EXPECT_EQ(first.get(), std::optional<std::string>(std::string(StdinLineReader::kMaximumLineLength, 'x')));
  EXPECT_EQ(reader.read_line(), std::optional<std::string>("y"));
}

TEST(StdinLineReaderTest, RequestsAreServedInOrder) {
  Pipe pipe;
  StdinLineReader reader(pipe.read_end());
  std::promise<std::string> first;
  std::promise<std::string> second;
  reader.request([&](std::optional<std::string> line) { first.set_value(line.value_or("<none>")); });
  reader.request([&](std::optional<std::string> line) { second.set_value(line.value_or("<none>")); });
  pipe.write("1\n2\n");
  EXPECT_EQ(first.get_future().get(), "1");
  EXPECT_EQ(second.get_future().get(), "2");
}

TEST(StdinLineReaderTest, DestroyingWakesABlockedRead) {
  Pipe pipe;  // open, but nothing is ever written
  std::promise<std::optional<std::string>> answer;
  auto result = answer.get_future();
  const auto start = std::chrono::steady_clock::now();
  {
    StdinLineReader reader(pipe.read_end());
    reader.request([&](std::optional<std::string> line) { answer.set_value(std::move(line)); });
  }
  EXPECT_EQ(result.get(), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
