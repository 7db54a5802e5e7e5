#include "app/calculation.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "app/report-writer.h"
#include "fio/fio.h"
#include "inputs/inputs.h"
#include "platform/timef.h"

namespace zuna {
namespace {

constexpr char kProgressFormat[] = "(2X,'Pontos já processados =',I3,' de',I4)";
constexpr char kParametersRefused[] =
    "(2X,'Parâmetros fora dos limites das tabelas: npmin >= 0, npmax >= 0,',"
    "' npmin + npmax <= ',I3)";

void open_file(int unit, std::string_view name) {
  OpenOptions options;
  options.file = name;
  options.form = "formatted";
  open_unit(unit, options);
}

void open_window(int unit, const char* title) {
  OpenOptions options;
  options.file = "user";
  options.title = title;
  open_unit(unit, options);
}

// The parameter dialog refuses counts that do not fit the tables; should any
// get through, they are refused here and asked again rather than swept past
// the tables' end.
void ask_fitting_parameters(RunParameters& p) {
  for (;;) {
    p = ask_run_parameters(p);
    if (sweep_fits(p)) {
      return;
    }
    begin_write(kProgressUnit, kParametersRefused, -1);
    put_int32(kMaxInnerPoints);
    end_write();
  }
}

// A read with an empty list: waits until the user presses Enter.
void wait_for_enter(int unit) {
  begin_read(unit, nullptr, 0, false);
  end_read();
}

// After each point the checks, and from point 1 on a progress line.
class ProgressLines final : public PointChecks {
 public:
  void point_done(std::int32_t i, std::int32_t npts) override {
    PointChecks::point_done(i, npts);
    if (i >= 1) {
      begin_write(kProgressUnit, kProgressFormat, -1);
      put_int32(i);
      put_int32(npts);
      end_write();
    }
  }
};

// The values of every point stay as computed and are reported as they are;
// the points whose searches did not find their temperature are named in a
// message box, which the console host writes on standard error.
void tell_flagged_points(const SweepTable& t, const SweepScalars& s) {
  const std::string text = flagged_points_message(t, s);
  if (!text.empty()) {
    runtime_host().message_box("RESULTADOS", text, MessageIcon::warning, MessageButtons::ok,
                               MessageAnswer::ok);
  }
}

}  // namespace

void open_calculation_units(bool progress_window, std::string_view suffix) {
  const std::string suffixed(suffix);
  auto plot_file = [&suffixed](const char* stem) { return stem + suffixed + ".dat"; };
  open_file(kReportUnit, "saida" + suffixed);
  open_file(kTadUnit, plot_file("tad"));
  open_file(kFmxUnit, plot_file("fmx"));
  if (progress_window) {
    open_window(kProgressUnit, "EXECUÇÃO DOS CÁLCULOS");
  }
  open_file(kMolUnit, plot_file("mol"));
  open_file(kFmosUnit, plot_file("fmos"));
  open_file(kFmasUnit, plot_file("fmas"));
  open_file(kFmocUnit, plot_file("fmoc"));
  open_file(kFmacUnit, plot_file("fmac"));
}

void PointChecks::point_done(std::int32_t, std::int32_t) {
  pause_gate();
  check_floating_point();
}

double timed_sweep(ProgramState& state, PointChecks& observer) {
  state.t0 = timef();
  if (!run_sweep(state.p, state.tc, state.data.coef, state.table, state.s, &observer)) {
    state.s.npts = 0;  // nothing swept, nothing to report
  }
  state.t1 = timef();
  tell_flagged_points(state.table, state.s);
  return state.t1 - state.t0;
}

// The files of a calculation are put in place together once all of them are
// written (begin_file_group); a calculation that fails on the way leaves
// every earlier file of it as it was.
void run_calculation(ProgramState& state) {
  prepare_sweep();
  begin_file_group();
  open_calculation_units(true);
  ask_fitting_parameters(state.p);

  ProgressLines progress;
  const double seconds = timed_sweep(state, progress);
  write_processing_time(kProgressUnit, seconds);
  write_processing_time(kReportUnit, seconds);
  wait_for_enter(kProgressUnit);
  close_unit(kProgressUnit);
  write_report_and_plots(state.p, state.table, state.s);
  commit_file_group();
}

void run_quiet_calculation(ProgramState& state, PointChecks& observer, std::string_view suffix) {
  prepare_sweep();
  begin_file_group();
  open_calculation_units(false, suffix);
  const double seconds = timed_sweep(state, observer);
  write_processing_time(kReportUnit, seconds);
  write_report_and_plots(state.p, state.table, state.s);
  commit_file_group();
}

}  // namespace zuna
