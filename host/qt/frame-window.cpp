#include "host/qt/frame-window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <mutex>

#include "dialogs/dialog-template.h"
#include "host/qt/commands.h"
#include "host/qt/cp1252.h"
#include "host/qt/dialog-view.h"
#include "host/qt/help-viewer.h"
#include "host/qt/line-handoff.h"
#include "host/qt/pause-gate.h"
#include "host/qt/screen-export.h"
#include "host/qt/window-table.h"

namespace zuna {
namespace {

// Texts of the run-time cross with their Windows line ends.
QString box_text(const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

QMessageBox::Icon box_icon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::none:
      return QMessageBox::NoIcon;
    case MessageIcon::information:
      return QMessageBox::Information;
    case MessageIcon::warning:
      return QMessageBox::Warning;
    case MessageIcon::error:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
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
  about_text_ = program_name_ +
                QStringLiteral(" - combustion of hydrogen with oxygen\n\n"
                               "Products without and with dissociation, their mole and mass "
                               "fractions and the adiabatic flame temperature over a sweep of "
                               "O/F ratios.\n\nWindowed host on Qt ") +
                QString::fromLatin1(qVersion());
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
  connect(action, &QAction::triggered, this, [this, action] { menu_command(action->data().toInt()); });
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
  window_menu_ = bar->addMenu(QStringLiteral("&Window"));
  add_commands(window_menu_, {kCmdCascade, kCmdTile, kCmdArrangeIcons, kCmdInput, kCmdClearPaste,
                              kCmdStatusBar});
  connect(window_menu_, &QMenu::aboutToShow, this, [this] { update_window_menu(); });
  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  add_commands(help, {kCmdContents, kCmdUsingHelp, 0, kCmdAbout});
  full_menus_ = {file, edit, view, state, window_menu_, help};

  for (QMenu* menu : full_menus_) {
    menu->installEventFilter(this);
    connect(menu, &QMenu::aboutToShow, this, [this] { update_menus(); });
  }
  reduced_file_menu_->installEventFilter(this);
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

bool FrameWindow::command_enabled(int command) const {
  TextWindow* active = active_text_window();
  switch (command) {
    case kCmdCopy:
      return active != nullptr && active->has_selection();
    case kCmdPaste: {
      const QMimeData* data = QGuiApplication::clipboard()->mimeData();
      return paste_.empty() && data != nullptr && data->hasText();
    }
    case kCmdClearPaste:
      return !paste_.empty();
    case kCmdInput:
      return pending_read_ != 0;
    default:
      return true;
  }
}

HelpViewer* FrameWindow::help_viewer() const { return help_.data(); }

QAction* FrameWindow::command_action(int command) const {
  auto it = actions_.find(command);
  return it != actions_.end() ? it->second : nullptr;
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

void FrameWindow::menu_command(int command) {
  if (help_mode_) {
    help_mode_ = false;
    QString topic = help_topic(command);
    if (topic.isEmpty()) {
      QMessageBox::information(this, program_name_,
                               QStringLiteral("Help not available for menu item"));
    } else {
      if (!help_) {
        help_ = new HelpViewer(program_name_, this);
      }
      help_->show_topic(topic);
    }
    return;
  }
  run_command(command);
}

void FrameWindow::run_command(int command) {
  TextWindow* active = active_text_window();
  switch (command) {
    case kCmdExit:
    case kCmdExitReduced:
      close();
      return;
    case kCmdPause:
      pause();
      return;
    case kCmdResume:
      resume();
      return;
    case kCmdCascade:
      mdi_->cascadeSubWindows();
      return;
    case kCmdTile:
      mdi_->tileSubWindows();
      return;
    case kCmdArrangeIcons:
      arrange_icons();
      return;
    case kCmdStatusBar:
      toggle_status_bar();
      return;
    case kCmdContents:
    case kCmdUsingHelp:
      if (!help_) {
        help_ = new HelpViewer(program_name_, this);
      }
      command == kCmdContents ? help_->show_contents() : help_->show_using_help();
      return;
    case kCmdAbout:
      about();
      return;
    case kCmdInput:
      activate_input_window();
      return;
    case kCmdClearPaste:
      clear_paste();
      return;
    default:
      break;
  }
  // The rest is carried out by the active text window.
  if (active == nullptr) {
    return;
  }
  switch (command) {
    case kCmdSelectText:
      begin_selection(SelectionMode::text);
      break;
    case kCmdSelectGraphics:
      begin_selection(SelectionMode::graphics);
      break;
    case kCmdSelectAll:
      select_all();
      break;
    case kCmdCopy:
      copy();
      break;
    case kCmdPaste:
      paste();
      break;
    case kCmdSizeToFit:
      toggle_size_to_fit();
      break;
    case kCmdFullScreen:
      toggle_full_screen();
      break;
    case kCmdPrint:
      print();
      break;
    case kCmdSave:
      save();
      break;
    default:
      break;
  }
  update_menus();
}

// --- Pause and selection ------------------------------------------------------------

void FrameWindow::pause() {
  gate_.pause();
  show_run_state();
}

void FrameWindow::resume() {
  if (TextWindow* active = active_text_window()) {
    active->end_selection();
  }
  gate_.resume();
  show_run_state();
  feed_paste();
}

void FrameWindow::begin_selection(SelectionMode mode) {
  TextWindow* active = active_text_window();
  const bool was_selecting = active->selecting();
  active->begin_selection(mode);
  if (!was_selecting) {
    pause();
  }
}

void FrameWindow::select_all() {
  TextWindow* active = active_text_window();
  const bool was_selecting = active->selecting();
  active->select_all();
  if (!was_selecting) {
    pause();
  }
}

void FrameWindow::copy() {
  TextWindow* active = active_text_window();
  if (!active->has_selection()) {
    return;
  }
  active->copy_selection();
  resume();
}

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
  if (paste_window_ == number) {
    clear_paste();
  }
  table_.release(number);
  window->mark_closed();  // lets it close
  window->close();        // deleted on close
  update_menus();
}

void FrameWindow::window_closed(int number) {
  table_.release(number);
  QMetaObject::invokeMethod(this, [this] { update_menus(); }, Qt::QueuedConnection);
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

// --- Typed input --------------------------------------------------------------------------

bool FrameWindow::begin_read(int number) {
  if (!configure_window(number)) {
    return false;
  }
  TextWindow* window = text_window(number);
  pending_read_ = number;
  typed_.clear();
  window->set_input_pending(true);
  set_status_message(QStringLiteral("Input pending in ") + window->title());
  update_menus();
  feed_paste();
  return true;
}

void FrameWindow::window_typed(TextWindow& window, QKeyEvent* event) {
  if (gate_.state() == RunState::paused || pending_read_ != window.number()) {
    beep();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      complete_line();
      return;
    case Qt::Key_Backspace: {
      bool erased = false;
      if (typed_.backspace()) {
        std::lock_guard lock(window.state()->drawing);
        erased = window.state()->screen.erase_back();
      }
      if (!erased) {
        beep();
      }
      window.view()->viewport()->update();
      return;
    }
    case Qt::Key_Tab: {
      TypedLine::Effect effect = typed_.tab();
      echo(window, effect.echo);
      if (effect.beep) {
        beep();
      }
      return;
    }
    default:
      break;
  }
  for (QChar ch : event->text()) {
    char c = 0;
    if (!ch.isPrint() || !to_cp1252_char(ch, c)) {
      beep();
      continue;
    }
    TypedLine::Effect effect = typed_.type(c);
    echo(window, effect.echo);
    if (effect.beep) {
      beep();
    }
  }
}

void FrameWindow::echo(TextWindow& window, const std::string& text) {
  if (text.empty()) {
    return;
  }
  {
    std::lock_guard lock(window.state()->drawing);
    window.state()->screen.write(text);
  }
  window.view()->viewport()->update();
}

void FrameWindow::complete_line() {
  const int number = pending_read_;
  pending_read_ = 0;
  if (TextWindow* window = text_window(number)) {
    window->set_input_pending(false);
  }
  set_status_message(QString());
  update_menus();
  std::string line = typed_.text();
  typed_.clear();
  handoff_.complete(std::move(line));
}

void FrameWindow::paste() {
  const QString text = QGuiApplication::clipboard()->text();
  if (text.isEmpty() || !paste_.empty()) {
    return;
  }
  paste_ = to_cp1252(text);
  paste_window_ = active_text_window()->number();
  feed_paste();
}

void FrameWindow::clear_paste() {
  paste_.clear();
  paste_window_ = 0;
  update_menus();
}

void FrameWindow::feed_paste() {
  // Line by line: a line end completes the pending read, and the rest waits
  // for the next read in the same window.
  std::size_t used = 0;
  while (used < paste_.size() && pending_read_ != 0 && pending_read_ == paste_window_ &&
         gate_.state() != RunState::paused) {
    TextWindow* window = text_window(pending_read_);
    const char c = paste_[used++];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && used < paste_.size() && paste_[used] == '\n') {
        ++used;
      }
      complete_line();
      break;
    }
    TypedLine::Effect effect;
    if (c == '\t') {
      effect = typed_.tab();
    } else if (static_cast<unsigned char>(c) >= 0x20) {
      effect = typed_.type(c);
    }
    echo(*window, effect.echo);
    if (effect.beep) {
      beep();
    }
  }
  paste_.erase(0, used);
  if (paste_.empty() && paste_window_ != 0) {
    paste_window_ = 0;
    update_menus();
  }
}

void FrameWindow::activate_input_window() {
  if (pending_read_ != 0) {
    activate_window(pending_read_);
  }
}

void FrameWindow::beep() {
  ++beeps_;
  QApplication::beep();
}

// --- Keys and selections of the text windows ------------------------------------------

void FrameWindow::window_command(int command) { run_command(command); }

bool FrameWindow::window_command_enabled(int command) { return command_enabled(command); }

void FrameWindow::window_selection_changed(TextWindow&) { update_menus(); }

// --- View, window and file commands --------------------------------------------------------

void FrameWindow::toggle_size_to_fit() {
  TextWindow* active = active_text_window();
  active->view()->set_size_to_fit(!active->view()->size_to_fit());
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

void FrameWindow::arrange_icons() {
  int x = 0;
  const int bottom = mdi_->viewport()->height();
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    if (window->isMinimized()) {
      window->move(x, bottom - window->height());
      x += window->width();
    }
  }
}

void FrameWindow::toggle_status_bar() {
  statusBar()->setVisible(statusBar()->isHidden());
  update_menus();
}

void FrameWindow::about() {
  QMessageBox box(QMessageBox::Information, program_name_, about_text_, QMessageBox::Ok, this);
  box.exec();
}

QImage FrameWindow::image_copy(TextWindow& window) {
  std::lock_guard lock(window.state()->drawing);
  return window.state()->screen.image().copy();
}

void FrameWindow::print() {
  QString failure = print_image(image_copy(*active_text_window()), this);
  if (!failure.isEmpty()) {
    QMessageBox box(QMessageBox::Warning, program_name_, failure, QMessageBox::Ok, this);
    box.exec();
  }
}

void FrameWindow::save() {
  TextWindow* active = active_text_window();
  QFileDialog dialog(this, QStringLiteral("Save"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters({QStringLiteral("Bitmap Files(*.bmp)"), QStringLiteral("All Files(*.*)")});
  dialog.setDefaultSuffix(QStringLiteral("bmp"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() || closing_) {
    return;
  }
  if (!save_bitmap(image_copy(*active), dialog.selectedFiles().constFirst())) {
    show_host_error(HostErrorLevel::error, kHostInternalError, __FILE__, __LINE__);
  }
}

// --- Boxes, dialogs and file selection -----------------------------------------------------

MessageAnswer FrameWindow::message_box(const QString& caption, const QString& text,
                                       MessageIcon icon, MessageButtons buttons,
                                       MessageAnswer default_answer) {
  if (closing_) {
    return default_answer;
  }
  QMessageBox box(box_icon(icon), caption, box_text(text),
                  buttons == MessageButtons::yes_no ? QMessageBox::Yes | QMessageBox::No
                                                    : QMessageBox::Ok,
                  this);
  box.setWindowModality(Qt::ApplicationModal);
  if (buttons == MessageButtons::yes_no) {
    box.setDefaultButton(default_answer == MessageAnswer::yes ? QMessageBox::Yes : QMessageBox::No);
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageAnswer::yes;
    case QMessageBox::No:
      return MessageAnswer::no;
    case QMessageBox::Ok:
      return MessageAnswer::ok;
    default:
      return default_answer;
  }
}

void FrameWindow::show_runtime_error(const QString& text) {
  message_box(QStringLiteral("run-time error "), text, MessageIcon::error, MessageButtons::ok,
              MessageAnswer::ok);
}

bool FrameWindow::ask_exit_window(int exit_code) {
  if (closing_) {
    return true;
  }
  QMessageBox box(QMessageBox::Warning, program_name_,
                  QStringLiteral("Program Terminated with exit code %1\nExit Window?").arg(exit_code),
                  QMessageBox::Yes | QMessageBox::No, mdi_);
  box.setDefaultButton(QMessageBox::No);
  box.setWindowModality(Qt::ApplicationModal);
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> FrameWindow::select_file(int unit) {
  while (!closing_) {
    QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open: Select File for Unit %1").arg(unit), QString(), QString(),
        nullptr, QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty()) {
      return path;
    }
    if (closing_) {
      break;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("File Open Error"),
                    QStringLiteral("A File Must be Selected\n\nTerminate Program?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() == QMessageBox::Yes) {
      break;
    }
  }
  return std::nullopt;
}

int FrameWindow::run_dialog(std::span<const std::uint8_t> dialog_template,
                            DialogController& controller) {
  std::optional<DialogTemplate> parsed = parse_dialog_template(dialog_template);
  if (!parsed || closing_) {
    return -1;
  }
  DialogView view(*parsed, controller, this);
  return view.run();
}

void FrameWindow::show_host_error(HostErrorLevel level, int code, const char* file, int line) {
  QMessageBox box(level == HostErrorLevel::warning ? QMessageBox::Warning : QMessageBox::Critical,
                  host_error_caption(level), host_error_text(level, code, file, line),
                  QMessageBox::Ok, this);
  box.setWindowModality(Qt::ApplicationModal);
  if (!closing_) {
    box.exec();
  }
  if (level == HostErrorLevel::fatal) {
    emit fatal_error();
  }
}

// --- Closing ------------------------------------------------------------------------------------

void FrameWindow::closeEvent(QCloseEvent* event) {
  // The menu of the start goes back first; then the frame and its windows go.
  for (QMenu* menu : full_menus_) {
    menu->menuAction()->setVisible(false);
  }
  reduced_file_menu_->menuAction()->setVisible(true);
  closing_ = true;
  event->accept();
  emit closed();
}

}  // namespace zuna
