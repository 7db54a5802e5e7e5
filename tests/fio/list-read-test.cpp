// List-directed reads from a character variable, as the run-parameter dialog
// converts its texts: separators, null values, repeat counts, the slash, the
// zero rule of an exhausted text, and the status request.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fio/fio.h"
#include "fio/io-error.h"
#include "tests/support/exit-code.h"
#include "tests/support/recording-host.h"

namespace zuna {
namespace {

using testing::RecordingHost;

// The dialog's buffer: 256 characters, the text followed by blanks.
struct Buffer {
  char text[256];
  explicit Buffer(const std::string& s) {
    std::memset(text, ' ', sizeof text);
    std::memcpy(text, s.data(), std::min(s.size(), sizeof text));
  }
};

class ListRead : public ::testing::Test {
 protected:
  void SetUp() override { runtime_start(host); }

  // Reads the doubles of `items` from `text` with the status request.
  int read_reals(const std::string& text, std::initializer_list<double*> items) {
    Buffer b(text);
    int st = begin_internal_read(b.text, 256, nullptr, 0, true);
    for (double* item : items) {
      if (st == 0) {
        st = get_real64(item);
      }
    }
    int end = end_read();
    return st != 0 ? st : end;
  }

  int read_int(const std::string& text, std::int32_t& item) {
    Buffer b(text);
    int st = begin_internal_read(b.text, 256, nullptr, 0, true);
    if (st == 0) {
      st = get_int32(&item);
    }
    int end = end_read();
    return st != 0 ? st : end;
  }

  RecordingHost host;
};

TEST_F(ListRead, DialogDefaultTexts) {
  double rmin = 0, tolh = 0, toln = 0, ptot = 0;
  EXPECT_EQ(read_reals("0.5d0", {&rmin}), 0);
  EXPECT_EQ(read_reals("1.0d-3", {&tolh}), 0);
  EXPECT_EQ(read_reals("1.0d-10", {&toln}), 0);
  EXPECT_EQ(read_reals("10", {&ptot}), 0);
  EXPECT_EQ(rmin, 0.5);
  EXPECT_EQ(tolh, 0.001);
  EXPECT_EQ(toln, 1e-10);
  EXPECT_EQ(ptot, 10.0);
  std::int32_t npmin = 0, itmaxn = 0;
  EXPECT_EQ(read_int("10", npmin), 0);
  EXPECT_EQ(read_int("200", itmaxn), 0);
  EXPECT_EQ(npmin, 10);
  EXPECT_EQ(itmaxn, 200);
}

TEST_F(ListRead, ExponentFormsAllReadAlike) {
  for (const char* text : {"1.0E5", "1.0D5", "1.0d5", "1.0+5", "  1.0e+05  "}) {
    double v = 0;
    EXPECT_EQ(read_reals(text, {&v}), 0) << text;
    EXPECT_EQ(v, 1.0E5) << text;
  }
}

TEST_F(ListRead, MalformedTextKeepsTheValueAndAnswersItsNumber) {
  double v = 2.5;
  EXPECT_EQ(read_reals("abc", {&v}), error_number(IoError::read_bad_real));
  EXPECT_EQ(v, 2.5);
  std::int32_t n = 7;
  EXPECT_EQ(read_int("abc", n), error_number(IoError::read_bad_integer));
  EXPECT_EQ(read_int("1.5", n), error_number(IoError::read_bad_integer));
  EXPECT_EQ(read_int("3000000000", n), error_number(IoError::read_integer_overflow));
  EXPECT_EQ(n, 7);
  EXPECT_EQ(read_reals("'1.0'", {&v}), error_number(IoError::read_character_for_number));
  EXPECT_EQ(read_reals("(1.0,2.0)", {&v}), error_number(IoError::read_complex_for_number));
  EXPECT_EQ(read_reals("1.0E999", {&v}), error_number(IoError::read_real_overflow));
  EXPECT_EQ(v, 2.5);
  // Nothing was reported, the program goes on.
  EXPECT_TRUE(host.errors.empty());
  EXPECT_FALSE(host.exit_code);
}

TEST_F(ListRead, BlankOrEmptyTextGivesZeroWithStatusZero) {
  double v = 9.0;
  EXPECT_EQ(read_reals("", {&v}), 0);
  EXPECT_EQ(v, 0.0);
  std::int32_t n = 9;
  EXPECT_EQ(read_int("   ", n), 0);
  EXPECT_EQ(n, 0);
  // Every item after the end of the text is cleared too.
  double a = 1, b = 2, c = 3;
  EXPECT_EQ(read_reals("4.0", {&a, &b, &c}), 0);
  EXPECT_EQ(a, 4.0);
  EXPECT_EQ(b, 0.0);
  EXPECT_EQ(c, 0.0);
  // A zero-length variable.
  double d = 5;
  ASSERT_EQ(begin_internal_read("", 0, nullptr, 0, true), 0);
  EXPECT_EQ(get_real64(&d), 0);
  EXPECT_EQ(end_read(), 0);
  EXPECT_EQ(d, 0.0);
}

TEST_F(ListRead, RepeatCountsNullValuesAndSlash) {
  double a = -1, b = -1, c = -1;
  EXPECT_EQ(read_reals("3*1.5", {&a, &b, &c}), 0);
  EXPECT_EQ(a, 1.5);
  EXPECT_EQ(b, 1.5);
  EXPECT_EQ(c, 1.5);

  a = b = c = -1;
  EXPECT_EQ(read_reals("1.0,,3.0", {&a, &b, &c}), 0);
  EXPECT_EQ(a, 1.0);
  EXPECT_EQ(b, -1.0);
  EXPECT_EQ(c, 3.0);

  a = b = c = -1;
  EXPECT_EQ(read_reals("1.0/", {&a, &b, &c}), 0);
  EXPECT_EQ(a, 1.0);
  EXPECT_EQ(b, -1.0);
  EXPECT_EQ(c, -1.0);

  a = b = c = -1;
  EXPECT_EQ(read_reals("2* 7", {&a, &b, &c}), 0);  // r* alone: r null values
  EXPECT_EQ(a, -1.0);
  EXPECT_EQ(b, -1.0);
  EXPECT_EQ(c, 7.0);

  a = b = c = -1;
  EXPECT_EQ(read_reals(" , 2.0 ,  , ", {&a, &b, &c}), 0);
  EXPECT_EQ(a, -1.0);
  EXPECT_EQ(b, 2.0);
  EXPECT_EQ(c, -1.0);

  a = b = c = -1;
  EXPECT_EQ(read_reals("1\t2 , 3 trailing words", {&a, &b, &c}), 0);
  EXPECT_EQ(a, 1.0);
  EXPECT_EQ(b, 2.0);
  EXPECT_EQ(c, 3.0);
}

TEST_F(ListRead, BadRepeatCounts) {
  double a = -1, b = -1;
  EXPECT_EQ(read_reals("0*1.5", {&a}), error_number(IoError::read_bad_repeat));
  EXPECT_EQ(read_reals("2**1.5", {&a}), error_number(IoError::read_bad_repeat));
  EXPECT_EQ(read_reals("2*3*1.5", {&a}), error_number(IoError::read_bad_repeat));
  EXPECT_EQ(a, -1.0);
  // A failing item ends the statement: later items are left alone.
  EXPECT_EQ(read_reals("1.0 x 3.0", {&a, &b}), error_number(IoError::read_bad_real));
  EXPECT_EQ(a, 1.0);
  EXPECT_EQ(b, -1.0);
}

TEST_F(ListRead, WithoutStatusRequestAnErrorEndsTheProgram) {
  double v = 1.0;
  auto code = testing::exit_code_of([&] {
    begin_internal_read("1.0x", 4, nullptr, 0, false);
    get_real64(&v);
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(v, 1.0);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].box_text(), "F6602: READ() - invalid real");
  EXPECT_EQ(host.exit_code, 1);
}

TEST_F(ListRead, NulCharactersSeparateLikeBlanks) {
  // A variable filled from a C string: the value ends at the first NUL.
  char text[16] = "0.25";
  double v = 0;
  ASSERT_EQ(begin_internal_read(text, 16, nullptr, 0, true), 0);
  EXPECT_EQ(get_real64(&v), 0);
  EXPECT_EQ(end_read(), 0);
  EXPECT_EQ(v, 0.25);
}

}  // namespace
}  // namespace zuna
