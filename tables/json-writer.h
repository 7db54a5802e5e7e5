// JSON: one object whose first members describe the run (the program, its
// version, the digest of the data, ...) and whose last member, "rows", is an
// array of one object per row, each with the columns' names in order:
//
//   {"program": "zuna4c", "version": "1.0.0", "thermo_sha256": "...",
//    "rows": [
//     {"problem": "hp", "p_atm": 1, ..., "flags": 0},
//     ...
//    ]}
//
// One row per line. Numbers in their shortest round-trip form, an absent or
// non-finite value as null. Texts (names, members, text cells) are UTF-8;
// quotes, backslashes and control characters are escaped.
#pragma once

#include <string>

#include "tables/table-writer.h"

namespace zuna::tables {

// A member before "rows". `value` is a string, or with raw the JSON text of
// any value (a number, an object) written as it is.
struct JsonMember {
  std::string_view name;
  std::string_view value;
  bool raw = false;
};

// The rows alone, as a JSON array of the same form: "[", one row per line,
// "\n ]" ("]" when there is none); the value of a member of a document.
struct JsonArrayOnly {};

class JsonWriter final : public TableWriter {
 public:
  // Writes the members and the opening of "rows".
  JsonWriter(OutputBuffer& out, std::span<const JsonMember> members,
             std::span<const Column> columns);
  JsonWriter(OutputBuffer& out, JsonArrayOnly, std::span<const Column> columns);

  void number(double v) override;
  void integer(std::int64_t v) override;
  void text(std::string_view v) override;
  void absent() override;
  void end_row() override;
  // Closes the array and the object.
  bool finish() override;
  bool ok() const override { return out_.ok(); }

 private:
  // ", " or the row's opening, then "name": of the next column.
  void member();

  OutputBuffer& out_;
  std::span<const Column> columns_;
  std::size_t column_ = 0;
  bool first_row_ = true;
  bool array_only_ = false;
};

// Appends v as a quoted JSON string.
void put_json_string(OutputBuffer& out, std::string_view v);

}  // namespace zuna::tables
