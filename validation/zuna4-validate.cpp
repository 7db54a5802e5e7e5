// zuna4-validate [--plot FILE] REFERENCE NAME=DATA...
//
// Runs the program's default sweep (33 points, 1 atm) with each data file
// and prints, as Markdown, its results beside the reference table: the
// temperature with dissociation and the six mole fractions at every point,
// the temperature without dissociation at r = 1, and the largest
// differences. --plot writes r, the reference temperature and, per data
// file, its temperature and the difference, for the validation plot; it may
// not name one of the input files.
//
// Every input is checked: a table or data file that cannot be read, holds a
// value that is no finite number or gives a sweep without finite results is
// refused with the reason. Exit status: 0 success, 1 failure (reason on
// standard error), 2 usage error.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "fit/data-file.h"
#include "fit/tool-files.h"
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

// The plot file: false, with the system's reason in `error`, when a write
// fails.
bool write_plot(const std::string& file, const std::vector<Run>& runs, std::string& error) {
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) {
    error = "cannot write " + file + ": " + std::strerror(errno);
    return false;
  }
  std::fprintf(out, "# r\tT_reference");
  for (const Run& run : runs) {
    std::fprintf(out, "\tT_%s\tdT_%s", run.name.c_str(), run.name.c_str());
  }
  std::fprintf(out, "\n");
  for (std::size_t i = 0; i < runs.front().comparison.points.size(); ++i) {
    const ComparedPoint& first = runs.front().comparison.points[i];
    std::fprintf(out, "%.10f\t%.4f", first.r, first.t_ref);
    for (const Run& run : runs) {
      const ComparedPoint& p = run.comparison.points[i];
      std::fprintf(out, "\t%.4f\t%.4f", p.t, p.t - p.t_ref);
    }
    std::fprintf(out, "\n");
  }
  const bool failed_before = std::ferror(out) != 0;
  errno = 0;
  const bool closed = std::fclose(out) == 0;
  if (failed_before || !closed) {
    error = "cannot write " + file + ": " + (errno != 0 ? std::strerror(errno) : "a write failed");
    return false;
  }
  return true;
}

constexpr const char* kUsage =
    "usage: zuna4-validate [--plot FILE] REFERENCE NAME=DATA...\n"
    "  REFERENCE  the reference table of equilibrium results (tab-separated)\n"
    "  NAME=DATA  a data file of the program and the name its results go by\n"
    "  --plot FILE  also write the temperatures for the validation plot\n";

int usage() {
  std::cerr << kUsage;
  return 2;
}

int fail(const std::string& error) {
  std::cerr << "zuna4-validate: " << error << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return fit::finish_standard_output(error) ? 0 : fail(error);
  }
  int arg = 1;
  std::string plot;
  if (arg + 1 < argc && std::strcmp(argv[arg], "--plot") == 0) {
    plot = argv[arg + 1];
    arg += 2;
  }
  if (argc - arg < 2) {
    return usage();
  }
  std::vector<std::string> inputs = {argv[arg]};
  for (int k = arg + 1; k < argc; ++k) {
    const std::string argument = argv[k];
    const auto eq = argument.find('=');
    if (eq == std::string::npos) {
      return usage();
    }
    inputs.push_back(argument.substr(eq + 1));
  }
  for (const std::string& input : inputs) {
    if (!plot.empty() && fit::same_file(plot, input)) {
      return fail("the plot file " + plot + " is the input file " + input +
                  ": name another plot file");
    }
  }
  try {
    std::ifstream ref_in;
    if (!fit::open_input(inputs[0], ref_in, error)) {
      return fail(error);
    }
    const Reference ref = read_reference(ref_in);
    std::vector<Run> runs;
    for (std::size_t k = 1; k < inputs.size(); ++k) {
      const std::string argument = argv[arg + static_cast<int>(k)];
      std::ifstream data_in;
      if (!fit::open_input(inputs[k], data_in, error)) {
        return fail(error);
      }
      fit::DataFile data;
      try {
        data = fit::read_data_file(data_in);
      } catch (const fit::RecordError& e) {
        return fail(inputs[k] + ": " + e.what());
      }
      ThermoConstants tc;
      for (int j = 0; j < 6; ++j) {
        tc.mw[j] = data.mw[j];
      }
      const std::string name = argument.substr(0, argument.find('='));
      try {
        runs.push_back({name, compare(ref, tc, data.coef)});
      } catch (const ReferenceError& e) {
        return fail(inputs[k] + ": " + e.what());
      }
    }
    std::printf("#### Reference\n\n");
    print_reference(ref);
    std::printf("\n");
    for (const Run& run : runs) {
      print_run(run);
    }
    if (!plot.empty() && !write_plot(plot, runs, error)) {
      return fail(error);
    }
  } catch (const ReferenceError& e) {
    return fail(inputs[0] + ": " + e.what());
  } catch (const std::exception& e) {
    return fail(e.what());
  }
  return fit::finish_standard_output(error) ? 0 : fail(error);
}
