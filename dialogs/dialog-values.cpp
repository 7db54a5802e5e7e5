// The set, get and callback operations of the dialog manager: which value of
// which kind of control each selector reaches.
#include <algorithm>

#include "dialogs/dialog-screen.h"
#include "dialogs/dialogs.h"

namespace zuna {

namespace {

// The control an operation addresses: the first with the identifier, unless
// its identifier is shared.
DialogControl* find_control(Dialog& dialog, int id) {
  for (DialogControl& c : dialog.controls) {
    if (c.id == id) {
      return c.shared_id ? nullptr : &c;
    }
  }
  return nullptr;
}

bool is_list(ControlKind kind) {
  return kind == ControlKind::list_box || kind == ControlKind::combo_box ||
         kind == ControlKind::drop_down_list;
}

bool has_title(ControlKind kind) {
  return kind == ControlKind::static_text || kind == ControlKind::group_box ||
         kind == ControlKind::push_button || kind == ControlKind::check_box ||
         kind == ControlKind::radio_button;
}

// The text value a selector reaches, or null.
DialogText* text_slot(DialogControl& c, int sel, bool for_set) {
  if (has_title(c.kind)) {
    return sel == sel_title || sel == sel_default ? &c.texts[0] : nullptr;
  }
  if (c.kind == ControlKind::edit_box) {
    return sel == sel_state || sel == sel_default ? &c.texts[0] : nullptr;
  }
  if (!is_list(c.kind)) {
    return nullptr;
  }
  if (sel >= 1) {
    return sel <= item_count(c) ? &c.texts[static_cast<std::size_t>(sel)] : nullptr;
  }
  // The current text of a list box or drop-down list follows its selection;
  // only a combo box's edit text may be set directly.
  bool current = sel == sel_state || sel == sel_default;
  if (current && (!for_set || c.kind == ControlKind::combo_box)) {
    return &c.texts[0];
  }
  return nullptr;
}

// The index in the logical values a selector reaches, or -1.
int flag_index(const DialogControl& c, int sel) {
  if (sel == sel_enable) {
    return 0;
  }
  bool checkable = c.kind == ControlKind::check_box || c.kind == ControlKind::radio_button;
  if (sel == sel_default) {
    return checkable ? 1 : 0;
  }
  return checkable && sel == sel_state ? 1 : -1;
}

// The index in the integer values a selector reaches for a plain value (not
// the list resize or the list box selection), or -1.
int int_index(const DialogControl& c, int sel) {
  switch (c.kind) {
    case ControlKind::scroll_bar:
      switch (sel) {
        case sel_default:
        case sel_position: return 0;
        case sel_range: return 1;
        case sel_smallstep: return 2;
        case sel_bigstep: return 3;
        default: return -1;
      }
    case ControlKind::drop_down_list: return sel == sel_state ? 1 : -1;
    default: return -1;
  }
}

// Setting the item count of a list keeps the first n entries (blank ones are
// added) and blanks its current text; a list box's selection empties and a
// drop-down list's current selection is cleared with it.
void resize_list(DialogControl& c, int n) {
  c.texts.resize(static_cast<std::size_t>(n) + 1, padded_text(""));
  c.texts[0] = padded_text("");
  if (c.kind == ControlKind::list_box) {
    c.ints.assign(static_cast<std::size_t>(n) + 2, 0);
  } else if (c.kind == ControlKind::drop_down_list) {
    c.ints = {n, 0};
  } else {
    c.ints = {n};
  }
  c.ints[0] = n;
}

void changed(Dialog& dialog, DialogControl& c) {
  c.screen_stale = true;
  dialog.model_changed = true;
}

// While the dialog is displayed a get reads the screen first, unless a set is
// waiting to be shown.
void refresh(Dialog& dialog, DialogControl& c) {
  if (dialog.window != nullptr && !c.screen_stale) {
    pull_control(dialog, *dialog.window, c);
  }
}

// The radio group rule: every button of the group is unchecked, then this
// one (value true) or the group's first (value false) is checked.
void set_radio(Dialog& dialog, DialogControl& c, bool value) {
  int count = static_cast<int>(dialog.controls.size());
  int first = std::max(c.ints[0], 1);
  int last = std::min(c.ints[1], count);
  for (int p = first; p <= last; ++p) {
    DialogControl& member = dialog.controls[static_cast<std::size_t>(p - 1)];
    if (member.kind == ControlKind::radio_button) {
      member.flags[1] = false;
      changed(dialog, member);
    }
  }
  DialogControl* chosen = &c;
  if (!value && first <= last &&
      dialog.controls[static_cast<std::size_t>(first - 1)].kind == ControlKind::radio_button) {
    chosen = &dialog.controls[static_cast<std::size_t>(first - 1)];
  }
  chosen->flags[1] = true;
  changed(dialog, *chosen);
}

// The callback slot a selector reaches, or -1.
int callback_slot(ControlKind kind, int sel) {
  switch (kind) {
    case ControlKind::push_button:
    case ControlKind::check_box:
    case ControlKind::radio_button: return sel == sel_default || sel == sel_clicked ? 0 : -1;
    case ControlKind::edit_box:
      return sel == sel_default || sel == sel_change ? 0 : sel == sel_update ? 1 : -1;
    case ControlKind::scroll_bar: return sel == sel_default || sel == sel_change ? 0 : -1;
    case ControlKind::list_box:
    case ControlKind::drop_down_list:
      return sel == sel_default || sel == sel_selchange ? 0 : sel == sel_dblclick ? 1 : -1;
    case ControlKind::combo_box:
      switch (sel) {
        case sel_default:
        case sel_selchange: return 0;
        case sel_dblclick: return 1;
        case sel_change: return 2;
        case sel_update: return 3;
        default: return -1;
      }
    default: return -1;
  }
}

}  // namespace

bool dialog_set_text(Dialog& dialog, int id, std::string_view text, int sel) {
  DialogControl* c = find_control(dialog, id);
  DialogText* slot = c != nullptr ? text_slot(*c, sel, true) : nullptr;
  if (slot == nullptr) {
    return false;
  }
  *slot = padded_text(text);
  changed(dialog, *c);
  return true;
}

bool dialog_get_text(Dialog& dialog, int id, char* buffer, int length, int sel) {
  DialogControl* c = find_control(dialog, id);
  const DialogText* slot = c != nullptr ? text_slot(*c, sel, false) : nullptr;
  if (slot == nullptr || (buffer == nullptr && length > 0)) {
    return false;
  }
  refresh(dialog, *c);  // a pull changes the values, never the lists' sizes
  if (length <= 0) {
    return true;
  }
  std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), slot->size());
  std::copy_n(slot->begin(), n, buffer);
  std::fill(buffer + n, buffer + length, ' ');
  return true;
}

bool dialog_set_flag(Dialog& dialog, int id, bool value, int sel) {
  DialogControl* c = find_control(dialog, id);
  int index = c != nullptr ? flag_index(*c, sel) : -1;
  if (index < 0) {
    return false;
  }
  if (index == 1 && c->kind == ControlKind::radio_button) {
    set_radio(dialog, *c, value);
    return true;
  }
  c->flags[static_cast<std::size_t>(index)] = value;
  changed(dialog, *c);
  return true;
}

bool dialog_get_flag(Dialog& dialog, int id, bool& value, int sel) {
  DialogControl* c = find_control(dialog, id);
  int index = c != nullptr ? flag_index(*c, sel) : -1;
  if (index < 0) {
    return false;
  }
  refresh(dialog, *c);
  value = c->flags[static_cast<std::size_t>(index)];
  return true;
}

bool dialog_set_int(Dialog& dialog, int id, std::int32_t value, int sel) {
  DialogControl* c = find_control(dialog, id);
  if (c == nullptr) {
    return false;
  }
  if (is_list(c->kind) && (sel == sel_default || sel == sel_numitems)) {
    if (value < 0 || value > kDialogMaxListItems) {
      return false;
    }
    resize_list(*c, value);
    changed(dialog, *c);
    return true;
  }
  if (c->kind == ControlKind::list_box && sel >= 1) {
    // The n-th selected entry number: an entry of the list, or 0 to end the
    // selection there.
    if (sel > item_count(*c) || value < 0 || value > item_count(*c)) {
      return false;
    }
    c->ints[static_cast<std::size_t>(sel)] = value;
    changed(dialog, *c);
    return true;
  }
  int index = int_index(*c, sel);
  if (index < 0) {
    return false;
  }
  if (c->kind == ControlKind::drop_down_list && (value < 0 || value > item_count(*c))) {
    return false;
  }
  c->ints[static_cast<std::size_t>(index)] = value;
  changed(dialog, *c);
  return true;
}

bool dialog_get_int(Dialog& dialog, int id, std::int32_t& value, int sel) {
  DialogControl* c = find_control(dialog, id);
  if (c == nullptr) {
    return false;
  }
  if (is_list(c->kind) && (sel == sel_default || sel == sel_numitems)) {
    refresh(dialog, *c);
    value = item_count(*c);
    return true;
  }
  if (c->kind == ControlKind::list_box && sel >= 1) {
    refresh(dialog, *c);
    value = sel <= item_count(*c) ? c->ints[static_cast<std::size_t>(sel)] : 0;
    return true;
  }
  int index = int_index(*c, sel);
  if (index < 0) {
    return false;
  }
  refresh(dialog, *c);
  value = c->ints[static_cast<std::size_t>(index)];
  return true;
}

bool dialog_set_callback(Dialog& dialog, int id, DialogCallback callback, int sel) {
  if (callback == nullptr) {
    return false;
  }
  bool any = false;
  for (const DialogControl& c : dialog.controls) {
    any = any || c.id == id;
  }
  if (!any) {
    if (id != dialog.template_id || !dialog.loaded) {
      return false;
    }
    dialog.dialog_callback = callback;
    return true;
  }
  DialogControl* c = find_control(dialog, id);
  if (c == nullptr || dialog.window != nullptr) {
    return false;
  }
  int slot = callback_slot(c->kind, sel);
  if (slot < 0) {
    return false;
  }
  c->callbacks[static_cast<std::size_t>(slot)] = callback;
  return true;
}

}  // namespace zuna
