#include "host/qt/listing-viewer.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include <memory>

#include "host/qt/cp1252.h"
#include "host/qt/print-target.h"

namespace zuna {

QString read_listing(const QString& path, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("Cannot read \"%1\": %2.").arg(path, file.errorString());
    return {};
  }
  const QByteArray bytes = file.readAll();
  QString text =
      from_cp1252(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  error.clear();
  return text;
}

namespace {

// The text windows' font: "Courier New", else Liberation Mono (its metric
// twin), else the system's fixed font.
QFont listing_font() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setFamilies(
      {QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), font.family()});
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(10);
  return font;
}

}  // namespace

ListingViewer::ListingViewer(QWidget* parent) : QMainWindow(parent) {
  text_ = new QPlainTextEdit(this);
  text_->setReadOnly(true);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(listing_font());
  setCentralWidget(text_);

  find_bar_ = new QToolBar(QStringLiteral("Find"), this);
  find_bar_->setMovable(false);
  find_bar_->addWidget(new QLabel(QStringLiteral("Find: "), find_bar_));
  find_field_ = new QLineEdit(find_bar_);
  find_bar_->addWidget(find_field_);
  find_status_ = new QLabel(find_bar_);
  find_bar_->addWidget(find_status_);
  addToolBar(Qt::BottomToolBarArea, find_bar_);
  find_bar_->hide();
  connect(find_field_, &QLineEdit::returnPressed, this, [this] { find(); });

  create_actions();
  // 100 columns of the report and about 40 lines, within the screen.
  const QFontMetrics metrics(text_->font());
  QSize size(metrics.horizontalAdvance(QLatin1Char('M')) * 100 + 40, metrics.lineSpacing() * 40);
  if (const QScreen* screen = QApplication::primaryScreen()) {
    size = size.boundedTo(screen->availableSize() * 9 / 10);
  }
  resize(size);
}

void ListingViewer::create_actions() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  QAction* print_action = file->addAction(QStringLiteral("&Print..."), this, [this] { print(); });
  print_action->setShortcut(QKeySequence::Print);
  file->addSeparator();
  QAction* close_action = file->addAction(QStringLiteral("&Close"), this, [this] { close(); });
  close_action->setShortcuts({QKeySequence::Close, QKeySequence(Qt::Key_Escape)});

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  QAction* copy = edit->addAction(QStringLiteral("&Copy"), text_, &QPlainTextEdit::copy);
  copy->setShortcut(QKeySequence::Copy);
  QAction* all = edit->addAction(QStringLiteral("Select &All"), text_, &QPlainTextEdit::selectAll);
  all->setShortcut(QKeySequence::SelectAll);
  edit->addSeparator();
  QAction* find_action =
      edit->addAction(QStringLiteral("&Find..."), this, [this] { show_find_bar(); });
  find_action->setShortcut(QKeySequence::Find);
  QAction* next = edit->addAction(QStringLiteral("Find &Next"), this, [this] { find(); });
  next->setShortcut(QKeySequence::FindNext);
  QAction* previous =
      edit->addAction(QStringLiteral("Find Pre&vious"), this, [this] { find(true); });
  previous->setShortcut(QKeySequence::FindPrevious);
}

bool ListingViewer::open_file(const QString& path, QString& error) {
  file_name_ = QFileInfo(path).fileName();
  setWindowTitle(file_name_ + QStringLiteral(" - Listagem dos Resultados"));
  const QString contents = read_listing(path, error);
  if (!error.isEmpty()) {
    text_->setPlainText(error);
    return false;
  }
  text_->setPlainText(contents);
  text_->moveCursor(QTextCursor::Start);
  return true;
}

void ListingViewer::show_find_bar() {
  find_bar_->show();
  find_field_->setFocus();
  find_field_->selectAll();
}

bool ListingViewer::find(bool backward) {
  const QString wanted = find_field_->text();
  if (wanted.isEmpty()) {
    show_find_bar();
    return false;
  }
  const QTextDocument::FindFlags flags =
      backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  bool found = text_->find(wanted, flags);
  if (!found) {
    // Wrap around once: from the other end of the text.
    const QTextCursor kept = text_->textCursor();
    text_->moveCursor(backward ? QTextCursor::End : QTextCursor::Start);
    found = text_->find(wanted, flags);
    if (!found) {
      text_->setTextCursor(kept);
    }
  }
  find_status_->setText(found ? QString() : QStringLiteral("  Not found"));
  return found;
}

void ListingViewer::print() {
  QPrinter printer(QPrinter::HighResolution);
  if (choose_print_target(printer, this) == PrintTarget::declined) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    QStringLiteral("No Default Printer"), QMessageBox::Ok, this);
    box.exec();
    return;
  }
  printer.setDocName(file_name_);
  // The page in the listing's font: the report's columns line up on paper.
  std::unique_ptr<QTextDocument> copy(text_->document()->clone());
  copy->setDefaultFont(text_->font());
  copy->print(&printer);
  if (printer.printerState() == QPrinter::Error) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    QStringLiteral("Print: Printing Error"), QMessageBox::Ok, this);
    box.exec();
  }
}

namespace {

// Says "shown" once the viewer's window is exposed, then leaves standard
// output: nobody reads the pipe any more.
void tell_when_shown(QWidget& viewer) {
  auto* timer = new QTimer(&viewer);
  QObject::connect(timer, &QTimer::timeout, &viewer, [timer, &viewer] {
    QWindow* window = viewer.windowHandle();
    if (window == nullptr || !window->isExposed()) {
      return;
    }
    timer->stop();
    std::fputs("shown\n", stdout);
    std::fflush(stdout);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
      dup2(null, STDOUT_FILENO);
      close(null);
    }
  });
  timer->start(20);
}

}  // namespace

int run_listing_viewer(const QString& path, bool tell_shown) {
  ListingViewer viewer;
  QString error;
  const bool read = viewer.open_file(path, error);
  if (!read) {
    QMessageBox::warning(
        &viewer, QApplication::applicationName(),
        error + QStringLiteral("\nRun a calculation first: it writes the report."));
    return 1;
  }
  viewer.show();
  if (tell_shown) {
    tell_when_shown(viewer);
  }
  QApplication::exec();
  return 0;
}

}  // namespace zuna
