#include "app/results-export.h"

// The digest functions of the OpenSSL 1.1.1 API, still part of OpenSSL 3:
// linked statically they bring the SHA-256 code alone, while EVP_Digest
// brings the whole provider machinery, whose pointer tables the loader would
// relocate at every start of the program, whether or not a digest is asked
// for.
#define OPENSSL_API_COMPAT 10101
#include <openssl/sha.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <nlohmann/json.hpp>
#include <span>
#include <string_view>
#include <type_traits>

#include "app/engine-comparison.h"
#include "tables/shortest.h"

namespace zuna {
namespace {

using json = nlohmann::json;

// The columns of a point, "of" to "x4": the sweep's one column table
// (zuna4/sweep-point.h), read over the points of the calculation's table.
// Before them, after "point", stand the point's flags: the SearchFlag bits
// (thermo.h) of its searches, 0 for a valid point.
std::span<const zuna4::SweepColumn> point_columns() { return zuna4::sweep_columns(); }

double column_value(const zuna4::SweepColumn& column, const Calculation& c, int i) {
  return column.value(c.table->point[i]);
}

void append_number(std::string& out, double v) { out += tables::shortest_text(v); }

void append_number(std::string& out, std::int32_t v) { out += std::to_string(v); }

// A JSON string: quoted and escaped. A text that is not UTF-8 (a file name
// in another code page) is written with replacement characters rather than
// refused.
std::string json_string(std::string_view text) {
  return json(text).dump(-1, ' ', false, json::error_handler_t::replace);
}

// "name": value pairs of one JSON object on one line.
class JsonLine {
 public:
  template <typename T>
  JsonLine& add(std::string_view name, T value) {
    text_ += text_.empty() ? "{" : ", ";
    text_ += json_string(name);
    text_ += ": ";
    if constexpr (std::is_floating_point_v<T>) {
      if (!std::isfinite(value)) {
        text_ += "null";  // JSON has no infinity or NaN
        return *this;
      }
    }
    append_number(text_, value);
    return *this;
  }
  std::string done() { return text_.empty() ? "{}" : text_ + "}"; }

 private:
  std::string text_;
};

// The columns of --compare-engine, after every other: the engine's flame
// temperature, its mole fractions and its flags (zuna4::StateFlag bits).
// A point the engine did not compute has them empty (null).
constexpr std::array<const char*, 6> kEngineFractions = {
    "engine_x_h2o", "engine_x_o2", "engine_x_h2", "engine_x_h", "engine_x_o", "engine_x_oh"};

void append_engine_header(std::string& out) {
  out += ",engine_T [K]";
  for (const char* name : kEngineFractions) {
    out.append(",").append(name).append(" [-]");
  }
  out += ",engine_flags";
}

void append_engine_cells(std::string& out, const EngineFlame& f) {
  if (!f.computed) {
    out += ",,,,,,,,";
    return;
  }
  for (double v : {f.T_K, f.x[0], f.x[1], f.x[2], f.x[3], f.x[4], f.x[5]}) {
    out += ',';
    if (std::isfinite(v)) {
      append_number(out, v);
    }
  }
  out += ',';
  append_number(out, static_cast<std::int32_t>(f.flags));
}

// The parameters of a calculation, in the order of the parameter form.
std::string parameters_json(const RunParameters& p) {
  JsonLine line;
  for (const ParameterDescriptor& d : kRunParameterTable) {
    if (d.type == ParameterType::integer) {
      line.add(d.name, p.*d.integer);
    } else {
      line.add(d.name, p.*d.real);
    }
  }
  return line.done();
}

void append_parameter(std::string& out, const RunParameters& p, const ParameterDescriptor& d) {
  if (d.type == ParameterType::integer) {
    append_number(out, p.*d.integer);
  } else {
    append_number(out, p.*d.real);
  }
}

}  // namespace

std::string results_csv_header(bool engine) {
  std::string out = "calculation";
  for (const ParameterDescriptor& d : kRunParameterTable) {
    out.append(",").append(d.name);
    if (d.unit != nullptr) {
      out.append(" [").append(d.unit).append("]");
    }
  }
  out += ",point,flags";
  for (const zuna4::SweepColumn& column : point_columns()) {
    out.append(",").append(column.name).append(" [").append(column.unit).append("]");
  }
  if (engine) {
    append_engine_header(out);
  }
  out += "\n";
  return out;
}

std::string results_csv_rows(std::size_t number, const Calculation& c,
                             const std::vector<EngineFlame>* engine) {
  std::string parameters = std::to_string(number);
  for (const ParameterDescriptor& d : kRunParameterTable) {
    parameters += ',';
    append_parameter(parameters, c.p, d);
  }
  std::string out;
  for (int i = 1; i <= c.s.npts; ++i) {
    out += parameters;
    out += ',';
    append_number(out, static_cast<std::int32_t>(i));
    out += ',';
    append_number(out, static_cast<std::int32_t>(c.table->point[i].flags));
    for (const zuna4::SweepColumn& column : point_columns()) {
      out += ',';
      append_number(out, column_value(column, c, i));
    }
    if (engine != nullptr) {
      append_engine_cells(out, (*engine)[static_cast<std::size_t>(i - 1)]);
    }
    out += '\n';
  }
  return out;
}

std::string results_csv(std::span<const Calculation> calculations, const EngineComparison* engine) {
  std::string out = results_csv_header(engine != nullptr);
  for (std::size_t n = 0; n < calculations.size(); ++n) {
    out += results_csv_rows(n + 1, calculations[n],
                            engine != nullptr ? &engine->calculations[n] : nullptr);
  }
  return out;
}

// Written by hand rather than through a JSON library's serializer, so that
// every number is std::to_chars' shortest form; one point per line.
std::string results_json_head(const ExportSource& source, bool engine) {
  std::string out = "{\n \"program\": \"zuna4c\",\n \"version\": " + json_string(source.version) +
                    ",\n \"data_file\": {\"name\": " + json_string(source.data_file) +
                    ", \"sha256\": " + json_string(source.data_sha256) + "},\n \"units\": {";
  const char* separator = "";
  for (const zuna4::SweepColumn& column : point_columns()) {
    out += separator;
    out += json_string(column.name) + ": " + json_string(column.unit);
    separator = ", ";
  }
  if (engine) {
    out += ", \"engine_T\": \"K\"";
    for (const char* name : kEngineFractions) {
      out += ", " + json_string(name) + ": \"-\"";
    }
  }
  out += "},\n \"calculations\": [";
  return out;
}

std::string results_json_calculation(std::size_t number, const Calculation& c,
                                     const std::vector<EngineFlame>* engine) {
  std::string out = number == 1 ? "\n" : ",\n";
  out += "  {\"parameters\": " + parameters_json(c.p) + ",\n   \"ofst\": ";
  append_number(out, c.s.ofst);
  out += ",\n   \"points\": [";
  for (int i = 1; i <= c.s.npts; ++i) {
    JsonLine point;
    point.add("point", static_cast<std::int32_t>(i));
    point.add("flags", static_cast<std::int32_t>(c.table->point[i].flags));
    for (const zuna4::SweepColumn& column : point_columns()) {
      point.add(column.name, column_value(column, c, i));
    }
    if (engine != nullptr) {
      const EngineFlame& f = (*engine)[static_cast<std::size_t>(i - 1)];
      const double absent = std::numeric_limits<double>::quiet_NaN();
      point.add("engine_T", f.computed ? f.T_K : absent);
      for (std::size_t k = 0; k < kEngineFractions.size(); ++k) {
        point.add(kEngineFractions[k], f.computed ? f.x[k] : absent);
      }
      if (f.computed) {
        point.add("engine_flags", static_cast<std::int32_t>(f.flags));
      } else {
        point.add("engine_flags", absent);
      }
    }
    out += i == 1 ? "\n    " : ",\n    ";
    out += point.done();
  }
  out += "]}";
  return out;
}

std::string results_json_tail() { return "\n ]\n}\n"; }

std::string results_json(std::span<const Calculation> calculations, const ExportSource& source,
                         const EngineComparison* engine) {
  std::string out = results_json_head(source, engine != nullptr);
  for (std::size_t n = 0; n < calculations.size(); ++n) {
    out += results_json_calculation(n + 1, calculations[n],
                                    engine != nullptr ? &engine->calculations[n] : nullptr);
  }
  out += results_json_tail();
  return out;
}

namespace {

std::string hex_digest(const unsigned char (&digest)[SHA256_DIGEST_LENGTH]) {
  std::string hex;
  for (unsigned char byte : digest) {
    char two[3];
    std::snprintf(two, sizeof two, "%02x", byte);
    hex += two;
  }
  return hex;
}

}  // namespace

// Init/Update/Final, not the one-shot SHA256(): in OpenSSL 3 that one is
// defined beside SHA-1's and goes through EVP_Q_digest, which would link the
// provider machinery in after all.
std::string sha256_hex(std::string_view bytes) {
  SHA256_CTX context;
  SHA256_Init(&context);
  SHA256_Update(&context, bytes.data(), bytes.size());
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256_Final(digest, &context);
  return hex_digest(digest);
}

std::optional<std::string> file_sha256(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  SHA256_CTX context;
  SHA256_Init(&context);
  char block[1 << 16];
  while (in.read(block, sizeof block) || in.gcount() > 0) {
    SHA256_Update(&context, block, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) {
    return std::nullopt;
  }
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256_Final(digest, &context);
  return hex_digest(digest);
}

}  // namespace zuna
