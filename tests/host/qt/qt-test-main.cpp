// The Qt host's suites need one QApplication for the whole process. They run
// offscreen unless a platform is chosen.
//
// The robot: modal boxes and dialogs run event loops of their own, so a test
// cannot answer them from its own code once they are open. It queues steps
// instead; a timer tries the first step every few milliseconds, in whatever
// event loop is running, and drops it once it reports done.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "qt-robot.h"

namespace zuna::testing {
namespace {

struct Robot {
  QTimer timer;
  std::deque<std::function<bool()>> steps;
  QElapsedTimer front_since;  // how long the first step has been tried
};

// A step that has waited this long will not be answered: the test ends with
// what is on screen rather than hanging until CTest's time-out.
constexpr qint64 kStepPatienceMs = 60000;

[[noreturn]] void give_up() {
  QWidget* modal = QApplication::activeModalWidget();
  std::fprintf(stderr, "robot: a step waited %lld ms; the active modal widget is %s \"%s\"",
               static_cast<long long>(kStepPatienceMs),
               modal != nullptr ? modal->metaObject()->className() : "none",
               modal != nullptr ? modal->windowTitle().toLocal8Bit().constData() : "");
  if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    std::fprintf(stderr, " saying \"%s\"", box->text().toLocal8Bit().constData());
  }
  std::fprintf(stderr, "\n");
  std::abort();
}

Robot& robot() {
  static Robot* r = [] {
    auto* made = new Robot;
    made->timer.setInterval(10);
    QObject::connect(&made->timer, &QTimer::timeout, [made] {
      if (made->steps.empty()) {
        made->timer.stop();
        return;
      }
      if (!made->front_since.isValid()) {
        made->front_since.start();
      }
      std::function<bool()> step = made->steps.front();
      if (step()) {
        made->steps.pop_front();
        made->front_since.invalidate();
      } else if (made->front_since.elapsed() > kStepPatienceMs) {
        give_up();
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
    }
    QFileDialog* d = dialog->data();
    if (d == nullptr) {
      return true;  // gone: its modal run has returned
    }
    // selectFile leaves the name field alone while that field has the focus,
    // which it gets once the dialog is active (sooner or later, as the
    // machine is busy or not); an accept with an empty name only opens the
    // folder. So the focus is taken away before every try. An accept can
    // also come before the dialog's modal loop has started: the dialog then
    // waits hidden. Show it, choose and accept again until it is gone.
    if (QWidget* focused = d->focusWidget()) {
      focused->clearFocus();
    }
    fill(*d);
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
  robot().front_since.invalidate();
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
  // Each run keeps Qt's per-user state (the file dialog's history in its
  // settings, the run-time folder) in folders of its own, so that suites
  // running side by side never share or lock each other's files.
  std::string pattern = (std::filesystem::temp_directory_path() / "zuna-qt-tests-XXXXXX").string();
  const char* home = mkdtemp(pattern.data());
  if (home == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
    const std::string folder = std::string(home) + "/" + name;
    mkdir(folder.c_str(), 0700);
    setenv(name, folder.c_str(), 1);
  }
  int result = 0;
  {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zuna4"));
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  std::error_code ignored;
  std::filesystem::remove_all(home, ignored);
  return result;
}
