// The dialog on screen: its widgets made from the template, wired to the
// controller, in tab order; its modal run, keys and close box.
#include "host/qt/dialog-view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

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
  for (const DialogTemplateItem& item : dialog.items) {
    QWidget* widget = widgets.build(item);
    if (widget == nullptr) {
      continue;
    }
    controls_.push_back(Control{item.id, widget, item.style});
    connect_notifications(item, widget);
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

int DialogView::run() {
  controller_.dialog_opened(*this);
  if (ended_) {
    return result_;
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
  exec();
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

void DialogView::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
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
