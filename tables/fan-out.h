// One row written to several tables at once: the CSV and the JSON of the
// same run, each through its own buffer. The writers are not owned.
#pragma once

#include <vector>

#include "tables/table-writer.h"

namespace zuna::tables {

class FanOut final : public TableWriter {
 public:
  explicit FanOut(std::vector<TableWriter*> writers) : writers_(std::move(writers)) {}

  void number(double v) override {
    for (TableWriter* w : writers_)
      w->number(v);
  }
  void integer(std::int64_t v) override {
    for (TableWriter* w : writers_)
      w->integer(v);
  }
  void text(std::string_view v) override {
    for (TableWriter* w : writers_)
      w->text(v);
  }
  void absent() override {
    for (TableWriter* w : writers_)
      w->absent();
  }
  void end_row() override {
    for (TableWriter* w : writers_)
      w->end_row();
  }
  // Finishes every writer, also after one has failed.
  bool finish() override {
    bool all = true;
    for (TableWriter* w : writers_)
      all = w->finish() && all;
    return all;
  }
  // False as soon as any output has failed.
  bool ok() const override {
    for (const TableWriter* w : writers_) {
      if (!w->ok())
        return false;
    }
    return true;
  }

 private:
  std::vector<TableWriter*> writers_;
};

}  // namespace zuna::tables
