// The keyword properties of an open statement, decoded and checked before
// the statement has any effect.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "fio/file-stream.h"
#include "fio/fio.h"
#include "fio/io-error.h"
#include "fio/unit.h"

namespace zuna {

enum class Access { sequential, direct };
enum class Form { formatted, unformatted, binary };
enum class Position { asis, rewind, append };
enum class Share { compat, deny_rw, deny_wr, deny_rd, deny_none };

struct OpenRequest {
  std::optional<std::string> file_name;  // trailing blanks removed; may be empty
  FileStatus status = FileStatus::unknown;
  Access access = Access::sequential;
  Form form = Form::formatted;
  int record_length = 1024;
  BlankMode blank = BlankMode::null;
  Position position = Position::asis;  // APPEND access gives append here
  std::optional<FileAction> action;
  Delimiter delimiter = Delimiter::none;
  bool pad = true;
  std::optional<bool> first_char_control;  // absent: by the kind of the unit
  std::optional<Share> share;
  std::optional<FileAction> mode;
  std::optional<std::string> title;
  bool focus = true;
};

std::string_view trim_trailing_blanks(std::string_view text);

// The index of the word that `text` names (case ignored, trailing blanks
// allowed), or -1.
int match_keyword(std::string_view text, std::initializer_list<std::string_view> words);

// The keyword of the carriage-control property that selects first-character
// control ("LIST" selects plain records).
inline constexpr std::string_view kFirstCharacterControl = "FIRST";

// Decodes every property with its default. The first property that is not
// in the table, or a combination the table forbids, is the answer.
IoError decode_open_options(const OpenOptions& options, OpenRequest& request);

UnitKind unit_kind(Access access, Form form);

}  // namespace zuna
