#include "transport/transport-data.h"

#include <cstdlib>
#include <sstream>

#include "engine/engine.h"

namespace zuna::transport {

namespace {

std::string trimmed(std::string_view s) {
  const auto b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) {
    return {};
  }
  const auto e = s.find_last_not_of(" \r");
  return std::string(s.substr(b, e - b + 1));
}

[[noreturn]] void fail(const std::string& file, int line, const std::string& what) {
  throw engine::InputError(file + ", line " + std::to_string(line) + ": " + what);
}

// A number of the file's Fortran E format, where the exponent's sign may be
// a blank ("0.61205763E 00").
bool parse_number(std::string_view field, double& value) {
  std::string text = trimmed(field);
  const auto e = text.find_first_of("Ee");
  if (e != std::string::npos && e + 1 < text.size() && text[e + 1] == ' ') {
    text[e + 1] = '+';
  }
  if (text.empty()) {
    return false;
  }
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size();
}

// " V  200.0   1000.0   A B C D": the kind in column 2, the limits
// free-form in columns 3-20, the coefficients in four fields of 15.
FitRange parse_range(const std::string& line, const std::string& file, int number) {
  FitRange r;
  std::istringstream limits(line.substr(2, 18));
  if (line.size() < 80 || !(limits >> r.T_low_K >> r.T_high_K) || !(r.T_low_K < r.T_high_K)) {
    fail(file, number, "a fit line needs T low < T high and four coefficients in columns 21-80");
  }
  double* c[4] = {&r.A, &r.B, &r.C, &r.D};
  for (int k = 0; k < 4; ++k) {
    if (!parse_number(std::string_view(line).substr(20 + 15 * k, 15), *c[k])) {
      fail(file, number, "coefficient " + std::to_string(k + 1) + " is no number");
    }
  }
  return r;
}

}  // namespace

const TransportRecord* TransportDatabase::find(std::string_view name,
                                               std::string_view partner) const {
  for (const TransportRecord& r : records) {
    if ((r.name == name && r.partner == partner) ||
        (!partner.empty() && r.name == partner && r.partner == name)) {
      return &r;
    }
  }
  return nullptr;
}

TransportDatabase read_transport(std::istream& in, const std::string& name) {
  TransportDatabase db;
  db.source = name;
  std::string line;
  int number = 0;
  bool heading = false;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == '!') {
      continue;
    }
    if (!heading) {
      heading = true;  // "transport property coefficients"
      continue;
    }
    if (trimmed(line) == "end") {
      return db;
    }
    if (line.size() >= 2 && line[0] == ' ' && (line[1] == 'V' || line[1] == 'C')) {
      if (db.records.empty()) {
        fail(name, number, "a fit line before any species");
      }
      TransportRecord& last = db.records.back();
      (line[1] == 'V' ? last.viscosity : last.conductivity)
          .push_back(parse_range(line, name, number));
      continue;
    }
    TransportRecord r;
    r.name = trimmed(std::string_view(line).substr(0, std::min<std::size_t>(16, line.size())));
    if (line.size() > 16) {
      r.partner =
          trimmed(std::string_view(line).substr(16, std::min<std::size_t>(18, line.size() - 16)));
    }
    if (r.name.empty()) {
      fail(name, number, "an entry without a species name");
    }
    r.line = number;
    db.records.push_back(std::move(r));
  }
  fail(name, number, "no \"end\" line");
}

const TransportDatabase& builtin_transport() {
  static const TransportDatabase db = [] {
    std::istringstream in(detail::builtin_fits_text());
    TransportDatabase d = read_transport(in, "nasa-glenn-trans-chon-ar-he.inp");
    d.source = "NASA Glenn transport fits of H, O, N, Ar, He, C (built in)";
    return d;
  }();
  return db;
}

const FitRange& fit_range_at(const std::vector<FitRange>& ranges, double T_K) {
  for (const FitRange& r : ranges) {
    if (T_K < r.T_high_K) {
      return r;
    }
  }
  return ranges.back();
}

}  // namespace zuna::transport
