// List-directed output.
//
// Every record starts with a blank and holds at most 79 characters; items
// are separated by one blank. Forms of the values:
//   character  the text unchanged; a text that does not fit in the rest of
//              the record goes to a new one, and a text longer than a whole
//              record is continued over as many records as it needs
//   integer    its decimal digits, "-" in front when negative
//   real       G15.7 (real32) or G24.15 (real64) without the surrounding
//              blanks: F form for 0.1 <= |x| < 10^d, E form otherwise
//   complex    "(" real part "," imaginary part ")"
//   logical    T or F
// A number is never split across records.
#include <cstring>

#include "fio/edit-integer.h"
#include "fio/edit-real.h"
#include "fio/format.h"

namespace zuna {
namespace {

constexpr int kListRecordLength = 79;
constexpr int kMaxNumberText = 2 * 24 + 3;  // a complex pair of G24.15 parts

class ListRecord {
 public:
  explicit ListRecord(RecordSink& sink) : sink_(sink) { start(); }

  bool text(std::string_view value) {
    // A text that fits in a fresh record is not broken up.
    bool fits_fresh = value.size() + 1 <= static_cast<std::size_t>(kListRecordLength);
    if (!separate(fits_fresh ? value.size() : 0)) {
      return false;
    }
    while (!value.empty()) {
      if (length_ == kListRecordLength) {
        if (!next()) {
          return false;
        }
        has_items_ = true;  // the new record goes on with this text
      }
      auto room = static_cast<std::size_t>(kListRecordLength - length_);
      std::size_t count = value.size() < room ? value.size() : room;
      std::memcpy(text_ + length_, value.data(), count);
      length_ += static_cast<int>(count);
      value.remove_prefix(count);
    }
    return true;
  }

  // `value` is at most kMaxNumberText characters.
  bool number(std::string_view value) {
    if (!separate(value.size())) {
      return false;
    }
    std::memcpy(text_ + length_, value.data(), value.size());
    length_ += static_cast<int>(value.size());
    return true;
  }

  bool finish() {
    return sink_.end_record(std::string_view(text_, static_cast<std::size_t>(length_)));
  }

 private:
  // Starts a new record when the separating blank and `keep` characters no
  // longer fit, then writes the blank unless the record is fresh.
  bool separate(std::size_t keep) {
    if (has_items_ && static_cast<std::size_t>(length_) + 1 + keep > kListRecordLength) {
      if (!next()) {
        return false;
      }
    }
    if (has_items_) {
      text_[length_++] = ' ';
    }
    has_items_ = true;
    return true;
  }
  void start() {
    text_[0] = ' ';
    length_ = 1;
    has_items_ = false;
  }
  bool next() {
    bool written = finish();
    start();
    return written;
  }

  RecordSink& sink_;
  char text_[kListRecordLength];
  int length_ = 0;
  bool has_items_ = false;
};

std::string_view real_text(double value, bool single, FieldBuffer& buffer) {
  DataEdit edit;
  edit.descriptor = 'G';
  edit.width = single ? 15 : 24;
  edit.digits = single ? 7 : 15;
  Field field;
  // The blanks of the field are counted apart from its text.
  edit_real(edit, EditModes{}, value, single, buffer, field);
  return field.text;
}

std::string_view integer_text(std::int64_t value, FieldBuffer& buffer) {
  DataEdit edit;
  edit.width = 24;
  Field field;
  edit_integer(edit, EditModes{}, value, buffer, field);
  return field.text;
}

}  // namespace

IoError write_list_directed(std::span<const OutputItem> items, RecordSink& sink) {
  using Kind = OutputItem::Kind;
  ListRecord record(sink);
  FieldBuffer buffer;
  for (const OutputItem& item : items) {
    bool written = true;
    switch (item.kind) {
      case Kind::chars:
        written = record.text(std::string_view(
            item.text != nullptr ? item.text : "",
            item.text != nullptr && item.length > 0 ? static_cast<std::size_t>(item.length) : 0));
        break;
      case Kind::logical: written = record.number(item.i != 0 ? "T" : "F"); break;
      case Kind::real32:
      case Kind::real64:
        written = record.number(real_text(item.re, item.kind == Kind::real32, buffer));
        break;
      case Kind::complex64:
      case Kind::complex128: {
        bool single = item.kind == Kind::complex64;
        char pair[kMaxNumberText];
        std::string_view re = real_text(item.re, single, buffer);
        std::size_t length = 0;
        pair[length++] = '(';
        std::memcpy(pair + length, re.data(), re.size());
        length += re.size();
        pair[length++] = ',';
        std::string_view im = real_text(item.im, single, buffer);
        std::memcpy(pair + length, im.data(), im.size());
        length += im.size();
        pair[length++] = ')';
        written = record.number(std::string_view(pair, length));
        break;
      }
      default: written = record.number(integer_text(item.i, buffer)); break;
    }
    if (!written) {
      return IoError::file_write_failed;
    }
  }
  return record.finish() ? IoError::ok : IoError::file_write_failed;
}

}  // namespace zuna
