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

IoError decode_open_options(const OpenOptions& options, OpenSpec& spec) {
  spec = OpenSpec{};
  if (options.file) {
    spec.file_name = std::string(trim_trailing_blanks(*options.file));
  }
  spec.status = spec.file_name ? FileStatus::unknown : FileStatus::scratch;
  IoError e = decode<FileStatus>(
      options.status, {"OLD", "NEW", "SCRATCH", "REPLACE", "UNKNOWN"},
      {FileStatus::old_file, FileStatus::new_file, FileStatus::scratch, FileStatus::replace,
       FileStatus::unknown},
      IoError::bad_status_keyword, spec.status);
  if (e != IoError::ok) {
    return e;
  }
  if (spec.status == FileStatus::scratch && spec.file_name) {
    return IoError::scratch_with_file_name;
  }

  enum class AccessWord { sequential, direct, append };
  AccessWord access = AccessWord::sequential;
  if ((e = decode<AccessWord>(options.access, {"SEQUENTIAL", "DIRECT", "APPEND"},
                              {AccessWord::sequential, AccessWord::direct, AccessWord::append},
                              IoError::bad_access_keyword, access)) != IoError::ok) {
    return e;
  }
  spec.access = access == AccessWord::direct ? Access::direct : Access::sequential;

  spec.form = spec.access == Access::direct ? Form::unformatted : Form::formatted;
  if ((e = decode<Form>(options.form, {"FORMATTED", "UNFORMATTED", "BINARY"},
                        {Form::formatted, Form::unformatted, Form::binary},
                        IoError::bad_form_keyword, spec.form)) != IoError::ok) {
    return e;
  }

  if (options.record_length) {
    if (*options.record_length <= 0) {
      return IoError::bad_record_length;
    }
    spec.record_length = *options.record_length;
  } else if (spec.access == Access::direct) {
    return IoError::direct_access_needs_record_length;
  } else {
    spec.record_length = spec.form == Form::formatted ? 1024 : 65536;
  }

  if ((e = decode<BlankMode>(options.blank, {"NULL", "ZERO"}, {BlankMode::null, BlankMode::zero},
                             IoError::bad_blank_keyword, spec.blank)) != IoError::ok) {
    return e;
  }
  if ((e = decode<Position>(options.position, {"ASIS", "REWIND", "APPEND"},
                            {Position::asis, Position::rewind, Position::append},
                            IoError::bad_position_keyword, spec.position)) != IoError::ok) {
    return e;
  }
  if (access == AccessWord::append) {
    spec.position = Position::append;
  }

  FileAction action = FileAction::read_write;
  if (options.action) {
    if ((e = decode<FileAction>(options.action, {"READ", "WRITE", "READWRITE"},
                                {FileAction::read, FileAction::write, FileAction::read_write},
                                IoError::bad_action_keyword, action)) != IoError::ok) {
      return e;
    }
    spec.action = action;
  }

  bool formatted = spec.form == Form::formatted;
  if (options.delimiter) {
    if (!formatted) {
      return IoError::delimiter_or_pad_unformatted;
    }
    if ((e = decode<Delimiter>(options.delimiter, {"NONE", "APOSTROPHE", "QUOTE"},
                               {Delimiter::none, Delimiter::apostrophe, Delimiter::quote},
                               IoError::bad_delimiter_keyword, spec.delimiter)) != IoError::ok) {
      return e;
    }
  }
  if (options.pad) {
    if (!formatted) {
      return IoError::delimiter_or_pad_unformatted;
    }
    if ((e = decode<bool>(options.pad, {"YES", "NO"}, {true, false}, IoError::bad_pad_keyword,
                          spec.pad)) != IoError::ok) {
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
    spec.first_char_control = first_char;
  }

  if (options.share) {
    Share share = Share::compat;
    if ((e = decode<Share>(options.share, {"COMPAT", "DENYRW", "DENYWR", "DENYRD", "DENYNONE"},
                           {Share::compat, Share::deny_rw, Share::deny_wr, Share::deny_rd,
                            Share::deny_none},
                           IoError::bad_share_keyword, share)) != IoError::ok) {
      return e;
    }
    spec.share = share;
  }
  if (options.mode) {
    FileAction mode = FileAction::read_write;
    if ((e = decode<FileAction>(options.mode, {"READ", "WRITE", "READWRITE"},
                                {FileAction::read, FileAction::write, FileAction::read_write},
                                IoError::bad_mode_keyword, mode)) != IoError::ok) {
      return e;
    }
    spec.mode = mode;
  }

  if (options.title) {
    spec.title = std::string(trim_trailing_blanks(*options.title));
  }
  spec.focus = options.focus;
  return IoError::ok;
}

}  // namespace zuna
