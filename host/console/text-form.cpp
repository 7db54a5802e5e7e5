#include "host/console/text-form.h"

#include <algorithm>
#include <charconv>

namespace zuna {
namespace {

// The platform's notification of a combo box's selection change (also the
// list box's).
constexpr int kSelChange = kLbnSelChange;

// Dialog units to terminal columns: an average character of the dialog font
// is 4 units wide; a little more per column keeps the forms within 80
// columns.
int column_of(int dialog_units) { return dialog_units > 0 ? dialog_units * 2 / 9 : 0; }

// Items that stand less than this many dialog units below a row's first item
// join that row (a text line is 8 units high).
constexpr int kRowTolerance = 4;

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
    s.remove_prefix(1);
  }
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
    s.remove_suffix(1);
  }
  return s;
}

std::string without_trailing_blanks(std::string_view s) {
  while (!s.empty() && s.back() == ' ') {
    s.remove_suffix(1);
  }
  return std::string(s);
}

}  // namespace

// What the form makes of an item: its kind, whether it is the default button
// and whether a check box or radio button checks itself. A button type
// without a look of its own is not shown.
void TextForm::classify(Control& c) {
  const ItemClass item = classify_item(c.item);
  if (item.foreign_button) {
    return;
  }
  c.kind = item.kind;
  c.default_button = item.default_button;
  c.automatic = item.automatic;
  if (c.kind && is_combo(*c.kind)) {
    c.text.clear();
  }
}

TextForm::TextForm(const DialogTemplate& dialog) {
  controls_.reserve(dialog.items.size());
  for (const DialogTemplateItem& item : dialog.items) {
    Control c;
    c.item = item;
    c.enabled = (item.style & kWsDisabled) == 0;
    if (!item.title_is_ordinal) {
      c.text = low_bytes(item.title);
    }
    classify(c);
    controls_.push_back(std::move(c));
  }
}

TextForm::Control* TextForm::control(int id) {
  for (Control& c : controls_) {
    if (c.item.id == id) {
      return &c;
    }
  }
  return nullptr;
}

// --- DialogWindow ---------------------------------------------------------------

void TextForm::combo_set_current(int id, int index) {
  ControlStates::combo_set_current(id, index);
  Control* c = control(id);
  if (c != nullptr && index >= 0 && index < static_cast<int>(c->entries.size())) {
    c->text = c->entries[static_cast<std::size_t>(index)];
  }
}

void TextForm::end_dialog(int result) {
  ended_ = true;
  result_ = result;
}

// --- Showing the form -----------------------------------------------------------

std::string TextForm::cell(const Control& c) const {
  const std::string id = std::to_string(c.item.id);
  const std::string text = without_trailing_blanks(c.text);
  std::string s;
  if (!c.kind) {
    return s;
  }
  switch (*c.kind) {
    case ControlKind::static_text: s = text; break;
    case ControlKind::group_box: s = "-- " + text + " --"; break;
    case ControlKind::push_button: s = id + " <" + text + ">"; break;
    case ControlKind::check_box: s = id + (c.checked ? " [x] " : " [ ] ") + text; break;
    case ControlKind::radio_button: s = id + (c.checked ? " (*) " : " ( ) ") + text; break;
    case ControlKind::edit_box: {
      std::string shown = text;
      const auto width = static_cast<std::size_t>(std::max(column_of(c.item.cx), 1));
      if (shown.size() < width) {
        shown.append(width - shown.size(), ' ');
      }
      s = id + "=[" + shown + "]";
      break;
    }
    case ControlKind::list_box:
    case ControlKind::combo_box:
    case ControlKind::drop_down_list: {
      s = id + " {";
      for (std::size_t k = 0; k < c.entries.size(); ++k) {
        const bool chosen =
            (k < c.selected.size() && c.selected[k]) || static_cast<int>(k) == c.current;
        if (k > 0) {
          s += '|';
        }
        if (chosen) {
          s += '*';
        }
        s += c.entries[k];
      }
      s += "}";
      if (is_combo(*c.kind)) {
        s += " [" + text + "]";
      }
      break;
    }
    case ControlKind::scroll_bar:
      s = id + " <" + std::to_string(c.scroll_pos) + "/" + std::to_string(c.scroll_high) + ">";
      break;
  }
  if (!c.enabled && c.kind != ControlKind::static_text) {
    s += " (disabled)";
  }
  return s;
}

std::vector<std::string> TextForm::render() const {
  std::vector<const Control*> shown;
  for (const Control& c : controls_) {
    if (!c.kind || (c.kind == ControlKind::static_text && trim(c.text).empty())) {
      continue;
    }
    shown.push_back(&c);
  }
  std::stable_sort(shown.begin(), shown.end(), [](const Control* a, const Control* b) {
    return a->item.y != b->item.y ? a->item.y < b->item.y : a->item.x < b->item.x;
  });

  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < shown.size()) {
    const int row_y = shown[i]->item.y;
    std::size_t end = i;
    while (end < shown.size() && shown[end]->item.y - row_y < kRowTolerance) {
      ++end;
    }
    std::stable_sort(shown.begin() + static_cast<std::ptrdiff_t>(i),
                     shown.begin() + static_cast<std::ptrdiff_t>(end),
                     [](const Control* a, const Control* b) { return a->item.x < b->item.x; });
    std::string line;
    for (std::size_t k = i; k < end; ++k) {
      std::size_t at = static_cast<std::size_t>(column_of(shown[k]->item.x));
      if (!line.empty()) {
        at = std::max(at, line.size() + 2);
      }
      line.resize(std::max(at, line.size()), ' ');
      line += cell(*shown[k]);
    }
    lines.push_back(without_trailing_blanks(line));
    i = end;
  }
  return lines;
}

// --- Typed lines ----------------------------------------------------------------

int TextForm::default_button_id() const {
  for (const Control& c : controls_) {
    if (c.kind == ControlKind::push_button && c.default_button) {
      return c.item.id;
    }
  }
  return 1;
}

// An automatic radio button clears the other automatic radio buttons of its
// group: the items from the last WS_GROUP item at or before it up to the next
// WS_GROUP item.
void TextForm::choose_radio(std::size_t index) {
  std::size_t first = index;
  while (first > 0 && (controls_[first].item.style & kWsGroup) == 0) {
    --first;
  }
  std::size_t last = index + 1;
  while (last < controls_.size() && (controls_[last].item.style & kWsGroup) == 0) {
    ++last;
  }
  for (std::size_t k = first; k < last; ++k) {
    Control& c = controls_[k];
    if (c.kind == ControlKind::radio_button && c.automatic) {
      c.checked = k == index;
    }
  }
}

TextForm::InputResult TextForm::press(int id, DialogController& controller, std::string& hint) {
  Control* c = control(id);
  if (c == nullptr) {
    hint = "there is no control " + std::to_string(id) + " in this dialog";
    return InputResult::not_understood;
  }
  if (!c->enabled) {
    hint = "control " + std::to_string(id) + " is disabled";
    return InputResult::not_understood;
  }
  switch (c->kind.value_or(ControlKind::static_text)) {
    case ControlKind::check_box:
      if (c->automatic) {
        c->checked = !c->checked;
      }
      break;
    case ControlKind::radio_button:
      if (c->automatic) {
        choose_radio(static_cast<std::size_t>(c - controls_.data()));
      }
      break;
    case ControlKind::push_button: break;
    case ControlKind::edit_box:
    case ControlKind::list_box:
    case ControlKind::combo_box:
    case ControlKind::drop_down_list:
    case ControlKind::scroll_bar:
      hint = "type " + std::to_string(id) + "=value to change control " + std::to_string(id);
      return InputResult::not_understood;
    default:
      hint = "control " + std::to_string(id) + " is a label";
      return InputResult::not_understood;
  }
  controller.dialog_command(id, kBnClicked);
  return InputResult::done;
}

TextForm::InputResult TextForm::assign(int id, std::string_view text, DialogController& controller,
                                       std::string& hint) {
  Control* c = control(id);
  if (c == nullptr) {
    hint = "there is no control " + std::to_string(id) + " in this dialog";
    return InputResult::not_understood;
  }
  if (!c->enabled) {
    hint = "control " + std::to_string(id) + " is disabled";
    return InputResult::not_understood;
  }
  const auto entry = std::find(c->entries.begin(), c->entries.end(), trim(text));
  const int index = static_cast<int>(entry - c->entries.begin());
  switch (c->kind.value_or(ControlKind::static_text)) {
    case ControlKind::edit_box:
      c->text = std::string(text);
      controller.dialog_command(id, kEnChange);
      return InputResult::done;
    case ControlKind::combo_box:
    case ControlKind::drop_down_list:
      if (entry != c->entries.end()) {
        combo_set_current(id, index);
        controller.dialog_command(id, kSelChange);
      } else {
        c->text = std::string(text);
        controller.dialog_command(id, kCbnEditChange);
      }
      return InputResult::done;
    case ControlKind::list_box:
      if (entry == c->entries.end()) {
        hint = "list " + std::to_string(id) + " has no entry \"" + std::string(trim(text)) + "\"";
        return InputResult::not_understood;
      }
      std::fill(c->selected.begin(), c->selected.end(), false);
      c->selected[static_cast<std::size_t>(index)] = true;
      c->current = index;
      controller.dialog_command(id, kSelChange);
      return InputResult::done;
    case ControlKind::scroll_bar: {
      const std::string_view number = trim(text);
      int pos = 0;
      const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), pos);
      if (error != std::errc() || end != number.data() + number.size()) {
        hint = "scroll bar " + std::to_string(id) + " takes a whole number";
        return InputResult::not_understood;
      }
      controller.dialog_scroll(id, kSbThumbPosition, pos);
      return InputResult::done;
    }
    default:
      hint =
          "control " + std::to_string(id) + " takes no text; type " + std::to_string(id) + " alone";
      return InputResult::not_understood;
  }
}

TextForm::InputResult TextForm::handle_input(std::string_view line, DialogController& controller,
                                             std::string& hint) {
  const std::string_view trimmed = trim(line);
  if (trimmed.empty()) {
    return press(default_button_id(), controller, hint);
  }
  if (trimmed == "?") {
    return InputResult::show_form;
  }
  // ID, or ID=TEXT with the text as typed after the sign.
  std::size_t digits = 0;
  while (digits < trimmed.size() && digits < 9 && trimmed[digits] >= '0' &&
         trimmed[digits] <= '9') {
    ++digits;
  }
  if (digits > 0) {
    int id = 0;
    std::from_chars(trimmed.data(), trimmed.data() + digits, id);
    const std::string_view rest = trim(trimmed.substr(digits));
    if (rest.empty()) {
      return press(id, controller, hint);
    }
    if (rest.front() == '=') {
      const std::size_t sign = line.find('=');
      return assign(id, line.substr(sign + 1), controller, hint);
    }
  }
  hint =
      "type ID=text for a field, ID for a box or button, an empty line for the default "
      "button, ? to see the form";
  return InputResult::not_understood;
}

}  // namespace zuna
