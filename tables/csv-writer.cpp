#include "tables/csv-writer.h"

#include <bit>
#include <cstring>

namespace zuna::tables {

CsvWriter::CsvWriter(OutputBuffer& out, std::span<const Column> columns)
    : out_(out), last_(columns.size()) {
  for (const Column& column : columns) {
    text(column.name);
  }
  end_row();
}

void CsvWriter::number(double v) {
  const std::size_t column = column_;
  separate();
  if (!std::isfinite(v)) {
    return;
  }
  char* to = out_.room(kShortestRoom);
  if (column >= last_.size()) {
    out_.advance(write_shortest(to, v));
    return;
  }
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
  LastNumber& last = last_[column];
  if (last.bits == bits && last.size != 0) {
    // The whole of the text's array: a copy of fixed size, into the room
    // asked for, of which the text's own bytes are taken.
    std::memcpy(to, last.text, sizeof last.text);
    out_.advance(to + last.size);
    return;
  }
  char* end = write_shortest(to, v);
  if (last.bits == bits) {
    // The value again, after a first time whose text was not kept.
    last.size = static_cast<unsigned char>(end - to);
    std::memcpy(last.text, to, last.size);
  } else {
    last.bits = bits;
    last.size = 0;
  }
  out_.advance(end);
}

void CsvWriter::integer(std::int64_t v) {
  separate();
  out_.advance(write_integer(out_.room(24), v));
}

namespace {

// A comma, quote or line end in the text (a plain scan: find_first_of
// searches the four characters once per character of the text).
bool needs_quotes(std::string_view v) {
  for (char c : v) {
    if (c == ',' || c == '"' || c == '\r' || c == '\n') {
      return true;
    }
  }
  return false;
}

}  // namespace

void CsvWriter::text(std::string_view v) {
  separate();
  if (!needs_quotes(v)) {
    out_.put(v);
    return;
  }
  out_.put('"');
  for (char c : v) {
    if (c == '"') {
      out_.put('"');
    }
    out_.put(c);
  }
  out_.put('"');
}

void CsvWriter::absent() { separate(); }

void CsvWriter::end_row() {
  out_.put('\n');
  first_in_row_ = true;
  column_ = 0;
}

bool CsvWriter::finish() { return out_.flush(); }

}  // namespace zuna::tables
