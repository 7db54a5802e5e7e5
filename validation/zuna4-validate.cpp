// zuna4-validate [--plot FILE] REFERENCE NAME=DATA...
//
// Runs the program's default sweep (33 points, 1 atm) with each data file
// and prints, as Markdown, its results beside the reference table: the
// temperature with dissociation and the six mole fractions at every point,
// the temperature without dissociation at r = 1, and the largest
// differences. --plot writes r, the reference temperature and, per data
// file, its temperature and the difference, for the validation plot.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "fit/data-file.h"
#include "validation/cea-comparison.h"

using namespace zuna;
using namespace zuna::validation;

namespace {

const char* const kSpecies[6] = {"H2O", "O2", "H2", "H", "O", "OH"};

struct Run {
  std::string name;
  Comparison comparison;
};

void print_reference(const Reference& ref) {
  std::printf("| r | T [K] |");
  for (const char* s : kSpecies) {
    std::printf(" x %s |", s);
  }
  std::printf("\n|---:|---:|---:|---:|---:|---:|---:|---:|\n");
  for (const ReferencePoint& p : ref.points) {
    std::printf("| %.4f | %.2f |", p.r, p.t);
    for (const double x : p.x) {
      std::printf(" %.6f |", x);
    }
    std::printf("\n");
  }
  std::printf("\nWithout dissociation at r = 1: %.2f K.\n", ref.t_complete);
}

void print_run(const Run& run) {
  const Comparison& c = run.comparison;
  std::printf("#### %s\n\n", run.name.c_str());
  std::printf(
      "Largest difference of the temperature with dissociation: %+.3f K (%+.4f %%) "
      "at r = %.4f.  \n",
      c.worst_dt, 100.0 * c.worst_dt_rel, c.points[c.worst_dt_point - 1].r);
  std::printf("Largest difference of a mole fraction: %+.2e (%s at r = %.4f).  \n", c.worst_dx,
              kSpecies[c.worst_dx_species - 1], c.points[c.worst_dx_point - 1].r);
  std::printf("Temperature without dissociation at r = 1: %.2f K (reference %.2f K, %+.2f K).\n\n",
              c.t_complete, c.t_complete_ref, c.t_complete - c.t_complete_ref);
  std::printf(
      "Each cell: the program's value and, in brackets, its difference from the "
      "reference.\n\n");
  std::printf("| r | T [K] |");
  for (const char* s : kSpecies) {
    std::printf(" x %s |", s);
  }
  std::printf("\n|---:|---:|---:|---:|---:|---:|---:|---:|\n");
  for (const ComparedPoint& p : c.points) {
    std::printf("| %.4f | %.2f (%+.2f) |", p.r, p.t, p.t - p.t_ref);
    for (int k = 0; k < 6; ++k) {
      std::printf(" %.6f (%+.1e) |", p.x[k], p.x[k] - p.x_ref[k]);
    }
    std::printf("\n");
  }
  std::printf("\n");
}

bool write_plot(const std::string& file, const std::vector<Run>& runs) {
  std::ofstream out(file, std::ios::binary);
  out << "# r\tT_reference";
  for (const Run& run : runs) {
    out << "\tT_" << run.name << "\tdT_" << run.name;
  }
  out << "\n";
  char cell[64];
  for (std::size_t i = 0; i < runs.front().comparison.points.size(); ++i) {
    const ComparedPoint& first = runs.front().comparison.points[i];
    std::snprintf(cell, sizeof cell, "%.10f\t%.4f", first.r, first.t_ref);
    out << cell;
    for (const Run& run : runs) {
      const ComparedPoint& p = run.comparison.points[i];
      std::snprintf(cell, sizeof cell, "\t%.4f\t%.4f", p.t, p.t - p.t_ref);
      out << cell;
    }
    out << "\n";
  }
  return static_cast<bool>(out);
}

int usage() {
  std::cerr << "usage: zuna4-validate [--plot FILE] REFERENCE NAME=DATA...\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int arg = 1;
  std::string plot;
  if (arg + 1 < argc && std::strcmp(argv[arg], "--plot") == 0) {
    plot = argv[arg + 1];
    arg += 2;
  }
  if (argc - arg < 2) {
    return usage();
  }
  try {
    std::ifstream ref_in(argv[arg], std::ios::binary);
    if (!ref_in) {
      std::cerr << "zuna4-validate: cannot open " << argv[arg] << "\n";
      return 1;
    }
    const Reference ref = read_reference(ref_in);
    std::vector<Run> runs;
    for (++arg; arg < argc; ++arg) {
      const std::string argument = argv[arg];
      const auto eq = argument.find('=');
      if (eq == std::string::npos) {
        return usage();
      }
      std::ifstream data_in(argument.substr(eq + 1), std::ios::binary);
      if (!data_in) {
        std::cerr << "zuna4-validate: cannot open " << argument.substr(eq + 1) << "\n";
        return 1;
      }
      const fit::DataFile data = fit::read_data_file(data_in);
      ThermoConstants tc;
      for (int k = 0; k < 6; ++k) {
        tc.mw[k] = data.mw[k];
      }
      runs.push_back({argument.substr(0, eq), compare(ref, tc, data.coef)});
    }
    std::printf("#### Reference\n\n");
    print_reference(ref);
    std::printf("\n");
    for (const Run& run : runs) {
      print_run(run);
    }
    if (!plot.empty() && !write_plot(plot, runs)) {
      std::cerr << "zuna4-validate: cannot write " << plot << "\n";
      return 1;
    }
  } catch (const std::exception& e) {
    std::cerr << "zuna4-validate: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
