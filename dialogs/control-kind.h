// The kinds of a dialog's controls: one list for the dialog manager's model
// of a dialog and for the controls both hosts draw. A template item's class
// and type bits say which kind it is (classify_item); what the kind alone
// leaves open about a button travels beside it in ItemClass.
#pragma once

#include <cstdint>
#include <optional>

namespace zuna {

struct DialogTemplateItem;

enum class ControlKind : int {
  static_text = 1,
  group_box = 2,
  push_button = 3,
  check_box = 4,
  radio_button = 5,
  edit_box = 6,
  scroll_bar = 7,
  list_box = 8,
  combo_box = 9,        // CBS_SIMPLE or CBS_DROPDOWN: the text can be typed
  drop_down_list = 10,  // CBS_DROPDOWNLIST: only the list's entries
};

// What a template item is. Whether a kind is accepted, and what the
// remaining style flags change, is up to the reader of the item: the dialog
// manager refuses some, the hosts draw all they know.
struct ItemClass {
  // Empty for a class given by name or by another code: not a control.
  std::optional<ControlKind> kind;
  // Buttons: the type bits of the style (BS_PUSHBUTTON, BS_AUTOCHECKBOX, ...).
  std::uint32_t button_type = 0;
  bool default_button = false;  // BS_DEFPUSHBUTTON
  bool automatic = false;       // BS_AUTOCHECKBOX, BS_AUTO3STATE, BS_AUTORADIOBUTTON
  bool three_state = false;     // BS_3STATE, BS_AUTO3STATE
  // A button type without a look of its own (BS_USERBUTTON, BS_OWNERDRAW, an
  // undefined type): its kind is push_button, as which it is drawn where it
  // is drawn at all.
  bool foreign_button = false;
};

ItemClass classify_item(const DialogTemplateItem& item);

// List box, combo box and drop-down list: the kinds with a list of entries.
constexpr bool has_entries(ControlKind kind) {
  return kind == ControlKind::list_box || kind == ControlKind::combo_box ||
         kind == ControlKind::drop_down_list;
}

// Combo box and drop-down list: a list with a current entry shown in a field.
constexpr bool is_combo(ControlKind kind) {
  return kind == ControlKind::combo_box || kind == ControlKind::drop_down_list;
}

}  // namespace zuna
