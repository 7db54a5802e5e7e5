// The three writers on the same rows: numbers that must read back to the
// same double, absent values, texts that need quoting or escaping, a buffer
// far smaller than the table, and a sink that fails.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tables/csv-writer.h"
#include "tables/fan-out.h"
#include "tables/json-writer.h"
#include "tables/text-table.h"

namespace zuna::tables {
namespace {

class StringSink final : public ByteSink {
 public:
  bool write(std::string_view bytes) override {
    ++writes;
    text.append(bytes);
    return true;
  }
  std::string text;
  int writes = 0;
};

// Accepts `allowed` bytes, then fails every write.
class FailingSink final : public ByteSink {
 public:
  explicit FailingSink(std::size_t allowed) : allowed_(allowed) {}
  bool write(std::string_view bytes) override {
    if (bytes.size() > allowed_) {
      return false;
    }
    allowed_ -= bytes.size();
    return true;
  }

 private:
  std::size_t allowed_;
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Doubles whose shortest text is easy to get wrong: ties, the ends of the
// range, subnormals, negative zero, values a fixed precision would round.
const double kAwkward[] = {0.1,
                           0.3,
                           1.0 / 3.0,
                           2.0 / 3.0,
                           1e23,
                           9007199254740993.0,
                           5e-324,
                           2.2250738585072014e-308,
                           2.2250738585072009e-308,
                           1.7976931348623157e308,
                           -0.0,
                           123456789012345680.0,
                           3075.1234567890123,
                           -1.0000000000000002,
                           4.35e-7};

const Column kColumns[] = {
    {"name", CellKind::text},
    {"x", CellKind::number, "kJ/kg", 4},
    {"n", CellKind::integer},
};

double read_double(const std::string& text) {
  double v = 0.0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  EXPECT_TRUE(r.ec == std::errc() && r.ptr == text.data() + text.size()) << text;
  return v;
}

std::vector<std::string> split(const std::string& line, char at) {
  std::vector<std::string> cells;
  std::string cell;
  std::istringstream in(line);
  while (std::getline(in, cell, at)) {
    cells.push_back(cell);
  }
  if (!line.empty() && line.back() == at) {
    cells.emplace_back();
  }
  return cells;
}

template <typename Writer, typename... Extra>
std::string write_awkward(std::size_t capacity, Extra&&... extra) {
  StringSink sink;
  OutputBuffer out(sink, capacity);
  Writer w(out, std::forward<Extra>(extra)..., kColumns);
  for (double v : kAwkward) {
    w.text("v");
    w.number(v);
    w.integer(-7);
    w.end_row();
  }
  EXPECT_TRUE(w.finish());
  return sink.text;
}

TEST(Csv, EveryNumberReadsBackAsTheSameDouble) {
  const std::string text = write_awkward<CsvWriter>(OutputBuffer::kDefaultCapacity);
  std::istringstream lines(text);
  std::string line;
  ASSERT_TRUE(std::getline(lines, line));
  EXPECT_EQ(line, "name,x,n");
  for (double v : kAwkward) {
    ASSERT_TRUE(std::getline(lines, line));
    const std::vector<std::string> cells = split(line, ',');
    ASSERT_EQ(cells.size(), 3u) << line;
    const double back = read_double(cells[1]);
    EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << "value " << v << " written " << cells[1];
    EXPECT_EQ(cells[2], "-7");
  }
  EXPECT_FALSE(std::getline(lines, line));
}

// The rows alone as the value of a member: the form of a document's rows,
// without the document.
TEST(Json, AnArrayAloneHasTheRowsForm) {
  for (int rows : {0, 2}) {
    TextSink sink;
    OutputBuffer out(sink);
    JsonWriter w(out, JsonArrayOnly{}, kColumns);
    for (int k = 0; k < rows; ++k) {
      w.text("a\"b");
      w.number(k == 0 ? 0.1 : NAN);
      w.integer(k);
      w.end_row();
    }
    EXPECT_TRUE(w.finish());
    EXPECT_EQ(sink.text, rows == 0 ? "[]"
                                   : "[\n  {\"name\": \"a\\\"b\", \"x\": 0.1, \"n\": 0},"
                                     "\n  {\"name\": \"a\\\"b\", \"x\": null, \"n\": 1}\n ]");
  }
}

TEST(Csv, ShortestFormsAreTheUsualOnes) {
  StringSink sink;
  OutputBuffer out(sink);
  const Column columns[] = {{"a"}, {"b"}, {"c"}, {"d"}};
  CsvWriter w(out, columns);
  for (double v : {0.1, 1.0, 1e-6, 4675.16}) {
    w.number(v);
  }
  w.end_row();
  ASSERT_TRUE(w.finish());
  EXPECT_EQ(sink.text, "a,b,c,d\n0.1,1,1e-06,4675.16\n");
}

// A value repeated down a column is copied from the row before: the copy
// must be of that column's value, and a value equal but for its sign bit
// (-0 after 0) or a NaN between two equal values must not be taken for it.
TEST(Csv, RepeatedValuesDownAColumnAreWrittenAsTheirOwn) {
  StringSink sink;
  OutputBuffer out(sink);
  const Column columns[] = {{"a"}, {"b"}, {"c"}};
  CsvWriter w(out, columns);
  const double rows[][3] = {{68.046, 0.0, 1.5}, {68.046, -0.0, 1.5}, {68.046, kNaN, 2.5},
                            {1.5, 0.0, 1.5},    {68.046, 0.0, kNaN}, {68.046, 0.0, 1.5}};
  for (const auto& row : rows) {
    for (double v : row) {
      w.number(v);
    }
    w.end_row();
  }
  ASSERT_TRUE(w.finish());
  EXPECT_EQ(sink.text,
            "a,b,c\n68.046,0,1.5\n68.046,-0,1.5\n68.046,,2.5\n1.5,0,1.5\n68.046,0,\n"
            "68.046,0,1.5\n");
}

// Runs of repeated and changing values through the smallest buffer: every
// cell, copied or formatted, across every flush, is the value's own text.
TEST(Csv, RunsOfRepeatedValuesAcrossFlushesAreTheirOwnText) {
  StringSink sink;
  OutputBuffer out(sink, 1);
  const Column columns[] = {{"a"}, {"b"}};
  CsvWriter w(out, columns);
  std::string expected = "a,b\n";
  char text[32];
  for (int row = 0; row < 3000; ++row) {
    const double a = -1.0 / 3.0 * (row / 7);  // runs of seven
    const double b = std::ldexp(1.0 + row % 5 / 9.0, row % 3 == 0 ? -1070 : row % 200);
    w.number(a);
    w.number(b);
    w.end_row();
    expected += std::string(text, std::to_chars(text, text + sizeof text, a).ptr) + ",";
    expected += std::string(text, std::to_chars(text, text + sizeof text, b).ptr) + "\n";
  }
  ASSERT_TRUE(w.finish());
  EXPECT_EQ(sink.text, expected);
}

TEST(Csv, AbsentAndNonFiniteValuesAreEmptyCells) {
  StringSink sink;
  OutputBuffer out(sink);
  const Column columns[] = {{"a"}, {"b"}, {"c"}, {"d", CellKind::integer}};
  CsvWriter w(out, columns);
  w.number(kNaN);
  w.number(kInf);
  w.number(-kInf);
  w.absent();
  w.end_row();
  w.absent();
  w.number(2.5);
  w.absent();
  w.integer(0);
  w.end_row();
  ASSERT_TRUE(w.finish());
  EXPECT_EQ(sink.text, "a,b,c,d\n,,,\n,2.5,,0\n");
}

TEST(Csv, TextsWithCommasQuotesOrLineEndsAreQuoted) {
  StringSink sink;
  OutputBuffer out(sink);
  const Column columns[] = {{"a", CellKind::text}, {"b", CellKind::text}, {"c", CellKind::text}};
  CsvWriter w(out, columns);
  w.text("exit, 10");
  w.text("say \"hi\"");
  w.text("two\nlines");
  w.end_row();
  ASSERT_TRUE(w.finish());
  EXPECT_EQ(sink.text, "a,b,c\n\"exit, 10\",\"say \"\"hi\"\"\",\"two\nlines\"\n");
}

TEST(Buffer, ATableLargerThanTheBufferComesOutWholeInFewWrites) {
  const std::string small = write_awkward<CsvWriter>(64);
  const std::string large = write_awkward<CsvWriter>(OutputBuffer::kDefaultCapacity);
  EXPECT_EQ(small, large);

  StringSink sink;
  OutputBuffer out(sink);
  const Column columns[] = {{"a"}, {"b"}};
  CsvWriter w(out, columns);
  for (int i = 0; i < 20000; ++i) {
    w.number(i * 0.1);
    w.number(-i / 3.0);
    w.end_row();
  }
  ASSERT_TRUE(w.finish());
  EXPECT_GT(sink.text.size(), 500000u);
  EXPECT_LT(sink.writes, 20);  // one per 64 KiB, not one per cell
}

TEST(Buffer, AFailedWriteIsKeptAndLaterBytesAreDropped) {
  FailingSink sink(100);
  OutputBuffer out(sink, 64);
  const Column columns[] = {{"a"}};
  CsvWriter w(out, columns);
  for (int i = 0; i < 10000; ++i) {
    w.number(i);
    w.end_row();
  }
  EXPECT_FALSE(out.ok());
  EXPECT_FALSE(w.finish());
}

TEST(Json, ReadsBackWithTheSameNamesValuesAndNulls) {
  StringSink sink;
  OutputBuffer out(sink, 128);
  const JsonMember members[] = {{"program", "zuna4c"},
                                {"version", "1.0.0"},
                                {"thermo_sha256", "ab\"c\\\n\x01"},
                                {"count", "3", true}};
  JsonWriter w(out, members, kColumns);
  for (double v : kAwkward) {
    w.text("tab\there");
    w.number(v);
    w.integer(42);
    w.end_row();
  }
  w.text("absent");
  w.number(kNaN);
  w.absent();
  w.end_row();
  ASSERT_TRUE(w.finish());

  const nlohmann::json doc = nlohmann::json::parse(sink.text);
  EXPECT_EQ(doc["program"], "zuna4c");
  EXPECT_EQ(doc["thermo_sha256"], "ab\"c\\\n\x01");
  EXPECT_EQ(doc["count"], 3);
  const nlohmann::json& rows = doc["rows"];
  ASSERT_EQ(rows.size(), std::size(kAwkward) + 1);
  for (std::size_t i = 0; i < std::size(kAwkward); ++i) {
    ASSERT_EQ(rows[i].size(), 3u);
    EXPECT_EQ(rows[i]["name"], "tab\there");
    EXPECT_EQ(rows[i]["n"], 42);
    // A JSON reader may take "-0" for the integer 0: compared by value.
    EXPECT_EQ(rows[i]["x"].get<double>(), kAwkward[i]);
  }
  EXPECT_TRUE(rows.back()["x"].is_null());
  EXPECT_TRUE(rows.back()["n"].is_null());
  // The members come first, in order, the rows last.
  EXPECT_EQ(sink.text.find("{\"program\": \"zuna4c\""), 0u);
}

TEST(Json, ATableWithoutRowsIsAnEmptyArray) {
  StringSink sink;
  OutputBuffer out(sink);
  const JsonMember members[] = {{"program", "zuna4c"}};
  JsonWriter w(out, members, kColumns);
  ASSERT_TRUE(w.finish());
  const nlohmann::json doc = nlohmann::json::parse(sink.text);
  EXPECT_TRUE(doc["rows"].is_array());
  EXPECT_TRUE(doc["rows"].empty());
}

// Three rows in blocks of two: the labels with their units, cells right-aligned
// in their width and rounded to the column's digits, "-" for an absent value,
// a blank line between blocks.
TEST(TextTable, PrintsBlocksOfRowsWithOneLinePerColumn) {
  StringSink sink;
  OutputBuffer out(sink);
  TextTable w(out, kColumns, 2, 8);
  w.text("hp");
  w.number(3075.1234);
  w.integer(5);
  w.end_row();
  w.text("a-long-name");
  w.number(kNaN);
  w.integer(-1);
  w.end_row();
  w.text("tp");
  w.number(1.5e-7);
  w.absent();
  w.end_row();
  ASSERT_TRUE(w.finish());
  EXPECT_EQ(sink.text,
            "name            hp a-long-name\n"
            "x, kJ/kg      3075       -\n"
            "n                5      -1\n"
            "\n"
            "name            tp\n"
            "x, kJ/kg   1.5e-07\n"
            "n                -\n");
}

// Each row reaches every writer; one failing output makes the whole not ok,
// and finish() still finishes the others.
TEST(FanOut, WritesEachRowToEveryWriterAndTellsAFailure) {
  StringSink csv_sink;
  FailingSink json_sink(10);
  OutputBuffer csv_out(csv_sink), json_out(json_sink, 64);
  const Column columns[] = {{"a"}};
  CsvWriter csv(csv_out, columns);
  const JsonMember members[] = {{"program", "zuna4c"}};
  JsonWriter json(json_out, members, columns);
  FanOut both({&csv, &json});
  both.number(0.5);
  both.end_row();
  EXPECT_TRUE(both.ok());
  for (int i = 0; i < 2000 && both.ok(); ++i) {
    both.number(i);
    both.end_row();
  }
  EXPECT_FALSE(both.ok());
  EXPECT_FALSE(both.finish());
  EXPECT_EQ(csv_sink.text.substr(0, 6), "a\n0.5\n");
}

}  // namespace
}  // namespace zuna::tables
