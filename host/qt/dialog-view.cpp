#include "host/qt/dialog-view.h"

#include <type_traits>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "host/qt/cp1252.h"

namespace zuna {
namespace {

// A check box or radio button whose text stands on the left (BS_LEFTTEXT):
// the text starts at the control's left edge and the box or circle sits at
// its right edge, and the whole control takes the click.
template <typename Button>
class LeftTextButton : public Button {
 public:
  using Button::Button;

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    this->initStyleOption(&option);
    const bool radio = std::is_same_v<Button, QRadioButton>;
    const QStyle::PixelMetric width_metric =
        radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth;
    const QStyle::PixelMetric height_metric =
        radio ? QStyle::PM_ExclusiveIndicatorHeight : QStyle::PM_IndicatorHeight;
    const int w = this->style()->pixelMetric(width_metric, &option, this);
    const int h = this->style()->pixelMetric(height_metric, &option, this);
    QStyleOptionButton indicator = option;
    indicator.rect = QRect(this->width() - w, (this->height() - h) / 2, w, h);
    painter.drawPrimitive(radio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox,
                          indicator);
    const int gap = this->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this);
    const QRect text_area(0, 0, std::max(0, this->width() - w - gap), this->height());
    painter.drawItemText(text_area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                         this->palette(), this->isEnabled(), this->text(), QPalette::WindowText);
    if (this->hasFocus()) {
      QStyleOptionFocusRect focus;
      focus.initFrom(this);
      focus.rect = painter.fontMetrics().boundingRect(text_area, Qt::AlignLeft | Qt::AlignVCenter,
                                                      this->text());
      painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
  }

  bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};

QString template_text(const DialogTemplateItem& item) {
  return item.title_is_ordinal ? QString() : QString::fromStdU16String(item.title);
}

// A static text shows "&x" as x underlined and "&&" as "&"; a QLabel does
// that only when it has a buddy, so a label without one gets the plain text.
QString label_text(const QString& text, bool has_buddy) {
  if (has_buddy) {
    return text;
  }
  QString plain;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
      ++i;
    }
    plain.append(text[i]);
  }
  return plain;
}

}  // namespace

QSize dialog_base_units(const QFont& font) {
  QFontMetrics metrics(font);
  static const QString alphabet =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  int average = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
  return {std::max(average, 1), std::max(metrics.height(), 1)};
}

QRect dialog_units_to_pixels(int x, int y, int cx, int cy, QSize base) {
  return QRect(x * base.width() / 4, y * base.height() / 8, cx * base.width() / 4,
               cy * base.height() / 8);
}

QFont dialog_font(const DialogTemplate& dialog) {
  // The templates' face, where the system lacks it, is shown in the
  // metric-compatible sans-serif face.
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
  QFont font = QApplication::font();
  if ((dialog.style & kDsSetFont) && !dialog.font_face.empty()) {
    font = QFont(QString::fromStdU16String(dialog.font_face));
    if (dialog.point_size > 0) {
      font.setPointSize(dialog.point_size);
    }
  }
  return font;
}

DialogView::DialogView(const DialogTemplate& dialog, DialogController& controller, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      controller_(controller) {
  setWindowTitle(QString::fromStdU16String(dialog.caption));
  setFont(dialog_font(dialog));
  base_ = dialog_base_units(font());
  setFixedSize(dialog_units_to_pixels(0, 0, dialog.cx, dialog.cy, base_).size());
  setModal(true);

  for (const DialogTemplateItem& item : dialog.items) {
    if (item.style & kWsGroup) {
      radio_group_ = nullptr;
    }
    QWidget* widget = make_control(item);
    if (widget == nullptr) {
      continue;
    }
    place(item, widget);
    widget->setEnabled(!(item.style & kWsDisabled));
    widget->setVisible(item.style & kWsVisible);
    controls_.push_back(Control{item.id, widget, item.style});
    connect_notifications(item, widget);
  }
  set_focus_order();
  fit_to_controls();
}

bool DialogView::grows_to_its_text(const QWidget* widget) {
  if (auto* label = qobject_cast<const QLabel*>(widget)) {
    return label->property("zuna_one_line").toBool() && !label->wordWrap();
  }
  return qobject_cast<const QCheckBox*>(widget) != nullptr ||
         qobject_cast<const QRadioButton*>(widget) != nullptr;
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

QWidget* DialogView::make_control(const DialogTemplateItem& item) {
  const QString text = template_text(item);
  switch (ItemKind kind = classify_item(item)) {
    case ItemKind::check_box:
    case ItemKind::auto_check_box:
    case ItemKind::three_state:
    case ItemKind::auto_three_state: return make_check_box(item, kind, text);
    case ItemKind::radio_button:
    case ItemKind::auto_radio_button: return make_radio_button(item, text);
    case ItemKind::group_box: {
      auto* group = new QGroupBox(text, this);
      group->setFocusPolicy(Qt::NoFocus);
      return group;
    }
    case ItemKind::edit: return make_edit(item, text);
    case ItemKind::static_text: return make_label(item, text);
    case ItemKind::list_box: return make_list(item);
    case ItemKind::scroll_bar: return make_scroll_bar(item);
    case ItemKind::combo_box:
    case ItemKind::drop_down_list: {
      auto* combo = new QComboBox(this);
      combo->setEditable(kind == ItemKind::combo_box);
      combo->setInsertPolicy(QComboBox::NoInsert);
      return combo;
    }
    case ItemKind::other: return nullptr;  // a class given by name: not a control of ours
    default: {
      // Push buttons, and the button types drawn as one (user, owner-drawn).
      auto* button = new QPushButton(text, this);
      button->setAutoDefault(true);
      button->setDefault(kind == ItemKind::default_push_button);
      return button;
    }
  }
}

QWidget* DialogView::make_check_box(const DialogTemplateItem& item, ItemKind kind,
                                    const QString& text) {
  QCheckBox* box = (item.style & kBsLeftText) ? new LeftTextButton<QCheckBox>(text, this)
                                              : new QCheckBox(text, this);
  box->setTristate(kind == ItemKind::three_state || kind == ItemKind::auto_three_state);
  return box;
}

QWidget* DialogView::make_radio_button(const DialogTemplateItem& item, const QString& text) {
  QRadioButton* radio = (item.style & kBsLeftText) ? new LeftTextButton<QRadioButton>(text, this)
                                                   : new QRadioButton(text, this);
  // The radio buttons of one WS_GROUP run exclude each other.
  if (radio_group_ == nullptr) {
    radio_group_ = new QButtonGroup(this);
    radio_group_->setExclusive(true);
  }
  radio->setAutoExclusive(false);
  radio_group_->addButton(radio);
  return radio;
}

QWidget* DialogView::make_edit(const DialogTemplateItem& item, const QString& text) {
  auto* edit = new QLineEdit(text, this);
  edit->setFrame(item.style & kWsBorder);
  if (item.style & kEsPassword) {
    edit->setEchoMode(QLineEdit::Password);
  }
  edit->setReadOnly(item.style & kEsReadOnly);
  if (item.style & kEsRight) {
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  } else if (item.style & kEsCenter) {
    edit->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
  }
  edit->setMaxLength(32767);
  return edit;
}

QWidget* DialogView::make_label(const DialogTemplateItem& item, const QString& text) {
  auto* label = new QLabel(this);
  const std::uint32_t type = item.style & kSsTypeMask;
  Qt::Alignment align = Qt::AlignLeft;
  if (type == kSsCenter) {
    align = Qt::AlignHCenter;
  } else if (type == kSsRight) {
    align = Qt::AlignRight;
  }
  label->setAlignment(align | Qt::AlignTop);
  // A label one line high keeps its text on that line (see place()).
  const bool one_line = item.cy * base_.height() / 8 < 2 * QFontMetrics(font()).height();
  label->setWordWrap(type <= kSsRight && !one_line);
  label->setProperty("zuna_one_line", one_line);
  if (item.style & kSsSunken) {
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  } else if (item.style & kWsBorder) {
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
  }
  label->setTextFormat(Qt::PlainText);
  label->setProperty("zuna_prefix", !(item.style & kSsNoPrefix));
  label->setText(label_text(text, false));
  label->setProperty("zuna_text", text);
  return label;
}

QWidget* DialogView::make_list(const DialogTemplateItem& item) {
  auto* list = new QListWidget(this);
  if (item.style & kLbsExtendedSel) {
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  } else if (item.style & kLbsMultipleSel) {
    list->setSelectionMode(QAbstractItemView::MultiSelection);
  }
  list->setSortingEnabled(item.style & kLbsSort);
  return list;
}

QWidget* DialogView::make_scroll_bar(const DialogTemplateItem& item) {
  auto* bar = new QScrollBar((item.style & kSbsVert) ? Qt::Vertical : Qt::Horizontal, this);
  // The dialog manager moves the bar itself: Qt's own steps stay zero.
  bar->setSingleStep(0);
  bar->setPageStep(0);
  bar->setRange(0, 100);
  return bar;
}

void DialogView::place(const DialogTemplateItem& item, QWidget* widget) {
  QRect area = dialog_units_to_pixels(item.x, item.y, item.cx, item.cy, base_);
  if (item.class_code == kClassComboBox) {
    // The template's height includes the dropped-down list.
    area.setHeight(std::min(area.height(), widget->sizeHint().height()));
  }
  if (grows_to_its_text(widget)) {
    // Our faces run wider than the one the templates were laid out with: a
    // one-line label, check box or radio button grows to the right rather
    // than losing the first or last words of its text.
    area.setWidth(std::max(area.width(), widget->sizeHint().width()));
  }
  widget->setGeometry(area);
  if (qobject_cast<QGroupBox*>(widget) != nullptr) {
    widget->lower();
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
