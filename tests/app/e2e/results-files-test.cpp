// The results files of the subcommands under the discipline of --batch:
// never the file of an input or of the other results file, put in place
// together or not at all, no staging file left by a signal.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "session.h"

namespace zuna::testing {
namespace {

namespace fs = std::filesystem;

SessionResult command(const WorkFolder& folder, const std::vector<std::string>& arguments,
                      const std::string& stdout_path = {}) {
  RunOptions options;
  options.arguments = arguments;
  options.stdout_path = stdout_path;
  return folder.run("", options);
}

std::string slurp_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> hidden_files(const fs::path& folder) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.front() == '.') {
      found.push_back(name);
    }
  }
  return found;
}

// A results file that is the data file, by its name, another spelling of it
// or a link to it, is refused before anything is read or written: the data
// stay whole.
TEST(ResultsFiles, AResultsFileIsNeverAnInputFile) {
  WorkFolder folder;
  const std::string data = folder.read("zuna.dat");
  fs::create_symlink("zuna.dat", folder.path() / "link.dat");
  const std::vector<std::vector<std::string>> runs = {
      {"equilibrium", "--of=6", "--data=zuna.dat", "--csv=zuna.dat"},
      {"equilibrium", "--of=6", "--data=zuna.dat", "--json=./zuna.dat"},
      {"equilibrium", "--of=6", "--data=zuna.dat", "--csv=link.dat"},
      {"rocket", "--of=6", "--thermo=link.dat", "--json=zuna.dat"},
  };
  for (const std::vector<std::string>& args : runs) {
    const SessionResult r = command(folder, args);
    EXPECT_EQ(r.exit_code, 2) << args[3] << " " << args[4] << ": " << r.err;
    EXPECT_NE(r.err.find("which the run reads"), std::string::npos) << r.err;
    EXPECT_EQ(folder.read("zuna.dat"), data);
  }
}

// --csv and --json on one file would lose one document: refused, whatever
// the spelling, standard output included.
TEST(ResultsFiles, TheTwoResultsFilesAreNeverOne) {
  WorkFolder folder;
  fs::create_symlink("x", folder.path() / "to-x");
  const std::vector<std::vector<std::string>> pairs = {
      {"--csv=x", "--json=x"},
      {"--csv=x", "--json=./x"},
      {"--csv=x", "--json=to-x"},
      {"--csv=/dev/stdout", "--json=-"},
      {"--csv=-", "--json=/proc/self/fd/1"},
  };
  for (const char* subcommand : {"equilibrium", "rocket"}) {
    for (const std::vector<std::string>& pair : pairs) {
      const SessionResult r =
          command(folder, {subcommand, "--of=6", pair[0], pair[1]}, "stdout.txt");
      EXPECT_EQ(r.exit_code, 2) << subcommand << " " << pair[0] << " " << pair[1];
      EXPECT_NE(r.err.find("is the file of --csv too"), std::string::npos) << r.err;
      EXPECT_FALSE(fs::exists(folder.path() / "x"));
    }
  }
  // --batch: /dev/stdout beside - as well.
  const SessionResult batch =
      command(folder, {"--batch", "--csv=/dev/stdout", "--json=-"}, "stdout.txt");
  EXPECT_EQ(batch.exit_code, 2) << batch.err;
}

// A run whose standard output fails at its last flush puts no results file
// in place: the files of one run stand or fall together.
TEST(ResultsFiles, AFailedRunPutsNoResultsFileInPlace) {
  WorkFolder folder;
  folder.write("r.json", "earlier\n");
  for (const char* subcommand : {"equilibrium", "rocket"}) {
    const SessionResult r =
        command(folder, {subcommand, "--of=6", "--csv=-", "--json=r.json"}, "/dev/full");
    EXPECT_EQ(r.exit_code, 1) << subcommand << ": " << r.err;
    EXPECT_EQ(folder.read("r.json"), "earlier\n") << subcommand;
    EXPECT_TRUE(hidden_files(folder.path()).empty());
  }
}

// Interrupt, termination, hang-up and quit remove the staging files of a
// run that is writing its results.
TEST(ResultsFiles, ASignalLeavesNoStagingFile) {
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    WorkFolder folder;
    const pid_t pid = fork();
    ASSERT_NE(pid, -1);
    if (pid == 0) {
      if (chdir(folder.path().c_str()) != 0) {
        _exit(127);
      }
      // A million rows: seconds of work, well past the signal.
      execl(ZUNA4C_PATH, ZUNA4C_PATH, "equilibrium", "--of=2:30:1000", "--pressure=1e-3:1e3:1000",
            "--csv=out.csv", static_cast<char*>(nullptr));
      _exit(127);
    }
    bool staged = false;
    for (int k = 0; k < 500 && !staged; ++k) {
      staged = !hidden_files(folder.path()).empty();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(staged) << "no staging file was made";
    kill(pid, signal_number);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status)) << signal_number;
    EXPECT_TRUE(hidden_files(folder.path()).empty()) << "after signal " << signal_number;
    EXPECT_FALSE(fs::exists(folder.path() / "out.csv"));
  }
}

// --help to a full standard output is a failure that says so.
TEST(ResultsFiles, HelpToAFullStandardOutputSaysSo) {
  WorkFolder folder;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"equilibrium", "--help"}, {"rocket", "--help"}, {"--help"}}) {
    const SessionResult r = command(folder, args, "/dev/full");
    EXPECT_EQ(r.exit_code, 1) << args[0];
    EXPECT_NE(r.err.find("cannot write standard output"), std::string::npos) << r.err;
  }
}

// A control sequence in a data file's field reaches the terminal escaped in
// the message that quotes the field.
TEST(ResultsFiles, MessagesQuoteDataFieldsEscaped) {
  WorkFolder folder;
  std::string data = slurp_file(ZUNA_DATA_DIR "/nasa9-h2o2.inp");
  const std::size_t record = data.find("\nH2O ");
  ASSERT_NE(record, std::string::npos);
  std::size_t line = record + 1;
  for (int k = 0; k < 3; ++k) {
    line = data.find('\n', line) + 1;
  }
  data.replace(line, 8, "\x1b]0;x\x07");  // the first coefficient: retitles a terminal
  folder.write("bad.inp", data);
  const SessionResult r = command(folder, {"equilibrium", "--of=6", "--thermo=bad.inp"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("\\x1b]0;x\\x07"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
  EXPECT_EQ(r.err.find('\x07'), std::string::npos);
}

}  // namespace
}  // namespace zuna::testing
