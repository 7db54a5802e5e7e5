// The results menu (template 104): ten radio buttons, one of them chosen when
// the dialog closes.
#include "dialogs/dialogs.h"
#include "fio/fio.h"
#include "inputs/dialog-not-found.h"
#include "inputs/inputs.h"

namespace zuna {

namespace {

Dialog graficos;  // the menu's dialog record, for the life of the program

}  // namespace

void show_results_menu(bool& c1013, bool& c1014, bool& c1015, bool& c1016, bool& c1030, bool& c1031,
                       bool& c1032, bool& c1033, bool& c1034, bool& c1041) {
  if (!dialog_load(104, graficos)) {
    // Without the menu the user could neither start a new calculation nor
    // end the program: the driver would ask again and again with the same
    // answers. The program ends instead.
    write_dialog_not_found();
    stop_program(nullptr, 0);
  }
  dialog_run_modal(graficos);
  dialog_get_flag(graficos, 1013, c1013);
  dialog_get_flag(graficos, 1014, c1014);
  dialog_get_flag(graficos, 1015, c1015);
  dialog_get_flag(graficos, 1016, c1016);
  dialog_get_flag(graficos, 1030, c1030);
  dialog_get_flag(graficos, 1031, c1031);
  dialog_get_flag(graficos, 1032, c1032);
  dialog_get_flag(graficos, 1033, c1033);
  dialog_get_flag(graficos, 1034, c1034);
  dialog_get_flag(graficos, 1041, c1041);
  dialog_release(graficos);
}

}  // namespace zuna
