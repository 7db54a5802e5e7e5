// Rows of named columns, written as they come, one cell after the other.
//
// A table is a fixed list of columns (name, kind, unit, digits); a row is one
// call per column in that order, then end_row(). Three writers share this
// interface: CSV (csv-writer.h), JSON (json-writer.h) and the readable table
// of a terminal (text-table.h). None keeps a row once it is written (the
// readable table keeps at most one block of rows), so the memory of a table
// does not grow with its length.
//
// Absent values. A number that is not finite (the NaN of a value not
// computed) and a cell given by absent() are written as an empty CSV cell,
// as JSON null and as "-" in the readable table.
//
// Numbers. CSV and JSON numbers are the shortest text that reads back as the
// same double (std::to_chars without a precision); the readable table rounds
// to the column's significant digits.
//
// Use. A program declares its columns once and hands each row's cells to
// whichever writers the user asked for:
//
//   const Column kStations[] = {{"station", CellKind::text},
//                               {"exit_spec", CellKind::text},
//                               {"p_bar", CellKind::number, "bar", 5}, ...};
//   DescriptorSink out(STDOUT_FILENO);   // or a file's sink
//   OutputBuffer buffer(out);
//   CsvWriter csv(buffer, kStations);    // or JsonWriter, or TextTable with
//   for (...) {                          // all stations in one block
//     csv.text("throat"); csv.absent(); csv.number(p); ...; csv.end_row();
//     if (!buffer.ok()) break;           // the output failed: stop early
//   }
//   bool written = csv.finish();
#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "tables/output-buffer.h"

namespace zuna::tables {

enum class CellKind { number, integer, text };

struct Column {
  std::string_view name;  // the CSV header's and the JSON object's name
  CellKind kind = CellKind::number;
  std::string_view unit = {};  // for the readable table's label; empty for none
  int digits = 6;              // significant digits in the readable table
};

class TableWriter {
 public:
  virtual ~TableWriter() = default;

  // The cells of one row, in the order of the columns.
  virtual void number(double v) = 0;
  virtual void integer(std::int64_t v) = 0;
  virtual void text(std::string_view v) = 0;
  virtual void absent() = 0;
  virtual void end_row() = 0;

  // Writes what the format has left (the JSON's end, the last block) and
  // flushes the buffer; false when any write failed.
  virtual bool finish() = 0;

  // False once a write of the output has failed: the caller may stop early.
  virtual bool ok() const = 0;
};

// The room write_shortest needs at `to`: the text is at most 24 characters,
// but whole words are stored past its end.
inline constexpr std::size_t kShortestRoom = 40;

// The shortest text that reads back as v, written at `to`: "0.1", "1e+300",
// "-2.5e-08", byte for byte what std::to_chars(to, end, v) writes (its
// shortest form, fixed or scientific, whichever is shorter), in about half
// its time. Returns the end of the text.
char* write_shortest(char* to, double v);

inline char* write_integer(char* to, std::int64_t v) { return std::to_chars(to, to + 24, v).ptr; }

}  // namespace zuna::tables
