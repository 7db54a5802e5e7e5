#include "host/console/terminal.h"

#include <unistd.h>

#include <cerrno>

#include "host/console/cp1252.h"

namespace zuna {

TerminalOutput::TerminalOutput(std::FILE* stream)
    : stream_(stream), is_terminal_(isatty(fileno(stream)) != 0) {}

void TerminalOutput::emit_pending_return() {
  if (pending_return_) {
    std::fputc('\r', stream_);
    pending_return_ = false;
  }
}

void TerminalOutput::write(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size() + 8);
  std::size_t plain_start = 0;
  auto flush_plain = [&](std::size_t end) {
    if (end > plain_start) {
      out += cp1252_to_utf8(cp1252.substr(plain_start, end - plain_start));
      line_has_text_ = true;
    }
  };
  for (std::size_t i = 0; i < cp1252.size(); ++i) {
    const auto c = static_cast<unsigned char>(cp1252[i]);
    const bool control = c < 0x20 || c == 0x7F;
    if (!control || c == '\t') {
      if (pending_return_) {
        out += '\r';
        pending_return_ = false;
      }
      continue;
    }
    flush_plain(i);
    plain_start = i + 1;
    if (c == '\n') {
      pending_return_ = false;  // CR LF is one newline
      out += '\n';
      line_has_text_ = false;
    } else if (c == '\r') {
      if (pending_return_) {
        out += '\r';
      }
      pending_return_ = true;
    } else {
      if (pending_return_) {
        out += '\r';
        pending_return_ = false;
      }
      if (c == '\f') {
        out += '\n';
        line_has_text_ = false;
      } else {
        out += '?';
        line_has_text_ = true;
      }
    }
  }
  flush_plain(cp1252.size());
  if (std::fwrite(out.data(), 1, out.size(), stream_) != out.size()) {
    note_failure();
  }
  if (is_terminal_ && std::fflush(stream_) != 0) {
    note_failure();
  }
}

void TerminalOutput::note_failure() {
  if (error_ == 0) {
    error_ = errno != 0 ? errno : EIO;
  }
}

void TerminalOutput::begin_line() {
  emit_pending_return();
  if (line_has_text_) {
    std::fputc('\n', stream_);
    line_has_text_ = false;
  }
}

void TerminalOutput::write_line(std::string_view cp1252) {
  begin_line();
  write(cp1252);
  write("\n");
}

void TerminalOutput::flush() {
  emit_pending_return();
  if (std::fflush(stream_) != 0) {
    note_failure();
  }
}

void TerminalOutput::line_ended_by_input(bool echoed) {
  if (!echoed && line_has_text_) {
    emit_pending_return();
    std::fputc('\n', stream_);
  }
  line_has_text_ = false;
}

TerminalInput::TerminalInput(std::FILE* stream)
    : stream_(stream), is_terminal_(isatty(fileno(stream)) != 0) {}

std::optional<std::string> TerminalInput::read_line() {
  std::string line;
  bool any = false;
  for (;;) {
    const int c = std::fgetc(stream_);
    if (c == EOF) {
      break;
    }
    any = true;
    if (c == '\n') {
      break;
    }
    line += static_cast<char>(c);
  }
  if (!any) {
    return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  return utf8_to_cp1252(line);
}

}  // namespace zuna
