#include "host/console/console-host.h"

#include <algorithm>
#include <cstring>

#include "dialogs/dialog-template.h"
#include "fio/fio.h"
#include "fio/io-error.h"
#include "host/console/text-form.h"

namespace zuna {
namespace {

// A message box's text with its line breaks (CR LF, CR or LF) as newlines.
std::string as_lines(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') {
        ++i;
      }
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string without_trailing_blanks(std::string_view s) {
  while (!s.empty() && s.back() == ' ') {
    s.remove_suffix(1);
  }
  return std::string(s);
}

bool is_blank(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

ConsoleHost::ConsoleHost(std::FILE* out, std::FILE* in, std::FILE* err)
    : out_(out), in_(in), err_(err) {
  windows_[0] = Window{true, true, std::string()};
}

ConsoleHost::Window* ConsoleHost::open_window(int number) {
  const int slot = number - kFirstWindow;
  if (slot < 0 || slot >= kSlots || !windows_[static_cast<std::size_t>(slot)].open) {
    return nullptr;
  }
  return &windows_[static_cast<std::size_t>(slot)];
}

// Puts the window's title line on the terminal when its output does not
// continue what stands there last.
void ConsoleHost::show(int window) {
  if (shown_ == window) {
    return;
  }
  shown_ = window;
  out_.begin_line();
  const Window* w = open_window(window);
  if (w != nullptr && window != kFirstWindow) {
    out_.write_line("--- " + w->title + " ---");
  }
}

// --- Text windows ----------------------------------------------------------------

int ConsoleHost::text_window_open(std::string_view title) {
  for (int slot = 1; slot < kSlots; ++slot) {
    Window& w = windows_[static_cast<std::size_t>(slot)];
    if (w.taken) {
      continue;
    }
    w.taken = true;
    w.open = true;
    w.title = title.empty() ? "Graphic" + std::to_string(slot + 1) : std::string(title);
    shown_ = kNoWindow;
    show(kFirstWindow + slot);
    return kFirstWindow + slot;
  }
  return kNoWindow;
}

int ConsoleHost::text_window_write(int window, std::string_view text) {
  if (open_window(window) == nullptr) {
    return -1;
  }
  show(window);
  out_.write(text.empty() ? std::string_view(" ") : text);
  return static_cast<int>(text.size());
}

int ConsoleHost::text_window_read_line(int window, char* buffer, int capacity) {
  if (open_window(window) == nullptr) {
    return -1;
  }
  if (left_over_.empty()) {
    show(window);
    left_over_ = read_answer();
    // A window's input line holds 128 characters; the rest of a longer
    // line is not taken, as a window refuses to take it.
    if (left_over_.size() > kLineCapacity) {
      left_over_.resize(kLineCapacity);
    }
    if (left_over_.empty()) {
      return 0;
    }
  }
  const auto n = std::min(static_cast<std::size_t>(std::max(capacity, 0)), left_over_.size());
  std::memcpy(buffer, left_over_.data(), n);
  left_over_.erase(0, n);
  return static_cast<int>(n);
}

void ConsoleHost::text_window_close(int window, bool keep) {
  const int slot = window - kFirstWindow;
  if (slot <= 0 || slot >= kSlots) {
    return;
  }
  Window& w = windows_[static_cast<std::size_t>(slot)];
  w.open = false;
  w.taken = keep;
  if (shown_ == window) {
    out_.begin_line();
    shown_ = kNoWindow;
  }
}

// --- Answers from standard input -----------------------------------------------

std::string ConsoleHost::read_answer() {
  out_.flush();
  err_.flush();
  std::optional<std::string> line = in_.read_line();
  if (!line) {
    end_of_input();
  }
  out_.line_ended_by_input(in_.is_terminal() && out_.is_terminal());
  return *line;
}

void ConsoleHost::end_of_input() {
  out_.begin_line();
  out_.flush();
  write_error("zuna4c: standard input ended while the program was waiting for an answer\n");
  abort_program(1);
}

void ConsoleHost::write_error(std::string_view cp1252) {
  out_.flush();
  err_.write(cp1252);
  err_.flush();
}

// --- Messages ---------------------------------------------------------------------

void ConsoleHost::set_status_message(std::string_view) {}

MessageAnswer ConsoleHost::message_box(std::string_view caption, std::string_view text, MessageIcon,
                                       MessageButtons buttons, MessageAnswer default_answer) {
  err_.begin_line();
  write_error(without_trailing_blanks(caption) + ": " + as_lines(text) + "\n");
  if (buttons == MessageButtons::ok) {
    return MessageAnswer::ok;
  }
  const bool yes_default = default_answer == MessageAnswer::yes;
  for (;;) {
    write_error(yes_default ? "(Y/n)? " : "(y/N)? ");
    const std::string answer = read_answer();
    err_.line_ended_by_input(in_.is_terminal() && err_.is_terminal());
    if (is_blank(answer)) {
      return default_answer;
    }
    const char c = answer[answer.find_first_not_of(" \t")];  // not blank, see above
    if (c == 'y' || c == 'Y' || c == 's' || c == 'S') {
      return MessageAnswer::yes;
    }
    if (c == 'n' || c == 'N') {
      return MessageAnswer::no;
    }
  }
}

void ConsoleHost::report_runtime_error(const RuntimeErrorReport& report) {
  out_.begin_line();
  write_error(report.console_text());
}

void ConsoleHost::end_of_run(int) {
  out_.begin_line();
  out_.flush();
  err_.flush();
}

void ConsoleHost::pause_gate() {}

int ConsoleHost::finish(int exit_code) {
  out_.flush();
  const int error = out_.error();
  if (error == 0) {
    return exit_code;
  }
  write_error("zuna4c: cannot write to standard output: " + system_error_text(error) + "\n");
  return exit_code == 0 ? 1 : exit_code;
}

std::optional<std::string> ConsoleHost::select_file(int unit) {
  for (;;) {
    shown_ = kNoWindow;
    out_.begin_line();
    out_.write("File name missing or blank - please enter file name\r\nUNIT " +
               std::to_string(unit) + "? ");
    std::string name = read_answer();
    if (!is_blank(name)) {
      return name;
    }
  }
}

// --- Dialogs ----------------------------------------------------------------------

int ConsoleHost::run_dialog_modal(std::span<const std::uint8_t> dialog_template,
                                  DialogController& controller) {
  const std::optional<DialogTemplate> dialog = parse_dialog_template(dialog_template);
  if (!dialog) {
    return -1;
  }
  TextForm form(*dialog);
  controller.dialog_opened(form);

  const std::string caption = "=== " + low_bytes(dialog->caption) + " ===";
  auto show_form = [&] {
    shown_ = kNoWindow;
    out_.begin_line();
    out_.write_line(caption);
    for (const std::string& line : form.render()) {
      out_.write_line(line);
    }
    out_.write_line(
        "(ID=text sets a field, ID ticks a box or chooses a button, "
        "Enter presses the default button, ? shows the form)");
  };
  show_form();
  while (!form.ended()) {
    out_.write("> ");
    const std::string line = read_answer();
    std::string hint;
    switch (form.handle_input(line, controller, hint)) {
      case TextForm::InputResult::done: break;
      case TextForm::InputResult::show_form: show_form(); break;
      case TextForm::InputResult::not_understood: write_error("zuna4c: " + hint + "\n"); break;
    }
  }
  return form.result();
}

}  // namespace zuna
