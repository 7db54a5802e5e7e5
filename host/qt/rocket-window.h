// The result window of the rocket performance (app/program-menu.h): a
// top-level window of the frame, usable while the results menu waits and
// closed with the frame. Above, the best O/F of each exit; below, one row
// per O/F (and chamber pressure) with a group of columns per exit, the
// headings fixed while the rows scroll. Copy puts the whole table on the
// clipboard, tab-separated for a spreadsheet; "Salvar como CSV..." writes
// it as a file.
#pragma once

#include <QWidget>
#include <memory>

class QLabel;
class QSplitter;
class QTableWidget;

namespace zuna {

struct RocketTable;

class RocketWindow : public QWidget {
  Q_OBJECT

 public:
  explicit RocketWindow(QWidget* owner);

  // Shows these results in place of the ones shown.
  void show_table(std::shared_ptr<const RocketTable> table);
  const RocketTable* table() const { return table_.get(); }

  QTableWidget* values() const { return values_; }
  QTableWidget* best() const { return best_; }
  QLabel* heading() const { return heading_; }

  // The table as rocket_table_text writes it, tab-separated.
  void copy() const;
  // The table as CSV (UTF-8); false when the file cannot be written.
  bool save_csv(const QString& path) const;

 private:
  void choose_csv_file();
  void fill_values();
  void fill_best();

  std::shared_ptr<const RocketTable> table_;
  QLabel* heading_ = nullptr;
  QSplitter* split_ = nullptr;
  QTableWidget* best_ = nullptr;
  QTableWidget* values_ = nullptr;
};

}  // namespace zuna
