// dialog_load and dialog_release: building a dialog's control list from its
// template.
#include <cstdio>
#include <optional>
#include <string>

#include "dialogs/dialog-screen.h"
#include "dialogs/dialog-template.h"
#include "dialogs/dialogs.h"
#include "fio/fio.h"

namespace zuna {

namespace {

// One list-directed record on the default unit (its leading blank is the
// window's carriage control), then the run ends as a stop statement without
// a text does.
[[noreturn]] void refuse_style(const char* name, std::uint16_t id) {
  char number[24];
  std::snprintf(number, sizeof number, "%-20u", static_cast<unsigned>(id));
  std::string record = std::string("Invalid style ") + name + " used for control " + number;
  begin_write(kDefaultUnit, nullptr, 0);
  put_chars(record.data(), static_cast<int>(record.size()));
  end_write();
  stop_program(nullptr, 0);
}

// The style name a refused button type is reported by.
const char* refused_button_name(std::uint32_t button_type) {
  switch (button_type) {
    case kBsOwnerDraw: return "BS_OWNERDRAW";
    case kBsUserButton: return "BS_USERBUTTON";
    default: return "<unknown>";
  }
}

// The kind a button becomes. The manager knows the automatic check box and
// takes the three-state boxes for radio buttons; a plain BS_CHECKBOX and the
// button types without a look of their own are refused, which ends the run.
ControlKind accept_button(const ItemClass& c, std::uint16_t id) {
  if (c.foreign_button) {
    refuse_style(refused_button_name(c.button_type), id);
  }
  if (*c.kind != ControlKind::check_box) {
    return *c.kind;
  }
  if (c.three_state) {
    return ControlKind::radio_button;
  }
  if (!c.automatic) {
    refuse_style(refused_button_name(c.button_type), id);
  }
  return ControlKind::check_box;
}

// The kind an item becomes; nothing for an item that is not entered (a class
// given by name or by another code). A refused style ends the run here.
std::optional<ControlKind> classify(const DialogTemplateItem& item) {
  const std::uint32_t style = item.style;
  const ItemClass c = classify_item(item);
  if (!c.kind) {
    return std::nullopt;
  }
  switch (*c.kind) {
    case ControlKind::edit_box:
      if ((style & kEsMultiline) != 0) {
        refuse_style("ES_MULTILINE", item.id);
      }
      return ControlKind::edit_box;
    case ControlKind::list_box:
      if ((style & kLbsOwnerDrawFixed) != 0) {
        refuse_style("LBS_OWNERDRAWFIXED", item.id);
      }
      if ((style & kLbsOwnerDrawVariable) != 0) {
        refuse_style("LBS_OWNERDRAWVARIABLE", item.id);
      }
      return ControlKind::list_box;
    case ControlKind::combo_box:
    case ControlKind::drop_down_list:
      if ((style & kCbsOwnerDrawFixed) != 0) {
        refuse_style("CBS_OWNERDRAWFIXED", item.id);
      }
      if ((style & kCbsOwnerDrawVariable) != 0) {
        refuse_style("CBS_OWNERDRAWVARIABLE", item.id);
      }
      return *c.kind;
    case ControlKind::push_button:
    case ControlKind::check_box:
    case ControlKind::radio_button:
    case ControlKind::group_box: return accept_button(c, item.id);
    case ControlKind::static_text:
    case ControlKind::scroll_bar: return *c.kind;
  }
  return std::nullopt;
}

// The values a control of this kind starts with (radio buttons get their
// check state and group bounds from the caller).
void start_values(DialogControl& c, const DialogTemplateItem& item) {
  DialogText title = item.title_is_ordinal ? padded_text("") : padded_text(low_bytes(item.title));
  DialogText blank = padded_text("");
  c.flags = {true};
  switch (c.kind) {
    case ControlKind::static_text:
    case ControlKind::group_box: c.texts = {title}; break;
    case ControlKind::push_button:
      c.texts = {title};
      c.callbacks = {dialog_end_callback};
      break;
    case ControlKind::check_box:
      c.flags = {true, true};
      c.texts = {title};
      c.callbacks = {dialog_do_nothing};
      break;
    case ControlKind::radio_button:
      c.flags = {true, false};
      c.ints = {0, 0};
      c.texts = {title};
      c.callbacks = {dialog_do_nothing};
      break;
    case ControlKind::edit_box:
      c.texts = {title};
      c.callbacks = {dialog_do_nothing, dialog_do_nothing};
      break;
    case ControlKind::scroll_bar:
      c.ints = {0, 100, 1, 10};
      c.callbacks = {dialog_do_nothing};
      break;
    case ControlKind::list_box:
      c.ints = {0, 0};
      c.texts = {title};
      c.callbacks = {dialog_do_nothing, dialog_do_nothing};
      break;
    case ControlKind::combo_box:
      c.ints = {0};
      c.texts = {blank};
      c.callbacks = {dialog_do_nothing, dialog_do_nothing, dialog_do_nothing, dialog_do_nothing};
      break;
    case ControlKind::drop_down_list:
      c.ints = {0, 0};
      c.texts = {blank};
      c.callbacks = {dialog_do_nothing, dialog_do_nothing};
      break;
  }
}

bool is_auto_radio_item(const DialogTemplateItem& item) {
  const ItemClass c = classify_item(item);
  return c.kind == ControlKind::radio_button && c.automatic;
}

// The radio group being built while the control list is filled.
struct RadioGroup {
  bool open = false;
  int first = 0;             // 1-based position of the group's first control
  std::int32_t last_id = 0;  // identifier of the member that closes it
};

// Gives every radio button from position `first` to `last` these bounds.
void set_group_bounds(Dialog& dialog, int first, int last) {
  for (int p = first; p <= last; ++p) {
    DialogControl& c = dialog.controls[static_cast<std::size_t>(p - 1)];
    if (c.kind == ControlKind::radio_button) {
      c.ints = {first, last};
    }
  }
}

// A radio button just appended at `position`, from template item `index`.
//
// A group opens at a radio button when none is open. Its last member is found
// by looking ahead, up to the next item with WS_GROUP, for the last automatic
// radio button: only items that will become radio buttons count, so that a
// group always closes at a control that arrives. The first member starts
// checked, the others unchecked; the group closes at its last member.
void enter_radio(Dialog& dialog, RadioGroup& group, const DialogTemplate& t, std::size_t index,
                 int position) {
  DialogControl& c = dialog.controls.back();
  if (!group.open) {
    group.open = true;
    group.first = position;
    group.last_id = c.id;
    for (std::size_t j = index + 1; j < t.items.size(); ++j) {
      if ((t.items[j].style & kWsGroup) != 0) {
        break;
      }
      if (is_auto_radio_item(t.items[j])) {
        group.last_id = t.items[j].id;
      }
    }
    c.flags[1] = true;
  }
  c.ints = {group.first, position};
  if (c.id == group.last_id) {
    set_group_bounds(dialog, group.first, position);
    group.open = false;
  }
}

void build_controls(Dialog& dialog, const DialogTemplate& t) {
  dialog.controls.reserve(t.items.size());
  RadioGroup group;
  int last_radio = 0;  // position of the last radio button entered
  for (std::size_t index = 0; index < t.items.size(); ++index) {
    const DialogTemplateItem& item = t.items[index];
    DialogControl entry;
    entry.id = item.id;
    for (DialogControl& earlier : dialog.controls) {
      if (earlier.id == entry.id) {
        earlier.shared_id = true;
        entry.shared_id = true;
        break;
      }
    }
    std::optional<ControlKind> kind = classify(item);
    if (!kind) {
      continue;
    }
    entry.kind = *kind;
    start_values(entry, item);
    dialog.controls.push_back(std::move(entry));
    int position = static_cast<int>(dialog.controls.size());
    if (*kind == ControlKind::radio_button) {
      enter_radio(dialog, group, t, index, position);
      last_radio = position;
    }
  }
  // A group still open at the end (its last member was a skipped item, or an
  // identifier repeated earlier closed it early): it ends at the last radio
  // button entered.
  if (group.open) {
    set_group_bounds(dialog, group.first, last_radio);
  }
}

}  // namespace

void dialog_do_nothing(Dialog&, int, int) {}

void dialog_end_callback(Dialog& dialog, int id, int) {
  dialog.return_value = id;
  dialog_exit(dialog);
}

bool dialog_load(int template_id, Dialog& dialog) {
  if (dialog.window != nullptr) {
    return false;
  }
  dialog.template_id = template_id;
  dialog.window = nullptr;
  dialog.return_value = 1;
  dialog.model_changed = true;
  dialog.pushing = false;
  dialog.combo_text = true;
  dialog.dialog_callback = dialog_do_nothing;
  dialog.controls.clear();
  dialog.loaded = false;
  std::span<const std::uint8_t> bytes = find_dialog_template(template_id);
  if (bytes.empty()) {
    return false;
  }
  std::optional<DialogTemplate> t = parse_dialog_template(bytes);
  if (!t) {
    return false;
  }
  build_controls(dialog, *t);
  dialog.loaded = true;
  return true;
}

void dialog_release(Dialog& dialog) {
  if (dialog.window != nullptr) {
    return;
  }
  dialog.controls.clear();
  dialog.controls.shrink_to_fit();
  dialog.loaded = false;
}

}  // namespace zuna
