// Output statements: begin_write selects the unit, the put calls collect the
// items, end_write renders them through the format and hands the records to
// the unit.
#include <span>

#include "fio/fio.h"
#include "fio/format.h"
#include "fio/statement.h"
#include "fio/unit-table.h"

namespace zuna {

namespace {

// The records of one statement, to its unit. The first failure is kept: the
// formatter only learns that the record was refused.
class UnitSink final : public RecordSink {
 public:
  explicit UnitSink(Unit& unit) : unit_(unit) {}

  bool end_record(std::string_view text) override { return put(text, false); }
  bool leave_open(std::string_view text) override { return put(text, true); }

  IoError error() const { return error_; }

 private:
  bool put(std::string_view text, bool open) {
    if (error_ == IoError::ok) {
      error_ = unit_write_record(unit_, text, open);
    }
    return error_ == IoError::ok;
  }

  Unit& unit_;
  IoError error_ = IoError::ok;
};

int put_item(const OutputItem& item) {
  Statement& s = current_statement();
  if (s.mode == Statement::Mode::write) {
    s.items.push_back(item);
  }
  return 0;
}

OutputItem integer_item(OutputItem::Kind kind, std::int64_t value) {
  OutputItem item;
  item.kind = kind;
  item.i = value;
  return item;
}

OutputItem real_item(OutputItem::Kind kind, double re, double im = 0.0) {
  OutputItem item;
  item.kind = kind;
  item.re = re;
  item.im = im;
  return item;
}

}  // namespace

int begin_write(int unit, const char* format, int format_length) {
  pause_gate();
  check_floating_point();
  Statement& s = current_statement();
  s.clear();
  Unit* selected = nullptr;
  std::unique_lock<std::recursive_mutex> unit_lock;
  std::string file_name;
  IoError e = select_unit(unit, selected, unit_lock, file_name);
  if (e == IoError::ok) {
    e = unit_begin_write(*selected);
  }
  if (e != IoError::ok) {
    if (unit_lock.owns_lock()) {
      unit_lock.unlock();
    }
    return signal_error(e, StatementKind::write, false, file_name);
  }
  s.mode = Statement::Mode::write;
  s.unit = selected;
  s.unit_lock = std::move(unit_lock);
  s.file_name = file_name;
  s.format = format;
  s.format_length = format_length;
  return 0;
}

int put_int8(std::int8_t value) { return put_item(integer_item(OutputItem::Kind::int8, value)); }

int put_int16(std::int16_t value) { return put_item(integer_item(OutputItem::Kind::int16, value)); }

int put_int32(std::int32_t value) { return put_item(integer_item(OutputItem::Kind::int32, value)); }

int put_int64(std::int64_t value) { return put_item(integer_item(OutputItem::Kind::int64, value)); }

int put_real32(float value) { return put_item(real_item(OutputItem::Kind::real32, value)); }

int put_real64(double value) { return put_item(real_item(OutputItem::Kind::real64, value)); }

int put_logical(bool value) {
  return put_item(integer_item(OutputItem::Kind::logical, value ? 1 : 0));
}

int put_complex64(float re, float im) {
  return put_item(real_item(OutputItem::Kind::complex64, re, im));
}

int put_complex128(double re, double im) {
  return put_item(real_item(OutputItem::Kind::complex128, re, im));
}

int put_chars(const char* text, int length) {
  OutputItem item;
  item.kind = OutputItem::Kind::chars;
  item.text = text;
  item.length = text == nullptr || length < 0 ? 0 : length;
  return put_item(item);
}

int end_write() {
  Statement& s = current_statement();
  if (s.mode != Statement::Mode::write) {
    return 0;
  }
  // Held here, so that an ending program unwinds it.
  std::unique_lock<std::recursive_mutex> unit_lock = std::move(s.unit_lock);
  Unit& unit = *s.unit;
  UnitSink sink(unit);
  std::span<const OutputItem> items(s.items);
  IoError e = s.format != nullptr ? write_formatted(s.format, s.format_length, items, sink)
                                  : write_list_directed(items, sink);
  if (sink.error() != IoError::ok) {
    e = sink.error();
  }
  IoError flushed = unit_end_write(unit);
  if (e == IoError::ok) {
    e = flushed;
  }
  s.mode = Statement::Mode::idle;
  s.unit = nullptr;
  unit_lock.unlock();
  if (e != IoError::ok) {
    std::string file_name = s.file_name;
    return signal_error(e, StatementKind::write, false, file_name);
  }
  return 0;
}

}  // namespace zuna
