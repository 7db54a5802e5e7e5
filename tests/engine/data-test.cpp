// The species data of the engine: the built-in records are the shipped file,
// each reader refuses a file it cannot use with a message that says where,
// and a 7-coefficient range evaluates as its own polynomial.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/engine.h"
#include "engine/product-set.h"
#include "tests/support/shipped-data.h"

namespace zuna::engine {
namespace {

std::string slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The message of the InputError that reading `text` throws, or "".
template <class Reader>
std::string refusal(Reader read, const std::string& text) {
  std::istringstream in(text);
  try {
    read(in, "test.inp");
  } catch (const InputError& e) {
    return e.what();
  }
  return "";
}

std::string replace_line(const std::string& text, int n, const std::string& line) {
  std::istringstream in(text);
  std::string out, l;
  for (int k = 1; std::getline(in, l); ++k) {
    out += (k == n ? line : l) + "\n";
  }
  return out;
}

TEST(EngineData, BuiltInRecordsAreTheShippedFile) {
  std::istringstream in(slurp(ZUNA_DATA_DIR "/nasa9-h2o2.inp"));
  const ThermoData file = read_nasa9_data(in, "nasa9-h2o2.inp");
  const ThermoData& built = builtin_nasa9_data();
  EXPECT_EQ(built.R_J_molK, 8.314510);
  EXPECT_EQ(built.p_ref_bar, 1.0);
  for (int j = 0; j < kSpeciesCount; ++j) {
    const SpeciesPoly& a = file.species[j];
    const SpeciesPoly& b = built.species[j];
    EXPECT_EQ(a.M_g_mol, b.M_g_mol);
    ASSERT_EQ(b.range_count, 2) << species_name(j) << ": the ranges up to 6000 K";
    for (int r = 0; r < b.range_count; ++r) {
      EXPECT_EQ(b.range[r].T_low_K, r == 0 ? 200.0 : 1000.0);
      EXPECT_EQ(b.range[r].b1, a.range[r].b1);
      EXPECT_EQ(b.range[r].b2, a.range[r].b2);
      for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(b.range[r].a[k], a.range[r].a[k]);
      }
    }
  }
}

TEST(EngineData, BuiltInTextIsTheShippedFileAndParsesToTheBuiltInData) {
  const std::string file = slurp(ZUNA_DATA_DIR "/nasa9-h2o2.inp");
  const std::string_view text = builtin_nasa9_text();
  EXPECT_EQ(text, file);
  EXPECT_EQ(builtin_nasa9_text().data(), text.data()) << "the same text on every call";
  std::istringstream in{std::string(text)};
  const ThermoData parsed = read_nasa9_data(in, "nasa9-h2o2.inp");
  const ThermoData& built = builtin_nasa9_data();
  for (int j = 0; j < kSpeciesCount; ++j) {
    EXPECT_EQ(parsed.species[j].M_g_mol, built.species[j].M_g_mol);
    EXPECT_EQ(parsed.species[j].range[1].a[2], built.species[j].range[1].a[2]);
  }
}

TEST(EngineData, RecordsGiveTheirHeatsOfFormation) {
  // Line 2 of each record: the heat of formation at 298.15 K [J/mol].
  const double hf[kSpeciesCount] = {-241826.000, 0.0, 0.0, 217998.828, 249175.003, 37278.206};
  const ThermoData& d = builtin_nasa9_data();
  const SpeciesFunctions f = species_functions(d, 298.15);
  for (int j = 0; j < kSpeciesCount; ++j) {
    EXPECT_NEAR(f.h_RT[j] * d.R_J_molK * 298.15, hf[j], 0.01) << species_name(j);
  }
}

TEST(EngineData, Nasa9ReaderRefusesWhatItCannotUse) {
  const std::string text = slurp(ZUNA_DATA_DIR "/nasa9-h2o2.inp");
  auto read = [](std::istream& in, const std::string& name) { read_nasa9_data(in, name); };
  EXPECT_EQ(refusal(read, text), "");
  // Without OH (the last record, 10 lines).
  const std::string no_oh = text.substr(0, text.find("\nOH ") + 1);
  EXPECT_NE(refusal(read, no_oh).find("OH"), std::string::npos);
  // A coefficient that does not read: line 15 holds H2O's first a1..a5.
  const std::string bad = replace_line(text, 15, "-3.94796083OD+04 5.755731020D+02");
  const std::string why = refusal(read, bad);
  EXPECT_NE(why.find("test.inp"), std::string::npos) << why;
  EXPECT_NE(why.find("line 15"), std::string::npos) << why;
  // H2O's ranges leave a gap (1000-1500 K).
  const std::string gap = replace_line(
      text, 17, "   1500.000   6000.0007 -2.0 -1.0  0.0  1.0  2.0  3.0  4.0  0.0         9904.092");
  EXPECT_NE(refusal(read, gap).find("H2O"), std::string::npos);
}

TEST(EngineData, Data7ReaderReadsTheProgramsFile) {
  std::ifstream in(ZUNA_DATA_DIR "/zuna.dat", std::ios::binary);
  const ThermoData d = read_data7(in, "zuna.dat");
  const testing::ShippedData shipped = testing::load_shipped_data();
  EXPECT_EQ(d.R_J_molK, 8.31451);
  EXPECT_EQ(d.p_ref_bar, 1.01325);
  for (int k = 1; k <= 6; ++k) {
    EXPECT_EQ(d.species[k - 1].M_g_mol, shipped.tc.mwk(k));
  }
  // The evaluation of a 7-coefficient range against its own formula:
  // cp/R = a1 + a2 T + ... , H/RT = a1 + a2 T/2 + ... + a6/T,
  // S/R = a1 ln T + a2 T + ... + a7; range 1 of the file is T >= 1000 K.
  for (double T : {300.0, 999.0, 1000.0, 2500.0, 5999.0}) {
    const SpeciesFunctions f = species_functions(d, T);
    const int r = T >= 1000.0 ? 1 : 2;
    for (int k = 1; k <= 6; ++k) {
      auto a = [&](int j) { return shipped.coef(k, j, r); };
      const double cp = a(1) + a(2) * T + a(3) * T * T + a(4) * T * T * T + a(5) * T * T * T * T;
      const double h = a(1) + a(2) * T / 2 + a(3) * T * T / 3 + a(4) * T * T * T / 4 +
                       a(5) * T * T * T * T / 5 + a(6) / T;
      const double s = a(1) * std::log(T) + a(2) * T + a(3) * T * T / 2 + a(4) * T * T * T / 3 +
                       a(5) * T * T * T * T / 4 + a(7);
      EXPECT_NEAR(f.cp_R[k - 1], cp, 1e-12 * std::fabs(cp)) << k << " " << T;
      EXPECT_NEAR(f.h_RT[k - 1], h, 1e-12 * std::fabs(h) + 1e-12) << k << " " << T;
      EXPECT_NEAR(f.s0_R[k - 1], s, 1e-12 * std::fabs(s)) << k << " " << T;
    }
  }
}

TEST(EngineData, Data7ReaderRefusesWhatItCannotUse) {
  const std::string text = slurp(ZUNA_DATA_DIR "/zuna.dat");
  auto read = [](std::istream& in, const std::string& name) { read_data7(in, name); };
  EXPECT_EQ(refusal(read, text), "");
  std::string why = refusal(read, text.substr(0, 500));
  EXPECT_NE(why.find("ends after"), std::string::npos) << why;
  why = refusal(read, replace_line(text, 27, "two point five"));  // O2's a1 of 1000-6000 K
  EXPECT_NE(why.find("record 27"), std::string::npos) << why;
  EXPECT_NE(why.find("O2"), std::string::npos) << why;
  why = refusal(read, replace_line(text, 47, "-2.0"));  // H2's molar mass
  EXPECT_NE(why.find("record 47"), std::string::npos) << why;
  // A value that is not finite names the value; a record of no data file
  // (a binary, a device) is refused at its bound, not read to its end.
  why = refusal(read, replace_line(text, 13, "1.0D+999"));  // H2O's a1 of 200-1000 K
  EXPECT_NE(why.find("record 13: \"1.0E+999\" is not a finite number (H2O, a1 of 200-1000 K)"),
            std::string::npos)
      << why;
  why = refusal(read, std::string(1 << 20, '\0'));
  EXPECT_NE(why.find("record 1 is longer than 1024 characters"), std::string::npos) << why;
  // The file may end after the last block's record 21, with or without CR LF.
  std::string crlf;
  for (std::size_t at = 0; at < text.size(); ++at) {
    crlf += text[at] == '\n' ? "\r\n" : std::string(1, text[at]);
  }
  std::size_t end[132] = {};  // end[k]: just after the LF of record k
  for (int record = 1; record <= 131; ++record) {
    end[record] = crlf.find('\n', end[record - 1]) + 1;
  }
  EXPECT_EQ(refusal(read, crlf.substr(0, end[131])), "");
  EXPECT_NE(refusal(read, crlf.substr(0, end[130])).find("ends after 130 records"),
            std::string::npos);
}

// What the program's own reader of zuna.dat refuses, both readers of the
// engine refuse too, naming the record: a molar mass outside 0.5 to 1000
// g/mol and a coefficient whose terms overflow in the data's range.
TEST(EngineData, ReadersRefuseValuesThatLeaveTheNumbers) {
  const std::string nasa9 = slurp(ZUNA_DATA_DIR "/nasa9-h2o2.inp");
  auto read9 = [](std::istream& in, const std::string& name) { read_nasa9_data(in, name); };
  auto species = [](std::istream& in, const std::string& name) { read_species(in, name); };
  // Line 32 holds H2's molar mass (columns 53-65), line 35 its a6 of 200-1000 K.
  std::string line32 =
      " 3 tpis78 H   2.00    0.00    0.00    0.00    0.00 0    2.0158800          0.000";
  line32.replace(52, 13, "1.000000D-300");
  const std::string light = replace_line(nasa9, 32, line32);
  const std::string huge = replace_line(
      nasa9, 35, "-1.202860270D-083.368093490D+290                 2.682484665D+03-3.043788844D+01");
  for (auto& [text, what] :
       {std::pair{light, "line 31, species H2: the molar mass must lie between 0.5 and 1"},
        std::pair{huge, "line 31, species H2: coefficient a7 of the range 200-1000 K is too large"}}) {
    std::string why = refusal(read9, text);
    EXPECT_NE(why.find(std::string("test.inp, ") + what), std::string::npos) << why;
    why = refusal(species, text);
    EXPECT_NE(why.find(std::string("test.inp, ") + what), std::string::npos) << why;
  }
  // The whole database of species, with its heavy reactants and the electron.
  EXPECT_EQ(refusal(species, slurp(ZUNA_DATA_DIR "/nasa9-chon-ar-he.inp")), "");
  const std::string data7 = slurp(ZUNA_DATA_DIR "/zuna.dat");
  auto read7 = [](std::istream& in, const std::string& name) { read_data7(in, name); };
  std::string why = refusal(read7, replace_line(data7, 47, "1e-300"));  // H2's molar mass
  EXPECT_NE(why.find("record 47, species H2: the molar mass must lie between 0.5 and 1000"),
            std::string::npos)
      << why;
  why = refusal(read7, replace_line(data7, 53, "1e290"));  // H2's a5 of 1000-6000 K
  EXPECT_NE(why.find("record 53, species H2: coefficient a5 of 1000-6000 K is too large"),
            std::string::npos)
      << why;
  EXPECT_EQ(refusal(read7, replace_line(data7, 53, "1e280")), "");
}

}  // namespace
}  // namespace zuna::engine
