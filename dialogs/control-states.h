// The state of a displayed dialog's controls kept in memory, and the
// DialogWindow operations on it. A subclass says where the record of an
// identifier is kept; the console host's text form and the tests' dialog
// window share the rest.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dialogs/dialog-host.h"

namespace zuna {

struct ControlState {
  std::string text;
  bool enabled = true;
  bool checked = false;
  int scroll_low = 0, scroll_high = 100, scroll_pos = 0;
  std::vector<std::string> entries;  // list and combo boxes
  std::vector<bool> selected;
  int current = -1;  // the chosen entry, -1 for none
};

class ControlStates : public DialogWindow {
 public:
  void set_text(int id, std::string_view text) override;
  std::string get_text(int id) override;
  void set_enabled(int id, bool enabled) override;
  bool is_enabled(int id) override;
  void set_check(int id, bool checked) override;
  bool get_check(int id) override;
  void set_scroll_range(int id, int low, int high) override;
  void set_scroll_pos(int id, int pos) override;
  int get_scroll_pos(int id) override;
  int get_scroll_range_max(int id) override;
  void list_reset(int id) override;
  void list_add(int id, std::string_view text) override;
  int list_count(int id) override;
  std::string list_text(int id, int index) override;
  void list_set_selected(int id, int index, bool selected) override;
  bool list_selected(int id, int index) override;
  void combo_set_current(int id, int index) override;
  int combo_current(int id) override;

 protected:
  ~ControlStates() = default;

  // The record of the control with this identifier. Null when there is none:
  // settings are then ignored and reads answer empty, false, 0 or -1.
  virtual ControlState* control(int id) = 0;
};

}  // namespace zuna
