// The plot command's texts: every title, label and key of the seven scripts
// that holds an accented letter must come out as those letters, whichever
// window terminal the command picks. gnuplot is replaced by a stand-in that
// answers the command's questions about terminals as a given installation
// would and draws the real plot, from the file the command hands over, into
// an SVG file whose text is read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "session.h"
#include "tests/support/files-and-shell.h"

namespace zuna::testing {
namespace {

namespace fs = std::filesystem;

// The SVG's text in UTF-8: gnuplot declares Latin-1 when the script said so.
std::string svg_text_utf8(const std::string& svg) {
  if (svg.find("encoding=\"iso-8859-1\"") == std::string::npos) {
    return svg;
  }
  std::string utf8;
  for (char ch : svg) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      utf8 += ch;
    } else {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

// The quoted texts of a script that hold a letter beyond ASCII.
std::vector<std::string> accented_texts(const std::string& script) {
  std::vector<std::string> texts;
  static const std::regex quoted("\"([^\"]*)\"");
  for (std::sregex_iterator it(script.begin(), script.end(), quoted), end; it != end; ++it) {
    const std::string text = (*it)[1];
    for (char c : text) {
      if (static_cast<unsigned char>(c) >= 0x80) {
        texts.push_back(text);
        break;
      }
    }
  }
  return texts;
}

class PlotText : public ::testing::Test {
 protected:
  void SetUp() override {
    int status = 0;
    real_gnuplot_ = run_shell("command -v gnuplot", status);
    if (status != 0 || real_gnuplot_.empty()) {
      if (std::getenv("ZUNA_REQUIRE_TOOLS") != nullptr) {
        FAIL() << "gnuplot is not installed (tools/install-deps installs it)";
      }
      GTEST_SKIP() << "gnuplot is not installed";
    }
    real_gnuplot_.pop_back();  // the line end
    ASSERT_EQ(folder_.run("\n\n\n1034\n\n").exit_code, 0);
    for (const auto& entry : fs::directory_iterator(ZUNA_DATA_DIR)) {
      if (entry.path().extension() == ".gnu") {
        fs::copy_file(entry.path(), folder_.path() / entry.path().filename());
      }
    }
    // The stand-in: "gnuplot -e 'set terminal T' -e exit" succeeds for the
    // terminals of ZUNA_TEST_TERMINALS; any other call is a plot (run in
    // the plot's private folder), whose terminal (without the window's
    // title) is logged and replaced by SVG into ZUNA_TEST_SVG, and which
    // then says that its window is up, as gnuplot does.
    bin_ = folder_.path().parent_path() / "fake-bin";
    fs::create_directories(bin_);
    std::ofstream(bin_ / "gnuplot")
        << "#!/bin/sh\n"
           "if [ \"$#\" -eq 4 ] && [ \"$4\" = exit ]; then\n"
           "  for t in $ZUNA_TEST_TERMINALS; do\n"
           "    [ \"$2\" = \"set terminal $t\" ] && exit 0\n"
           "  done\n"
           "  exit 1\n"
           "fi\n"
           "[ \"$1\" = -e ] || exit 3\n"
           "terminal=\"${2%% title *}\"\n"
           "echo \"${terminal% persist}\" >> '"
        << (folder_.path() / "terminals.log").string()
        << "'\n"
           "'"
        << real_gnuplot_
        << "' -e \"set terminal svg size 900,600; set output '$ZUNA_TEST_SVG'\" \"$3\" || exit\n"
           "echo 'wgnuplot: window up'\n";
    fs::permissions(bin_ / "gnuplot", fs::perms::owner_all);
  }

  // Runs the plot command on the script with the given terminals installed;
  // answers the SVG's text.
  std::string draw(const std::string& script, const std::string& terminals, int& status,
                   bool& latin1) {
    const fs::path svg = folder_.path() / (script + ".svg");
    fs::remove(svg);
    const std::string out = run_shell(
        "cd '" + folder_.path().string() + "' && env -u ZUNA4_PROGRAM DISPLAY=:99 PATH='" +
            bin_.string() + ":'\"$PATH\" ZUNA_TEST_TERMINALS='" + terminals + "' ZUNA_TEST_SVG='" +
            svg.string() + "' '" + ZUNA_TOOLS_DIR + "/wgnuplot' " + script + " 2>&1 </dev/null",
        status);
    EXPECT_EQ(status, 0) << script << ": " << out;
    const std::string drawn = slurp(svg);
    latin1 = drawn.find("encoding=\"iso-8859-1\"") != std::string::npos;
    return svg_text_utf8(drawn);
  }

  WorkFolder folder_;
  fs::path bin_;
  std::string real_gnuplot_;
};

TEST_F(PlotText, EveryAccentedTextOfEveryScriptIsDrawnOnEachWindowTerminal) {
  const char* scripts[] = {"tad.gnu",  "fmos.gnu", "fmoc.gnu", "fmx.gnu",
                           "fmas.gnu", "fmac.gnu", "mol.gnu"};
  // What gnuplot has, and the terminal the command must pick from it.
  const std::pair<const char*, const char*> installations[] = {
      {"qt wxt x11", "set terminal qt"},
      {"wxt x11", "set terminal wxt"},
      {"x11", "set terminal x11"},
  };
  for (const auto& [terminals, expected] : installations) {
    fs::remove(folder_.path() / "terminals.log");
    for (const char* script : scripts) {
      const std::vector<std::string> texts = accented_texts(slurp(folder_.path() / script));
      ASSERT_FALSE(texts.empty()) << script;
      int status = 0;
      bool latin1 = false;
      const std::string svg = draw(script, terminals, status, latin1);
      // The x11 terminal draws with the X server's core fonts, which are
      // Latin-1: UTF-8 bytes would show as two letters each.
      EXPECT_EQ(latin1, std::string(expected) == "set terminal x11")
          << script << " on " << terminals;
      for (const std::string& text : texts) {
        EXPECT_NE(svg.find(text), std::string::npos)
            << script << " on " << terminals << ": \"" << text << "\" not drawn";
      }
    }
    std::string log = slurp(folder_.path() / "terminals.log");
    std::string wanted;
    for (std::size_t i = 0; i < std::size(scripts); ++i) {
      wanted += std::string(expected) + "\n";
    }
    EXPECT_EQ(log, wanted) << "with " << terminals;
  }
}

// Failures the user of the windowed program must be told about: each names
// what is missing and what to do, through the program's message box.
TEST_F(PlotText, MissingScriptOrPlotProgramIsToldInABox) {
  const fs::path box = folder_.path().parent_path() / "box";
  std::ofstream(box) << "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '"
                     << (folder_.path() / "told").string() << "'\n";
  fs::permissions(box, fs::perms::owner_all);
  fs::remove(folder_.path() / "fmx.gnu");
  int status = 0;
  run_shell("cd '" + folder_.path().string() + "' && DISPLAY=:99 ZUNA4_PROGRAM='" + box.string() +
                "' '" + ZUNA_TOOLS_DIR + "/wgnuplot' fmx.gnu 2>/dev/null </dev/null",
            status);
  EXPECT_NE(status, 0);
  // Without gnuplot on the search path (only the shell's own tools).
  fs::create_directories(folder_.path() / "empty-bin");
  for (const char* tool : {"sh", "dirname", "tail", "tr", "mktemp", "rm", "cat"}) {
    std::string where = run_shell(std::string("command -v ") + tool, status);
    if (!where.empty()) {
      where.pop_back();
      fs::create_symlink(where, folder_.path() / "empty-bin" / tool);
    }
  }
  run_shell("cd '" + folder_.path().string() + "' && DISPLAY=:99 ZUNA4_PROGRAM='" + box.string() +
                "' PATH='" + (folder_.path() / "empty-bin").string() + "' /bin/sh '" +
                ZUNA_TOOLS_DIR + "/wgnuplot' tad.gnu 2>/dev/null </dev/null",
            status);
  const std::string told = slurp(folder_.path() / "told");
  EXPECT_NE(told.find("--message The plot script fmx.gnu cannot be read in " +
                      fs::canonical(folder_.path()).string() + ". Copy it from"),
            std::string::npos)
      << told;
  EXPECT_NE(told.find("--message gnuplot is not installed, so tad.gnu cannot be drawn. Install"),
            std::string::npos)
      << told;
}

}  // namespace
}  // namespace zuna::testing
