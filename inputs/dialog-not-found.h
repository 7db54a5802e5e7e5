// The message of both dialogs of the program when their template is missing.
#pragma once

namespace zuna {

// "Error: dialog not found", one list-directed record on the default unit.
void write_dialog_not_found();

}  // namespace zuna
