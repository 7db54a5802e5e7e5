#include "app/results-menu.h"

#include <cstddef>
#include <string>

#include "app/program-menu.h"
#include "fio/fio.h"
#include "inputs/inputs.h"
#include "platform/run-command.h"

namespace zuna {
namespace {

// A command line with its length, as the launcher takes it.
struct Command {
  const char* text;
  int length;
};

constexpr Command kTadPlot{"wgnuplot tad.gnu", 16};
constexpr Command kFmosPlot{"wgnuplot fmos.gnu", 17};
constexpr Command kFmocPlot{"wgnuplot fmoc.gnu", 17};
constexpr Command kFmxPlot{"wgnuplot fmx.gnu", 16};
constexpr Command kFmasPlot{"wgnuplot fmas.gnu", 17};
constexpr Command kFmacPlot{"wgnuplot fmac.gnu", 17};
constexpr Command kMolPlot{"wgnuplot mol.gnu", 16};
constexpr Command kListing{"notepad saida", 13};

// Whether the command could be started is kept but not acted upon: what went
// wrong is for the shell or the external program to say.
bool launched = false;

// The launcher waits until the command ends, so the status bar names what
// the program is waiting for meanwhile; clearing it brings back the message
// shown before.
void run(const Command& c) {
  Host& host = runtime_host();
  host.set_status_message("Waiting for: " +
                          std::string(c.text, static_cast<std::size_t>(c.length)));
  launched = run_command(c.text, c.length);
  host.set_status_message({});
}

}  // namespace

void results_menu() {
  for (;;) {
    // Cleared before every showing: when the menu cannot be shown, no choice
    // is made, rather than the last one being repeated for ever.
    bool c1013 = false, c1014 = false, c1015 = false, c1016 = false, c1030 = false;
    bool c1031 = false, c1032 = false, c1033 = false, c1034 = false, c1041 = false;
    {
      // Meanwhile the windowed program's menu "Cálculo" may run its items.
      ResultsMenuWait wait;
      show_results_menu(c1013, c1014, c1015, c1016, c1030, c1031, c1032, c1033, c1034, c1041);
    }

    if (c1013) {
      run(kTadPlot);
    }
    if (c1014) {
      run(kFmosPlot);
    }
    if (c1015) {
      run(kFmocPlot);
    }
    if (c1016) {
      run(kFmxPlot);
    }
    if (c1030) {
      run(kFmasPlot);
    }
    if (c1031) {
      run(kFmacPlot);
    }
    if (c1032) {
      run(kMolPlot);
    }
    if (c1033) {
      return;
    }
    if (c1034) {
      stop_program(nullptr, 0);
    }
    if (c1041) {
      run(kListing);
    }
    const bool chosen =
        c1013 || c1014 || c1015 || c1016 || c1030 || c1031 || c1032 || c1033 || c1034 || c1041;
    if (!chosen) {
      // Not reached with the program's own menu: its radio group always
      // keeps one button checked, and a menu that cannot be loaded ends the
      // program inside show_results_menu. A template that left no button
      // checked would show the menu for ever: end instead.
      end_program(1);
    }
  }
}

}  // namespace zuna
