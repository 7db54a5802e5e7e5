// Format-directed and list-directed output of one statement's items into
// records. Pure: the records go to a sink; where they end up (a file, a text
// window) is the unit's business.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "fio/io-error.h"

namespace zuna {

// One output item, as handed over by a put call.
struct OutputItem {
  enum class Kind : std::uint8_t {
    int8,
    int16,
    int32,
    int64,
    real32,
    real64,
    logical,
    complex64,
    complex128,
    chars
  };
  Kind kind = Kind::int32;
  std::int64_t i = 0;          // integer kinds; logical as 0/1
  double re = 0.0, im = 0.0;   // real kinds (real32 widened exactly); complex parts
  const char* text = nullptr;  // chars: address and length
  int length = 0;
};

// Receives the records of one statement in order.
class RecordSink {
 public:
  // A finished record (ended by "/", by format reversion or by the end of
  // the statement). Answers false when the record could not be written; the
  // walk then stops at once.
  virtual bool end_record(std::string_view text) = 0;
  // The last record of a statement whose record end was suppressed by "\" or
  // "$": it stays open.
  virtual bool leave_open(std::string_view text) = 0;

 protected:
  ~RecordSink() = default;
};

// Translates the format text (format_length -1: up to its NUL) and writes the
// items through it. Answers IoError::ok, or the first error met (a format
// error reached by the walk, an item that does not suit its descriptor,
// or file_write_failed when the sink refused a record); records completed
// before the error have been handed to the sink.
IoError write_formatted(const char* format, int format_length, std::span<const OutputItem> items,
                        RecordSink& sink);

// List-directed output: records start with a blank, items are separated by a
// blank, a record holds at most 79 characters.
IoError write_list_directed(std::span<const OutputItem> items, RecordSink& sink);

}  // namespace zuna
