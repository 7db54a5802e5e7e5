// The working folder: which one is chosen, how a new one is seeded, that a
// user's file is never replaced, and that a folder that cannot be used
// changes nothing.
#include "platform/working-folder.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/files-and-shell.h"

namespace zuna {
namespace {

namespace fs = std::filesystem;

using testing::slurp;

class WorkingFolderChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() /
            ("zuna-working-folder-" + std::to_string(getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(base_);
    fs::create_directories(base_ / "start");
    old_ = fs::current_path();
    fs::current_path(base_ / "start");
    const char* data_home = std::getenv("XDG_DATA_HOME");
    old_data_home_ = data_home != nullptr ? std::optional<std::string>(data_home) : std::nullopt;
    setenv("XDG_DATA_HOME", (base_ / "data-home").c_str(), 1);
  }
  void TearDown() override {
    fs::current_path(old_);
    if (old_data_home_) {
      setenv("XDG_DATA_HOME", old_data_home_->c_str(), 1);
    } else {
      unsetenv("XDG_DATA_HOME");
    }
    fs::remove_all(base_);
  }

  WorkingFolder entered(const std::optional<std::string>& folder) {
    auto result = enter_working_folder(folder);
    if (const auto* failure = std::get_if<std::string>(&result)) {
      ADD_FAILURE() << *failure;
      return {};
    }
    return std::get<WorkingFolder>(result);
  }
  std::string refused(const std::optional<std::string>& folder) {
    const fs::path before = fs::current_path();
    auto result = enter_working_folder(folder);
    EXPECT_EQ(fs::current_path(), before) << "a refused folder must not be entered";
    if (const auto* failure = std::get_if<std::string>(&result)) {
      return *failure;
    }
    ADD_FAILURE() << "accepted " << std::get<WorkingFolder>(result).path;
    return {};
  }

  fs::path base_;
  fs::path old_;
  std::optional<std::string> old_data_home_;
};

TEST_F(WorkingFolderChoice, CurrentFolderWithADataFileIsUsedAsItIs) {
  std::ofstream(base_ / "start" / "zuna.dat") << "mine";
  const WorkingFolder w = entered(std::nullopt);
  EXPECT_EQ(w.path, (base_ / "start").string());
  EXPECT_FALSE(w.per_user);
  EXPECT_FALSE(w.seeded);
  EXPECT_EQ(slurp("zuna.dat"), "mine");
  EXPECT_FALSE(fs::exists("tad.gnu")) << "a folder of the user's is not given files";
  EXPECT_FALSE(fs::exists(base_ / "data-home"));
}

TEST_F(WorkingFolderChoice, PerUserFolderIsCreatedSeededAndNeverOverwritten) {
  const WorkingFolder first = entered(std::nullopt);
  const fs::path expected = base_ / "data-home" / "zuna4";
  EXPECT_EQ(first.path, expected.string());
  EXPECT_TRUE(first.per_user);
  EXPECT_TRUE(first.seeded);
  EXPECT_EQ(fs::current_path(), expected);
  EXPECT_EQ(slurp("zuna.dat"), slurp(fs::path(ZUNA_DATA_DIR) / "zuna.dat"));
  for (const char* script :
       {"tad.gnu", "fmos.gnu", "fmoc.gnu", "fmx.gnu", "fmas.gnu", "fmac.gnu", "mol.gnu", "isp.gnu"}) {
    EXPECT_TRUE(fs::is_regular_file(script)) << script;
  }
  // The user edits the data file and deletes a script: the next start keeps
  // the edit and puts back only the script.
  std::ofstream("zuna.dat") << "edited";
  fs::remove("mol.gnu");
  fs::current_path(base_ / "start");
  const WorkingFolder second = entered(std::nullopt);
  EXPECT_TRUE(second.seeded);
  EXPECT_EQ(slurp("zuna.dat"), "edited");
  EXPECT_TRUE(fs::is_regular_file("mol.gnu"));
  for (const auto& entry : fs::directory_iterator(expected)) {
    EXPECT_EQ(entry.path().filename().string().rfind(".zuna4-", 0), std::string::npos)
        << "left behind: " << entry.path();
  }
  fs::current_path(base_ / "start");
  EXPECT_FALSE(entered(std::nullopt).seeded);
}

TEST_F(WorkingFolderChoice, ExplicitFolderIsCreatedAndSeeded) {
  const WorkingFolder w = entered("relative/new");
  EXPECT_EQ(w.path, (base_ / "start" / "relative" / "new").string());
  EXPECT_FALSE(w.per_user);
  EXPECT_TRUE(w.seeded);
  EXPECT_TRUE(fs::is_regular_file("zuna.dat"));
}

// Programs started together on one new folder each seed it or find it
// seeded: none fails, every file is whole and no temporary copy stays.
TEST_F(WorkingFolderChoice, ProgramsStartedTogetherSeedOneFolder) {
  constexpr int kPrograms = 20;
  const fs::path folder = base_ / "shared";
  for (int round = 0; round < 3; ++round) {
    fs::remove_all(folder);
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < kPrograms; ++i) {
      const pid_t pid = fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) {
        close(go[1]);
        char byte = 0;
        (void)!read(go[0], &byte, 1);  // all start at once, when the pipe closes
        auto result = enter_working_folder(folder.string());
        if (const auto* failure = std::get_if<std::string>(&result)) {
          std::fprintf(stderr, "%s\n", failure->c_str());
          _exit(1);
        }
        _exit(0);
      }
      children.push_back(pid);
    }
    close(go[0]);
    close(go[1]);
    for (pid_t pid : children) {
      int status = 0;
      ASSERT_EQ(waitpid(pid, &status, 0), pid);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
    }
    EXPECT_EQ(slurp(folder / "zuna.dat"), slurp(fs::path(ZUNA_DATA_DIR) / "zuna.dat"));
    for (const auto& entry : fs::directory_iterator(folder)) {
      EXPECT_EQ(entry.path().filename().string().rfind(".zuna4-", 0), std::string::npos)
          << "left behind: " << entry.path();
      EXPECT_GT(fs::file_size(entry.path()), 0u) << entry.path();
    }
  }
}

TEST_F(WorkingFolderChoice, UnusableFoldersAreRefusedWithAMessageNamingThem) {
  std::ofstream(base_ / "a-file") << "x";
  std::string message = refused((base_ / "a-file" / "sub").string());
  EXPECT_NE(message.find((base_ / "a-file" / "sub").string()), std::string::npos) << message;
  EXPECT_NE(message.find("cannot be created"), std::string::npos) << message;

  message = refused((base_ / "a-file").string());
  EXPECT_NE(message.find("a file of that name is in the way"), std::string::npos) << message;

  // A data file that is a folder: nothing can be read from it or put in
  // its place, in the current folder as in a named one.
  fs::create_directories(base_ / "start" / "zuna.dat");
  message = refused(std::nullopt);
  EXPECT_NE(message.find((base_ / "start" / "zuna.dat").string() + "\" is a folder"),
            std::string::npos)
      << message;
  EXPECT_TRUE(fs::is_empty(base_ / "start" / "zuna.dat"));

  // No home folder at all.
  unsetenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  const std::string saved_home = home != nullptr ? home : "";
  setenv("HOME", (base_ / "a-file").c_str(), 1);
  fs::remove_all(base_ / "start" / "zuna.dat");
  message = refused(std::nullopt);
  EXPECT_NE(message.find((base_ / "a-file" / ".local/share/zuna4").string()), std::string::npos)
      << message;
  setenv("HOME", saved_home.c_str(), 1);
}

}  // namespace
}  // namespace zuna
