// The client area of a text window: paints the part of the virtual screen's
// image that the scroll bars select (or the whole of it scaled, with Size To
// Fit), marks selections with the mouse, and scrolls by keys. It reads the
// image only under the window's drawing lock and never draws into it.
#pragma once

#include <QAbstractScrollArea>
#include <functional>
#include <memory>

namespace zuna {

class TextScreen;
struct TextWindowState;

enum class SelectionMode { none, text, graphics };

class TextView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  TextView(std::shared_ptr<TextWindowState> state, QWidget* parent = nullptr);

  // Keys that are not scrolling keys go here.
  std::function<void(QKeyEvent*)> on_key;
  // Called when the marked area changes.
  std::function<void()> on_marked;

  void set_size_to_fit(bool on);
  bool size_to_fit() const { return size_to_fit_; }
  void set_caret_visible(bool on);
  bool caret_visible() const { return caret_visible_; }
  // Scrolls just enough to show the caret's cell and so its line; a view
  // that shows the caret already stays where it is.
  void scroll_to_caret();

  void set_selection_mode(SelectionMode mode);  // none also removes the marks
  SelectionMode selection_mode() const { return mode_; }
  void mark_all();
  void mark(QRect virtual_pixels);  // snapped to whole cells in text mode
  bool has_marked_area() const { return !marked_.isNull(); }
  QRect marked_area() const { return marked_; }  // pixels of the virtual screen

  // The virtual screen's size changed (it was configured).
  void update_scroll_ranges();
  QPoint view_origin() const;
  QSize preferred_viewport_size() const;  // the virtual screen's size

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  QSize virtual_size() const;
  QSize cell_size() const;
  static QRect caret_cell(const TextScreen& screen);
  QPoint to_virtual(QPoint viewport_point) const;
  QRect to_viewport(QRect virtual_rect) const;
  bool scroll_key(QKeyEvent* event);

  std::shared_ptr<TextWindowState> state_;
  bool size_to_fit_ = false;
  bool caret_visible_ = false;
  SelectionMode mode_ = SelectionMode::none;
  QRect marked_;
  QPoint anchor_;
  bool dragging_ = false;
};

}  // namespace zuna
