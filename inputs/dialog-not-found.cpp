#include "inputs/dialog-not-found.h"

#include "fio/fio.h"

namespace zuna {

void write_dialog_not_found() {
  static constexpr char kText[] = "Error: dialog not found";
  begin_write(kDefaultUnit, nullptr, 0);
  put_chars(kText, static_cast<int>(sizeof kText - 1));
  end_write();
}

}  // namespace zuna
