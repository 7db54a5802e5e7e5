#include "app/program-menu.h"

#include <atomic>
#include <string>
#include <vector>

#include "app/rocket-performance.h"
#include "fio/fio.h"
#include "platform/run-command.h"

namespace zuna {
namespace {

// Written by the computation thread before the flag that publishes it
// (release) and read by an item's thread after it (acquire); no item runs
// unless the computation waits in the results menu.
const ProgramState* calculated = nullptr;
std::atomic<bool> shown{false};
std::atomic<bool> ready{false};
std::atomic<bool> files_written{false};

// What the dialog showed last: the next showing starts from it.
RocketInputs last_inputs;

void run(const char* text) {
  Host& host = runtime_host();
  host.set_status_message(std::string("Waiting for: ") + text);
  run_command(text, static_cast<int>(std::char_traits<char>::length(text)));
  host.set_status_message({});
}

}  // namespace

void ProgramMenu::offer_rocket_performance(const ProgramState& state) {
  calculated = &state;
  shown.store(true, std::memory_order_release);
}

ProgramMenu::~ProgramMenu() {
  shown.store(false, std::memory_order_release);
  ready.store(false, std::memory_order_release);
  files_written.store(false, std::memory_order_release);
  calculated = nullptr;
  last_inputs = RocketInputs{};
}

ResultsMenuWait::ResultsMenuWait() { ready.store(true, std::memory_order_release); }

ResultsMenuWait::~ResultsMenuWait() { ready.store(false, std::memory_order_release); }

bool program_menu_shown() { return shown.load(std::memory_order_acquire); }

bool program_menu_ready() { return ready.load(std::memory_order_acquire) && program_menu_shown(); }

bool rocket_files_written() { return files_written.load(std::memory_order_acquire); }

void run_rocket_performance() {
  if (!program_menu_ready()) {
    return;
  }
  const std::vector<double> of = calculation_of_points(calculated->table, calculated->s);
  RocketInputs inputs = last_inputs;
  if (!ask_rocket_inputs(inputs, of)) {
    return;
  }
  last_inputs = inputs;
  runtime_host().set_status_message("Calculando o desempenho como motor-foguete");
  const bool written = write_rocket_performance(inputs, of);
  runtime_host().set_status_message({});
  if (written) {
    files_written.store(true, std::memory_order_release);
  }
}

void run_rocket_plot() { run("wgnuplot isp.gnu"); }

void run_rocket_listing() { run("notepad foguete"); }

}  // namespace zuna
