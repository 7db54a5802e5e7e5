// DialogView's side of DialogWindow: the controls' values, read and written
// by identifier on the widgets the template made.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>

#include "host/qt/cp1252.h"
#include "host/qt/dialog-view.h"
#include "host/qt/dialog-widgets.h"

namespace zuna {

void DialogView::set_text(int id, std::string_view text) {
  QWidget* widget = control(id);
  QString value = from_cp1252(text);
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setProperty("zuna_text", value);
    label->setText(label_text(value, label->buddy() != nullptr));
    if (label->property("zuna_one_line").toBool() && !label->wordWrap()) {
      label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
      fit_to_controls();
    }
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(value);
    if (grows_to_its_text(button)) {
      button->resize(std::max(button->width(), button->sizeHint().width()), button->height());
      fit_to_controls();
    }
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(value);
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    edit->setText(value);
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    if (combo->isEditable()) {
      combo->setEditText(value);
    }
  }
}

std::string DialogView::get_text(int id) {
  QWidget* widget = control(id);
  QString value;
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    value = label->property("zuna_text").toString();
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    value = button->text();
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    value = group->title();
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    value = edit->text();
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    value = combo->currentText();
  }
  return to_cp1252(value.left(255));
}

void DialogView::set_enabled(int id, bool enabled) {
  if (QWidget* widget = control(id)) {
    widget->setEnabled(enabled);
  }
}

bool DialogView::is_enabled(int id) {
  QWidget* widget = control(id);
  return widget != nullptr && widget->isEnabled();
}

void DialogView::set_check(int id, bool checked) {
  auto* button = qobject_cast<QAbstractButton*>(control(id));
  if (button == nullptr || !button->isCheckable()) {
    return;
  }
  // An exclusive group refuses to uncheck its checked button by itself.
  QButtonGroup* group = button->group();
  bool exclusive = group != nullptr && group->exclusive();
  if (exclusive && !checked) {
    group->setExclusive(false);
  }
  button->setChecked(checked);
  if (exclusive && !checked) {
    group->setExclusive(true);
  }
}

bool DialogView::get_check(int id) {
  auto* button = qobject_cast<QAbstractButton*>(control(id));
  return button != nullptr && button->isChecked();
}

void DialogView::set_scroll_range(int id, int low, int high) {
  if (auto* bar = qobject_cast<QScrollBar*>(control(id))) {
    bar->setRange(low, high);
  }
}

void DialogView::set_scroll_pos(int id, int pos) {
  if (auto* bar = qobject_cast<QScrollBar*>(control(id))) {
    bar->setValue(pos);
  }
}

int DialogView::get_scroll_pos(int id) {
  auto* bar = qobject_cast<QScrollBar*>(control(id));
  return bar != nullptr ? bar->value() : 0;
}

int DialogView::get_scroll_range_max(int id) {
  auto* bar = qobject_cast<QScrollBar*>(control(id));
  return bar != nullptr ? bar->maximum() : 0;
}

void DialogView::list_reset(int id) {
  QWidget* widget = control(id);
  if (auto* list = qobject_cast<QListWidget*>(widget)) {
    list->clear();
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    combo->clear();
  }
}

void DialogView::list_add(int id, std::string_view text) {
  QWidget* widget = control(id);
  if (auto* list = qobject_cast<QListWidget*>(widget)) {
    list->addItem(from_cp1252(text));
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    combo->addItem(from_cp1252(text));
    if (combo->isEditable()) {
      combo->setCurrentIndex(-1);
    }
  }
}

int DialogView::list_count(int id) {
  QWidget* widget = control(id);
  if (auto* list = qobject_cast<QListWidget*>(widget)) {
    return list->count();
  }
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    return combo->count();
  }
  return 0;
}

std::string DialogView::list_text(int id, int index) {
  QWidget* widget = control(id);
  if (auto* list = qobject_cast<QListWidget*>(widget)) {
    QListWidgetItem* entry = list->item(index);
    return entry != nullptr ? to_cp1252(entry->text()) : std::string();
  }
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    return index >= 0 && index < combo->count() ? to_cp1252(combo->itemText(index)) : std::string();
  }
  return {};
}

void DialogView::list_set_selected(int id, int index, bool selected) {
  auto* list = qobject_cast<QListWidget*>(control(id));
  if (list == nullptr) {
    return;
  }
  if (QListWidgetItem* entry = list->item(index)) {
    if (list->selectionMode() == QAbstractItemView::SingleSelection && selected) {
      list->setCurrentItem(entry);
    }
    entry->setSelected(selected);
  }
}

bool DialogView::list_selected(int id, int index) {
  auto* list = qobject_cast<QListWidget*>(control(id));
  if (list == nullptr) {
    return false;
  }
  QListWidgetItem* entry = list->item(index);
  return entry != nullptr && entry->isSelected();
}

void DialogView::combo_set_current(int id, int index) {
  if (auto* combo = qobject_cast<QComboBox*>(control(id))) {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
  }
}

int DialogView::combo_current(int id) {
  auto* combo = qobject_cast<QComboBox*>(control(id));
  return combo != nullptr ? combo->currentIndex() : -1;
}

}  // namespace zuna
