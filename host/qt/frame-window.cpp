// The frame itself: its construction, menu bar, status bar, the text windows
// in its client area, and its closing.
#include "host/qt/frame-window.h"

#include <QAction>
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
#include <mutex>

#include "host/qt/commands.h"
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
      handoff_(handoff) {
  setWindowTitle(program_name_);
  about_text_ = default_about_text(program_name_);
  create_client_area();
  create_actions();
  create_menus();
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

QAction* FrameWindow::make_command(const QString& text, int command, bool checkable) {
  auto* action = new QAction(text, this);
  action->setData(command);
  action->setCheckable(checkable);
  connect(action, &QAction::triggered, this,
          [this, action] { menu_command(action->data().toInt()); });
  actions_[command] = action;
  return action;
}

void FrameWindow::create_actions() {
  // The texts carry their shortcuts after a tab for show only: the keys are
  // taken by the active text window.
  make_command(QStringLiteral("&Print..."), kCmdPrint);
  make_command(QStringLiteral("&Save..."), kCmdSave);
  make_command(QStringLiteral("E&xit\tCtrl+C"), kCmdExit);
  make_command(QStringLiteral("Select &Text"), kCmdSelectText);
  make_command(QStringLiteral("Select &Graphics"), kCmdSelectGraphics);
  make_command(QStringLiteral("Select &All"), kCmdSelectAll);
  make_command(QStringLiteral("&Copy\tCtrl+Ins"), kCmdCopy);
  make_command(QStringLiteral("&Paste"), kCmdPaste);
  make_command(QStringLiteral("&Size To Fit"), kCmdSizeToFit, true);
  make_command(QStringLiteral("&Full Screen\tAlt+Enter"), kCmdFullScreen);
  state_action_ = make_command(QStringLiteral("&Pause\tCtrl+S"), kCmdPause);
  make_command(QStringLiteral("&Cascade"), kCmdCascade);
  make_command(QStringLiteral("&Tile"), kCmdTile);
  make_command(QStringLiteral("&Arrange Icons"), kCmdArrangeIcons);
  make_command(QStringLiteral("&Input"), kCmdInput);
  make_command(QStringLiteral("C&lear Paste"), kCmdClearPaste);
  make_command(QStringLiteral("&Status Bar"), kCmdStatusBar, true);
  make_command(QStringLiteral("&Contents"), kCmdContents);
  make_command(QStringLiteral("Using &Help"), kCmdUsingHelp);
  make_command(QStringLiteral("&About"), kCmdAbout);
  make_command(QStringLiteral("E&xit"), kCmdExitReduced);
  make_command(QStringLiteral("&Desempenho como motor-foguete..."), kCmdRocket);
  make_command(QStringLiteral("&Gráfico do impulso específico"), kCmdRocketPlot);
  make_command(QStringLiteral("&Listagem do desempenho"), kCmdRocketListing);
}

void FrameWindow::add_commands(QMenu* menu, std::initializer_list<int> commands) {
  for (int command : commands) {
    if (command == 0) {
      menu->addSeparator();
    } else {
      menu->addAction(actions_.at(command));
    }
  }
}

void FrameWindow::create_menus() {
  QMenuBar* bar = menuBar();
  // The bar of the frame while no text window is active.
  reduced_file_menu_ = bar->addMenu(QStringLiteral("&File"));
  add_commands(reduced_file_menu_, {kCmdExitReduced});

  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  add_commands(file, {kCmdPrint, kCmdSave, 0, kCmdExit});
  QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
  add_commands(edit, {kCmdSelectText, kCmdSelectGraphics, kCmdSelectAll, 0, kCmdCopy, kCmdPaste});
  QMenu* view = bar->addMenu(QStringLiteral("&View"));
  add_commands(view, {kCmdSizeToFit, kCmdFullScreen});
  QMenu* state = bar->addMenu(QStringLiteral("&State"));
  add_commands(state, {kCmdPause});
  create_program_menu();
  window_menu_ = bar->addMenu(QStringLiteral("&Window"));
  add_commands(window_menu_,
               {kCmdCascade, kCmdTile, kCmdArrangeIcons, kCmdInput, kCmdClearPaste, kCmdStatusBar});
  connect(window_menu_, &QMenu::aboutToShow, this, [this] { update_window_menu(); });
  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  add_commands(help, {kCmdContents, kCmdUsingHelp, 0, kCmdAbout});
  full_menus_ = {file, edit, view, state, window_menu_, help};

  for (QMenu* menu : full_menus_) {
    menu->installEventFilter(this);
    connect(menu, &QMenu::aboutToShow, this, [this] { update_menus(); });
  }
  reduced_file_menu_->installEventFilter(this);
  program_menu_->installEventFilter(this);
  connect(program_menu_, &QMenu::aboutToShow, this, [this] { update_menus(); });
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

// --- Menus ------------------------------------------------------------------------

void FrameWindow::update_menus() {
  TextWindow* active = active_text_window();
  const bool full = active != nullptr;
  for (QMenu* menu : full_menus_) {
    menu->menuAction()->setVisible(full);
  }
  reduced_file_menu_->menuAction()->setVisible(!full);
  update_program_menu();
  for (auto& [command, action] : actions_) {
    action->setEnabled(command_enabled(command));
  }
  actions_[kCmdSizeToFit]->setChecked(active != nullptr && active->view()->size_to_fit());
  actions_[kCmdStatusBar]->setChecked(!statusBar()->isHidden());
}

void FrameWindow::update_window_menu() {
  update_menus();
  // The fixed items, then one item per text window on screen.
  for (QAction* action : window_menu_->actions()) {
    if (action->property("zuna_window_item").toBool()) {
      window_menu_->removeAction(action);
      action->deleteLater();
    }
  }
  QList<QMdiSubWindow*> windows = mdi_->subWindowList();
  int shown = 0;
  for (QMdiSubWindow* sub : windows) {
    auto* window = qobject_cast<TextWindow*>(sub);
    if (window == nullptr || window->isHidden()) {
      continue;
    }
    if (shown == 0) {
      QAction* separator = window_menu_->addSeparator();
      separator->setProperty("zuna_window_item", true);
    }
    ++shown;
    QString text = shown < 10 ? QStringLiteral("&%1 %2").arg(shown).arg(window->windowTitle())
                              : QStringLiteral("%1 %2").arg(shown).arg(window->windowTitle());
    QAction* item = window_menu_->addAction(text);
    item->setProperty("zuna_window_item", true);
    item->setCheckable(true);
    item->setChecked(window == active_text_window());
    QPointer<TextWindow> target(window);
    connect(item, &QAction::triggered, this, [this, target] {
      if (target) {
        mdi_->setActiveSubWindow(target);
      }
    });
  }
}

bool FrameWindow::eventFilter(QObject* watched, QEvent* event) {
  // F1 while a menu is open: the next item chosen shows its help topic.
  if (event->type() == QEvent::KeyPress && qobject_cast<QMenu*>(watched) != nullptr &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
    help_mode_ = true;
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

// --- Status bar -----------------------------------------------------------------------

void FrameWindow::show_run_state() {
  const RunState state = gate_.state();
  run_state_label_->setText(QString::fromLatin1(run_state_text(state)));
  message_label_->setText(status_.shown());
  // The State item follows the state until the computation has finished.
  if (state == RunState::running) {
    state_action_->setText(QStringLiteral("&Pause\tCtrl+S"));
    state_action_->setData(kCmdPause);
  } else if (state == RunState::paused) {
    state_action_->setText(QStringLiteral("&Resume\tCtrl+Q"));
    state_action_->setData(kCmdResume);
  }
}

void FrameWindow::set_status_message(const QString& text) {
  status_.set(text);
  show_run_state();
}

QString FrameWindow::run_state_pane() const { return run_state_label_->text(); }

QString FrameWindow::message_pane() const { return message_label_->text(); }

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
  if (paste_.window() == number) {
    clear_paste();
  }
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

// --- Closing ------------------------------------------------------------------------------------

void FrameWindow::closeEvent(QCloseEvent* event) {
  // The menu of the start goes back first; then the frame and its windows go.
  for (QMenu* menu : full_menus_) {
    menu->menuAction()->setVisible(false);
  }
  program_menu_->menuAction()->setVisible(false);
  reduced_file_menu_->menuAction()->setVisible(true);
  closing_ = true;
  event->accept();
  emit closed();
}

}  // namespace zuna
