// The program's data file written from fitted species: six blocks of 22
// records in the order H2O, O2, H2, H, O, OH, then, after the 132nd record
// (which the program never reads), notes on the source and the fit.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "fit/fit7.h"
#include "thermodata/nasa9.h"
#include "thermo/thermo.h"

namespace zuna::fit {

struct DataSpecies {
  const char* name;         // name of the record in the source
  const char* description;  // for the block's second record
};

// The six species of the program, in the order of the data file.
const std::vector<DataSpecies>& data_species();

struct FittedSpecies {
  const Nasa9Species* source;
  Fit7 fit;
};

// Fits the six species of the source. Throws RecordError naming a species
// that is missing, whose ranges do not cover 200-6000 K or whose fit the
// program cannot use (see unusable_fit).
std::vector<FittedSpecies> fit_all(const Nasa9File& source);

// The coefficients and molar masses of a data file in the program's layout,
// read by thermodata's reader of that layout (thermodata/data7.h), in the
// arrays of the thermochemistry. Throws its RecordError.
struct DataFile {
  CoefBlock coef;
  double mw[6] = {};
};
DataFile read_data_file(std::istream& in);

// The text of the data file: LF line ends, ASCII only.
std::string data_file_text(const std::vector<FittedSpecies>& species,
                           const std::vector<std::string>& source_header);

}  // namespace zuna::fit
