// The frame itself: its construction, status bar, the text windows in its
// client area, full screen, and its closing.
#include "host/qt/frame-window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <algorithm>
#include <mutex>

#include "host/qt/frame-menus.h"
#include "host/qt/pause-gate.h"
#include "host/qt/window-table.h"

namespace zuna {
namespace {

QString default_about_text(const QString& program_name) {
  return program_name +
         QStringLiteral(
             " - combustion of hydrogen with oxygen\n\n"
             "Products without and with dissociation, their mole and mass "
             "fractions and the adiabatic flame temperature over a sweep of "
             "O/F ratios.\n\nWindowed host on Qt ") +
         QString::fromLatin1(qVersion());
}

}  // namespace

FrameWindow::FrameWindow(const FrameOptions& options, WindowTable& table, PauseGate& gate,
                         LineHandoff& handoff)
    : options_(options),
      program_name_(options.program_name),
      table_(table),
      gate_(gate),
      input_(*this, gate, handoff),
      program_items_(*this) {
  setWindowTitle(program_name_);
  about_text_ = default_about_text(program_name_);
  create_client_area();
  menus_ = std::make_unique<FrameMenus>(*this);
  create_status_bar();
  configure_text_windows();
  update_menus();
}

FrameWindow::~FrameWindow() = default;

// --- Construction ---------------------------------------------------------------

void FrameWindow::create_client_area() {
  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { update_menus(); });
}

void FrameWindow::create_status_bar() {
  // Two sunken panes: the run state, 9 characters wide from one character
  // in, and the message, from 11 characters to one before the right edge.
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(false);
  QPalette grey = bar->palette();
  grey.setColor(QPalette::Window, QColor(192, 192, 192));
  bar->setPalette(grey);
  bar->setAutoFillBackground(true);

  auto* strip = new QWidget(bar);
  const int ch = fontMetrics().averageCharWidth();
  auto* layout = new QHBoxLayout(strip);
  layout->setContentsMargins(ch, 2, ch, 2);
  layout->setSpacing(ch);
  run_state_label_ = new QLabel(strip);
  run_state_label_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  run_state_label_->setFixedWidth(9 * ch);
  message_label_ = new QLabel(strip);
  message_label_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  message_label_->setMinimumWidth(ch);
  layout->addWidget(run_state_label_);
  layout->addWidget(message_label_, 1);
  bar->addWidget(strip, 1);
  show_run_state();
}

void FrameWindow::configure_text_windows() {
  QScreen* screen = QGuiApplication::primaryScreen();
  QSize size = options_.screen_size;
  if (size.isEmpty()) {
    size = screen != nullptr ? screen->size() : QSize(1024, 768);
  }
  int depth = options_.screen_depth;
  if (depth == 0) {
    depth = screen != nullptr ? screen->depth() : 24;
  }
  config_ = default_text_config(size, depth);
  atlas_ = GlyphAtlas::build(config_.cell_width, config_.cell_height,
                             palette_colour(kTextColourIndex, config_.colours),
                             palette_colour(kBackgroundColourIndex, config_.colours));
}

bool FrameWindow::starts_maximized() const {
  std::unique_ptr<QSettings> settings =
      options_.settings_file.isEmpty()
          ? std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, program_name_,
                                        program_name_)
          : std::make_unique<QSettings>(options_.settings_file, QSettings::IniFormat);
  settings->beginGroup(program_name_);
  return settings->value(QStringLiteral("CRVNMaximized"), 0).toInt() != 0;
}

void FrameWindow::show_at_start() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect available = screen->availableGeometry();
    resize(available.width() * 3 / 4, available.height() * 3 / 4);
  }
  if (starts_maximized()) {
    showMaximized();
  } else {
    show();
  }
}

// --- Status bar -----------------------------------------------------------------------

void FrameWindow::show_run_state() {
  const RunState state = gate_.state();
  run_state_label_->setText(QString::fromLatin1(run_state_text(state)));
  message_label_->setText(status_.shown());
  menus_->show_run_state(state);
}

void FrameWindow::set_status_message(const QString& text) {
  status_.set(text);
  show_run_state();
}

QString FrameWindow::run_state_pane() const { return run_state_label_->text(); }

QString FrameWindow::message_pane() const { return message_label_->text(); }

// --- The parts ---------------------------------------------------------------------

void FrameWindow::update_menus() { menus_->update(); }

void FrameWindow::window_command(int command) { menus_->run_command(command); }

bool FrameWindow::window_command_enabled(int command) { return menus_->command_enabled(command); }

void FrameWindow::window_typed(TextWindow& window, QKeyEvent* event) {
  input_.typed(window, *event);
}

void FrameWindow::window_selection_changed(TextWindow&) { update_menus(); }

// --- Text windows ---------------------------------------------------------------------

int FrameWindow::open_text_window(const QString& title) {
  const int number = table_.first_free();
  if (number < 0) {
    return -1;
  }
  auto state = std::make_shared<TextWindowState>(number);
  QString shown = title.isEmpty()
                      ? QStringLiteral("Graphic%1").arg(number - WindowTable::kFirstNumber + 1)
                      : title;
  auto* window = new TextWindow(state, shown, *this);
  mdi_->addSubWindow(window);
  window->hide();  // until its first output or input
  table_.fill(number, std::move(state), window);
  return number;
}

bool FrameWindow::configure_window(int number) {
  TextWindow* window = text_window(number);
  if (window == nullptr) {
    return false;
  }
  {
    std::lock_guard lock(window->state()->drawing);
    if (window->state()->screen.configured()) {
      return true;
    }
    window->state()->screen.configure(config_, atlas_);
  }
  window->view()->update_scroll_ranges();
  QSize area = mdi_->viewport()->size();
  window->resize(std::max(area.width() * 3 / 4, 200), std::max(area.height() * 3 / 4, 120));
  window->show();
  // A virtual screen smaller than the client area gets a window of its size.
  QSize client = window->view()->viewport()->size();
  QSize wanted = config_.pixel_size();
  if (client.width() > wanted.width() || client.height() > wanted.height()) {
    QSize extra = window->size() - client;
    window->resize(std::min(client.width(), wanted.width()) + extra.width(),
                   std::min(client.height(), wanted.height()) + extra.height());
  }
  // The client area places a window where it overlaps the others least, by
  // its size when it was added; at its final size it may then stand mostly
  // outside the area: it is brought wholly inside, as far as it fits.
  const QSize room = mdi_->viewport()->size() - window->size();
  window->move(std::clamp(window->x(), 0, std::max(room.width(), 0)),
               std::clamp(window->y(), 0, std::max(room.height(), 0)));
  mdi_->setActiveSubWindow(window);
  window->view()->setFocus();
  update_menus();
  return true;
}

void FrameWindow::close_text_window(int number, bool keep) {
  TextWindow* window = text_window(number);
  if (window == nullptr) {
    return;
  }
  if (keep) {
    window->mark_closed();
    return;
  }
  input_.window_closing(number);
  table_.release(number);
  window->mark_closed();  // lets it close
  window->close();        // deleted on close
  update_menus();
}

void FrameWindow::window_closed(int number) {
  table_.release(number);
  QMetaObject::invokeMethod(
      this, [this] { update_menus(); }, Qt::QueuedConnection);
}

TextWindow* FrameWindow::text_window(int number) const { return table_.window(number); }

int FrameWindow::active_window_number() const {
  TextWindow* active = active_text_window();
  return active != nullptr ? active->number() : 0;
}

TextWindow* FrameWindow::active_text_window() const {
  auto* window = qobject_cast<TextWindow*>(mdi_->currentSubWindow());
  return window != nullptr && !window->isHidden() ? window : nullptr;
}

void FrameWindow::activate_window(int number) {
  if (TextWindow* window = text_window(number); window != nullptr && !window->isHidden()) {
    if (window->isMinimized()) {
      window->showNormal();
    }
    mdi_->setActiveSubWindow(window);
    window->view()->setFocus();
  }
}

void FrameWindow::repaint_text_windows() {
  for (int number : table_.numbers()) {
    std::shared_ptr<TextWindowState> state = table_.state(number);
    if (state && state->repaint_posted.exchange(false)) {
      if (TextWindow* window = text_window(number)) {
        window->view()->viewport()->update();
      }
    }
  }
}

void FrameWindow::toggle_full_screen() {
  if (!full_screen_) {
    full_screen_window_ = active_text_window();
    was_maximized_ = isMaximized();
    status_bar_was_visible_ = !statusBar()->isHidden();
    menuBar()->hide();
    statusBar()->hide();
    full_screen_window_->showMaximized();
    showFullScreen();
    full_screen_ = true;
  } else {
    menuBar()->show();
    statusBar()->setVisible(status_bar_was_visible_);
    if (full_screen_window_) {
      full_screen_window_->showNormal();
    }
    was_maximized_ ? showMaximized() : showNormal();
    full_screen_ = false;
  }
}

// --- Closing ------------------------------------------------------------------------------------

void FrameWindow::closeEvent(QCloseEvent* event) {
  // The menu of the start goes back first; then the frame and its windows go.
  menus_->show_start_bar();
  closing_ = true;
  program_items_.close_rocket_window();
  event->accept();
  emit closed();
}

}  // namespace zuna
