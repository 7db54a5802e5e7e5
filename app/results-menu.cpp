#include "app/results-menu.h"

#include <cstddef>
#include <string>
#include <string_view>

#include "app/program-menu.h"
#include "fio/fio.h"
#include "inputs/inputs.h"
#include "platform/run-command.h"

namespace zuna {
namespace {

constexpr std::string_view kTadPlot = "wgnuplot tad.gnu";
constexpr std::string_view kFmosPlot = "wgnuplot fmos.gnu";
constexpr std::string_view kFmocPlot = "wgnuplot fmoc.gnu";
constexpr std::string_view kFmxPlot = "wgnuplot fmx.gnu";
constexpr std::string_view kFmasPlot = "wgnuplot fmas.gnu";
constexpr std::string_view kFmacPlot = "wgnuplot fmac.gnu";
constexpr std::string_view kMolPlot = "wgnuplot mol.gnu";
constexpr std::string_view kListing = "notepad saida";

// Whether the command could be started is kept but not acted upon: what went
// wrong is for the shell or the external program to say.
bool launched = false;

// The launcher waits until the command ends, so the status bar names what
// the program is waiting for meanwhile; clearing it brings back the message
// shown before.
void run(std::string_view command) {
  Host& host = runtime_host();
  host.set_status_message("Waiting for: " + std::string(command));
  launched = run_command(command.data(), static_cast<int>(command.size()));
  host.set_status_message({});
}

// The command of a plot or of the listing; empty for the other choices.
std::string_view command_of(ResultsChoice choice) {
  switch (choice) {
    case ResultsChoice::flame_temperatures_plot: return kTadPlot;
    case ResultsChoice::mole_fractions_plot: return kFmosPlot;
    case ResultsChoice::mole_fractions_dissociated_plot: return kFmocPlot;
    case ResultsChoice::extents_plot: return kFmxPlot;
    case ResultsChoice::mass_fractions_plot: return kFmasPlot;
    case ResultsChoice::mass_fractions_dissociated_plot: return kFmacPlot;
    case ResultsChoice::molar_masses_plot: return kMolPlot;
    case ResultsChoice::report_listing: return kListing;
    case ResultsChoice::none:
    case ResultsChoice::new_calculation:
    case ResultsChoice::end_program: break;
  }
  return {};
}

}  // namespace

void results_menu() {
  for (;;) {
    // Cleared before every showing: when the menu cannot be shown, no choice
    // is made, rather than the last one being repeated for ever.
    ResultsMenuState menu;
    {
      // Meanwhile the windowed program's menu "Cálculo" may run its items.
      ResultsMenuWait wait;
      show_results_menu(menu);
    }
    switch (menu.choice) {
      case ResultsChoice::new_calculation: return;
      case ResultsChoice::end_program: stop_program(nullptr, 0); break;
      case ResultsChoice::none:
        // Not reached with the program's own menu: its radio group always
        // keeps one button checked, and a menu that cannot be loaded ends
        // the program inside show_results_menu. A template that left no
        // button checked would show the menu for ever: end instead.
        end_program(1);
        break;
      default: run(command_of(menu.choice)); break;
    }
  }
}

}  // namespace zuna
