// A modal dialog on screen, built from a binary dialog template: caption,
// font, and every item of a predefined class as the Qt control that behaves
// like it, at its position and size converted from dialog units. The dialog
// manager sees it through DialogWindow (its pushes and pulls by identifier)
// and hears of it through DialogController (opened, commands, scrolls).
//
// Runs on the GUI thread, owned by the frame; the computation waits for it.
#pragma once

#include <QDialog>
#include <QSize>
#include <vector>

#include "dialogs/dialog-host.h"
#include "dialogs/dialog-template.h"
#include "fio/host.h"

class QButtonGroup;

namespace zuna {

// The dialog's base units: the font's average character width and its
// height [px]. A dialog unit is a quarter of the first horizontally and an
// eighth of the second vertically.
QSize dialog_base_units(const QFont& font);
QRect dialog_units_to_pixels(int x, int y, int cx, int cy, QSize base);
// The dialog's font: the template's face and point size, or the system's.
QFont dialog_font(const DialogTemplate& dialog);

class DialogView : public QDialog, public DialogWindow {
  Q_OBJECT

 public:
  DialogView(const DialogTemplate& dialog, DialogController& controller, QWidget* parent);

  // Tells the controller that the dialog is open, then runs it modally until
  // end_dialog. Answers the value passed to end_dialog, or -1 when the run
  // was broken off (the program is closing).
  int run();

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
  void closeEvent(QCloseEvent* event) override;

 public slots:
  void reject() override;  // Escape and the close box: the cancel command only

 private:
  static bool grows_to_its_text(const QWidget* widget);
  void fit_to_controls();
  struct Control {
    int id;
    QWidget* widget;
    std::uint32_t style;
  };

  // One widget per item of the template, by its kind; null for a class the
  // dialogs do not draw.
  QWidget* make_control(const DialogTemplateItem& item);
  QWidget* make_check_box(const DialogTemplateItem& item, ItemKind kind, const QString& text);
  QWidget* make_radio_button(const DialogTemplateItem& item, const QString& text);
  QWidget* make_edit(const DialogTemplateItem& item, const QString& text);
  QWidget* make_label(const DialogTemplateItem& item, const QString& text);
  QWidget* make_list(const DialogTemplateItem& item);
  QWidget* make_scroll_bar(const DialogTemplateItem& item);
  void connect_notifications(const DialogTemplateItem& item, QWidget* widget);
  void place(const DialogTemplateItem& item, QWidget* widget);
  void set_focus_order();
  void command(int id, int notification);

  DialogController& controller_;
  QSize base_;
  std::vector<Control> controls_;
  QButtonGroup* radio_group_ = nullptr;  // of the current WS_GROUP run
  int result_ = -1;
  bool ended_ = false;
};

}  // namespace zuna
