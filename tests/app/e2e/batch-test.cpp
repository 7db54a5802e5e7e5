// The console program as a command-line tool: batch runs against the
// interactive session, pressure lists, results files, usage and run-time
// errors with their exit codes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "session.h"

namespace zuna::testing {
namespace {

namespace fs = std::filesystem;

std::string masked(std::string text) {
  EXPECT_TRUE(mask_processing_times(text));
  return text;
}

// The rows of a CSV text, each split at its commas; the header row first.
std::vector<std::vector<std::string>> csv_rows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string>& row = rows.emplace_back();
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) {
      row.push_back(cell);
    }
  }
  return rows;
}

std::size_t column_of(const std::vector<std::string>& header, const std::string& name) {
  for (std::size_t k = 0; k < header.size(); ++k) {
    if (header[k] == name) {
      return k;
    }
  }
  ADD_FAILURE() << "no column " << name;
  return 0;
}

// The digest as coreutils computes it, independently of the program's.
std::string sha256sum(const fs::path& file) {
  const std::string command = "sha256sum '" + file.string() + "'";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << command;
    return "";
  }
  char digest[65] = {};
  const std::size_t got = std::fread(digest, 1, 64, pipe);
  pclose(pipe);
  EXPECT_EQ(got, 64u) << command;
  return digest;
}

struct SameRunCase {
  const char* name;
  const char* script;                // the interactive session's answers
  std::vector<std::string> options;  // the same parameters for --batch
};

void PrintTo(const SameRunCase& c, std::ostream* os) { *os << c.name; }

class BatchAgainstSession : public ::testing::TestWithParam<SameRunCase> {};

// The eight files of a batch run hold the bytes of the interactive session's
// files for the same parameters, the processing time aside. "several" ends
// its equilibria at the iteration cap on the lean side.
TEST_P(BatchAgainstSession, WritesTheSameFiles) {
  WorkFolder interactive;
  WorkFolder batch;
  const SessionResult session = interactive.run(GetParam().script);
  ASSERT_EQ(session.exit_code, 0) << session.err;
  std::vector<std::string> arguments = {"--batch"};
  arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
  const SessionResult r = batch.run_with_arguments(arguments);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, session.err);  // the same warning of points whose search fell short
  for (const std::string& file : kOutputFiles) {
    EXPECT_TRUE(masked(batch.read(file)) == masked(interactive.read(file))) << file;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, BatchAgainstSession,
    ::testing::Values(SameRunCase{"defaults", "\n\n\n1034\n\n", {}},
                      SameRunCase{"reaction_2_off", "\n1020\n\n\n1034\n\n", {"--no-reaction=2"}},
                      SameRunCase{"at_10_atm", "\n1005=10\n\n\n1034\n\n", {"--pressure", "10"}},
                      SameRunCase{"npmin_0", "\n1003=0\n\n\n1034\n\n", {"--npmin=0"}},
                      SameRunCase{
                          "several",
                          "\n1000=0.8\n1001=3.5d0\n1004=7\n1009=1e-4\n1012=50\n1022\n\n\n1034\n\n",
                          {"--rmin=0.8", "--rmax=3.5d0", "--npmax=7", "--tolh=1e-4", "--itmaxn=50",
                           "--reactions=1,2,3"}}),
    [](const ::testing::TestParamInfo<SameRunCase>& info) { return info.param.name; });

// Three pressures, three calculations of 33 points; the temperature with
// dissociation rises with the pressure at every point, as dissociation
// recedes.
TEST(Batch, PressureListGivesOneCalculationPerPressure) {
  WorkFolder folder;
  const SessionResult r = folder.run_with_arguments({"--batch", "-p", "1,10,100", "--csv", "-"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto rows = csv_rows(r.out);
  ASSERT_EQ(rows.size(), 1u + 3 * 33);
  const std::size_t calculation = column_of(rows[0], "calculation");
  const std::size_t ptot = column_of(rows[0], "ptot [atm]");
  const std::size_t tadcom = column_of(rows[0], "tadcom [K]");
  for (std::size_t j = 1; j <= 33; ++j) {
    const auto& at1 = rows[j];
    const auto& at10 = rows[j + 33];
    const auto& at100 = rows[j + 66];
    EXPECT_EQ(at1[calculation], "1");
    EXPECT_EQ(at10[ptot], "10");
    EXPECT_EQ(at100[calculation], "3");
    EXPECT_LT(std::stod(at1[tadcom]), std::stod(at10[tadcom])) << "point " << j;
    EXPECT_LT(std::stod(at10[tadcom]), std::stod(at100[tadcom])) << "point " << j;
  }
  // Without --suffix the files hold the last calculation.
  EXPECT_NE(folder.read("saida").find("Pressao total do sistema (atmosferas) =   1.0000E+02"),
            std::string::npos);
}

TEST(Batch, SuffixKeepsTheFilesOfEveryPressure) {
  WorkFolder folder;
  WorkFolder single;
  ASSERT_EQ(folder.run_with_arguments({"-b", "--pressure=1:100:3", "--suffix"}).exit_code, 0);
  ASSERT_EQ(single.run_with_arguments({"-b", "--pressure=10"}).exit_code, 0);
  EXPECT_FALSE(fs::exists(folder.path() / "saida"));
  for (const char* n : {"1", "2", "3"}) {
    EXPECT_TRUE(fs::exists(folder.path() / (std::string("saida_") + n)));
    EXPECT_TRUE(fs::exists(folder.path() / (std::string("fmac_") + n + ".dat")));
  }
  EXPECT_TRUE(masked(folder.read("saida_2")) == masked(single.read("saida")));
  EXPECT_TRUE(folder.read("tad_2.dat") == single.read("tad.dat"));
}

TEST(Batch, FolderAndDataFileOptions) {
  WorkFolder folder;
  fs::create_directories(folder.path() / "sub");
  fs::copy_file(folder.path() / "zuna.dat", folder.path() / "sub" / "species.dat");
  const SessionResult r = folder.run_with_arguments(
      {"--batch", "-C", "sub", "--data=species.dat", "--json=out.json", "--npmax=0"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(fs::exists(folder.path() / "sub" / "saida"));
  EXPECT_FALSE(fs::exists(folder.path() / "saida"));
  const std::string json = folder.read("sub/out.json");
  EXPECT_NE(json.find("\"name\": \"species.dat\""), std::string::npos);
  const std::string digest = sha256sum(folder.path() / "sub" / "species.dat");
  EXPECT_NE(json.find("\"sha256\": \"" + digest + "\""), std::string::npos) << json;
}

// The digest is of the bytes the run read, the only bytes there are when
// the data file is a pipe or a FIFO: read once, both for the digest and for
// the data (a second open of the FIFO would wait for a writer for ever).
TEST(Batch, DataFileDigestOfAPipeOrFifo) {
  WorkFolder folder;
  const std::string digest = "\"sha256\": \"" + sha256sum(folder.path() / "zuna.dat") + "\"";
  RunOptions piped;
  piped.launcher = {"sh", "-c", "cat zuna.dat | \"$0\" \"$@\""};
  piped.arguments = {"--batch", "--npmax=0", "--data=/dev/stdin", "--json=-"};
  const SessionResult r = folder.run("", piped);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find(digest), std::string::npos) << r.out.substr(0, 300);

  const fs::path fifo = folder.path() / "data.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string bytes = folder.read("zuna.dat");
  std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << bytes; });
  const SessionResult f =
      folder.run_with_arguments({"--batch", "--npmax=0", "--data=data.fifo", "--json=-"});
  writer.join();
  ASSERT_EQ(f.exit_code, 0) << f.err;
  EXPECT_NE(f.out.find(digest), std::string::npos) << f.out.substr(0, 300);
  // The same points as from the file itself.
  const SessionResult plain = folder.run_with_arguments({"--batch", "--npmax=0", "--csv=-"});
  const SessionResult from_fifo_csv = [&] {
    std::thread again([&] { std::ofstream(fifo, std::ios::binary) << bytes; });
    SessionResult result =
        folder.run_with_arguments({"--batch", "--npmax=0", "--data=data.fifo", "--csv=-"});
    again.join();
    return result;
  }();
  EXPECT_EQ(from_fifo_csv.out, plain.out);

  // A pipe that ends too soon is told of by the data file's name.
  RunOptions short_pipe;
  short_pipe.launcher = {"sh", "-c", "head -c 300 zuna.dat | \"$0\" \"$@\""};
  short_pipe.arguments = {"--batch", "--data=/dev/stdin", "--json=out.json"};
  const SessionResult s = folder.run("", short_pipe);
  EXPECT_EQ(s.exit_code, 1) << s.err;
  EXPECT_NE(s.err.find("READ(/dev/stdin)"), std::string::npos) << s.err;
  EXPECT_FALSE(fs::exists(folder.path() / "out.json"));
}

// A results file never takes the place of the data file, of a report or
// plot file of the run, or of the other results file, whatever name leads
// to it; the run is refused before it computes anything.
TEST(Batch, ResultsFilesNeverReplaceTheRunsOwnFiles) {
  struct Case {
    std::vector<std::string> arguments;
    const char* named;
  };
  const std::vector<Case> cases = {
      {{"--csv=zuna.dat"}, "'zuna.dat' is the data file"},
      {{"--json=./sub/../zuna.dat"}, "the data file"},
      {{"--csv=data-link"}, "the data file"},  // a symbolic link to zuna.dat
      {{"--json=hard.dat"}, "the data file"},  // a second name of zuna.dat
      {{"--data=other.dat", "--csv=other.dat"}, "the data file"},
      {{"--csv=saida"}, "'saida' is a report or plot file"},
      {{"--json=tad.dat"}, "'tad.dat'"},
      {{"--csv=./mol.dat"}, "'./mol.dat'"},
      {{"--csv=plot-link"}, "'plot-link'"},  // a link to fmx.dat, not made yet
      {{"--suffix", "-p", "1,10", "--json=fmac_2.dat"}, "'fmac_2.dat'"},
      {{"--csv=x.csv", "--json=./x.csv"}, "--json: './x.csv' is the file of --csv"},
      {{"--csv=x.csv", "--json=x-link"}, "--json: 'x-link'"},
  };
  for (const Case& c : cases) {
    WorkFolder folder;
    const std::string data = folder.read("zuna.dat");
    folder.write("other.dat", data);
    fs::create_directories(folder.path() / "sub");
    fs::create_symlink("zuna.dat", folder.path() / "data-link");
    fs::create_hard_link(folder.path() / "zuna.dat", folder.path() / "hard.dat");
    fs::create_symlink("fmx.dat", folder.path() / "plot-link");
    fs::create_symlink("x.csv", folder.path() / "x-link");
    std::vector<std::string> arguments = {"--batch"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const SessionResult r = folder.run_with_arguments(arguments);
    const std::string command = c.arguments.back();
    EXPECT_EQ(r.exit_code, 2) << command << "\n" << r.err;
    EXPECT_NE(r.err.find(c.named), std::string::npos) << command << "\n" << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << command << "\n" << r.err;
    EXPECT_EQ(folder.read("zuna.dat"), data) << command;
    EXPECT_EQ(folder.read("other.dat"), data) << command;
    EXPECT_FALSE(fs::exists(folder.path() / "saida")) << command;
    EXPECT_FALSE(fs::exists(folder.path() / "saida_1")) << command;
    EXPECT_FALSE(fs::exists(folder.path() / "x.csv")) << command;
  }
  // With --suffix the run writes saida_N: a file named saida is no file of
  // the run.
  WorkFolder folder;
  const SessionResult r =
      folder.run_with_arguments({"--batch", "--suffix", "--npmax=0", "--csv=saida"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(folder.read("saida").rfind("calculation,", 0), 0u);
  EXPECT_TRUE(fs::exists(folder.path() / "saida_1"));
}

// Output that was asked for on a standard output that is closed is an
// error, not a write to /dev/null; a run that writes only its files goes on
// as before.
TEST(Batch, OutputAskedForOnAClosedStandardOutput) {
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"--batch", "--npmax=0", "--csv=-"},
                                             {"--batch", "--npmax=0", "--json=-"},
                                             {"--version"},
                                             {"--help"}}) {
    WorkFolder folder;
    RunOptions options;
    options.close_stdout = true;
    options.arguments = arguments;
    const SessionResult r = folder.run("", options);
    EXPECT_EQ(r.exit_code, 1) << arguments.back() << "\n" << r.err;
    EXPECT_NE(r.err.find("cannot write to standard output"), std::string::npos)
        << arguments.back() << "\n" << r.err;
    EXPECT_FALSE(fs::exists(folder.path() / "saida")) << arguments.back();
  }
  WorkFolder folder;
  RunOptions options;
  options.close_stdout = true;
  options.arguments = {"--batch", "--npmax=0", "--csv=out.csv"};
  const SessionResult r = folder.run("", options);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(csv_rows(folder.read("out.csv")).size(), 1u + 13u);
}

// A data file named with --data is taken from the start folder and nowhere
// else; when the per-user folder's own zuna.dat is used, its messages name
// that folder.
TEST(Batch, DataFileOfTheStartFolderOrOfThePerUserFolder) {
  WorkFolder folder;
  const std::string data = folder.read("zuna.dat");
  fs::remove(folder.path() / "zuna.dat");
  const fs::path data_home = folder.path() / "data-home";
  RunOptions options;
  options.environment = {"XDG_DATA_HOME=" + data_home.string()};
  options.arguments = {"--batch", "--npmax=0"};
  ASSERT_EQ(folder.run("", options).exit_code, 0);  // seeds the per-user folder
  fs::remove(data_home / "zuna4" / "saida");

  options.arguments = {"--batch", "--npmax=0", "--data=zuna.dat"};
  SessionResult r = folder.run("", options);
  EXPECT_EQ(r.exit_code, 1) << r.err;
  EXPECT_NE(r.err.find("zuna.dat"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(data_home / "zuna4" / "saida"));

  std::ofstream(data_home / "zuna4" / "zuna.dat", std::ios::binary) << data.substr(0, 300);
  options.arguments = {"--batch", "--npmax=0"};
  r = folder.run("", options);
  EXPECT_EQ(r.exit_code, 1) << r.err;
  EXPECT_NE(r.err.find((data_home / "zuna4").string()), std::string::npos) << r.err;
}

// On a terminal, a message (here the warning of points whose search fell
// short, at most pressures of this list) clears the progress line first and
// starts at the beginning of a line, not after "point 33 of 33 ".
// script(1) gives the run a terminal.
TEST(Batch, MessagesStartOnALineOfTheirOwnAfterTheProgressLine) {
  WorkFolder folder;
  RunOptions options;
  options.launcher = {"sh", "-c", "exec script -qec \"$*\" /dev/null", "on-a-terminal"};
  options.arguments = {"--batch", "--pressure=1:100:80"};
  const SessionResult r = folder.run("", options);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  ASSERT_NE(r.out.find("zuna4c: calculation "), std::string::npos) << "no progress line shown";
  std::size_t warnings = 0;
  for (std::size_t at = r.out.find("RESULTADOS:"); at != std::string::npos;
       at = r.out.find("RESULTADOS:", at + 1)) {
    ++warnings;
    ASSERT_GT(at, 0u);
    EXPECT_TRUE(r.out[at - 1] == '\r' || r.out[at - 1] == '\n')
        << r.out.substr(at > 60 ? at - 60 : 0, 80);
  }
  EXPECT_GT(warnings, 0u);
}

// "equilibrium" and "rocket" as the first argument are commands of their
// own, not operands; anywhere else they are operands, refused.
TEST(Batch, SubcommandsComeFirst) {
  WorkFolder folder;
  for (const char* command : {"equilibrium", "rocket"}) {
    const SessionResult first = folder.run_with_arguments({command, "--of=8"});
    EXPECT_EQ(first.exit_code, 0) << first.err;
    EXPECT_EQ(first.err.find("unexpected argument"), std::string::npos) << first.err;
    // The temperature line of the command's readable table.
    const char* temperature = std::string_view(command) == "rocket" ? "\nT, K " : "T_K";
    EXPECT_NE(first.out.find(temperature), std::string::npos) << first.out;
    const SessionResult later = folder.run_with_arguments({"--batch", command});
    EXPECT_EQ(later.exit_code, 2) << later.err;
    EXPECT_NE(later.err.find("--dir"), std::string::npos) << later.err;
  }
  EXPECT_FALSE(fs::exists(folder.path() / "saida"));
}

// Started in a folder without zuna.dat, the program works in the per-user
// folder; a results file named relative to the start folder is still
// written there, where the script that named it looks for it.
TEST(Batch, ResultsFileNamedRelativeToTheStartFolder) {
  WorkFolder folder;
  fs::remove(folder.path() / "zuna.dat");
  const fs::path data_home = folder.path() / "data-home";
  RunOptions options;
  options.environment = {"XDG_DATA_HOME=" + data_home.string()};
  options.arguments = {"--batch", "--npmax=0", "--csv=out.csv", "--json=out.json"};
  const SessionResult r = folder.run("", options);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(fs::exists(data_home / "zuna4" / "saida"));
  EXPECT_EQ(csv_rows(folder.read("out.csv")).size(), 1u + 13u);
  EXPECT_NE(folder.read("out.json").find("\"calculations\""), std::string::npos);
  EXPECT_FALSE(fs::exists(data_home / "zuna4" / "out.csv"));
}

struct BadCommand {
  std::vector<std::string> arguments;
  int exit_code;
  const char* named;  // what the one line on standard error must name
};

TEST(Batch, BadCommandsAreRefusedWithTheirExitCode) {
  const std::vector<BadCommand> cases = {
      {{"--frobnicate"}, 2, "'--frobnicate'"},
      {{"-x"}, 2, "'x'"},
      {{"--batch=yes"}, 2, "'--batch'"},
      {{"--batch", "--rmin"}, 2, "'--rmin'"},
      {{"--batch", "--rmin=abc"}, 2, "--rmin"},
      {{"--batch", "--rmin=1.5"}, 2, "--rmin"},
      {{"--batch", "--rmax=0.9"}, 2, "--rmax"},
      {{"--batch", "--npmin=-1"}, 2, "--npmin"},
      {{"--batch", "--npmin=60", "--npmax=41"}, 2, "--npmax"},
      {{"--batch", "--npmax=2.5"}, 2, "--npmax"},
      {{"--batch", "--itmaxh=0"}, 2, "--itmaxh"},
      {{"--batch", "--itmaxn=4294967296"}, 2, "--itmaxn"},
      {{"--batch", "--toln=0"}, 2, "--toln"},
      {{"--batch", "--tolh=-1e-3"}, 2, "--tolh"},
      {{"--batch", "--pressure=1,1e6"}, 2, "--pressure"},
      {{"--batch", "--pressure=1:100"}, 2, "--pressure"},
      {{"--batch", "--reactions=5"}, 2, "--reactions"},
      {{"--csv=out.csv"}, 2, "--csv"},
      {{"--batch", "stray"}, 2, "'stray'"},
      {{"work"}, 2, "--dir"},
      {{"--batch", "--np=3"}, 2, "ambiguous"},
      {{"--batch", "--npmin=51", "--npmax=50"}, 2, "--npmin + --npmax"},
      {{"--batch", "--pressure=1:2:10000,1:2:10000,1:2:10000,1:2:10000,1:2:10000,"
                   "1:2:10000,1:2:10000,1:2:10000,1:2:10000,1:2:10000,3"},
       2,
       "100000"},
      {{"--batch", "--csv=-", "--json=-"}, 2, "--json"},
      {{"--batch", "--data=missing.dat", "--csv=out.csv"}, 1, "missing.dat"},
      {{"--batch", "--csv=no/such/folder/out.csv"}, 1, "no/such/folder/out.csv"},
      // A folder that cannot be made (its parent is a file).
      {{"--dir=zuna.dat/results"}, 1, "zuna.dat/results"},
  };
  for (const BadCommand& c : cases) {
    WorkFolder folder;
    const SessionResult r = folder.run_with_arguments(c.arguments);
    std::string command;
    for (const std::string& a : c.arguments) {
      command += " " + a;
    }
    EXPECT_EQ(r.exit_code, c.exit_code) << command << "\n" << r.err;
    EXPECT_NE(r.err.find(c.named), std::string::npos) << command << "\n" << r.err;
    EXPECT_EQ(r.out, "") << command;
    if (c.exit_code == 2) {
      EXPECT_NE(r.err.find("--help"), std::string::npos) << command;
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << command << "\n" << r.err;
    }
    // Nothing is computed, and a results file of a failed run is not left behind.
    EXPECT_FALSE(fs::exists(folder.path() / "saida")) << command;
    EXPECT_FALSE(fs::exists(folder.path() / "out.csv")) << command;
  }
}

// Names in the folder, for the check that a run leaves no file of its own.
std::vector<std::string> listing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Batch, ResultsFilesAreReplacedOnlyByARunThatSucceeds) {
  WorkFolder folder;
  folder.write("out.csv", "earlier csv\n");
  folder.write("out.json", "earlier json\n");
  folder.write("empty.dat", "");
  const std::vector<std::string> before = listing(folder.path());
  // The data file missing, or ending before its first record is read.
  for (const char* data : {"--data=missing.dat", "--data=empty.dat"}) {
    const SessionResult r =
        folder.run_with_arguments({"--batch", data, "--csv=out.csv", "--json=out.json"});
    EXPECT_EQ(r.exit_code, 1) << data << "\n" << r.err;
    EXPECT_EQ(folder.read("out.csv"), "earlier csv\n") << data;
    EXPECT_EQ(folder.read("out.json"), "earlier json\n") << data;
    EXPECT_EQ(listing(folder.path()), before) << data;
  }
  const SessionResult r =
      folder.run_with_arguments({"--batch", "--npmax=0", "--csv=out.csv", "--json=out.json"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(folder.read("out.csv").rfind("calculation,", 0), 0u);
  EXPECT_EQ(folder.read("out.json").rfind("{\n \"program\": \"zuna4c\"", 0), 0u);
  for (const std::string& name : listing(folder.path())) {
    EXPECT_NE(name.front(), '.') << name;  // no staging file left behind
  }
}

// A calculation that fails leaves every earlier file of it as it was: a
// full disk under the JSON file keeps the earlier CSV file too, and a full
// disk under one plot file of the second pressure keeps every file of that
// pressure from appearing, while the first pressure's files stand whole.
TEST(Batch, FailedCalculationLeavesEveryEarlierFileOfItAsItWas) {
  if (access("/dev/full", W_OK) != 0) {
    GTEST_SKIP() << "no /dev/full";
  }
  WorkFolder folder;
  folder.write("out.csv", "earlier csv\n");
  SessionResult r = folder.run_with_arguments(
      {"--batch", "--npmax=0", "--csv=out.csv", "--json=/dev/full"});
  EXPECT_EQ(r.exit_code, 1) << r.err;
  EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
  EXPECT_EQ(folder.read("out.csv"), "earlier csv\n");

  WorkFolder suffixed;
  fs::create_symlink("/dev/full", suffixed.path() / "fmas_2.dat");
  r = suffixed.run_with_arguments({"--batch", "--npmax=0", "-p", "1,10", "--suffix"});
  EXPECT_EQ(r.exit_code, 1) << r.err;
  std::vector<std::string> expected = {"fmas_2.dat", "zuna.dat"};
  for (const std::string& name : kOutputFiles) {
    const fs::path p(name);
    expected.push_back(p.stem().string() + "_1" + p.extension().string());
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listing(suffixed.path()), expected);
  EXPECT_NE(suffixed.read("saida_1").find("Tempo de processamento"), std::string::npos);
}

// The results files follow the report's policy for symbolic links: a link
// to a regular file has its target replaced and stays a link; a link that
// leads nowhere is refused before the calculation, naming it, and stays.
TEST(Batch, ResultsFileThatIsALinkIsReplacedThroughItOrRefused) {
  WorkFolder folder;
  folder.write("results.csv", "earlier\n");
  fs::create_symlink("results.csv", folder.path() / "out.csv");
  SessionResult r = folder.run_with_arguments({"--batch", "--npmax=0", "--csv=out.csv"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(folder.path() / "out.csv"));
  EXPECT_EQ(folder.read("results.csv").rfind("calculation,", 0), 0u);

  fs::create_symlink("nowhere/out.json", folder.path() / "out.json");
  r = folder.run_with_arguments({"--batch", "--npmax=0", "--json=out.json"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("out.json': file is a symbolic link that leads to no file"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(fs::is_symlink(folder.path() / "out.json"));
  EXPECT_FALSE(fs::exists(folder.path() / "nowhere"));
}

TEST(Batch, HelpAndVersion) {
  WorkFolder folder;
  const SessionResult help = folder.run_with_arguments({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.out.rfind("Usage: zuna4c", 0), 0u) << help.out;
  EXPECT_EQ(help.err, "");
  const SessionResult version = folder.run_with_arguments({"-V"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out, "zuna4c (zuna4) " ZUNA_VERSION "\n");
  EXPECT_FALSE(fs::exists(folder.path() / "saida"));
}

}  // namespace
}  // namespace zuna::testing
