// The command launcher: trimmed command lines, waiting for the shell, the
// result, and a scripted session's input kept from the child.
#include "platform/run-command.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/files-and-shell.h"

namespace zuna {
namespace {

namespace fs = std::filesystem;

using testing::slurp;

class RunCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("zuna-run-command-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    old_ = fs::current_path();
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  // A command that records its arguments, found on PATH like the plot program.
  void install_recorder(const std::string& name) {
    fs::create_directories(dir_ / "bin");
    const fs::path tool = dir_ / "bin" / name;
    std::ofstream(tool) << "#!/bin/sh\nprintf '%s|' \"$0\" \"$@\" > \"" << (dir_ / "args").string()
                        << "\"\n";
    fs::permissions(tool, fs::perms::owner_all);
    setenv("PATH", ((dir_ / "bin").string() + ":" + getenv("PATH")).c_str(), 1);
  }
  fs::path dir_;
  fs::path old_;
};

TEST_F(RunCommand, BlankPaddedCommandRunsTheTrimmedLine) {
  install_recorder("wgnuplot");
  // A blank-padded field of 24 characters; what stands beyond the declared
  // length is not part of the command.
  const char field[] = "wgnuplot tad.gnu        ; echo beyond > beyond";
  ASSERT_TRUE(run_command(field, 24));
  EXPECT_EQ(slurp("args"), (dir_ / "bin" / "wgnuplot").string() + "|tad.gnu|");
  EXPECT_FALSE(fs::exists("beyond"));
}

TEST_F(RunCommand, ReturnsOnlyAfterTheShellHasEnded) {
  const std::string line = "sleep 0.3; printf done > finished";
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(run_command(line.c_str(), static_cast<int>(line.size())));
  const double waited =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(waited, 0.29);
  EXPECT_EQ(slurp("finished"), "done");
}

TEST_F(RunCommand, TrueWhenTheShellFindsNoSuchCommand) {
  const std::string line = "zuna-no-such-command-anywhere 2>/dev/null";
  EXPECT_TRUE(run_command(line.c_str(), static_cast<int>(line.size())));
}

TEST_F(RunCommand, TrueWhateverTheCommandsExitStatus) {
  const std::string line = "exit 7";
  EXPECT_TRUE(run_command(line.c_str(), static_cast<int>(line.size())));
}

// A signal that interrupts the wait does not end it: the launcher waits on.
TEST_F(RunCommand, KeepsWaitingWhenASignalInterruptsTheWait) {
  struct sigaction action {};
  action.sa_handler = [](int) {};
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: waitpid fails with EINTR
  struct sigaction old {};
  sigaction(SIGALRM, &action, &old);
  itimerval timer{};
  timer.it_value.tv_usec = 50000;
  timer.it_interval.tv_usec = 50000;
  setitimer(ITIMER_REAL, &timer, nullptr);

  const std::string line = "sleep 0.4; printf done > finished";
  const bool started = run_command(line.c_str(), static_cast<int>(line.size()));

  timer = itimerval{};
  setitimer(ITIMER_REAL, &timer, nullptr);
  sigaction(SIGALRM, &old, nullptr);
  ASSERT_TRUE(started);
  EXPECT_EQ(slurp("finished"), "done");
}

// With a script on standard input, the child reads /dev/null and the
// script's next line is still there for the program.
TEST_F(RunCommand, ChildDoesNotEatAScriptedInput) {
  EXPECT_EXIT(
      {
        int fds[2];
        if (pipe(fds) != 0) {
          std::exit(3);
        }
        if (write(fds[1], "1034\n", 5) != 5) {
          std::exit(3);
        }
        close(fds[1]);
        dup2(fds[0], STDIN_FILENO);
        close(fds[0]);
        const std::string line = "cat > eaten";
        if (!run_command(line.c_str(), static_cast<int>(line.size()))) {
          std::exit(4);
        }
        char buffer[16] = {};
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        std::exit(slurp("eaten").empty() && n == 5 && std::string(buffer, 5) == "1034\n" ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace zuna
