// zuna4-fit SOURCE OUTPUT
//
// Reads NASA 9-coefficient records from SOURCE, fits the six species of the
// program (H2O, O2, H2, H, O, OH) with two 7-coefficient ranges and writes the
// data file OUTPUT in the program's layout. Prints, per species, the largest
// differences of the fit from the source over 200-6000 K.
//
// A record that cannot be read, a species missing, a species whose ranges
// do not cover 200-6000 K or whose fit the program cannot use stops the tool
// with a message naming the species and the line; OUTPUT is then left as it
// was. OUTPUT must be a regular file or not exist; the file is written to a
// temporary of a unique name beside it and renamed over it only when complete.
// Exit status: 0 success, 1 failure (with the reason on standard error),
// 2 usage error.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "fit/data-file.h"
#include "fit/tool-files.h"

using namespace zuna::fit;

namespace {

constexpr const char* kUsage =
    "usage: zuna4-fit SOURCE OUTPUT\n"
    "  SOURCE  NASA 9-coefficient records holding H2O, O2, H2, H, O and OH\n"
    "  OUTPUT  the data file to write (zuna.dat)\n";

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
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    std::string error;
    if (!finish_standard_output(error)) {
      std::cerr << "zuna4-fit: " << error << "\n";
      return 1;
    }
    return 0;
  }
  if (argc != 3) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string source_name = argv[1];
  const std::string output = argv[2];
  std::string error;
  std::ifstream in;
  if (!open_input(source_name, in, error)) {
    std::cerr << "zuna4-fit: " << error << "\n";
    return 1;
  }
  try {
    const Nasa9File source = read_nasa9(in);
    const std::vector<FittedSpecies> fitted = fit_all(source);
    if (!replace_file(output, data_file_text(fitted, source.header), error)) {
      std::cerr << "zuna4-fit: " << error << "\n";
      return 1;
    }
    print_deviations(fitted);
  } catch (const RecordError& e) {
    std::cerr << "zuna4-fit: " << source_name << ": " << e.what() << "\n";
    return 1;
  }
  if (!finish_standard_output(error)) {
    std::cerr << "zuna4-fit: " << error << "\n";
    return 1;
  }
  return 0;
}
