#include "host/qt/window-table.h"

#include "host/qt/text-window.h"

namespace zuna {

int WindowTable::first_free() const {
  std::lock_guard lock(mutex_);
  for (int slot = 0; slot < kSlots; ++slot) {
    if (!slots_[static_cast<std::size_t>(slot)].state) {
      return kFirstNumber + slot;
    }
  }
  return -1;
}

void WindowTable::fill(int number, std::shared_ptr<TextWindowState> state, TextWindow* window) {
  std::lock_guard lock(mutex_);
  Slot& slot = slots_[static_cast<std::size_t>(number - kFirstNumber)];
  slot.state = std::move(state);
  slot.window = window;
}

void WindowTable::release(int number) {
  if (!valid(number)) {
    return;
  }
  std::lock_guard lock(mutex_);
  slots_[static_cast<std::size_t>(number - kFirstNumber)] = Slot{};
}

std::shared_ptr<TextWindowState> WindowTable::state(int number) const {
  if (!valid(number)) {
    return nullptr;
  }
  std::lock_guard lock(mutex_);
  return slots_[static_cast<std::size_t>(number - kFirstNumber)].state;
}

TextWindow* WindowTable::window(int number) const {
  if (!valid(number)) {
    return nullptr;
  }
  std::lock_guard lock(mutex_);
  return slots_[static_cast<std::size_t>(number - kFirstNumber)].window.data();
}

std::vector<int> WindowTable::numbers() const {
  std::lock_guard lock(mutex_);
  std::vector<int> open;
  for (int slot = 0; slot < kSlots; ++slot) {
    if (slots_[static_cast<std::size_t>(slot)].state) {
      open.push_back(kFirstNumber + slot);
    }
  }
  return open;
}

}  // namespace zuna
