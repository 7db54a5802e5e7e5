// Sessions that fail: the run-time error on standard error, exit code 1, and
// what is left in the working folder.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "session.h"

namespace zuna::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultSession = "\n\n\n1034\n\n";

TEST(Failure, MissingDataFileIsReportedAndNotCreated) {
  WorkFolder folder;
  // A link that leads nowhere: the folder still names a zuna.dat, so the
  // program works there rather than in the per-user folder.
  fs::remove(folder.path() / "zuna.dat");
  fs::create_symlink("nowhere/zuna.dat", folder.path() / "zuna.dat");
  const SessionResult r = folder.run(kDefaultSession);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "\nrun-time error F6420: OPEN(zuna.dat)\n- file not found\n");
  EXPECT_FALSE(fs::exists(folder.path() / "zuna.dat"));
  EXPECT_FALSE(fs::exists(folder.path() / "saida"));
  EXPECT_EQ(r.out.find("=== DADOS ==="), std::string::npos);
}

TEST(Failure, LetterInAValueRecordEndsTheRunBeforeAnyCalculation) {
  WorkFolder folder;
  std::string data = folder.read("zuna.dat");
  // The first coefficient of H2O, record 5: its third character, a digit,
  // becomes a letter.
  std::size_t at = 0;
  for (int record = 1; record < 5; ++record) {
    at = data.find('\n', at) + 1;
  }
  ASSERT_TRUE(std::isdigit(static_cast<unsigned char>(data[at + 2]))) << data.substr(at, 20);
  data[at + 2] = 'x';
  folder.write("zuna.dat", data);
  const SessionResult r = folder.run(kDefaultSession);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "\nrun-time error F6602: READ(zuna.dat)\n- invalid real in record 5\n");
  EXPECT_FALSE(fs::exists(folder.path() / "saida"));
}

TEST(Failure, MolarMassThatIsNotPositiveEndsTheRunNamingItsRecord) {
  WorkFolder folder;
  std::string data = folder.read("zuna.dat");
  const auto at = data.find("31.9988");  // O2, record 25
  ASSERT_NE(at, std::string::npos);
  data.replace(at, 7, "-31.9988");
  folder.write("zuna.dat", data);
  const SessionResult r = folder.run(kDefaultSession);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err.rfind("zuna.dat: Dado recusado em zuna.dat, registro 25 (esp", 0), 0u) << r.err;
  EXPECT_FALSE(fs::exists(folder.path() / "saida"));
}

TEST(Failure, ReportThatCannotBeWrittenEndsTheRun) {
  WorkFolder folder;
  fs::create_directory(folder.path() / "saida");
  const SessionResult r = folder.run(kDefaultSession);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err,
            "\nrun-time error F6419: OPEN(saida)\n- file cannot be opened: Is a directory\n");
  EXPECT_FALSE(fs::exists(folder.path() / "tad.dat"));
}

TEST(Failure, EndOfInputWhileWaitingEndsTheRunWithExitCode1) {
  const char* scripts[] = {"", "\n", "\n\n"};  // presentation, dialog, after the time
  for (const char* script : scripts) {
    WorkFolder folder;
    const SessionResult r = folder.run(script);
    EXPECT_EQ(r.exit_code, 1) << "script of " << std::string(script).size() << " lines";
    EXPECT_EQ(r.err, "zuna4c: standard input ended while the program was waiting for an answer\n");
  }
}

// At the menu every file has been written and closed: they stay complete.
TEST(Failure, EndOfInputAtTheMenuLeavesCompleteFiles) {
  WorkFolder folder;
  const SessionResult r = folder.run("\n\n\n");
  EXPECT_EQ(r.exit_code, 1);
  for (const std::string& name : kOutputFiles) {
    std::string got = folder.read(name);
    if (name == "saida") {
      mask_processing_times(got);
    }
    EXPECT_TRUE(got == golden("defaults", name)) << name;
  }
}

}  // namespace
}  // namespace zuna::testing
