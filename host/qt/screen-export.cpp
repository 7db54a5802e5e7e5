#include "host/qt/screen-export.h"

#include "host/qt/print-target.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace zuna {

bool save_bitmap(const QImage& image, const QString& path) {
  return !image.isNull() && image.save(path, "BMP");
}

namespace {

// The modeless progress box; Cancel sets the abort flag.
class PrintProgress : public QDialog {
 public:
  explicit PrintProgress(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QApplication::applicationName());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Printing In Progress..."), this));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    connect(cancel, &QPushButton::clicked, this, [this] { aborted_ = true; });
  }
  bool aborted() const { return aborted_; }

 private:
  bool aborted_ = false;
};

}  // namespace

QString print_image(const QImage& image, QWidget* owner) {
  QPrinter printer(QPrinter::HighResolution);
  if (choose_print_target(printer, owner) == PrintTarget::declined) {
    return QStringLiteral("No Default Printer");
  }
  if (!printer.isValid()) {
    return QStringLiteral("No Printer Driver");
  }
  if (image.isNull()) {
    return QStringLiteral("Print: Internal Error");
  }
  PrintProgress progress(owner);
  progress.show();
  QApplication::processEvents();
  QPainter painter;
  if (!painter.begin(&printer)) {
    return QStringLiteral("Error! Loading printer driver");
  }
  QApplication::processEvents();
  if (progress.aborted()) {
    printer.abort();
    return QStringLiteral("Error! Printing Aborted");
  }
  QRect page = painter.viewport();
  QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
  painter.setViewport(page.x(), page.y(), size.width(), size.height());
  painter.setWindow(image.rect());
  painter.drawImage(0, 0, image);
  QApplication::processEvents();
  if (progress.aborted()) {
    printer.abort();
    painter.end();
    return QStringLiteral("Error! Printing Aborted");
  }
  if (!painter.end() || printer.printerState() == QPrinter::Error) {
    return QStringLiteral("Print: Printing Error");
  }
  return {};
}

}  // namespace zuna
