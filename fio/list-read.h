// List-directed input: the values of one read statement, taken in turn from
// its records. The reader knows the syntax (separators, null values, repeat
// counts, the slash, quoted and complex values); the conversion of a value's
// text to an item is number-text's business.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fio/io-error.h"

namespace zuna {

// The records of one statement, in order.
class RecordSource {
 public:
  // The next record, valid until the following call; end_of_file when there
  // is none, or another error.
  virtual IoError next_record(std::string_view& record) = 0;

 protected:
  ~RecordSource() = default;
};

// What the next item of the statement receives.
struct ListValue {
  enum class Kind : std::uint8_t {
    value,      // text holds the value
    null,       // the item keeps its value
    slash,      // the statement is over: this and every further item keep their values
    zero_fill,  // an internal text ran out: this and every further item become zero
  };
  enum class Form : std::uint8_t { plain, quoted, complex };
  Kind kind = Kind::null;
  Form form = Form::plain;
  std::string_view text;  // quoted: without the delimiters, doubled ones made single
};

class ListReader {
 public:
  // internal: the text of a character variable, whose end is not an end of
  // file but the zero rule for every item still to come.
  void start(RecordSource& source, bool internal);

  // The value for the next item. Errors: a zero or doubled repeat count, the
  // end of the file, a failure of the source.
  IoError next(ListValue& value);

  // A read with an empty item list consumes one record.
  IoError skip_record();

  // The record the reader stands in (empty before the first one is loaded)
  // and the position of its next character: right after a value just taken.
  std::string_view record() const { return record_; }
  std::size_t position() const { return pos_; }

 private:
  bool at_end() const { return pos_ >= record_.size(); }
  char peek() const { return record_[pos_]; }
  void skip_blanks();
  IoError load_record();
  // From a value's first character to its end: a repeat count, then a
  // quoted, complex or plain value.
  IoError scan_value(ListValue& value);
  void scan_plain(ListValue& value);
  void scan_quoted(ListValue& value);
  void scan_complex(ListValue& value);

  RecordSource* source_ = nullptr;
  bool internal_ = false;
  std::string_view record_;
  std::size_t pos_ = 0;
  bool record_loaded_ = false;
  bool after_item_ = false;  // a value or null has been taken: a separator may follow
  bool slash_ = false;
  bool zero_fill_ = false;
  std::int64_t repeat_left_ = 0;
  ListValue repeated_;
  std::string quoted_;  // the unescaped text of a quoted value
};

// Value separators and the blanks around them: blank, tab, the line-end
// characters and NUL (a character variable filled from a C string).
constexpr bool is_list_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
}

}  // namespace zuna
