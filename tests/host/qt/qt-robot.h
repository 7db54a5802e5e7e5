// The robot of the Qt host's suites (qt-test-main.cpp): modal boxes and
// dialogs run event loops of their own, so a test queues the steps that
// answer them; a timer tries the first step in whatever event loop runs and
// drops it once it reports done.
#pragma once

#include <functional>

class QFileDialog;

namespace zuna::testing {

void robot_then(std::function<bool()> step);
// Waits for a file dialog, lets `fill` choose its file and accepts it, again
// on every try until the dialog is gone (`fill` may run several times).
void robot_accept_file_dialog(std::function<void(QFileDialog&)> fill);
bool robot_idle();
void robot_clear();
// Lets new event loops run again after the host has told every loop to end.
void reset_event_loops();

}  // namespace zuna::testing
