// What the program leaves in its folder when a calculation does not reach
// its end, and when it is started in unusual surroundings: every output file
// is the earlier run's, whole, or the new run's, whole; nothing else stays.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "session.h"

namespace zuna::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultSession = "\n\n\n1034\n\n";

std::string slurp_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every output file is the default session's, byte for byte.
void expect_default_files(const WorkFolder& folder, const std::string& when) {
  for (const std::string& name : kOutputFiles) {
    std::string got = folder.read(name);
    if (name == "saida") {
      mask_processing_times(got);
    }
    EXPECT_TRUE(got == golden("defaults", name)) << name << " " << when;
  }
}

// The names in the folder: no staging file may stay behind.
std::set<std::string> names_in(const WorkFolder& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::set<std::string> default_names() {
  std::set<std::string> names(kOutputFiles.begin(), kOutputFiles.end());
  names.insert("zuna.dat");
  return names;
}

// A second calculation of 8 points that does not end: at the dialog, at the
// Enter after the processing time. The first one's 33-point files stay whole.
TEST(FileIntegrity, EndOfInputDuringALaterCalculationKeepsTheEarlierFiles) {
  const char* scripts[] = {"\n\n\n1033\n\n", "\n\n\n1033\n\n1003=2\n1004=3\n\n"};
  for (const char* script : scripts) {
    WorkFolder folder;
    const SessionResult r = folder.run(script);
    EXPECT_EQ(r.exit_code, 1) << script;
    EXPECT_NE(r.err.find("standard input ended"), std::string::npos) << r.err;
    expect_default_files(folder, std::string("after ") + script);
    EXPECT_EQ(names_in(folder), default_names());
  }
}

// In the first calculation there is nothing earlier to keep: the files its
// opens created go again.
TEST(FileIntegrity, EndOfInputDuringTheFirstCalculationLeavesNoFiles) {
  for (const char* script : {"\n", "\n\n"}) {
    WorkFolder folder;
    EXPECT_EQ(folder.run(script).exit_code, 1);
    EXPECT_EQ(names_in(folder), std::set<std::string>{"zuna.dat"}) << script;
  }
}

TEST(FileIntegrity, SignalWhileTheFilesAreOpenKeepsTheEarlierFiles) {
  WorkFolder folder;
  ASSERT_EQ(folder.run(kDefaultSession).exit_code, 0);
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
    // Waiting for the Enter after the processing time: every file is open
    // and the report has its first line.
    const SessionResult r =
        folder.run_and_signal("\n1003=2\n1004=3\n\n", "Tempo de processamento", signal_number);
    EXPECT_EQ(r.signal, signal_number) << r.err;
    EXPECT_NE(r.out.find("Pontos já processados =  8 de   8"), std::string::npos) << r.out << r.err;
    expect_default_files(folder, "after signal " + std::to_string(signal_number));
    EXPECT_EQ(names_in(folder), default_names());
  }
}

// A run killed outright (SIGKILL: no handler runs) at the parameter form or
// after the sweep leaves no file under a final name, empty or not; only
// its staging files stay, and the next run in the folder removes them.
TEST(FileIntegrity, KilledRunLeavesNoFinalNameAndTheNextRunTakesItsLeftovers) {
  const struct {
    const char* input;
    const char* shown;
  } points[] = {{"\n", "==="}, {"\n\n", "Tempo de processamento"}};
  for (const auto& point : points) {
    SCOPED_TRACE(point.shown);
    WorkFolder folder;
    const SessionResult r = folder.run_and_signal(point.input, point.shown, SIGKILL);
    EXPECT_EQ(r.signal, SIGKILL) << r.err;
    int leftovers = 0;
    for (const std::string& name : names_in(folder)) {
      EXPECT_TRUE(name == "zuna.dat" || name.front() == '.') << name;
      leftovers += name.front() == '.' ? 1 : 0;
    }
    EXPECT_GE(leftovers, 8) << "a staging file for each output file";
    ASSERT_EQ(folder.run(kDefaultSession).exit_code, 0);
    expect_default_files(folder, "after the kill");
    EXPECT_EQ(names_in(folder), default_names());
  }
}

// A signal takes back only what this run made: another run that finished
// in the same folder while this one waited keeps every file it wrote, and
// its sweep of leftovers left this live run's staging files alone.
TEST(FileIntegrity, SignalledRunKeepsTheFilesOfARunThatFinishedMeanwhile) {
  WorkFolder folder;
  WorkFolder other;  // only its program runs, in the first folder
  RunOptions in_folder;
  in_folder.arguments = {"--dir", folder.path().string()};
  const SessionResult r = folder.run_and_signal(
      "\n1003=2\n1004=3\n\n", "Tempo de processamento", SIGTERM,
      [&] { EXPECT_EQ(other.run(kDefaultSession, in_folder).exit_code, 0); });
  EXPECT_EQ(r.signal, SIGTERM);
  expect_default_files(folder, "after the other run and the signal");
  std::set<std::string> names = names_in(folder);
  std::erase_if(names, [](const std::string& name) { return name.ends_with(".gnu"); });
  EXPECT_EQ(names, default_names()) << "the plot scripts of --dir aside";
}

// Twenty batch runs started together on one new folder: each seeds it or
// finds it seeded, each replaces the report and plot files whole, none
// fails, and the folder ends with every file whole and no staging file.
TEST(FileIntegrity, BatchRunsStartedTogetherOnANewFolderAllSucceed) {
  constexpr int kRuns = 20;
  WorkFolder base;
  const fs::path folder = base.path() / "new";
  std::vector<pid_t> runs;
  for (int i = 0; i < kRuns; ++i) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      const std::string err = (base.path() / ("err-" + std::to_string(i))).string();
      if (!freopen("/dev/null", "w", stdout) || !freopen(err.c_str(), "w", stderr)) {
        _exit(125);
      }
      execl(ZUNA4C_PATH, "zuna4c", "-b", "-C", folder.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    runs.push_back(pid);
  }
  for (int i = 0; i < kRuns; ++i) {
    int status = 0;
    ASSERT_EQ(waitpid(runs[static_cast<std::size_t>(i)], &status, 0), runs[static_cast<std::size_t>(i)]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << base.read("err-" + std::to_string(i));
  }
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (!name.ends_with(".gnu")) {
      names.insert(name);
    }
  }
  EXPECT_EQ(names, default_names());
  for (const std::string& name : kOutputFiles) {
    std::string got = slurp_file(folder / name);
    if (name == "saida") {
      mask_processing_times(got);
    }
    EXPECT_TRUE(got == golden("defaults", name)) << name;
  }
}

// As an ordinary user (the tests run as root, whom permissions do not bind):
// a write-protected plot file is refused at its open, before the dialog,
// and is not replaced; the write-protected data file is read all the same.
TEST(FileIntegrity, WriteProtectedPlotFileIsRefusedBeforeTheCalculation) {
  RunOptions options;
  if (geteuid() == 0) {
    if (std::system("command -v setpriv >/dev/null 2>&1") != 0) {
      GTEST_SKIP() << "setpriv (util-linux) is missing: cannot run as an ordinary user";
    }
    options.launcher = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  }
  WorkFolder folder;
  fs::permissions(folder.path(), fs::perms::all);
  folder.write("fmac.dat", "earlier\r\n");
  fs::permissions(folder.path() / "fmac.dat",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(folder.path() / "zuna.dat",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const SessionResult r = folder.run(kDefaultSession, options);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err,
            "\nrun-time error F6419: OPEN(fmac.dat)\n- file cannot be opened: Permission denied\n");
  EXPECT_EQ(r.out.find("==="), std::string::npos) << "no dialog before the refusal";
  EXPECT_EQ(folder.read("fmac.dat"), "earlier\r\n");
  EXPECT_EQ(names_in(folder), (std::set<std::string>{"zuna.dat", "fmac.dat"}));
}

TEST(FileIntegrity, ClosedStandardFilesTakeNothingOfTheFiles) {
  RunOptions closed;
  closed.close_stdout = true;
  closed.close_stderr = true;
  WorkFolder folder;
  const std::string data = folder.read("zuna.dat");
  EXPECT_EQ(folder.run(kDefaultSession, closed).exit_code, 0);
  expect_default_files(folder, "with standard output and error closed");

  // A run-time error with standard error closed: its message goes nowhere,
  // least of all into the data file.
  std::string bad = data;
  std::size_t at = 0;  // record 5, the first coefficient of H2O
  for (int record = 1; record < 5; ++record) {
    at = bad.find('\n', at) + 1;
  }
  bad[at + 2] = 'x';
  folder.write("zuna.dat", bad);
  EXPECT_EQ(folder.run(kDefaultSession, closed).exit_code, 1);
  EXPECT_TRUE(folder.read("zuna.dat") == bad);
  expect_default_files(folder, "after a failed run");
}

TEST(FileIntegrity, StandardOutputThatRefusesWritingEndsWithExitCode1) {
  if (access("/dev/full", W_OK) != 0) {
    GTEST_SKIP() << "no /dev/full";
  }
  RunOptions full;
  full.stdout_path = "/dev/full";
  WorkFolder folder;
  const SessionResult r = folder.run(kDefaultSession, full);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "zuna4c: cannot write to standard output: No space left on device\n");
  expect_default_files(folder, "with a full standard output");
}

}  // namespace
}  // namespace zuna::testing
