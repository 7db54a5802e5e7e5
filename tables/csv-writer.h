// CSV: one header row of the column names, then one line per row; commas
// between cells, LF line ends. Numbers in their shortest round-trip form, an
// absent value as an empty cell. A text cell holding a comma, a quote or a
// line end is quoted, its quotes doubled (RFC 4180).
#pragma once

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

 private:
  // The comma before every cell but the first of its row.
  void separate() {
    if (first_in_row_) {
      first_in_row_ = false;
    } else {
      out_.put(',');
    }
  }

  OutputBuffer& out_;
  bool first_in_row_ = true;
};

}  // namespace zuna::tables
