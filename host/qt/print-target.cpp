#include "host/qt/print-target.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>

namespace zuna {

QString pdf_offer_text() {
  return QStringLiteral("No Default Printer\n\nWrite the pages to a PDF file instead?");
}

PrintTarget choose_print_target(QPrinter& printer, QWidget* owner) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (!info.isNull()) {
    printer.setPrinterName(info.printerName());
    printer.setOutputFormat(QPrinter::NativeFormat);
    return PrintTarget::printer;
  }
  QMessageBox offer(QMessageBox::Question, QApplication::applicationName(), pdf_offer_text(),
                    QMessageBox::Yes | QMessageBox::No, owner);
  offer.setDefaultButton(QMessageBox::Yes);
  if (offer.exec() != QMessageBox::Yes) {
    return PrintTarget::declined;
  }
  QFileDialog dialog(owner, QStringLiteral("Print to PDF File"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters({QStringLiteral("PDF Files(*.pdf)"), QStringLiteral("All Files(*.*)")});
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  dialog.setDirectory(QDir::current());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return PrintTarget::declined;
  }
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dialog.selectedFiles().constFirst());
  return PrintTarget::pdf_file;
}

}  // namespace zuna
