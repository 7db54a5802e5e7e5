// A dialog controller for the host tests: fills the form when it opens,
// records every command and ends the dialog when a push button is clicked.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/dialog-host.h"

namespace zuna::testing {

class FakeController : public DialogController {
 public:
  std::function<void(DialogWindow&)> on_open = [](DialogWindow&) {};
  std::vector<int> push_buttons = {1};  // identifiers whose click ends the dialog

  void dialog_opened(DialogWindow& window) override {
    window_ = &window;
    on_open(window);
  }
  bool dialog_command(int id, int notification) override {
    commands.emplace_back(id, notification);
    for (int b : push_buttons) {
      if (b == id && notification == kBnClicked && window_ != nullptr) {
        window_->end_dialog(id);
      }
    }
    return true;
  }
  void dialog_scroll(int id, int request, int thumb) override {
    scrolls.push_back({id, request, thumb});
  }

  std::vector<std::pair<int, int>> commands;  // identifier, notification
  std::vector<std::vector<int>> scrolls;

 private:
  DialogWindow* window_ = nullptr;
};

}  // namespace zuna::testing
