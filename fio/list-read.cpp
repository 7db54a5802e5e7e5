#include "fio/list-read.h"

#include <algorithm>

namespace zuna {

namespace {

bool ends_value(char c) { return is_list_blank(c) || c == ',' || c == '/'; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Repeat counts beyond this are all "more than any statement has items".
constexpr std::int64_t kRepeatCap = 1'000'000'000;

}  // namespace

void ListReader::start(RecordSource& source, bool internal) {
  source_ = &source;
  internal_ = internal;
  record_ = {};
  pos_ = 0;
  record_loaded_ = false;
  after_item_ = false;
  slash_ = false;
  zero_fill_ = false;
  repeat_left_ = 0;
  repeated_ = ListValue{};
  quoted_.clear();
}

void ListReader::skip_blanks() {
  while (!at_end() && is_list_blank(peek())) {
    ++pos_;
  }
}

IoError ListReader::load_record() {
  std::string_view record;
  IoError e = source_->next_record(record);
  if (e != IoError::ok) {
    return e;
  }
  record_ = record;
  pos_ = 0;
  record_loaded_ = true;
  return IoError::ok;
}

IoError ListReader::skip_record() {
  if (record_loaded_ || internal_) {
    return IoError::ok;
  }
  return load_record();
}

IoError ListReader::next(ListValue& value) {
  value = ListValue{};
  if (slash_) {
    value.kind = ListValue::Kind::slash;
    return IoError::ok;
  }
  if (zero_fill_) {
    value.kind = ListValue::Kind::zero_fill;
    return IoError::ok;
  }
  if (repeat_left_ > 0) {
    --repeat_left_;
    value = repeated_;
    return IoError::ok;
  }
  // Blanks and record ends, with at most one comma among them after an
  // item, separate the values.
  bool comma_allowed = after_item_;
  for (;;) {
    skip_blanks();
    if (at_end()) {
      IoError e = load_record();
      if (e == IoError::end_of_file && internal_) {
        zero_fill_ = true;
        value.kind = ListValue::Kind::zero_fill;
        return IoError::ok;
      }
      if (e != IoError::ok) {
        return e;
      }
      continue;
    }
    if (comma_allowed && peek() == ',') {
      ++pos_;
      comma_allowed = false;
      continue;
    }
    break;
  }
  after_item_ = true;
  if (peek() == ',') {
    value.kind = ListValue::Kind::null;
    return IoError::ok;
  }
  if (peek() == '/') {
    slash_ = true;
    value.kind = ListValue::Kind::slash;
    return IoError::ok;
  }
  return scan_value(value);
}

IoError ListReader::scan_value(ListValue& value) {
  std::size_t p = pos_;
  while (p < record_.size() && is_digit(record_[p])) {
    ++p;
  }
  bool repeated = p > pos_ && p < record_.size() && record_[p] == '*';
  std::int64_t count = 1;
  if (repeated) {
    count = 0;
    for (std::size_t i = pos_; i < p; ++i) {
      count = std::min(kRepeatCap, count * 10 + (record_[i] - '0'));
    }
    if (count == 0) {
      return IoError::read_bad_repeat;
    }
    pos_ = p + 1;
    if (!at_end() && peek() == '*') {
      return IoError::read_bad_repeat;
    }
  }
  if (repeated && (at_end() || ends_value(peek()))) {
    value.kind = ListValue::Kind::null;
  } else if (peek() == '\'' || peek() == '"') {
    scan_quoted(value);
  } else if (peek() == '(') {
    scan_complex(value);
  } else {
    scan_plain(value);
    if (repeated && value.text.find('*') != std::string_view::npos) {
      return IoError::read_bad_repeat;
    }
  }
  if (repeated) {
    repeated_ = value;
    repeat_left_ = count - 1;
  }
  return IoError::ok;
}

void ListReader::scan_plain(ListValue& value) {
  std::size_t start = pos_;
  while (!at_end() && !ends_value(peek())) {
    ++pos_;
  }
  value.kind = ListValue::Kind::value;
  value.form = ListValue::Form::plain;
  value.text = record_.substr(start, pos_ - start);
}

void ListReader::scan_quoted(ListValue& value) {
  char delimiter = peek();
  ++pos_;
  quoted_.clear();
  while (!at_end()) {
    char c = peek();
    ++pos_;
    if (c == delimiter) {
      if (!at_end() && peek() == delimiter) {
        ++pos_;
      } else {
        break;
      }
    }
    quoted_.push_back(c);
  }
  value.kind = ListValue::Kind::value;
  value.form = ListValue::Form::quoted;
  value.text = quoted_;
}

void ListReader::scan_complex(ListValue& value) {
  std::size_t start = pos_;
  std::size_t close = record_.find(')', pos_);
  pos_ = close == std::string_view::npos ? record_.size() : close + 1;
  value.kind = ListValue::Kind::value;
  value.form = ListValue::Form::complex;
  value.text = record_.substr(start, pos_ - start);
}

}  // namespace zuna
