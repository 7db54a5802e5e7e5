// Start-up of the run-time and the services it gives the computation.
#include <atomic>
#include <cfenv>
#include <stdexcept>

#include "fio/commit-group.h"
#include "fio/file-names.h"
#include "fio/fio.h"
#include "fio/program-end.h"
#include "fio/runtime-error.h"
#include "fio/statement.h"
#include "fio/transient-files.h"
#include "fio/unit-table.h"

namespace zuna {

namespace {

std::atomic<Host*> installed_host{nullptr};

}  // namespace

void runtime_start(Host& host, int argc, const char* const* argv) {
  open_closed_standard_files();
  install_transient_file_cleanup();
  installed_host.store(&host);
  set_command_line(argc, argv);
  abandon_statement();
  reset_program_end();
  unit_table().reset();
  discard_commit_group();
  std::feclearexcept(FE_ALL_EXCEPT);
  install_math_error_handler();
}

Host& runtime_host() {
  Host* host = installed_host.load();
  if (host == nullptr) {
    throw std::logic_error("the run-time has not been started");
  }
  return *host;
}

void pause_gate() { runtime_host().pause_gate(); }

}  // namespace zuna
