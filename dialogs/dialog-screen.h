// Copying a dialog's model to its on-screen controls (push) and back (pull),
// through the host's DialogWindow. Used by the dialog manager only.
#pragma once

#include <string>
#include <string_view>

#include "dialogs/dialogs.h"

namespace zuna {

// A text value as the screen shows it: without trailing blanks; a text that
// fills all 256 positions shows its first 255 characters.
std::string displayed_text(const DialogText& text);
// A screen text as a text value: cut at the first zero character and at 255
// characters, padded with blanks to 256.
DialogText text_value(std::string_view screen);
// A text truncated to 256 characters or padded with blanks.
DialogText padded_text(std::string_view text);

// The entry count of a list, combo box or drop-down list (0 without one).
inline int item_count(const DialogControl& c) { return c.ints.empty() ? 0 : c.ints[0]; }

// Copies one control's model to the screen (nothing for a shared identifier).
void push_control(DialogWindow& window, const DialogControl& control);
// When the model has changed: every screen-stale control is pushed, in
// control order, with the pushing flag set meanwhile.
void push_dialog(Dialog& dialog);
// Copies one control's screen values into the model (nothing for a shared
// identifier).
void pull_control(Dialog& dialog, DialogWindow& window, DialogControl& control);

}  // namespace zuna
