// Units connected to files: records and their line ends, the rewrite of an
// existing file, the open statement's keywords and statuses, close
// dispositions, implicit opens, and write failures that must end the run
// instead of leaving a silently short file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "fio/fio.h"
#include "fio/io-error.h"
#include "tests/support/exit-code.h"
#include "tests/support/file-units.h"
#include "tests/support/recording-host.h"
#include "tests/support/temp-dir.h"

namespace zuna {
namespace {

using testing::exit_code_of;
using testing::file_options;
using testing::RecordingHost;
using testing::TempDir;
using testing::write_record;

// One list-directed read of one double, without a status request.
double read_double(int unit) {
  double v = 0;
  begin_read(unit, nullptr, 0, false);
  get_real64(&v);
  end_read();
  return v;
}

class FileUnits : public ::testing::Test {
 protected:
  void SetUp() override { runtime_start(host); }

  TempDir dir;
  RecordingHost host;
};

TEST_F(FileUnits, LongerExistingReportIsRewrittenFromItsStart) {
  const std::string old = std::string(5000, 'x') + "\r\nold tail\r\n";
  dir.write("saida", old);
  ASSERT_EQ(open_unit(8, file_options("saida")), 0);
  EXPECT_EQ(dir.read("saida"), old) << "the open alone changes nothing";
  write_record(8, " one");
  write_record(8, "");
  write_record(8, "three");
  ASSERT_EQ(close_unit(8), 0);
  EXPECT_EQ(dir.read("saida"), " one\r\n\r\nthree\r\n");
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(FileUnits, ReopenAfterCloseWritesTheFileAgain) {
  for (const char* last : {"first run, a long line", "second"}) {
    ASSERT_EQ(open_unit(9, file_options("tad.dat")), 0);
    write_record(9, "header");
    write_record(9, last);
    ASSERT_EQ(close_unit(9), 0);
  }
  EXPECT_EQ(dir.read("tad.dat"), "header\r\nsecond\r\n");
}

TEST_F(FileUnits, WriteAfterReadCutsTheFileAtThatPoint) {
  dir.write("data", "1.5\r\n2.5\r\n3.5\r\n");
  ASSERT_EQ(open_unit(20, file_options("data")), 0);
  EXPECT_EQ(read_double(20), 1.5);
  write_record(20, "new");
  write_record(20, "more");
  EXPECT_EQ(close_unit(20), 0);
  EXPECT_EQ(dir.read("data"), "1.5\r\nnew\r\nmore\r\n");
}

// A report longer than the write buffer, over an even longer old one: the
// old file stands whole until the close puts the new one in its place.
TEST_F(FileUnits, LongRewriteOverALongerFile) {
  const std::string old(30000, 'o');
  dir.write("saida", old);
  ASSERT_EQ(open_unit(8, file_options("saida")), 0);
  const std::string line(98, 'n');
  std::string written;
  while (written.size() < 20000) {
    write_record(8, line);
    written.append(line).append("\r\n");
  }
  EXPECT_TRUE(dir.read("saida") == old) << "two buffers written, elsewhere";
  ASSERT_EQ(close_unit(8), 0);
  EXPECT_TRUE(dir.read("saida") == written);
}

TEST_F(FileUnits, ReadAfterWriteFindsTheEndOfTheNewRecords) {
  dir.write("data", "1.5\r\n2.5\r\n3.5\r\n");
  ASSERT_EQ(open_unit(20, file_options("data")), 0);
  EXPECT_EQ(read_double(20), 1.5);
  write_record(20, "new");
  double v = 7;
  ASSERT_EQ(begin_read(20, nullptr, 0, true), 0);
  EXPECT_EQ(get_real64(&v), -1) << "the old records after the new one are gone";
  EXPECT_EQ(end_read(), -1);
  EXPECT_EQ(v, 7);
  EXPECT_EQ(close_unit(20), 0);
  EXPECT_EQ(dir.read("data"), "1.5\r\nnew\r\n");
}

// A rewrite with as many bytes as before, and one with more.
TEST_F(FileUnits, RewriteOfTheSameOrAGreaterLength) {
  for (const char* text : {"abcd", "wxyz", "a longer record"}) {
    ASSERT_EQ(open_unit(9, file_options("tad.dat")), 0);
    write_record(9, text);
    ASSERT_EQ(close_unit(9), 0);
    std::string expected = text;
    expected.append("\r\n");
    EXPECT_EQ(dir.read("tad.dat"), expected);
  }
}

TEST_F(FileUnits, RecordLeftOpenContinuesAndIsEndedByClose) {
  ASSERT_EQ(open_unit(8, file_options("saida")), 0);
  begin_write(8, "('a',\\)", -1);
  end_write();
  begin_write(8, "('b',\\)", -1);
  end_write();
  ASSERT_EQ(close_unit(8), 0);
  EXPECT_EQ(dir.read("saida"), "ab\r\n");
}

TEST_F(FileUnits, FirstCharacterControlOnAFile) {
  OpenOptions o = file_options("cc.txt");
  o.carriage_control = "first";
  ASSERT_EQ(open_unit(8, o), 0);
  for (const char* record : {" a", "0b", "1c", "+d", "xe", ""}) {
    write_record(8, record);
  }
  ASSERT_EQ(close_unit(8), 0);
  EXPECT_EQ(dir.read("cc.txt"), "a\r\n\r\nb\r\n\f\r \rc\r\nd\r\ne\r\n\r\n");
}

TEST_F(FileUnits, StatusKeywords) {
  OpenOptions o = file_options("absent");
  o.status = "old";
  o.error_return = true;
  EXPECT_EQ(open_unit(8, o), error_number(IoError::file_not_found));
  EXPECT_FALSE(dir.exists("absent"));

  dir.write("present", "keep me\r\n");
  o = file_options("present");
  o.status = "NEW ";
  o.error_return = true;
  EXPECT_EQ(open_unit(8, o), error_number(IoError::file_already_exists));
  EXPECT_EQ(dir.read("present"), "keep me\r\n");

  o.status = "Replace";
  ASSERT_EQ(open_unit(8, o), 0);
  ASSERT_EQ(close_unit(8), 0);
  EXPECT_EQ(dir.read("present"), "");

  o = file_options("fresh");
  o.status = "NEW";
  ASSERT_EQ(open_unit(8, o), 0);
  ASSERT_EQ(close_unit(8, "DELETE"), 0);
  EXPECT_FALSE(dir.exists("fresh"));
  ASSERT_EQ(open_unit(8, o), 0);
  ASSERT_EQ(close_unit(8), 0);
  EXPECT_TRUE(dir.exists("fresh"));
  o.error_return = true;
  EXPECT_EQ(open_unit(8, o), error_number(IoError::file_already_exists));
}

TEST_F(FileUnits, ScratchFileLivesUntilItsClose) {
  // Scratch files go to the temporary folder: this test's own.
  std::string old_tmpdir = getenv("TMPDIR") != nullptr ? getenv("TMPDIR") : "";
  setenv("TMPDIR", dir.path().c_str(), 1);
  auto scratch_files = [this] {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      n += entry.path().filename().string().rfind("ZZ", 0) == 0 ? 1 : 0;
    }
    return n;
  };
  OpenOptions o;
  o.status = "SCRATCH";
  ASSERT_EQ(open_unit(7, o), 0);
  write_record(7, "temporary");
  EXPECT_EQ(scratch_files(), 1);
  // "KEEP" is refused and the unit stays connected.
  EXPECT_EQ(close_unit(7, "KEEP", true), error_number(IoError::keep_for_scratch_file));
  EXPECT_EQ(scratch_files(), 1);
  ASSERT_EQ(close_unit(7), 0);
  EXPECT_EQ(scratch_files(), 0);

  // Also at the end of the program.
  ASSERT_EQ(open_unit(7, o), 0);
  EXPECT_EQ(scratch_files(), 1);
  EXPECT_EQ(exit_code_of([] { stop_program(nullptr, 0); }), 0);
  EXPECT_EQ(scratch_files(), 0);

  if (old_tmpdir.empty()) {
    unsetenv("TMPDIR");
  } else {
    setenv("TMPDIR", old_tmpdir.c_str(), 1);
  }
  runtime_start(host);
  o.file = "named";
  o.error_return = true;
  EXPECT_EQ(open_unit(7, o), error_number(IoError::scratch_with_file_name));
}

TEST_F(FileUnits, KeywordsAreCheckedBeforeAnythingHappens) {
  struct Bad {
    void (*set)(OpenOptions&);
    IoError expected;
  };
  const Bad cases[] = {
      {[](OpenOptions& o) { o.status = "OLDER"; }, IoError::bad_status_keyword},
      {[](OpenOptions& o) { o.access = " SEQUENTIAL"; }, IoError::bad_access_keyword},
      {[](OpenOptions& o) { o.form = "FORMATED"; }, IoError::bad_form_keyword},
      {[](OpenOptions& o) { o.position = "END"; }, IoError::bad_position_keyword},
      {[](OpenOptions& o) { o.carriage_control = "NONE"; }, IoError::bad_carriage_control_keyword},
      {[](OpenOptions& o) { o.access = "DIRECT"; }, IoError::direct_access_needs_record_length},
      {[](OpenOptions& o) { o.record_length = 0; }, IoError::bad_record_length},
      {[](OpenOptions& o) {
         o.form = "UNFORMATTED";
         o.pad = "YES";
       },
       IoError::delimiter_or_pad_unformatted},
  };
  for (const Bad& c : cases) {
    OpenOptions o;
    o.file = "never";
    o.error_return = true;
    c.set(o);
    EXPECT_EQ(open_unit(8, o), error_number(c.expected)) << error_number(c.expected);
  }
  EXPECT_FALSE(dir.exists("never"));
  EXPECT_TRUE(host.errors.empty());

  // Without an error return the open reports and ends the program.
  OpenOptions o = file_options("never");
  o.form = "FORMATED";
  EXPECT_EQ(exit_code_of([&] { open_unit(8, o); }), 1);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].box_text(), "F6404: OPEN(never) - invalid FORM= value");
}

TEST_F(FileUnits, ReopenOnTheSameFileKeepsTheConnection) {
  ASSERT_EQ(open_unit(8, file_options("same")), 0);
  write_record(8, "one");
  OpenOptions again = file_options("same  ");
  again.blank = "ZERO";
  ASSERT_EQ(open_unit(8, again), 0);  // not rewound, not cut
  write_record(8, "two");
  OpenOptions unformatted = file_options("same");
  unformatted.form = "UNFORMATTED";
  unformatted.error_return = true;
  EXPECT_EQ(open_unit(8, unformatted), error_number(IoError::kind_change_on_reopen));
  // On another file the old connection is closed (kept) first.
  ASSERT_EQ(open_unit(8, file_options("other")), 0);
  EXPECT_EQ(dir.read("same"), "one\r\ntwo\r\n");
  ASSERT_EQ(close_unit(8), 0);
}

TEST_F(FileUnits, CloseOfAnUnknownUnitOrWithABadStatus) {
  EXPECT_EQ(close_unit(77), 0);
  ASSERT_EQ(open_unit(8, file_options("f")), 0);
  EXPECT_EQ(close_unit(8, "PURGE"), error_number(IoError::bad_close_status));
  write_record(8, "still open");
  ASSERT_EQ(close_unit(8, "keep"), 0);
  EXPECT_EQ(dir.read("f"), "still open\r\n");
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(FileUnits, SixtySecondUnitIsRefused) {
  for (int unit = 100; unit < 161; ++unit) {
    std::string name = "u";
    name += std::to_string(unit);
    ASSERT_EQ(open_unit(unit, file_options(name)), 0) << unit;
  }
  OpenOptions o = file_options("u161");
  o.error_return = true;
  EXPECT_EQ(open_unit(161, o), error_number(IoError::too_many_units));
  EXPECT_FALSE(dir.exists("u161")) << "nothing is created for a refused open";
  ASSERT_EQ(close_unit(100), 0);
  EXPECT_EQ(open_unit(161, o), 0);
}

TEST_F(FileUnits, UnitNumberOutOfRangeFailsBeforeAnyTransfer) {
  OpenOptions o = file_options("x");
  o.error_return = true;
  EXPECT_EQ(open_unit(32768, o), error_number(IoError::unit_number_out_of_range));
  EXPECT_EQ(open_unit(-32768, o), error_number(IoError::unit_number_out_of_range));
  EXPECT_FALSE(dir.exists("x"));
  EXPECT_EQ(exit_code_of([] {
              begin_write(40000, "(A)", -1);
              put_chars("lost", 4);
              end_write();
            }),
            1);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].box_text(), "F6401: WRITE() - unit number out of range");
  EXPECT_EQ(host.output(), "");
}

TEST_F(FileUnits, FileInAMissingFolderEndsTheRun) {
  EXPECT_EQ(exit_code_of([] { open_unit(8, file_options("no-such-folder/saida")); }), 1);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].box_text(),
            "F6419: OPEN(no-such-folder/saida) - file cannot be opened: No such file or directory");
  EXPECT_EQ(host.exit_code, 1);
}

TEST_F(FileUnits, FullDiskEndsTheRunInsteadOfAShortFile) {
  if (access("/dev/full", W_OK) != 0) {
    GTEST_SKIP() << "no /dev/full";
  }
  ASSERT_EQ(open_unit(8, file_options("/dev/full")), 0);
  EXPECT_EQ(exit_code_of([] { write_record(8, "a record the disk cannot take"); }), 1);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].box_text(),
            "F6426: WRITE(/dev/full) - write to file failed: No space left on device");
  EXPECT_EQ(host.exit_code, 1);
}

TEST_F(FileUnits, WriteToAFileOpenedForReadingOnly) {
  dir.write("ro", "data\r\n");
  OpenOptions o = file_options("ro");
  o.action = "READ";
  ASSERT_EQ(open_unit(8, o), 0);
  EXPECT_EQ(exit_code_of([] { write_record(8, "x"); }), 1);
  EXPECT_EQ(host.errors.at(0).number, error_number(IoError::write_to_read_only));
  EXPECT_EQ(dir.read("ro"), "data\r\n");
}

TEST_F(FileUnits, EndOfFileWithAndWithoutStatusRequest) {
  dir.write("short", "1.0\r\n");
  ASSERT_EQ(open_unit(20, file_options("short")), 0);
  double a = 0, b = 7;
  ASSERT_EQ(begin_read(20, nullptr, 0, true), 0);
  EXPECT_EQ(get_real64(&a), 0);
  EXPECT_EQ(get_real64(&b), -1);
  EXPECT_EQ(end_read(), -1);
  EXPECT_EQ(a, 1.0);
  EXPECT_EQ(b, 7.0);
  EXPECT_EQ(exit_code_of([] { read_double(20); }), 1);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].box_text(),
            "F6610: READ(short) - end of file encountered after record 1");
}

TEST_F(FileUnits, ValuesAcrossRecordsAndALastRecordWithoutLineEnd) {
  dir.write("vals", "\n   \r\n1.0,\r\n  ,3.0 4*\t\n5.0");
  ASSERT_EQ(open_unit(20, file_options("vals")), 0);
  double v[4] = {-1, -1, -1, -1};
  ASSERT_EQ(begin_read(20, nullptr, 0, true), 0);
  for (double& x : v) {
    EXPECT_EQ(get_real64(&x), 0);
  }
  EXPECT_EQ(end_read(), 0);
  EXPECT_EQ(v[0], 1.0);
  EXPECT_EQ(v[1], -1.0);
  EXPECT_EQ(v[2], 3.0);
  EXPECT_EQ(v[3], -1.0);
  EXPECT_EQ(read_double(20), 5.0) << "the rest of a record is skipped, not the next one";
}

TEST_F(FileUnits, ImplicitOpenTakesTheCommandLineThenTheFileSelection) {
  const char* args[] = {"from-args.txt"};
  runtime_start(host, 1, args);
  write_record(31, "via argument");
  host.file_selections = {std::nullopt, std::string("chosen.txt")};
  host.message_answers = {MessageAnswer::no};
  write_record(32, "via selection");
  ASSERT_EQ(close_unit(31), 0);
  ASSERT_EQ(close_unit(32), 0);
  EXPECT_EQ(dir.read("from-args.txt"), "via argument\r\n");
  EXPECT_EQ(dir.read("chosen.txt"), "via selection\r\n");
  ASSERT_EQ(host.message_boxes.size(), 1u);
  EXPECT_EQ(host.message_boxes[0], "File Open Error|A File Must be Selected\r\rTerminate Program?");

  // Nothing selected and Yes: the program ends with exit code 1, no report.
  host.message_answers = {MessageAnswer::yes};
  EXPECT_EQ(exit_code_of([] { write_record(33, "never"); }), 1);
  EXPECT_EQ(host.exit_code, 1);
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(FileUnits, DeviceNames) {
  ASSERT_EQ(open_unit(8, file_options("nul")), 0);
  write_record(8, "thrown away");
  double v = 4;
  EXPECT_EQ(begin_read(8, nullptr, 0, true), 0);
  EXPECT_EQ(get_real64(&v), -1);
  end_read();
  ASSERT_EQ(close_unit(8, "DELETE"), 0);
  EXPECT_TRUE(std::filesystem::exists("/dev/null")) << "a device is never deleted";

  OpenOptions printer = file_options("PRN");
  printer.error_return = true;
  EXPECT_EQ(open_unit(8, printer), error_number(IoError::file_open_failed));
  // A folder in the name makes it an ordinary file.
  ASSERT_EQ(open_unit(8, file_options("./user")), 0);
  write_record(8, "plain file");
  ASSERT_EQ(close_unit(8), 0);
  EXPECT_EQ(dir.read("user"), "plain file\r\n");
}

TEST_F(FileUnits, ProgramEndClosesFilesAndDeletesScratchFiles) {
  dir.write("saida", "an older and much longer report\r\n");
  ASSERT_EQ(open_unit(8, file_options("saida")), 0);
  write_record(8, "report");
  begin_write(8, "('open line',\\)", -1);
  end_write();
  OpenOptions window;
  window.file = "USER";
  ASSERT_EQ(open_unit(12, window), 0);
  EXPECT_EQ(exit_code_of([] { stop_program(nullptr, 0); }), 0);
  // A record left open on a file is not completed at the end.
  EXPECT_EQ(dir.read("saida"), "report\r\nopen line");
  // The window stays for the end-of-run question.
  EXPECT_TRUE(host.windows.at(1025).open);
  EXPECT_EQ(host.exit_code, 0);
}

}  // namespace
}  // namespace zuna
