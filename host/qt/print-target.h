// Where a print job goes: the default printer, or, on a machine without one,
// a PDF file when the user accepts that instead.
#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace zuna {

enum class PrintTarget {
  printer,   // the default printer
  pdf_file,  // a PDF file the user named
  declined,  // no default printer and no file: nothing is printed
};

// Sets `printer` up for the default printer. Without one, asks (owned by
// `owner`) whether to write a PDF file instead and, on Yes, which file
// (".pdf" added when the name has no extension). "declined" when the user
// says No or cancels the file choice.
PrintTarget choose_print_target(QPrinter& printer, QWidget* owner);

// The question shown when there is no default printer.
QString pdf_offer_text();

}  // namespace zuna
