// The program's inputs: the thermodynamic data file and the two dialogs.
#pragma once

#include <cstdint>

#include "thermo/thermo.h"

namespace zuna {

// The unit of the data file.
inline constexpr int kDataUnit = 20;

// Reads the six species blocks of the data file from kDataUnit (opened and
// closed by the caller): molar masses, the two coefficient ranges and one
// further value per species.
void read_thermo_data(double (&mw)[6], double (&lastval)[6], CoefBlock& coef);

// The run-parameter dialog (template 101): default texts, modal run, the
// texts converted back by list-directed reads. A text that gives no value,
// a decimal comma, a text that may have been cut, or a value that
// check_run_parameters refuses (run-parameters.h) is named in a message and
// the dialog is shown again as typed.
void ask_run_parameters(std::int32_t& npmin, std::int32_t& npmax, std::int32_t& itmaxh,
                        std::int32_t& itmaxn, double& rmin, double& rmax, double& ptot,
                        double& tolh, double& toln, double& act1, double& act2, double& act3,
                        double& act4);

// The results menu (template 104): the ten radio buttons as chosen when the
// dialog closes.
void show_results_menu(bool& c1013, bool& c1014, bool& c1015, bool& c1016, bool& c1030, bool& c1031,
                       bool& c1032, bool& c1033, bool& c1034, bool& c1041);

}  // namespace zuna
