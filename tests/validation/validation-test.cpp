// The shipped data against the reference equilibrium results of the default
// grid (33 points, 1 atm, the program's reactant enthalpies, the same six
// products): the default sweep run in process, compared at full precision.
// The reference table's source is in its header.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "fit/data-file.h"
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

TEST(Validation, RefusesAMalformedReference) {
  std::istringstream short_row("# T = 4675.18 K\nr\tof\n0.5\t3.9\t2716\n");
  EXPECT_THROW(read_reference(short_row), ReferenceError);
  std::istringstream no_points("# T = 4675.18 K\n");
  EXPECT_THROW(read_reference(no_points), ReferenceError);
}

}  // namespace
}  // namespace zuna::validation
