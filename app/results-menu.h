// The results menu shown after each calculation.
#pragma once

namespace zuna {

// Shows the menu until the user chooses "Novo Cálculo" (then returns) or
// "Encerrar o Programa" (then stops the program: never returns). Each plot
// or listing runs its command and waits for it before the menu comes back.
void results_menu();

}  // namespace zuna
