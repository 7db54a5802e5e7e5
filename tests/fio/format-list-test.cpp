// List-directed output: the leading blank, the separators, the 79-character
// records and the forms of the values.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fio/format.h"

namespace zuna {
namespace {

using Kind = OutputItem::Kind;

OutputItem chars(const std::string& text) {
  return {.kind = Kind::chars, .text = text.data(), .length = static_cast<int>(text.size())};
}
OutputItem value(Kind kind, std::int64_t i, double re = 0, double im = 0) {
  return {.kind = kind, .i = i, .re = re, .im = im};
}

class Records : public RecordSink {
 public:
  bool end_record(std::string_view text) override {
    lines.emplace_back(text);
    return true;
  }
  bool leave_open(std::string_view) override { return false; }
  std::vector<std::string> lines;
};

std::vector<std::string> write(const std::vector<OutputItem>& items) {
  Records records;
  EXPECT_EQ(write_list_directed(items, records), IoError::ok);
  return records.lines;
}

using Lines = std::vector<std::string>;

TEST(FormatList, TheStopMessage) {
  std::string text = "Stop - Program terminated.";
  EXPECT_EQ(write({chars(text)}), Lines{" Stop - Program terminated."});
}

TEST(FormatList, SeparatorsAndForms) {
  std::string a = "ab", b = "cd", accented = "Op\xE7\xE3o";
  EXPECT_EQ(write({}), Lines{" "});
  EXPECT_EQ(write({chars(a), chars(b), chars(accented)}), Lines{" ab cd Op\xE7\xE3o"});
  EXPECT_EQ(write({value(Kind::int32, 5), value(Kind::int64, -3), value(Kind::int8, -128)}),
            Lines{" 5 -3 -128"});
  EXPECT_EQ(write({value(Kind::logical, 1), value(Kind::logical, 0)}), Lines{" T F"});
  EXPECT_EQ(write({value(Kind::real64, 0, 1.5), value(Kind::real32, 0, 1.5)}),
            Lines{" 1.50000000000000 1.500000"});
  EXPECT_EQ(write({value(Kind::real64, 0, 1.0e-20), value(Kind::real64, 0, -2.5e30)}),
            Lines{" .100000000000000E-19 -.250000000000000E+31"});
  EXPECT_EQ(write({value(Kind::complex128, 0, 1.5, -2.0)}),
            Lines{" (1.50000000000000,-2.00000000000000)"});
  EXPECT_EQ(write({chars(a), value(Kind::int32, 1), chars(b)}), Lines{" ab 1 cd"});
}

TEST(FormatList, RecordsHoldAtMostSeventyNineCharacters) {
  // Items that do not fit go to a new record, which again starts with a blank.
  std::string word(9, 'w');
  std::vector<OutputItem> words(9, chars(word));
  Lines lines = write(words);
  ASSERT_EQ(lines.size(), 2U);
  EXPECT_EQ(lines[0].size(), 1 + 7 * 9 + 6U);  // seven words fit
  EXPECT_EQ(lines[1], " " + word + " " + word);

  // A text of exactly 78 characters fills a fresh record to 79.
  std::string full(78, 'f');
  EXPECT_EQ(write({chars("x"), chars(full)}), (Lines{" x", " " + full}));

  // A text longer than a record is continued over the next ones.
  std::string long_text(200, 'L');
  lines = write({chars("x"), chars(long_text)});
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[0], " x " + std::string(76, 'L'));
  EXPECT_EQ(lines[1], " " + std::string(78, 'L'));
  EXPECT_EQ(lines[2], " " + std::string(46, 'L'));

  // What follows a continued text is separated from it and stays in bounds.
  std::string tail(120, 'T');
  EXPECT_EQ(write({chars(tail), value(Kind::real64, 0, 1.0e-20), value(Kind::real64, 0, 1.0e-20),
                   value(Kind::real64, 0, 1.0e-20)}),
            (Lines{" " + std::string(78, 'T'), " " + std::string(42, 'T') + " .100000000000000E-19",
                   " .100000000000000E-19 .100000000000000E-19"}));

  // Numbers are never split: three of 20 characters fill 64 columns and a
  // fourth would not fit.
  std::vector<OutputItem> numbers(6, value(Kind::real64, 0, 1.0e-20));
  std::string number = ".100000000000000E-19";
  EXPECT_EQ(write(numbers), Lines(2, " " + number + " " + number + " " + number));
}

}  // namespace
}  // namespace zuna
