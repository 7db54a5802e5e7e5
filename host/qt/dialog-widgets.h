// The Qt widgets of a dialog built from a binary dialog template: the dialog
// units and the font, and for every item of a predefined class the Qt
// control that behaves like it, at its position and size converted from
// dialog units. The widgets carry their template state in properties that
// the dialog's accessors read: a label's "zuna_text" (its text as set, with
// the prefix characters), "zuna_one_line" and "zuna_prefix".
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include "dialogs/dialog-template.h"

class QButtonGroup;
class QWidget;

namespace zuna {

// The dialog's base units: the font's average character width and its
// height [px]. A dialog unit is a quarter of the first horizontally and an
// eighth of the second vertically.
QSize dialog_base_units(const QFont& font);
QRect dialog_units_to_pixels(int x, int y, int cx, int cy, QSize base);
// The dialog's font: the template's face and point size, or the system's.
QFont dialog_font(const DialogTemplate& dialog);

// A static text shows "&x" as x underlined and "&&" as "&"; a QLabel does
// that only when it has a buddy, so a label without one gets the plain text.
QString label_text(const QString& text, bool has_buddy);
// A one-line label, check box or radio button grows to the right with its
// text rather than losing its first or last words.
bool grows_to_its_text(const QWidget* widget);

// Builds one dialog's widgets, item after item in template order, as
// children of the dialog (whose font is set already).
class DialogWidgets {
 public:
  DialogWidgets(QWidget* dialog, QSize base);

  // The item's widget, placed, enabled and shown as the template says; null
  // for a class the dialogs do not draw.
  QWidget* build(const DialogTemplateItem& item);

 private:
  QWidget* make_control(const DialogTemplateItem& item);
  QWidget* make_check_box(const DialogTemplateItem& item, const ItemClass& c, const QString& text);
  QWidget* make_radio_button(const DialogTemplateItem& item, const QString& text);
  QWidget* make_edit(const DialogTemplateItem& item, const QString& text);
  QWidget* make_label(const DialogTemplateItem& item, const QString& text);
  QWidget* make_list(const DialogTemplateItem& item);
  QWidget* make_scroll_bar(const DialogTemplateItem& item);
  void place(const DialogTemplateItem& item, QWidget* widget);

  QWidget* dialog_;
  QSize base_;
  QButtonGroup* radio_group_ = nullptr;  // of the current WS_GROUP run
};

}  // namespace zuna
