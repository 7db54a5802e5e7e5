// zuna4-fit SOURCE OUTPUT
//
// Reads NASA 9-coefficient records from SOURCE, fits the six species of the
// program (H2O, O2, H2, H, O, OH) with two 7-coefficient ranges and writes the
// data file OUTPUT in the program's layout. Prints, per species, the largest
// differences of the fit from the source over 200-6000 K.
//
// A record that cannot be read, a species missing or a species whose ranges
// do not cover 200-6000 K stops the tool with a message naming the species and
// the line; OUTPUT is then left as it was. The file is written to a temporary
// name beside OUTPUT and renamed over it only when complete.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>

#include "fit/data-file.h"

namespace fs = std::filesystem;
using namespace zuna::fit;

namespace {

int usage() {
  std::cerr << "usage: zuna4-fit SOURCE OUTPUT\n"
               "  SOURCE  NASA 9-coefficient records holding H2O, O2, H2, H, O and OH\n"
               "  OUTPUT  the data file to write (zuna.dat)\n";
  return 2;
}

bool write_atomically(const fs::path& output, const std::string& text, std::string& error) {
  const fs::path temporary = output.string() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
      error = "cannot write " + temporary.string();
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temporary, output, ec);
  if (ec) {
    error = "cannot rename " + temporary.string() + " to " + output.string() + ": " + ec.message();
    fs::remove(temporary, ec);
    return false;
  }
  return true;
}

void print_deviations(const std::vector<FittedSpecies>& fitted) {
  std::printf("largest differences fit - source, 200-6000 K (S at 1 atm)\n");
  std::printf("%-4s %12s %8s %12s %8s %12s %8s\n", "", "cp/R", "T [K]", "H/RT", "T [K]", "S/R",
              "T [K]");
  for (const FittedSpecies& f : fitted) {
    const Deviation d = deviation(f.fit, *f.source);
    std::printf("%-4s %12.3e %8.0f %12.3e %8.0f %12.3e %8.0f\n", f.source->name.c_str(), d.cp_r,
                d.t_cp, d.h_rt, d.t_h, d.s_r, d.t_s);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    return usage();
  }
  const std::string source_name = argv[1];
  const fs::path output = argv[2];
  std::ifstream in(source_name, std::ios::binary);
  if (!in) {
    std::cerr << "zuna4-fit: cannot open " << source_name << "\n";
    return 1;
  }
  try {
    const Nasa9File source = read_nasa9(in);
    const std::vector<FittedSpecies> fitted = fit_all(source);
    std::string error;
    if (!write_atomically(output, data_file_text(fitted, source.header), error)) {
      std::cerr << "zuna4-fit: " << error << "\n";
      return 1;
    }
    print_deviations(fitted);
  } catch (const RecordError& e) {
    std::cerr << "zuna4-fit: " << source_name << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}
