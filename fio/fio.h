// The formatted I/O run-time: output statements driven by format texts,
// units connected to files and text windows, list-directed input, run-time
// errors and the stop statement.
//
// A statement is a sequence of calls: begin, one call per item, end. The
// layer keeps one statement per thread and never allocates per field.
#pragma once

#include <cfenv>
#include <cstdint>
#include <optional>
#include <string_view>

#include "fio/host.h"

namespace zuna {

// The unit written as an asterisk in statements.
inline constexpr int kDefaultUnit = -34000;

// Thrown once the program has ended (stop, run-time error, end of input):
// the end-of-program processing has run and the host has been told. The
// entry point of the computation catches it.
struct ProgramExit {
  int exit_code;
};

// --- Start-up --------------------------------------------------------------

// Installs the host, takes the command-line arguments that implicit opens may
// use as file names (argv[0] excluded), resets the unit table and the
// floating-point flags of the calling thread, routes failures of the math
// intrinsics to the run-time error report, and lets a fatal signal remove
// the staging files of units still open.
void runtime_start(Host& host, int argc = 0, const char* const* argv = nullptr);
Host& runtime_host();

// --- Output statements ------------------------------------------------------

// format == nullptr selects list-directed output; format_length -1 means the
// text runs to its terminating NUL.
int begin_write(int unit, const char* format, int format_length);
int put_int8(std::int8_t value);
int put_int16(std::int16_t value);
int put_int32(std::int32_t value);
int put_int64(std::int64_t value);
int put_real32(float value);
int put_real64(double value);
int put_logical(bool value);
int put_complex64(float re, float im);
int put_complex128(double re, double im);
int put_chars(const char* text, int length);  // a negative length is taken as 0
int end_write();

// --- Input statements -------------------------------------------------------

// With status_request set, errors are returned as the status (the error's
// displayed number, -1 for end of file) instead of ending the program.
int begin_read(int unit, const char* format, int format_length, bool status_request);
int begin_internal_read(const char* text, int length, const char* format, int format_length,
                        bool status_request);
int get_int8(std::int8_t* item);
int get_int16(std::int16_t* item);
int get_int32(std::int32_t* item);
int get_int64(std::int64_t* item);
int get_real32(float* item);
int get_real64(double* item);
int get_logical(bool* item);
int get_chars(char* item, int length);
int end_read();
// The record that the calling thread's read statement stands in, and in
// `position` where its next character is (right after the value the last
// item took): for a reader that checks what its values are written with.
// Empty when the statement has loaded no record.
std::string_view input_record(std::size_t& position);

// --- Open and close -----------------------------------------------------------

// Each property is a keyword text, or absent. Texts are matched without
// regard to case and may carry trailing blanks.
struct OpenOptions {
  std::optional<std::string_view> file;
  std::optional<std::string_view> status;
  std::optional<std::string_view> access;
  std::optional<std::string_view> form;
  std::optional<std::int32_t> record_length;
  std::optional<std::string_view> blank;
  std::optional<std::string_view> position;
  std::optional<std::string_view> action;
  std::optional<std::string_view> delimiter;
  std::optional<std::string_view> pad;
  std::optional<std::int32_t> block_size;
  std::optional<std::string_view> carriage_control;
  std::optional<std::string_view> mode;
  std::optional<std::string_view> share;
  std::optional<std::string_view> title;
  bool focus = true;
  bool error_return = false;  // answer the error instead of ending the program
};

int open_unit(int unit, const OpenOptions& options);
int close_unit(int unit, std::optional<std::string_view> status = std::nullopt,
               bool error_return = false);

// --- Files put in place together ---------------------------------------------

// While a file group is open, closing a replaced file does not put it in
// place yet: the group's commit renames every such file, in the order of
// their closes, once all of them are written; discarding it (or the
// program's dying, or ending with an exit code other than 0) drops them and
// leaves the files they would have replaced as they were. The normal end of
// the program with exit code 0 commits a group still open. A commit that
// fails is a run-time error of the close naming the file, unless
// error_return asks for its status.
void begin_file_group();
int commit_file_group(bool error_return = false);
void discard_file_group();

// --- Ending the program -------------------------------------------------------

// The stop statement; text == nullptr writes "Stop - Program terminated.".
[[noreturn]] void stop_program(const char* text, int length);
// The normal end (the stop, the end of the main program): files still open
// are closed and stand complete in place of the ones they replace, windows
// are kept; the host is told of the exit code, then ProgramExit is thrown. A
// second call while ending only throws.
[[noreturn]] void end_program(int exit_code);
// The program dies before its end (a run-time error, the end of its input,
// the user giving up a file selection): as end_program, but a file still
// open is dropped and keeps the contents it had before the program opened
// it, since what the program wrote to it is only a part.
[[noreturn]] void abort_program(int exit_code);

// Makes closed standard descriptors (input, output, error) refer to
// /dev/null, so that the first files the program opens do not take their
// numbers and receive what was meant for the terminal. Both program mains
// call it first; runtime_start calls it again.
void open_closed_standard_files();

// --- Services of the computation ----------------------------------------------

// The pause gate of the host; passed at every output statement and every
// sweep point.
void pause_gate();
// The floating-point faults that end a run as math errors.
inline constexpr int kFloatingPointFaults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// Reports a floating-point fault of the calling thread (one of
// kFloatingPointFaults) as the run-time's math error and ends the program;
// does nothing when none occurred.
void check_floating_point();

}  // namespace zuna
