#include "host/qt/status-message.h"

namespace zuna {

void StatusMessage::set(const QString& text) {
  if (text.isEmpty()) {
    shown_ = saved_;
    saved_.clear();
    return;
  }
  if (!shown_.isEmpty()) {
    saved_ = shown_;
  }
  shown_ = text;
}

}  // namespace zuna
