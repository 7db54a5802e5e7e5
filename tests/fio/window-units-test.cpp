// Units on text windows: what the host receives for the program's own
// windows under first-character control, records left open for the user's
// input, reads that wait for a typed line, and the default unit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fio/fio.h"
#include "fio/io-error.h"
#include "tests/support/exit-code.h"
#include "tests/support/recording-host.h"

namespace zuna {
namespace {

using testing::exit_code_of;
using testing::RecordingHost;

constexpr char kPresentationFormat[] =
    "(/,10X,'ZUNA - 5 Set 97',/,/,"
    "4X,'Calcula n\xFAmero de moles, fra\xE7\xF5"
    "es molares e',/,"
    "4X,'m\xE1ssicas, e temperatura de chama adiab\xE1tica,',/,"
    "4X,'com e sem dissocia\xE7\xE3o qu\xEDmica,',/,"
    "4X,'resultantes da rea\xE7\xE3o H2/O2.',/,/,"
    "10X,'Programa de c\xE1lculo')";
constexpr char kProgressFormat[] = "(2X,'Pontos j\xE1 processados =',I3,' de',I4)";
constexpr char kTimeFormat[] = "(/,/,5X,'Tempo de processamento (s) = ',1P,E10.2,\\\\)";

OpenOptions window_options(std::optional<std::string_view> title) {
  OpenOptions o;
  o.file = "user";
  o.title = title;
  return o;
}

void write_text(int unit, std::string_view text) {
  begin_write(unit, "(A)", -1);
  put_chars(text.data(), static_cast<int>(text.size()));
  end_write();
}

void wait_for_enter(int unit) {
  begin_read(unit, nullptr, 0, false);
  end_read();
}

class WindowUnits : public ::testing::Test {
 protected:
  void SetUp() override { runtime_start(host); }

  // The events from index `from` on.
  std::vector<std::string> events_from(std::size_t from) const {
    return {host.events.begin() + static_cast<std::ptrdiff_t>(from), host.events.end()};
  }

  RecordingHost host;
};

TEST_F(WindowUnits, PresentationTranscript) {
  ASSERT_EQ(open_unit(21, window_options("APRESENTA\xC7\xC3O")), 0);
  begin_write(21, kPresentationFormat, -1);
  EXPECT_EQ(end_write(), 0);
  host.input_lines = {""};
  wait_for_enter(21);
  ASSERT_EQ(close_unit(21), 0);
  // The empty first record sends nothing; every later record brings its own
  // line end in front, its carriage-control blank taken away; the read
  // after a completed record first ends that line.
  std::vector<std::string> expected = {
      "open 1025 APRESENTA\xC7\xC3O",
      "write 1025 \r\n         ZUNA - 5 Set 97",
      "write 1025 \r\n",
      "write 1025 \r\n   Calcula n\xFAmero de moles, fra\xE7\xF5"
      "es molares e",
      "write 1025 \r\n   m\xE1ssicas, e temperatura de chama adiab\xE1tica,",
      "write 1025 \r\n   com e sem dissocia\xE7\xE3o qu\xEDmica,",
      "write 1025 \r\n   resultantes da rea\xE7\xE3o H2/O2.",
      "write 1025 \r\n",
      "write 1025 \r\n         Programa de c\xE1lculo",
      "write 1025 \r\n",
      "read 1025",
      "close 1025",
  };
  EXPECT_EQ(host.events, expected);
  EXPECT_EQ(host.windows.count(1025), 0u) << "closing without a status removes the window";
}

TEST_F(WindowUnits, ProgressLinesThenTimeLineLeftOpenForTheRead) {
  ASSERT_EQ(open_unit(12, window_options("EXECU\xC7\xC3O DOS C\xC1LCULOS")), 0);
  for (int i = 1; i <= 3; ++i) {
    begin_write(12, kProgressFormat, -1);
    put_int32(i);
    put_int32(33);
    end_write();
  }
  begin_write(12, kTimeFormat, -1);
  put_real64(1.234);
  end_write();
  host.input_lines = {""};
  std::size_t before_read = host.events.size();
  wait_for_enter(12);
  write_text(12, " after the read");
  // One leading blank of the two: the first went to carriage control.
  const std::string progress = " Pontos j\xE1 processados =  1 de  33";
  EXPECT_EQ(host.output(1025), progress +
                                   "\r\n Pontos j\xE1 processados =  2 de  33"
                                   "\r\n Pontos j\xE1 processados =  3 de  33"
                                   "\r\n\r\n\r\n    Tempo de processamento (s) =   1.23E+00"
                                   "after the read");
  // The user types on the open line: no line end before the read, and the
  // record after the read starts where the Enter left the cursor.
  std::vector<std::string> expected = {"read 1025", "write 1025 after the read"};
  EXPECT_EQ(events_from(before_read), expected);
}

TEST_F(WindowUnits, TitleDefaultsToTheUnitNumber) {
  ASSERT_EQ(open_unit(21, window_options(std::nullopt)), 0);
  EXPECT_EQ(host.windows.at(1025).title, "Unit 21");
  // Reopening on "user" keeps the window.
  ASSERT_EQ(open_unit(21, window_options("other title")), 0);
  EXPECT_EQ(host.windows.size(), 2u);
  ASSERT_EQ(close_unit(21, "KEEP"), 0);
  EXPECT_TRUE(host.windows.at(1025).kept);
}

TEST_F(WindowUnits, FirstCharacterTable) {
  ASSERT_EQ(open_unit(21, window_options("t")), 0);
  write_text(21, "+over");  // first record: CR only
  write_text(21, "0gap");
  write_text(21, "1page");
  write_text(21, "+back");
  write_text(21, "xother");
  write_text(21, "");
  EXPECT_EQ(host.output(1025),
            "\rover"
            "\r\n\r\ngap"
            "\r\n\f\r \rpage"
            "\rback"
            "\r\nother"
            "\r\n");
  ASSERT_EQ(open_unit(22, window_options("zero first")), 0);
  write_text(22, "0a");
  write_text(22, "1b");
  EXPECT_EQ(host.output(1026), "\r\na\r\n\f\r \rb");
}

TEST_F(WindowUnits, RecordAfterAnOpenOneIsShownInFull) {
  ASSERT_EQ(open_unit(21, window_options("t")), 0);
  begin_write(21, "(' ask: ',\\)", -1);
  end_write();
  begin_write(21, "('0continued')", -1);
  end_write();
  write_text(21, " next");
  EXPECT_EQ(host.output(1025), "ask: 0continued\r\nnext");
}

TEST_F(WindowUnits, ReadTakesValuesFromLaterLines) {
  ASSERT_EQ(open_unit(21, window_options("t")), 0);
  write_text(21, " value?");
  host.input_lines = {"", "  2.5 rest ignored", "7"};
  double v = 0;
  ASSERT_EQ(begin_read(21, nullptr, 0, false), 0);
  EXPECT_EQ(get_real64(&v), 0);
  EXPECT_EQ(end_read(), 0);
  EXPECT_EQ(v, 2.5);
  std::int32_t n = 0;
  ASSERT_EQ(begin_read(21, nullptr, 0, false), 0);
  EXPECT_EQ(get_int32(&n), 0);
  EXPECT_EQ(end_read(), 0);
  EXPECT_EQ(n, 7);
  // One line end, before the first read only.
  EXPECT_EQ(host.output(1025), "value?\r\n  2.5 rest ignored7");
}

TEST_F(WindowUnits, DefaultUnitAndPreconnectedUnits) {
  for (int unit : {kDefaultUnit, 0, 5, 6}) {
    write_text(unit, " line " + std::to_string(unit));
  }
  EXPECT_EQ(host.output(1024), "line -34000\r\nline 0\r\nline 5\r\nline 6");
  // The list-directed message of the program starts on a line of its own.
  begin_write(kDefaultUnit, nullptr, 0);
  put_chars("Error: dialog not found", 23);
  end_write();
  EXPECT_EQ(host.output(1024).substr(host.output(1024).size() - 25), "\r\nError: dialog not found");
  // "CON" is the default window, and closing it leaves that window alone.
  OpenOptions con;
  con.file = "CON";
  ASSERT_EQ(open_unit(7, con), 0);
  write_text(7, " via con");
  ASSERT_EQ(close_unit(7), 0);
  EXPECT_TRUE(host.windows.at(1024).open);
  EXPECT_NE(host.output(1024).find("via con"), std::string::npos);
}

TEST_F(WindowUnits, WindowThatCannotBeOpened) {
  for (int unit = 1; unit < 40; ++unit) {
    ASSERT_EQ(open_unit(100 + unit, window_options(std::nullopt)), 0);
  }
  OpenOptions o = window_options("41st");
  o.error_return = true;
  EXPECT_EQ(open_unit(200, o), error_number(IoError::window_open_failed));
  o.error_return = false;
  EXPECT_EQ(exit_code_of([&] { open_unit(200, o); }), 1);
  EXPECT_EQ(host.errors.at(0).box_text(), "F6422: OPEN(user) - text window cannot be opened");
}

TEST_F(WindowUnits, EveryWriteStatementPassesThePauseGate) {
  int before = host.pause_count;
  write_text(kDefaultUnit, " a");
  write_text(kDefaultUnit, " b");
  EXPECT_EQ(host.pause_count, before + 2);
}

}  // namespace
}  // namespace zuna
