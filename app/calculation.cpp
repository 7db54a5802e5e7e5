#include "app/calculation.h"

#include <cstdint>
#include <string>

#include "app/report-writer.h"
#include "fio/fio.h"
#include "platform/timef.h"
#include "inputs/inputs.h"

namespace zuna {
namespace {

constexpr char kProgressFormat[] = "(2X,'Pontos já processados =',I3,' de',I4)";
constexpr char kParametersRefused[] =
    "(2X,'Parâmetros fora dos limites das tabelas: npmin >= 0, npmax >= 0,',"
    "' npmin + npmax <= ',I3)";

void open_file(int unit, const char* name) {
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

// In this order; the progress window therefore stands empty behind the
// parameter dialog.
void open_calculation_units() {
  open_file(kReportUnit, "saida");
  open_file(kTadUnit, "tad.dat");
  open_file(kFmxUnit, "fmx.dat");
  open_window(kProgressUnit, "EXECUÇÃO DOS CÁLCULOS");
  open_file(kMolUnit, "mol.dat");
  open_file(kFmosUnit, "fmos.dat");
  open_file(kFmasUnit, "fmas.dat");
  open_file(kFmocUnit, "fmoc.dat");
  open_file(kFmacUnit, "fmac.dat");
}

// The parameter dialog refuses counts that do not fit the tables; should any
// get through, they are refused here and asked again rather than swept past
// the tables' end.
void ask_fitting_parameters(RunParameters& p) {
  for (;;) {
    ask_run_parameters(p.npmin, p.npmax, p.itmaxh, p.itmaxn, p.rmin, p.rmax, p.ptot, p.tolh,
                       p.toln, p.act1, p.act2, p.act3, p.act4);
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

// After each point: the pause gate, a floating-point fault of the point
// reported as the run-time's math error, and from point 1 on a progress line.
class ProgressLines : public SweepObserver {
 public:
  void point_done(std::int32_t i, std::int32_t npts) override {
    pause_gate();
    check_floating_point();
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

void run_calculation(ProgramState& state) {
  prepare_sweep();
  open_calculation_units();
  ask_fitting_parameters(state.p);

  ProgressLines progress;
  state.t0 = timef();
  if (!run_sweep(state.p, state.tc, state.data.coef, state.table, state.s, &progress)) {
    state.s.npts = 0;  // nothing swept, nothing to report
  }
  state.t1 = timef();
  tell_flagged_points(state.table, state.s);

  const double seconds = state.t1 - state.t0;
  write_processing_time(kProgressUnit, seconds);
  write_processing_time(kReportUnit, seconds);
  wait_for_enter(kProgressUnit);
  close_unit(kProgressUnit);
  write_report_and_plots(state.p, state.table, state.s);
}

}  // namespace zuna
