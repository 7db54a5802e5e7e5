// The windowed program zuna4: the frame on the GUI thread, the program on
// the computation thread.
//
// zuna4 [FOLDER]: the working folder is FOLDER, else the current folder when
// it holds zuna.dat, else the per-user folder.
// zuna4 --listing FILE [--tell-shown]: the report's viewer alone (run by the
// "notepad" helper where the desktop has no text viewer).
// zuna4 --message TEXT: a warning box alone (how the helpers tell the user
// of the windowed program what went wrong; their standard error is not seen).
// zuna4 --help (-h), zuna4 --version: the text on standard output, no window.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <variant>

#include "app/zuna4.h"
#include "dialogs/dialog-host.h"
#include "fio/fio.h"
#include "host/qt/listing-viewer.h"
#include "host/qt/qt-host.h"
#include "platform/install-paths.h"
#include "platform/run-command.h"
#include "platform/working-folder.h"

namespace {

constexpr char kHelp[] =
    "Usage: zuna4 [FOLDER]\n"
    "Compute the combustion of hydrogen with oxygen, without and with dissociation,\n"
    "for a sweep of O/F mass ratios around the stoichiometric value, in a window.\n"
    "\n"
    "FOLDER is the working folder (created when missing), where zuna.dat is read\n"
    "and the report saida and the plot files are written; without it the current\n"
    "folder when it holds zuna.dat, else the per-user folder.\n"
    "\n"
    "  -h, --help     display this help and exit\n"
    "      --version  output version information and exit\n"
    "\n"
    "The console program is zuna4c. See zuna4(1) for the rest.\n";

// --help and --version answer on standard output before any window, so that
// they need no display and make no folder of that name.
std::optional<int> answer_without_window(int argc, char** argv) {
  if (argc != 2) {
    return std::nullopt;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(kHelp, stdout);
  } else if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("zuna4 %s\n", ZUNA_VERSION);
  } else {
    return std::nullopt;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::fputs("zuna4: cannot write to standard output\n", stderr);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> answered = answer_without_window(argc, argv)) {
    return *answered;
  }
  zuna::open_closed_standard_files();
  // The helper commands of the results menu show the listing and their
  // messages through this program: they inherit its environment.
  setenv("ZUNA4_PROGRAM", zuna::executable_path().c_str(), 1);
  QApplication app(argc, argv);
  zuna::FrameOptions options;
  options.program_name = zuna::program_name_from_path(argc > 0 ? argv[0] : nullptr);
  QApplication::setApplicationName(options.program_name);
  if (argc >= 3 && qstrcmp(argv[1], "--listing") == 0 &&
      (argc == 3 || (argc == 4 && qstrcmp(argv[3], "--tell-shown") == 0))) {
    return zuna::run_listing_viewer(QString::fromLocal8Bit(argv[2]), argc == 4);
  }
  if (argc == 3 && qstrcmp(argv[1], "--message") == 0) {
    // The box is a window of its own process, opened while the frame waits
    // for the helper: a window manager that keeps new windows from taking
    // the focus would leave it behind the frame, and the program would seem
    // stuck. It stays above the other windows and asks for the focus.
    QMessageBox box(QMessageBox::Warning, options.program_name, QString::fromLocal8Bit(argv[2]),
                    QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
    return 0;
  }

  const auto folder =
      zuna::enter_working_folder(argc > 1 ? std::optional<std::string>(argv[1]) : std::nullopt);
  if (const auto* failure = std::get_if<std::string>(&folder)) {
    QMessageBox::critical(nullptr, options.program_name, QString::fromStdString(*failure));
    return 1;
  }
  const QString where = QString::fromStdString(std::get<zuna::WorkingFolder>(folder).path);

  zuna::QtHost host(options);
  host.frame().set_about_text(host.frame().about_text() + QStringLiteral("\n\nWorking folder: ") +
                              where);
  host.frame().set_status_message(QStringLiteral("Working folder: ") + where);
  host.frame().show_at_start();
  // Plots and the listing live beside the program and end with it.
  zuna::launch_commands_in_groups();
  const int first = argc > 1 ? 2 : 1;
  host.start([&host, argc, argv, first] {
    // On the computation thread: the run-time resets this thread's
    // floating-point state.
    zuna::runtime_start(host, argc - first, argv + first);
    zuna::dialogs_start(host);
    zuna::zuna4_main();
    zuna::end_program(0);
  });
  app.exec();
  zuna::end_launched_commands();
  return host.finish();
}
