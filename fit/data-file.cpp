#include "fit/data-file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fit/tool-files.h"

namespace zuna::fit {
namespace {

// Records are short: the longest, a block's description, has about 100
// characters.
constexpr std::size_t kMaxRecordLength = 1024;

std::string fixed(double value, const char* format) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// The first item of a value record: up to a blank or a comma.
double record_value(const std::string& record, int number) {
  const auto first = record.find_first_not_of(" \t");
  std::string item = first == std::string::npos ? std::string() : record.substr(first);
  item = item.substr(0, item.find_first_of(" \t,"));
  std::replace(item.begin(), item.end(), 'D', 'E');
  std::replace(item.begin(), item.end(), 'd', 'E');
  char* end = nullptr;
  const double value = std::strtod(item.c_str(), &end);
  if (item.empty() || end != item.data() + item.size()) {
    throw RecordError("record " + std::to_string(number) + ": no number in \"" + record + "\"");
  }
  if (!std::isfinite(value)) {
    throw RecordError("record " + std::to_string(number) + ": \"" + item +
                      "\" is not a finite number");
  }
  return value;
}

}  // namespace

DataFile read_data_file(std::istream& in) {
  std::vector<std::string> records;
  std::string line;
  while (records.size() < 132) {
    const LineRead read = read_line(in, line, kMaxRecordLength);
    if (read == LineRead::end) {
      break;
    }
    if (read == LineRead::failed) {
      throw RecordError(std::string("the file cannot be read: ") + std::strerror(errno));
    }
    if (read == LineRead::too_long) {
      throw RecordError("record " + std::to_string(records.size() + 1) + " is longer than " +
                        std::to_string(kMaxRecordLength) +
                        " characters: this is no data file of the program");
    }
    records.push_back(line);
  }
  if (records.size() < 132) {
    throw RecordError("the file ends after " + std::to_string(records.size()) +
                      " records, before the 132nd");
  }
  DataFile data;
  for (int k = 1; k <= 6; ++k) {
    const int base = 22 * (k - 1);
    data.mw[k - 1] = record_value(records[base + 2], base + 3);
    for (int j = 1; j <= 7; ++j) {
      data.coef(k, j, 1) = record_value(records[base + 3 + j], base + 4 + j);
      data.coef(k, j, 2) = record_value(records[base + 11 + j], base + 12 + j);
    }
  }
  return data;
}

const std::vector<DataSpecies>& data_species() {
  static const std::vector<DataSpecies> species = {{"H2O", "water"},       {"O2", "oxygen"},
                                                   {"H2", "hydrogen"},     {"H", "atomic hydrogen"},
                                                   {"O", "atomic oxygen"}, {"OH", "hydroxyl"}};
  return species;
}

std::vector<FittedSpecies> fit_all(const Nasa9File& source) {
  std::vector<FittedSpecies> fitted;
  for (const DataSpecies& ds : data_species()) {
    const Nasa9Species& sp = find_species(source.species, ds.name);
    if (sp.ranges.empty()) {
      throw RecordError("line " + std::to_string(sp.line) + ", species " + sp.name +
                        ": the record has no temperature range");
    }
    if (!sp.covers(kFitLow, kFitHigh)) {
      throw RecordError("line " + std::to_string(sp.line) + ", species " + sp.name +
                        ": the ranges do not cover 200-6000 K");
    }
    const Fit7 fit = fit_species(sp);
    if (const std::string why = unusable_fit(fit); !why.empty()) {
      throw RecordError("line " + std::to_string(sp.line) + ", species " + sp.name +
                        ": the program cannot use the fitted coefficients: " + why);
    }
    fitted.push_back({&sp, fit});
  }
  return fitted;
}

std::string data_file_text(const std::vector<FittedSpecies>& species,
                           const std::vector<std::string>& source_header) {
  std::string text;
  const auto record = [&text](const std::string& r) { text += r + "\n"; };
  for (std::size_t k = 0; k < species.size(); ++k) {
    const Nasa9Species& sp = *species[k].source;
    const Fit7& fit = species[k].fit;
    record(sp.name);
    record(std::string(data_species()[k].description) + "; NASA Glenn data, entry " + sp.code +
           ", refitted to 7 coefficients on 200-1000-6000 K; standard state 1 atm");
    record(fixed(sp.molar_mass, "%.10g"));
    record("coefficients a1..a7, 1000 K to 6000 K");
    for (const double a : fit.high) {
      record(format_coefficient(a));
    }
    record("coefficients a1..a7, 200 K to 1000 K");
    for (const double a : fit.low) {
      record(format_coefficient(a));
    }
    record("upper temperature limit of the fit (K)");
    record(fixed(kFitHigh, "%.3f"));
    record("");
  }
  record("Notes (after the 132nd record; the program does not read them)");
  record("");
  record("Made by zuna4-fit from NASA 9-coefficient records. Per species, 7-coefficient");
  record("polynomials on 200-1000 K and 1000-6000 K, fitted by least squares to cp/R,");
  record("H/(RT) and S/R every 10 K (the samples of 2500-3200 K counting twice), with");
  record("cp, H and S continuous at 1000 K and H and S equal to the source's at 298.15 K.");
  record("Standard state 1 atm: the source is referred to 1 bar, so each entropy");
  record("constant a7 is that of 1 bar minus ln(1.01325) (S at 1 atm = S at 1 bar");
  record("- R ln 1.01325); the equilibrium constants are then referred to 1 atm, the");
  record("unit of the program's pressures.");
  record("");
  record("The source file said:");
  for (const std::string& line : source_header) {
    record("  " + line);
  }
  return text;
}

}  // namespace zuna::fit
