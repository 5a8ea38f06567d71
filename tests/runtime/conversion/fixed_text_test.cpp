// The exact fixed-point text against std::to_chars: a few hundred thousand values of every
// kind (the differential check in bench/ runs 10^8), and texts known by hand.

#include <gtest/gtest.h>

#include <string>

#include "fixed_text_samples.h"
#include "runtime/conversion/conversion_internal.h"

namespace {

using fixed_text_samples::Kind;
using fixed_text_samples::Verdict;

constexpr int kValuesPerKind = 60'000;

TEST(ExactFixedText, AgreesWithToCharsForEveryKind) {
  for (const auto& kind : fixed_text_samples::kKinds) {
    fixed_text_samples::Sampler sampler(static_cast<std::uint64_t>(kind.kind) + 7);
    int differences = 0;
    for (int i = 0; i < kValuesPerKind; ++i) {
      int digits = 10;
      const double value = sampler.next(kind.kind, digits);
      if (fixed_text_samples::compare(value, digits) == Verdict::Differs) {
        if (++differences <= 5) ADD_FAILURE() << kind.name << ": " << value << " with " << digits << " digits";
      }
    }
    EXPECT_EQ(differences, 0) << kind.name;
  }
}

TEST(ExactFixedText, AgreesWithToCharsAtTheEdges) {
  for (const double value : fixed_text_samples::kEdgeValues) {
    for (int digits = 0; digits <= runtime::conversion_detail::kExactFixedDigitsLimit; ++digits) {
      EXPECT_NE(fixed_text_samples::compare(value, digits), Verdict::Differs) << value << " with " << digits;
    }
  }
}

TEST(ExactFixedText, WritesKnownTexts) {
  struct Case {
    double value;
    int digits;
    const char* text;  // null: declined (more than 19 digits)
  };
  const Case cases[] = {
      {0.0, 10, "0.0000000000"},
      {0.5, 10, "0.5000000000"},
      {0.00048828125, 10, "0.0004882812"},  // 2^-11, a tie: to the even 2
      {0.00146484375, 10, "0.0014648438"},  // 3 x 2^-11, a tie: to the even 8
      {2.25, 1, "2.2"},
      {2.75, 1, "2.8"},
      {0.5, 0, "0"},
      {1.5, 0, "2"},
      {9.99999999994, 10, "9.9999999999"},  // just below the carry
      {9.99999999999999, 10, "10.0000000000"},
      {123456789.0, 10, "123456789.0000000000"},
      {999999999.0, 10, "999999999.0000000000"},
      {1e-300, 10, "0.0000000000"},
      {4.9406564584124654e-324, 27, "0.000000000000000000000000000"},
      {1e-20, 27, "0.000000000000000000010000000"},
      {999999999.99999988, 10, "999999999.9999998808"},
      {1e9, 10, nullptr},  // 10^19 units of the last digit: 20 digits
      {2e9, 10, nullptr},
      {1e19, 0, nullptr},
  };
  for (const Case& c : cases) {
    char text[96];
    const char* end = runtime::conversion_detail::exact_fixed_text(c.value, c.digits, text);
    if (c.text == nullptr) {
      EXPECT_EQ(end, nullptr) << c.value;
    } else {
      ASSERT_NE(end, nullptr) << c.value;
      EXPECT_EQ(std::string(static_cast<const char*>(text), end), c.text) << c.value << " with " << c.digits;
    }
  }
}

TEST(ExactFixedText, DeclinesWhatItDoesNotCover) {
  char text[96];
  EXPECT_EQ(runtime::conversion_detail::exact_fixed_text(1.0, 28, text), nullptr);
  EXPECT_EQ(runtime::conversion_detail::exact_fixed_text(1.0, -1, text), nullptr);
  EXPECT_EQ(runtime::conversion_detail::exact_fixed_text(-1.0, 10, text), nullptr);
}

}  // namespace
