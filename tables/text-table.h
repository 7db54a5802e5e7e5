// The readable table of a terminal, printed the way the NASA Glenn programs
// print their results: one line per column, its name (and unit) on the left,
// one cell per row to the right, so that a block of rows reads down like a
// page of a report:
//
//   problem               hp          hp          hp
//   p_atm                  1           1           1
//   of                     4           5           6
//   T_K              2718.41     3013.47     3192.85
//
// Rows are kept until the block is full (rows_per_block of them), then the
// block is printed and forgotten; the last block at finish(). The rocket
// command prints its few stations as one block, the equilibrium command its
// many points a block at a time. Numbers are rounded to the column's
// significant digits; an absent value is "-".
#pragma once

#include <string>
#include <vector>

#include "tables/table-writer.h"

namespace zuna::tables {

class TextTable final : public TableWriter {
 public:
  TextTable(OutputBuffer& out, std::span<const Column> columns, int rows_per_block,
            int cell_width = 12);

  void number(double v) override;
  void integer(std::int64_t v) override;
  void text(std::string_view v) override;
  void absent() override;
  void end_row() override;
  bool finish() override;

 private:
  std::string& next_cell();
  void print_block();

  OutputBuffer& out_;
  std::span<const Column> columns_;
  std::size_t rows_per_block_;
  std::size_t cell_width_;
  std::size_t label_width_ = 0;
  std::vector<std::string> labels_;  // "name" or "name, unit"
  std::vector<std::string> cells_;   // row r, column c at r * columns + c
  std::size_t rows_ = 0;             // rows of the block so far
  std::size_t column_ = 0;
  bool first_block_ = true;
};

}  // namespace zuna::tables
