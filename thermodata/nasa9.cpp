#include "thermodata/nasa9.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <string_view>

namespace zuna::thermodata {
namespace {

constexpr double kExponents[7] = {-2.0, -1.0, 0.0, 1.0, 2.0, 3.0, 4.0};

std::string trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = s.find_last_not_of(" \t\r");
  return std::string(s.substr(first, last - first + 1));
}

// The lines of the file with their numbers; comment and blank lines between
// records are passed over by next_record_line().
class Lines {
 public:
  // The records' lines have 80 columns and the whole NASA Glenn library has
  // some 20000 lines: the bounds refuse at once a file that is no such text
  // (a device, a binary) instead of holding all of it.
  static constexpr std::size_t kMaxLength = 256;
  static constexpr std::size_t kMaxLines = 200000;

  explicit Lines(std::istream& in) {
    std::string line;
    bool open_line = false;
    // Read in blocks: a character at a time through the stream costs ten
    // times more, and the built-in records are read at every start.
    char block[4096];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
      const std::size_t got = static_cast<std::size_t>(in.gcount());
      for (std::size_t k = 0; k < got; ++k) {
        const char c = block[k];
        open_line = true;
        if (c != '\n') {
          if (line.size() == kMaxLength) {
            fail_file("line " + std::to_string(lines_.size() + 1) + " is longer than " +
                      std::to_string(kMaxLength) + " characters");
          }
          line.push_back(c);
          continue;
        }
        add(line);
        open_line = false;
      }
    }
    if (in.bad()) {
      throw RecordError(std::string("the file cannot be read: ") + std::strerror(errno));
    }
    if (open_line) {
      add(line);
    }
  }

  // The comment lines at the top of the file, without their comment mark.
  std::vector<std::string> leading_comments() const {
    std::vector<std::string> comments;
    for (const std::string& l : lines_) {
      const std::string t = trim(l);
      if (t.empty()) {
        continue;
      }
      if (t[0] != '!' && t[0] != '#') {
        break;
      }
      comments.push_back(trim(std::string_view(t).substr(1)));
    }
    return comments;
  }

  // The next line that is neither blank nor a comment; false at the end.
  bool next_record_line(std::string& line, int& number) {
    while (next_ < lines_.size()) {
      const std::string& l = lines_[next_++];
      const std::string t = trim(l);
      if (t.empty() || t[0] == '!' || t[0] == '#') {
        continue;
      }
      line = l;
      number = static_cast<int>(next_);
      return true;
    }
    return false;
  }

  // The next line as it is, inside a record; false at the end of the file.
  bool next_line(std::string& line, int& number) {
    if (next_ >= lines_.size()) {
      return false;
    }
    line = lines_[next_++];
    number = static_cast<int>(next_);
    return true;
  }

 private:
  void add(std::string& line) {
    if (lines_.size() == kMaxLines) {
      fail_file("it has more than " + std::to_string(kMaxLines) + " lines");
    }
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines_.push_back(std::move(line));
    line.clear();
  }

  [[noreturn]] static void fail_file(const std::string& why) {
    throw RecordError(why + ": this is no file of NASA 9-coefficient records");
  }

  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

// Reads one record; `where` names the species for the messages.
class RecordReader {
 public:
  RecordReader(Lines& lines, std::string species) : lines_(lines), species_(std::move(species)) {}

  [[noreturn]] void fail(int line, const std::string& what) const {
    throw RecordError("line " + std::to_string(line) + ", species " + species_ + ": " + what);
  }

  // The next line of the record, padded to 80 columns.
  std::string line(int& number, int previous, const char* expected) {
    std::string l;
    if (!lines_.next_line(l, number)) {
      fail(previous + 1, std::string("the file ends where ") + expected + " is expected");
    }
    if (l.size() < 80) {
      l.resize(80, ' ');
    }
    return l;
  }

  // A number in columns [first, first + width) (1-based first column).
  double number(const std::string& l, int line_number, int first, int width,
                const char* what) const {
    std::string field = trim(std::string_view(l).substr(first - 1, width));
    std::replace(field.begin(), field.end(), 'D', 'E');
    std::replace(field.begin(), field.end(), 'd', 'E');
    const auto columns = [&] {
      return " (columns " + std::to_string(first) + "-" + std::to_string(first + width - 1) + ")";
    };
    if (field.empty()) {
      fail(line_number, std::string("no ") + what + columns());
    }
    // A decimal number, correctly rounded; an explicit plus sign allowed.
    const char* from = field.data();
    const char* to = field.data() + field.size();
    if (to - from > 1 && *from == '+' && from[1] != '-') {
      ++from;
    }
    double value = 0.0;
    const std::from_chars_result read = std::from_chars(from, to, value);
    if (read.ec != std::errc() || read.ptr != to || !std::isfinite(value)) {
      fail(line_number, std::string("cannot read ") + what + " \"" + field + "\"" + columns());
    }
    return value;
  }

 private:
  Lines& lines_;
  std::string species_;
};

bool starts_with_word(const std::string& line, std::string_view word) {
  std::string t = trim(line);
  if (t.size() < word.size()) {
    return false;
  }
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(t[i])) != word[i]) {
      return false;
    }
  }
  return t.size() == word.size() || t[word.size()] == ' ';
}

}  // namespace

const Nasa9Range& Nasa9Species::range_at(double t) const {
  for (const Nasa9Range& r : ranges) {
    if (r.t_low <= t && t <= r.t_high) {
      return r;
    }
  }
  throw RecordError("species " + name + ": no range holds " + std::to_string(t) + " K");
}

double Nasa9Species::cp_r(double t) const {
  const Nasa9Range& r = range_at(t);
  const double* a = r.a;
  return a[0] / (t * t) + a[1] / t + a[2] + a[3] * t + a[4] * t * t + a[5] * t * t * t +
         a[6] * t * t * t * t;
}

double Nasa9Species::h_rt(double t) const {
  const Nasa9Range& r = range_at(t);
  const double* a = r.a;
  return -a[0] / (t * t) + a[1] * std::log(t) / t + a[2] + a[3] * t / 2.0 + a[4] * t * t / 3.0 +
         a[5] * t * t * t / 4.0 + a[6] * t * t * t * t / 5.0 + r.b1 / t;
}

double Nasa9Species::s_r(double t) const {
  const Nasa9Range& r = range_at(t);
  const double* a = r.a;
  return -a[0] / (t * t) / 2.0 - a[1] / t + a[2] * std::log(t) + a[3] * t + a[4] * t * t / 2.0 +
         a[5] * t * t * t / 3.0 + a[6] * t * t * t * t / 4.0 + r.b2;
}

bool Nasa9Species::covers(double t_from, double t_to) const {
  std::vector<Nasa9Range> sorted = ranges;
  std::sort(sorted.begin(), sorted.end(),
            [](const Nasa9Range& a, const Nasa9Range& b) { return a.t_low < b.t_low; });
  double reached = t_from;
  bool started = false;
  for (const Nasa9Range& r : sorted) {
    if (r.t_low <= reached && r.t_high >= reached) {
      reached = std::max(reached, r.t_high);
      started = true;
    }
  }
  return started && reached >= t_to;
}

Nasa9File read_nasa9(std::istream& in) {
  Lines lines(in);
  Nasa9File file;
  file.header = lines.leading_comments();
  std::vector<Nasa9Species>& records = file.species;
  std::string first;
  int first_number = 0;
  bool reactants_only = false;
  while (lines.next_record_line(first, first_number)) {
    // The heading of a whole library: "thermo", then the line of its
    // temperature ranges; and the lines that end its sections.
    if (starts_with_word(first, "thermo")) {
      std::string ranges_line;
      int n = 0;
      lines.next_line(ranges_line, n);
      continue;
    }
    if (starts_with_word(first, "end")) {
      // The products of a library come first; the records after the line
      // "END PRODUCTS" are reactants only.
      std::string words = trim(first);
      std::transform(words.begin(), words.end(), words.begin(),
                     [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
      if (words.rfind("END PRODUCTS", 0) == 0) {
        reactants_only = true;
      }
      continue;
    }
    Nasa9Species sp;
    sp.line = first_number;
    sp.reactant_only = reactants_only;
    std::string head = first.substr(0, std::min<std::size_t>(18, first.size()));
    sp.name = trim(head);
    sp.name = sp.name.substr(0, sp.name.find(' '));
    sp.comment = first.size() > 18 ? trim(std::string_view(first).substr(18)) : std::string();
    RecordReader reader(lines, sp.name);

    int n = first_number;
    const std::string second = reader.line(n, n, "the line of the formula and the molar mass");
    const double count = reader.number(second, n, 1, 2, "number of ranges");
    if (count != std::floor(count) || count < 0 || count > 9) {
      reader.fail(n, "the number of ranges (columns 1-2) must be 0 to 9");
    }
    sp.code = trim(std::string_view(second).substr(3, 6));
    sp.molar_mass = reader.number(second, n, 53, 13, "molar mass");
    sp.heat_of_formation = reader.number(second, n, 66, 15, "heat of formation");
    if (!(sp.molar_mass > 0.0)) {
      reader.fail(n, "the molar mass (columns 53-65) must be positive");
    }
    for (int k = 0; k < 5; ++k) {
      std::string symbol = trim(std::string_view(second).substr(10 + 8 * k, 2));
      if (symbol.empty()) {
        continue;
      }
      const double count = reader.number(second, n, 13 + 8 * k, 6, "number of atoms");
      if (count != 0.0) {
        sp.formula.push_back({std::move(symbol), count});
      }
    }
    const std::string phase = trim(std::string_view(second).substr(50, 2));
    sp.phase = phase.empty() ? 0 : static_cast<int>(reader.number(second, n, 51, 2, "phase"));
    if (count == 0) {
      // A condensed reactant: one line of its assigned temperature, no range.
      const std::string t_line =
          reader.line(n, n, "the temperature line of a record without ranges");
      sp.assigned_t = reader.number(t_line, n, 1, 11, "assigned temperature");
      records.push_back(std::move(sp));
      continue;
    }
    for (int k = 0; k < static_cast<int>(count); ++k) {
      Nasa9Range r;
      const std::string t_line = reader.line(n, n, "a range line (T low, T high, exponents)");
      const int t_number = n;
      r.t_low = reader.number(t_line, n, 1, 11, "T low");
      r.t_high = reader.number(t_line, n, 12, 11, "T high");
      if (!(r.t_low > 0.0 && r.t_high > r.t_low)) {
        reader.fail(n, "the range " + trim(t_line.substr(0, 22)) + " K is empty");
      }
      if (reader.number(t_line, n, 23, 1, "number of exponents") != 7.0) {
        reader.fail(n, "a range must have 7 exponents (column 23)");
      }
      for (int j = 0; j < 7; ++j) {
        if (reader.number(t_line, n, 24 + 5 * j, 5, "exponent") != kExponents[j]) {
          reader.fail(n, "the exponents (columns 24-58) must be -2 -1 0 1 2 3 4");
        }
      }
      const std::string c1 = reader.line(n, t_number, "the coefficients a1..a5");
      for (int j = 0; j < 5; ++j) {
        r.a[j] = reader.number(c1, n, 1 + 16 * j, 16, "a coefficient");
      }
      const std::string c2 = reader.line(n, n, "the coefficients a6, a7, b1, b2");
      r.a[5] = reader.number(c2, n, 1, 16, "a6");
      r.a[6] = reader.number(c2, n, 17, 16, "a7");
      r.b1 = reader.number(c2, n, 49, 16, "b1");
      r.b2 = reader.number(c2, n, 65, 16, "b2");
      sp.ranges.push_back(r);
    }
    records.push_back(std::move(sp));
  }
  return file;
}

const Nasa9Species& find_species(const std::vector<Nasa9Species>& records,
                                 const std::string& name) {
  for (const Nasa9Species& sp : records) {
    if (sp.name == name) {
      return sp;
    }
  }
  throw RecordError("species " + name + ": no record in the file");
}

}  // namespace zuna::thermodata
