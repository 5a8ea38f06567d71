// Type matching, default field shapes and the run-time errors of conversion statuses.

#include <complex>
#include <cstdint>
#include <string>

#include "conversion_test_support.h"

namespace runtime::test {
namespace {

TEST(FieldRules, DescriptorAcceptsItem) {
  using K = DescriptorKind;
  using T = ItemType;
  const K kinds[] = {K::I, K::F, K::E, K::D, K::G, K::EN,      K::ES,    K::L,
                     K::A, K::O, K::Z, K::B, K::Q, K::Literal, K::Slash, K::End};
  // Columns: Integer, Logical, Real, Complex, Character.
  const char* accepted[] = {
      "11000",  // I
      "00110",  // F
      "00110",  // E
      "00110",  // D
      "11110",  // G
      "00110",  // EN
      "00110",  // ES
      "11000",  // L
      "11111",  // A
      "11111",  // O
      "11111",  // Z
      "11111",  // B
      "10000",  // Q
      "00000",  // literal
      "00000",  // slash
      "00000",  // end
  };
  const T types[] = {T::Integer, T::Logical, T::Real, T::Complex, T::Character};
  for (std::size_t k = 0; k < std::size(kinds); ++k) {
    for (std::size_t t = 0; t < std::size(types); ++t) {
      EXPECT_EQ(descriptor_accepts_item(kinds[k], types[t]), accepted[k][t] == '1')
          << "descriptor " << k << " type " << t;
    }
  }
}

TEST(FieldRules, DefaultShapes) {
  const std::int8_t i1 = 0;
  const std::int16_t i2 = 0;
  const std::int32_t i4 = 0;
  const std::int64_t i8 = 0;
  const float r4 = 0;
  const double r8 = 0;
  const std::complex<double> c8;
  const std::string_view text = "abcde";
  struct Case {
    IoItem item;
    const char* format;
    FieldShape shape;
  } cases[] = {
      {item(i1), "I", {7, 1, 0}},
      {item(i2), "I", {7, 1, 0}},
      {item(i4), "I", {12, 1, 0}},
      {item(i8), "I", {23, 1, 0}},
      {logical_item(i4), "I", {12, 1, 0}},
      {item(i4), "I5.3", {5, 3, 0}},
      {item(i4), "I5", {5, 1, 0}},
      {item(r4), "F", {15, 7, 2}},
      {item(r8), "F", {25, 16, 2}},
      {item(r8), "E", {25, 16, 2}},
      {item(r8), "D", {25, 16, 2}},
      {item(r8), "EN", {25, 16, 2}},
      {item(r8), "ES", {25, 16, 2}},
      {item(c8), "G", {25, 16, 2}},
      {item(r8), "F20.10", {20, 10, 2}},
      {item(r8), "E12.4E3", {12, 4, 3}},
      {item(i4), "G", {12, 1, 0}},
      {logical_item(i4), "G", {2, 0, 0}},
      {logical_item(i8), "L", {2, 0, 0}},
      {item(text), "A", {5, 0, 0}},
      {item(text), "A2", {2, 0, 0}},
      {item(i4), "A", {4, 0, 0}},
      {item(r8), "A", {8, 0, 0}},
      // O, Z, B: I's width, widened to one more than the digits of all the item's bits.
      {item(i1), "Z", {7, 1, 0}},
      {item(i4), "O", {12, 1, 0}},
      {item(i4), "Z", {12, 1, 0}},
      {item(i8), "O", {23, 1, 0}},
      {item(i1), "B", {9, 1, 0}},
      {item(i2), "B", {17, 1, 0}},
      {item(i4), "B", {33, 1, 0}},
      {item(i8), "B", {65, 1, 0}},
      {item(r8), "Z", {23, 1, 0}},
      {item(text), "Z", {11, 1, 0}},
      {item(i4), "Z6.4", {6, 4, 0}},
  };
  for (const auto& c : cases) {
    const FieldShape shape = resolve_field_shape(descriptor(c.format), c.item);
    EXPECT_EQ(shape.w, c.shape.w) << c.format;
    EXPECT_EQ(shape.d, c.shape.d) << c.format;
    EXPECT_EQ(shape.e, c.shape.e) << c.format;
  }
  // A huge character item gives a width that still fits 32 bits.
  const IoItem huge{ItemType::Character, 0, nullptr, std::size_t{1} << 40};
  EXPECT_EQ(resolve_field_shape(descriptor("A"), huge).w, 2147483647);
  EXPECT_EQ(resolve_field_shape(descriptor("B"), huge).w, 2147483647);
}

TEST(FieldRules, ConversionErrors) {
  struct Case {
    int status;
    int output_error;
    int input_error;
  } cases[] = {
      {kConverted, 0, 0},         {kConvertedNaN, 0, 0},   {kConvertedInfinity, 0, 0},
      {kFieldOverflow, 63, 64},   {kInvalidFlags, 63, 64}, {kNegativeLength, 63, 64},
      {kValueOutOfRange, 64, 64}, {kInvalidText, 63, 64},  {kInvalidIntegerCharacter, 63, 64},
      {kInvalidRadix, 63, 64},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(output_conversion_error(c.status), c.output_error) << c.status;
    EXPECT_EQ(input_conversion_error(c.status), c.input_error) << c.status;
    EXPECT_EQ(conversion_succeeded(c.status), c.output_error == 0) << c.status;
  }
}

}  // namespace
}  // namespace runtime::test
