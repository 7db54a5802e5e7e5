// The dialog on screen: its widgets made from the template, wired to the
// controller, in tab order; its modal run, keys and close box.
#include "host/qt/dialog-view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>

#include "host/qt/dialog-widgets.h"

namespace zuna {

DialogView::DialogView(const DialogTemplate& dialog, DialogController& controller, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      controller_(controller) {
  setWindowTitle(QString::fromStdU16String(dialog.caption));
  setFont(dialog_font(dialog));
  base_ = dialog_base_units(font());
  setFixedSize(dialog_units_to_pixels(0, 0, dialog.cx, dialog.cy, base_).size());
  setModal(true);

  DialogWidgets widgets(this, base_);
  int group = 0;
  for (const DialogTemplateItem& item : dialog.items) {
    if (item.style & kWsGroup) {
      ++group;
    }
    QWidget* widget = widgets.build(item);
    if (widget == nullptr) {
      continue;
    }
    controls_.push_back(Control{item.id, widget, item.style, group});
    connect_notifications(item, widget);
    if (qobject_cast<QAbstractButton*>(widget) != nullptr) {
      widget->installEventFilter(this);  // the arrow keys of a radio group
    }
  }
  set_focus_order();
  fit_to_controls();
}

// A control that grew past the template's right edge widens the dialog, so
// that its text is never cut off by the frame.
void DialogView::fit_to_controls() {
  const int margin = base_.width();  // four dialog units
  int right = width();
  for (const Control& c : controls_) {
    if (c.style & kWsVisible) {
      right = std::max(right, c.widget->geometry().right() + 1 + margin);
    }
  }
  if (right > width()) {
    setFixedSize(right, height());
  }
}

void DialogView::connect_notifications(const DialogTemplateItem& item, QWidget* widget) {
  const int id = item.id;
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    connect(button, &QAbstractButton::clicked, this, [this, id] { command(id, kBnClicked); });
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    connect(edit, &QLineEdit::textChanged, this, [this, id] {
      command(id, kEnUpdate);
      command(id, kEnChange);
    });
  } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
    if (item.style & kLbsNotify) {
      connect(list, &QListWidget::itemSelectionChanged, this,
              [this, id] { command(id, kLbnSelChange); });
      connect(list, &QListWidget::itemDoubleClicked, this, [this, id] { command(id, kLbnDblClk); });
    }
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    connect(combo, &QComboBox::activated, this, [this, id] { command(id, kLbnSelChange); });
    if (QLineEdit* line = combo->lineEdit()) {
      connect(line, &QLineEdit::textEdited, this, [this, id] {
        command(id, kCbnEditUpdate);
        command(id, kCbnEditChange);
      });
    }
  } else if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
    connect(bar, &QAbstractSlider::actionTriggered, this, [this, id, bar](int action) {
      int request = -1;
      switch (action) {
        case QAbstractSlider::SliderSingleStepSub: request = kSbLineUp; break;
        case QAbstractSlider::SliderSingleStepAdd: request = kSbLineDown; break;
        case QAbstractSlider::SliderPageStepSub: request = kSbPageUp; break;
        case QAbstractSlider::SliderPageStepAdd: request = kSbPageDown; break;
        case QAbstractSlider::SliderToMinimum: request = kSbTop; break;
        case QAbstractSlider::SliderToMaximum: request = kSbBottom; break;
        case QAbstractSlider::SliderMove: request = kSbThumbTrack; break;
        default: return;
      }
      controller_.dialog_scroll(id, request, bar->sliderPosition());
    });
    connect(bar, &QAbstractSlider::sliderReleased, this, [this, id, bar] {
      controller_.dialog_scroll(id, kSbThumbPosition, bar->sliderPosition());
    });
  }
}

void DialogView::set_focus_order() {
  QWidget* previous = nullptr;
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const Control& c = controls_[i];
    if (auto* label = qobject_cast<QLabel*>(c.widget)) {
      label->setFocusPolicy(Qt::NoFocus);
      // A mnemonic of a static text moves the focus to the next control.
      if (label->property("zuna_prefix").toBool()) {
        for (std::size_t j = i + 1; j < controls_.size(); ++j) {
          QWidget* next = controls_[j].widget;
          if (qobject_cast<QLabel*>(next) == nullptr && qobject_cast<QGroupBox*>(next) == nullptr) {
            label->setBuddy(next);
            label->setText(label->property("zuna_text").toString());
            break;
          }
        }
      }
      continue;
    }
    if (qobject_cast<QGroupBox*>(c.widget) != nullptr) {
      continue;
    }
    if (c.style & kWsTabStop) {
      c.widget->setFocusPolicy(Qt::StrongFocus);
      if (previous != nullptr) {
        setTabOrder(previous, c.widget);
      }
      previous = c.widget;
    } else {
      c.widget->setFocusPolicy(Qt::ClickFocus);
    }
  }
}

int DialogView::run(Mode mode) {
  controller_.dialog_opened(*this);
  if (ended_) {
    return result_;
  }
  if (mode == Mode::beside_parent) {
    // Modal to no window: a local loop until the dialog is done, or the
    // application quits.
    setModal(false);
    setWindowModality(Qt::NonModal);
    show();
    raise();
    activateWindow();
  }
  // The first tab stop gets the focus, as when the dialog opens.
  for (const Control& c : controls_) {
    if ((c.style & kWsTabStop) && c.widget->isEnabled() && !c.widget->isHidden()) {
      c.widget->setFocus(Qt::TabFocusReason);
      if (auto* edit = qobject_cast<QLineEdit*>(c.widget)) {
        edit->selectAll();
      }
      break;
    }
  }
  if (mode == Mode::beside_parent) {
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    if (!ended_) {
      loop.exec();
    }
    hide();
  } else {
    exec();
  }
  return ended_ ? result_ : -1;
}

QWidget* DialogView::control(int id) const {
  for (const Control& c : controls_) {
    if (c.id == id) {
      return c.widget;
    }
  }
  return nullptr;
}

void DialogView::command(int id, int notification) { controller_.dialog_command(id, notification); }

void DialogView::end_dialog(int result) {
  result_ = result;
  ended_ = true;
  done(result == 0 ? QDialog::Rejected : QDialog::Accepted);
}

bool DialogView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool plain =
        key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
    const bool forward = key->key() == Qt::Key_Down || key->key() == Qt::Key_Right;
    const bool backward = key->key() == Qt::Key_Up || key->key() == Qt::Key_Left;
    if (plain && (forward || backward) && move_in_group(qobject_cast<QWidget*>(watched), forward)) {
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool DialogView::move_in_group(QWidget* from, bool forward) {
  const auto at = std::find_if(controls_.begin(), controls_.end(),
                               [from](const Control& c) { return c.widget == from; });
  if (at == controls_.end()) {
    return false;
  }
  // The group's radio buttons that can be chosen, in template order.
  std::vector<QRadioButton*> radios;
  int current = -1;
  for (const Control& c : controls_) {
    auto* radio = qobject_cast<QRadioButton*>(c.widget);
    if (c.group != at->group || radio == nullptr || !radio->isEnabled() || radio->isHidden()) {
      continue;
    }
    if (radio == from || (current < 0 && radio->isChecked() && from != nullptr &&
                          qobject_cast<QRadioButton*>(from) == nullptr)) {
      current = static_cast<int>(radios.size());
    }
    radios.push_back(radio);
  }
  if (radios.empty()) {
    return false;
  }
  // From another control of the group (OK), the move starts at the choice.
  const int n = static_cast<int>(radios.size());
  const int next = current < 0 ? (forward ? 0 : n - 1) : (current + (forward ? 1 : n - 1)) % n;
  QRadioButton* target = radios[static_cast<std::size_t>(next)];
  target->setFocus(Qt::TabFocusReason);
  if (!target->isChecked()) {
    target->click();  // chooses it and tells the controller
  }
  return true;
}

void DialogView::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_F1 && help_ && event->modifiers() == Qt::NoModifier) {
    help_();
    return;
  }
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // The default push button, or the OK command when there is none.
      for (const Control& c : controls_) {
        auto* button = qobject_cast<QPushButton*>(c.widget);
        if (button != nullptr && button->isDefault() && button->isEnabled() &&
            button->isVisible()) {
          button->click();
          return;
        }
      }
      QWidget* ok = control(1);
      if (ok == nullptr || ok->isEnabled()) {
        command(1, kBnClicked);
      } else {
        QApplication::beep();
      }
      return;
    }
    if (key == Qt::Key_Escape) {
      reject();
      return;
    }
  }
  QDialog::keyPressEvent(event);
}

void DialogView::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (!ended_) {
    reject();
  }
}

void DialogView::reject() { command(2, kBnClicked); }

}  // namespace zuna
