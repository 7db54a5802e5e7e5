// The results menu (template 104): ten radio buttons, one of them chosen when
// the dialog closes.
#include <array>
#include <utility>

#include "dialogs/dialogs.h"
#include "fio/fio.h"
#include "inputs/dialog-not-found.h"
#include "inputs/inputs.h"

namespace zuna {

namespace {

Dialog graficos;  // the menu's dialog record, for the life of the program

// The buttons in the order their choices are listed.
constexpr std::array<std::pair<int, ResultsChoice>, 10> kButtons = {{
    {1013, ResultsChoice::flame_temperatures_plot},
    {1014, ResultsChoice::mole_fractions_plot},
    {1015, ResultsChoice::mole_fractions_dissociated_plot},
    {1016, ResultsChoice::extents_plot},
    {1030, ResultsChoice::mass_fractions_plot},
    {1031, ResultsChoice::mass_fractions_dissociated_plot},
    {1032, ResultsChoice::molar_masses_plot},
    {1033, ResultsChoice::new_calculation},
    {1034, ResultsChoice::end_program},
    {1041, ResultsChoice::report_listing},
}};

}  // namespace

void show_results_menu(ResultsMenuState& state) {
  if (!dialog_load(104, graficos)) {
    // Without the menu the user could neither start a new calculation nor
    // end the program: the driver would ask again and again with the same
    // answers. The program ends instead.
    write_dialog_not_found();
    stop_program(nullptr, 0);
  }
  dialog_run_modal(graficos);
  state.choice = ResultsChoice::none;
  for (const auto& [id, choice] : kButtons) {
    bool checked = false;
    if (dialog_get_flag(graficos, id, checked) && checked) {
      state.choice = choice;
      break;
    }
  }
  dialog_release(graficos);
}

}  // namespace zuna
