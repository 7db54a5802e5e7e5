// The species data of a calculation from the two file layouts: NASA
// 9-coefficient records (built in, or another file) and the program's own
// 7-coefficient file.
#include <algorithm>
#include <sstream>

#include "engine/builtin-records.h"
#include "engine/data-checks.h"
#include "engine/engine.h"
#include "engine/fp-guard.h"
#include "engine/poly-terms.h"
#include "thermodata/data7.h"
#include "thermodata/nasa9.h"

namespace zuna::engine {
namespace {

constexpr const char* kNames[kSpeciesCount] = {"H2O", "O2", "H2", "H", "O", "OH"};

// The ranges of a record that begin below 6000 K, ordered; they must cover
// 200-6000 K without a gap.
SpeciesPoly poly_of(const thermodata::Nasa9Species& record, const std::string& name) {
  std::vector<thermodata::Nasa9Range> ranges;
  for (const thermodata::Nasa9Range& r : record.ranges) {
    if (r.t_low < kTMaxK) {
      ranges.push_back(r);
    }
  }
  std::sort(ranges.begin(), ranges.end(),
            [](const auto& a, const auto& b) { return a.t_low < b.t_low; });
  const std::string where =
      name + ", line " + std::to_string(record.line) + ", species " + record.name + ": ";
  if (!record.covers(kTMinK, kTMaxK) || ranges.empty() || ranges.size() > 3) {
    throw InputError(where + "the ranges must cover 200-6000 K in at most three ranges");
  }
  SpeciesPoly sp;
  sp.M_g_mol = record.molar_mass;
  sp.range_count = static_cast<int>(ranges.size());
  for (int r = 0; r < sp.range_count; ++r) {
    if (r > 0 && ranges[r].t_low != ranges[r - 1].t_high) {
      throw InputError(where + "the ranges below 6000 K must follow one another");
    }
    PolyRange& out = sp.range[r];
    out.T_low_K = ranges[r].t_low;
    out.T_high_K = ranges[r].t_high;
    std::copy(std::begin(ranges[r].a), std::end(ranges[r].a), out.a);
    out.b1 = ranges[r].b1;
    out.b2 = ranges[r].b2;
  }
  if (const detail::DataFault fault =
          detail::species_data_fault(sp.M_g_mol, sp.range, sp.range_count,
                                                                  detail::RecordKind::six_species)) {
    throw InputError(where + detail::fault_text(fault, sp.range));
  }
  return sp;
}

// A 7-coefficient range in the 9-coefficient form: a1 = a2 = 0.
PolyRange range7(const double (&c)[7], double T_low_K, double T_high_K) {
  PolyRange r;
  r.T_low_K = T_low_K;
  r.T_high_K = T_high_K;
  for (int j = 0; j < 5; ++j) {
    r.a[2 + j] = c[j];
  }
  r.b1 = c[5];
  r.b2 = c[6];
  return r;
}

}  // namespace

const char* species_name(int j) { return j >= 0 && j < kSpeciesCount ? kNames[j] : ""; }

ThermoData read_nasa9_data(std::istream& in, const std::string& name) {
  detail::FpGuard guard;
  thermodata::Nasa9File file;
  try {
    file = thermodata::read_nasa9(in);
  } catch (const thermodata::RecordError& e) {
    throw InputError(name + ": " + e.what());
  }
  ThermoData data;
  data.R_J_molK = 8.314510;
  data.p_ref_bar = 1.0;
  data.source = name + " (NASA 9-coefficient records, standard state 1 bar)";
  for (int j = 0; j < kSpeciesCount; ++j) {
    try {
      data.species[j] = poly_of(thermodata::find_species(file.species, kNames[j]), name);
    } catch (const thermodata::RecordError& e) {
      throw InputError(name + ": " + e.what());
    }
  }
  return data;
}

ThermoData read_data7(std::istream& in, const std::string& name) {
  detail::FpGuard guard;
  thermodata::Data7File file;
  try {
    file = thermodata::read_data7(in);
  } catch (const thermodata::RecordError& e) {
    throw InputError(name + ": " + e.what());
  }
  ThermoData data;
  data.R_J_molK = 8.31451;
  data.p_ref_bar = kAtmBar;
  data.source = name + " (7-coefficient polynomials, standard state 1 atm)";
  for (int j = 0; j < kSpeciesCount; ++j) {
    SpeciesPoly& sp = data.species[j];
    sp.M_g_mol = file.species[j].molar_mass;
    sp.range_count = 2;
    sp.range[0] = range7(file.species[j].low, kTMinK, 1000.0);
    sp.range[1] = range7(file.species[j].high, 1000.0, kTMaxK);
    if (const detail::DataFault fault =
            detail::species_data_fault(sp.M_g_mol, sp.range, sp.range_count,
                                                                  detail::RecordKind::six_species)) {
      // Records of a block: 3 the molar mass, 5-11 a1..a7 of 1000-6000 K,
      // 13-19 a1..a7 of 200-1000 K; a[2..6], b1, b2 hold a1..a7.
      const int block = 22 * j;
      int record = block + 3;
      std::string what = fault.what;
      if (fault.range >= 0) {
        const int a = fault.coefficient - 1;  // 1-based among a1..a7
        record = block + (fault.range == 1 ? 5 : 13) + a - 1;
        what = "coefficient a" + std::to_string(a) +
               (fault.range == 1 ? " of 1000-6000 K" : " of 200-1000 K") + " is too large: its " +
               "terms leave the range of the numbers";
      }
      throw InputError(name + ": record " + std::to_string(record) + ", species " + kNames[j] +
                       ": " + what);
    }
  }
  return data;
}

const ThermoData& builtin_nasa9_data() {
  detail::FpGuard guard;
  // Parsed once; a magic static is initialised by exactly one thread.
  static const ThermoData data = [] {
    std::istringstream in(detail::builtin_nasa9_text());
    ThermoData d = read_nasa9_data(in, "nasa9-h2o2.inp");
    d.source = "NASA Glenn 9-coefficient records (built in), standard state 1 bar";
    return d;
  }();
  return data;
}

std::string_view builtin_nasa9_text() {
  static const std::string_view text(detail::builtin_nasa9_text());
  return text;
}

SpeciesFunctions species_functions(const ThermoData& data, double T_K) {
  detail::FpGuard guard;
  detail::SpeciesTerms t;
  detail::evaluate_terms(data, T_K, t);
  SpeciesFunctions f;
  for (int j = 0; j < kSpeciesCount; ++j) {
    f.cp_R[j] = t.cp_R[j];
    f.h_RT[j] = t.h_RT[j];
    f.s0_R[j] = t.s0_R[j];
  }
  return f;
}

}  // namespace zuna::engine
