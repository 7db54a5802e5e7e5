// The dialog manager: modal dialogs built from the stored dialog templates,
// whose controls the computation reads and writes by numeric identifier
// before, during and after the dialog is on screen.
//
// The caller's sequence is always dialog_load, any sets, dialog_run_modal,
// any gets, dialog_release. The manager keeps a model of every control's
// values; the model is copied to the screen when the dialog opens (and after
// every callback) and copied back when it closes, so that the calls before and
// after the modal run work on the model alone.
//
// The screen is the host's (dialogs/dialog-host.h): dialog_run_modal hands
// the template to the dialog host's run_dialog_modal with a controller of
// this manager, and every value crosses through the host's DialogWindow.
// Both hosts share all of the logic here; they only render.
//
// Threads: the calls above are made on the computation thread. While a
// dialog is on screen the host calls the controller (and so the callbacks
// and the model) on the thread that shows it, the windowed program's GUI
// thread, while the computation thread waits inside dialog_run_modal; the
// model is never used by two threads at once, so no locks are taken.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "dialogs/control-kind.h"
#include "dialogs/dialog-host.h"

namespace zuna {

// Value selectors of the set and get operations, and the callback type codes
// passed to callbacks. A positive selector on a list box, combo box or
// drop-down list means list entry n (1-based).
inline constexpr int sel_init = 0;         // callback type: the dialog has just opened
inline constexpr int sel_default = -1;     // the control's principal value
inline constexpr int sel_title = -2;       // the title text
inline constexpr int sel_enable = -3;      // logical "enabled"
inline constexpr int sel_clicked = -4;     // callback type: a button was clicked
inline constexpr int sel_state = -5;       // checked; edit text; drop-down selection
inline constexpr int sel_change = -6;      // callback type: text or position changed
inline constexpr int sel_update = -7;      // callback type: edit text about to be shown
inline constexpr int sel_range = -8;       // scroll bar range
inline constexpr int sel_position = -9;    // scroll bar position
inline constexpr int sel_selchange = -10;  // callback type: list selection changed
inline constexpr int sel_bigstep = -11;    // scroll bar page step
inline constexpr int sel_smallstep = -12;  // scroll bar line step
inline constexpr int sel_numitems = -13;   // number of list entries
inline constexpr int sel_dblclick = -14;   // callback type: list entry double-clicked

// Every text value of a control is a field of this many characters, padded
// with blanks.
inline constexpr int kDialogTextLength = 256;
using DialogText = std::array<char, kDialogTextLength>;

// The largest item count a list accepts; a larger count is refused rather
// than reserving that many 256-character entries.
inline constexpr int kDialogMaxListItems = 32767;

struct Dialog;

// A callback: (dialog, control identifier, callback type code). The dialog
// callback gets (dialog, template identifier, sel_init).
using DialogCallback = void (*)(Dialog& dialog, int id, int type);

// One control of a loaded dialog. The value lists, by kind:
//   ints   radio button: group first, group last (1-based positions in the
//          control list); scroll bar: position, range, small step, big step;
//          list box: item count, selected entry numbers ended by 0 (count + 2
//          values); combo box: item count; drop-down list: item count,
//          current selection (1-based, 0 for none)
//   flags  [0] enabled; check box and radio button: [1] checked
//   texts  [0] title, edit text or current text; lists: then one per entry
//   callbacks  the slots of the kind, in the order of the callback selectors
struct DialogControl {
  ControlKind kind = ControlKind::static_text;
  std::int32_t id = 0;       // the item's unsigned 16-bit identifier
  bool screen_stale = true;  // the model differs from the screen
  bool shared_id = false;    // another control of the template has this identifier
  std::vector<std::int32_t> ints;
  std::vector<bool> flags;
  std::vector<DialogText> texts;
  std::vector<DialogCallback> callbacks;
};

// The caller-owned record of one dialog.
struct Dialog {
  std::int32_t template_id = 0;
  DialogWindow* window = nullptr;  // the on-screen dialog while displayed
  std::int32_t return_value = 0;   // identifier of the push button that closed it
  bool model_changed = false;      // some model value is not yet on screen
  bool pushing = false;            // the model is being copied to the screen
  bool combo_text = true;          // false while a combo box's selection callback runs
  DialogCallback dialog_callback = nullptr;
  std::vector<DialogControl> controls;
  bool loaded = false;  // dialog_load succeeded and no dialog_release since
};

// The callbacks a loaded dialog starts with.
void dialog_do_nothing(Dialog& dialog, int id, int type);
// The clicked callback of push buttons: the return value becomes the
// button's identifier, then dialog_exit.
void dialog_end_callback(Dialog& dialog, int id, int type);

// Binds the template with this number to the record and builds its control
// list. False when there is no such template (or its bytes are not a
// readable template); the record then has no control list. A control of a
// refused style (owner-drawn, multi-line edit, ...) writes "Invalid style
// <name> used for control <id>" to the default unit and ends the run as the
// stop statement does. False, changing nothing, while the record is on
// screen.
bool dialog_load(int template_id, Dialog& dialog);

// Set and get answer false, changing nothing, when no control has the
// identifier, when the control shares its identifier with another, or when
// the selector does not apply to the control's kind. While the dialog is
// displayed a get first copies the control's screen value into the model
// (unless a set is waiting to be shown) and a set is shown after the current
// callback.
bool dialog_set_text(Dialog& dialog, int id, std::string_view text, int sel = sel_default);
bool dialog_set_flag(Dialog& dialog, int id, bool value, int sel = sel_default);
bool dialog_set_int(Dialog& dialog, int id, std::int32_t value, int sel = sel_default);
// Copies a 256-character text value, truncated to `length` or padded with
// blanks.
bool dialog_get_text(Dialog& dialog, int id, char* buffer, int length, int sel = sel_default);
bool dialog_get_flag(Dialog& dialog, int id, bool& value, int sel = sel_default);
bool dialog_get_int(Dialog& dialog, int id, std::int32_t& value, int sel = sel_default);

// Replaces a callback slot (the default selector reaches the first). An
// identifier that no control has but that equals the template number sets
// the dialog callback. False while the dialog is displayed (for a control's
// callback), for kinds without callbacks and for a null procedure.
bool dialog_set_callback(Dialog& dialog, int id, DialogCallback callback, int sel = sel_default);

// Shows the dialog modally; answers the identifier of the push button that
// closed it, or -1 when the dialog cannot be created (also for a record that
// is not loaded or already on screen).
int dialog_run_modal(Dialog& dialog);

// Closes the displayed dialog: its screen values are copied into the model,
// the modal run ends and the window handle is cleared. Does nothing when the
// dialog is not displayed.
void dialog_exit(Dialog& dialog);

// Frees the control list; the record may be loaded again. Does nothing while
// the dialog is displayed.
void dialog_release(Dialog& dialog);

// The dialog whose modal run is innermost, or null.
Dialog* dialog_current();

}  // namespace zuna
