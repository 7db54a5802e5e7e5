// The conditions of the run-time, one code each. The displayed number of an
// error is its code; the letter is "M" for the math conditions and "F"
// otherwise. Status 0 means success and -1 the end-of-file condition.
#pragma once

#include <string>

namespace zuna {

enum class IoError : int {
  ok = 0,
  end_of_file = -1,

  // Math intrinsics and floating-point faults (numbers fixed by the program's
  // users' expectations).
  fp_invalid = 6101,
  fp_denormal = 6102,
  fp_divide_by_zero = 6103,
  fp_overflow = 6104,
  fp_underflow = 6105,
  fp_inexact = 6106,
  fp_square_root = 6108,
  fp_stack_overflow = 6110,
  fp_stack_underflow = 6111,
  math_domain = 6201,
  math_sing = 6202,
  math_overflow = 6203,
  math_underflow = 6204,
  math_tloss = 6205,
  math_ploss = 6206,

  // Units and files.
  unit_number_out_of_range = 6401,
  bad_status_keyword = 6402,
  bad_access_keyword = 6403,
  bad_form_keyword = 6404,
  bad_blank_keyword = 6405,
  bad_position_keyword = 6406,
  bad_action_keyword = 6407,
  bad_delimiter_keyword = 6408,
  bad_pad_keyword = 6409,
  bad_carriage_control_keyword = 6410,
  bad_share_keyword = 6411,
  bad_mode_keyword = 6412,
  direct_access_needs_record_length = 6413,
  bad_record_length = 6414,
  scratch_with_file_name = 6415,
  device_needs_sequential_formatted = 6416,
  kind_change_on_reopen = 6417,
  too_many_units = 6418,
  file_open_failed = 6419,
  file_not_found = 6420,       // status OLD
  file_already_exists = 6421,  // status NEW
  window_open_failed = 6422,
  keep_for_scratch_file = 6423,
  file_delete_failed = 6424,
  bad_close_status = 6425,
  file_write_failed = 6426,
  file_read_failed = 6427,
  no_file_name = 6428,  // the user gave no name for an implicit or blank open
  delimiter_or_pad_unformatted = 6429,
  record_too_long = 6430,
  write_to_read_only = 6431,
  read_from_write_only = 6432,
  unit_not_formatted_sequential = 6433,  // a formatted transfer on a direct or unformatted unit
  file_cannot_be_replaced = 6434,        // the folder of an output file takes no new file beside it
  link_to_no_regular_file = 6435,        // a symbolic link that leads nowhere or to a folder

  // Format texts and output items.
  format_no_open_paren = 6501,
  format_repeat_not_allowed = 6502,
  format_count_required = 6503,  // H or P without a number
  format_unclosed_literal = 6504,
  format_nesting_too_deep = 6505,
  format_missing_width = 6506,  // a w or d that is required is missing
  format_bad_character = 6507,
  format_item_mismatch = 6508,       // item kind does not suit its descriptor
  format_no_data_descriptor = 6509,  // items remain but the format has no data descriptor
  format_field_too_wide = 6510,      // a field beyond the renderer's buffer

  // Reading values.
  read_bad_integer = 6601,
  read_bad_real = 6602,
  read_integer_overflow = 6603,
  read_real_overflow = 6604,
  read_bad_repeat = 6605,  // zero or doubled repeat count
  read_character_for_number = 6606,
  read_complex_for_number = 6607,
  read_bad_logical = 6608,
  read_record_too_long = 6609,
  read_past_end = 6610,            // end_of_file as a run-time error report shows it
  read_format_unsupported = 6611,  // a read with a format text (only list-directed input)
};

constexpr int error_number(IoError e) { return static_cast<int>(e); }
constexpr bool is_math_error(IoError e) {
  return static_cast<int>(e) >= 6100 && static_cast<int>(e) < 6300;
}

// The message text of a condition (empty for ok), Windows-1252.
const char* error_message(IoError e);

// The conditions of the file system, whose report says why with the
// system's own reason ("file cannot be opened: Permission denied").
bool is_file_system_failure(IoError e);

// The system's reason (an errno value) for the file failure being raised on
// the calling thread. The file layer notes it where a call of the system
// fails; the report of a file-system condition takes it; each statement
// starts without one, so a reason never outlives its statement.
void note_system_error(int error);
int noted_system_error();
void clear_system_error();

// The system's text for an errno value, in English whatever the locale, as
// every other text of the run-time is.
std::string system_error_text(int error);

}  // namespace zuna
