// The program's inputs: the thermodynamic data file and the two dialogs.
#pragma once

#include <cstdint>

#include "inputs/run-parameters.h"
#include "thermo/thermo.h"

namespace zuna {

// The unit of the data file.
inline constexpr int kDataUnit = 20;

// Reads the six species blocks of the data file from kDataUnit (opened and
// closed by the caller): molar masses, the two coefficient ranges and one
// further value per species.
void read_thermo_data(double (&mw)[6], double (&lastval)[6], CoefBlock& coef);

// The run-parameter dialog (template 101): default texts, modal run, the
// texts converted back by list-directed reads into a copy of `start`. A text
// that gives no value, a decimal comma, a text that may have been cut, or a
// value that check_run_parameters refuses (run-parameters.h) is named in a
// message and the dialog is shown again as typed. A field whose text never
// read keeps its value of `start`; nothing is read when the template is
// missing.
RunParameters ask_run_parameters(const RunParameters& start);

// The results menu's radio buttons, one per choice.
enum class ResultsChoice {
  none,                             // no button checked
  flame_temperatures_plot,          // 1013
  mole_fractions_plot,              // 1014, without dissociation
  mole_fractions_dissociated_plot,  // 1015
  extents_plot,                     // 1016, the reactions' extents
  mass_fractions_plot,              // 1030, without dissociation
  mass_fractions_dissociated_plot,  // 1031
  molar_masses_plot,                // 1032
  new_calculation,                  // 1033
  end_program,                      // 1034
  report_listing,                   // 1041
};

struct ResultsMenuState {
  ResultsChoice choice = ResultsChoice::none;
};

// The results menu (template 104): the button checked when the dialog
// closes, the first in the order above should there be several; none when
// none is.
void show_results_menu(ResultsMenuState& state);

}  // namespace zuna
