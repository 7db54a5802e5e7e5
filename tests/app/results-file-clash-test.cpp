// Which names are the report and plot files of a batch run, for the check
// that a results file never takes their place.
#include <gtest/gtest.h>

#include "app/results-file-clash.h"

namespace zuna {
namespace {

struct NameCase {
  const char* name;
  std::size_t calculations;
  bool suffix;
  bool report;
};

TEST(ResultsFileClash, ReportAndPlotFileNames) {
  const NameCase cases[] = {
      {"saida", 1, false, true},       {"tad.dat", 3, false, true},
      {"fmac.dat", 1, false, true},    {"mol.dat", 1, false, true},
      {"saida_1", 1, false, false},    {"zuna.dat", 1, false, false},
      {"tad", 1, false, false},        {"saida.csv", 1, false, false},
      {"fmx.dat.json", 1, false, false},
      // With --suffix, the numbered names of the run's calculations alone.
      {"saida", 3, true, false},       {"saida_3", 3, true, true},
      {"saida_4", 3, true, false},     {"fmoc_2.dat", 3, true, true},
      {"fmoc_02.dat", 3, true, false}, {"fmoc_0.dat", 3, true, false},
      {"tad_.dat", 3, true, false},    {"tad_1x.dat", 3, true, false},
      {"fmos_100000.dat", 100000, true, true},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(is_report_file_name(c.name, c.calculations, c.suffix), c.report)
        << c.name << " with " << c.calculations << " calculations, suffix " << c.suffix;
  }
}

}  // namespace
}  // namespace zuna
