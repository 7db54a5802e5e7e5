// Rendering of the run-time's window output on the terminal, and reading
// typed lines.
#include "host/console/terminal.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "stream-files.h"

namespace zuna {
namespace {

using testing::StreamFile;

std::string rendered(std::initializer_list<std::string_view> writes) {
  StreamFile file;
  TerminalOutput out(file.get());
  for (std::string_view w : writes) {
    out.write(w);
  }
  out.flush();
  return file.text();
}

TEST(TerminalOutput, LineEndsBecomePlainNewlines) {
  EXPECT_EQ(rendered({"a\r\nb\r\n"}), "a\nb\n");
  EXPECT_EQ(rendered({"a\nb"}), "a\nb");
  // A CR LF cut between two writes is still one newline.
  EXPECT_EQ(rendered({"a\r", "\nb"}), "a\nb");
}

TEST(TerminalOutput, LoneCarriageReturnGoesBackToTheLineStart) {
  EXPECT_EQ(rendered({"12345\rab"}), "12345\rab");
  EXPECT_EQ(rendered({"x\r", "y"}), "x\ry");
  EXPECT_EQ(rendered({"x\r\r\n"}), "x\r\n");
  // Left pending at the end, it still reaches the terminal.
  EXPECT_EQ(rendered({"x\r"}), "x\r");
}

TEST(TerminalOutput, NewPageShowsAsAnEmptyLine) {
  // What a record with "1" as carriage control sends before its text.
  EXPECT_EQ(rendered({"a", "\r\n\f\r \r", "b"}), "a\n\n\r \rb");
}

TEST(TerminalOutput, OtherControlCharactersCannotSteerTheTerminal) {
  EXPECT_EQ(rendered({"a\x1B[2Jb\x07\x7F\tc"}), "a?[2Jb??\tc");
}

TEST(TerminalOutput, TextIsConvertedToUtf8) {
  EXPECT_EQ(rendered({" Pontos j\xE1 processados =  1 de  33"}),
            " Pontos já processados =  1 de  33");
}

TEST(TerminalOutput, BeginLineMovesOnOnlyAfterText) {
  StreamFile file;
  TerminalOutput out(file.get());
  out.begin_line();
  out.write("abc");
  out.begin_line();
  out.begin_line();
  out.write_line("title");
  out.write("x\r");
  out.begin_line();  // the line still holds "x"
  out.flush();
  EXPECT_EQ(file.text(), "abc\ntitle\nx\r\n");
}

TEST(TerminalOutput, ScriptedEnterEndsTheLineThatWaited) {
  StreamFile file;
  TerminalOutput out(file.get());
  out.write("\r\n     Tempo de processamento (s) =   1.00E-02");
  out.line_ended_by_input(false);  // a line from a script: no echo
  out.line_ended_by_input(false);  // nothing more to end
  out.write("next");
  out.flush();
  EXPECT_EQ(file.text(), "\n     Tempo de processamento (s) =   1.00E-02\nnext");
}

TEST(TerminalOutput, EchoedEnterWritesNothing) {
  StreamFile file;
  TerminalOutput out(file.get());
  out.write("prompt? ");
  out.line_ended_by_input(true);
  out.begin_line();
  out.flush();
  EXPECT_EQ(file.text(), "prompt? ");
}

TEST(TerminalInput, ReadsLinesWithoutTheirEnds) {
  StreamFile file("first\nsecond\r\n\nlast without end");
  TerminalInput in(file.get());
  EXPECT_EQ(in.read_line(), "first");
  EXPECT_EQ(in.read_line(), "second");
  EXPECT_EQ(in.read_line(), "");
  EXPECT_EQ(in.read_line(), "last without end");
  EXPECT_EQ(in.read_line(), std::nullopt);
  EXPECT_EQ(in.read_line(), std::nullopt);
}

TEST(TerminalInput, TypedUtf8ComesBackAsProgramText) {
  StreamFile file("1000=razão\n");
  TerminalInput in(file.get());
  EXPECT_EQ(in.read_line(), "1000=raz\xE3o");
}

}  // namespace
}  // namespace zuna
