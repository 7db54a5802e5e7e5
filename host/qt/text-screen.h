// The virtual screen of a text window: the off-screen image that the window
// paints, the characters it shows (for Select Text and Copy), and the text
// position where the next output goes.
//
// Not locked itself: its owner (TextWindowState) guards it with the window's
// drawing lock. The computation thread writes into it; the GUI thread echoes
// typed characters into it and paints, saves and prints it.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/qt/glyph-atlas.h"

namespace zuna {

// The window's configuration, taken from the screen on the first output or
// input.
struct TextConfig {
  int cell_width = 8;    // [px]
  int cell_height = 16;  // [px]
  int columns = 0;       // screen width / cell width
  int rows = 0;          // screen height / cell height
  int colours = 256;     // 2^(bits per pixel), at most 256

  QSize pixel_size() const { return {columns * cell_width, rows * cell_height}; }
};

// The default configuration for a screen of this size [px] and depth [bits].
TextConfig default_text_config(QSize screen, int depth);

// The first 16 entries of a text window's palette; on a two-colour display
// only black and white.
QRgb palette_colour(int index, int colours);

inline constexpr int kTextColourIndex = 15;       // white
inline constexpr int kBackgroundColourIndex = 0;  // black

class TextScreen {
 public:
  bool configured() const { return configured_; }
  // Allocates the image, cleared to the background colour.
  void configure(const TextConfig& config, std::shared_ptr<const GlyphAtlas> atlas);
  const TextConfig& config() const { return config_; }

  // Writes text at the text position. Segments end before a zero character
  // (which ends the text), a line feed or a carriage return; a character
  // that finds the position past the right edge first wraps to the next row.
  // A line feed or a wrap on the last row scrolls the text area up one row:
  // the top row is lost for good. An empty text writes one blank.
  void write(std::string_view text);

  // Removes the character before the text position (a typed character's
  // echo): the position steps back one cell, onto the row above from column
  // 1. False, changing nothing, at row 1, column 1.
  bool erase_back();

  int row() const { return row_; }        // 1-based, within the text area
  int column() const { return column_; }  // 1-based; columns + 1 after a full row
  const QImage& image() const { return image_; }

  // The characters of a rectangle of cells (0-based columns and rows of the
  // virtual screen), one line per row, trailing blanks removed, joined by
  // line feeds; Windows-1252 bytes.
  std::string text_in(QRect cells) const;
  // One row, 1-based, with its trailing blanks.
  const std::string& row_text(int row) const { return lines_[static_cast<std::size_t>(row - 1)]; }

 private:
  void draw(std::string_view segment);
  void put_cell(int row, int column, unsigned char byte);
  void new_line();
  void scroll_up();

  bool configured_ = false;
  TextConfig config_;
  std::shared_ptr<const GlyphAtlas> atlas_;
  QImage image_;
  std::vector<std::string> lines_;  // rows x columns characters, what the image shows
  // The text area, 1-based rows and columns of the virtual screen.
  int first_row_ = 1, last_row_ = 1, first_column_ = 1, last_column_ = 1;
  int row_ = 1, column_ = 1;
};

}  // namespace zuna
