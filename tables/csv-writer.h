// CSV: one header row of the column names, then one line per row; commas
// between cells, LF line ends. Numbers in their shortest round-trip form, an
// absent value as an empty cell. A text cell holding a comma, a quote or a
// line end is quoted, its quotes doubled (RFC 4180).
#pragma once

#include <vector>

#include "tables/table-writer.h"

namespace zuna::tables {

class CsvWriter final : public TableWriter {
 public:
  // Writes the header row.
  CsvWriter(OutputBuffer& out, std::span<const Column> columns);

  void number(double v) override;
  void integer(std::int64_t v) override;
  void text(std::string_view v) override;
  void absent() override;
  void end_row() override;
  bool finish() override;
  bool ok() const override { return out_.ok(); }

 private:
  // The comma before every cell but the first of its row.
  void separate() {
    ++column_;
    if (first_in_row_) {
      first_in_row_ = false;
    } else {
      out_.put(',');
    }
  }

  // The last number of each column and, once it has come twice in a row,
  // its text: a value repeated down a column (an echoed input, a frozen
  // composition) is copied, not formatted again, while a column whose
  // values change from row to row costs no copy of each text. (A copy of
  // the text just formatted waits for the formatting's stores to reach
  // the cache, a large share of the cost of a short number.)
  struct LastNumber {
    std::uint64_t bits = 0;
    unsigned char size = 0;  // 0: no text kept
    char text[32] = {};
  };

  OutputBuffer& out_;
  std::vector<LastNumber> last_;
  std::size_t column_ = 0;
  bool first_in_row_ = true;
};

}  // namespace zuna::tables
