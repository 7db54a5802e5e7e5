// Golden fields: one value written through a one-descriptor format, compared
// character for character with the record it must give.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fio/format.h"

namespace zuna {
namespace {

using Kind = OutputItem::Kind;

OutputItem real64(double v) { return {.kind = Kind::real64, .re = v}; }
OutputItem real32(float v) { return {.kind = Kind::real32, .re = v}; }
OutputItem integer(std::int64_t v, Kind kind = Kind::int32) { return {.kind = kind, .i = v}; }
OutputItem logical(bool v) { return {.kind = Kind::logical, .i = v ? 1 : 0}; }
OutputItem chars(const char* text) {
  return {.kind = Kind::chars,
          .text = text,
          .length = static_cast<int>(std::char_traits<char>::length(text))};
}
OutputItem complex128(double re, double im) {
  return {.kind = Kind::complex128, .re = re, .im = im};
}
double from_bits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

class Records : public RecordSink {
 public:
  bool end_record(std::string_view text) override {
    lines.emplace_back(text);
    return true;
  }
  bool leave_open(std::string_view text) override { return end_record(text); }
  std::vector<std::string> lines;
};

std::string describe(const OutputItem& item) {
  if (item.kind == Kind::chars) {
    return "'" + std::string(item.text, static_cast<std::size_t>(item.length)) + "'";
  }
  char text[80];
  std::snprintf(text, sizeof text, "kind %d i %lld re %.17g im %.17g", static_cast<int>(item.kind),
                static_cast<long long>(item.i), item.re, item.im);
  return text;
}

struct Golden {
  const char* format;
  OutputItem item;
  const char* expected;
};

void check(const std::vector<Golden>& cases) {
  for (const Golden& c : cases) {
    Records records;
    IoError status = write_formatted(c.format, -1, std::span(&c.item, 1), records);
    std::string got = records.lines.size() == 1
                          ? records.lines[0]
                          : "<" + std::to_string(records.lines.size()) + " records>";
    EXPECT_TRUE(status == IoError::ok && got == c.expected)
        << "format " << c.format << ", value " << describe(c.item) << "\n  expected [" << c.expected
        << "]\n  got      [" << got << "] status " << error_number(status);
  }
}

TEST(EditOutput, ExponentFormsOfTheReport) {
  check({
      {"(1P,E10.2)", real64(1234.5), "  1.23E+03"},
      {"(1P,E10.2)", real64(-0.000123456), " -1.23E-04"},
      {"(1P,E10.2)", real64(0.0), "  0.00E+00"},
      {"(1P,E10.2)", real64(-0.0), "  0.00E+00"},
      {"(1P,E10.2)", real64(9.9951), "  1.00E+01"},
      {"(1P,E10.2)", real64(9.996), "  1.00E+01"},
      {"(1P,E10.2)", real64(1.125), "  1.13E+00"},  // exactly 1.125: a 5 rounds up
      {"(1P,E10.2)", real64(1.0e150), "  1.00+150"},
      {"(1P,E10.2)", real64(1.0e-150), "  1.00-150"},
      {"(1P,E10.2)", real64(-4.9e-324), " -4.94-324"},
      {"(1P,E10.2)", real64(1.7976931348623157e308), "  1.80+308"},
      {"(1P,E12.4)", real64(300.0), "  3.0000E+02"},
      {"(1P,E15.4)", real64(2345.0625), "     2.3451E+03"},
      {"(1P,E15.5)", real64(3000.0), "    3.00000E+03"},
      {"(E10.2)", real64(1234.5), "   .12E+04"},
      {"(E10.2)", real64(-0.996), "  -.10E+01"},
  });
}

TEST(EditOutput, ExponentWidthsLettersAndScaleFactors) {
  check({
      {"(1P,E12.4E1)", real64(1.0e10), "************"},  // the exponent needs two digits
      {"(1P,E12.4E1)", real64(1.0e5), "   1.0000E+5"},
      {"(1P,E12.4E3)", real64(1.0e5), " 1.0000E+005"},
      {"(1P,E12.4E3)", real64(1.0e150), " 1.0000E+150"},
      {"(1P,E7.2)", real64(-1234.5), "*******"},
      {"(SP,1P,E10.2)", real64(1.5), " +1.50E+00"},
      {"(SP,1P,E10.2)", real64(-0.0), " +0.00E+00"},
      {"(SP,SS,1P,E10.2)", real64(1.5), "  1.50E+00"},
      {"(1P,D10.2)", real64(1234.5), "  1.23D+03"},
      {"(E10.2D3)", real64(1234.5), "  .12D+004"},
      {"(-1P,E10.2)", real64(1234.5), "   .01E+05"},
      {"(-3P,E10.2)", real64(-1234.5), "   .00E+03"},  // k < -d: nothing significant left
      {"(2P,E10.2)", real64(1234.5), "  12.3E+02"},
      {"(E8.0)", real64(1234.5), "  0.E+04"},
      {"(-1200P,E10.2)", real64(1.0), "**********"},  // exponent of four digits
      {"(ES10.2)", real64(-0.00012345), " -1.23E-04"},
      {"(2P,ES12.3)", real64(1234.5), "   1.235E+03"},  // ES ignores the scale factor
      {"(EN12.3)", real64(1234.5), "   1.235E+03"},
      {"(EN12.3)", real64(0.5), " 500.000E-03"},
      {"(EN12.3)", real64(-12345.0), " -12.345E+03"},
      {"(EN12.3)", real64(999.9999), "   1.000E+03"},  // the carry moves to the next group of three
      {"(EN10.2)", real64(0.0), "  0.00E+00"},
  });
}

TEST(EditOutput, SinglePrecisionShowsAtMostSevenDigits) {
  check({
      {"(1P,E15.8)", real32(1.1F), " 1.10000000E+00"},
      {"(1P,E15.8)", real64(static_cast<double>(1.1F)), " 1.10000002E+00"},
      {"(F12.3)", real32(123456.789F), "  123456.800"},
      {"(1P,E10.2)", real32(9.996F), "  1.00E+01"},
  });
}

TEST(EditOutput, FixedForms) {
  check({
      {"(F10.3)", real64(1234.5), "  1234.500"},
      {"(F10.3)", real64(0.5), "      .500"},  // no zero before the point
      {"(F10.3)", real64(0.0), "      .000"},
      {"(F5.2)", real64(-0.004), "  .00"},  // rounded to zero: no minus
      {"(F5.2)", real64(0.006), "  .01"},
      {"(F6.2)", real64(-0.0001), "   .00"},  // q < -d
      {"(F5.0)", real64(0.7), "   1."},
      {"(F6.2)", real64(9.996), " 10.00"},  // a carry adds a digit before the point
      {"(F4.1)", real64(99.96), "****"},
      {"(2P,F8.2)", real64(1.5), "  150.00"},
      {"(-1P,F8.2)", real64(1.5), "     .15"},
      {"(F25.1)", real64(1.0e20), "  100000000000000000000.0"},
      {"(F20.0)", real64(123456789012345678.0), " 123456789012345700."},  // 16 digits, then zeros
      {"(F12.2)", real64(123456.785), "   123456.79"},
      {"(SP,F6.1)", real64(2.25), "  +2.3"},
      {"(2F7.2)", complex128(1.5, -2.25), "   1.50  -2.25"},
  });
}

TEST(EditOutput, GeneralEditing) {
  check({
      {"(G10.3)", real64(1.5), "  1.50    "},
      {"(G10.3)", real64(0.0), "  .000    "},
      {"(G10.3)", real64(0.05), "  .500E-01"},
      {"(G10.3)", real64(1234.5), "  .123E+04"},
      {"(1P,G10.3)", real64(1234.5), " 1.235E+03"},
      {"(1P,G12.3)", real64(1.5), "    1.50    "},  // the F form ignores the scale factor
      {"(G11.3E3)", real64(1.5), "  1.50     "},
      {"(G10.3)", real64(999.96), " 1000.    "},
      {"(G5.3)", real64(1.5), "*****"},
      {"(G10.3)", integer(42), "        42"},
      {"(G5.1)", logical(true), "    T"},
      {"(G6.1)", chars("ab"), "    ab"},
  });
}

TEST(EditOutput, ValuesThatAreNotNumbers) {
  check({
      {"(1P,E10.2)", real64(std::numeric_limits<double>::infinity()), "1#INF....."},
      {"(1P,E10.2)", real64(-std::numeric_limits<double>::infinity()), "1#INF....."},
      {"(1P,E10.2)", real64(std::numeric_limits<double>::quiet_NaN()), "1#QNAN...."},
      {"(1P,E10.2)", real64(from_bits(0xFFF8000000000000ULL)), "1#IND....."},
      {"(1P,E10.2)", real64(from_bits(0x7FF0000000000001ULL)), "1#SNAN...."},
      {"(F3.1)", real64(std::numeric_limits<double>::infinity()), "1#I"},
      {"(G12.4)", real64(std::numeric_limits<double>::quiet_NaN()), "1#QNAN......"},
      {"(1P,E10.2)", real32(-std::numeric_limits<float>::quiet_NaN()), "1#IND....."},
  });
}

TEST(EditOutput, Integers) {
  check({
      {"(I3)", integer(5), "  5"},
      {"(I3)", integer(-5), " -5"},
      {"(I3)", integer(1000), "***"},
      {"(I5.3)", integer(7), "  007"},
      {"(I5.3)", integer(-7), " -007"},
      {"(I3.0)", integer(0), "   "},
      {"(SP,I4)", integer(12), " +12"},
      {"(I4.6)", integer(1), "****"},
      {"(I20)", integer(std::numeric_limits<std::int64_t>::min(), Kind::int64),
       "-9223372036854775808"},
      {"(I4)", integer(-128, Kind::int8), "-128"},
  });
}

TEST(EditOutput, RadixForms) {
  check({
      {"(Z2)", integer(-1, Kind::int8), "FF"},
      {"(O6)", integer(-1, Kind::int16), "177777"},
      {"(B8.8)", integer(5), "00000101"},
      {"(Z4)", integer(0x12345), "****"},
      {"(Z3.0)", integer(0), "   "},
      {"(Z16)", real64(1.0), "3FF0000000000000"},
      {"(Z8)", real32(1.0F), "3F800000"},
  });
}

TEST(EditOutput, CharactersAndLogicals) {
  check({
      {"(A)", chars("abc"), "abc"},
      {"(A5)", chars("abc"), "  abc"},
      {"(A2)", chars("abc"), "ab"},
      {"(A)", chars("Estequiom\xE9trico"), "Estequiom\xE9trico"},
      {"(L3)", logical(true), "  T"},
  });
}

TEST(EditOutput, FieldWiderThanTheRenderBuffer) {
  OutputItem value = real64(1.5);
  Records records;
  EXPECT_EQ(write_formatted("(E600.2)", -1, std::span(&value, 1), records),
            IoError::format_field_too_wide);
  EXPECT_TRUE(records.lines.empty());
  OutputItem number = integer(1);
  EXPECT_EQ(write_formatted("(I521)", -1, std::span(&number, 1), records),
            IoError::format_field_too_wide);
  ASSERT_EQ(write_formatted("(I520)", -1, std::span(&number, 1), records), IoError::ok);
  EXPECT_EQ(records.lines.back(), std::string(519, ' ') + "1");
  ASSERT_EQ(write_formatted("(E520.510)", -1, std::span(&value, 1), records), IoError::ok);
  EXPECT_EQ(records.lines.back(),
            std::string(5, ' ') + "." + "15" + std::string(508, '0') + "E+01");
}

}  // namespace
}  // namespace zuna
