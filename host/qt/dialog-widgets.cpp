// Building a dialog's widgets from its template.
#include "host/qt/dialog-widgets.h"

#include <type_traits>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStylePainter>

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

}  // namespace

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

bool grows_to_its_text(const QWidget* widget) {
  if (auto* label = qobject_cast<const QLabel*>(widget)) {
    return label->property("zuna_one_line").toBool() && !label->wordWrap();
  }
  return qobject_cast<const QCheckBox*>(widget) != nullptr ||
         qobject_cast<const QRadioButton*>(widget) != nullptr;
}

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

DialogWidgets::DialogWidgets(QWidget* dialog, QSize base) : dialog_(dialog), base_(base) {}

QWidget* DialogWidgets::build(const DialogTemplateItem& item) {
  if (item.style & kWsGroup) {
    radio_group_ = nullptr;
  }
  QWidget* widget = make_control(item);
  if (widget == nullptr) {
    return nullptr;
  }
  place(item, widget);
  widget->setEnabled(!(item.style & kWsDisabled));
  widget->setVisible(item.style & kWsVisible);
  return widget;
}

QWidget* DialogWidgets::make_control(const DialogTemplateItem& item) {
  const QString text = template_text(item);
  const ItemClass c = classify_item(item);
  if (!c.kind) {
    return nullptr;  // a class given by name: not a control of ours
  }
  switch (*c.kind) {
    case ControlKind::check_box: return make_check_box(item, c, text);
    case ControlKind::radio_button: return make_radio_button(item, text);
    case ControlKind::group_box: {
      auto* group = new QGroupBox(text, dialog_);
      group->setFocusPolicy(Qt::NoFocus);
      return group;
    }
    case ControlKind::edit_box: return make_edit(item, text);
    case ControlKind::static_text: return make_label(item, text);
    case ControlKind::list_box: return make_list(item);
    case ControlKind::scroll_bar: return make_scroll_bar(item);
    case ControlKind::combo_box:
    case ControlKind::drop_down_list: {
      auto* combo = new QComboBox(dialog_);
      combo->setEditable(*c.kind == ControlKind::combo_box);
      combo->setInsertPolicy(QComboBox::NoInsert);
      return combo;
    }
    case ControlKind::push_button: {
      // Push buttons, and the button types drawn as one (user, owner-drawn).
      auto* button = new QPushButton(text, dialog_);
      button->setAutoDefault(true);
      button->setDefault(c.default_button);
      return button;
    }
  }
  return nullptr;
}

QWidget* DialogWidgets::make_check_box(const DialogTemplateItem& item, const ItemClass& c,
                                       const QString& text) {
  QCheckBox* box = (item.style & kBsLeftText) ? new LeftTextButton<QCheckBox>(text, dialog_)
                                              : new QCheckBox(text, dialog_);
  box->setTristate(c.three_state);
  return box;
}

QWidget* DialogWidgets::make_radio_button(const DialogTemplateItem& item, const QString& text) {
  QRadioButton* radio = (item.style & kBsLeftText) ? new LeftTextButton<QRadioButton>(text, dialog_)
                                                   : new QRadioButton(text, dialog_);
  // The radio buttons of one WS_GROUP run exclude each other.
  if (radio_group_ == nullptr) {
    radio_group_ = new QButtonGroup(dialog_);
    radio_group_->setExclusive(true);
  }
  radio->setAutoExclusive(false);
  radio_group_->addButton(radio);
  return radio;
}

QWidget* DialogWidgets::make_edit(const DialogTemplateItem& item, const QString& text) {
  auto* edit = new QLineEdit(text, dialog_);
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

QWidget* DialogWidgets::make_label(const DialogTemplateItem& item, const QString& text) {
  auto* label = new QLabel(dialog_);
  const std::uint32_t type = item.style & kSsTypeMask;
  Qt::Alignment align = Qt::AlignLeft;
  if (type == kSsCenter) {
    align = Qt::AlignHCenter;
  } else if (type == kSsRight) {
    align = Qt::AlignRight;
  }
  label->setAlignment(align | Qt::AlignTop);
  // A label one line high keeps its text on that line (see place()).
  const bool one_line = item.cy * base_.height() / 8 < 2 * QFontMetrics(dialog_->font()).height();
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

QWidget* DialogWidgets::make_list(const DialogTemplateItem& item) {
  auto* list = new QListWidget(dialog_);
  if (item.style & kLbsExtendedSel) {
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  } else if (item.style & kLbsMultipleSel) {
    list->setSelectionMode(QAbstractItemView::MultiSelection);
  }
  list->setSortingEnabled(item.style & kLbsSort);
  return list;
}

QWidget* DialogWidgets::make_scroll_bar(const DialogTemplateItem& item) {
  auto* bar = new QScrollBar((item.style & kSbsVert) ? Qt::Vertical : Qt::Horizontal, dialog_);
  // The dialog manager moves the bar itself: Qt's own steps stay zero.
  bar->setSingleStep(0);
  bar->setPageStep(0);
  bar->setRange(0, 100);
  return bar;
}

void DialogWidgets::place(const DialogTemplateItem& item, QWidget* widget) {
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

}  // namespace zuna
