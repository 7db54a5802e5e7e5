// The format walk of one output statement: a cursor over the translated
// operations, an explicit stack of open groups, and the items still to go.
//
// The walk goes on while items remain. It stops at a data edit descriptor
// (or a ":") that finds no item left, or at the end of the format when no
// item is left; literal text and positioning met on the way there are still
// output. The current record is then ended, or left open when a "\" or "$"
// was met and no record end followed it.
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "fio/edit-output.h"
#include "fio/format-ops.h"
#include "fio/format-record.h"
#include "fio/format-translate.h"
#include "fio/format.h"

namespace zuna {
namespace {

// How much a walk may do between two transferred items, counted as
// operations plus characters written, a record end counting kRecordWork.
// Only a group without data edit descriptors repeated an enormous number of
// times ("(2000000000(/))", nested repeats of "X,TL1") gets near it; such a
// format is refused as a repeat count the program does not allow, instead of
// running for hours.
constexpr std::int64_t kWorkLimit = std::int64_t{1} << 20;
constexpr std::int64_t kRecordWork = 64;

// The translations of the format texts used last, by their text: a program
// writes its rows with the same few formats over and over, and translating
// one costs as much as editing several fields. A text's slot is chosen by a
// hash of its bytes; a text that meets another in its slot replaces it.
class TranslationCache {
 public:
  const std::vector<std::uint8_t>& translation(const char* text, std::size_t length) {
    Entry& e = slots_[slot_of(text, length)];
    if (!e.used || e.text.size() != length || std::memcmp(e.text.data(), text, length) != 0) {
      e.text.assign(text, length);
      translate_format(text, length, e.ops);
      e.used = true;
    }
    return e.ops;
  }

 private:
  static constexpr std::size_t kSlots = 64;

  struct Entry {
    std::string text;
    std::vector<std::uint8_t> ops;
    bool used = false;
  };

  // FNV-1a over the bytes of the text.
  static std::size_t slot_of(const char* text, std::size_t length) {
    std::uint64_t h = 14695981039346656037ull;
    for (std::size_t i = 0; i < length; ++i) {
      h = (h ^ static_cast<unsigned char>(text[i])) * 1099511628211ull;
    }
    return static_cast<std::size_t>(h % kSlots);
  }

  Entry slots_[kSlots];
};

// The translated formats and the record of a statement. Each thread keeps
// one, so nothing is allocated per field and threads never share it.
struct FormatWorkArea {
  TranslationCache translations;
  std::string record;
  bool busy = false;
};

class FormatWalker {
 public:
  FormatWalker(const std::vector<std::uint8_t>& ops, std::span<const OutputItem> items,
               RecordSink& sink, std::string& record)
      : ops_(ops.data(), 0), items_(items), sink_(sink), record_(record) {}

  IoError run() {
    for (;;) {
      if (++work_ > kWorkLimit) {
        return IoError::format_repeat_not_allowed;
      }
      IoError status = step();
      if (status != IoError::ok) {
        return status;
      }
      if (stopped_) {
        return finish();
      }
    }
  }

 private:
  struct OpenGroup {
    std::size_t body = 0;        // offset of the first operation inside
    std::int32_t remaining = 0;  // passes still to make, this one included
  };

  bool items_remain() const { return next_item_ < items_.size(); }

  IoError step() {
    switch (ops_.op()) {
      case FormatOp::literal: {
        auto length = static_cast<std::size_t>(ops_.number());
        const char* text = ops_.text(length);
        work_ += static_cast<std::int64_t>(length);
        return record_.write(std::string_view(text, length)) ? IoError::ok
                                                             : IoError::record_too_long;
      }
      case FormatOp::move_right: record_.move_right(ops_.number()); return IoError::ok;
      case FormatOp::move_left: record_.move_left(ops_.number()); return IoError::ok;
      case FormatOp::tab_to: record_.tab_to(ops_.number()); return IoError::ok;
      case FormatOp::record_end: return record_ends(ops_.number());
      case FormatOp::scale: modes_.scale = ops_.number(); return IoError::ok;
      case FormatOp::sign_mode:
        modes_.sign_plus = static_cast<SignMode>(ops_.byte()) == SignMode::plus;
        return IoError::ok;
      case FormatOp::blank_mode: modes_.blank_zero = ops_.byte() != 0; return IoError::ok;
      case FormatOp::colon: stopped_ = !items_remain(); return IoError::ok;
      case FormatOp::suppress_end: suppress_end_ = true; return IoError::ok;
      case FormatOp::group_start: return group_start(ops_.number());
      case FormatOp::group_end: group_end(); return IoError::ok;
      case FormatOp::data: return data_edit();
      case FormatOp::q_edit: return IoError::ok;  // input only: takes no item, writes nothing
      case FormatOp::end: return end_of_format();
      case FormatOp::error: return static_cast<IoError>(ops_.number());
    }
    return IoError::format_bad_character;
  }

  IoError record_ends(std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
      work_ += kRecordWork;
      if (work_ > kWorkLimit) {
        return IoError::format_repeat_not_allowed;
      }
      if (!end_record()) {
        return IoError::file_write_failed;
      }
    }
    return IoError::ok;
  }

  IoError group_start(std::int32_t repeat) {
    if (depth_ >= kMaxGroupDepth) {
      return IoError::format_nesting_too_deep;  // the translator never lets this happen
    }
    groups_[depth_++] = OpenGroup{ops_.offset(), repeat};
    return IoError::ok;
  }

  void group_end() {
    OpenGroup& group = groups_[depth_ - 1];
    if (--group.remaining > 0) {
      ops_.jump(group.body);
    } else {
      --depth_;
    }
  }

  IoError data_edit() {
    DataEdit edit;
    edit.descriptor = static_cast<char>(ops_.byte());
    edit.variation = static_cast<char>(ops_.byte());
    std::int32_t repeat = ops_.number();
    edit.width = ops_.number();
    edit.digits = ops_.number();
    edit.exponent = ops_.number();
    for (std::int32_t i = 0; i < repeat; ++i) {
      if (!items_remain()) {
        stopped_ = true;
        return IoError::ok;
      }
      const OutputItem& item = items_[next_item_];
      Field field;
      IoError status = edit_item(edit, modes_, item, part_, buffer_, field);
      if (status != IoError::ok) {
        return status;
      }
      if (!record_.write_repeated(' ', field.leading_blanks) || !record_.write(field.text) ||
          !record_.write_repeated(' ', field.trailing_blanks)) {
        return IoError::record_too_long;
      }
      if (++part_ == item_parts(item)) {
        part_ = 0;
        ++next_item_;
      }
      work_ = 0;
    }
    return IoError::ok;
  }

  // The outer ")". With items left the record ends and the walk goes on at
  // the reversion point: the start of the last group opened at the first
  // level, entered again with its repeat count, or the start of the format.
  // Scale factor and sign mode carry over. If no data edit descriptor stands
  // from that point on, reversion could never take an item and is refused.
  IoError end_of_format() {
    auto reversion = static_cast<std::size_t>(ops_.number());
    bool has_data = ops_.byte() != 0;
    if (!items_remain()) {
      stopped_ = true;
      return IoError::ok;
    }
    if (!has_data) {
      return IoError::format_no_data_descriptor;
    }
    work_ += kRecordWork;
    if (!end_record()) {
      return IoError::file_write_failed;
    }
    ops_.jump(reversion);
    return IoError::ok;
  }

  bool end_record() {
    suppress_end_ = false;
    bool written = sink_.end_record(record_.text());
    record_.clear();
    return written;
  }

  IoError finish() {
    bool written =
        suppress_end_ ? sink_.leave_open(record_.text()) : sink_.end_record(record_.text());
    record_.clear();
    return written ? IoError::ok : IoError::file_write_failed;
  }

  FormatOpReader ops_;
  std::span<const OutputItem> items_;
  RecordSink& sink_;
  FormatRecord record_;
  EditModes modes_;
  FieldBuffer buffer_;
  OpenGroup groups_[kMaxGroupDepth];
  int depth_ = 0;
  std::size_t next_item_ = 0;
  int part_ = 0;  // 1 when the real part of a complex item has been written
  bool suppress_end_ = false;
  bool stopped_ = false;
  std::int64_t work_ = 0;
};

// Hands out the calling thread's work area, or a fresh one when a sink
// writes another statement from inside a walk on the same thread.
class WorkAreaLease {
 public:
  WorkAreaLease() {
    thread_local FormatWorkArea area;
    if (!area.busy) {
      area_ = &area;
    } else {
      own_ = std::make_unique<FormatWorkArea>();
      area_ = own_.get();
    }
    area_->busy = true;
  }
  ~WorkAreaLease() { area_->busy = false; }
  WorkAreaLease(const WorkAreaLease&) = delete;
  WorkAreaLease& operator=(const WorkAreaLease&) = delete;

  FormatWorkArea& operator*() { return *area_; }

 private:
  std::unique_ptr<FormatWorkArea> own_;
  FormatWorkArea* area_ = nullptr;
};

}  // namespace

IoError write_formatted(const char* format, int format_length, std::span<const OutputItem> items,
                        RecordSink& sink) {
  std::size_t length = 0;
  if (format == nullptr) {
    format = "";
  } else if (format_length == -1) {
    length = std::strlen(format);
  } else if (format_length > 0) {
    length = static_cast<std::size_t>(format_length);
  }
  WorkAreaLease lease;
  FormatWorkArea& area = *lease;
  return FormatWalker(area.translations.translation(format, length), items, sink, area.record)
      .run();
}

}  // namespace zuna
