#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "terminal/transcript.h"

namespace {

using console::TextOrigin;

struct Step {
  enum Kind { Write, LineTyped, Finish, Prompt } kind;
  std::string bytes;
  TextOrigin origin = TextOrigin::Program;
};

struct TranscriptCase {
  const char* name;
  bool input_is_terminal;
  std::vector<Step> steps;
  std::string expected;
};

// Test names show the case name, not the bytes of the case.
void PrintTo(const TranscriptCase& c, std::ostream* os) { *os << c.name; }

Step out(std::string bytes) { return {Step::Write, std::move(bytes), TextOrigin::Program}; }
Step echo(std::string bytes) { return {Step::Write, std::move(bytes), TextOrigin::Echo}; }
Step erase() { return {Step::Write, "", TextOrigin::EchoErase}; }
Step typed() { return {Step::LineTyped, "", TextOrigin::Program}; }
Step finish() { return {Step::Finish, "", TextOrigin::Program}; }
Step prompt(std::string bytes) { return {Step::Prompt, std::move(bytes), TextOrigin::Program}; }

class TranscriptTest : public ::testing::TestWithParam<TranscriptCase> {};

TEST_P(TranscriptTest, Bytes) {
  const TranscriptCase& c = GetParam();
  std::string written;
  terminal::Transcript transcript([&](std::string_view bytes) { written += bytes; }, c.input_is_terminal);
  for (const Step& step : c.steps) {
    switch (step.kind) {
      case Step::Write: transcript.write(step.bytes, step.origin); break;
      case Step::LineTyped: transcript.line_typed(); break;
      case Step::Finish: transcript.finish(); break;
      case Step::Prompt: transcript.write_prompt(step.bytes); break;
    }
  }
  EXPECT_EQ(written, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TranscriptTest,
    ::testing::Values(
        TranscriptCase{"crlf_is_one_line_end", false, {out("ab\r\ncd\n")}, "ab\ncd\n"},
        TranscriptCase{"crlf_across_writes", false, {out("ab\r"), out("\ncd")}, "ab\ncd"},
        TranscriptCase{"lone_carriage_return_kept", false, {out("ab\rc")}, "ab\rc"},
        TranscriptCase{"held_carriage_return_written_at_finish", false, {out("ab\r"), finish()}, "ab\r"},
        TranscriptCase{"held_carriage_return_before_other_byte", false, {out("ab\r"), out("x")}, "ab\rx"},
        TranscriptCase{"other_bytes_unchanged", false, {out("\t\a\f\xe9\x1a")}, "\t\a\f\xe9\x1a"},
        TranscriptCase{
            "answer_echo_in_pipe_mode", false, {out("\n Q? "), echo("4"), echo("2"), out("\r\n")}, "\n Q? 42\n"},
        TranscriptCase{"erase_in_pipe_mode", false, {echo("a"), echo("b"), erase()}, "ab\b \b"},
        TranscriptCase{"terminal_leaves_out_echo_and_its_line_end",
                       true,
                       {out("\n Q? "), echo("4"), echo("2"), erase(), typed(), out("\r\n"), out(" Got")},
                       "\n Q?  Got"},
        TranscriptCase{"terminal_drops_only_one_line_end", true, {typed(), out("\r\n\r\nnext")}, "\nnext"},
        TranscriptCase{"terminal_line_feed_alone_dropped", true, {typed(), out("\nnext")}, "next"},
        TranscriptCase{"terminal_drop_ends_with_any_output", true, {typed(), out("text"), out("\r\n")}, "text\n"},
        TranscriptCase{"pipe_mode_keeps_line_end_after_typing", false, {typed(), out("\r\n")}, "\n"},
        TranscriptCase{"prompt_at_line_start", false, {prompt("UNIT 1? ")}, "UNIT 1? "},
        TranscriptCase{"prompt_after_text_gets_its_own_line",
                       false,
                       {out(" Incorrect input"), prompt("UNIT 1? ")},
                       " Incorrect input\nUNIT 1? "},
        TranscriptCase{"prompt_after_held_carriage_return", false, {out("abc\r"), prompt("P? ")}, "abc\nP? "},
        TranscriptCase{"prompt_after_typed_line_on_terminal", true, {out(" Q? "), typed(), prompt("P? ")}, " Q? P? "}),
    [](const ::testing::TestParamInfo<TranscriptCase>& info) { return std::string(info.param.name); });

}  // namespace
