// A dialog shown as a text form on the terminal.
//
// The form is laid out by the template's rows: items sorted by y then x, an
// item joining the row above when it stands less than half a text line lower,
// so that an edit box stands with its label. Within a row each item starts at
// its x position scaled to terminal columns (about 4.5 dialog units a column),
// or two blanks after the item before it. Items show as
//   static text   its text
//   edit box      ID=[text]    padded to the box's width
//   check box     ID [x] text  or ID [ ] text
//   radio button  ID (*) text  or ID ( ) text
//   push button   ID <text>
//   list, combo   ID {entry|*chosen entry|...}
//   scroll bar    ID <position/range>
// and a disabled control carries " (disabled)".
//
// Typed lines:
//   ID=TEXT  sets an edit box (list box, combo box: chooses the entry TEXT;
//            scroll bar: the position)
//   ID       toggles a check box, chooses a radio button, presses a button
//   empty    presses the default push button, as Enter does in a dialog
//   ?        shows the form again
// Automatic check boxes and radio buttons change their own state first, as
// the platform's dialogs do (an automatic radio button clears the other
// automatic ones of its WS_GROUP-delimited group); then the controller is told.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dialogs/dialog-template.h"
#include "fio/host.h"

namespace zuna {

class TextForm : public DialogWindow {
 public:
  explicit TextForm(const DialogTemplate& dialog);

  // DialogWindow: the control state, by identifier (the first control with it).
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
  void end_dialog(int result) override;

  // The form's lines, Windows-1252, without line ends.
  std::vector<std::string> render() const;

  enum class InputResult { done, show_form, not_understood };
  // Carries out one typed line (Windows-1252). For a line not understood,
  // `hint` says why.
  InputResult handle_input(std::string_view line, DialogController& controller,
                           std::string& hint);

  bool ended() const { return ended_; }
  int result() const { return result_; }

 private:
  enum class Kind {
    static_text, group_box, push_button, check_box, radio_button, edit, list_box,
    combo_box, scroll_bar, other
  };
  struct Control {
    DialogTemplateItem item;
    Kind kind = Kind::other;
    bool automatic = false;  // automatic check box or radio button
    bool default_button = false;
    std::string text;
    bool enabled = true;
    bool checked = false;
    int scroll_low = 0, scroll_high = 100, scroll_pos = 0;
    std::vector<std::string> entries;
    std::vector<bool> selected;
    int current = -1;
  };

  Control* find(int id);
  std::string cell(const Control& c) const;
  int default_button_id() const;
  void choose_radio(std::size_t index);
  InputResult press(int id, DialogController& controller, std::string& hint);
  InputResult assign(int id, std::string_view text, DialogController& controller,
                     std::string& hint);

  std::vector<Control> controls_;
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace zuna
