#include "fio/file-names.h"

#include <deque>
#include <mutex>
#include <optional>

#include "fio/fio.h"
#include "fio/open-keywords.h"

namespace zuna {

namespace {

std::mutex arguments_mutex;
std::deque<std::string> arguments;

std::optional<std::string> next_argument() {
  std::lock_guard lock(arguments_mutex);
  if (arguments.empty()) {
    return std::nullopt;
  }
  std::string name = std::move(arguments.front());
  arguments.pop_front();
  return name;
}

bool blank(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

SpecialName classify_file_name(std::string_view name) {
  name = trim_trailing_blanks(name);
  if (name.find_first_of("/\\") != std::string_view::npos) {
    return SpecialName::none;
  }
  std::string_view base = name.substr(0, name.find('.'));
  if (base.size() != 3 && base.size() != 4) {
    return SpecialName::none;
  }
  switch (match_keyword(base, {"USER", "CON", "LINE", "NUL", "ERR", "PRN", "AUX", "COM1", "COM2",
                               "COM3", "COM4", "LPT1", "LPT2", "LPT3", "LPT4"})) {
    case 0: return SpecialName::user;
    case 1:
    case 2: return SpecialName::console;
    case 3: return SpecialName::null;
    case 4: return SpecialName::error;
    case -1: return SpecialName::none;
    default: return SpecialName::port;
  }
}

void set_command_line(int argc, const char* const* argv) {
  std::lock_guard lock(arguments_mutex);
  arguments.clear();
  for (int i = 0; i < argc && argv != nullptr; ++i) {
    if (argv[i] != nullptr) {
      arguments.emplace_back(argv[i]);
    }
  }
}

std::string obtain_file_name(int unit) {
  if (std::optional<std::string> name = next_argument(); name && !blank(*name)) {
    return *name;
  }
  Host& host = runtime_host();
  for (;;) {
    std::optional<std::string> name = host.select_file(unit);
    if (name && !blank(*name)) {
      return *name;
    }
    MessageAnswer answer =
        host.message_box("File Open Error", "A File Must be Selected\r\rTerminate Program?",
                         MessageIcon::warning, MessageButtons::yes_no, MessageAnswer::no);
    if (answer == MessageAnswer::yes) {
      abort_program(1);
    }
  }
}

}  // namespace zuna
