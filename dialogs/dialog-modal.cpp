// The modal run of a dialog: the controller the host drives while the dialog
// is on screen (opening, commands, scrolling) and dialog_exit.
#include <algorithm>
#include <cstdint>

#include "dialogs/dialog-screen.h"
#include "dialogs/dialog-template.h"
#include "dialogs/dialogs.h"
#include "fio/fio.h"

namespace zuna {

namespace {

// The dialog whose modal run is innermost. Saved and restored around each
// run, so that a dialog opened from a callback of another nests.
Dialog* current_dialog = nullptr;
// The host that shows dialogs; set once at the program's start.
DialogHost* installed_host = nullptr;

DialogControl* first_control(Dialog& dialog, int id) {
  for (DialogControl& c : dialog.controls) {
    if (c.id == id) {
      return &c;
    }
  }
  return nullptr;
}

// Starts one callback slot of a control, then brings the screen up to date
// unless the callback closed the dialog.
void run_callback(Dialog& dialog, const DialogControl& c, std::size_t slot, int type) {
  DialogCallback callback = c.callbacks[slot];
  int id = c.id;
  callback(dialog, id, type);
  push_dialog(dialog);
}

class ModalController final : public DialogController {
 public:
  explicit ModalController(Dialog& dialog) : dialog_(dialog) {}

  // The dialog is on screen. Its window is new, so every control is pushed.
  void dialog_opened(DialogWindow& window) override {
    dialog_.window = &window;
    for (DialogControl& c : dialog_.controls) {
      c.screen_stale = true;
    }
    dialog_.model_changed = true;
    push_dialog(dialog_);
    dialog_.dialog_callback(dialog_, dialog_.template_id, sel_init);
    // What the opening callback set is shown at once.
    push_dialog(dialog_);
  }

  bool dialog_command(int id, int notification) override {
    DialogControl* c = first_control(dialog_, id);
    if (c == nullptr || id == 0 || dialog_.pushing || dialog_.window == nullptr) {
      return false;
    }
    std::size_t slot = 0;
    int type = 0;
    if (!select_callback(*c, notification, slot, type)) {
      return false;
    }
    if (c->kind == ControlKind::combo_box && notification == kLbnSelChange) {
      // While a combo box's selection-change callback runs, a pull takes its
      // current text from the chosen entry rather than the edit field.
      struct ComboTextOff {
        Dialog& d;
        ~ComboTextOff() { d.combo_text = true; }
      } restore{dialog_};
      dialog_.combo_text = false;
      run_callback(dialog_, *c, slot, type);
    } else {
      run_callback(dialog_, *c, slot, type);
    }
    return true;
  }

  void dialog_scroll(int id, int request, int thumb) override {
    DialogControl* c = first_control(dialog_, id);
    if (c == nullptr || c->kind != ControlKind::scroll_bar || dialog_.pushing ||
        dialog_.window == nullptr) {
      return;
    }
    std::int64_t pos = c->ints[0];
    std::int64_t range = c->ints[1];
    switch (request) {
      case kSbLineUp: pos -= c->ints[2]; break;
      case kSbLineDown: pos += c->ints[2]; break;
      case kSbPageUp: pos -= c->ints[3]; break;
      case kSbPageDown: pos += c->ints[3]; break;
      case kSbThumbPosition:
      case kSbThumbTrack: pos = thumb; break;
      case kSbTop: pos = 1; break;
      case kSbBottom: pos = range; break;
      default: break;
    }
    pos = std::max<std::int64_t>(pos, 1);
    pos = std::min<std::int64_t>(pos, range);
    c->ints[0] = static_cast<std::int32_t>(pos);
    dialog_.window->set_scroll_pos(c->id, c->ints[0]);
    run_callback(dialog_, *c, 0, sel_change);
  }

 private:
  // The callback slot and type code a notification of this control starts.
  static bool select_callback(const DialogControl& c, int notification, std::size_t& slot,
                              int& type) {
    switch (c.kind) {
      case ControlKind::push_button:
      case ControlKind::check_box:
      case ControlKind::radio_button:
        if (notification == kBnClicked) {
          slot = 0;
          type = sel_clicked;
          return true;
        }
        return false;
      case ControlKind::edit_box:
        if (notification == kEnChange || notification == kEnUpdate) {
          slot = notification == kEnChange ? 0 : 1;
          type = notification == kEnChange ? sel_change : sel_update;
          return true;
        }
        return false;
      case ControlKind::list_box:
      case ControlKind::drop_down_list:
      case ControlKind::combo_box:
        if (notification == kLbnSelChange || notification == kLbnDblClk) {
          slot = notification == kLbnSelChange ? 0 : 1;
          type = notification == kLbnSelChange ? sel_selchange : sel_dblclick;
          return true;
        }
        if (c.kind == ControlKind::combo_box &&
            (notification == kCbnEditChange || notification == kCbnEditUpdate)) {
          slot = notification == kCbnEditChange ? 2 : 3;
          type = notification == kCbnEditChange ? sel_change : sel_update;
          return true;
        }
        return false;
      default: return false;
    }
  }

  Dialog& dialog_;
};

// Makes a dialog current for its run and restores the one before, also when
// the run ends the program.
class CurrentDialog {
 public:
  explicit CurrentDialog(Dialog& dialog) : dialog_(dialog), saved_(current_dialog) {
    current_dialog = &dialog;
  }
  ~CurrentDialog() {
    dialog_.window = nullptr;
    dialog_.pushing = false;
    dialog_.combo_text = true;
    current_dialog = saved_;
  }
  CurrentDialog(const CurrentDialog&) = delete;
  CurrentDialog& operator=(const CurrentDialog&) = delete;

 private:
  Dialog& dialog_;
  Dialog* saved_;
};

}  // namespace

int dialog_run_modal(Dialog& dialog) {
  if (!dialog.loaded || dialog.window != nullptr) {
    return -1;
  }
  std::span<const std::uint8_t> bytes = find_dialog_template(dialog.template_id);
  if (bytes.empty()) {
    return -1;
  }
  CurrentDialog current(dialog);
  ModalController controller(dialog);
  DialogHost* host = dialog_host();
  if (host == nullptr) {
    return -1;
  }
  int answer = host->run_dialog_modal(bytes, controller);
  return answer == -1 ? -1 : dialog.return_value;
}

void dialog_exit(Dialog& dialog) {
  if (dialog.window == nullptr) {
    return;
  }
  // A control set during the current callback is not pulled: its model value
  // is newer than the screen's and would otherwise be lost.
  for (DialogControl& c : dialog.controls) {
    if (!c.screen_stale) {
      pull_control(dialog, *dialog.window, c);
    }
  }
  DialogWindow* window = dialog.window;
  dialog.window = nullptr;
  window->end_dialog(0);
}

Dialog* dialog_current() { return current_dialog; }

void dialogs_start(DialogHost& host) { installed_host = &host; }

DialogHost* dialog_host() { return installed_host; }

}  // namespace zuna
