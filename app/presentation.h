// The presentation window shown once at program start.
#pragma once

namespace zuna {

// Opens the window "APRESENTAÇÃO" (unit 21), writes the presentation, waits
// for Enter and closes the window.
void show_presentation();

}  // namespace zuna
