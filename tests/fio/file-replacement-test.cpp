// An output file is replaced whole at its unit's close, or not at all: a
// program that dies with the unit open leaves the earlier file as it was,
// and the replacement is the same file to everyone but in contents.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "fio/file-stream.h"
#include "fio/fio.h"
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

class FileReplacement : public ::testing::Test {
 protected:
  void SetUp() override { runtime_start(host); }

  std::set<std::string> names() const {
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      found.insert(entry.path().filename().string());
    }
    return found;
  }

  TempDir dir;
  RecordingHost host;
};

// The end of input, a run-time error, a terminated file selection: whatever
// the open units wrote is dropped. The earlier report stays whole, the file
// that only this run would have made never appears, the scratch file goes.
TEST_F(FileReplacement, ProgramThatDiesKeepsTheEarlierFiles) {
  const std::string old = "an earlier report\r\n" + std::string(20000, 'r') + "\r\n";
  dir.write("saida", old);
  ASSERT_EQ(open_unit(8, file_options("saida")), 0);
  ASSERT_EQ(open_unit(9, file_options("tad.dat")), 0);
  for (int i = 0; i < 2000; ++i) {
    write_record(8, "a record of the new report, beyond the write buffer");
  }
  write_record(9, "new");
  std::string old_tmpdir = getenv("TMPDIR") != nullptr ? getenv("TMPDIR") : "";
  setenv("TMPDIR", dir.path().c_str(), 1);
  OpenOptions scratch;
  scratch.status = "SCRATCH";
  ASSERT_EQ(open_unit(7, scratch), 0);
  write_record(7, "temporary");
  EXPECT_EQ(names().size(), 4u) << "saida, a staging file for it and for the new tad.dat, the "
                                    "scratch file";

  EXPECT_EQ(exit_code_of([] { abort_program(1); }), 1);
  EXPECT_EQ(host.exit_code, 1);
  EXPECT_TRUE(dir.read("saida") == old);
  EXPECT_EQ(names(), std::set<std::string>{"saida"});
  old_tmpdir.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", old_tmpdir.c_str(), 1);
}

// A run-time error is such an end too: a report cut by a failing statement
// does not replace a whole one.
TEST_F(FileReplacement, RunTimeErrorKeepsTheEarlierFile) {
  dir.write("saida", "whole\r\n");
  ASSERT_EQ(open_unit(8, file_options("saida")), 0);
  write_record(8, "part");
  EXPECT_EQ(exit_code_of([] {
              begin_write(8, "(I5)", -1);
              put_chars("x", 1);
              end_write();
            }),
            1);
  EXPECT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(dir.read("saida"), "whole\r\n");
  EXPECT_EQ(names(), std::set<std::string>{"saida"});
}

TEST_F(FileReplacement, ReplacementKeepsPermissionsAndSymbolicLinks) {
  dir.write("report", "old\r\n");
  fs::permissions(dir.path() / "report",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("report", dir.path() / "saida");
  ASSERT_EQ(open_unit(8, file_options("saida")), 0);
  write_record(8, "new");
  ASSERT_EQ(close_unit(8), 0);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "saida"));
  EXPECT_EQ(dir.read("report"), "new\r\n");
  struct stat info {};
  ASSERT_EQ(stat((dir.path() / "report").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(names(), (std::set<std::string>{"report", "saida"}));
}

// REPLACE: the old file stands until the close puts the new one, even an
// empty one, in its place; reads in between see the new file.
TEST_F(FileReplacement, StatusReplaceTakesEffectAtTheClose) {
  dir.write("data", "1.5\r\n");
  OpenOptions o = file_options("data");
  o.status = "REPLACE";
  ASSERT_EQ(open_unit(20, o), 0);
  double v = 7;
  ASSERT_EQ(begin_read(20, nullptr, 0, true), 0);
  EXPECT_EQ(get_real64(&v), -1) << "the new file is empty";
  end_read();
  EXPECT_EQ(dir.read("data"), "1.5\r\n");
  write_record(20, "2.5");
  EXPECT_EQ(dir.read("data"), "1.5\r\n");
  ASSERT_EQ(close_unit(20), 0);
  EXPECT_EQ(dir.read("data"), "2.5\r\n");
}

// POSITION='APPEND' copies the earlier records into the staging file at the
// first write, also for a unit that may only write (ACTION='WRITE'), whose
// own descriptor cannot read them.
TEST_F(FileReplacement, AppendKeepsTheEarlierRecordsWhateverTheAction) {
  for (const char* action : {"READWRITE", "WRITE"}) {
    SCOPED_TRACE(action);
    dir.write("log", "first\r\n");
    OpenOptions o = file_options("log");
    o.position = "APPEND";
    o.action = action;
    ASSERT_EQ(open_unit(30, o), 0);
    write_record(30, "second");
    ASSERT_EQ(close_unit(30), 0);
    EXPECT_EQ(dir.read("log"), "first\r\nsecond\r\n");
    EXPECT_EQ(names(), std::set<std::string>{"log"});
  }
}

// A unit that only reads changes nothing, and leaves nothing beside it.
TEST_F(FileReplacement, UnitThatOnlyReadsLeavesTheFileAsItWas) {
  dir.write("zuna.dat", "1.0 2.0\r\n");
  ASSERT_EQ(open_unit(20, file_options("zuna.dat")), 0);
  double a = 0;
  begin_read(20, nullptr, 0, false);
  get_real64(&a);
  end_read();
  ASSERT_EQ(close_unit(20), 0);
  EXPECT_EQ(a, 1.0);
  EXPECT_EQ(dir.read("zuna.dat"), "1.0 2.0\r\n");
  EXPECT_EQ(names(), std::set<std::string>{"zuna.dat"});
}

// Descriptors of this process on files that no longer have a name.
int open_deleted_files() {
  int count = 0;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    const std::string target = fs::read_symlink(entry.path(), ec).string();
    if (!ec && target.ends_with(" (deleted)")) {
      ++count;
    }
  }
  return count;
}

// The old contents of each replaced file are freed by a close in the
// background: however many times a file is replaced, none of them is kept
// open for long, and the folder holds only the newest file.
TEST_F(FileReplacement, OldContentsAreFreedAfterEachReplacement) {
  const int before = open_deleted_files();
  dir.write("tad.dat", "first\r\n");
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(open_unit(9, file_options("tad.dat")), 0);
    write_record(9, "run " + std::to_string(i));
    ASSERT_EQ(close_unit(9), 0);
  }
  EXPECT_EQ(dir.read("tad.dat"), "run 199\r\n");
  EXPECT_EQ(names(), std::set<std::string>{"tad.dat"});
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (open_deleted_files() > before && std::chrono::steady_clock::now() < limit) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(open_deleted_files(), before);
}

// Writes of a buffer's size or more go to the file without the copy into
// the stream's buffer when nothing is buffered before them; mixed with
// small ones they keep their order, and the file comes in place whole.
TEST_F(FileReplacement, LargeWritesKeepTheirOrderWithSmallOnes) {
  dir.write("table.csv", "old\n");
  FileStream file;
  ASSERT_EQ(file.open((dir.path() / "table.csv").string(), FileStatus::replace, FileAction::write),
            IoError::ok);
  const std::string large_a(70000, 'a'), large_b(8192, 'b'), large_c(300000, 'c');
  std::string expected;
  for (const std::string& piece : {large_a, std::string("x,y\n"), large_b, large_c,
                                   std::string("z\n"), std::string(8191, 'd'), large_a}) {
    ASSERT_EQ(file.write(piece), IoError::ok);
    expected += piece;
  }
  EXPECT_EQ(dir.read("table.csv"), "old\n") << "the named file is replaced only by the close";
  ASSERT_EQ(file.close(), IoError::ok);
  EXPECT_TRUE(dir.read("table.csv") == expected);
  EXPECT_EQ(names(), std::set<std::string>{"table.csv"});
}

}  // namespace
}  // namespace zuna
