// A batch run: the calculations of the command line, one per pressure,
// without presentation, dialogs or results menu.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/calculation.h"
#include "app/batch-settings.h"
#include "app/results-export.h"

namespace zuna {

// "zuna4c: calculation 2 of 10, point 57 of 103" on standard error, redrawn
// in place, once the run has lasted longer than a moment; the line is
// cleared at the end. Nothing is shown for a run that ends sooner, nor
// without `enabled` (standard error is not a terminal).
class BatchProgress final : public PointChecks {
 public:
  BatchProgress(bool enabled, std::size_t calculations)
      : enabled_(enabled), calculations_(calculations), start_(Clock::now()) {}
  ~BatchProgress() { clear_line(); }
  BatchProgress(const BatchProgress&) = delete;
  BatchProgress& operator=(const BatchProgress&) = delete;

  void begin_calculation(std::size_t n) { calculation_ = n; }
  void point_done(std::int32_t i, std::int32_t npts) override;

  // Clears the progress line, if one is shown, so that a message starts on
  // a line of its own; the next point draws it again below the message.
  void clear_line();

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

// Where a batch run hands its results, as they come: nothing of a finished
// calculation is kept by the run, so that a long list of pressures takes no
// more memory than one calculation.
class BatchResults {
 public:
  // After the data file is read; `data_sha256` is the digest of the bytes
  // read when the run was asked for it, else empty.
  virtual void data_read(const std::string& data_sha256) = 0;
  // Calculation `number` (from 1), its report and plot files closed.
  virtual void calculation_done(std::size_t number, const Calculation& c) = 0;

 protected:
  ~BatchResults() = default;
};

// Runs on the computation thread after runtime_start. Reads the data file
// (with `digest`, hashing the bytes it reads), then makes one calculation
// per pressure, each writing the report and plot files exactly as an
// interactive calculation with the same parameters (with suffix "_N" for
// calculation N when settings.suffix is set), and hands each to `results`.
// A run-time error ends the program (ProgramExit) as in the interactive
// session.
void run_batch(const BatchSettings& settings, BatchProgress& progress, BatchResults& results,
               bool digest);

}  // namespace zuna
