// The frame's modal parts, shown while the computation waits: message boxes,
// the run-time error, the host's own errors, the question at the end of the
// run, the file dialog and the dialogs built from templates.
#include <QFileDialog>
#include <QMdiArea>
#include <QMessageBox>

#include "dialogs/dialog-template.h"
#include "host/qt/dialog-view.h"
#include "host/qt/frame-window.h"

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
    case MessageIcon::none: return QMessageBox::NoIcon;
    case MessageIcon::information: return QMessageBox::Information;
    case MessageIcon::warning: return QMessageBox::Warning;
    case MessageIcon::error: return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

MessageAnswer box_answer(int button, MessageAnswer default_answer) {
  switch (button) {
    case QMessageBox::Yes: return MessageAnswer::yes;
    case QMessageBox::No: return MessageAnswer::no;
    case QMessageBox::Ok: return MessageAnswer::ok;
    default: return default_answer;
  }
}

}  // namespace

// Once the frame is closing nobody is left to answer: every question takes
// its default answer and nothing is shown.

MessageAnswer FrameWindow::message_box(const QString& caption, const QString& text,
                                       MessageIcon icon, MessageButtons buttons,
                                       MessageAnswer default_answer) {
  if (closing_) {
    return default_answer;
  }
  const bool yes_no = buttons == MessageButtons::yes_no;
  QMessageBox box(box_icon(icon), caption, box_text(text),
                  yes_no ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, this);
  box.setWindowModality(Qt::ApplicationModal);
  if (yes_no) {
    box.setDefaultButton(default_answer == MessageAnswer::yes ? QMessageBox::Yes : QMessageBox::No);
  }
  return box_answer(box.exec(), default_answer);
}

void FrameWindow::show_runtime_error(const QString& text) {
  message_box(QStringLiteral("run-time error "), text, MessageIcon::error, MessageButtons::ok,
              MessageAnswer::ok);
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

bool FrameWindow::ask_exit_window(int exit_code) {
  if (closing_) {
    return true;
  }
  QMessageBox box(
      QMessageBox::Warning, program_name_,
      QStringLiteral("Program Terminated with exit code %1\nExit Window?").arg(exit_code),
      QMessageBox::Yes | QMessageBox::No, mdi_);
  box.setDefaultButton(QMessageBox::No);
  box.setWindowModality(Qt::ApplicationModal);
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> FrameWindow::select_file(int unit) {
  if (closing_) {
    return std::nullopt;
  }
  QString path =
      QFileDialog::getOpenFileName(this, QStringLiteral("Open: Select File for Unit %1").arg(unit),
                                   QString(), QString(), nullptr, QFileDialog::DontUseNativeDialog);
  if (path.isEmpty()) {
    return std::nullopt;
  }
  return path;
}

int FrameWindow::run_dialog(std::span<const std::uint8_t> dialog_template,
                            DialogController& controller) {
  std::optional<DialogTemplate> parsed = parse_dialog_template(dialog_template);
  if (!parsed || closing_) {
    return -1;
  }
  if (program_items_.dialog_beside_menu()) {
    return program_items_.run_dialog_beside_menu(*parsed, controller);
  }
  DialogView view(*parsed, controller, this);
  return view.run();
}

}  // namespace zuna
