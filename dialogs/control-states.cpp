#include "dialogs/control-states.h"

namespace zuna {
namespace {

// An index of a list of this many entries.
bool in_range(std::size_t size, int index) { return index >= 0 && index < static_cast<int>(size); }

}  // namespace

void ControlStates::set_text(int id, std::string_view text) {
  if (ControlState* c = control(id)) {
    c->text = std::string(text);
  }
}

std::string ControlStates::get_text(int id) {
  ControlState* c = control(id);
  return c != nullptr ? c->text.substr(0, 255) : std::string();
}

void ControlStates::set_enabled(int id, bool enabled) {
  if (ControlState* c = control(id)) {
    c->enabled = enabled;
  }
}

bool ControlStates::is_enabled(int id) {
  ControlState* c = control(id);
  return c != nullptr && c->enabled;
}

void ControlStates::set_check(int id, bool checked) {
  if (ControlState* c = control(id)) {
    c->checked = checked;
  }
}

bool ControlStates::get_check(int id) {
  ControlState* c = control(id);
  return c != nullptr && c->checked;
}

void ControlStates::set_scroll_range(int id, int low, int high) {
  if (ControlState* c = control(id)) {
    c->scroll_low = low;
    c->scroll_high = high;
  }
}

void ControlStates::set_scroll_pos(int id, int pos) {
  if (ControlState* c = control(id)) {
    c->scroll_pos = pos;
  }
}

int ControlStates::get_scroll_pos(int id) {
  ControlState* c = control(id);
  return c != nullptr ? c->scroll_pos : 0;
}

int ControlStates::get_scroll_range_max(int id) {
  ControlState* c = control(id);
  return c != nullptr ? c->scroll_high : 0;
}

void ControlStates::list_reset(int id) {
  if (ControlState* c = control(id)) {
    c->entries.clear();
    c->selected.clear();
    c->current = -1;
  }
}

void ControlStates::list_add(int id, std::string_view text) {
  if (ControlState* c = control(id)) {
    c->entries.emplace_back(text);
    c->selected.push_back(false);
  }
}

int ControlStates::list_count(int id) {
  ControlState* c = control(id);
  return c != nullptr ? static_cast<int>(c->entries.size()) : 0;
}

std::string ControlStates::list_text(int id, int index) {
  ControlState* c = control(id);
  if (c == nullptr || !in_range(c->entries.size(), index)) {
    return std::string();
  }
  return c->entries[static_cast<std::size_t>(index)];
}

void ControlStates::list_set_selected(int id, int index, bool selected) {
  ControlState* c = control(id);
  if (c != nullptr && in_range(c->selected.size(), index)) {
    c->selected[static_cast<std::size_t>(index)] = selected;
  }
}

bool ControlStates::list_selected(int id, int index) {
  ControlState* c = control(id);
  return c != nullptr && in_range(c->selected.size(), index) &&
         c->selected[static_cast<std::size_t>(index)];
}

void ControlStates::combo_set_current(int id, int index) {
  if (ControlState* c = control(id)) {
    c->current = index;
  }
}

int ControlStates::combo_current(int id) {
  ControlState* c = control(id);
  return c != nullptr ? c->current : -1;
}

}  // namespace zuna
