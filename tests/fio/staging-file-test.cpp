// The staging file on its own: what a copy leaves in it, whatever an
// earlier copy left.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "fio/staging-file.h"
#include "tests/support/temp-dir.h"

namespace zuna {
namespace {

using testing::TempDir;

// A first write that fails in its copy may be tried again (a statement with
// a status request goes on): the staging file then holds the prefix of the
// later copy only, not one copy after the other.
TEST(StagingFile, CopyMadeAgainHoldsExactlyItsPrefix) {
  TempDir dir;
  dir.write("data", "0123456789");
  const std::string target = (dir.path() / "data").string();
  const int named = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(named, 0);
  struct stat model {};
  ASSERT_EQ(::fstat(named, &model), 0);

  StagingFile staging;
  ASSERT_EQ(staging.make(target, &model), IoError::ok);
  bool damaged = false;
  ASSERT_EQ(staging.copy_from(named, 8, damaged), IoError::ok);
  ASSERT_EQ(staging.copy_from(named, 4, damaged), IoError::ok);
  EXPECT_FALSE(damaged);
  const int fd = staging.take_writing();
  ASSERT_EQ(::write(fd, "ab", 2), 2);
  ASSERT_EQ(::close(fd), 0);
  staging.hold_replaced(named);
  ASSERT_EQ(staging.put_in_place(target, "data"), IoError::ok);
  EXPECT_EQ(dir.read("data"), "0123ab");
}

}  // namespace
}  // namespace zuna
