#include "fio/runtime-error.h"

#include <cfenv>
#include <mutex>
#include <string>

#include "fio/fio.h"
#include "fio/host.h"
#include "intrinsics/intrinsics.h"

namespace zuna {

namespace {

struct TagEntry {
  std::string_view tag;
  bool opens_paren;
};

// Indexed by StatementKind.
constexpr TagEntry kTags[] = {
    {": (", true},
    {": CLOSE(", true},
    {": WRITE(", true},
    {": ENDFILE(", true},
    {": INQUIRE(", true},
    {": LOCKING(", true},
    {": OPEN(", true},
    {": READ(", true},
    {": REWIND(", true},
    {": BACKSPACE(", true},
    {": EOF(", true},
    {": $DEBUG\r\n- ", false},
    {": ALLOCATE\r\n- ", false},
    {": DEALLOCATE\r\n- ", false},
    {": BEGINTHREAD\r\n- ", false},
    {": MATH\r\n- ", false},
    {"\r\n- ", false},
    {": CRVN\r\n- ", false},
};
static_assert(std::size(kTags) == static_cast<std::size_t>(StatementKind::window_host) + 1);

// Two threads never interleave their reports.
std::mutex report_mutex;

// Errors being reported on this thread: an error raised while one is being
// reported ends the program at once instead of reporting again.
thread_local int t_reports_in_progress = 0;

struct ReportInProgress {
  ReportInProgress() { ++t_reports_in_progress; }
  ~ReportInProgress() { --t_reports_in_progress; }
  ReportInProgress(const ReportInProgress&) = delete;
  ReportInProgress& operator=(const ReportInProgress&) = delete;
};

// The displayed number of a condition: the end-of-file status becomes a
// number of the 6000 range when it is reported.
IoError reported_condition(IoError e) {
  return e == IoError::end_of_file ? IoError::read_past_end : e;
}

RuntimeErrorReport make_report(IoError e, StatementKind kind, std::string_view file_name,
                               std::string_view message) {
  IoError shown = reported_condition(e);
  RuntimeErrorReport report;
  report.letter = is_math_error(shown) ? 'M' : 'F';
  report.number = error_number(shown);
  report.tag = statement_tag(kind);
  report.tag_opens_paren = tag_opens_paren(kind);
  report.file_name = file_name;
  report.message = message.empty() ? condition_text(shown) : std::string(message);
  return report;
}

void show(IoError e, StatementKind kind, std::string_view file_name, std::string_view message) {
  RuntimeErrorReport report = make_report(e, kind, file_name, message);
  std::lock_guard lock(report_mutex);
  runtime_host().report_runtime_error(report);
}

const char* math_function_name(const char* name) { return name != nullptr ? name : "?"; }

void on_math_error(const char* name, MathFailure failure) {
  auto e = static_cast<IoError>(error_number(IoError::math_domain) - 1 + static_cast<int>(failure));
  std::string message(math_function_name(name));
  message.append(": ").append(error_message(e));
  report_and_end(e, StatementKind::math, {}, message);
}

}  // namespace

std::string condition_text(IoError e) {
  std::string text = error_message(e);
  if (is_file_system_failure(e) && noted_system_error() != 0) {
    text.append(": ").append(system_error_text(noted_system_error()));
  }
  return text;
}

std::string_view statement_tag(StatementKind kind) {
  return kTags[static_cast<std::size_t>(kind)].tag;
}

bool tag_opens_paren(StatementKind kind) {
  return kTags[static_cast<std::size_t>(kind)].opens_paren;
}

int error_status(IoError e) { return error_number(e); }

int signal_error(IoError e, StatementKind kind, bool status_request, std::string_view file_name,
                 std::string_view message) {
  if (e == IoError::ok || status_request) {
    return error_status(e);
  }
  report_and_end(e, kind, file_name, message);
}

void report_and_end(IoError e, StatementKind kind, std::string_view file_name,
                    std::string_view message) {
  if (t_reports_in_progress > 0) {
    throw ProgramExit{1};
  }
  {
    ReportInProgress guard;
    show(e, kind, file_name, message);
  }
  abort_program(1);
}

void report_only(IoError e, StatementKind kind, std::string_view file_name,
                 std::string_view message) {
  if (t_reports_in_progress > 0) {
    return;
  }
  ReportInProgress guard;
  show(e, kind, file_name, message);
}

void install_math_error_handler() { set_math_error_handler(&on_math_error); }

void check_floating_point() {
  int raised = std::fetestexcept(kFloatingPointFaults);
  if (raised == 0) {
    return;
  }
  std::feclearexcept(raised);
  IoError e = (raised & FE_INVALID) != 0     ? IoError::fp_invalid
              : (raised & FE_DIVBYZERO) != 0 ? IoError::fp_divide_by_zero
                                             : IoError::fp_overflow;
  report_and_end(e, StatementKind::math, {});
}

}  // namespace zuna
