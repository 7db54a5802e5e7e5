// The table of text windows: 40 slots, window numbers 1024 + slot.
//
// The computation thread looks a window's shared state up by number; the GUI
// thread fills and frees slots and alone touches the widgets. The table's
// mutex is held only while a slot is read, chosen or changed, never together
// with a window's drawing lock.
#pragma once

#include <QPointer>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "host/qt/text-screen.h"

namespace zuna {

class TextWindow;

// What both threads share of one text window.
struct TextWindowState {
  explicit TextWindowState(int n) : number(n) {}

  const int number;
  std::mutex drawing;  // the window's drawing lock: guards screen
  TextScreen screen;
  std::atomic<bool> repaint_posted{false};  // a repaint request is on its way
};

class WindowTable {
 public:
  static constexpr int kSlots = 40;
  static constexpr int kFirstNumber = 1024;

  // GUI thread: the number of the first free slot, or -1.
  int first_free() const;
  // GUI thread: fills the slot of a number found free.
  void fill(int number, std::shared_ptr<TextWindowState> state, TextWindow* window);
  // GUI thread: frees the slot.
  void release(int number);

  // Any thread: the shared state of an open window, or null.
  std::shared_ptr<TextWindowState> state(int number) const;
  // GUI thread: the widget of an open window, or null.
  TextWindow* window(int number) const;
  // GUI thread: the numbers of the open windows, in slot order.
  std::vector<int> numbers() const;

 private:
  struct Slot {
    std::shared_ptr<TextWindowState> state;
    QPointer<TextWindow> window;
  };
  static bool valid(int number) { return number >= kFirstNumber && number < kFirstNumber + kSlots; }

  mutable std::mutex mutex_;
  std::array<Slot, kSlots> slots_;
};

}  // namespace zuna
