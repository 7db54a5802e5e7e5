// Build tool: turns the resource-script subset of templates.rc into binary
// dialog templates (the platform's published DLGTEMPLATE form) and writes
// them as byte arrays in a C++ source of the zuna_resources library. The
// script is read into the dialogs' own template model and written by the
// same writer the tests use (dialogs/dialog-template-writer.h); texts are
// UTF-16 and no item carries creation data.
//
//   zuna_template_compiler <script.rc> <output.cpp>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialogs/dialog-template-writer.h"
#include "dialogs/dialog-template.h"
#include "dialogs/template-styles.h"

namespace {

using zuna::DialogTemplate;
using zuna::DialogTemplateItem;

struct DialogSource {
  int number = 0;
  DialogTemplate dialog;
};

struct CompileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// UTF-8 to UTF-16; a malformed sequence is an error of the script.
std::u16string utf16_from_utf8(const std::string& s) {
  std::u16string out;
  std::size_t i = 0;
  while (i < s.size()) {
    auto c = static_cast<unsigned char>(s[i]);
    std::uint32_t code = 0;
    int extra = 0;
    if (c < 0x80) {
      code = c;
    } else if ((c & 0xE0) == 0xC0) {
      code = c & 0x1F;
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      code = c & 0x0F;
      extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
      code = c & 0x07;
      extra = 3;
    } else {
      throw CompileError("malformed UTF-8 in a text");
    }
    if (i + static_cast<std::size_t>(extra) >= s.size() && extra > 0) {
      throw CompileError("truncated UTF-8 in a text");
    }
    for (int k = 1; k <= extra; ++k) {
      auto d = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((d & 0xC0) != 0x80) {
        throw CompileError("malformed UTF-8 in a text");
      }
      code = (code << 6) | (d & 0x3F);
    }
    i += static_cast<std::size_t>(extra) + 1;
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
      throw CompileError("malformed UTF-8 in a text");
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
  }
  return out;
}

// --- Tokens -------------------------------------------------------------------

enum class TokenKind { word, number, text, comma, bar, end };

struct Token {
  TokenKind kind = TokenKind::end;
  std::string value;  // word (upper-cased), text (UTF-8) or the number's spelling
  long number = 0;
  int line = 0;
};

class Lexer {
 public:
  explicit Lexer(std::string source) : source_(std::move(source)) {}

  std::vector<Token> tokens() {
    std::vector<Token> out;
    for (;;) {
      Token t = next();
      out.push_back(t);
      if (t.kind == TokenKind::end) {
        return out;
      }
    }
  }

 private:
  Token next() {
    skip_blanks_and_comments();
    Token t;
    t.line = line_;
    if (pos_ >= source_.size()) {
      return t;
    }
    char c = source_[pos_];
    if (c == ',') {
      ++pos_;
      t.kind = TokenKind::comma;
    } else if (c == '|') {
      ++pos_;
      t.kind = TokenKind::bar;
    } else if (c == '"') {
      t.kind = TokenKind::text;
      t.value = quoted();
    } else if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
      t.kind = TokenKind::number;
      std::size_t start = pos_;
      ++pos_;
      while (pos_ < source_.size() && std::isalnum(static_cast<unsigned char>(source_[pos_]))) {
        ++pos_;
      }
      t.value = source_.substr(start, pos_ - start);
      std::size_t used = 0;
      try {
        t.number = std::stol(t.value, &used, 0);
      } catch (const std::exception&) {
        used = 0;
      }
      if (used != t.value.size()) {
        throw CompileError("line " + std::to_string(line_) + ": bad number " + t.value);
      }
    } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      t.kind = TokenKind::word;
      while (pos_ < source_.size() &&
             (std::isalnum(static_cast<unsigned char>(source_[pos_])) || source_[pos_] == '_')) {
        t.value.push_back(
            static_cast<char>(std::toupper(static_cast<unsigned char>(source_[pos_]))));
        ++pos_;
      }
    } else {
      throw CompileError("line " + std::to_string(line_) + ": unexpected character '" +
                         std::string(1, c) + "'");
    }
    return t;
  }

  void skip_blanks_and_comments() {
    while (pos_ < source_.size()) {
      char c = source_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (c == '/' && pos_ + 1 < source_.size() && source_[pos_ + 1] == '/') {
        while (pos_ < source_.size() && source_[pos_] != '\n') {
          ++pos_;
        }
      } else {
        return;
      }
    }
  }

  // A quoted text; "" inside stands for one quotation mark.
  std::string quoted() {
    std::string out;
    ++pos_;
    for (;;) {
      if (pos_ >= source_.size() || source_[pos_] == '\n') {
        throw CompileError("line " + std::to_string(line_) + ": unterminated text");
      }
      char c = source_[pos_++];
      if (c == '"') {
        if (pos_ < source_.size() && source_[pos_] == '"') {
          out.push_back('"');
          ++pos_;
          continue;
        }
        return out;
      }
      out.push_back(c);
    }
  }

  std::string source_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

// --- Parser -------------------------------------------------------------------

class Parser {
 public:
  explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  std::vector<DialogSource> dialogs() {
    std::vector<DialogSource> out;
    while (peek().kind != TokenKind::end) {
      out.push_back(dialog());
      for (const DialogSource& d : out) {
        if (&d != &out.back() && d.number == out.back().number) {
          fail("template " + std::to_string(d.number) + " defined twice");
        }
      }
    }
    return out;
  }

 private:
  DialogSource dialog() {
    DialogSource source;
    source.number = static_cast<int>(number(1, 65535));
    DialogTemplate& d = source.dialog;
    bool has_font = false;
    keyword("DIALOG");
    d.x = coordinate();
    comma();
    d.y = coordinate();
    comma();
    d.cx = coordinate();
    comma();
    d.cy = coordinate();
    for (;;) {
      const Token& t = peek();
      if (t.kind == TokenKind::word && t.value == "STYLE") {
        ++at_;
        d.style = styles();
      } else if (t.kind == TokenKind::word && t.value == "EXSTYLE") {
        ++at_;
        d.ex_style = styles();
      } else if (t.kind == TokenKind::word && t.value == "CAPTION") {
        ++at_;
        d.caption = text();
      } else if (t.kind == TokenKind::word && t.value == "FONT") {
        ++at_;
        has_font = true;
        d.point_size = static_cast<std::uint16_t>(number(1, 0xFFFF));
        comma();
        d.font_face = text();
      } else {
        break;
      }
    }
    keyword("BEGIN");
    while (!(peek().kind == TokenKind::word && peek().value == "END")) {
      keyword("CONTROL");
      d.items.push_back(control());
      if (d.items.size() > 0xFFFF) {
        fail("too many controls");
      }
    }
    ++at_;
    if (has_font != ((d.style & zuna::kDsSetFont) != 0)) {
      fail("template " + std::to_string(source.number) + ": FONT and DS_SETFONT go together");
    }
    return source;
  }

  DialogTemplateItem control() {
    DialogTemplateItem c;
    c.title = text();
    comma();
    // -1 is the customary "no identifier"; it is stored as 0xFFFF.
    c.id = static_cast<std::uint16_t>(number(-1, 0xFFFF));
    comma();
    const Token& t = peek();
    if (t.kind == TokenKind::text) {
      c.class_name = text();
    } else if (std::optional<std::uint16_t> code = zuna::class_by_name(t.value);
               t.kind == TokenKind::word && code) {
      c.class_code = *code;
      ++at_;
    } else {
      fail("unknown control class");
    }
    comma();
    c.style = styles();
    comma();
    c.x = coordinate();
    comma();
    c.y = coordinate();
    comma();
    c.cx = coordinate();
    comma();
    c.cy = coordinate();
    if (peek().kind == TokenKind::comma) {
      ++at_;
      c.ex_style = styles();
    }
    return c;
  }

  std::uint32_t styles() {
    std::uint32_t value = 0;
    for (;;) {
      const Token& t = peek();
      if (t.kind == TokenKind::word) {
        std::optional<std::uint32_t> style = zuna::style_by_name(t.value);
        if (!style) {
          fail("unknown style " + t.value);
        }
        value |= *style;
        ++at_;
      } else if (t.kind == TokenKind::number) {
        value |= static_cast<std::uint32_t>(number(0, 0xFFFFFFFFL));
      } else {
        fail("a style name or number expected");
      }
      if (peek().kind != TokenKind::bar) {
        return value;
      }
      ++at_;
    }
  }

  std::int16_t coordinate() { return static_cast<std::int16_t>(number(-32768, 32767)); }

  long number(long low, long high) {
    const Token& t = peek();
    if (t.kind != TokenKind::number) {
      fail("a number expected");
    }
    if (t.number < low || t.number > high) {
      fail("number " + t.value + " out of range");
    }
    ++at_;
    return t.number;
  }

  std::u16string text() {
    const Token& t = peek();
    if (t.kind != TokenKind::text) {
      fail("a quoted text expected");
    }
    ++at_;
    try {
      return utf16_from_utf8(t.value);
    } catch (const CompileError& e) {
      fail(e.what());
    }
  }

  void keyword(const char* word) {
    const Token& t = peek();
    if (t.kind != TokenKind::word || t.value != word) {
      fail(std::string(word) + " expected");
    }
    ++at_;
  }

  void comma() {
    if (peek().kind != TokenKind::comma) {
      fail("',' expected");
    }
    ++at_;
  }

  const Token& peek() const { return tokens_[at_]; }

  [[noreturn]] void fail(const std::string& message) const {
    throw CompileError("line " + std::to_string(peek().line) + ": " + message);
  }

  std::vector<Token> tokens_;
  std::size_t at_ = 0;
};

std::string source_file(const std::vector<DialogSource>& dialogs) {
  std::ostringstream out;
  out << "// Generated from templates.rc by zuna_template_compiler: do not edit.\n"
      << "#include \"resources/stored-templates.h\"\n\n"
      << "namespace zuna {\n\nnamespace {\n\n";
  for (const DialogSource& d : dialogs) {
    std::vector<std::uint8_t> bytes = zuna::write_dialog_template(d.dialog);
    out << "alignas(4) constexpr std::uint8_t kTemplate" << d.number << "[" << bytes.size()
        << "] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (i % 16 == 0) {
        out << "\n    ";
      }
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02x,", bytes[i]);
      out << hex;
    }
    out << "\n};\n\n";
  }
  out << "constexpr StoredDialogTemplate kTemplates[] = {\n";
  for (const DialogSource& d : dialogs) {
    out << "    {" << d.number << ", kTemplate" << d.number << "},\n";
  }
  out << "};\n\n}  // namespace\n\n"
      << "std::span<const StoredDialogTemplate> stored_dialog_templates() {\n"
      << "  return kTemplates;\n}\n\n}  // namespace zuna\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: zuna_template_compiler <script.rc> <output.cpp>\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << argv[1] << ": cannot be read\n";
    return 1;
  }
  std::stringstream source;
  source << in.rdbuf();
  std::string generated;
  try {
    Parser parser(Lexer(source.str()).tokens());
    std::vector<DialogSource> dialogs = parser.dialogs();
    if (dialogs.empty()) {
      throw CompileError("no template in the script");
    }
    generated = source_file(dialogs);
  } catch (const CompileError& e) {
    std::cerr << argv[1] << ": " << e.what() << "\n";
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << generated;
  out.close();
  if (!out) {
    std::cerr << argv[2] << ": cannot be written\n";
    std::remove(argv[2]);
    return 1;
  }
  return 0;
}
