// Read statements: list-directed input from a unit or from a character
// variable. Each get call takes the next value from the records and converts
// it into its item; an item whose conversion fails keeps its value.
#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "fio/fio.h"
#include "fio/number-text.h"
#include "fio/statement.h"
#include "fio/unit-table.h"

namespace zuna {

namespace {

// The records of the calling thread's read statement: the unit's, or the
// whole character variable as one record.
class StatementRecords final : public RecordSource {
 public:
  IoError next_record(std::string_view& record) override {
    Statement& s = current_statement();
    if (s.unit == nullptr) {
      if (s.internal_taken) {
        return IoError::end_of_file;
      }
      s.internal_taken = true;
      record = std::string_view(s.internal_text, static_cast<std::size_t>(s.internal_length));
      return IoError::ok;
    }
    if (IoError e = unit_read_record(*s.unit); e != IoError::ok) {
      return e;
    }
    record = s.unit->record;
    return IoError::ok;
  }
};

StatementRecords statement_records;

// Where in a file a read failed: a value that does not convert stands in
// the last record read; a record that cannot be read is the one after it.
std::string read_failure_text(IoError e, const Unit* unit) {
  if (unit == nullptr || unit->is_window()) {
    return condition_text(e);
  }
  long read = unit->records;
  if (e == IoError::end_of_file || e == IoError::read_past_end) {
    return read == 0 ? std::string("end of file encountered: the file holds no record")
                     : "end of file encountered after record " + std::to_string(read);
  }
  bool whole_record = e == IoError::file_read_failed || e == IoError::read_record_too_long;
  bool in_a_value = error_number(e) >= error_number(IoError::read_bad_integer) &&
                    error_number(e) <= error_number(IoError::read_bad_logical);
  if (!whole_record && !in_a_value) {
    return condition_text(e);
  }
  std::string text = error_message(e);
  text.append(" in record ").append(std::to_string(whole_record ? read + 1 : read));
  if (is_file_system_failure(e) && noted_system_error() != 0) {
    text.append(": ").append(system_error_text(noted_system_error()));
  }
  return text;
}

// The status of a failed statement, or the end of the program.
int fail(Statement& s, IoError e) {
  if (s.status_request) {
    s.status = error_status(e);
    return s.status;
  }
  std::string file_name = s.file_name;
  std::string message = read_failure_text(e, s.unit);
  s.clear();
  return signal_error(e, StatementKind::read, false, file_name, message);
}

// One item: the next value converted by `convert` (which answers an IoError),
// zero bytes when an internal text has run out, nothing for a null value or
// after a slash.
template <typename Convert>
int get_item(void* item, std::size_t size, Convert convert) {
  Statement& s = current_statement();
  if (s.mode != Statement::Mode::read || s.status != 0) {
    return s.status;
  }
  s.any_item = true;
  ListValue value;
  IoError e = s.reader.next(value);
  if (e == IoError::ok && value.kind == ListValue::Kind::value) {
    e = convert(value);
  } else if (e == IoError::ok && value.kind == ListValue::Kind::zero_fill && item != nullptr) {
    std::memset(item, 0, size);
  }
  if (e != IoError::ok) {
    return fail(s, e);
  }
  return 0;
}

IoError numeric_form(const ListValue& value) {
  switch (value.form) {
    case ListValue::Form::quoted: return IoError::read_character_for_number;
    case ListValue::Form::complex: return IoError::read_complex_for_number;
    case ListValue::Form::plain: return IoError::ok;
  }
  return IoError::ok;
}

template <typename Int>
int get_integer(Int* item) {
  return get_item(item, sizeof(Int), [item](const ListValue& value) {
    if (IoError e = numeric_form(value); e != IoError::ok) {
      return e;
    }
    std::int64_t v = 0;
    IoError e = parse_integer(value.text, std::numeric_limits<Int>::min(),
                              std::numeric_limits<Int>::max(), v);
    if (e == IoError::ok && item != nullptr) {
      *item = static_cast<Int>(v);
    }
    return e;
  });
}

template <typename Real>
int get_real(Real* item) {
  return get_item(item, sizeof(Real), [item](const ListValue& value) {
    if (IoError e = numeric_form(value); e != IoError::ok) {
      return e;
    }
    Real v = 0;
    IoError e = IoError::ok;
    if constexpr (sizeof(Real) == sizeof(float)) {
      e = parse_real32(value.text, v);
    } else {
      e = parse_real(value.text, v);
    }
    if (e == IoError::ok && item != nullptr) {
      *item = v;
    }
    return e;
  });
}

// Starts the read part common to units and character variables.
int start_read(Statement& s, IoError e, bool internal) {
  s.mode = Statement::Mode::read;
  if (e != IoError::ok) {
    if (s.unit_lock.owns_lock()) {
      s.unit_lock.unlock();
    }
    s.unit = nullptr;
    return fail(s, e);
  }
  s.reader.start(statement_records, internal);
  return 0;
}

}  // namespace

int begin_read(int unit, const char* format, int /*format_length*/, bool status_request) {
  Statement& s = current_statement();
  s.clear();
  s.status_request = status_request;
  Unit* selected = nullptr;
  IoError e = select_unit(unit, selected, s.unit_lock, s.file_name);
  if (e == IoError::ok) {
    s.unit = selected;
    e = unit_begin_read(*selected);
  }
  if (e == IoError::ok && format != nullptr) {
    e = IoError::read_format_unsupported;
  }
  return start_read(s, e, false);
}

int begin_internal_read(const char* text, int length, const char* format, int /*format_length*/,
                        bool status_request) {
  Statement& s = current_statement();
  s.clear();
  s.status_request = status_request;
  s.internal_text = text;
  s.internal_length = text == nullptr ? 0 : std::max(length, 0);
  IoError e = format != nullptr ? IoError::read_format_unsupported : IoError::ok;
  return start_read(s, e, true);
}

std::string_view input_record(std::size_t& position) {
  const Statement& s = current_statement();
  position = s.reader.position();
  return s.reader.record();
}

int get_int8(std::int8_t* item) { return get_integer(item); }

int get_int16(std::int16_t* item) { return get_integer(item); }

int get_int32(std::int32_t* item) { return get_integer(item); }

int get_int64(std::int64_t* item) { return get_integer(item); }

int get_real32(float* item) { return get_real(item); }

int get_real64(double* item) { return get_real(item); }

int get_logical(bool* item) {
  return get_item(item, sizeof(bool), [item](const ListValue& value) {
    bool v = false;
    IoError e = value.form == ListValue::Form::plain ? parse_logical(value.text, v)
                                                     : IoError::read_bad_logical;
    if (e == IoError::ok && item != nullptr) {
      *item = v;
    }
    return e;
  });
}

int get_chars(char* item, int length) {
  std::size_t size = item == nullptr ? 0 : static_cast<std::size_t>(std::max(length, 0));
  return get_item(item, size, [item, size](const ListValue& value) {
    std::size_t n = std::min(size, value.text.size());
    if (n > 0) {
      std::memcpy(item, value.text.data(), n);
    }
    if (size > n) {
      std::memset(item + n, ' ', size - n);
    }
    return IoError::ok;
  });
}

int end_read() {
  Statement& s = current_statement();
  if (s.mode != Statement::Mode::read) {
    return 0;
  }
  if (s.status == 0 && !s.any_item) {
    if (IoError e = s.reader.skip_record(); e != IoError::ok) {
      fail(s, e);
    }
  }
  int status = s.status;
  s.clear();
  return status;
}

}  // namespace zuna
