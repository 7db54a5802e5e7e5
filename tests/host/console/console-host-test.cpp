// The console host: windows on the terminal, typed lines, forms, messages.
#include "host/console/console-host.h"

#include <gtest/gtest.h>

#include <memory>

#include "dialogs/dialog-template.h"
#include "fake-controller.h"
#include "stream-files.h"

namespace zuna {
namespace {

using testing::FakeController;
using testing::StreamFile;

class ConsoleHostTest : public ::testing::Test {
 protected:
  // What the user types; before the host is first used.
  void type(std::string_view input) { in_ = std::make_unique<StreamFile>(input); }
  ConsoleHost& host() {
    if (!host_) {
      host_ = std::make_unique<ConsoleHost>(out_.get(), in_->get(), err_.get());
    }
    return *host_;
  }
  std::string out() { return out_.text(); }
  std::string err() { return err_.text(); }

  StreamFile out_, err_;
  std::unique_ptr<StreamFile> in_ = std::make_unique<StreamFile>("");
  std::unique_ptr<ConsoleHost> host_;
};

TEST_F(ConsoleHostTest, WindowShowsItsTitleAndItsRecords) {
  const int w = host().text_window_open("APRESENTA\xC7\xC3O");
  EXPECT_EQ(w, 1025);
  // The run-time puts a window's line ends in front of its records.
  host().text_window_write(w, "         ZUNA - 5 Set 97");
  host().text_window_write(w, "\r\n");
  host().text_window_write(w, "   Calcula");
  host().end_of_run(0);
  EXPECT_EQ(out(), "--- APRESENTAÇÃO ---\n         ZUNA - 5 Set 97\n   Calcula\n");
}

TEST_F(ConsoleHostTest, TitleComesBackWhenAWindowsOutputResumes) {
  const int a = host().text_window_open("A");
  const int b = host().text_window_open("B");
  host().text_window_write(a, "one");
  host().text_window_write(a, "\r\ntwo");
  host().text_window_write(b, "three");
  host().text_window_write(1024, "four");
  host().end_of_run(0);
  EXPECT_EQ(out(), "--- A ---\n--- B ---\n--- A ---\none\ntwo\n--- B ---\nthree\nfour\n");
}

TEST_F(ConsoleHostTest, WindowWithoutTitleIsNamedAfterItsSlot) {
  host().text_window_open("");
  EXPECT_EQ(out(), "--- Graphic2 ---\n");
}

TEST_F(ConsoleHostTest, EmptyWriteShowsOneBlank) {
  const int w = host().text_window_open("W");
  EXPECT_EQ(host().text_window_write(w, ""), 0);
  EXPECT_EQ(out(), "--- W ---\n ");
}

TEST_F(ConsoleHostTest, ThirtyNineWindowsBesideTheDefaultOne) {
  for (int k = 0; k < 39; ++k) {
    ASSERT_EQ(host().text_window_open("W"), 1025 + k);
  }
  EXPECT_EQ(host().text_window_open("W"), -1);
  host().text_window_close(1030, false);
  EXPECT_EQ(host().text_window_open("again"), 1030);
  // A kept window keeps its slot but takes no more output.
  host().text_window_close(1031, true);
  EXPECT_EQ(host().text_window_open("W"), -1);
  EXPECT_EQ(host().text_window_write(1031, "x"), -1);
}

TEST_F(ConsoleHostTest, WindowsThatAreNotOpenRefuseReadsAndWrites) {
  char buffer[8];
  EXPECT_EQ(host().text_window_write(1025, "x"), -1);
  EXPECT_EQ(host().text_window_read_line(1025, buffer, 8), -1);
  EXPECT_EQ(host().text_window_write(1023, "x"), -1);
  EXPECT_EQ(host().text_window_write(1064, "x"), -1);
  const int w = host().text_window_open("W");
  host().text_window_close(w, false);
  EXPECT_EQ(host().text_window_write(w, "x"), -1);
  EXPECT_EQ(host().text_window_write(1024, "default"), 7);
}

TEST_F(ConsoleHostTest, ReadTakesOneLineAndKeepsWhatDidNotFit) {
  type("abcdefghijklmno\nsecond\n");
  const int w = host().text_window_open("W");
  char buffer[16] = {};
  EXPECT_EQ(host().text_window_read_line(w, buffer, 10), 10);
  EXPECT_EQ(std::string(buffer, 10), "abcdefghij");
  EXPECT_EQ(host().text_window_read_line(w, buffer, 10), 5);
  EXPECT_EQ(std::string(buffer, 5), "klmno");
  EXPECT_EQ(host().text_window_read_line(w, buffer, 10), 6);
  EXPECT_EQ(std::string(buffer, 6), "second");
}

TEST_F(ConsoleHostTest, TypedLineHoldsAtMost128Characters) {
  type(std::string(200, 'a') + "\nnext\n");
  char buffer[256];
  EXPECT_EQ(host().text_window_read_line(1024, buffer, 256), 128);
  EXPECT_EQ(host().text_window_read_line(1024, buffer, 256), 4);
  EXPECT_EQ(std::string(buffer, 4), "next");
}

TEST_F(ConsoleHostTest, ScriptedEnterEndsTheLineThatWaitsForIt) {
  type("\n");
  const int w = host().text_window_open("EXECU\xC7\xC3O DOS C\xC1LCULOS");
  host().text_window_write(w, " Pontos j\xE1 processados = 33 de  33");
  host().text_window_write(w, "\r\n");
  host().text_window_write(w, "\r\n");
  host().text_window_write(w, "\r\n    Tempo de processamento (s) =   1.00E-03");
  char buffer[4];
  EXPECT_EQ(host().text_window_read_line(w, buffer, 4), 0);
  host().text_window_close(w, false);
  host().text_window_write(1024, "\r\nStop - Program terminated.\r\n");
  EXPECT_EQ(out(),
            "--- EXECUÇÃO DOS CÁLCULOS ---\n"
            " Pontos já processados = 33 de  33\n\n\n"
            "    Tempo de processamento (s) =   1.00E-03\n"
            "\nStop - Program terminated.\n");
}

TEST_F(ConsoleHostTest, TypedTextReachesTheProgramInItsCodePage) {
  type("razão\n");
  char buffer[16];
  const int n = host().text_window_read_line(1024, buffer, 16);
  EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(n)), "raz\xE3o");
}

TEST_F(ConsoleHostTest, SelectFileAsksUntilANameIsGiven) {
  type("   \n\nresults.txt\n");
  EXPECT_EQ(host().select_file(8), "results.txt");
  const std::string prompt = "File name missing or blank - please enter file name\nUNIT 8? ";
  EXPECT_EQ(out(), prompt + "\n" + prompt + "\n" + prompt + "\n");
}

TEST_F(ConsoleHostTest, MessagesGoToStandardError) {
  EXPECT_EQ(host().message_box("Note ", "first\r\nsecond", MessageIcon::information,
                               MessageButtons::ok, MessageAnswer::ok),
            MessageAnswer::ok);
  EXPECT_EQ(err(), "Note: first\nsecond\n");
  EXPECT_EQ(out(), "");
}

TEST_F(ConsoleHostTest, QuestionsTakeTheirAnswerFromTheInput) {
  type("maybe\nS\n\nn\n");
  EXPECT_EQ(host().message_box("File Open Error", "Terminate Program?", MessageIcon::warning,
                               MessageButtons::yes_no, MessageAnswer::no),
            MessageAnswer::yes);
  EXPECT_EQ(
      host().message_box("Q", "?", MessageIcon::warning, MessageButtons::yes_no, MessageAnswer::no),
      MessageAnswer::no);
  EXPECT_EQ(host().message_box("Q", "?", MessageIcon::warning, MessageButtons::yes_no,
                               MessageAnswer::yes),
            MessageAnswer::no);
  EXPECT_EQ(err(),
            "File Open Error: Terminate Program?\n(y/N)? \n(y/N)? \n"
            "Q: ?\n(y/N)? \nQ: ?\n(Y/n)? \n");
}

TEST_F(ConsoleHostTest, RunTimeErrorIsWrittenInTheConsoleForm) {
  RuntimeErrorReport report;
  report.number = 6420;
  report.tag = ": OPEN(";
  report.tag_opens_paren = true;
  report.file_name = "zuna.dat";
  report.message = "file not found";
  const int w = host().text_window_open("W");
  host().text_window_write(w, "half a line");
  host().report_runtime_error(report);
  // The console form, its line ends as plain newlines.
  std::string expected;
  for (char ch : report.console_text()) {
    if (ch != '\r') {
      expected += ch;
    }
  }
  EXPECT_EQ(err(), expected);
  EXPECT_NE(expected.find("run-time error F6420: OPEN(zuna.dat)"), std::string::npos);
  EXPECT_EQ(out(), "--- W ---\nhalf a line\n");
}

TEST_F(ConsoleHostTest, DialogIsAFormDrivenByTypedLines) {
  type("1034\n?\nhello\n\n");
  FakeController c;
  c.on_open = [](DialogWindow& w) { w.set_check(1013, true); };
  EXPECT_EQ(host().run_dialog_modal(find_dialog_template(104), c), 1);
  EXPECT_EQ(c.commands, (std::vector<std::pair<int, int>>{{1034, kBnClicked}, {1, kBnClicked}}));
  const std::string o = out();
  // Shown at the start and again for "?", with 1034 chosen the second time.
  EXPECT_EQ(o.find("=== gráficos ==="), 0u);
  EXPECT_NE(o.find("1013 (*) Temperatura"), std::string::npos);
  EXPECT_NE(o.find("1034 (*) Encerrar o Programa"), o.npos);
  EXPECT_LT(o.find("1034 ( ) Encerrar"), o.find("1034 (*) Encerrar"));
  EXPECT_NE(err().find("zuna4c: type ID=text"), std::string::npos);
}

TEST_F(ConsoleHostTest, TemplateThatDoesNotParseCannotBeShown) {
  FakeController c;
  const std::uint8_t truncated[] = {0xC0, 0x08, 0xC8};
  EXPECT_EQ(host().run_dialog_modal(truncated, c), -1);
  EXPECT_TRUE(c.commands.empty());
}

}  // namespace
}  // namespace zuna
