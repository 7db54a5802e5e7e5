// What stands under an output file's name, and beside it, while a unit is
// open and after it ends: a new file's name appears only with its finished
// contents; a killed run takes back only its own staging files, and the
// ones a run killed outright left behind go at the next open of that name;
// a symbolic link is followed only to a regular file; the files of a group
// are put in place together or not at all.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "fio/fio.h"
#include "fio/io-error.h"
#include "tests/support/exit-code.h"
#include "tests/support/file-units.h"
#include "tests/support/recording-host.h"
#include "tests/support/temp-dir.h"

namespace zuna {
namespace {

namespace fs = std::filesystem;
using testing::exit_code_of;
using testing::file_options;
using testing::RecordingHost;
using testing::TempDir;
using testing::write_record;

class OutputNames : public ::testing::Test {
 protected:
  void SetUp() override { runtime_start(host); }

  std::set<std::string> names(const fs::path& folder = {}) const {
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder.empty() ? dir.path() : folder)) {
      found.insert(entry.path().filename().string());
    }
    return found;
  }
  // The staging files (".NAME.xxxxxx") in the folder.
  int staging_files(const fs::path& folder = {}) const {
    int n = 0;
    for (const std::string& name : names(folder)) {
      n += name.size() > 7 && name[0] == '.' && name[name.size() - 7] == '.' ? 1 : 0;
    }
    return n;
  }

  TempDir dir;
  RecordingHost host;
};

// A new file is its staging file until the close: a run killed at any point
// before (even by SIGKILL, which no handler sees) leaves no empty file
// under the name. The name appears at the close with the permissions a
// file created by name has.
TEST_F(OutputNames, NewFileAppearsOnlyWhenItsCloseRenamesIt) {
  ASSERT_EQ(open_unit(9, file_options("tad.dat")), 0);
  write_record(9, "new");
  EXPECT_FALSE(dir.exists("tad.dat"));
  EXPECT_EQ(staging_files(), 1);
  ASSERT_EQ(close_unit(9), 0);
  EXPECT_EQ(dir.read("tad.dat"), "new\r\n");
  EXPECT_EQ(names(), std::set<std::string>{"tad.dat"});

  const int fd = ::open("by-name", O_CREAT | O_WRONLY | O_CLOEXEC, 0666);
  ASSERT_GE(fd, 0);
  ::close(fd);
  struct stat made {};
  struct stat by_name {};
  ASSERT_EQ(::stat("tad.dat", &made), 0);
  ASSERT_EQ(::stat("by-name", &by_name), 0);
  EXPECT_EQ(made.st_mode & 07777, by_name.st_mode & 07777);

  // Opened and closed without a write: an empty file, as before.
  ASSERT_EQ(open_unit(10, file_options("empty.dat")), 0);
  EXPECT_FALSE(dir.exists("empty.dat"));
  ASSERT_EQ(close_unit(10), 0);
  EXPECT_TRUE(dir.exists("empty.dat"));
}

// A terminating signal removes this process's staging files and nothing
// else: a run that finished in the same folder meanwhile keeps its report,
// although this run was writing a report of that name too.
TEST_F(OutputNames, SignalRemovesOnlyThisRunsOwnFiles) {
  dir.write("tad.dat", "earlier\r\n");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    close(ready[0]);
    runtime_start(host);
    bool opened = open_unit(8, file_options("saida")) == 0 &&
                  open_unit(9, file_options("tad.dat")) == 0;
    write_record(8, "this run");
    write_record(9, "this run");
    (void)!::write(ready[1], opened ? "y" : "n", 1);
    for (;;) {
      pause();
    }
  }
  close(ready[1]);
  char answer = 0;
  ASSERT_EQ(::read(ready[0], &answer, 1), 1);
  close(ready[0]);
  EXPECT_EQ(answer, 'y');
  EXPECT_EQ(staging_files(), 2);

  // Another run puts its finished report in place.
  dir.write("other", "the other run\r\n");
  fs::rename(dir.path() / "other", dir.path() / "saida");

  kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(dir.read("saida"), "the other run\r\n");
  EXPECT_EQ(dir.read("tad.dat"), "earlier\r\n");
  EXPECT_EQ(names(), (std::set<std::string>{"saida", "tad.dat"}));
}

// Staging files of a run killed outright stay; the next open of that name
// removes those nobody holds locked, and only names of exactly that form.
TEST_F(OutputNames, LeftoversOfAKilledRunGoAtTheNextOpenOfTheirName) {
  dir.write("saida", "earlier\r\n");
  for (const char* name : {".saida.AbC123", ".saida.zz0000", ".saida.live00", ".saida.bak",
                           ".saida.abc1234", ".tad.dat.abc123", "saida.abc123"}) {
    dir.write(name, "x");
  }
  // A live run's staging file: locked by its writer (this test holds the
  // lock on a description of its own).
  const int live = ::open(".saida.live00", O_RDWR | O_CLOEXEC);
  ASSERT_GE(live, 0);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  ASSERT_EQ(fcntl(live, F_OFD_SETLK, &lock), 0);

  ASSERT_EQ(open_unit(8, file_options("saida")), 0);
  write_record(8, "new");
  ASSERT_EQ(close_unit(8), 0);
  ::close(live);
  EXPECT_EQ(dir.read("saida"), "new\r\n");
  EXPECT_EQ(names(), (std::set<std::string>{"saida", ".saida.live00", ".saida.bak",
                                            ".saida.abc1234", ".tad.dat.abc123", "saida.abc123"}));
}

// The sweep is made once per folder, not once per name: the same relative
// name opened in another working folder has the leftovers there removed too.
TEST_F(OutputNames, LeftoversGoInEachFolderTheNameIsOpenedIn) {
  for (int i = 0; i < 2; ++i) {
    TempDir other;  // the working folder while it lives
    other.write(".fmoc.dat.Zq0001", "x");
    ASSERT_EQ(open_unit(8, file_options("fmoc.dat")), 0);
    write_record(8, "new");
    ASSERT_EQ(close_unit(8), 0);
    EXPECT_EQ(names(other.path()), std::set<std::string>{"fmoc.dat"}) << "folder " << i;
  }
}

// A symbolic link to a regular file has its target replaced, staged beside
// the target, and stays a link; a link to a device is written through; a
// link that leads nowhere or to a folder is refused at the open, naming
// the file, and is left as it was with nothing made at its target.
TEST_F(OutputNames, SymbolicLinksAreFollowedOnlyToARegularFile) {
  fs::create_directory(dir.path() / "kept");
  dir.write("kept/report", "old\r\n");
  fs::create_symlink("kept/report", dir.path() / "saida");
  ASSERT_EQ(open_unit(8, file_options("saida")), 0);
  write_record(8, "new");
  EXPECT_EQ(staging_files(dir.path() / "kept"), 1) << "staged beside the target";
  ASSERT_EQ(close_unit(8), 0);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "saida"));
  EXPECT_EQ(dir.read("kept/report"), "new\r\n");
  EXPECT_EQ(names(dir.path() / "kept"), std::set<std::string>{"report"});

  fs::create_symlink("/dev/null", dir.path() / "null.dat");
  ASSERT_EQ(open_unit(9, file_options("null.dat")), 0);
  write_record(9, "gone");
  ASSERT_EQ(close_unit(9), 0);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "null.dat"));

  fs::create_symlink("missing/tad.dat", dir.path() / "tad.dat");
  fs::create_symlink("kept", dir.path() / "fmx.dat");
  for (const char* name : {"tad.dat", "fmx.dat"}) {
    SCOPED_TRACE(name);
    OpenOptions o = file_options(name);
    o.error_return = true;
    EXPECT_EQ(open_unit(10, o), error_number(IoError::link_to_no_regular_file));
    EXPECT_TRUE(fs::is_symlink(dir.path() / name));
  }
  EXPECT_FALSE(fs::exists(dir.path() / "missing"));
  EXPECT_EQ(names(), (std::set<std::string>{"kept", "saida", "null.dat", "tad.dat", "fmx.dat"}));

  // Without a status request the refusal is the run-time error of the open.
  EXPECT_EQ(exit_code_of([] { open_unit(10, file_options("tad.dat")); }), 1);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].box_text(),
            "F6435: OPEN(tad.dat) - file is a symbolic link that leads to no file that can be "
            "replaced");
  EXPECT_TRUE(fs::is_symlink(dir.path() / "tad.dat"));
}

// A group's files are put in place by its commit, together, and never
// before; a failure, the death of the program, or its end with an exit
// code other than 0 drops them all.
TEST_F(OutputNames, GroupPutsItsFilesInPlaceTogetherOrNotAtAll) {
  auto write_both = [](const char* text) {
    begin_file_group();
    ASSERT_EQ(open_unit(8, file_options("saida")), 0);
    ASSERT_EQ(open_unit(9, file_options("fmas.dat")), 0);
    write_record(9, text);
    ASSERT_EQ(close_unit(9), 0);
    write_record(8, text);
    ASSERT_EQ(close_unit(8), 0);
  };
  dir.write("saida", "earlier\r\n");
  write_both("first");
  EXPECT_EQ(dir.read("saida"), "earlier\r\n");
  EXPECT_FALSE(dir.exists("fmas.dat"));
  EXPECT_EQ(staging_files(), 2);
  ASSERT_EQ(commit_file_group(), 0);
  EXPECT_EQ(dir.read("saida"), "first\r\n");
  EXPECT_EQ(dir.read("fmas.dat"), "first\r\n");
  EXPECT_EQ(staging_files(), 0);

  write_both("second");
  discard_file_group();
  EXPECT_EQ(dir.read("saida"), "first\r\n");
  EXPECT_EQ(dir.read("fmas.dat"), "first\r\n");
  EXPECT_EQ(staging_files(), 0);

  // The program ends: with exit code 1 the group goes, with 0 it stands.
  write_both("third");
  EXPECT_EQ(exit_code_of([] { end_program(1); }), 1);
  EXPECT_EQ(dir.read("saida"), "first\r\n");
  EXPECT_EQ(staging_files(), 0);
  runtime_start(host);
  write_both("fourth");
  EXPECT_EQ(exit_code_of([] { abort_program(1); }), 1);
  EXPECT_EQ(dir.read("fmas.dat"), "first\r\n");
  EXPECT_EQ(staging_files(), 0);
  runtime_start(host);
  write_both("fifth");
  EXPECT_EQ(exit_code_of([] { end_program(0); }), 0);
  EXPECT_EQ(dir.read("saida"), "fifth\r\n");
  EXPECT_EQ(dir.read("fmas.dat"), "fifth\r\n");
  EXPECT_EQ(names(), (std::set<std::string>{"saida", "fmas.dat"}));
}

// A file of the group that fails to be written fails its close, and the
// whole group is dropped: the other file keeps its earlier contents too.
TEST_F(OutputNames, FailedFileOfAGroupKeepsEveryEarlierFile) {
  if (access("/dev/full", W_OK) != 0) {
    GTEST_SKIP() << "no /dev/full";
  }
  dir.write("saida", "earlier\r\n");
  fs::create_symlink("/dev/full", dir.path() / "fmas.dat");
  begin_file_group();
  ASSERT_EQ(open_unit(8, file_options("saida")), 0);
  write_record(8, "new");
  ASSERT_EQ(close_unit(8), 0);
  ASSERT_EQ(open_unit(9, file_options("fmas.dat")), 0);
  EXPECT_EQ(exit_code_of([] {
              write_record(9, "new");
              close_unit(9);
            }),
            1);
  EXPECT_EQ(dir.read("saida"), "earlier\r\n");
  EXPECT_EQ(staging_files(), 0);
}

}  // namespace
}  // namespace zuna
