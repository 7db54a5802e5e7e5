// The Qt host's suites need one QApplication for the whole process. They run
// offscreen unless a platform is chosen.
//
// The robot: modal boxes and dialogs run event loops of their own, so a test
// cannot answer them from its own code once they are open. It queues steps
// instead; a timer tries the first step every few milliseconds, in whatever
// event loop is running, and drops it once it reports done.
#include <gtest/gtest.h>
#include <QApplication>
#include <QFileDialog>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string_view>

#include "qt-robot.h"

namespace zuna::testing {
namespace {

struct Robot {
  QTimer timer;
  std::deque<std::function<bool()>> steps;
};

Robot& robot() {
  static Robot* r = [] {
    auto* made = new Robot;
    made->timer.setInterval(10);
    QObject::connect(&made->timer, &QTimer::timeout, [made] {
      if (made->steps.empty()) {
        made->timer.stop();
        return;
      }
      std::function<bool()> step = made->steps.front();
      if (step()) {
        made->steps.pop_front();
      }
    });
    return made;
  }();
  return *r;
}

}  // namespace

void robot_then(std::function<bool()> step) {
  robot().steps.push_back(std::move(step));
  robot().timer.start();
}

void robot_accept_file_dialog(std::function<void(QFileDialog&)> fill) {
  auto dialog = std::make_shared<QPointer<QFileDialog>>();
  robot_then([dialog, fill] {
    if (dialog->isNull()) {
      auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (shown == nullptr) {
        return false;
      }
      *dialog = shown;
      fill(*shown);
    }
    QFileDialog* d = dialog->data();
    if (d == nullptr) {
      return true;  // gone: its modal run has returned
    }
    // An accept can come before the dialog's modal loop has started (a busy
    // machine) or be ignored while its view is still loading the folder: the
    // dialog then waits, hidden or not. Show it and accept it again until it
    // is gone.
    if (!d->isVisible()) {
      d->show();
    }
    QMetaObject::invokeMethod(d, "accept");  // protected in QFileDialog
    return false;
  });
}

bool robot_idle() { return robot().steps.empty(); }

void robot_clear() {
  robot().steps.clear();
  robot().timer.stop();
}

// Once the host has closed its frame, QCoreApplication::exit has told every
// event loop to end, and a new modal loop would end at once. The program
// never starts another one; a suite does, so it runs and ends an application
// loop, which clears that state.
void reset_event_loops() {
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

}  // namespace zuna::testing

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  // Listing the tests (CTest's discovery at build time) needs no application.
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--gtest_list_tests") {
      ::testing::InitGoogleTest(&argc, argv);
      return RUN_ALL_TESTS();
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zuna4"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
