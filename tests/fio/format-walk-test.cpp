// Whole statements: the records a format and its items give, in order, and
// whether the last one stays open.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "fio/format.h"

namespace zuna {
namespace {

using Kind = OutputItem::Kind;

OutputItem real64(double v) { return {.kind = Kind::real64, .re = v}; }
OutputItem integer(std::int64_t v) { return {.kind = Kind::int32, .i = v}; }
OutputItem chars(const char* text) {
  return {.kind = Kind::chars,
          .text = text,
          .length = static_cast<int>(std::char_traits<char>::length(text))};
}
OutputItem complex128(double re, double im) {
  return {.kind = Kind::complex128, .re = re, .im = im};
}

// Records as the sink saw them; an open record is marked with a trailing
// "<open>". Refuses the record numbered `refuse_at` (0-based) when set.
class Records : public RecordSink {
 public:
  bool end_record(std::string_view text) override {
    lines.emplace_back(text);
    return static_cast<int>(lines.size()) != refuse_at + 1;
  }
  bool leave_open(std::string_view text) override {
    lines.emplace_back(std::string(text) + "<open>");
    return static_cast<int>(lines.size()) != refuse_at + 1;
  }
  std::vector<std::string> lines;
  int refuse_at = -1;
};

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += "[" + line + "]\n";
  }
  return text;
}

struct Statement {
  const char* format;
  std::vector<OutputItem> items;
  std::vector<std::string> expected;
  IoError status = IoError::ok;
};

void check(const std::vector<Statement>& cases) {
  for (const Statement& c : cases) {
    Records records;
    IoError status = write_formatted(c.format, -1, c.items, records);
    EXPECT_TRUE(status == c.status && records.lines == c.expected)
        << "format " << c.format << " with " << c.items.size() << " items\n  expected status "
        << error_number(c.status) << ", records\n"
        << joined(c.expected) << "  got status " << error_number(status) << ", records\n"
        << joined(records.lines);
  }
}

std::vector<OutputItem> reals(std::initializer_list<double> values) {
  std::vector<OutputItem> items;
  for (double value : values) {
    items.push_back(real64(value));
  }
  return items;
}

TEST(FormatWalk, RowsOfTheReport) {
  Records eight;
  ASSERT_EQ(write_formatted("(8(1P,E10.2))", -1, reals({1, -2, 3, 4, 5, 6, 7, 8}), eight),
            IoError::ok);
  ASSERT_EQ(eight.lines.size(), 1U);
  EXPECT_EQ(eight.lines[0],
            "  1.00E+00 -2.00E+00  3.00E+00  4.00E+00  5.00E+00  6.00E+00  7.00E+00  8.00E+00");
  EXPECT_EQ(eight.lines[0].size(), 80U);

  Records seven;
  ASSERT_EQ(write_formatted("(7(1P,E10.2))", -1, reals({1, 2, 3, 4, 5, 6, 7}), seven), IoError::ok);
  ASSERT_EQ(seven.lines.size(), 1U);
  EXPECT_EQ(seven.lines[0].size(), 70U);

  check({
      {"(1P,E10.2,2(1P,E15.4))",
       reals({2.0, 3000.5, 2900.25}),
       {"  2.00E+00     3.0005E+03     2.9003E+03"}},
  });
}

TEST(FormatWalk, TextsOfTheProgram) {
  check({
      {"(2X,'Pontos j\xE1 processados =',I3,' de',I4)",
       {integer(5), integer(100)},
       {"  Pontos j\xE1 processados =  5 de 100"}},
      // Two empty records, then the line, left open.
      {"(/,/,5X,'Tempo de processamento (s) = ',1P,E10.2,\\\\)",
       reals({12.5}),
       {"", "", "     Tempo de processamento (s) =   1.25E+01<open>"}},
      // The closing "/" leaves an empty record after the value's line.
      {"(/,/,/,10X,'O/F estequiom\xE9trico =',1P,E15.5,/)",
       reals({7.936}),
       {"", "", "", "          O/F estequiom\xE9trico =    7.93600E+00", ""}},
  });
}

TEST(FormatWalk, ReversionAndTheEndOfTheItems) {
  check({
      // Items beyond the descriptors: records of 2, 2 and 1 values.
      {"(1P,2(E10.2))",
       reals({1, 2, 3, 4, 5}),
       {"  1.00E+00  2.00E+00", "  3.00E+00  4.00E+00", "  5.00E+00"}},
      // Without a group the whole format is used again.
      {"(1P,E10.2,E10.2)", reals({1, 2, 3}), {"  1.00E+00  2.00E+00", "  3.00E+00"}},
      // The scale factor stays in force across reversion.
      {"(1P,E10.2,(E10.2))", reals({1, 2, 3}), {"  1.00E+00  2.00E+00", "  3.00E+00"}},
      // Reversion goes to the last group of the first level, with its count.
      {"(I2,2(I3),(I4))",
       {integer(1), integer(2), integer(3), integer(4), integer(5)},
       {" 1  2  3   4", "   5"}},
      // Literals after the last item are written up to the next data edit.
      {"(I3,' a',I3,' b')", {integer(1)}, {"  1 a"}},
      {"(I3,:,' a')", {integer(1)}, {"  1"}},
      {"('x',:,'y')", {}, {"x"}},
      {"()", {}, {""}},
      {"('only text')", {}, {"only text"}},
      // A complex item takes two descriptors, across reversion too.
      {"(F6.2)", {complex128(1.5, -2.5)}, {"  1.50", " -2.50"}},
  });
}

TEST(FormatWalk, PositioningAndRecordEnds) {
  check({
      {"('abcdef',T3,'X')", {}, {"abXdef"}},
      {"('abc',TL2,'Z')", {}, {"aZc"}},
      {"('abc',TL10,'Z')", {}, {"Zbc"}},
      {"('ab',TR3,'c')", {}, {"ab   c"}},
      {"('ab',X,'c')", {}, {"ab c"}},
      {"('ab',5X)", {}, {"ab"}},  // columns passed over at the end add nothing
      {"(T5,'x',T1,'y')", {}, {"y   x"}},
      {"(200X,'a')", {}, {std::string(200, ' ') + "a"}},
      {"('a',3/,'b')", {}, {"a", "", "", "b"}},
      {"('a',$)", {}, {"a<open>"}},
      {"('a',\\,/,'b')", {}, {"a", "b"}},  // a record end after "\" cancels it
      {"(I3,\\)", {integer(1), integer(2)}, {"  1", "  2<open>"}},
      {"(/,'a',\\,\\,\\)", {}, {"", "a<open>"}},
  });
}

TEST(FormatWalk, ItemsThatDoNotSuitTheirDescriptor) {
  check({
      {"(I3)", {real64(1.0)}, {}, IoError::format_item_mismatch},
      {"(F5.1)", {integer(1)}, {}, IoError::format_item_mismatch},
      {"(L2)", {chars("T")}, {}, IoError::format_item_mismatch},
      {"(F6.2,I3)", {complex128(1, 2)}, {}, IoError::format_item_mismatch},
      // Records completed before the fault have been handed over.
      {"(I3,/,I3)", {integer(1), real64(2.0)}, {"  1"}, IoError::format_item_mismatch},
  });
}

TEST(FormatWalk, FormatFaultsAreReportedOnlyWhenReached) {
  check({
      // Beyond the first data edit left without an item: never reached.
      {"(I3,I3,W)", {integer(1)}, {"  1"}},
      {"(I3,/,I3,'a',W)", {integer(1)}, {"  1", ""}},
      // Between the last item and that data edit: reported.
      {"(I3,W,I3)", {integer(1)}, {}, IoError::format_bad_character},
      {"(I3,'x',W)", {integer(1)}, {}, IoError::format_bad_character},
      {"(I3,/,'x',W)", {integer(1)}, {"  1"}, IoError::format_bad_character},
      {"(I3,2X,(I3,2T1))", {integer(1), integer(2)}, {}, IoError::format_repeat_not_allowed},
  });
}

TEST(FormatWalk, FormatsThatCannotTakeTheirItems) {
  check({
      {"()", {integer(1)}, {}, IoError::format_no_data_descriptor},
      {"('x')", {integer(1)}, {}, IoError::format_no_data_descriptor},
      // The fault is met before reversion would end the record.
      {"(I3,('x'))", {integer(1), integer(2)}, {}, IoError::format_no_data_descriptor},
      // Q takes nothing on output, so it does not count as a data edit.
      {"(Q)", {integer(1)}, {}, IoError::format_no_data_descriptor},
      {"(I3,Q,'a')", {integer(1)}, {"  1a"}},
  });
}

TEST(FormatWalk, RunawayFormatsEndQuickly) {
  struct Runaway {
    const char* format;
    std::vector<OutputItem> items;
    IoError status;
  };
  const Runaway cases[] = {
      {"(2000000000(/))", {}, IoError::format_repeat_not_allowed},
      {"(2000000000/)", {}, IoError::format_repeat_not_allowed},
      {"(2000000000(2000000000(2000000000(X,TL1))))", {}, IoError::format_repeat_not_allowed},
      {"(I1,2000000000(2000000000(X)),I1)",
       {integer(1), integer(2)},
       IoError::format_repeat_not_allowed},
      {"(2000000000('ab'))", {}, IoError::record_too_long},
      {"(70000X,'a')", {}, IoError::record_too_long},
      {"(T2000000000,'a')", {}, IoError::record_too_long},
      {"(A100000)", {chars("x")}, IoError::record_too_long},
  };
  for (const Runaway& c : cases) {
    auto start = std::chrono::steady_clock::now();
    Records records;
    IoError status = write_formatted(c.format, -1, c.items, records);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(status, c.status) << "format " << c.format;
    EXPECT_LT(records.lines.size(), 20000U) << "format " << c.format;
    EXPECT_LT(elapsed, std::chrono::seconds(1)) << "format " << c.format;
  }
  // A group without data edits may still repeat a fair number of times.
  check({{"(1000('ab',TL2))", {}, {"ab"}}, {"(1000(/))", {}, std::vector<std::string>(1001)}});
}

TEST(FormatWalk, RefusedRecordStopsTheWalk) {
  Records records;
  records.refuse_at = 0;
  EXPECT_EQ(write_formatted("(I3,/,I3)", -1, std::vector{integer(1), integer(2)}, records),
            IoError::file_write_failed);
  EXPECT_EQ(records.lines, std::vector<std::string>{"  1"});

  Records open;
  open.refuse_at = 1;
  EXPECT_EQ(write_formatted("('a',/,'b',$)", -1, {}, open), IoError::file_write_failed);
  EXPECT_EQ(open.lines, (std::vector<std::string>{"a", "b<open>"}));

  Records reverting;
  reverting.refuse_at = 0;
  EXPECT_EQ(write_formatted("(I3)", -1, std::vector{integer(1), integer(2)}, reverting),
            IoError::file_write_failed);
  EXPECT_EQ(reverting.lines.size(), 1U);
}

// A sink that writes another statement while a walk is on: the inner
// statement must not disturb the outer one's format or record.
class NestingSink : public RecordSink {
 public:
  bool end_record(std::string_view text) override {
    lines.emplace_back(text);
    if (lines.size() == 1) {
      Records inner;
      OutputItem item = integer(7);
      inner_status = write_formatted("('inner',I2)", -1, std::span(&item, 1), inner);
      inner_lines = inner.lines;
    }
    return true;
  }
  bool leave_open(std::string_view text) override { return end_record(text); }
  std::vector<std::string> lines, inner_lines;
  IoError inner_status = IoError::end_of_file;
};

TEST(FormatWalk, StatementWrittenFromInsideASink) {
  NestingSink sink;
  ASSERT_EQ(write_formatted("('a',I2,/,'b',I2)", -1, std::vector{integer(1), integer(2)}, sink),
            IoError::ok);
  EXPECT_EQ(sink.lines, (std::vector<std::string>{"a 1", "b 2"}));
  EXPECT_EQ(sink.inner_status, IoError::ok);
  EXPECT_EQ(sink.inner_lines, std::vector<std::string>{"inner 7"});
}

// A translation is kept by its text, never by where the text lies: a buffer
// rewritten with another format, texts that differ only late or in length,
// and more formats than are kept all give their own records.
TEST(FormatWalk, EveryStatementUsesItsOwnFormatText) {
  OutputItem item = integer(42);
  auto one = [&item](const char* format) {
    Records records;
    write_formatted(format, -1, std::span(&item, 1), records);
    return joined(records.lines);
  };
  char buffer[] = "(I3)";
  EXPECT_EQ(one(buffer), "[ 42]\n");
  buffer[2] = '5';
  EXPECT_EQ(one(buffer), "[   42]\n");
  EXPECT_EQ(one("(I4,'ab')"), "[  42ab]\n");
  EXPECT_EQ(one("(I4,'ac')"), "[  42ac]\n");
  for (int round = 0; round < 3; ++round) {
    for (int n = 1; n <= 200; ++n) {
      std::string format = "(I";
      format.append(std::to_string(n % 9 + 2)).append(",'").append(std::to_string(n)).append("')");
      std::string expected = "[";
      expected.append(static_cast<std::size_t>(n % 9), ' ').append("42");
      expected.append(std::to_string(n)).append("]\n");
      ASSERT_EQ(one(format.c_str()), expected) << format << " in round " << round;
    }
  }
}

TEST(FormatWalk, ThreadsDoNotShareTheirFormatOrRecord) {
  // Each thread writes its own format many times; any sharing of the
  // translated format or the record between threads shows as a wrong record.
  auto worker = [](int n, bool* all_right) {
    std::string tail(static_cast<std::size_t>(n + 1), 'x');
    std::string format = "(I2,'-";
    format.append(tail).append("')");
    std::string expected = " ";
    expected.append(std::to_string(n + 1)).append("-").append(tail);
    OutputItem item = integer(n + 1);
    for (int i = 0; i < 2000; ++i) {
      Records records;
      write_formatted(format.c_str(), -1, std::span(&item, 1), records);
      if (records.lines != std::vector<std::string>{expected}) {
        *all_right = false;
      }
    }
  };
  bool all_right[4] = {true, true, true, true};
  std::vector<std::thread> threads;
  for (int n = 0; n < 4; ++n) {
    threads.emplace_back(worker, n, &all_right[n]);
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_TRUE(all_right[0] && all_right[1] && all_right[2] && all_right[3]);
}

}  // namespace
}  // namespace zuna
