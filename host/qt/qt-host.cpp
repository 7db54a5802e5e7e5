#include "host/qt/qt-host.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "fio/fio.h"
#include "host/qt/cp1252.h"

namespace zuna {

QString program_name_from_path(const char* argv0) {
  QString name =
      argv0 != nullptr ? QFileInfo(QString::fromLocal8Bit(argv0)).completeBaseName() : QString();
  return name.isEmpty() ? QStringLiteral("zuna4") : name;
}

QtHost::QtHost(const FrameOptions& options) {
  // The frame's close ends the process with the program's code, not Qt's 0.
  QApplication::setQuitOnLastWindowClosed(false);
  frame_ = std::make_unique<FrameWindow>(options, table_, gate_, handoff_);
  connect(frame_.get(), &FrameWindow::closed, this, [this] { shut_down(); });
  connect(frame_.get(), &FrameWindow::fatal_error, this, [this] {
    {
      std::lock_guard lock(mutex_);
      exit_code_ = -1;
    }
    frame_->close();
  });
  // The default window: untitled, so "Graphic1", number 1024.
  frame_->open_text_window(QString());
}

QtHost::~QtHost() {
  shut_down();
  if (thread_.joinable()) {
    if (wait_for_computation(std::chrono::seconds(5))) {
      thread_.join();
    } else {
      thread_.detach();
    }
  }
}

void QtHost::start(std::function<void()> computation) {
  thread_ =
      std::thread([this, computation = std::move(computation)] { computation_main(computation); });
}

void QtHost::computation_main(const std::function<void()>& computation) {
  // Below normal priority, so that typing, scrolling and menus stay
  // responsive during a long sweep.
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 5);
  int code = 0;
  try {
    try {
      computation();
      end_of_run(0);  // the main program returned
    } catch (const ProgramExit& exit) {
      code = exit.exit_code;
    } catch (const std::bad_alloc&) {
      code = -1;
      on_gui([this] {
        frame_->show_host_error(HostErrorLevel::fatal, kHostOutOfMemory, __FILE__, __LINE__);
      });
    } catch (...) {
      code = -1;
      on_gui([this] {
        frame_->show_host_error(HostErrorLevel::fatal, kHostInternalError, __FILE__, __LINE__);
      });
    }
  } catch (const ProgramExit&) {
    // The frame closed while the fatal error was reported.
  }
  {
    std::lock_guard lock(mutex_);
    exit_code_ = code;
    computation_ended_ = true;
  }
  ended_.notify_all();
}

int QtHost::finish() {
  shut_down();
  if (thread_.joinable()) {
    if (wait_for_computation(std::chrono::seconds(2))) {
      thread_.join();
    } else {
      // Blocked in an external command: the process ends without it.
      std::fflush(nullptr);
      std::_Exit(exit_code());
    }
  }
  return exit_code();
}

void QtHost::shut_down() {
  gate_.close();
  handoff_.close();
  caller_.close();
  QCoreApplication::exit(exit_code());
}

int QtHost::exit_code() const {
  std::lock_guard lock(mutex_);
  return exit_code_;
}

bool QtHost::computation_ended() const {
  std::lock_guard lock(mutex_);
  return computation_ended_;
}

bool QtHost::wait_for_computation(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return ended_.wait_for(lock, limit, [this] { return computation_ended_; });
}

void QtHost::set_end_of_run_mode(EndOfRunMode mode) {
  std::lock_guard lock(mutex_);
  end_of_run_mode_ = mode;
}

void QtHost::set_about_text(const QString& text) {
  on_gui([&] { frame_->set_about_text(text); });
}

int QtHost::current_output_window() const {
  std::lock_guard lock(mutex_);
  return current_output_;
}

void QtHost::on_gui(const std::function<void()>& fn) {
  if (!caller_.call(fn)) {
    closing_exit();
  }
}

void QtHost::closing_exit() { throw ProgramExit{exit_code()}; }

// --- Text windows ---------------------------------------------------------------------

int QtHost::text_window_open(std::string_view title) {
  int number = -1;
  QString text = from_cp1252(title);
  on_gui([&] { number = frame_->open_text_window(text); });
  return number;
}

int QtHost::text_window_write(int window, std::string_view text) {
  pause_gate();
  const bool gui = caller_.on_gui_thread();
  std::shared_ptr<TextWindowState> state = table_.state(window);
  if (!state) {
    return -1;
  }
  bool configured = false;
  {
    std::lock_guard lock(state->drawing);
    configured = state->screen.configured();
  }
  if (!configured) {
    on_gui([&] { configured = frame_->configure_window(window); });
    if (!configured) {
      return -1;
    }
  }
  {
    std::lock_guard lock(state->drawing);
    state->screen.write(text);
  }
  {
    std::lock_guard lock(mutex_);
    current_output_ = window;
  }
  // Ask for a repaint without waiting; one request covers many writes.
  if (!state->repaint_posted.exchange(true)) {
    if (gui) {
      frame_->repaint_text_windows();
    } else {
      QMetaObject::invokeMethod(frame_.get(), "repaint_text_windows", Qt::QueuedConnection);
    }
  }
  return static_cast<int>(text.size());
}

int QtHost::text_window_read_line(int window, char* buffer, int capacity) {
  if (!table_.state(window)) {
    return -1;
  }
  bool ready = false;
  if (!left_over_.empty()) {
    on_gui([&] { ready = frame_->configure_window(window); });
    return ready ? left_over_.deliver(buffer, capacity) : -1;
  }
  on_gui([&] { ready = frame_->input().begin_read(window); });
  if (!ready) {
    return -1;
  }
  std::optional<std::string> line;
  if (caller_.on_gui_thread()) {
    // A read from the GUI thread itself (a dialog's callback) keeps the
    // events flowing until the line is complete.
    while (!(line = handoff_.take()) && !handoff_.closed()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
  } else {
    line = handoff_.wait();
  }
  if (!line) {
    closing_exit();
  }
  left_over_.keep(*line);
  return left_over_.deliver(buffer, capacity);
}

void QtHost::text_window_close(int window, bool keep) {
  on_gui([&] { frame_->close_text_window(window, keep); });
  std::lock_guard lock(mutex_);
  if (current_output_ == window) {
    current_output_ = 0;
  }
}

void QtHost::set_status_message(std::string_view text) {
  QString message = from_cp1252(text);
  on_gui([&] { frame_->set_status_message(message); });
}

// --- Boxes, dialogs, files --------------------------------------------------------------

MessageAnswer QtHost::message_box(std::string_view caption, std::string_view text, MessageIcon icon,
                                  MessageButtons buttons, MessageAnswer default_answer) {
  MessageAnswer answer = default_answer;
  QString caption_text = from_cp1252(caption);
  QString body = from_cp1252(text);
  on_gui([&] { answer = frame_->message_box(caption_text, body, icon, buttons, default_answer); });
  return answer;
}

void QtHost::report_runtime_error(const RuntimeErrorReport& report) {
  QString text = from_cp1252(report.box_text());
  on_gui([&] { frame_->show_runtime_error(text); });
}

std::optional<std::string> QtHost::select_file(int unit) {
  std::optional<QString> path;
  on_gui([&] { path = frame_->select_file(unit); });
  if (!path) {
    return std::nullopt;
  }
  return QFile::encodeName(*path).toStdString();
}

int QtHost::run_dialog_modal(std::span<const std::uint8_t> dialog_template,
                             DialogController& controller) {
  int result = -1;
  bool closed = false;
  on_gui([&] {
    result = frame_->run_dialog(dialog_template, controller);
    closed = frame_->closing();
  });
  // The results menu leaves the frame's menus usable (program-items.h):
  // Exit there ends the program as Exit does elsewhere, rather than as a
  // dialog that could not be shown.
  if (closed) {
    closing_exit();
  }
  return result;
}

// --- Run state ------------------------------------------------------------------------------

void QtHost::pause_gate() {
  if (caller_.on_gui_thread()) {
    return;  // the GUI thread never waits for itself
  }
  if (!gate_.wait_while_paused()) {
    closing_exit();
  }
}

void QtHost::end_of_run(int exit_code) {
  EndOfRunMode mode;
  {
    std::lock_guard lock(mutex_);
    exit_code_ = exit_code;
    mode = end_of_run_mode_;
  }
  gate_.finish();
  // When the frame is closing already there is nobody left to ask.
  caller_.call([&] {
    frame_->show_run_state();
    bool close = mode == EndOfRunMode::close ||
                 (mode == EndOfRunMode::ask && frame_->ask_exit_window(exit_code));
    if (close) {
      frame_->close();
    }
  });
}

}  // namespace zuna
