// The windowed program zuna4: the frame on the GUI thread, the program on
// the computation thread.
#include <QApplication>

#include "app/zuna4.h"
#include "dialogs/dialog-host.h"
#include "fio/fio.h"
#include "host/qt/qt-host.h"

int main(int argc, char** argv) {
  zuna::open_closed_standard_files();
  QApplication app(argc, argv);
  zuna::FrameOptions options;
  options.program_name = zuna::program_name_from_path(argc > 0 ? argv[0] : nullptr);
  QApplication::setApplicationName(options.program_name);

  zuna::QtHost host(options);
  host.frame().show_at_start();
  host.start([&host, argc, argv] {
    // On the computation thread: the run-time resets this thread's
    // floating-point state.
    zuna::runtime_start(host, argc, argv);
    zuna::dialogs_start(host);
    zuna::zuna4_main();
    zuna::end_program(0);
  });
  app.exec();
  return host.finish();
}
