// Whole sessions of zuna4c: every output file byte for byte against the
// golden files, and the terminal transcript of the default session.
#include <gtest/gtest.h>

#include <ostream>
#include <sstream>

#include "session.h"

namespace zuna::testing {
namespace {

// The first line where two texts differ, for a readable failure.
std::string first_difference(const std::string& got, const std::string& expected) {
  std::istringstream g(got), e(expected);
  std::string gl, el;
  for (int line = 1;; ++line) {
    const bool more_g = static_cast<bool>(std::getline(g, gl));
    const bool more_e = static_cast<bool>(std::getline(e, el));
    if (!more_g && !more_e) {
      return "texts differ only in their last line end";
    }
    if (!more_g || !more_e || gl != el) {
      return "line " + std::to_string(line) + ": got \"" + (more_g ? gl : "<end>") +
             "\", expected \"" + (more_e ? el : "<end>") + "\"";
    }
  }
}

void expect_files_match(const WorkFolder& folder, const std::string& session) {
  for (const std::string& name : kOutputFiles) {
    std::string got = folder.read(name);
    if (name == "saida") {
      EXPECT_TRUE(mask_processing_times(got)) << "processing time field of " << name;
    }
    const std::string expected = golden(session, name);
    EXPECT_TRUE(got == expected) << name << " differs from golden/" << session << "/" << name
                                 << ", " << first_difference(got, expected);
  }
}

struct GoldenCase {
  const char* session;  // folder of the golden files
  const char* input;    // what the user types
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.session; }

class GoldenSession : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenSession, EveryOutputFileMatchesItsGoldenFile) {
  WorkFolder folder;
  const SessionResult r = folder.run(GetParam().input);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  expect_files_match(folder, GetParam().session);
}

// Enter for the presentation; the parameter dialog's changes and OK; Enter
// after the processing time; "Encerrar o Programa" and OK.
INSTANTIATE_TEST_SUITE_P(Sessions, GoldenSession,
                         ::testing::Values(GoldenCase{"defaults", "\n\n\n1034\n\n"},
                                           GoldenCase{"npmin-0", "\n1003=0\n\n\n1034\n\n"},
                                           GoldenCase{"npmax-0", "\n1004=0\n\n\n1034\n\n"},
                                           GoldenCase{"rmin-1", "\n1000=1.0d0\n\n\n1034\n\n"},
                                           GoldenCase{"reaction-2-off", "\n1020\n\n\n1034\n\n"},
                                           GoldenCase{"few-points",
                                                      "\n1003=2\n1004=3\n\n\n1034\n\n"}),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                           std::string name = info.param.session;
                           for (char& c : name) {
                             c = c == '-' ? '_' : c;
                           }
                           return name;
                         });

// The presentation's nine records, one progress line per point, the
// processing time waiting at the end of its own line, and the stop line.
TEST(Session, DefaultTranscript) {
  WorkFolder folder;
  SessionResult r = folder.run("\n\n\n1034\n\n");
  ASSERT_EQ(r.exit_code, 0);
  ASSERT_TRUE(mask_processing_times(r.out));
  const std::string expected = golden("defaults", "transcript.txt");
  EXPECT_TRUE(r.out == expected) << first_difference(r.out, expected);
}

// A second calculation with fewer points leaves nothing of the first in any
// file: each is the file of a single calculation with those parameters.
TEST(Session, NewCalculationWithFewerPointsRewritesEveryFile) {
  WorkFolder folder;
  const SessionResult r = folder.run("\n\n\n1033\n\n1003=2\n1004=3\n\n\n1034\n\n");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  expect_files_match(folder, "few-points");
  EXPECT_NE(r.out.find("Pontos já processados = 33 de  33\n"), std::string::npos);
  EXPECT_NE(r.out.find("Pontos já processados =  8 de   8\n"), std::string::npos);
}

TEST(Session, LongerFilesOfAnEarlierRunAreCutBack) {
  WorkFolder folder;
  for (const std::string& name : kOutputFiles) {
    folder.write(name, std::string(100000, 'x') + "\r\n");
  }
  const SessionResult r = folder.run("\n\n\n1034\n\n");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  expect_files_match(folder, "defaults");
}

TEST(Session, InputTheFormDoesNotUnderstandIsExplainedAndIgnored) {
  WorkFolder folder;
  const SessionResult r = folder.run("\nfast please\n9999\n\n\n1034\n\n");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.err.find("zuna4c: type ID=text"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("zuna4c: there is no control 9999"), std::string::npos) << r.err;
  expect_files_match(folder, "defaults");
}

// Refused parameters are named on standard error and the dialog is asked
// again with what was typed; once corrected the calculation is the default one.
TEST(Session, RefusedParametersAreNamedAndAskedAgain) {
  WorkFolder folder;
  const SessionResult r = folder.run("\n1005=0\n\n1005=1,5\n\n1005=1.0d0\n\n\n1034\n\n");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.err.find("(atm)\": 0 fora da faixa aceita (de 1E-6 a 1E5)."), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("(atm)\": \"1,5\" tem v"), std::string::npos) << r.err;
  std::size_t dialogs = 0;
  for (auto at = r.out.find("=== DADOS ==="); at != std::string::npos;
       at = r.out.find("=== DADOS ===", at + 1)) {
    ++dialogs;
  }
  EXPECT_EQ(dialogs, 3u);
  expect_files_match(folder, "defaults");
}

// Points whose flame temperature lies outside the search's range are named
// after the sweep; their values are written as computed.
TEST(Session, PointsOutsideTheSearchRangeAreNamedAfterTheSweep) {
  WorkFolder folder;
  const SessionResult r = folder.run("\n1000=0.1\n\n\n1034\n\n");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err.rfind("RESULTADOS: Os resultados destes pontos", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("o/f =\n    1.00E-01\n"), std::string::npos) << r.err;
  EXPECT_EQ(folder.read("tad.dat").rfind("  1.00E-01     7.8319E+02     1.0000E+03\r\n", 0), 0u);
}

}  // namespace
}  // namespace zuna::testing
