#include "tables/text-table.h"

#include <algorithm>
#include <cassert>

namespace zuna::tables {

TextTable::TextTable(OutputBuffer& out, std::span<const Column> columns, int rows_per_block,
                     int cell_width)
    : out_(out),
      columns_(columns),
      rows_per_block_(static_cast<std::size_t>(std::max(rows_per_block, 1))),
      cell_width_(static_cast<std::size_t>(std::max(cell_width, 2))),
      cells_(rows_per_block_ * columns.size()) {
  for (const Column& column : columns) {
    std::string& label = labels_.emplace_back(column.name);
    if (!column.unit.empty()) {
      label.append(", ").append(column.unit);
    }
    label_width_ = std::max(label_width_, label.size());
  }
  label_width_ += 2;  // a gutter before the first cell
}

std::string& TextTable::next_cell() {
  assert(column_ < columns_.size() && "more cells than columns in a row");
  std::string& cell = cells_[rows_ * columns_.size() + column_];
  ++column_;
  cell.clear();  // keeps its capacity: no allocation after the first block
  return cell;
}

void TextTable::number(double v) {
  const int digits = std::clamp(columns_[column_].digits, 1, 17);
  std::string& cell = next_cell();
  if (!std::isfinite(v)) {
    cell = "-";
    return;
  }
  char text[40];
  const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::general, digits);
  cell.assign(text, r.ptr);
}

void TextTable::integer(std::int64_t v) {
  std::string& cell = next_cell();
  char text[24];
  cell.assign(text, write_integer(text, v));
}

void TextTable::text(std::string_view v) { next_cell().assign(v); }

void TextTable::absent() { next_cell() = "-"; }

void TextTable::end_row() {
  column_ = 0;
  if (++rows_ == rows_per_block_) {
    print_block();
  }
}

// Each line: the label, padded, then every cell right-aligned in its width
// (a longer cell keeps one space before it).
void TextTable::print_block() {
  if (!first_block_) {
    out_.put('\n');
  }
  first_block_ = false;
  const std::size_t n = columns_.size();
  for (std::size_t c = 0; c < n; ++c) {
    out_.put(labels_[c]);
    std::size_t pad = label_width_ - labels_[c].size();
    for (std::size_t r = 0; r < rows_; ++r) {
      const std::string& cell = cells_[r * n + c];
      pad += cell.size() < cell_width_ ? cell_width_ - cell.size() : 1;
      char* to = out_.room(std::min(pad, OutputBuffer::kMaxRoom));
      out_.advance(std::fill_n(to, std::min(pad, OutputBuffer::kMaxRoom), ' '));
      out_.put(cell);
      pad = 0;
    }
    out_.put('\n');
  }
  rows_ = 0;
}

bool TextTable::finish() {
  if (rows_ > 0) {
    print_block();
  }
  return out_.flush();
}

}  // namespace zuna::tables
