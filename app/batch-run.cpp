#include "app/batch-run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/calculation.h"
#include "app/program-data.h"
#include "app/program-state.h"

namespace zuna {
namespace {

// The batch run's values; static like the interactive program's, as the
// sweep table is large for a stack.
ProgramState state;

// "zuna4c: calculation 2 of 10, point 57 of 103" on standard error, redrawn
// in place, once the run has lasted longer than kQuietTime; the line is
// cleared at the end. Nothing is shown for a run that ends sooner.
class TerminalProgress final : public PointChecks {
 public:
  TerminalProgress(bool enabled, std::size_t calculations)
      : enabled_(enabled), calculations_(calculations), start_(Clock::now()) {}
  ~TerminalProgress() {
    if (shown_) {
      std::fprintf(stderr, "\r%*s\r", static_cast<int>(width_), "");
      std::fflush(stderr);
    }
  }
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  void begin_calculation(std::size_t n) { calculation_ = n; }

  void point_done(std::int32_t i, std::int32_t npts) override {
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

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kQuietTime{300};

  bool enabled_;
  std::size_t calculations_;
  std::size_t calculation_ = 1;
  Clock::time_point start_;
  bool shown_ = false;
  std::size_t width_ = 0;
};

}  // namespace

std::vector<Calculation> run_batch(const BatchSettings& settings, bool show_progress) {
  prepare_sweep();
  load_program_data(state, settings.data_file);
  std::vector<Calculation> calculations;
  calculations.reserve(settings.pressures.size());
  TerminalProgress progress(show_progress, settings.pressures.size());
  for (std::size_t n = 0; n < settings.pressures.size(); ++n) {
    state.p = settings.parameters;
    state.p.ptot = settings.pressures[n];
    progress.begin_calculation(n + 1);
    std::string suffix;
    if (settings.suffix) {
      suffix.append("_").append(std::to_string(n + 1));
    }
    run_quiet_calculation(state, progress, suffix);

    Calculation& c = calculations.emplace_back();
    c.p = state.p;
    c.tc = state.tc;
    c.s = state.s;
    *c.table = state.table;
  }
  return calculations;
}

}  // namespace zuna
