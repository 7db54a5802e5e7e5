// A modal dialog on screen, built from a binary dialog template: caption,
// font, and the controls that DialogWidgets makes of the items
// (dialog-widgets.h). The dialog manager sees it through DialogWindow (its
// pushes and pulls by identifier, dialog-view-values.cpp) and hears of it
// through DialogController (opened, commands, scrolls).
//
// Runs on the GUI thread, owned by the frame; the computation waits for it.
#pragma once

#include <QDialog>
#include <QSize>
#include <functional>
#include <vector>

#include "dialogs/dialog-host.h"
#include "dialogs/dialog-template.h"
#include "fio/host.h"
#include "host/qt/dialog-widgets.h"

namespace zuna {

class DialogView : public QDialog, public DialogWindow {
  Q_OBJECT

 public:
  DialogView(const DialogTemplate& dialog, DialogController& controller, QWidget* parent);

  // How run() shows the dialog: modal (every other window of the program
  // waits), or beside its parent, which it stays above while the parent's
  // windows stay usable.
  enum class Mode { modal, beside_parent };

  // Tells the controller that the dialog is open, then runs it until
  // end_dialog. Answers the value passed to end_dialog, or -1 when the run
  // was broken off (the program is closing).
  int run(Mode mode = Mode::modal);

  // What F1 does in the dialog; nothing when none is set.
  void set_help(std::function<void()> help) { help_ = std::move(help); }

  // The first control with this identifier, or null.
  QWidget* control(int id) const;
  QSize base_units() const { return base_; }

  // DialogWindow
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

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 public slots:
  void reject() override;  // Escape and the close box: the cancel command only

 private:
  void fit_to_controls();
  struct Control {
    int id;
    QWidget* widget;
    std::uint32_t style;
    int group;  // the WS_GROUP run it belongs to
  };

  void connect_notifications(const DialogTemplateItem& item, QWidget* widget);
  void set_focus_order();
  void command(int id, int notification);
  // An arrow key on a control of a group of radio buttons: the focus and the
  // choice move to the next (forward) or previous button of the group.
  bool move_in_group(QWidget* from, bool forward);

  DialogController& controller_;
  QSize base_;
  std::vector<Control> controls_;
  int result_ = -1;
  bool ended_ = false;
  std::function<void()> help_;
};

}  // namespace zuna
