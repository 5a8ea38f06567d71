// Which format texts compile, what they compile to (seen through a walk), and where a
// rejected text's syntax error is reported.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "format_walk.h"
#include "runtime/format/format.h"
#include "runtime/format/format_compiler.h"

namespace {

using format_test::walk;

struct Accepted {
  const char* text;
  int items;
  const char* walk;
};

class AcceptedFormat : public ::testing::TestWithParam<Accepted> {};

TEST_P(AcceptedFormat, WalksAsExpected) {
  const Accepted& c = GetParam();
  EXPECT_EQ(walk(c.text, c.items), c.walk) << "format " << c.text;
}

INSTANTIATE_TEST_SUITE_P(ClassicShapes, AcceptedFormat,
                         ::testing::Values(Accepted{"(1X,A)", 1, "A@1 End"},
                                           Accepted{"(1X,A,I5,A,I5)", 4, "A@1 I5@1 A@6 I5@6 End"},
                                           Accepted{"(F20.10)", 1, "F20.10 End"}, Accepted{"(1PE12.4)", 1, "E12.4 End"},
                                           Accepted{"('It''s')", 0, "'It's' End"}, Accepted{"(3HABC)", 0, "'ABC' End"},
                                           Accepted{"(2(I3,1X))", 2, "I3 I3@4 End"}, Accepted{"()", 0, "End"},
                                           Accepted{"(I5) trailing text, even (((", 1, "I5 End"},
                                           Accepted{"(I5))", 1, "I5 End"}, Accepted{"   (I5)", 1, "I5 End"}));

INSTANTIATE_TEST_SUITE_P(
    EveryDescriptorForm, AcceptedFormat,
    ::testing::Values(
        Accepted{"(I,I7,I7.3)", 3, "I I7 I7.3@7 End"}, Accepted{"(F,F9.2)", 2, "F F9.2 End"},
        Accepted{"(E,E12.4,E12.4E3)", 3, "E E12.4 E12.4E3@12 End"}, Accepted{"(D,D12.4)", 2, "D D12.4 End"},
        Accepted{"(G,G10.3,G10.3E2)", 3, "G G10.3 G10.3E2@10 End"},
        Accepted{"(EN,EN12.3,EN12.3E3)", 3, "EN EN12.3 EN12.3E3@12 End"},
        Accepted{"(ES,ES12.3,ES12.3E3)", 3, "ES ES12.3 ES12.3E3@12 End"}, Accepted{"(L,L4)", 2, "L L4 End"},
        Accepted{"(A,A8)", 2, "A A8 End"}, Accepted{"(O,O6,O6.3)", 3, "O O6 O6.3@6 End"},
        Accepted{"(Z,Z4,Z4.4)", 3, "Z Z4 Z4.4@4 End"}, Accepted{"(B,B8,B8.8)", 3, "B B8 B8.8@8 End"},
        Accepted{"(Q,I2)", 2, "Q I2 End"}, Accepted{"(I0,F0.3,A0)", 3, "I0 F0.3 A0 End"},
        Accepted{"(I2147483647)", 1, "I2147483647 End"}, Accepted{"(BN,BZ,S,SP,SS,I2)", 1, "I2 End"},
        Accepted{"(1P,F5.1,-2P,F5.1,+3PE9.2)", 3, "F5.1 F5.1@5 E9.2@10 End"},
        Accepted{"(1P3F4.1)", 3, "F4.1 F4.1@4 F4.1@8 End"}, Accepted{"(2P2(F4.1))", 2, "F4.1 F4.1@4 End"},
        Accepted{"(1P'x')", 0, "'x' End"}, Accepted{"(\"say \"\"hi\"\"\")", 0, "'say \"hi\"' End"},
        Accepted{"('a\"b')", 0, "'a\"b' End"}, Accepted{"('')", 0, "'' End"},
        Accepted{"(5H(a,b),I1)", 1, "'(a,b)' I1@5 End"}, Accepted{"(3H  x)", 0, "'  x' End"},
        Accepted{"(I2'=',I2)", 2, "I2 '='@2 I2@3 End"}, Accepted{"('['I1']')", 1, "'[' I1@1 ']'@2 End"},
        Accepted{"(I1/I1:I1$)", 3, "I1 / I1 I1@1 $ End"}, Accepted{"(A\\)", 1, "A $ End"},
        Accepted{"(2(I1)I1)", 3, "I1 I1@1 I1@2 End"}, Accepted{"(0(I1))", 2, "I1 / I1 End"},
        Accepted{"(1(I1))", 2, "I1 / I1 End"}, Accepted{"(0X,I1)", 1, "I1 End"}, Accepted{"(X,I1)", 1, "I1@1 End"}));

// Blanks outside literals are ignored (also inside numbers); letters are taken in either case;
// stray commas between descriptors are harmless.
INSTANTIATE_TEST_SUITE_P(
    BlanksCaseAndCommas, AcceptedFormat,
    ::testing::Values(Accepted{"(i6)", 1, "I6 End"}, Accepted{"( I 6 )", 1, "I6 End"},
                      Accepted{"(F 2 0 . 1 0)", 1, "F20.10 End"}, Accepted{"(e 12 . 4 e 3)", 1, "E12.4E3 End"},
                      Accepted{"(e n8.2,e s8.2,b n,b z,s p,s s,t l1,t r1)", 2, "EN8.2 ES8.2@8 End"},
                      Accepted{"(1x,a,2(f8.3),t5,tl1,tr1,bn,bz,sp,ss,s,1pe12.4e2,en5.1,es5.1,3habc,q)", 7,
                               "A@1 F8.3@1 F8.3@9 E12.4E2@4 EN5.1@16 ES5.1@21 'abc'@26 Q@29 End"},
                      Accepted{"(3hAbC)", 0, "'AbC' End"}, Accepted{"(I5,)", 1, "I5 End"},
                      Accepted{"(,I5)", 1, "I5 End"}, Accepted{"(I1,,I1)", 2, "I1 I1@1 End"}));

struct Rejected {
  const char* text;
  std::size_t offset;
};

class RejectedFormat : public ::testing::TestWithParam<Rejected> {};

TEST_P(RejectedFormat, ReportsSyntaxErrorAtOffendingCharacter) {
  const Rejected& c = GetParam();
  runtime::CompiledFormat format;
  std::size_t offset = 12345;
  EXPECT_EQ(runtime::compile_format(c.text, format, offset), 62) << "format " << c.text;
  EXPECT_EQ(offset, c.offset) << "format " << c.text;
  // A failed compile leaves nothing that a cursor could mistake for a format.
  EXPECT_EQ(format_test::walk_compiled(format, 0), "End");
  EXPECT_EQ(format_test::walk_compiled(format, 1), "err60");
}

INSTANTIATE_TEST_SUITE_P(Parentheses, RejectedFormat,
                         ::testing::Values(Rejected{"(I5", 2},  // no closing parenthesis: the last character
                                           Rejected{"(I5   ", 2}, Rejected{"((I5)", 4},
                                           Rejected{"I5", 0},  // no opening parenthesis
                                           Rejected{"  I5)", 2}, Rejected{"", 0}, Rejected{"    ", 0},
                                           Rejected{"(I5(I3))", 3},  // a group directly after a descriptor
                                           Rejected{"(I5,'a'", 6}));

INSTANTIATE_TEST_SUITE_P(
    Numbers, RejectedFormat,
    ::testing::Values(Rejected{"(5,I3)", 2},  // a number that belongs to nothing
                      Rejected{"(I5,5)", 5}, Rejected{"(5)", 2}, Rejected{"(5", 1}, Rejected{"(.5)", 1},
                      Rejected{"(F.5)", 2}, Rejected{"(2147483648X)", 1},  // numbers that do not fit 32 bits
                      Rejected{"(99999999999999999999I5)", 1}, Rejected{"(I2147483648)", 2},
                      Rejected{"(I 2 147 483 648)", 3}, Rejected{"(F10.2147483648)", 5},
                      Rejected{"(E9.2E4294967296)", 6}, Rejected{"(T4294967297)", 2}, Rejected{"(-2147483648P)", 1},
                      Rejected{"(0I5)", 2},                       // a data descriptor or / used no times
                      Rejected{"(0/)", 2}, Rejected{"(-2X)", 3},  // only a scale factor takes a sign
                      Rejected{"(-2I5)", 3}, Rejected{"(+)", 2}, Rejected{"(-", 1}, Rejected{"(1P-2P)", 3}));

INSTANTIATE_TEST_SUITE_P(WrongNumbersForDescriptor, RejectedFormat,
                         ::testing::Values(Rejected{"(F10)", 1}, Rejected{"(F10.)", 5}, Rejected{"(F10.", 4},
                                           Rejected{"(D12.4E2)", 1}, Rejected{"(F10.2E2)", 1}, Rejected{"(L5.2)", 1},
                                           Rejected{"(A5.1)", 1}, Rejected{"(G10)", 1}, Rejected{"(EN10)", 1},
                                           Rejected{"(Q5)", 1}, Rejected{"(I5.3.2)", 5}, Rejected{"(E12.4E)", 6},
                                           Rejected{"(X5)", 2}, Rejected{"(BN5)", 3}, Rejected{"(T)", 1},
                                           Rejected{"(T0)", 1}, Rejected{"(TL)", 1}, Rejected{"(TR,I1)", 1},
                                           Rejected{"(5T3)", 2}, Rejected{"(P)", 1}, Rejected{"(2BN)", 2},
                                           Rejected{"(2S)", 2}, Rejected{"(3'abc')", 2}, Rejected{"(2:)", 2},
                                           Rejected{"(2$)", 2}));

INSTANTIATE_TEST_SUITE_P(MissingSeparators, RejectedFormat,
                         ::testing::Values(Rejected{"(I5 I5)", 4}, Rejected{"(I5I5)", 3}, Rejected{"(1X I5)", 4},
                                           Rejected{"(BNI5)", 3}, Rejected{"(E12.4ES12.4)", 6},
                                           Rejected{"(1PI5)", 3},  // kP runs straight into real descriptors only
                                           Rejected{"(1P3I5)", 4}, Rejected{"(1PX)", 3}));

INSTANTIATE_TEST_SUITE_P(UnknownCharactersAndLiterals, RejectedFormat,
                         ::testing::Values(Rejected{"(C5)", 1}, Rejected{"(I5;I3)", 3}, Rejected{"(I5,\tI3)", 4},
                                           Rejected{"(I5#)", 3}, Rejected{"(BX)", 2},
                                           Rejected{"('abc)", 1},  // unterminated literal: its opening delimiter
                                           Rejected{"(\"abc'')", 1}, Rejected{"(H)", 1}, Rejected{"(0H)", 2},
                                           Rejected{"(5HAB)", 2}, Rejected{"(-1HA)", 3}));

// The outer parentheses are level 1; eight levels compile, nine do not.
TEST(FormatNesting, EightLevelsCompileNineFail) {
  const std::string eight = "((((((((I5))))))))";
  EXPECT_EQ(walk(eight, 2), "I5 / I5 End");
  const std::string nine = "(((((((((I5)))))))))";
  EXPECT_EQ(walk(nine, 1), "compile62@8");
  // Depth, not the number of groups, is what is limited.
  const std::string seven = "(((((((I1)))))))";
  EXPECT_EQ(walk("(" + seven + "," + seven + ")", 2), "I1 I1@1 End");
}

// A compiled buffer that may not grow large enough gives error 41, not a truncated format.
TEST(FormatCompileMemory, BufferThatCannotGrowGives41) {
  struct Case {
    std::string text;
    std::size_t limit;
    int status;
  };
  const std::string long_literal = "('" + std::string(5000, 'x') + "')";
  const Case cases[] = {
      {"(I5)", 512, 0},
      {"(I5)", 40, 41},
      {long_literal, 512, 41},
      {long_literal, 5120, 0},
      {"(" + std::string(60, '(') + ")" + std::string(60, ')') + ")", 512, 62},  // syntax first
  };
  for (const Case& c : cases) {
    runtime::CompiledFormat format;
    std::size_t offset = 0;
    EXPECT_EQ(runtime::compile_format_within(c.text, format, offset, c.limit), c.status)
        << c.text.substr(0, 20) << " limit " << c.limit;
    if (c.status != 0) {
      EXPECT_EQ(format_test::walk_compiled(format, 0), "End");
    }
  }
}

// A long format (many entries, long literals) compiles whole.
TEST(FormatCompileMemory, LongFormatsCompileWhole) {
  std::string text = "(";
  for (int i = 0; i < 2000; ++i) text += "I1,";
  text += "'" + std::string(70000, 'y') + "')";
  runtime::CompiledFormat format;
  std::size_t offset = 0;
  ASSERT_EQ(runtime::compile_format(text, format, offset), 0);
  runtime::FormatCursor cursor(format, {});
  runtime::RecordPosition record;
  runtime::EditDescriptor d;
  for (int i = 0; i < 2000; ++i) {
    ASSERT_EQ(runtime::next_edit_descriptor(cursor, record, true, d), 0);
    ASSERT_EQ(d.kind, runtime::DescriptorKind::I);
  }
  ASSERT_EQ(runtime::next_edit_descriptor(cursor, record, false, d), 0);
  ASSERT_EQ(d.kind, runtime::DescriptorKind::Literal);
  EXPECT_EQ(std::string(d.literal, static_cast<std::size_t>(d.literal_length)), std::string(70000, 'y'));
}

// Recompiling into the same CompiledFormat replaces the old format entirely.
TEST(FormatCompile, RecompilingReplacesPreviousFormat) {
  runtime::CompiledFormat format;
  std::size_t offset = 0;
  ASSERT_EQ(runtime::compile_format("('first',I1,'x')", format, offset), 0);
  ASSERT_EQ(runtime::compile_format("(F3.1)", format, offset), 0);
  EXPECT_EQ(format_test::walk_compiled(format, 2), "F3.1 / F3.1 End");
  EXPECT_EQ(runtime::compile_format("(F3.1", format, offset), 62);
  EXPECT_EQ(format_test::walk_compiled(format, 1), "err60");
}

// Random texts built from the characters formats use either compile or report an offset
// inside the text; whatever compiles can be walked without crashing or looping.
TEST(FormatCompile, RandomTextsAreHandledSafely) {
  const std::string alphabet = "(((())))0123456789,,,./:$\\'\"+-AaBDEeFGHIiLNOPQRSTXZ  ";
  std::mt19937 random(20240601u);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 24);
  int compiled = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string text = "(";
    for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
    if (i % 2 == 0) text += ")";
    runtime::CompiledFormat format;
    std::size_t offset = 0;
    const int status = runtime::compile_format(text, format, offset);
    ASSERT_TRUE(status == 0 || status == 62) << text;
    if (status == 62) {
      ASSERT_LT(offset, std::max<std::size_t>(text.size(), 1)) << text;
      continue;
    }
    ++compiled;
    for (int items : {0, 1, 4}) {
      format_test::WalkOptions options;
      options.max_calls = 300;
      const std::string words = format_test::walk_compiled(format, items, options);
      ASSERT_FALSE(words.empty()) << text;
    }
  }
  EXPECT_GT(compiled, 100);  // the sample reaches the walker, not only the error paths
}

}  // namespace
