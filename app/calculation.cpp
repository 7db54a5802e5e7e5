#include "app/calculation.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/report-writer.h"
#include "app/sweep-worker.h"
#include "fio/fio.h"
#include "inputs/inputs.h"
#include "platform/timef.h"

namespace zuna {
namespace {

constexpr char kProgressFormat[] = "(2X,'Pontos já processados =',I3,' de',I4)";

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

std::string flagged_points_message(const SweepTable& t, const SweepScalars& s) {
  struct Reason {
    unsigned flag;
    const char* text;
  };
  static constexpr Reason kReasons[] = {
      {kBisectionBound,
       "Temperatura com dissociação fora de 1000 a 6000 K (a busca parou no limite do "
       "intervalo)"},
      {kBisectionCap, "Busca da temperatura com dissociação parou no limite de iterações"},
      {kEquilibriumCap, "Equilíbrio de dissociação parou no limite de iterações"},
      {kNewtonOutside, "Temperatura sem dissociação fora de 200 a 6000 K"},
      {kNewtonCap, "Busca da temperatura sem dissociação parou no limite de iterações"},
  };
  const std::int32_t last = std::min<std::int32_t>(s.npts, kMaxPoint);
  std::string text;
  for (const Reason& reason : kReasons) {
    std::string points;
    int on_line = 0;
    for (std::int32_t i = 1; i <= last; ++i) {
      if ((t.point[i].flags & reason.flag) == 0) {
        continue;
      }
      char of[32];
      std::snprintf(of, sizeof of, "%.2E", t.point[i].r);
      points += points.empty() ? "\n   " : on_line == 0 ? ",\n   " : ",";
      points += " ";
      points += of;
      on_line = (on_line + 1) % 8;
    }
    if (!points.empty()) {
      text.append(reason.text).append(", o/f =").append(points).append("\n");
    }
  }
  if (text.empty()) {
    return text;
  }
  return "Os resultados destes pontos não são válidos (o/f dividido pelo estequiométrico, "
         "como no relatório):\n\n" +
         text;
}

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

namespace {

// The checks alone, for a quiet calculation given no observer.
class PlainChecks final : public PointChecks {};

// The sweep between two clock readings; answers the processing time
// t1 - t0 [s].
double timed_sweep(ProgramState& state, PointChecks& observer) {
  state.t0 = timef();
  run_sweep(state.p, state.tc, state.data.coef, state.table, state.s, &observer);
  state.t1 = timef();
  tell_flagged_points(state.table, state.s);
  return state.t1 - state.t0;
}

}  // namespace

void run_calculation(ProgramState& state, const CalculationSetup& setup) {
  start_search_worker();  // ahead of the sweep, while the user fills in the dialog
  begin_file_group();
  open_calculation_units(setup.interactive, setup.suffix);
  ProgressLines progress;
  PlainChecks plain;
  PointChecks* observer = setup.observer != nullptr ? setup.observer : &plain;
  if (setup.interactive) {
    state.p = ask_run_parameters(state.p);
    observer = &progress;
  }
  const double seconds = timed_sweep(state, *observer);
  if (setup.interactive) {
    write_processing_time(kProgressUnit, seconds);
  }
  write_processing_time(kReportUnit, seconds);
  if (setup.interactive) {
    wait_for_enter(kProgressUnit);
    close_unit(kProgressUnit);
  }
  write_report_and_plots(state.p, state.table, state.s);
  commit_file_group();
}

}  // namespace zuna
