// The results menu's commands, and the plot and listing commands of tools/.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "session.h"

namespace zuna::testing {
namespace {

namespace fs = std::filesystem;

// Stand-ins for the plot program and the text viewer: each logs its command
// line and how many records the file it was given holds at that moment.
void install_recorders(const fs::path& bin) {
  fs::create_directories(bin);
  const std::pair<const char*, const char*> tools[] = {
      {"wgnuplot",
       "printf 'wgnuplot %s %s\\n' \"$*\" \"$(grep -c '' \"${1%.gnu}.dat\")\" >> log\n"},
      {"notepad", "printf 'notepad %s %s\\n' \"$*\" \"$(grep -c '' \"$1\")\" >> log\n"},
  };
  for (const auto& [name, body] : tools) {
    std::ofstream(bin / name) << "#!/bin/sh\n" << body;
    fs::permissions(bin / name, fs::perms::owner_all);
  }
}

TEST(Menu, EachChoiceRunsItsCommandOnCompleteFiles) {
  WorkFolder folder;
  const fs::path bin = folder.path().parent_path() / "bin";
  install_recorders(bin);
  // OK without a choice plots the temperatures; then every other choice in
  // turn, the listing last, and the end.
  const SessionResult r = folder.run(
      "\n\n\n"
      "\n"
      "1014\n\n"
      "1015\n\n"
      "1016\n\n"
      "1030\n\n"
      "1031\n\n"
      "1032\n\n"
      "1041\n\n"
      "1034\n\n",
      {"PATH=" + bin.string() + ":" + std::getenv("PATH")});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  // The report has 396 records with the default 33 points.
  EXPECT_EQ(folder.read("log"),
            "wgnuplot tad.gnu 33\n"
            "wgnuplot fmos.gnu 33\n"
            "wgnuplot fmoc.gnu 33\n"
            "wgnuplot fmx.gnu 33\n"
            "wgnuplot fmas.gnu 33\n"
            "wgnuplot fmac.gnu 33\n"
            "wgnuplot mol.gnu 33\n"
            "notepad saida 396\n");
}

TEST(Menu, CommandThatCannotBeFoundLeavesTheMenuUsable) {
  WorkFolder folder;
  const SessionResult r = folder.run("\n\n\n\n1034\n\n", {"PATH=/nonexistent-zuna-path"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_NE(r.out.rfind("Stop - Program terminated."), std::string::npos);
}

// Runs a shell command line in the folder; answers its standard output.
std::string shell_output(const fs::path& dir, const std::string& command, int& status) {
  const std::string line = "cd '" + dir.string() + "' && " + command;
  std::FILE* pipe = popen(line.c_str(), "r");
  std::string out;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    out.append(buffer, n);
  }
  status = pclose(pipe);
  return out;
}

class RealTools : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(folder_.run("\n\n\n1034\n\n").exit_code, 0);
    for (const auto& entry : fs::directory_iterator(ZUNA_DATA_DIR)) {
      if (entry.path().extension() == ".gnu") {
        fs::copy_file(entry.path(), folder_.path() / entry.path().filename());
      }
    }
  }
  WorkFolder folder_;
};

// Without a display each script draws its file as text, with its title.
TEST_F(RealTools, EveryPlotScriptDrawsItsFile) {
  int status = 0;
  shell_output(folder_.path(), "command -v gnuplot", status);
  if (status != 0) {
    // ./test installs gnuplot: there its absence is a failure, not a skip.
    if (std::getenv("ZUNA_REQUIRE_TOOLS") != nullptr) {
      FAIL() << "gnuplot is not installed (tools/install-deps installs it)";
    }
    GTEST_SKIP() << "gnuplot is not installed";
  }
  const std::pair<const char*, const char*> scripts[] = {
      {"tad.gnu", "Temperatura Adiabática de Chama"},
      {"fmos.gnu", "Frações Molares dos Produtos sem Dissociação"},
      {"fmoc.gnu", "Frações Molares dos Produtos com Dissociação"},
      {"fmx.gnu", "Frações Molares das Reações de Dissociação"},
      {"fmas.gnu", "Frações Mássicas dos Produtos sem Dissociação"},
      {"fmac.gnu", "Frações Mássicas dos Produtos com Dissociação"},
      {"mol.gnu", "Massa Molecular dos Produtos"},
  };
  for (const auto& [script, title] : scripts) {
    const std::string out =
        shell_output(folder_.path(),
                     std::string("env -u DISPLAY COLUMNS=120 LINES=40 '") + ZUNA_TOOLS_DIR +
                         "/wgnuplot' " + script + " 2>&1 </dev/null",
                     status);
    EXPECT_EQ(status, 0) << script << ":\n" << out;
    EXPECT_NE(out.find(title), std::string::npos) << script << ":\n" << out;
    EXPECT_EQ(out.find("warning"), std::string::npos) << script << ":\n" << out;
  }
}

// Not on a terminal, the listing prints the report in UTF-8 with plain line
// ends.
TEST_F(RealTools, ListingShowsTheReportInUtf8) {
  std::string expected;
  for (char ch : folder_.read("saida")) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\r') {
      continue;
    }
    if (c >= 0xA0) {  // the report's accented letters lie in this range
      expected += static_cast<char>(0xC0 | (c >> 6));
      expected += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      expected += ch;
    }
  }
  int status = 0;
  const std::string out = shell_output(
      folder_.path(), std::string("env -u DISPLAY '") + ZUNA_TOOLS_DIR + "/notepad' saida | cat",
      status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(out == expected);
  EXPECT_NE(out.find("Razao entre O/F mínimo e estequiometrico"), std::string::npos);
}

// The text plot's size comes from COLUMNS and LINES only when they are
// counts, read as decimal: anything else would reach gnuplot as commands of
// its own.
TEST(PlotTool, TerminalSizeIsTakenOnlyFromDigits) {
  WorkFolder folder;
  const fs::path bin = folder.path().parent_path() / "bin";
  fs::create_directories(bin);
  std::ofstream(bin / "gnuplot") << "#!/bin/sh\nprintf '%s|' \"$@\" > args\n";
  fs::permissions(bin / "gnuplot", fs::perms::owner_all);
  folder.write("tad.gnu", "plot 'tad.dat'\n");
  const std::pair<const char*, const char*> cases[] = {
      {"COLUMNS=90 LINES=30", "set terminal dumb size 90,28"},
      {"COLUMNS='80,20; system \"touch injected\"' LINES=30", "set terminal dumb size 100,28"},
      {"COLUMNS=90 LINES='40\n!touch injected'", "set terminal dumb size 90,30"},
      {"COLUMNS=0 LINES=99999", "set terminal dumb size 100,30"},
      // Leading zeros are decimal, not octal: 0024 is 24 (20 in octal), 0080
      // is 80 (no octal number at all).
      {"COLUMNS=0080 LINES=0024", "set terminal dumb size 80,22"},
  };
  for (const auto& [environment, expected] : cases) {
    int status = 0;
    shell_output(folder.path(),
                 // setsid: no terminal whose size would stand in for the defaults
                 "setsid -w env -u DISPLAY PATH='" + bin.string() + ":/usr/bin:/bin' " +
                     environment + " '" + ZUNA_TOOLS_DIR + "/wgnuplot' tad.gnu </dev/null",
                 status);
    EXPECT_EQ(status, 0) << environment;
    EXPECT_EQ(folder.read("args"), std::string("-e|") + expected + "|tad.gnu|") << environment;
    EXPECT_FALSE(fs::exists(folder.path() / "injected")) << environment;
  }
}

}  // namespace
}  // namespace zuna::testing
