// The pieces of the windowed host that need no threads: the virtual screen's
// write algorithm, the typed line, the paste queue, the pause gate's states,
// the saved status message and the Windows-1252 crossing.
#include <gtest/gtest.h>

#include <string>

#include "host/qt/cp1252.h"
#include "host/qt/paste-queue.h"
#include "host/qt/pause-gate.h"
#include "host/qt/status-message.h"
#include "host/qt/text-screen.h"
#include "host/qt/typed-line.h"

namespace zuna {
namespace {

// A 1024 x 768 screen: 128 columns, 48 rows of 8 x 16 cells.
TextScreen make_screen(QSize size = QSize(1024, 768)) {
  TextConfig config = default_text_config(size, 24);
  TextScreen screen;
  screen.configure(config,
                   GlyphAtlas::build(config.cell_width, config.cell_height,
                                     palette_colour(kTextColourIndex, config.colours),
                                     palette_colour(kBackgroundColourIndex, config.colours)));
  return screen;
}

std::string trimmed(std::string row) {
  row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

std::string label(int i) {
  char text[8];
  std::snprintf(text, sizeof text, "L%02d", i);
  return text;
}

TEST(TextScreen, ConfigurationFollowsTheScreen) {
  TextConfig config = default_text_config(QSize(1024, 768), 24);
  EXPECT_EQ(config.columns, 128);
  EXPECT_EQ(config.rows, 48);
  EXPECT_EQ(config.pixel_size(), QSize(1024, 768));
  EXPECT_EQ(config.colours, 256);
  // Integer division: a partial cell is not used.
  TextConfig odd = default_text_config(QSize(1030, 780), 1);
  EXPECT_EQ(odd.columns, 128);
  EXPECT_EQ(odd.rows, 48);
  EXPECT_EQ(odd.colours, 2);
  EXPECT_EQ(palette_colour(9, 2), qRgb(255, 255, 255));
  EXPECT_EQ(palette_colour(9, 256), qRgb(0, 0, 255));
  EXPECT_EQ(palette_colour(7, 256), qRgb(192, 192, 192));
}

TEST(TextScreen, TextStaysOnTheRowAndCarriageReturnOverwrites) {
  TextScreen screen = make_screen();
  screen.write("abcdef");
  EXPECT_EQ(screen.column(), 7);
  screen.write("gh");  // no line feed: the same row goes on
  screen.write("\rXY");
  EXPECT_EQ(trimmed(screen.row_text(1)), "XYcdefgh");
  EXPECT_EQ(screen.row(), 1);
  EXPECT_EQ(screen.column(), 3);
  screen.write("\n\nz");
  EXPECT_EQ(screen.row(), 3);
  EXPECT_EQ(trimmed(screen.row_text(3)), "z");
}

TEST(TextScreen, LongRecordWrapsOntoTheNextRow) {
  TextScreen screen = make_screen();
  screen.write(std::string(130, 'x'));
  EXPECT_EQ(screen.row_text(1), std::string(128, 'x'));
  EXPECT_EQ(trimmed(screen.row_text(2)), "xx");
  EXPECT_EQ(screen.column(), 3);
  screen.write("yz");
  EXPECT_EQ(trimmed(screen.row_text(2)), "xxyz");
}

TEST(TextScreen, FullRowFollowedByLineEndMakesNoEmptyRow) {
  // The wrap waits for the next character: a row filled to the edge and then
  // ended (as every record of a window unit is, by the next record's CR LF)
  // does not leave an empty row behind it.
  TextScreen screen = make_screen();
  screen.write(std::string(128, 'a'));
  EXPECT_EQ(screen.row(), 1);
  EXPECT_EQ(screen.column(), 129);
  screen.write("\r\nb");
  EXPECT_EQ(trimmed(screen.row_text(2)), "b");
  EXPECT_EQ(screen.row(), 2);
}

TEST(TextScreen, EmptyWriteShowsOneBlankAndZeroEndsTheText) {
  TextScreen screen = make_screen();
  screen.write("");
  EXPECT_EQ(screen.column(), 2);
  screen.write("a");
  EXPECT_EQ(trimmed(screen.row_text(1)), " a");
  screen.write(std::string("bc\0de", 5));
  EXPECT_EQ(trimmed(screen.row_text(1)), " abc");
  EXPECT_EQ(screen.column(), 5);
}

TEST(TextScreen, FortyNinthLineScrollsTheFirstAwayForGood) {
  TextScreen screen = make_screen();
  TextScreen reference = make_screen();
  reference.write(label(2));
  for (int i = 1; i <= 49; ++i) {
    screen.write((i > 1 ? "\n" : "") + label(i));
  }
  EXPECT_EQ(screen.row(), 48);
  EXPECT_EQ(trimmed(screen.row_text(1)), label(2));
  EXPECT_EQ(trimmed(screen.row_text(48)), label(49));
  // Select Text and Copy see only what the screen shows.
  std::string all = screen.text_in(QRect(0, 0, 128, 48));
  EXPECT_EQ(all.find(label(1)), std::string::npos);
  EXPECT_EQ(all.substr(0, 4), label(2) + "\n");
  // The image scrolled with the text: its top row is drawn as "L02" alone.
  QRect top_row(0, 0, 1024, 16);
  EXPECT_EQ(screen.image().copy(top_row), reference.image().copy(top_row));
  // The cleared bottom row takes new text without traces of the old.
  QRect bottom(0, 47 * 16, 1024, 16);
  TextScreen alone = make_screen();
  for (int i = 1; i < 48; ++i) {
    alone.write("\n");
  }
  alone.write(label(49));
  EXPECT_EQ(screen.image().copy(bottom), alone.image().copy(bottom));
}

TEST(TextScreen, FormFeedOfANewPageLeavesAnEmptyRow) {
  // The new-page prefix of the carriage control: CR LF FF CR blank CR.
  TextScreen screen = make_screen();
  screen.write("title");
  screen.write("\r\n\f\r \rnext");
  EXPECT_EQ(trimmed(screen.row_text(2)), "next");
}

TEST(TextScreen, EraseBackStepsOverTheRowStartAndStopsAtTheTop) {
  TextScreen screen = make_screen();
  EXPECT_FALSE(screen.erase_back());  // row 1, column 1
  screen.write("ab");
  EXPECT_TRUE(screen.erase_back());
  EXPECT_EQ(trimmed(screen.row_text(1)), "a");
  EXPECT_EQ(screen.column(), 2);
  screen.write("\nc");
  EXPECT_TRUE(screen.erase_back());
  EXPECT_TRUE(screen.erase_back());  // from column 1 onto the last column above
  EXPECT_EQ(screen.row(), 1);
  EXPECT_EQ(screen.column(), 128);
}

TEST(TextScreen, SelectedCellsLoseTrailingBlanks) {
  TextScreen screen = make_screen();
  screen.write("one   \ntwo");
  EXPECT_EQ(screen.text_in(QRect(0, 0, 10, 2)), "one\ntwo");
  EXPECT_EQ(screen.text_in(QRect(1, 0, 2, 2)), "ne\nwo");
  // A rectangle beyond the screen is cut to it.
  EXPECT_EQ(screen.text_in(QRect(126, 47, 10, 10)), "");
}

TEST(TypedLine, HoldsAtMost128CharactersAndTabsStopAt126) {
  TypedLine line;
  for (int i = 0; i < 128; ++i) {
    TypedLine::Effect effect = line.type('a');
    ASSERT_FALSE(effect.beep);
    ASSERT_EQ(effect.echo, "a");
  }
  TypedLine::Effect refused = line.type('b');
  EXPECT_TRUE(refused.beep);
  EXPECT_TRUE(refused.echo.empty());
  EXPECT_EQ(line.text().size(), 128u);

  TypedLine tabs;
  EXPECT_EQ(tabs.tab().echo, std::string(8, ' '));
  for (int i = 0; i < 112; ++i) {
    tabs.type('x');
  }
  ASSERT_EQ(tabs.text().size(), 120u);
  TypedLine::Effect last = tabs.tab();  // only 6 blanks fit below 126
  EXPECT_EQ(last.echo, std::string(6, ' '));
  EXPECT_TRUE(last.beep);
  EXPECT_EQ(tabs.text().size(), 126u);
  EXPECT_TRUE(tabs.tab().echo.empty());
  EXPECT_TRUE(tabs.type('y').echo == "y");  // characters still go up to 128
}

TEST(TypedLine, ReadOfTenAfterFifteenLeavesFiveForTheNextRead) {
  LeftOver left;
  left.keep("abcdefghijklmno");
  char buffer[16] = {};
  EXPECT_EQ(left.deliver(buffer, 10), 10);
  EXPECT_EQ(std::string(buffer, 10), "abcdefghij");
  EXPECT_FALSE(left.empty());
  EXPECT_EQ(left.deliver(buffer, 10), 5);
  EXPECT_EQ(std::string(buffer, 5), "klmno");
  EXPECT_TRUE(left.empty());
  left.keep("xy");
  EXPECT_EQ(left.deliver(buffer, -3), 0);  // a negative capacity takes nothing
  EXPECT_FALSE(left.empty());
}

std::string take_all(PasteQueue& paste) {
  std::string taken;
  while (!paste.empty()) {
    taken += paste.take();
  }
  return taken;
}

TEST(PasteQueue, EveryLineEndComesAsOneAndTheWindowIsFreedWithTheLastCharacter) {
  PasteQueue paste;
  ASSERT_TRUE(paste.start("a\r\nb\rc\n\r\n\td", 1025));
  EXPECT_TRUE(paste.feeds(1025));
  EXPECT_FALSE(paste.feeds(1024));
  EXPECT_EQ(take_all(paste), "a\nb\nc\n\n\td");
  EXPECT_EQ(paste.window(), 0);
  EXPECT_FALSE(paste.feeds(0)) << "no read waits: nothing is fed";

  // A CR at the very end is a line end too.
  ASSERT_TRUE(paste.start("x\r", 1024));
  EXPECT_EQ(take_all(paste), "x\n");
  EXPECT_EQ(paste.window(), 0);
}

TEST(PasteQueue, ASecondPasteWaitsUntilTheFirstIsUsedOrCleared) {
  PasteQueue paste;
  EXPECT_FALSE(paste.start("", 1024));
  EXPECT_FALSE(paste.start("x", 0));
  ASSERT_TRUE(paste.start("first", 1024));
  EXPECT_FALSE(paste.start("second", 1025));
  EXPECT_EQ(paste.window(), 1024);
  EXPECT_EQ(paste.take(), 'f');
  paste.clear();
  EXPECT_TRUE(paste.empty());
  EXPECT_EQ(paste.window(), 0);
  ASSERT_TRUE(paste.start("second", 1025));
  EXPECT_EQ(take_all(paste), "second");
}

TEST(PauseGate, PauseDuringAPauseIsKeptForOneResume) {
  PauseGate gate;
  EXPECT_EQ(gate.state(), RunState::running);
  EXPECT_TRUE(gate.pause());
  EXPECT_FALSE(gate.pause());  // already paused: only the request flag
  EXPECT_TRUE(gate.pause_requested());
  EXPECT_FALSE(gate.resume());  // the selection's end keeps it paused
  EXPECT_EQ(gate.state(), RunState::paused);
  EXPECT_TRUE(gate.resume());
  EXPECT_EQ(gate.state(), RunState::running);
  EXPECT_FALSE(gate.resume());  // Resume while running changes nothing
  EXPECT_EQ(gate.state(), RunState::running);
}

TEST(StatusMessage, ClearingTheNewerMessageBringsTheSavedOneBack) {
  StatusMessage status;
  status.set("first");
  status.set("Input pending in X");
  EXPECT_EQ(status.shown(), "Input pending in X");
  status.set(QString());
  EXPECT_EQ(status.shown(), "first");
  status.set(QString());
  EXPECT_EQ(status.shown(), "");
}

TEST(Cp1252, PortugueseTitlesAndTheHighControlsCrossBothWays) {
  const std::string title = "EXECU\xC7\xC3O DOS C\xC1LCULOS";
  QString shown = from_cp1252(title);
  EXPECT_EQ(shown, QString::fromUtf8("EXECUÇÃO DOS CÁLCULOS"));
  EXPECT_EQ(to_cp1252(shown), title);
  EXPECT_EQ(from_cp1252("\x80\x93\x94"), QString::fromUtf8("€“”"));
  EXPECT_EQ(to_cp1252(QString::fromUtf8("€“”")), "\x80\x93\x94");
  EXPECT_EQ(to_cp1252(QString::fromUtf8("Ω")), "?");
  // The bytes without a character of their own still cross unchanged.
  std::string odd = "\x81\x8D\x8F\x90\x9D";
  EXPECT_EQ(to_cp1252(from_cp1252(odd)), odd);
}

}  // namespace
}  // namespace zuna
