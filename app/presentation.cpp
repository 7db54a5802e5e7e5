#include "app/presentation.h"

#include "fio/fio.h"

namespace zuna {
namespace {

constexpr int kPresentationUnit = 21;

// Nine records: an empty one, the program's name and date, an empty one,
// four lines about what it computes, an empty one and a line about the
// program.
constexpr char kPresentationFormat[] =
    "(/,10X,'ZUNA - 5 Set 97',/,/,"
    "4X,'Calcula número de moles, frações molares e',/,"
    "4X,'mássicas, e temperatura de chama adiabática,',/,"
    "4X,'com e sem dissociação química,',/,"
    "4X,'resultantes da reação H2/O2.',/,/,"
    "10X,'Programa de cálculo da combustão hidrogênio/oxigênio')";

}  // namespace

void show_presentation() {
  OpenOptions window;
  window.file = "user";
  window.title = "APRESENTAÇÃO";
  open_unit(kPresentationUnit, window);
  begin_write(kPresentationUnit, kPresentationFormat, -1);
  end_write();
  begin_read(kPresentationUnit, nullptr, 0, false);
  end_read();
  close_unit(kPresentationUnit);
}

}  // namespace zuna
