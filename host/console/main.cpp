// zuna4c: the program on a terminal. Window units, dialogs and the stop line
// use standard input and output; run-time errors go to standard error. The
// exit code is 0 after the stop, 1 after a run-time error or the end of the
// input.
//
// zuna4c [--dir FOLDER]: the working folder is FOLDER, else the current
// folder when it holds zuna.dat, else the per-user folder.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <variant>

#include "app/zuna4.h"
#include "fio/fio.h"
#include "host/console/console-host.h"
#include "platform/working-folder.h"

int main(int argc, char** argv) {
  std::optional<std::string> folder;
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--dir") == 0) {
    folder = argv[2];
    first = 3;
  }
  if (auto entered = zuna::enter_working_folder(folder); std::holds_alternative<std::string>(entered)) {
    std::fprintf(stderr, "zuna4c: %s\n", std::get<std::string>(entered).c_str());
    return 1;
  }
  zuna::ConsoleHost host;
  zuna::runtime_start(host, argc - first, argc > first ? argv + first : nullptr);
  try {
    zuna::zuna4_main();
    zuna::end_program(0);  // not reached: the program ends through the stop
  } catch (const zuna::ProgramExit& e) {
    return e.exit_code;
  }
}
