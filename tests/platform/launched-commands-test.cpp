// The windowed program's commands beside it: each runs in a process group
// of its own, which the launcher keeps while a process of it is left and
// ends with the program; a process that leaves the group is the user's.
// With the helper commands: a plot and the program's own listing viewer
// stay on screen after their command has ended (the command ends once the
// window is up), a plot draws a private copy of its files, a failure is
// still told, and a desktop editor outlives the program.
//
// A test program of its own: the launcher's groups, once turned on, stay on
// for the process, which also adopts the commands' orphans.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/run-command.h"
#include "tests/support/files-and-shell.h"

namespace zuna {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::slurp;

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// The fields of /proc/PID/stat after the command's name: the state first,
// then the parent's id; empty when the process is gone.
std::string process_status(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  const std::size_t end = line.rfind(')');
  return end == std::string::npos || line.size() < end + 2 ? std::string() : line.substr(end + 2);
}

// A process that has ended is gone, or a zombie of ours until reaped.
bool running(pid_t pid) {
  if (pid <= 0 || kill(pid, 0) != 0) {
    return false;
  }
  const std::string status = process_status(pid);
  return status.empty() || status[0] != 'Z';
}

pid_t parent_of(pid_t pid) { return std::atoi(process_status(pid).c_str() + 2); }

pid_t pid_in(const fs::path& file) {
  pid_t pid = 0;
  eventually([&] { return (pid = std::atoi(slurp(file).c_str())) > 0; });
  return pid;
}

bool run(const std::string& line) {
  return run_command(line.c_str(), static_cast<int>(line.size()));
}

class LaunchedCommands : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { launch_commands_in_groups(); }

  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("zuna-launched-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "bin");
    fs::create_directories(dir_ / "tmp");
    fs::create_directories(dir_ / "work");
    old_ = fs::current_path();
    fs::current_path(dir_ / "work");
    for (const char* name : {"PATH", "DISPLAY", "TMPDIR", "VISUAL", "ZUNA4_PROGRAM"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }
    // The helper commands and the fakes first; the system's tools after.
    setenv("PATH", ((dir_ / "bin").string() + ":" + ZUNA_TOOLS_DIR + ":/usr/bin:/bin").c_str(), 1);
    setenv("TMPDIR", (dir_ / "tmp").c_str(), 1);
    setenv("DISPLAY", ":fake", 1);
    setenv("VISUAL", "", 1);
    unsetenv("ZUNA4_PROGRAM");
  }

  void TearDown() override {
    end_launched_commands();
    for (pid_t pid : left_) {
      kill(pid, SIGKILL);
    }
    eventually([] { return launched_command_groups().empty(); });
    for (const auto& [name, value] : saved_) {
      value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    fs::current_path(old_);
    fs::remove_all(dir_);
  }

  void tool(const std::string& name, const std::string& body) {
    const fs::path file = dir_ / "bin" / name;
    std::ofstream(file) << "#!/bin/sh\n" << body;
    fs::permissions(file, fs::perms::owner_all);
  }

  // A gnuplot that knows the terminal wxt, draws in the "window" a process
  // that stays (its pid in plots/) and tells it as gnuplot does.
  void fake_gnuplot() {
    fs::create_directories(dir_ / "plots");
    tool("gnuplot",
         "for a; do last=$a; done\n"
         "if [ \"$last\" = exit ]; then case \"$*\" in *wxt*) exit 0 ;; *) exit 1 ;; esac; fi\n"
         "if [ -f '" + (dir_ / "fail").string() + "' ]; then\n"
         "  echo 'line 1: no data in plot' >&2; exit 1\n"
         "fi\n"
         "sleep 300 &\n"
         "echo $! > '" + (dir_ / "plots").string() + "/'$$\n"
         "echo \"$(pwd)\" > '" + (dir_ / "plots").string() + "/'$$.folder\n"
         "echo 'wgnuplot: drawn'\n"
         "wait\n");
  }

  std::vector<fs::path> plots() const {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(dir_ / "plots")) {
      if (entry.path().extension().empty()) {
        found.push_back(entry.path());
      }
    }
    return found;
  }

  std::size_t temporary_files() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir_ / "tmp"), fs::directory_iterator()));
  }

  fs::path dir_;
  fs::path old_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  std::vector<pid_t> left_;  // killed at the end, whatever happened
};

TEST_F(LaunchedCommands, AGroupOfItsOwnEndsWithTheProgramAndALeaverStays) {
  ASSERT_TRUE(run("sleep 300 & echo $! > left"));
  ASSERT_TRUE(run("setsid sleep 300 & echo $! > user"));
  const pid_t left = pid_in("left"), user = pid_in("user");
  left_ = {left, user};
  ASSERT_TRUE(running(left));
  ASSERT_TRUE(running(user));

  // The command's process outlives its shell, in the group the launcher
  // keeps, and is adopted by this process.
  std::vector<int> groups;
  EXPECT_TRUE(eventually([&] { return (groups = launched_command_groups()).size() == 1; }))
      << "the leaver's command has no process left in its group";
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(getpgid(left), groups[0]);
  EXPECT_NE(groups[0], getpgrp());
  EXPECT_EQ(parent_of(left), getpid());
  EXPECT_NE(getpgid(user), groups[0]);

  EXPECT_EQ(end_launched_commands(), 1);
  EXPECT_TRUE(eventually([&] { return !running(left); }));
  EXPECT_TRUE(eventually([] { return launched_command_groups().empty(); }));
  std::this_thread::sleep_for(200ms);
  EXPECT_TRUE(running(user)) << "the process that left the group is not the program's";
}

TEST_F(LaunchedCommands, AnEndedGroupIsForgottenAndNeverSignalled) {
  ASSERT_TRUE(run("true"));
  ASSERT_TRUE(run("(sleep 0.2; echo done > ended) &"));
  EXPECT_LE(launched_command_groups().size(), 1u);
  ASSERT_TRUE(eventually([] { return fs::exists("ended"); }));
  // The adopted orphans are reaped: no zombie is left behind.
  EXPECT_TRUE(eventually([] { return launched_command_groups().empty(); }));
  siginfo_t info{};
  const int peeked = waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT);
  EXPECT_TRUE(peeked == -1 || info.si_pid == 0) << "zombie " << info.si_pid;
  EXPECT_EQ(end_launched_commands(), 0);
}

TEST_F(LaunchedCommands, PlotsLiveOnTheirOwnOnPrivateCopiesAndEndWithTheProgram) {
  fake_gnuplot();
  fs::copy_file(ZUNA_DATA_DIR "/tad.gnu", "tad.gnu");
  std::ofstream("tad.dat") << "1 2 3\n";

  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(run("wgnuplot tad.gnu"));
  EXPECT_LT(std::chrono::steady_clock::now() - started, 20s);
  ASSERT_EQ(plots().size(), 1u) << "the command ended before its window was up";
  const pid_t first = pid_in(plots()[0]);
  left_.push_back(first);
  EXPECT_TRUE(running(first)) << "the plot ended with its command";

  // It draws a copy of the script and of its data, elsewhere: a new
  // calculation rewrites the data file, not the copy.
  std::string folder = slurp(plots()[0].string() + ".folder");
  folder.erase(folder.find_last_not_of('\n') + 1);
  EXPECT_NE(fs::path(folder), fs::current_path());
  EXPECT_EQ(slurp(fs::path(folder) / "tad.gnu"), slurp("tad.gnu"));
  std::ofstream("tad.dat") << "4 5 6\n";
  EXPECT_EQ(slurp(fs::path(folder) / "tad.dat"), "1 2 3\n");

  // A second plot while the first is open.
  ASSERT_TRUE(run("wgnuplot tad.gnu"));
  ASSERT_EQ(plots().size(), 2u);
  pid_t second = 0;
  for (const fs::path& plot : plots()) {
    if (pid_in(plot) != first) {
      second = pid_in(plot);
    }
  }
  left_.push_back(second);
  EXPECT_TRUE(running(first));
  EXPECT_TRUE(running(second));
  EXPECT_EQ(launched_command_groups().size(), 2u);

  EXPECT_EQ(end_launched_commands(), 2);
  EXPECT_TRUE(eventually([&] { return !running(first) && !running(second); }));
  EXPECT_TRUE(eventually([&] { return temporary_files() == 0; })) << "a private copy was left";
}

TEST_F(LaunchedCommands, APlotThatCannotBeDrawnIsToldAndLeavesNothing) {
  fake_gnuplot();
  std::ofstream("tad.gnu") << "plot \"tad.dat\" using 1:2\n";
  std::ofstream("tad.dat") << "1 2\n";
  std::ofstream(dir_ / "fail");
  int status = 0;
  const std::string said = testing::run_shell("wgnuplot tad.gnu 2>&1", status);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << said;
  EXPECT_NE(said.find("no data in plot"), std::string::npos) << said;
  EXPECT_TRUE(eventually([&] { return temporary_files() == 0; }));
}

TEST_F(LaunchedCommands, TheProgramsListingViewerEndsWithItAndADesktopEditorStays) {
  std::ofstream("saida") << "Relat\xF3rio\r\n";
  // The program's own viewer: tells that it is shown, then stays.
  tool("zuna4-fake",
       "[ \"$1 $3\" = '--listing --tell-shown' ] || exit 2\n"
       "sleep 300 &\n"
       "echo $! > viewer\n"
       "echo shown\n"
       "exec >/dev/null\n"
       "wait\n");
  setenv("ZUNA4_PROGRAM", (dir_ / "bin" / "zuna4-fake").c_str(), 1);
  ASSERT_TRUE(run("notepad saida"));
  const pid_t viewer = pid_in("viewer");
  left_.push_back(viewer);
  EXPECT_TRUE(running(viewer)) << "the viewer ended with its command";
  ASSERT_EQ(launched_command_groups().size(), 1u);
  EXPECT_EQ(getpgid(viewer), launched_command_groups()[0]);

  // The desktop's editor gets a UTF-8 copy in a session of its own.
  tool("editor", "cp \"$1\" seen\nsleep 300 &\necho $! > editor\nwait\n");
  setenv("VISUAL", "editor", 1);
  ASSERT_TRUE(run("notepad saida"));
  const pid_t editor = pid_in("editor");
  left_.push_back(editor);
  ASSERT_TRUE(running(editor));
  EXPECT_EQ(slurp("seen"), "Relat\xC3\xB3rio\n");
  EXPECT_NE(getpgid(editor), launched_command_groups()[0]);

  EXPECT_EQ(end_launched_commands(), 1);
  EXPECT_TRUE(eventually([&] { return !running(viewer); }));
  std::this_thread::sleep_for(200ms);
  EXPECT_TRUE(running(editor)) << "the user's editor was closed with the program";
  // The editor's copy goes when the editor ends.
  EXPECT_EQ(temporary_files(), 1u);
  kill(editor, SIGTERM);
  EXPECT_TRUE(eventually([&] { return temporary_files() == 0; }));
}

}  // namespace
}  // namespace zuna
