// The listing of the report in a window of our own, for machines without a
// desktop text viewer: read-only, monospace, the file's Windows-1252 text
// decoded, with Find, Copy and Print. "zuna4 --listing FILE" opens it as a
// process of its own, which lives on after the results menu is back and ends
// when the user closes it or the windowed program ends.
#pragma once

#include <QMainWindow>
#include <QString>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolBar;

namespace zuna {

// The text of a Windows-1252 file for the screen: CR LF and lone CR become
// line ends. Empty, with `error` set, when the file cannot be read.
QString read_listing(const QString& path, QString& error);

class ListingViewer : public QMainWindow {
  Q_OBJECT

 public:
  explicit ListingViewer(QWidget* parent = nullptr);

  // Shows the file; false (the reason in the window and in `error`) when it
  // cannot be read.
  bool open_file(const QString& path, QString& error);

  QPlainTextEdit* text() const { return text_; }
  QLineEdit* find_field() const { return find_field_; }
  // Finds the next (or previous) occurrence of the find field's text, case
  // ignored, from the cursor, wrapping at the end. False when there is none.
  bool find(bool backward = false);
  void print();

 private:
  void create_actions();
  void show_find_bar();

  QPlainTextEdit* text_ = nullptr;
  QToolBar* find_bar_ = nullptr;
  QLineEdit* find_field_ = nullptr;
  QLabel* find_status_ = nullptr;
  QString file_name_;
};

// The process of "zuna4 --listing FILE": the viewer until it is closed.
// Answers the process's exit code (0, or 1 when the file cannot be read).
// With `tell_shown` ("--tell-shown"), the line "shown" goes to standard output
// once the window is on screen, and standard output is /dev/null from then
// on: the "notepad" helper reads it through a pipe and ends, leaving the
// viewer open.
int run_listing_viewer(const QString& path, bool tell_shown = false);

}  // namespace zuna
