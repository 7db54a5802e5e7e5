#include "fio/open-keywords.h"

namespace zuna {

namespace {

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Decodes one optional property: absent leaves `value` at its default; a
// text outside `words` answers `error`.
template <typename T>
IoError decode(const std::optional<std::string_view>& text,
               std::initializer_list<std::string_view> words,
               std::initializer_list<T> values, IoError error, T& value) {
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
    case Form::binary:
      return direct ? UnitKind::binary_direct : UnitKind::binary_sequential;
  }
  return UnitKind::formatted_sequential;
}

IoError decode_open_options(const OpenOptions& options, OpenRequest& request) {
  request = OpenRequest{};
  if (options.file) {
    request.file_name = std::string(trim_trailing_blanks(*options.file));
  }
  request.status = request.file_name ? FileStatus::unknown : FileStatus::scratch;
  IoError e = decode<FileStatus>(
      options.status, {"OLD", "NEW", "SCRATCH", "REPLACE", "UNKNOWN"},
      {FileStatus::old_file, FileStatus::new_file, FileStatus::scratch, FileStatus::replace,
       FileStatus::unknown},
      IoError::bad_status_keyword, request.status);
  if (e != IoError::ok) {
    return e;
  }
  if (request.status == FileStatus::scratch && request.file_name) {
    return IoError::scratch_with_file_name;
  }

  enum class AccessWord { sequential, direct, append };
  AccessWord access = AccessWord::sequential;
  if ((e = decode<AccessWord>(options.access, {"SEQUENTIAL", "DIRECT", "APPEND"},
                              {AccessWord::sequential, AccessWord::direct, AccessWord::append},
                              IoError::bad_access_keyword, access)) != IoError::ok) {
    return e;
  }
  request.access = access == AccessWord::direct ? Access::direct : Access::sequential;

  request.form = request.access == Access::direct ? Form::unformatted : Form::formatted;
  if ((e = decode<Form>(options.form, {"FORMATTED", "UNFORMATTED", "BINARY"},
                        {Form::formatted, Form::unformatted, Form::binary},
                        IoError::bad_form_keyword, request.form)) != IoError::ok) {
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

  if ((e = decode<BlankMode>(options.blank, {"NULL", "ZERO"}, {BlankMode::null, BlankMode::zero},
                             IoError::bad_blank_keyword, request.blank)) != IoError::ok) {
    return e;
  }
  if ((e = decode<Position>(options.position, {"ASIS", "REWIND", "APPEND"},
                            {Position::asis, Position::rewind, Position::append},
                            IoError::bad_position_keyword, request.position)) != IoError::ok) {
    return e;
  }
  if (access == AccessWord::append) {
    request.position = Position::append;
  }

  FileAction action = FileAction::read_write;
  if (options.action) {
    if ((e = decode<FileAction>(options.action, {"READ", "WRITE", "READWRITE"},
                                {FileAction::read, FileAction::write, FileAction::read_write},
                                IoError::bad_action_keyword, action)) != IoError::ok) {
      return e;
    }
    request.action = action;
  }

  bool formatted = request.form == Form::formatted;
  if (options.delimiter) {
    if (!formatted) {
      return IoError::delimiter_or_pad_unformatted;
    }
    if ((e = decode<Delimiter>(options.delimiter, {"NONE", "APOSTROPHE", "QUOTE"},
                               {Delimiter::none, Delimiter::apostrophe, Delimiter::quote},
                               IoError::bad_delimiter_keyword, request.delimiter)) != IoError::ok) {
      return e;
    }
  }
  if (options.pad) {
    if (!formatted) {
      return IoError::delimiter_or_pad_unformatted;
    }
    if ((e = decode<bool>(options.pad, {"YES", "NO"}, {true, false}, IoError::bad_pad_keyword,
                          request.pad)) != IoError::ok) {
      return e;
    }
  }

  if (options.carriage_control) {
    bool first_char = false;
    if ((e = decode<bool>(options.carriage_control, {kFirstCharacterControl, "LIST"},
                          {true, false}, IoError::bad_carriage_control_keyword, first_char)) !=
        IoError::ok) {
      return e;
    }
    request.first_char_control = first_char;
  }

  if (options.share) {
    Share share = Share::compat;
    if ((e = decode<Share>(options.share, {"COMPAT", "DENYRW", "DENYWR", "DENYRD", "DENYNONE"},
                           {Share::compat, Share::deny_rw, Share::deny_wr, Share::deny_rd,
                            Share::deny_none},
                           IoError::bad_share_keyword, share)) != IoError::ok) {
      return e;
    }
    request.share = share;
  }
  if (options.mode) {
    FileAction mode = FileAction::read_write;
    if ((e = decode<FileAction>(options.mode, {"READ", "WRITE", "READWRITE"},
                                {FileAction::read, FileAction::write, FileAction::read_write},
                                IoError::bad_mode_keyword, mode)) != IoError::ok) {
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

}  // namespace zuna
