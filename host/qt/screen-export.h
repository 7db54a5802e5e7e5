// Save and Print of a text window's virtual screen. The caller hands over a
// copy of the image taken under the window's drawing lock, so neither holds
// the lock while the disk or the printer works.
#pragma once

#include <QImage>
#include <QString>
#include <functional>

class QWidget;

namespace zuna {

// Writes the image as a device-independent bitmap file (".bmp"). False when
// the file cannot be written.
bool save_bitmap(const QImage& image, const QString& path);

// Prints the image on the default printer (without one, into a PDF file when
// the user accepts that instead), scaled to the page, with a
// modeless "Printing In Progress..." box whose Cancel abandons the job.
// Answers the failure message, or an empty text when the page was printed.
QString print_image(const QImage& image, QWidget* owner);

}  // namespace zuna
