// The dialog layer's host seam: what the dialog manager needs from the
// screen. A host shows a dialog built from its binary template and reports
// the user's actions to the manager's controller; the manager reads and
// writes the on-screen controls through the host's DialogWindow.
//
// Every call of the manager is made on the computation thread; a windowed
// host runs the dialog on its GUI thread while the computation waits.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zuna {

// The on-screen controls of a displayed dialog, addressed by identifier (the
// first control with that identifier). Implemented by the hosts.
class DialogWindow {
 public:
  virtual void set_text(int id, std::string_view text) = 0;  // window text
  virtual std::string get_text(int id) = 0;                  // at most 255 characters
  virtual void set_enabled(int id, bool enabled) = 0;
  virtual bool is_enabled(int id) = 0;
  virtual void set_check(int id, bool checked) = 0;
  virtual bool get_check(int id) = 0;
  virtual void set_scroll_range(int id, int low, int high) = 0;
  virtual void set_scroll_pos(int id, int pos) = 0;
  virtual int get_scroll_pos(int id) = 0;
  virtual int get_scroll_range_max(int id) = 0;
  // List boxes, combo boxes and drop-down lists; entries 0-based.
  virtual void list_reset(int id) = 0;
  virtual void list_add(int id, std::string_view text) = 0;
  virtual int list_count(int id) = 0;
  virtual std::string list_text(int id, int index) = 0;
  virtual void list_set_selected(int id, int index, bool selected) = 0;
  virtual bool list_selected(int id, int index) = 0;
  virtual void combo_set_current(int id, int index) = 0;
  virtual int combo_current(int id) = 0;  // -1 when nothing is selected
  // Ends the modal run (the dialog disappears once the handler returns).
  virtual void end_dialog(int result) = 0;

 protected:
  ~DialogWindow() = default;
};

// Notification codes a host sends with dialog_command.
inline constexpr int kBnClicked = 0;
inline constexpr int kLbnSelChange = 1;
inline constexpr int kLbnDblClk = 2;
inline constexpr int kCbnEditChange = 5;
inline constexpr int kCbnEditUpdate = 6;
inline constexpr int kEnChange = 0x300;
inline constexpr int kEnUpdate = 0x400;
// Scroll requests for dialog_scroll.
enum ScrollRequest : int {
  kSbLineUp = 0,
  kSbLineDown = 1,
  kSbPageUp = 2,
  kSbPageDown = 3,
  kSbThumbPosition = 4,
  kSbThumbTrack = 5,
  kSbTop = 6,
  kSbBottom = 7,
  kSbEndScroll = 8
};

// The dialog manager's side of a displayed dialog. The host calls it on the
// thread that runs the dialog on screen, while the computation waits.
class DialogController {
 public:
  virtual void dialog_opened(DialogWindow& window) = 0;       // the dialog is on screen
  virtual bool dialog_command(int id, int notification) = 0;  // a control's command
  virtual void dialog_scroll(int id, int request, int thumb) = 0;

 protected:
  ~DialogController() = default;
};

// What a host offers the dialog manager.
class DialogHost {
 public:
  // Runs a dialog modally from its binary template. Answers -1 when the dialog
  // cannot be created, otherwise the value passed to end_dialog.
  virtual int run_dialog_modal(std::span<const std::uint8_t> dialog_template,
                               DialogController& controller) = 0;

 protected:
  ~DialogHost() = default;
};

// Installs the host the dialogs are shown by (the program's start, beside
// runtime_start). Until a host is installed no dialog can be created.
void dialogs_start(DialogHost& host);
// The installed host, or null.
DialogHost* dialog_host();

}  // namespace zuna
