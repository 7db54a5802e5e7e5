// The status message beside the run state, with one saved message: a
// message set while another is shown puts that one aside, and clearing the
// newer one brings it back ("Input pending in ..." set during another
// message, for example).
#pragma once

#include <QString>

namespace zuna {

class StatusMessage {
 public:
  // An empty text clears the shown message.
  void set(const QString& text);
  const QString& shown() const { return shown_; }

 private:
  QString shown_;
  QString saved_;
};

}  // namespace zuna
