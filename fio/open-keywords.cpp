#include "fio/open-keywords.h"

namespace zuna {

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Decodes one optional property: absent leaves `value` at its default; a
// text outside `words` answers `error`.
template <typename T>
IoError decode(const std::optional<std::string_view>& text,
               std::initializer_list<std::string_view> words, std::initializer_list<T> values,
               IoError error, T& value) {
  if (!text) {
    return IoError::ok;
  }
  int i = match_keyword(*text, words);
  if (i < 0) {
    return error;
  }
  value = *(values.begin() + i);
  return IoError::ok;
}

}  // namespace

std::string_view trim_trailing_blanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') {
    text.remove_suffix(1);
  }
  return text;
}

int match_keyword(std::string_view text, std::initializer_list<std::string_view> words) {
  text = trim_trailing_blanks(text);
  int index = 0;
  for (std::string_view word : words) {
    if (word.size() == text.size()) {
      bool same = true;
      for (std::size_t i = 0; i < word.size() && same; ++i) {
        same = upper(text[i]) == word[i];
      }
      if (same) {
        return index;
      }
    }
    ++index;
  }
  return -1;
}

UnitKind unit_kind(Access access, Form form) {
  bool direct = access == Access::direct;
  switch (form) {
    case Form::formatted:
      return direct ? UnitKind::formatted_direct : UnitKind::formatted_sequential;
    case Form::unformatted:
      return direct ? UnitKind::unformatted_direct : UnitKind::unformatted_sequential;
    case Form::binary: return direct ? UnitKind::binary_direct : UnitKind::binary_sequential;
  }
  return UnitKind::formatted_sequential;
}

namespace {

enum class AccessWord { sequential, direct, append };

// The file name and the status; a scratch file takes no name.
IoError decode_status(const OpenOptions& options, OpenRequest& request) {
  if (options.file) {
    request.file_name = std::string(trim_trailing_blanks(*options.file));
  }
  request.status = request.file_name ? FileStatus::unknown : FileStatus::scratch;
  IoError e = decode<FileStatus>(options.status, {"OLD", "NEW", "SCRATCH", "REPLACE", "UNKNOWN"},
                                 {FileStatus::old_file, FileStatus::new_file, FileStatus::scratch,
                                  FileStatus::replace, FileStatus::unknown},
                                 IoError::bad_status_keyword, request.status);
  if (e == IoError::ok && request.status == FileStatus::scratch && request.file_name) {
    return IoError::scratch_with_file_name;
  }
  return e;
}

// Access, form and record length, whose defaults hang on one another.
IoError decode_layout(const OpenOptions& options, OpenRequest& request, AccessWord& access) {
  access = AccessWord::sequential;
  IoError e = decode<AccessWord>(options.access, {"SEQUENTIAL", "DIRECT", "APPEND"},
                                 {AccessWord::sequential, AccessWord::direct, AccessWord::append},
                                 IoError::bad_access_keyword, access);
  if (e != IoError::ok) {
    return e;
  }
  request.access = access == AccessWord::direct ? Access::direct : Access::sequential;
  request.form = request.access == Access::direct ? Form::unformatted : Form::formatted;
  e = decode<Form>(options.form, {"FORMATTED", "UNFORMATTED", "BINARY"},
                   {Form::formatted, Form::unformatted, Form::binary}, IoError::bad_form_keyword,
                   request.form);
  if (e != IoError::ok) {
    return e;
  }
  if (options.record_length) {
    if (*options.record_length <= 0) {
      return IoError::bad_record_length;
    }
    request.record_length = *options.record_length;
  } else if (request.access == Access::direct) {
    return IoError::direct_access_needs_record_length;
  } else {
    request.record_length = request.form == Form::formatted ? 1024 : 65536;
  }
  return IoError::ok;
}

// Blank mode, position (APPEND access forces its own) and action.
IoError decode_position_and_action(const OpenOptions& options, AccessWord access,
                                   OpenRequest& request) {
  IoError e = decode<BlankMode>(options.blank, {"NULL", "ZERO"}, {BlankMode::null, BlankMode::zero},
                                IoError::bad_blank_keyword, request.blank);
  if (e == IoError::ok) {
    e = decode<Position>(options.position, {"ASIS", "REWIND", "APPEND"},
                         {Position::asis, Position::rewind, Position::append},
                         IoError::bad_position_keyword, request.position);
  }
  if (e != IoError::ok) {
    return e;
  }
  if (access == AccessWord::append) {
    request.position = Position::append;
  }
  if (options.action) {
    FileAction action = FileAction::read_write;
    e = decode<FileAction>(options.action, {"READ", "WRITE", "READWRITE"},
                           {FileAction::read, FileAction::write, FileAction::read_write},
                           IoError::bad_action_keyword, action);
    request.action = action;
  }
  return e;
}

// Delimiter and pad, allowed on formatted files only, and carriage control.
IoError decode_record_properties(const OpenOptions& options, OpenRequest& request) {
  bool formatted = request.form == Form::formatted;
  if ((options.delimiter || options.pad) && !formatted) {
    return IoError::delimiter_or_pad_unformatted;
  }
  IoError e = decode<Delimiter>(options.delimiter, {"NONE", "APOSTROPHE", "QUOTE"},
                                {Delimiter::none, Delimiter::apostrophe, Delimiter::quote},
                                IoError::bad_delimiter_keyword, request.delimiter);
  if (e == IoError::ok) {
    e = decode<bool>(options.pad, {"YES", "NO"}, {true, false}, IoError::bad_pad_keyword,
                     request.pad);
  }
  if (e == IoError::ok && options.carriage_control) {
    bool first_char = false;
    e = decode<bool>(options.carriage_control, {kFirstCharacterControl, "LIST"}, {true, false},
                     IoError::bad_carriage_control_keyword, first_char);
    request.first_char_control = first_char;
  }
  return e;
}

// Share and mode, accepted and kept; the title of a window.
IoError decode_sharing_and_title(const OpenOptions& options, OpenRequest& request) {
  if (options.share) {
    Share share = Share::compat;
    IoError e = decode<Share>(
        options.share, {"COMPAT", "DENYRW", "DENYWR", "DENYRD", "DENYNONE"},
        {Share::compat, Share::deny_rw, Share::deny_wr, Share::deny_rd, Share::deny_none},
        IoError::bad_share_keyword, share);
    if (e != IoError::ok) {
      return e;
    }
    request.share = share;
  }
  if (options.mode) {
    FileAction mode = FileAction::read_write;
    IoError e = decode<FileAction>(options.mode, {"READ", "WRITE", "READWRITE"},
                                   {FileAction::read, FileAction::write, FileAction::read_write},
                                   IoError::bad_mode_keyword, mode);
    if (e != IoError::ok) {
      return e;
    }
    request.mode = mode;
  }
  if (options.title) {
    request.title = std::string(trim_trailing_blanks(*options.title));
  }
  request.focus = options.focus;
  return IoError::ok;
}

}  // namespace

IoError decode_open_options(const OpenOptions& options, OpenRequest& request) {
  request = OpenRequest{};
  AccessWord access = AccessWord::sequential;
  IoError e = decode_status(options, request);
  if (e == IoError::ok) {
    e = decode_layout(options, request, access);
  }
  if (e == IoError::ok) {
    e = decode_position_and_action(options, access, request);
  }
  if (e == IoError::ok) {
    e = decode_record_properties(options, request);
  }
  if (e == IoError::ok) {
    e = decode_sharing_and_title(options, request);
  }
  return e;
}

}  // namespace zuna
