// The run driver at the host seam: which windows open when, what they are
// sent, and where the dialogs come, with the real run-time and a recording
// host.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/zuna4.h"
#include "dialogs/dialog-host.h"
#include "fio/fio.h"
#include "tests/support/recording-host.h"

namespace zuna {
namespace {

namespace fs = std::filesystem;
using testing::MemoryDialogWindow;
using testing::RecordingHost;

// The driver works in the current folder: a fresh one holding the data file.
class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zuna-driver-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::copy_file(fs::path(ZUNA_DATA_DIR) / "zuna.dat", dir_ / "zuna.dat");
    old_ = fs::current_path();
    fs::current_path(dir_);
    runtime_start(host_);
    dialogs_start(host_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }

  // Runs the program to its end; answers the exit code.
  int run() {
    try {
      zuna4_main();
    } catch (const ProgramExit& e) {
      return e.exit_code;
    }
    return -1;
  }

  // A menu choice, as the user makes it: the radio button, then OK.
  static testing::DialogScript choose(int id) {
    return [id](MemoryDialogWindow& w, DialogController& c) {
      for (int other : {1013, 1014, 1015, 1016, 1030, 1031, 1032, 1033, 1034, 1041}) {
        w.set_check(other, other == id);
      }
      c.dialog_command(id, kBnClicked);
      c.dialog_command(1, kBnClicked);
    };
  }

  // The events other than writes, for the order of things.
  std::vector<std::string> steps() const {
    std::vector<std::string> s;
    for (const std::string& e : host_.events) {
      if (e.rfind("write ", 0) != 0) {
        s.push_back(e);
      }
    }
    return s;
  }

  RecordingHost host_;
  fs::path dir_, old_;
};

// Keeps, with every status message, what the external commands have logged
// by then: a message shown while a command runs comes before its line.
class CommandLogHost : public RecordingHost {
 public:
  void set_status_message(std::string_view text) override {
    RecordingHost::set_status_message(text);
    std::ifstream log("commands.log");
    std::stringstream logged;
    logged << log.rdbuf();
    seen.push_back(std::string(text) + " | " + logged.str());
  }
  std::vector<std::string> seen;
};

TEST_F(DriverTest, PresentationProgressAndMenuInTheirOrder) {
  host_.input_lines = {"", ""};
  host_.dialog_scripts = {RecordingHost::press_ok, choose(1034)};
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(host_.exit_code, 0);
  // The progress window opens before the parameter dialog and stands empty
  // behind it; the menu comes once it has been closed.
  EXPECT_EQ(steps(), (std::vector<std::string>{"open 1025 APRESENTAÇÃO", "read 1025", "close 1025",
                                               "open 1025 EXECUÇÃO DOS CÁLCULOS", "dialog",
                                               "read 1025", "close 1025", "dialog", "end 0"}));
  EXPECT_EQ(host_.output(1024), "Stop - Program terminated.\r\n");
}

TEST_F(DriverTest, NewCalculationOpensItsWindowAndAsksAgain) {
  host_.input_lines = {"", "", ""};
  host_.dialog_scripts = {RecordingHost::press_ok, choose(1033), RecordingHost::press_ok,
                          choose(1034)};
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(steps(),
            (std::vector<std::string>{"open 1025 APRESENTAÇÃO", "read 1025", "close 1025",
                                      "open 1025 EXECUÇÃO DOS CÁLCULOS", "dialog", "read 1025",
                                      "close 1025", "dialog", "open 1025 EXECUÇÃO DOS CÁLCULOS",
                                      "dialog", "read 1025", "close 1025", "dialog", "end 0"}));
}

TEST_F(DriverTest, StatusBarNamesTheCommandThatIsWaitedFor) {
  // Commands of the same names that only log themselves.
  fs::create_directories(dir_ / "bin");
  for (const char* name : {"wgnuplot", "notepad"}) {
    std::ofstream(dir_ / "bin" / name)
        << "#!/bin/sh\necho \"$(basename \"$0\") $*\" >> commands.log\n";
    fs::permissions(dir_ / "bin" / name, fs::perms::owner_all);
  }
  const std::string path = std::getenv("PATH");
  setenv("PATH", ((dir_ / "bin").string() + ":" + path).c_str(), 1);
  CommandLogHost host;
  runtime_start(host);
  dialogs_start(host);
  host.input_lines = {"", ""};
  host.dialog_scripts = {RecordingHost::press_ok, choose(1013), choose(1041), choose(1034)};
  EXPECT_EQ(run(), 0);
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(host.seen,
            (std::vector<std::string>{"Waiting for: wgnuplot tad.gnu | ", " | wgnuplot tad.gnu\n",
                                      "Waiting for: notepad saida | wgnuplot tad.gnu\n",
                                      " | wgnuplot tad.gnu\nnotepad saida\n"}));
}

}  // namespace
}  // namespace zuna
