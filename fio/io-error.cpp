// Message texts of the run-time conditions and the two forms of a run-time
// error report.
#include "fio/io-error.h"

#include <cstdio>
#include <string>

#include "fio/host.h"

namespace zuna {

const char* error_message(IoError e) {
  switch (e) {
    case IoError::ok: return "";
    case IoError::end_of_file: return "end of file encountered";

    case IoError::fp_invalid: return "floating-point error: invalid";
    case IoError::fp_denormal: return "floating-point error: denormal";
    case IoError::fp_divide_by_zero: return "floating-point error: divide by zero";
    case IoError::fp_overflow: return "floating-point error: overflow";
    case IoError::fp_underflow: return "floating-point error: underflow";
    case IoError::fp_inexact: return "floating-point error: inexact";
    case IoError::fp_square_root: return "floating-point error: square root";
    case IoError::fp_stack_overflow: return "floating-point error: stack overflow";
    case IoError::fp_stack_underflow: return "floating-point error: stack underflow";
    case IoError::math_domain: return "DOMAIN error";
    case IoError::math_sing: return "SING error";
    case IoError::math_overflow: return "OVERFLOW error";
    case IoError::math_underflow: return "UNDERFLOW error";
    case IoError::math_tloss: return "TLOSS error";
    case IoError::math_ploss: return "PLOSS error";

    case IoError::unit_number_out_of_range: return "unit number out of range";
    case IoError::bad_status_keyword: return "invalid STATUS= value";
    case IoError::bad_access_keyword: return "invalid ACCESS= value";
    case IoError::bad_form_keyword: return "invalid FORM= value";
    case IoError::bad_blank_keyword: return "invalid BLANK= value";
    case IoError::bad_position_keyword: return "invalid POSITION= value";
    case IoError::bad_action_keyword: return "invalid ACTION= value";
    case IoError::bad_delimiter_keyword: return "invalid DELIM= value";
    case IoError::bad_pad_keyword: return "invalid PAD= value";
    case IoError::bad_carriage_control_keyword: return "invalid CARRIAGECONTROL= value";
    case IoError::bad_share_keyword: return "invalid SHARE= value";
    case IoError::bad_mode_keyword: return "invalid MODE= value";
    case IoError::direct_access_needs_record_length: return "direct access needs a record length";
    case IoError::bad_record_length: return "record length must be positive";
    case IoError::scratch_with_file_name: return "STATUS='SCRATCH' with a file name";
    case IoError::device_needs_sequential_formatted:
      return "device or window needs sequential formatted access";
    case IoError::kind_change_on_reopen: return "reopen would change the kind of the unit";
    case IoError::too_many_units: return "too many units connected";
    case IoError::file_open_failed: return "file cannot be opened";
    case IoError::file_not_found: return "file not found";
    case IoError::file_already_exists: return "file already exists";
    case IoError::window_open_failed: return "text window cannot be opened";
    case IoError::keep_for_scratch_file: return "a scratch file cannot be kept";
    case IoError::file_delete_failed: return "file cannot be deleted";
    case IoError::bad_close_status: return "invalid close STATUS= value";
    case IoError::file_write_failed: return "write to file failed";
    case IoError::file_read_failed: return "read from file failed";
    case IoError::no_file_name: return "no file name given";
    case IoError::delimiter_or_pad_unformatted: return "DELIM= or PAD= on an unformatted file";
    case IoError::record_too_long: return "record too long";
    case IoError::write_to_read_only: return "write to a file opened for reading only";
    case IoError::read_from_write_only: return "read from a file opened for writing only";
    case IoError::unit_not_formatted_sequential:
      return "formatted transfer on a unit that is not formatted sequential";

    case IoError::format_no_open_paren: return "format must begin with '('";
    case IoError::format_repeat_not_allowed: return "repeat count not allowed here in format";
    case IoError::format_count_required: return "H or P in format needs a count";
    case IoError::format_unclosed_literal: return "unclosed literal in format";
    case IoError::format_nesting_too_deep: return "groups nested too deeply in format";
    case IoError::format_missing_width: return "width or digits missing in format";
    case IoError::format_bad_character: return "invalid character in format";
    case IoError::format_item_mismatch: return "edit descriptor does not suit the item";
    case IoError::format_no_data_descriptor: return "no data edit descriptor in format";
    case IoError::format_field_too_wide: return "field too wide in format";

    case IoError::read_bad_integer: return "invalid integer";
    case IoError::read_bad_real: return "invalid real";
    case IoError::read_integer_overflow: return "integer out of range";
    case IoError::read_real_overflow: return "real value out of range";
    case IoError::read_bad_repeat: return "invalid repeat count";
    case IoError::read_character_for_number: return "character value for a numeric item";
    case IoError::read_complex_for_number: return "complex value for a numeric item";
    case IoError::read_bad_logical: return "invalid logical value";
    case IoError::read_record_too_long: return "record too long for the unit";
    case IoError::read_past_end: return "end of file encountered";
    case IoError::read_format_unsupported: return "formatted input not supported";
  }
  return "unknown error";
}

namespace {

std::string letter_and_number(const RuntimeErrorReport& report) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%c%04d", report.letter, report.number);
  return buffer;
}

}  // namespace

// The box names the file between the parentheses, as the console form does:
// "F6601: READ(zuna.dat) - invalid integer". A statement without a unit file
// (an internal read, a window) shows "()".
std::string RuntimeErrorReport::box_text() const {
  std::string text = letter_and_number(*this) + tag;
  if (tag_opens_paren) {
    text += file_name;
    text += ')';
    if (!message.empty()) {
      text += " - ";
      text += message;
    }
  } else {
    text += message;
  }
  return text;
}

std::string RuntimeErrorReport::console_text() const {
  std::string text = "\r\nrun-time error " + letter_and_number(*this) + tag;
  if (tag_opens_paren) {
    text += file_name;
    text += ")\r\n- ";
  }
  text += message;
  text += "\r\n";
  return text;
}

}  // namespace zuna
