// The shipped data against the published equilibrium tables of the default
// grid (33 points, 1 atm, the program's reactant enthalpies, the same six
// products): the default sweep run in process, compared at full precision.
// The published table's source is in its header.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "fit/data-file.h"
#include "tests/support/temp-dir.h"
#include "validation/cea-comparison.h"

namespace zuna::validation {
namespace {

Reference reference() {
  std::ifstream in(ZUNA_REFERENCE_DIR "/cea-h2o2-hp-1atm.tsv", std::ios::binary);
  return read_reference(in);
}

Comparison compare_file(const char* file) {
  std::ifstream in(std::string(ZUNA_DATA_DIR "/") + file, std::ios::binary);
  const fit::DataFile data = fit::read_data_file(in);
  ThermoConstants tc;
  for (int k = 0; k < 6; ++k) {
    tc.mw[k] = data.mw[k];
  }
  return compare(reference(), tc, data.coef);
}

TEST(Validation, ReferenceTableIsComplete) {
  const Reference ref = reference();
  ASSERT_EQ(ref.points.size(), 33u);
  EXPECT_DOUBLE_EQ(ref.t_complete, 4675.18);
  EXPECT_DOUBLE_EQ(ref.points[11].r, 1.0);
  for (const ReferencePoint& p : ref.points) {
    double sum = 0;
    for (const double x : p.x) {
      sum += x;
    }
    EXPECT_NEAR(sum, 1.0, 1e-7) << "r = " << p.r;
  }
}

// Temperature with dissociation within 0.01 %, every mole fraction within
// 2e-5, the temperature without dissociation at r = 1 within 0.5 K.
TEST(Validation, ShippedDataAgreesWithTheReference) {
  const Comparison c = compare_file("zuna.dat");
  ASSERT_EQ(c.points.size(), 33u);
  for (const ComparedPoint& p : c.points) {
    SCOPED_TRACE(::testing::Message() << "r = " << p.r);
    EXPECT_LE(std::fabs(p.t - p.t_ref) / p.t_ref, 1e-4) << p.t << " K against " << p.t_ref;
    for (int k = 0; k < 6; ++k) {
      EXPECT_LE(std::fabs(p.x[k] - p.x_ref[k]), 2e-5) << "species " << k + 1;
    }
  }
  EXPECT_NEAR(c.t_complete, 4675.18, 0.5);
}

// The 200-3500 K data extrapolated to 6000 K: the error the fitted file
// removes must show here, or the comparison above proves nothing.
TEST(Validation, ThreeThousandFiveHundredKelvinDataMissesTheReference) {
  const Comparison c = compare_file("zuna-gri30.dat");
  EXPECT_GT(std::fabs(c.worst_dt_rel), 1e-3);
  EXPECT_GT(std::fabs(c.t_complete - c.t_complete_ref), 15.0);
}

// Each malformed table and the part of the message that names the fault.
TEST(Validation, RefusesAMalformedReference) {
  const std::string row = "0.5\t3.9\t2716\t2716\t0.7\t0\t0.3\t0\t0\t0\n";
  std::string many_rows = "# T = 4675.18 K\n";
  for (std::size_t i = 0; i <= kMaxReferencePoints; ++i) {
    many_rows += row;
  }
  const std::pair<std::string, std::string> cases[] = {
      {"# T = 4675.18 K\nr\tof\n0.5\t3.9\t2716\n", "line 3: 10 columns expected"},
      {"# T = 4675.18 K\n", "no points"},
      {"# T = 4675.18 K\n0.5\t3.9\tnan\t2716\t0.7\t0\t0.3\t0\t0\t0\n",
       "line 2: \"nan\" is no finite number"},
      {"# T = inf K\n" + row, "line 1: \"inf\" is no finite number"},
      {"# T = 4675.18 K\n" + row + row.substr(0, row.size() - 1) + "\t1\n",
       "line 3: 10 columns expected"},
      {std::string(5000, '\0'), "line 1: longer than 1024 characters"},
      {many_rows, "more than 10000 rows"},
  };
  for (const auto& [text, message] : cases) {
    std::istringstream in(text);
    try {
      read_reference(in);
      ADD_FAILURE() << "accepted: " << message;
    } catch (const ReferenceError& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
  }
  std::istringstream one_row("# T = 4675.18 K\n" + row);
  EXPECT_EQ(read_reference(one_row).points.size(), 1u);
}

// A reference that the program meets exactly: the worst points still name a
// point of the comparison (the first), as the report prints them.
TEST(Validation, WorstPointsOfAnExactMatchNameAPoint) {
  Comparison c = compare_file("zuna.dat");
  Reference exact;
  exact.t_complete = c.t_complete;
  for (const ComparedPoint& p : c.points) {
    ReferencePoint r;
    r.r = p.r;
    r.t = p.t;
    std::copy(p.x, p.x + 6, r.x);
    exact.points.push_back(r);
  }
  std::ifstream in(ZUNA_DATA_DIR "/zuna.dat", std::ios::binary);
  const fit::DataFile data = fit::read_data_file(in);
  ThermoConstants tc;
  std::copy(data.mw, data.mw + 6, tc.mw);
  c = compare(exact, tc, data.coef);
  EXPECT_EQ(c.worst_dt_point, 1);
  EXPECT_EQ(c.worst_dx_point, 1);
  EXPECT_EQ(c.worst_dx_species, 1);
  EXPECT_EQ(c.worst_dt, 0.0);
}

int run_tool(const std::string& arguments, std::string& err,
             const std::string& standard_output = "out.md") {
  const std::string command =
      "'" ZUNA4_VALIDATE_PATH "' " + arguments + " 2>err.txt >" + standard_output;
  const int status = std::system(command.c_str());
  std::ifstream in("err.txt", std::ios::binary);
  err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The tool refuses every input it cannot use and every output it cannot
// write, with exit code 1 and the reason; the inputs stay as they were.
TEST(ValidateTool, TellsTheReasonOfEachFailure) {
  zuna::testing::TempDir dir;
  const std::string table = ZUNA_REFERENCE_DIR "/cea-h2o2-hp-1atm.tsv";
  std::ifstream data_in(ZUNA_DATA_DIR "/zuna.dat", std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(data_in)), std::istreambuf_iterator<char>());
  const std::string first = "2.513859271E+00";
  std::string with_nan = data;
  with_nan.replace(with_nan.find(first), first.size(), "nan");
  std::string overflowing = data;
  overflowing.replace(overflowing.find(first), first.size(), "1e200");
  dir.write("nan.dat", with_nan);
  dir.write("overflow.dat", overflowing);
  dir.write("ref.tsv", "# T = 4675.18 K\n");
  const std::string good = "'" + table + "' shipped='" ZUNA_DATA_DIR "/zuna.dat'";
  const std::pair<std::string, std::string> cases[] = {
      {"'" + table + "' a=nan.dat", "nan.dat: record 5: \"nan\" is not a finite number"},
      {"'" + table + "' a=overflow.dat", "overflow.dat: the sweep gives no finite"},
      {"/dev/zero a=nan.dat", "/dev/zero: line 1: longer than 1024 characters"},
      {"'" + table + "' a=/dev/zero", "/dev/zero: record 1 is longer than 1024 characters"},
      {"'" + table + "' a=missing.dat", "cannot open missing.dat: No such file or directory"},
      {". a=nan.dat", "cannot open .: Is a directory"},
      {"--plot /dev/full " + good, "cannot write /dev/full: No space left on device"},
      {"--plot no-folder/plot.tsv " + good, "cannot write no-folder/plot.tsv: No such file"},
      {"--plot ref.tsv ref.tsv a=nan.dat", "the plot file ref.tsv is the input file ref.tsv"},
      {"--plot nan.dat " + good + " b=nan.dat", "the plot file nan.dat is the input file"},
  };
  std::string err;
  for (const auto& [arguments, message] : cases) {
    EXPECT_EQ(run_tool(arguments, err), 1) << arguments;
    EXPECT_NE(err.find(message), std::string::npos) << arguments << "\n" << err;
  }
  EXPECT_EQ(dir.read("ref.tsv"), "# T = 4675.18 K\n");
  EXPECT_EQ(dir.read("nan.dat"), with_nan);

  EXPECT_EQ(run_tool(good, err, "/dev/full"), 1);
  EXPECT_NE(err.find("cannot write the standard output: No space left on device"),
            std::string::npos)
      << err;
  EXPECT_EQ(run_tool("--plot plot.tsv " + good, err), 0) << err;
  EXPECT_NE(dir.read("out.md").find("#### shipped"), std::string::npos);
  EXPECT_EQ(dir.read("plot.tsv").rfind("# r\tT_reference\tT_shipped\tdT_shipped\n", 0), 0u);
  EXPECT_EQ(run_tool("--help", err), 0);
  EXPECT_EQ(dir.read("out.md").rfind("usage: zuna4-validate", 0), 0u);
  EXPECT_EQ(err, "");
}

}  // namespace
}  // namespace zuna::validation
