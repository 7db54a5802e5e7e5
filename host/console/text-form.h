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

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/control-states.h"
#include "dialogs/dialog-host.h"
#include "dialogs/dialog-template.h"

namespace zuna {

class TextForm : public ControlStates {
 public:
  explicit TextForm(const DialogTemplate& dialog);

  // A combo box also shows the chosen entry in its edit field.
  void combo_set_current(int id, int index) override;
  void end_dialog(int result) override;

  // The form's lines, Windows-1252, without line ends.
  std::vector<std::string> render() const;

  enum class InputResult { done, show_form, not_understood };
  // Carries out one typed line (Windows-1252). For a line not understood,
  // `hint` says why.
  InputResult handle_input(std::string_view line, DialogController& controller, std::string& hint);

  bool ended() const { return ended_; }
  int result() const { return result_; }

 private:
  struct Control : ControlState {
    DialogTemplateItem item;
    std::optional<ControlKind> kind;  // empty: not shown (a class not ours, a foreign button)
    bool automatic = false;           // automatic check box or radio button
    bool default_button = false;
  };

  static void classify(Control& c);
  // The first control with this identifier; null when there is none.
  Control* control(int id) override;
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
