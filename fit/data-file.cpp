#include "fit/data-file.h"

#include <cstdio>

#include "thermodata/data7.h"

namespace zuna::fit {
namespace {

std::string fixed(double value, const char* format) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

DataFile read_data_file(std::istream& in) {
  const thermodata::Data7File file = thermodata::read_data7(in);
  DataFile data;
  for (int k = 1; k <= 6; ++k) {
    const thermodata::Data7Species& sp = file.species[k - 1];
    data.mw[k - 1] = sp.molar_mass;
    for (int j = 1; j <= 7; ++j) {
      data.coef(k, j, 1) = sp.high[j - 1];
      data.coef(k, j, 2) = sp.low[j - 1];
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
