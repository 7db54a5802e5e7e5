#include "tables/json-writer.h"

#include <cassert>

namespace zuna::tables {

void put_json_string(OutputBuffer& out, std::string_view v) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.put('"');
  for (char c : v) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out.put("\\\""); break;
      case '\\': out.put("\\\\"); break;
      case '\n': out.put("\\n"); break;
      case '\r': out.put("\\r"); break;
      case '\t': out.put("\\t"); break;
      default:
        if (byte < 0x20) {
          const char escape[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 15]};
          out.put(std::string_view(escape, sizeof escape));
        } else {
          out.put(c);
        }
    }
  }
  out.put('"');
}

JsonWriter::JsonWriter(OutputBuffer& out, std::span<const JsonMember> members,
                       std::span<const Column> columns)
    : out_(out), columns_(columns) {
  out_.put('{');
  for (const JsonMember& m : members) {
    put_json_string(out_, m.name);
    out_.put(": ");
    if (m.raw) {
      out_.put(m.value);
    } else {
      put_json_string(out_, m.value);
    }
    out_.put(",\n ");
  }
  out_.put("\"rows\": [");
}

JsonWriter::JsonWriter(OutputBuffer& out, JsonArrayOnly, std::span<const Column> columns)
    : out_(out), columns_(columns), array_only_(true) {
  out_.put('[');
}

void JsonWriter::member() {
  assert(column_ < columns_.size() && "more cells than columns in a row");
  if (column_ == 0) {
    out_.put(first_row_ ? "\n  {" : ",\n  {");
    first_row_ = false;
  } else {
    out_.put(", ");
  }
  put_json_string(out_, columns_[column_].name);
  out_.put(": ");
  ++column_;
}

void JsonWriter::number(double v) {
  member();
  if (std::isfinite(v)) {
    out_.advance(write_shortest(out_.room(kShortestRoom), v));
  } else {
    out_.put("null");
  }
}

void JsonWriter::integer(std::int64_t v) {
  member();
  out_.advance(write_integer(out_.room(24), v));
}

void JsonWriter::text(std::string_view v) {
  member();
  put_json_string(out_, v);
}

void JsonWriter::absent() {
  member();
  out_.put("null");
}

void JsonWriter::end_row() {
  out_.put('}');
  column_ = 0;
}

bool JsonWriter::finish() {
  if (array_only_) {
    out_.put(first_row_ ? "]" : "\n ]");
  } else {
    out_.put(first_row_ ? "]}\n" : "\n ]}\n");
  }
  return out_.flush();
}

}  // namespace zuna::tables
