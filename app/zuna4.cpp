#include "app/zuna4.h"

#include "app/calculation.h"
#include "app/presentation.h"
#include "app/program-data.h"
#include "app/program-menu.h"
#include "app/program-state.h"
#include "app/results-menu.h"
#include "resources/stored-templates.h"

namespace zuna {

void zuna4_main(std::string_view data_file) {
  ProgramState& state = program_state();
  register_stored_dialog_templates();
  ProgramMenu menu;  // the windowed program's "Cálculo" menu
  show_presentation();
  load_program_data(state, data_file);
  for (;;) {
    run_calculation(state, CalculationSetup{});
    menu.offer_rocket_performance(state);
    results_menu();
    menu.withdraw_results();  // "Novo Cálculo"
  }
}

}  // namespace zuna
