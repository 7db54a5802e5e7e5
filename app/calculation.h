// One calculation: output units, run parameters, the sweep, the processing
// time, the report and the plot files. The interactive calculation and the
// batch run go through the same driver, run_calculation; they differ only in
// the progress window, the dialog and the files' names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/program-state.h"
#include "app/sweep.h"

namespace zuna {

// Opens the report and the seven plot files, each rewritten from its start,
// with `suffix` added to every name's stem ("saida" + suffix,
// "tad" + suffix + ".dat", ...). With `progress_window` the progress window
// opens too, between "fmx.dat" and "mol.dat", so that it stands empty
// behind the parameter dialog.
void open_calculation_units(bool progress_window, std::string_view suffix = {});

// What every sweep point passes through: the pause gate, then a
// floating-point fault of the point reported as the run-time's math error.
// Observers that show progress derive from it and call it first.
class PointChecks : public SweepObserver {
 public:
  void point_done(std::int32_t i, std::int32_t npts) override;

 protected:
  ~PointChecks() = default;
};

// What the user is told of the points 1..npts that carry a flag: for each
// reason, the reported o/f of its points (Windows-1252 text); empty when
// every point is valid.
std::string flagged_points_message(const SweepTable& t, const SweepScalars& s);

// How a calculation meets the user.
struct CalculationSetup {
  // The interactive calculation: the progress window, the parameter dialog,
  // a progress line per point, and after the sweep the processing time in
  // the window and a wait for Enter. Otherwise the calculation runs for
  // state.p as it stands, without window or dialog.
  bool interactive = true;
  std::string_view suffix;          // added to the files' names
  PointChecks* observer = nullptr;  // the points' observer when not interactive
};

// Runs one calculation on `state`: opens the units, asks the run parameters
// (interactive), sweeps between two clock readings (state.t0, state.t1),
// names the flagged points in a message box, writes the processing time,
// the report and the plot files. The files of a calculation are put in
// place together once all of them are written; when it returns, every unit
// it opened is closed. A quiet calculation writes the same bytes as an
// interactive one with the same parameters, the processing time aside.
void run_calculation(ProgramState& state, const CalculationSetup& setup);

}  // namespace zuna
