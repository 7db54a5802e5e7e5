#include "app/program-menu.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "app/rocket-performance.h"
#include "fio/fio.h"
#include "platform/run-command.h"

namespace zuna {
namespace {

// No item runs unless the computation waits in the results menu.
std::atomic<bool> shown{false};
std::atomic<bool> ready{false};
std::atomic<bool> files_written{false};

std::mutex results_mutex;  // guards the two below
std::shared_ptr<const RocketTable> results;
std::function<void()> results_listener;

// Publishes the results of a run, or withdraws them (null).
void publish(std::shared_ptr<const RocketTable> table) {
  // The listener is called under the lock, so that it is never called
  // after it was replaced; it only posts, and never waits.
  std::lock_guard lock(results_mutex);
  files_written.store(table != nullptr, std::memory_order_release);
  results = std::move(table);
  if (results_listener) {
    results_listener();
  }
}

// What the dialog showed last: the next showing starts from it.
RocketInputs last_inputs;

void run(const char* text) {
  Host& host = runtime_host();
  host.set_status_message(std::string("Waiting for: ") + text);
  run_command(text, static_cast<int>(std::char_traits<char>::length(text)));
  host.set_status_message({});
}

}  // namespace

// The rocket performance has an O/F range of its own: it needs nothing of
// the calculation but that one was made.
void ProgramMenu::offer_rocket_performance(const ProgramState&) {
  shown.store(true, std::memory_order_release);
}

void ProgramMenu::withdraw_results() { publish(nullptr); }

ProgramMenu::~ProgramMenu() {
  shown.store(false, std::memory_order_release);
  ready.store(false, std::memory_order_release);
  publish(nullptr);
  last_inputs = RocketInputs{};
}

ResultsMenuWait::ResultsMenuWait() { ready.store(true, std::memory_order_release); }

ResultsMenuWait::~ResultsMenuWait() { ready.store(false, std::memory_order_release); }

bool program_menu_shown() { return shown.load(std::memory_order_acquire); }

bool program_menu_ready() { return ready.load(std::memory_order_acquire) && program_menu_shown(); }

bool rocket_files_written() { return files_written.load(std::memory_order_acquire); }

std::shared_ptr<const RocketTable> rocket_results() {
  std::lock_guard lock(results_mutex);
  return results;
}

void set_rocket_results_listener(std::function<void()> listener) {
  std::lock_guard lock(results_mutex);
  results_listener = std::move(listener);
}

void run_rocket_performance() {
  if (!program_menu_ready()) {
    return;
  }
  RocketInputs inputs = last_inputs;
  if (!ask_rocket_inputs(inputs)) {
    return;
  }
  last_inputs = inputs;
  runtime_host().set_status_message("Calculando o desempenho como motor-foguete");
  std::shared_ptr<const RocketTable> table = write_rocket_performance(inputs);
  runtime_host().set_status_message({});
  // A run that failed leaves no results that answer the dialog as it stands.
  publish(std::move(table));
}

void run_rocket_plot() { run("wgnuplot isp.gnu"); }

void run_rocket_listing() { run("notepad foguete"); }

}  // namespace zuna
