// The run driver at the host seam: which windows open when, what they are
// sent, and where the dialogs come, with the real run-time and a recording
// host.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/zuna4.h"
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

  // Everything sent to one window, in order.
  std::string sent_to(int window) const {
    const std::string prefix = "write " + std::to_string(window) + " ";
    std::string s;
    for (const std::string& e : host_.events) {
      if (e.rfind(prefix, 0) == 0) {
        s += e.substr(prefix.size());
      }
    }
    return s;
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

TEST_F(DriverTest, PresentationProgressAndMenuInTheirOrder) {
  host_.input_lines = {"", ""};
  host_.dialog_scripts = {RecordingHost::press_ok, choose(1034)};
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(host_.exit_code, 0);
  // The progress window opens before the parameter dialog and stands empty
  // behind it; the menu comes once it has been closed.
  EXPECT_EQ(steps(), (std::vector<std::string>{
                         "open 1025 APRESENTAÇÃO", "read 1025", "close 1025",
                         "open 1025 EXECUÇÃO DOS CÁLCULOS", "dialog", "read 1025",
                         "close 1025", "dialog", "end 0"}));
  EXPECT_EQ(host_.output(1024), "Stop - Program terminated.\r\n");
}

TEST_F(DriverTest, PresentationRecords) {
  host_.input_lines = {"", ""};
  host_.dialog_scripts = {RecordingHost::press_ok, choose(1034)};
  run();
  const std::string all = sent_to(1025);
  const std::string presentation = all.substr(0, all.find("\r\n", all.find("oxig")) + 2);
  EXPECT_EQ(presentation,
            "\r\n         ZUNA - 5 Set 97\r\n"
            "\r\n   Calcula número de moles, frações molares e"
            "\r\n   mássicas, e temperatura de chama adiabática,"
            "\r\n   com e sem dissociação química,"
            "\r\n   resultantes da reação H2/O2.\r\n"
            "\r\n         Programa de cálculo da combustão hidrogênio/oxigênio\r\n");
}

TEST_F(DriverTest, ProgressLinesAndTheTimeLineLeftOpen) {
  host_.input_lines = {"", ""};
  host_.dialog_scripts = {RecordingHost::press_ok, choose(1034)};
  run();
  const std::string all = sent_to(1025);
  const std::string progress = all.substr(all.find(" Pontos"));
  std::string expected = " Pontos já processados =  1 de  33";
  for (int i = 2; i <= 33; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "\r\n Pontos já processados =%3d de  33", i);
    expected += line;
  }
  expected += "\r\n\r\n\r\n    Tempo de processamento (s) = ";
  ASSERT_GE(progress.size(), expected.size() + 10);
  EXPECT_EQ(progress.substr(0, expected.size()), expected);
  // The time field ends what is sent: the wait for Enter is on that line.
  EXPECT_EQ(progress.size(), expected.size() + 10);
}

TEST_F(DriverTest, NewCalculationOpensItsWindowAndAsksAgain) {
  host_.input_lines = {"", "", ""};
  host_.dialog_scripts = {RecordingHost::press_ok, choose(1033), RecordingHost::press_ok,
                          choose(1034)};
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(steps(), (std::vector<std::string>{
                         "open 1025 APRESENTAÇÃO", "read 1025", "close 1025",
                         "open 1025 EXECUÇÃO DOS CÁLCULOS", "dialog", "read 1025",
                         "close 1025", "dialog",
                         "open 1025 EXECUÇÃO DOS CÁLCULOS", "dialog", "read 1025",
                         "close 1025", "dialog", "end 0"}));
}

}  // namespace
}  // namespace zuna
