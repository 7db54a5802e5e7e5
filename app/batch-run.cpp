#include "app/batch-run.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/program-data.h"
#include "app/program-state.h"

namespace zuna {

void BatchProgress::point_done(std::int32_t i, std::int32_t npts) {
  PointChecks::point_done(i, npts);
  if (!enabled_ || Clock::now() - start_ < kQuietTime) {
    return;
  }
  const int written =
      std::fprintf(stderr, "\rzuna4c: calculation %zu of %zu, point %d of %d ", calculation_,
                   calculations_, static_cast<int>(i), static_cast<int>(npts));
  std::fflush(stderr);
  width_ = std::max(width_, static_cast<std::size_t>(std::max(written, 0)));
  shown_ = true;
}

void BatchProgress::clear_line() {
  if (shown_) {
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(width_), "");
    std::fflush(stderr);
    shown_ = false;
  }
}

void run_batch(const BatchSettings& settings, BatchProgress& progress, BatchResults& results,
               bool digest) {
  ProgramState& state = program_state();
  std::string sha256;
  load_program_data(state, settings.data_file, digest ? &sha256 : nullptr);
  results.data_read(sha256);
  // One calculation's copy, handed on and overwritten by the next.
  static Calculation c;
  for (std::size_t n = 0; n < settings.pressures.size(); ++n) {
    state.p = settings.parameters;
    state.p.ptot = settings.pressures[n];
    progress.begin_calculation(n + 1);
    const std::string suffix = settings.suffix ? "_" + std::to_string(n + 1) : std::string();
    run_calculation(state, CalculationSetup{false, suffix, &progress});

    c.p = state.p;
    c.tc = state.tc;
    c.s = state.s;
    *c.table = state.table;
    results.calculation_done(n + 1, c);
  }
}

}  // namespace zuna
