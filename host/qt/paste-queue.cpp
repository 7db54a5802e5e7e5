#include "host/qt/paste-queue.h"

namespace zuna {

bool PasteQueue::start(std::string text, int window) {
  if (text.empty() || window == 0 || !empty()) {
    return false;
  }
  text_ = std::move(text);
  used_ = 0;
  window_ = window;
  return true;
}

void PasteQueue::clear() {
  text_.clear();
  used_ = 0;
  window_ = 0;
}

char PasteQueue::take() {
  char c = text_[used_++];
  if (c == '\r') {
    if (used_ < text_.size() && text_[used_] == '\n') {
      ++used_;
    }
    c = '\n';
  }
  if (used_ == text_.size()) {
    clear();
  }
  return c;
}

}  // namespace zuna
