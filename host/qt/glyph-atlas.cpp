#include "host/qt/glyph-atlas.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "host/qt/cp1252.h"

namespace zuna {

QFont text_window_font(int cell_width, int cell_height) {
  QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
  font.setFixedPitch(true);
  font.setWeight(QFont::Normal);
  font.setKerning(false);
  // The largest pixel size whose line height still fits the cell.
  int size = cell_height;
  font.setPixelSize(size);
  while (size > 6 && QFontMetrics(font).height() > cell_height) {
    font.setPixelSize(--size);
  }
  // Squeeze a face that is too wide for the cell, as the platform's font
  // mapper does when it is asked for a width.
  qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('M'));
  if (advance > cell_width + 0.5) {
    font.setStretch(static_cast<int>(std::floor(100.0 * cell_width / advance)));
  }
  return font;
}

std::shared_ptr<const GlyphAtlas> GlyphAtlas::build(int cell_width, int cell_height, QColor text,
                                                    QColor background) {
  std::shared_ptr<GlyphAtlas> atlas(new GlyphAtlas);
  atlas->cell_width_ = cell_width;
  atlas->cell_height_ = cell_height;
  atlas->font_ = text_window_font(cell_width, cell_height);
  atlas->image_ = QImage(256 * cell_width, cell_height, QImage::Format_RGB32);
  atlas->image_.fill(background);

  QFontMetricsF metrics(atlas->font_);
  qreal width = metrics.horizontalAdvance(QLatin1Char('M'));
  atlas->font_accepted_ = width >= cell_width - 2 && width <= cell_width + 1 &&
                          std::abs(metrics.height() - cell_height) <= 2;
  // Centre the line box in the cell.
  qreal baseline = (cell_height - metrics.height()) / 2 + metrics.ascent();

  QPainter painter(&atlas->image_);
  painter.setFont(atlas->font_);
  painter.setPen(text);
  for (int byte = 0x20; byte < 256; ++byte) {
    char c = static_cast<char>(byte);
    QString glyph = from_cp1252(std::string_view(&c, 1));
    if (!glyph.at(0).isPrint()) {
      continue;
    }
    QRectF cell(byte * cell_width, 0, cell_width, cell_height);
    painter.save();
    painter.setClipRect(cell);
    painter.drawText(
        QPointF(cell.left() + (cell_width - metrics.horizontalAdvance(glyph)) / 2, baseline),
        glyph);
    painter.restore();
  }
  return atlas;
}

}  // namespace zuna
