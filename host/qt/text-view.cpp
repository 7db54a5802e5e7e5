#include "host/qt/text-view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <mutex>

#include "host/qt/window-table.h"

namespace zuna {

TextView::TextView(std::shared_ptr<TextWindowState> state, QWidget* parent)
    : QAbstractScrollArea(parent), state_(std::move(state)) {
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setCursor(Qt::IBeamCursor);
  QPalette background = viewport()->palette();
  background.setColor(QPalette::Window, Qt::black);
  viewport()->setPalette(background);
}

QSize TextView::virtual_size() const {
  std::lock_guard lock(state_->drawing);
  return state_->screen.configured() ? state_->screen.config().pixel_size() : QSize();
}

QSize TextView::cell_size() const {
  std::lock_guard lock(state_->drawing);
  const TextConfig& config = state_->screen.config();
  return {config.cell_width, config.cell_height};
}

QSize TextView::preferred_viewport_size() const { return virtual_size(); }

// The cell of the caret, in pixels of the virtual screen; a caret past a
// full row stays on its last cell.
QRect TextView::caret_cell(const TextScreen& screen) {
  const TextConfig& config = screen.config();
  const int column = std::min(screen.column(), config.columns);
  return QRect((column - 1) * config.cell_width, (screen.row() - 1) * config.cell_height,
               config.cell_width, config.cell_height);
}

void TextView::scroll_to_caret() {
  if (size_to_fit_) {
    return;  // the whole screen is shown
  }
  QRect cell;
  {
    std::lock_guard lock(state_->drawing);
    if (!state_->screen.configured()) {
      return;
    }
    cell = caret_cell(state_->screen);
  }
  // Each bar moves only when the cell lies beyond its side of the view, and
  // then by just enough to bring the cell's far edge in.
  const auto bring_in = [](QScrollBar* bar, int first, int last, int shown) {
    if (last >= bar->value() + shown) {
      bar->setValue(last + 1 - shown);
    }
    if (first < bar->value()) {
      bar->setValue(first);
    }
  };
  const QSize shown = viewport()->size();
  bring_in(verticalScrollBar(), cell.top(), cell.bottom(), shown.height());
  bring_in(horizontalScrollBar(), cell.left(), cell.right(), shown.width());
}

QPoint TextView::view_origin() const {
  return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void TextView::update_scroll_ranges() {
  QSize total = virtual_size();
  QSize shown = viewport()->size();
  QSize cell = cell_size();
  if (size_to_fit_ || total.isEmpty()) {
    horizontalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setRange(0, 0);
  } else {
    horizontalScrollBar()->setRange(0, std::max(0, total.width() - shown.width()));
    verticalScrollBar()->setRange(0, std::max(0, total.height() - shown.height()));
  }
  horizontalScrollBar()->setPageStep(std::max(1, shown.width()));
  verticalScrollBar()->setPageStep(std::max(1, shown.height()));
  horizontalScrollBar()->setSingleStep(std::max(1, cell.width()));
  verticalScrollBar()->setSingleStep(std::max(1, cell.height()));
  viewport()->update();
}

void TextView::set_size_to_fit(bool on) {
  size_to_fit_ = on;
  setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  update_scroll_ranges();
}

void TextView::set_caret_visible(bool on) {
  caret_visible_ = on;
  viewport()->update();
}

void TextView::set_selection_mode(SelectionMode mode) {
  mode_ = mode;
  if (mode == SelectionMode::none) {
    marked_ = QRect();
    dragging_ = false;
  }
  viewport()->setCursor(mode == SelectionMode::none ? Qt::IBeamCursor : Qt::CrossCursor);
  viewport()->update();
}

void TextView::mark_all() { mark(QRect(QPoint(0, 0), virtual_size())); }

void TextView::mark(QRect area) {
  area = area.normalized().intersected(QRect(QPoint(0, 0), virtual_size()));
  if (mode_ == SelectionMode::text && !area.isEmpty()) {
    // Whole cells: from the cell of the top-left corner to the cell of the
    // bottom-right one.
    QSize cell = cell_size();
    int left = area.left() / cell.width();
    int top = area.top() / cell.height();
    int right = area.right() / cell.width();
    int bottom = area.bottom() / cell.height();
    area = QRect(left * cell.width(), top * cell.height(), (right - left + 1) * cell.width(),
                 (bottom - top + 1) * cell.height());
  }
  marked_ = area;
  viewport()->update();
  if (on_marked) {
    on_marked();
  }
}

QPoint TextView::to_virtual(QPoint point) const {
  if (size_to_fit_) {
    QSize total = virtual_size();
    QSize shown = viewport()->size();
    if (shown.isEmpty()) {
      return {};
    }
    return {point.x() * total.width() / shown.width(), point.y() * total.height() / shown.height()};
  }
  return point + view_origin();
}

QRect TextView::to_viewport(QRect area) const {
  if (size_to_fit_) {
    QSize total = virtual_size();
    QSize shown = viewport()->size();
    if (total.isEmpty()) {
      return {};
    }
    return QRect(area.left() * shown.width() / total.width(),
                 area.top() * shown.height() / total.height(),
                 area.width() * shown.width() / total.width(),
                 area.height() * shown.height() / total.height());
  }
  return area.translated(-view_origin());
}

void TextView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), QColor(128, 128, 128));
  QRect caret;
  {
    std::lock_guard lock(state_->drawing);
    const TextScreen& screen = state_->screen;
    if (!screen.configured()) {
      return;
    }
    if (size_to_fit_) {
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      painter.drawImage(viewport()->rect(), screen.image());
    } else {
      painter.drawImage(QPoint(0, 0), screen.image(), QRect(view_origin(), viewport()->size()));
    }
    const QRect cell = caret_cell(screen);
    caret = QRect(cell.left(), cell.bottom() - 1, cell.width(), 2);
  }
  if (caret_visible_ && hasFocus()) {
    painter.fillRect(to_viewport(caret), Qt::white);
  }
  if (!marked_.isNull()) {
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(to_viewport(marked_), Qt::white);
  }
}

void TextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  update_scroll_ranges();
}

void TextView::scrollContentsBy(int, int) { viewport()->update(); }

bool TextView::focusNextPrevChild(bool) { return false; }  // Tab is typed input

bool TextView::scroll_key(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  QScrollBar* h = horizontalScrollBar();
  QScrollBar* v = verticalScrollBar();
  switch (event->key()) {
    case Qt::Key_PageUp:
      (ctrl ? h : v)->triggerAction(QAbstractSlider::SliderPageStepSub);
      return true;
    case Qt::Key_PageDown:
      (ctrl ? h : v)->triggerAction(QAbstractSlider::SliderPageStepAdd);
      return true;
    case Qt::Key_Home:
      h->setValue(h->minimum());
      if (ctrl) {
        v->setValue(v->minimum());
      }
      return true;
    case Qt::Key_End:
      h->setValue(h->maximum());
      if (ctrl) {
        v->setValue(v->maximum());
      }
      return true;
    case Qt::Key_Up: v->triggerAction(QAbstractSlider::SliderSingleStepSub); return true;
    case Qt::Key_Down: v->triggerAction(QAbstractSlider::SliderSingleStepAdd); return true;
    case Qt::Key_Left: h->triggerAction(QAbstractSlider::SliderSingleStepSub); return true;
    case Qt::Key_Right: h->triggerAction(QAbstractSlider::SliderSingleStepAdd); return true;
    default: return false;
  }
}

void TextView::keyPressEvent(QKeyEvent* event) {
  if (scroll_key(event)) {
    return;
  }
  if (on_key) {
    on_key(event);
  }
}

void TextView::mousePressEvent(QMouseEvent* event) {
  if (mode_ == SelectionMode::none || event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  dragging_ = true;
  anchor_ = to_virtual(event->position().toPoint());
  mark(QRect(anchor_, QSize(1, 1)));
}

void TextView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) {
    return;
  }
  mark(QRect(anchor_, to_virtual(event->position().toPoint())));
}

void TextView::mouseReleaseEvent(QMouseEvent* event) {
  if (dragging_ && event->button() == Qt::LeftButton) {
    dragging_ = false;
    mark(QRect(anchor_, to_virtual(event->position().toPoint())));
  }
}

}  // namespace zuna
