// The character cells of a text window's font, drawn once: one cell per
// Windows-1252 byte, text colour on background colour. Writing a character
// copies its cell, so the computation thread draws text without touching a
// font (fonts belong to the GUI thread), and every character takes exactly
// one cell whatever the font's own advance.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <memory>

namespace zuna {

class GlyphAtlas {
 public:
  // Built on the GUI thread; immutable afterwards, so any thread may read it.
  static std::shared_ptr<const GlyphAtlas> build(int cell_width, int cell_height, QColor text,
                                                 QColor background);

  int cell_width() const { return cell_width_; }
  int cell_height() const { return cell_height_; }
  // The cell of one byte: a (cell_width x cell_height) part of the image.
  const QImage& image() const { return image_; }
  const QFont& font() const { return font_; }
  // The realised font fits the cell: its character width within 2 below and
  // 1 above the cell width, its height within 2 of the cell height.
  bool font_accepted() const { return font_accepted_; }

 private:
  GlyphAtlas() = default;

  int cell_width_ = 8;    // [px]
  int cell_height_ = 16;  // [px]
  QImage image_;          // 256 cells side by side
  QFont font_;
  bool font_accepted_ = false;
};

// "Courier New" at the cell size, fixed pitch (served by Liberation Mono
// where the face itself is missing).
QFont text_window_font(int cell_width, int cell_height);

}  // namespace zuna
