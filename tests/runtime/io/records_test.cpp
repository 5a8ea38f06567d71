// Records and channels: reading records in each layout, end of file, control-Z, read
// failures, byte-at-a-time input that leaves the rest of a stream alone, the output record's
// growth, and buffered file output.

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "io_test_support.h"
#include "runtime/io/byte_channel.h"
#include "runtime/io/input_record.h"
#include "runtime/io/output_record.h"

namespace {

using runtime::ByteChannel;
using runtime::InputRecord;
using runtime::RecordLayout;

// A pipe holding `bytes`, its writing end closed.
struct FilledPipe {
  explicit FilledPipe(std::string_view bytes) {
    EXPECT_EQ(::pipe(ends), 0);
    EXPECT_EQ(::write(ends[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(ends[1]);
  }
  ~FilledPipe() { ::close(ends[0]); }
  int reading_end() const { return ends[0]; }
  int ends[2] = {-1, -1};
};

struct RecordCase {
  const char* what;
  std::string bytes;
  RecordLayout layout;
  std::vector<std::string> records;  // then the final status
  int final_status;
};

TEST(InputRecords, LayoutsEndOfFileAndControlZ) {
  const RecordLayout lf{};
  const RecordLayout cr{RecordLayout::End::CarriageReturn, 0};
  const RecordLayout fixed{RecordLayout::End::FixedLength, 3};
  const RecordCase cases[] = {
      {"line feeds", "a\nb\n", lf, {"a", "b"}, 24},
      {"carriage return and line feed", "a\r\nb\r\n", lf, {"a", "b"}, 24},
      {"last record without a line feed", "a\nlast", lf, {"a", "last"}, 24},
      {"last record ending in a carriage return", "a\nlast\r", lf, {"a", "last"}, 24},
      {"empty file", "", lf, {}, 24},
      {"empty records", "\n\r\n", lf, {"", ""}, 24},
      {"carriage return inside a record", "a\rb\n", lf, {"a\rb"}, 24},
      {"control-Z ends the file", "a\n\x1a\nb\n", lf, {"a"}, 24},
      {"control-Z inside a record is data", "\x1a\x1a\n", lf, {"\x1a\x1a"}, 24},
      {"binary bytes", std::string("\0\xff\x01\n", 4), lf, {std::string("\0\xff\x01", 3)}, 24},
      {"carriage-return records", "a\rb\r", cr, {"a", "b"}, 24},
      {"fixed-length records", "abcdefg", fixed, {"abc", "def", "g"}, 24},
      {"a long line", std::string(5000, 'x') + "\ny\n", lf, {std::string(5000, 'x'), "y"}, 24},
  };
  for (const RecordCase& c : cases) {
    for (bool byte_at_a_time : {false, true}) {
      FilledPipe pipe(c.bytes);
      ByteChannel channel = ByteChannel::for_descriptor(pipe.reading_end(), false, false, byte_at_a_time);
      InputRecord record(16);
      for (const std::string& expected : c.records) {
        ASSERT_EQ(record.read_from_channel(channel, c.layout), 0) << c.what;
        EXPECT_EQ(record.text(), expected) << c.what;
        EXPECT_EQ(record.position.position, 0u);
      }
      EXPECT_EQ(record.read_from_channel(channel, c.layout), c.final_status) << c.what;
      static_cast<void>(channel.close());  // the records were read; closing a pipe end has nothing to check
    }
  }
}

TEST(InputRecords, ByteAtATimeLeavesTheRestOfTheStream) {
  FilledPipe pipe("first\nsecond\n");
  ByteChannel channel = ByteChannel::for_descriptor(pipe.reading_end(), false, false, true);
  InputRecord record;
  ASSERT_EQ(record.read_from_channel(channel, RecordLayout{}), 0);
  EXPECT_EQ(record.text(), "first");
  char rest[32];
  ssize_t got = ::read(pipe.reading_end(), rest, sizeof rest);
  EXPECT_EQ(std::string(rest, got > 0 ? static_cast<std::size_t>(got) : 0), "second\n");
}

TEST(InputRecords, TheBufferDoublesForLongRecords) {
  FilledPipe pipe(std::string(3000, 'z') + "\n");
  ByteChannel channel = ByteChannel::for_descriptor(pipe.reading_end(), false, false, false);
  InputRecord record(1024);
  ASSERT_EQ(record.read_from_channel(channel, RecordLayout{}), 0);
  EXPECT_EQ(record.length(), 3000u);
  EXPECT_EQ(record.capacity(), 4096u);
}

TEST(InputRecords, ReadFailureIs39) {
  io_test::ScratchDirectory directory;
  int descriptor = ::open(directory.file("w.txt").c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(descriptor, 0);
  ByteChannel channel = ByteChannel::for_descriptor(descriptor, true, true, false);
  InputRecord record;
  EXPECT_EQ(record.read_from_channel(channel, RecordLayout{}), 39);
  EXPECT_NE(channel.read_error(), 0);
}

TEST(OutputRecords, GrowInStepsAndKeepTheirContent) {
  runtime::OutputRecord record;
  ASSERT_EQ(record.reserve(0), 0);
  EXPECT_EQ(record.capacity() % runtime::OutputRecord::kGrowthStep, 0u);
  EXPECT_GE(record.capacity(), runtime::OutputRecord::kGrowthStep);
  std::string text(700, 'q');
  ASSERT_EQ(record.reserve(text.size()), 0);
  text.copy(record.columns(), text.size());
  record.length = text.size();
  std::size_t before = record.capacity();
  ASSERT_EQ(record.reserve(before + 1), 0);
  EXPECT_GE(record.capacity(), before + runtime::OutputRecord::kGrowthStep);
  EXPECT_EQ(record.capacity() % runtime::OutputRecord::kGrowthStep, 0u);
  EXPECT_EQ(std::string(record.columns(), record.length), text);
  EXPECT_EQ(record.reserve(runtime::kMaxRecordLength + 1), 41);
  EXPECT_EQ(std::string(record.columns(), record.length), text);
}

TEST(ByteChannels, BufferedFileOutputArrivesWhole) {
  io_test::ScratchDirectory directory;
  const std::string path = directory.file("out.txt");
  int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(descriptor, 0);
  ByteChannel channel = ByteChannel::for_descriptor(descriptor, true, true, false);
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    std::string piece = std::to_string(i) + "\r\n";
    ASSERT_EQ(channel.write(piece), 0);
    expected += piece;
  }
  std::string big(3 * runtime::kChannelBufferSize, 'b');
  ASSERT_EQ(channel.write(big), 0);
  expected += big;
  ASSERT_EQ(channel.close(), 0);
  EXPECT_EQ(io_test::read_file(path), expected);
  EXPECT_EQ(channel.write("x"), EBADF);
}

TEST(ByteChannels, OutputAfterInputLandsAtTheReadPosition) {
  io_test::ScratchDirectory directory;
  const std::string path = directory.file("mixed.txt");
  io_test::write_file(path, "one\ntwo\nthree\n");
  int descriptor = ::open(path.c_str(), O_RDWR);
  ASSERT_GE(descriptor, 0);
  ByteChannel channel = ByteChannel::for_descriptor(descriptor, true, true, false);
  InputRecord record;
  ASSERT_EQ(record.read_from_channel(channel, RecordLayout{}), 0);
  ASSERT_EQ(channel.write("TWO\n"), 0);
  ASSERT_EQ(channel.close(), 0);
  EXPECT_EQ(io_test::read_file(path), "one\nTWO\nthree\n");
}

}  // namespace
