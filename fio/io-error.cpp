// Message texts of the run-time conditions and the two forms of a run-time
// error report.
#include "fio/io-error.h"

#include <locale.h>
#include <string.h>

#include <cstdio>
#include <string>

#include "fio/host.h"

namespace zuna {

namespace {

// Each table holds the conditions of one range of numbers, in order.
struct Message {
  IoError code;
  const char* text;
};

// Trapped floating-point exceptions, 6101 to 6111.
constexpr Message kFloatingPointMessages[] = {
    {IoError::fp_invalid, "floating-point error: invalid"},
    {IoError::fp_denormal, "floating-point error: denormal"},
    {IoError::fp_divide_by_zero, "floating-point error: divide by zero"},
    {IoError::fp_overflow, "floating-point error: overflow"},
    {IoError::fp_underflow, "floating-point error: underflow"},
    {IoError::fp_inexact, "floating-point error: inexact"},
    {IoError::fp_square_root, "floating-point error: square root"},
    {IoError::fp_stack_overflow, "floating-point error: stack overflow"},
    {IoError::fp_stack_underflow, "floating-point error: stack underflow"},
};

// Failures of the math intrinsics, 6201 to 6206; the report puts the
// function's name in front.
constexpr Message kMathMessages[] = {
    {IoError::math_domain, "DOMAIN error"},     {IoError::math_sing, "SING error"},
    {IoError::math_overflow, "OVERFLOW error"}, {IoError::math_underflow, "UNDERFLOW error"},
    {IoError::math_tloss, "TLOSS error"},       {IoError::math_ploss, "PLOSS error"},
};

// Units and files, 6401 onwards.
constexpr Message kUnitMessages[] = {
    {IoError::unit_number_out_of_range, "unit number out of range"},
    {IoError::bad_status_keyword, "invalid STATUS= value"},
    {IoError::bad_access_keyword, "invalid ACCESS= value"},
    {IoError::bad_form_keyword, "invalid FORM= value"},
    {IoError::bad_blank_keyword, "invalid BLANK= value"},
    {IoError::bad_position_keyword, "invalid POSITION= value"},
    {IoError::bad_action_keyword, "invalid ACTION= value"},
    {IoError::bad_delimiter_keyword, "invalid DELIM= value"},
    {IoError::bad_pad_keyword, "invalid PAD= value"},
    {IoError::bad_carriage_control_keyword, "invalid CARRIAGECONTROL= value"},
    {IoError::bad_share_keyword, "invalid SHARE= value"},
    {IoError::bad_mode_keyword, "invalid MODE= value"},
    {IoError::direct_access_needs_record_length, "direct access needs a record length"},
    {IoError::bad_record_length, "record length must be positive"},
    {IoError::scratch_with_file_name, "STATUS='SCRATCH' with a file name"},
    {IoError::device_needs_sequential_formatted,
     "device or window needs sequential formatted access"},
    {IoError::kind_change_on_reopen, "reopen would change the kind of the unit"},
    {IoError::too_many_units, "too many units connected"},
    {IoError::file_open_failed, "file cannot be opened"},
    {IoError::file_not_found, "file not found"},
    {IoError::file_already_exists, "file already exists"},
    {IoError::window_open_failed, "text window cannot be opened"},
    {IoError::keep_for_scratch_file, "a scratch file cannot be kept"},
    {IoError::file_delete_failed, "file cannot be deleted"},
    {IoError::bad_close_status, "invalid close STATUS= value"},
    {IoError::file_write_failed, "write to file failed"},
    {IoError::file_read_failed, "read from file failed"},
    {IoError::no_file_name, "no file name given"},
    {IoError::delimiter_or_pad_unformatted, "DELIM= or PAD= on an unformatted file"},
    {IoError::record_too_long, "record too long"},
    {IoError::write_to_read_only, "write to a file opened for reading only"},
    {IoError::read_from_write_only, "read from a file opened for writing only"},
    {IoError::unit_not_formatted_sequential,
     "formatted transfer on a unit that is not formatted sequential"},
    {IoError::file_cannot_be_replaced, "file cannot be replaced in its folder"},
    {IoError::link_to_no_regular_file,
     "file is a symbolic link that leads to no file that can be replaced"},
};

// Format texts and output items, 6501 onwards.
constexpr Message kFormatMessages[] = {
    {IoError::format_no_open_paren, "format must begin with '('"},
    {IoError::format_repeat_not_allowed, "repeat count not allowed here in format"},
    {IoError::format_count_required, "H or P in format needs a count"},
    {IoError::format_unclosed_literal, "unclosed literal in format"},
    {IoError::format_nesting_too_deep, "groups nested too deeply in format"},
    {IoError::format_missing_width, "width or digits missing in format"},
    {IoError::format_bad_character, "invalid character in format"},
    {IoError::format_item_mismatch, "edit descriptor does not suit the item"},
    {IoError::format_no_data_descriptor, "no data edit descriptor in format"},
    {IoError::format_field_too_wide, "field too wide in format"},
};

// Reading values, 6601 onwards.
constexpr Message kReadMessages[] = {
    {IoError::read_bad_integer, "invalid integer"},
    {IoError::read_bad_real, "invalid real"},
    {IoError::read_integer_overflow, "integer out of range"},
    {IoError::read_real_overflow, "real value out of range"},
    {IoError::read_bad_repeat, "invalid repeat count"},
    {IoError::read_character_for_number, "character value for a numeric item"},
    {IoError::read_complex_for_number, "complex value for a numeric item"},
    {IoError::read_bad_logical, "invalid logical value"},
    {IoError::read_record_too_long, "record too long for the unit"},
    {IoError::read_past_end, "end of file encountered"},
    {IoError::read_format_unsupported, "formatted input not supported"},
};

template <std::size_t N>
const char* look_up(const Message (&table)[N], IoError e) {
  for (const Message& m : table) {
    if (m.code == e) {
      return m.text;
    }
  }
  return nullptr;
}

// The table of a condition's range of numbers.
const char* message_of(IoError e) {
  switch (error_number(e) / 100) {
    case 61: return look_up(kFloatingPointMessages, e);
    case 62: return look_up(kMathMessages, e);
    case 64: return look_up(kUnitMessages, e);
    case 65: return look_up(kFormatMessages, e);
    case 66: return look_up(kReadMessages, e);
    default: return nullptr;
  }
}

thread_local int t_system_error = 0;

}  // namespace

const char* error_message(IoError e) {
  if (e == IoError::ok) {
    return "";
  }
  if (e == IoError::end_of_file) {
    return "end of file encountered";
  }
  const char* text = message_of(e);
  return text != nullptr ? text : "unknown error";
}

bool is_file_system_failure(IoError e) {
  switch (e) {
    case IoError::file_open_failed:
    case IoError::file_cannot_be_replaced:
    case IoError::file_delete_failed:
    case IoError::file_write_failed:
    case IoError::file_read_failed: return true;
    default: return false;
  }
}

void note_system_error(int error) { t_system_error = error; }

int noted_system_error() { return t_system_error; }

void clear_system_error() { t_system_error = 0; }

std::string system_error_text(int error) {
  // The "C" locale's texts: the windowed program runs under the user's
  // locale, whose texts need not be Windows-1252.
  static const locale_t c_locale = ::newlocale(LC_ALL_MASK, "C", locale_t{});
  const char* text = c_locale != locale_t{} ? ::strerror_l(error, c_locale) : nullptr;
  return text != nullptr ? std::string(text) : "error " + std::to_string(error);
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
