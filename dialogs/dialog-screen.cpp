#include "dialogs/dialog-screen.h"

#include <algorithm>

namespace zuna {

namespace {

constexpr std::size_t kScreenTextMax = kDialogTextLength - 1;  // the screen holds 255

// Entries 1..count of a list, combo box or drop-down list.
void push_entries(DialogWindow& window, const DialogControl& c) {
  window.list_reset(c.id);
  int count = std::min(item_count(c), static_cast<int>(c.texts.size()) - 1);
  for (int n = 1; n <= count; ++n) {
    window.list_add(c.id, displayed_text(c.texts[static_cast<std::size_t>(n)]));
  }
}

void pull_entries(DialogWindow& window, DialogControl& c) {
  int count = std::min(item_count(c), static_cast<int>(c.texts.size()) - 1);
  for (int n = 1; n <= count; ++n) {
    c.texts[static_cast<std::size_t>(n)] = text_value(window.list_text(c.id, n - 1));
  }
}

// The 1-based entry chosen in a combo box or drop-down list: the screen's
// 0-based selection, taken as 0 when nothing is selected; 0 when there is no
// such entry.
int chosen_entry(DialogWindow& window, const DialogControl& c) {
  int k = window.combo_current(c.id);
  if (k < 0) {
    k = 0;
  }
  return k + 1 <= item_count(c) ? k + 1 : 0;
}

void pull_list_box(DialogWindow& window, DialogControl& c) {
  pull_entries(window, c);
  int count = item_count(c);
  c.ints.assign(static_cast<std::size_t>(count) + 2, 0);
  c.ints[0] = count;
  std::size_t next = 1;
  for (int index = 0; index < count; ++index) {
    if (window.list_selected(c.id, index)) {
      c.ints[next++] = index + 1;
    }
  }
  c.texts[0] = c.ints[1] != 0 ? c.texts[static_cast<std::size_t>(c.ints[1])] : padded_text("");
}

}  // namespace

std::string displayed_text(const DialogText& text) {
  std::size_t n = text.size();
  while (n > 0 && text[n - 1] == ' ') {
    --n;
  }
  return std::string(text.data(), std::min(n, kScreenTextMax));
}

DialogText text_value(std::string_view screen) {
  std::size_t n = std::min(screen.find('\0'), screen.size());
  return padded_text(screen.substr(0, std::min(n, kScreenTextMax)));
}

DialogText padded_text(std::string_view text) {
  DialogText out;
  out.fill(' ');
  std::copy_n(text.begin(), std::min(text.size(), out.size()), out.begin());
  return out;
}

void push_control(DialogWindow& window, const DialogControl& c) {
  if (c.shared_id) {
    return;
  }
  window.set_enabled(c.id, c.flags[0]);
  switch (c.kind) {
    case ControlKind::check_box:
    case ControlKind::radio_button:
      window.set_text(c.id, displayed_text(c.texts[0]));
      window.set_check(c.id, c.flags[1]);
      break;
    case ControlKind::static_text:
    case ControlKind::group_box:
    case ControlKind::push_button:
    case ControlKind::edit_box: window.set_text(c.id, displayed_text(c.texts[0])); break;
    case ControlKind::scroll_bar:
      window.set_scroll_range(c.id, 1, c.ints[1]);
      window.set_scroll_pos(c.id, c.ints[0]);
      break;
    case ControlKind::list_box: {
      push_entries(window, c);
      int count = item_count(c);
      for (std::size_t n = 1; n < c.ints.size() && c.ints[n] != 0; ++n) {
        if (c.ints[n] >= 1 && c.ints[n] <= count) {
          window.list_set_selected(c.id, c.ints[n] - 1, true);
        }
      }
      break;
    }
    case ControlKind::combo_box:
      push_entries(window, c);
      window.set_text(c.id, displayed_text(c.texts[0]));
      break;
    case ControlKind::drop_down_list:
      push_entries(window, c);
      window.combo_set_current(c.id, c.ints[1] - 1);
      break;
  }
}

void push_dialog(Dialog& dialog) {
  if (!dialog.model_changed || dialog.window == nullptr) {
    return;
  }
  dialog.pushing = true;
  dialog.model_changed = false;
  for (DialogControl& c : dialog.controls) {
    if (c.screen_stale) {
      c.screen_stale = false;
      push_control(*dialog.window, c);
    }
  }
  dialog.pushing = false;
}

void pull_control(Dialog& dialog, DialogWindow& window, DialogControl& c) {
  if (c.shared_id) {
    return;
  }
  c.flags[0] = window.is_enabled(c.id);
  switch (c.kind) {
    case ControlKind::check_box:
    case ControlKind::radio_button:
      c.texts[0] = text_value(window.get_text(c.id));
      c.flags[1] = window.get_check(c.id);
      break;
    case ControlKind::static_text:
    case ControlKind::group_box:
    case ControlKind::push_button:
    case ControlKind::edit_box: c.texts[0] = text_value(window.get_text(c.id)); break;
    case ControlKind::scroll_bar:
      c.ints[0] = window.get_scroll_pos(c.id);
      c.ints[1] = window.get_scroll_range_max(c.id);
      break;
    case ControlKind::list_box: pull_list_box(window, c); break;
    case ControlKind::combo_box: {
      pull_entries(window, c);
      if (dialog.combo_text) {
        c.texts[0] = text_value(window.get_text(c.id));
      } else {
        int n = chosen_entry(window, c);
        c.texts[0] = n != 0 ? c.texts[static_cast<std::size_t>(n)] : padded_text("");
      }
      break;
    }
    case ControlKind::drop_down_list: {
      pull_entries(window, c);
      int n = chosen_entry(window, c);
      c.ints[1] = n;
      c.texts[0] = n != 0 ? c.texts[static_cast<std::size_t>(n)] : padded_text("");
      break;
    }
  }
}

}  // namespace zuna
