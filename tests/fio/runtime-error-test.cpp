// Run-time error reports (their two texts and the tags), math and
// floating-point faults, the stop statement and the end of the program.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <string>

#include "fio/fio.h"
#include "intrinsics/intrinsics.h"
#include "tests/support/exit-code.h"
#include "tests/support/recording-host.h"

namespace zuna {
namespace {

using testing::exit_code_of;
using testing::RecordingHost;

TEST(RuntimeErrorReport, BoxAndConsoleTexts) {
  RuntimeErrorReport io{'F', 6602, ": READ(", true, "zuna.dat", "invalid real"};
  EXPECT_EQ(io.box_text(), "F6602: READ(zuna.dat) - invalid real");
  EXPECT_EQ(io.console_text(), "\r\nrun-time error F6602: READ(zuna.dat)\r\n- invalid real\r\n");
  RuntimeErrorReport bare{'F', 6401, ": WRITE(", true, "", ""};
  EXPECT_EQ(bare.box_text(), "F6401: WRITE()");
  RuntimeErrorReport math{'M', 6201, ": MATH\r\n- ", false, "", "pow: DOMAIN error"};
  EXPECT_EQ(math.box_text(), "M6201: MATH\r\n- pow: DOMAIN error");
  EXPECT_EQ(math.console_text(), "\r\nrun-time error M6201: MATH\r\n- pow: DOMAIN error\r\n");
}

class RunEnd : public ::testing::Test {
 protected:
  void SetUp() override { runtime_start(host); }
  void TearDown() override { std::feclearexcept(FE_ALL_EXCEPT); }

  RecordingHost host;
};

TEST_F(RunEnd, MathErrorOfAnIntrinsic) {
  EXPECT_EQ(exit_code_of([] { (void)rt_pow(-8.0, 1.0 / 3.0); }), 1);
  ASSERT_EQ(host.errors.size(), 1u);
  const RuntimeErrorReport& r = host.errors[0];
  EXPECT_EQ(r.letter, 'M');
  EXPECT_EQ(r.number, 6201);
  EXPECT_EQ(r.box_text(), "M6201: MATH\r\n- pow: DOMAIN error");
  EXPECT_EQ(host.exit_code, 1);

  runtime_start(host);
  EXPECT_EQ(exit_code_of([] { (void)rt_log(0.0); }), 1);
  EXPECT_EQ(host.errors.at(1).box_text(), "M6202: MATH\r\n- log: SING error");
  runtime_start(host);
  EXPECT_EQ(exit_code_of([] { (void)rt_exp(1000.0); }), 1);
  EXPECT_EQ(host.errors.at(2).box_text(), "M6203: MATH\r\n- exp: OVERFLOW error");
}

TEST_F(RunEnd, FloatingPointFaultsAreFoundAtTheNextWrite) {
  struct Fault {
    int flag;
    const char* text;
  };
  const Fault faults[] = {
      {FE_INVALID, "M6101: MATH\r\n- floating-point error: invalid"},
      {FE_DIVBYZERO, "M6103: MATH\r\n- floating-point error: divide by zero"},
      {FE_OVERFLOW, "M6104: MATH\r\n- floating-point error: overflow"},
  };
  for (const Fault& f : faults) {
    runtime_start(host);
    host.errors.clear();
    std::feraiseexcept(f.flag);
    EXPECT_EQ(exit_code_of([] {
                begin_write(kDefaultUnit, "(A)", -1);
                put_chars(" never shown", 12);
                end_write();
              }),
              1);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].box_text(), f.text);
    EXPECT_EQ(host.output(), "") << "nothing of the statement is written";
  }
}

TEST_F(RunEnd, HarmlessFlagsAreNeitherReportedNorCleared) {
  std::feraiseexcept(FE_INEXACT | FE_UNDERFLOW);
  check_floating_point();
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(std::fetestexcept(FE_INEXACT | FE_UNDERFLOW), FE_INEXACT | FE_UNDERFLOW);
  // runtime_start clears them all.
  runtime_start(host);
  EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
}

TEST_F(RunEnd, StopWritesItsLineAndEndsWithZero) {
  EXPECT_EQ(exit_code_of([] { stop_program(nullptr, 0); }), 0);
  EXPECT_EQ(host.output(), "Stop - Program terminated.\r\n");
  EXPECT_EQ(host.exit_code, 0);
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(RunEnd, StopAfterACompletedRecordStartsANewLine) {
  begin_write(kDefaultUnit, nullptr, 0);
  put_chars("Error: dialog not found", 23);
  end_write();
  EXPECT_EQ(exit_code_of([] { stop_program("Fim", 3); }), 0);
  EXPECT_EQ(host.output(), "Error: dialog not found\r\nFim\r\n");
}

TEST_F(RunEnd, StopAfterARecordLeftOpenContinuesIt) {
  begin_write(kDefaultUnit, "(' wait',\\)", -1);
  end_write();
  EXPECT_EQ(exit_code_of([] { stop_program(nullptr, 0); }), 0);
  EXPECT_EQ(host.output(), "waitStop - Program terminated.\r\n");
}

TEST_F(RunEnd, TheProgramEndsOnlyOnce) {
  EXPECT_EQ(exit_code_of([] { end_program(0); }), 0);
  EXPECT_EQ(exit_code_of([] { end_program(1); }), 1);
  EXPECT_EQ(exit_code_of([] { stop_program(nullptr, 0); }), 0);
  int ends = 0;
  for (const std::string& e : host.events) {
    ends += e.rfind("end ", 0) == 0 ? 1 : 0;
  }
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(host.exit_code, 0);
}

}  // namespace
}  // namespace zuna
