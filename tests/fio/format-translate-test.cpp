// The format language: what the translation accepts, and the fault it
// reports for what it does not.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fio/format.h"

namespace zuna {
namespace {

using Kind = OutputItem::Kind;

OutputItem integer(std::int64_t v) { return {.kind = Kind::int32, .i = v}; }
OutputItem real64(double v) { return {.kind = Kind::real64, .re = v}; }

class Records : public RecordSink {
 public:
  bool end_record(std::string_view text) override {
    lines.emplace_back(text);
    return true;
  }
  bool leave_open(std::string_view text) override {
    lines.emplace_back(std::string(text) + "<open>");
    return true;
  }
  std::vector<std::string> lines;
};

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += "[" + line + "]";
  }
  return text;
}

struct Accepted {
  std::string format;
  std::vector<OutputItem> items;
  std::string expected;  // the records, each in brackets
};

void check_accepted(const std::vector<Accepted>& cases) {
  for (const Accepted& c : cases) {
    Records records;
    IoError status =
        write_formatted(c.format.data(), static_cast<int>(c.format.size()), c.items, records);
    std::string got = joined(records.lines);
    EXPECT_TRUE(status == IoError::ok && got == c.expected)
        << "format " << c.format << "\n  expected " << c.expected << "\n  got      " << got
        << " status " << error_number(status);
  }
}

TEST(FormatTranslate, SpellingsThatMeanTheSame) {
  std::vector<OutputItem> two = {integer(7), real64(2.5)};
  check_accepted({
      {"(I3,F6.2)", two, "[  7  2.50]"},
      {"(i3,f6.2)", two, "[  7  2.50]"},
      {"( I 3 ,\tF 6 . 2 )", two, "[  7  2.50]"},
      {"(I3F6.2)", two, "[  7  2.50]"},
      {"  (I3,F6.2)", two, "[  7  2.50]"},
      {"(I3,F6.2) anything after the closing parenthesis (", two, "[  7  2.50]"},
      {"(1PE10.2)", {real64(5.0)}, "[  5.00E+00]"},
      {"(-1P,E10.2)", {real64(5.0)}, "[   .05E+02]"},
      {"(1 0X,'a')", {}, "[          a]"},
      {"('a',T L 1,'b')", {}, "[b]"},
      {"('a',tr2,'b',tl1,'c')", {}, "[a  c]"},
      {"(2(I2),2(I2))", {integer(1), integer(2), integer(3), integer(4)}, "[ 1 2 3 4]"},
  });
}

TEST(FormatTranslate, LiteralText) {
  check_accepted({
      {"('it''s')", {}, "[it's]"},
      {"(\"say \"\"hi\"\"\")", {}, "[say \"hi\"]"},
      {"(3Habc)", {}, "[abc]"},
      {"(5H'a b')", {}, "['a b']"},
      {"(4h) ,x)", {}, "[) ,x]"},
      {"('')", {}, "[]"},
      {"('Op\xE7\xE3o', ' \xE9')", {}, "[Op\xE7\xE3o \xE9]"},
      // Long literals and wide numbers take the four-byte form.
      {"('" + std::string(300, 'z') + "')", {}, "[" + std::string(300, 'z') + "]"},
      {"(121X,'a',-121P,E9.2)", {real64(1.0)}, "[" + std::string(121, ' ') + "a  .00+121]"},
  });
}

TEST(FormatTranslate, GroupsNestSixteenDeep) {
  std::string sixteen = "(" + std::string(16, '(') + "I2" + std::string(16, ')') + ")";
  check_accepted({{sixteen, {integer(1), integer(2)}, "[ 1][ 2]"}});
  std::string seventeen = "(" + std::string(17, '(') + "I2" + std::string(17, ')') + ")";
  Records records;
  OutputItem item = integer(1);
  EXPECT_EQ(write_formatted(seventeen.c_str(), -1, std::span(&item, 1), records),
            IoError::format_nesting_too_deep);
  // The fault is reached before any item: nothing is written.
  EXPECT_TRUE(records.lines.empty());
}

TEST(FormatTranslate, LengthOfTheText) {
  // Format texts stored back to back: only the given length is read.
  const char texts[] = "(I3)(A)";
  OutputItem item = integer(5);
  Records records;
  EXPECT_EQ(write_formatted(texts, 4, std::span(&item, 1), records), IoError::ok);
  EXPECT_EQ(write_formatted(texts, 3, std::span(&item, 1), records), IoError::format_bad_character);
  EXPECT_EQ(write_formatted(texts, 0, std::span(&item, 1), records), IoError::format_no_open_paren);
  EXPECT_EQ(write_formatted(nullptr, -1, std::span(&item, 1), records),
            IoError::format_no_open_paren);
  const char with_nul[] = {'(', 'I', '3', ')', '\0'};
  EXPECT_EQ(write_formatted(with_nul, -1, std::span(&item, 1), records), IoError::ok);
  EXPECT_EQ(records.lines, (std::vector<std::string>{"  5", "  5"}));
}

struct Refused {
  const char* format;
  IoError status;
};

TEST(FormatTranslate, FaultsOfTheText) {
  const Refused cases[] = {
      {"I3)", IoError::format_no_open_paren},
      {"", IoError::format_no_open_paren},
      {"(3:)", IoError::format_repeat_not_allowed},
      {"(2T5)", IoError::format_repeat_not_allowed},
      {"(2\\)", IoError::format_repeat_not_allowed},
      {"(2'ab')", IoError::format_repeat_not_allowed},
      {"(I3,2)", IoError::format_repeat_not_allowed},
      {"(0I3)", IoError::format_repeat_not_allowed},
      {"(0(I3))", IoError::format_repeat_not_allowed},
      {"(H)", IoError::format_count_required},
      {"(P,E10.2)", IoError::format_count_required},
      {"(T)", IoError::format_count_required},
      {"(TR,I3)", IoError::format_count_required},
      {"('abc)", IoError::format_unclosed_literal},
      {"(5Habc)", IoError::format_unclosed_literal},
      {"(I)", IoError::format_missing_width},
      {"(F5)", IoError::format_missing_width},
      {"(F.2)", IoError::format_missing_width},
      {"(E10.2E)", IoError::format_missing_width},
      {"(EN10)", IoError::format_missing_width},
      {"(W5)", IoError::format_bad_character},
      {"(I3", IoError::format_bad_character},
      {"(-I3)", IoError::format_bad_character},
      {"(+5X)", IoError::format_bad_character},
      {"(12345678901234567X)", IoError::format_bad_character},  // 17 digits
      {"(3000000000X)", IoError::format_bad_character},         // beyond 32 bits
      {"(I3 \x01)", IoError::format_bad_character},
  };
  for (const Refused& c : cases) {
    Records records;
    OutputItem item = integer(1);
    // The fault stands before or at the first data edit, so it is reached.
    IoError status = write_formatted(c.format, -1, std::span(&item, 1), records);
    EXPECT_EQ(error_number(status), error_number(c.status)) << "format " << c.format;
  }
  // Sixteen digits are still a number.
  check_accepted({{"(0000000000000002X,'a')", {}, "[  a]"}});
}

}  // namespace
}  // namespace zuna
