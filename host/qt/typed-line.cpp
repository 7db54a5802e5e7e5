#include "host/qt/typed-line.h"

#include <algorithm>
#include <cstring>

namespace zuna {

TypedLine::Effect TypedLine::type(char c) {
  Effect effect;
  if (text_.size() >= kCapacity) {
    effect.beep = true;
    return effect;
  }
  text_.push_back(c);
  effect.echo.push_back(c);
  return effect;
}

TypedLine::Effect TypedLine::tab() {
  Effect effect;
  for (std::size_t i = 0; i < kTabWidth; ++i) {
    if (text_.size() >= kTabLimit) {
      effect.beep = true;
      break;
    }
    text_.push_back(' ');
    effect.echo.push_back(' ');
  }
  return effect;
}

bool TypedLine::backspace() {
  if (text_.empty()) {
    return false;
  }
  text_.pop_back();
  return true;
}

int LeftOver::deliver(char* buffer, int capacity) {
  std::size_t n = std::min(text_.size(), static_cast<std::size_t>(std::max(capacity, 0)));
  std::memcpy(buffer, text_.data(), n);
  text_.erase(0, n);
  return static_cast<int>(n);
}

}  // namespace zuna
