// Writing the complete report and the seven plot files of a 103-point
// calculation (npmin 50, npmax 50, the other parameters at their defaults)
// through the real run-time: the files opened, every record formatted and
// written, every file closed. Target: under 5 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/program-state.h"
#include "app/report-writer.h"
#include "fio/fio.h"
#include "inputs/inputs.h"

namespace zuna {
namespace {

namespace fs = std::filesystem;

// A host that shows nothing: the report goes to files only.
class QuietHost : public Host {
 public:
  int text_window_open(std::string_view) override { return 1025; }
  int text_window_write(int, std::string_view text) override {
    return static_cast<int>(text.size());
  }
  int text_window_read_line(int, char*, int) override { return 0; }
  void text_window_close(int, bool) override {}
  void set_status_message(std::string_view) override {}
  MessageAnswer message_box(std::string_view, std::string_view, MessageIcon, MessageButtons,
                            MessageAnswer answer) override {
    return answer;
  }
  void report_runtime_error(const RuntimeErrorReport&) override {}
  void end_of_run(int) override {}
  void pause_gate() override {}
  std::optional<std::string> select_file(int) override { return std::nullopt; }
};

void open_file(int unit, const char* name) {
  OpenOptions options;
  options.file = name;
  options.form = "formatted";
  open_unit(unit, options);
}

class ReportFixture {
 public:
  ReportFixture() {
    dir_ = fs::temp_directory_path() / ("zuna-bench-report-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    old_ = fs::current_path();
    fs::current_path(dir_);
    runtime_start(host_);

    OpenOptions data;
    data.file = ZUNA_DATA_DIR "/zuna.dat";
    data.status = "old";
    open_unit(20, data);
    read_thermo_data(state_->data.mw, state_->data.lastval, state_->data.coef);
    close_unit(20);
    for (int k = 0; k < 6; ++k) {
      state_->tc.mw[k] = state_->data.mw[k];
    }
    RunParameters& p = state_->p;
    p = RunParameters{50, 50, 100, 200, 0.5, 2.0, 1.0, 1.0e-3, 1.0e-10, 1.0, 1.0, 1.0, 1.0};
    run_sweep(p, state_->tc, state_->data.coef, state_->table, state_->s, nullptr);
    ok_ = state_->s.npts == 103;
  }
  ~ReportFixture() {
    fs::current_path(old_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  bool ok() const { return ok_; }

  void write_all() {
    open_file(kReportUnit, "saida");
    open_file(kTadUnit, "tad.dat");
    open_file(kFmxUnit, "fmx.dat");
    open_file(kMolUnit, "mol.dat");
    open_file(kFmosUnit, "fmos.dat");
    open_file(kFmasUnit, "fmas.dat");
    open_file(kFmocUnit, "fmoc.dat");
    open_file(kFmacUnit, "fmac.dat");
    write_processing_time(kReportUnit, 1.25e-2);
    write_report_and_plots(state_->p, state_->table, state_->s);
  }

 private:
  QuietHost host_;
  std::unique_ptr<ProgramState> state_ = std::make_unique<ProgramState>();
  fs::path dir_, old_;
  bool ok_ = false;
};

void BM_ReportAndPlotFiles103Points(benchmark::State& state) {
  ReportFixture fixture;
  if (!fixture.ok()) {
    state.SkipWithError("the 103-point sweep could not be computed");
    return;
  }
  for (auto _ : state) {
    fixture.write_all();
  }
}
BENCHMARK(BM_ReportAndPlotFiles103Points)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace zuna

BENCHMARK_MAIN();
