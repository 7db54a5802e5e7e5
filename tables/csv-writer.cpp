#include "tables/csv-writer.h"

namespace zuna::tables {

CsvWriter::CsvWriter(OutputBuffer& out, std::span<const Column> columns) : out_(out) {
  for (const Column& column : columns) {
    text(column.name);
  }
  end_row();
}

void CsvWriter::number(double v) {
  separate();
  if (std::isfinite(v)) {
    out_.advance(write_shortest(out_.room(32), v));
  }
}

void CsvWriter::integer(std::int64_t v) {
  separate();
  out_.advance(write_integer(out_.room(24), v));
}

void CsvWriter::text(std::string_view v) {
  separate();
  if (v.find_first_of(",\"\r\n") == std::string_view::npos) {
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
}

bool CsvWriter::finish() { return out_.flush(); }

}  // namespace zuna::tables
