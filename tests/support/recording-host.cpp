#include "tests/support/recording-host.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace zuna::testing {

namespace {

constexpr std::size_t kMaxUnscriptedQuestions = 1000;

}  // namespace

void MemoryDialogWindow::end_dialog(int r) {
  ended = true;
  result = r;
}

RecordingHost::RecordingHost() { windows[1024] = Window{"Graphic1", "", true, false}; }

int RecordingHost::text_window_open(std::string_view title) {
  for (int number = 1024; number < 1024 + 40; ++number) {
    auto it = windows.find(number);
    if (it != windows.end() && it->second.open) {
      continue;
    }
    std::string t(title.empty() ? "Graphic" + std::to_string(number - 1024 + 1)
                                : std::string(title));
    windows[number] = Window{t, "", true, false};
    events.push_back("open " + std::to_string(number) + " " + t);
    return number;
  }
  return -1;
}

int RecordingHost::text_window_write(int window, std::string_view text) {
  auto it = windows.find(window);
  if (it == windows.end() || !it->second.open) {
    return -1;
  }
  it->second.output.append(text.empty() ? std::string_view(" ") : text);
  events.push_back("write " + std::to_string(window) + " " + std::string(text));
  return static_cast<int>(text.size());
}

int RecordingHost::text_window_read_line(int window, char* buffer, int capacity) {
  auto it = windows.find(window);
  if (it == windows.end() || !it->second.open) {
    return -1;
  }
  events.push_back("read " + std::to_string(window));
  if (input_lines.empty()) {
    throw std::runtime_error("recording host: no scripted input line left");
  }
  std::string line = input_lines.front();
  input_lines.pop_front();
  int n = std::min<int>(capacity, static_cast<int>(line.size()));
  if (n > 0) {
    std::memcpy(buffer, line.data(), static_cast<std::size_t>(n));
  }
  if (n < static_cast<int>(line.size())) {
    input_lines.push_front(line.substr(static_cast<std::size_t>(n)));
  }
  it->second.output.append(line.substr(0, static_cast<std::size_t>(n)));
  return n;
}

void RecordingHost::text_window_close(int window, bool keep) {
  auto it = windows.find(window);
  if (it == windows.end()) {
    return;
  }
  events.push_back("close " + std::to_string(window) + (keep ? " keep" : ""));
  it->second.open = keep;
  it->second.kept = keep;
  if (!keep) {
    windows.erase(it);
  }
}

void RecordingHost::set_status_message(std::string_view text) {
  status_message = text;
  status_messages.emplace_back(text);
}

MessageAnswer RecordingHost::message_box(std::string_view caption, std::string_view text,
                                         MessageIcon, MessageButtons,
                                         MessageAnswer default_answer) {
  message_boxes.push_back(std::string(caption) + "|" + std::string(text));
  events.push_back("message " + std::string(caption) + "|" + std::string(text));
  if (message_answers.empty()) {
    // A question asked again and again with nothing scripted (a file
    // selection that is never answered) would hang the test.
    if (message_boxes.size() > kMaxUnscriptedQuestions) {
      throw std::runtime_error("recording host: question asked again and again");
    }
    return default_answer;
  }
  MessageAnswer a = message_answers.front();
  message_answers.pop_front();
  return a;
}

void RecordingHost::report_runtime_error(const RuntimeErrorReport& report) {
  errors.push_back(report);
  events.push_back("error " + report.box_text());
}

void RecordingHost::end_of_run(int code) {
  exit_code = code;
  events.push_back("end " + std::to_string(code));
}

void RecordingHost::pause_gate() { ++pause_count; }

std::optional<std::string> RecordingHost::select_file(int unit) {
  events.push_back("select " + std::to_string(unit));
  if (file_selections.empty()) {
    return std::nullopt;
  }
  auto f = file_selections.front();
  file_selections.pop_front();
  return f;
}

int RecordingHost::run_dialog_modal(std::span<const std::uint8_t>, DialogController& controller) {
  events.push_back("dialog");
  MemoryDialogWindow window;
  controller.dialog_opened(window);
  DialogScript script = press_ok;
  if (!dialog_scripts.empty()) {
    script = dialog_scripts.front();
    dialog_scripts.pop_front();
  }
  script(window, controller);
  if (!window.ended) {
    throw std::runtime_error("recording host: scripted dialog did not end");
  }
  return window.result;
}

const std::string& RecordingHost::output(int window) const {
  static const std::string none;
  auto it = windows.find(window);
  return it == windows.end() ? none : it->second.output;
}

void RecordingHost::press_ok(MemoryDialogWindow&, DialogController& controller) {
  controller.dialog_command(1, kBnClicked);
}

}  // namespace zuna::testing
