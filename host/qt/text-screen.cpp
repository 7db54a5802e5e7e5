#include "host/qt/text-screen.h"

#include <algorithm>
#include <cstring>

namespace zuna {
namespace {

constexpr std::array<QRgb, 16> kPalette = {
    qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
    qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
    qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255)};

}  // namespace

TextConfig default_text_config(QSize screen, int depth) {
  TextConfig config;
  config.columns = screen.width() / config.cell_width;
  config.rows = screen.height() / config.cell_height;
  config.colours = depth >= 8 ? 256 : 1 << std::max(depth, 1);
  return config;
}

QRgb palette_colour(int index, int colours) {
  if (colours <= 2) {
    return index == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
  }
  return kPalette[static_cast<std::size_t>(index & 15)];
}

void TextScreen::configure(const TextConfig& config, std::shared_ptr<const GlyphAtlas> atlas) {
  config_ = config;
  atlas_ = std::move(atlas);
  image_ = QImage(config.pixel_size(), QImage::Format_RGB32);
  image_.fill(palette_colour(kBackgroundColourIndex, config.colours));
  lines_.assign(static_cast<std::size_t>(config.rows),
                std::string(static_cast<std::size_t>(config.columns), ' '));
  first_row_ = 1;
  last_row_ = config.rows;
  first_column_ = 1;
  last_column_ = config.columns;
  row_ = first_row_;
  column_ = first_column_;
  configured_ = true;
}

void TextScreen::write(std::string_view text) {
  if (!configured_ || config_.rows == 0 || config_.columns == 0) {
    return;
  }
  if (text.empty()) {
    text = " ";
  }
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t j = i;
    while (j < text.size() && text[j] != '\0' && text[j] != '\n' && text[j] != '\r') {
      ++j;
    }
    // Draw the characters before the break, wrapping where a row is full.
    std::string_view pending = text.substr(i, j - i);
    while (!pending.empty()) {
      if (column_ > last_column_) {
        new_line();
      }
      std::size_t room = static_cast<std::size_t>(last_column_ - column_ + 1);
      std::string_view segment = pending.substr(0, std::min(room, pending.size()));
      draw(segment);
      pending.remove_prefix(segment.size());
    }
    if (j == text.size() || text[j] == '\0') {
      break;  // the position stays after the last character
    }
    if (text[j] == '\r') {
      column_ = first_column_;
    } else {
      new_line();
    }
    i = j + 1;
  }
}

bool TextScreen::erase_back() {
  if (!configured_ || (row_ == first_row_ && column_ == first_column_)) {
    return false;
  }
  if (column_ > first_column_) {
    --column_;
  } else {
    --row_;
    column_ = last_column_;
  }
  put_cell(row_, column_, ' ');
  return true;
}

std::string TextScreen::text_in(QRect cells) const {
  QRect screen(0, 0, config_.columns, config_.rows);
  cells = cells.intersected(screen);
  std::string text;
  for (int r = cells.top(); r <= cells.bottom(); ++r) {
    std::string line = lines_[static_cast<std::size_t>(r)].substr(
        static_cast<std::size_t>(cells.left()), static_cast<std::size_t>(cells.width()));
    line.erase(line.find_last_not_of(' ') + 1);
    if (r > cells.top()) {
      text.push_back('\n');
    }
    text += line;
  }
  return text;
}

void TextScreen::draw(std::string_view segment) {
  for (char c : segment) {
    put_cell(row_, column_, static_cast<unsigned char>(c));
    ++column_;
  }
}

void TextScreen::put_cell(int row, int column, unsigned char byte) {
  lines_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)] =
      byte < 0x20 ? ' ' : static_cast<char>(byte);
  const int w = config_.cell_width;
  const int h = config_.cell_height;
  const QImage& glyphs = atlas_->image();
  const int x = (column - 1) * w;
  const int y = (row - 1) * h;
  const int source_x = (byte < 0x20 ? 0x20 : byte) * atlas_->cell_width();
  const int copy_width = std::min(w, atlas_->cell_width());
  const int copy_height = std::min(h, atlas_->cell_height());
  for (int line = 0; line < copy_height; ++line) {
    const auto* from = reinterpret_cast<const QRgb*>(glyphs.constScanLine(line)) + source_x;
    auto* to = reinterpret_cast<QRgb*>(image_.scanLine(y + line)) + x;
    std::memcpy(to, from, static_cast<std::size_t>(copy_width) * sizeof(QRgb));
  }
}

void TextScreen::new_line() {
  column_ = first_column_;
  if (row_ >= last_row_) {
    scroll_up();
  } else {
    ++row_;
  }
}

void TextScreen::scroll_up() {
  const int h = config_.cell_height;
  const int x = (first_column_ - 1) * config_.cell_width;
  const std::size_t bytes = static_cast<std::size_t>(last_column_ - first_column_ + 1) *
                            config_.cell_width * sizeof(QRgb);
  for (int y = (first_row_ - 1) * h; y < (last_row_ - 1) * h; ++y) {
    std::memcpy(reinterpret_cast<QRgb*>(image_.scanLine(y)) + x,
                reinterpret_cast<const QRgb*>(image_.constScanLine(y + h)) + x, bytes);
  }
  for (int r = first_row_; r < last_row_; ++r) {
    auto& to = lines_[static_cast<std::size_t>(r - 1)];
    const auto& from = lines_[static_cast<std::size_t>(r)];
    std::copy(from.begin() + (first_column_ - 1), from.begin() + last_column_,
              to.begin() + (first_column_ - 1));
  }
  for (int c = first_column_; c <= last_column_; ++c) {
    put_cell(last_row_, c, ' ');
  }
}

}  // namespace zuna
