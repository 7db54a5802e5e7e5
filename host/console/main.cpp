// zuna4c: the program on a terminal. Window units, dialogs and the stop line
// use standard input and output; run-time errors go to standard error. The
// exit code is 0 after the stop, 1 after a run-time error or the end of the
// input.
#include "app/zuna4.h"
#include "fio/fio.h"
#include "host/console/console-host.h"

int main(int argc, char** argv) {
  zuna::open_closed_standard_files();
  zuna::ConsoleHost host;
  zuna::runtime_start(host, argc - 1, argc > 1 ? argv + 1 : nullptr);
  try {
    zuna::zuna4_main();
    zuna::end_program(0);  // not reached: the program ends through the stop
  } catch (const zuna::ProgramExit& e) {
    return host.finish(e.exit_code);
  }
}
