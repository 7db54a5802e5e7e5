// The windowed host with a computation on its own thread: text windows
// opened, written, read and closed across the threads, the pause gate, the
// selection's pause, the end-of-run question and the ways out when the frame
// closes. The GUI thread is the test's; the computation is a worker thread
// that calls the Host operations as the run-time does.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <atomic>
#include <future>
#include <mutex>

#include "fio/fio.h"
#include "host/qt/command-table.h"
#include "host/qt/commands.h"
#include "host/qt/cp1252.h"
#include "host/qt/frame-menus.h"
#include "host/qt/help-viewer.h"
#include "host/qt/qt-host.h"
#include "qt-robot.h"

namespace zuna {
namespace {

using testing::robot_clear;
using testing::robot_idle;
using testing::robot_then;
using namespace std::chrono_literals;

constexpr int kWait = 30000;  // [ms] generous: the suites also run under ThreadSanitizer

class QtHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FrameOptions options;
    options.screen_size = QSize(1024, 768);
    options.screen_depth = 24;
    options.settings_file = dir_.filePath(QStringLiteral("zuna4.ini"));
    host_ = std::make_unique<QtHost>(options);
    host_->set_end_of_run_mode(EndOfRunMode::keep);
    frame().show();
  }

  void TearDown() override {
    robot_clear();
    frame().close();  // wakes every worker that still waits
    for (auto& worker : workers_) {
      worker.wait();
    }
    host_.reset();
    testing::reset_event_loops();
  }

  FrameWindow& frame() { return host_->frame(); }
  QtHost& host() { return *host_; }

  // Runs fn on a new thread, as the computation would.
  std::shared_future<void> worker(std::function<void()> fn) {
    std::shared_future<void> f = std::async(std::launch::async, std::move(fn)).share();
    workers_.push_back(f);
    return f;
  }
  static bool done(const std::shared_future<void>& f) {
    return f.wait_for(0ms) == std::future_status::ready;
  }
  bool wait_done(const std::shared_future<void>& f) {
    return QTest::qWaitFor([&] { return done(f); }, kWait);
  }

  std::string row(int number, int r) {
    std::shared_ptr<TextWindowState> state = host_->frame().text_window(number)->state();
    std::lock_guard lock(state->drawing);
    std::string text = state->screen.row_text(r);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
  }

  QTemporaryDir dir_;
  std::unique_ptr<QtHost> host_;
  std::vector<std::shared_future<void>> workers_;
};

QMessageBox* modal_box() { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }

// Once a message box is up, hands it to `act`, which answers it.
void on_next_box(std::function<void(QMessageBox&)> act) {
  robot_then([act] {
    QMessageBox* box = modal_box();
    if (box == nullptr) {
      return false;
    }
    act(*box);
    return true;
  });
}

// Once a message box is up, keeps its text (and caption) and accepts it.
void accept_next_box(QString& said, QString* caption = nullptr) {
  on_next_box([&said, caption](QMessageBox& box) {
    said = box.text();
    if (caption != nullptr) {
      *caption = box.windowTitle();
    }
    box.accept();
  });
}

TEST_F(QtHostTest, DefaultWindowStaysHiddenUntilItsFirstOutput) {
  TextWindow* window = frame().text_window(1024);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Graphic1");
  EXPECT_TRUE(window->isHidden());
  EXPECT_EQ(frame().active_text_window(), nullptr);
  EXPECT_EQ(host().default_window(), 1024);

  int written = -1;
  auto w =
      worker([&] { written = host().text_window_write(1024, "Stop - Program terminated.\r\n"); });
  ASSERT_TRUE(wait_done(w));
  EXPECT_EQ(written, 28);
  EXPECT_FALSE(window->isHidden());
  EXPECT_EQ(frame().active_text_window(), window);
  EXPECT_EQ(row(1024, 1), "Stop - Program terminated.");
  EXPECT_EQ(host().current_output_window(), 1024);
  // The view shrinks to the virtual screen where that is smaller.
  EXPECT_LE(window->view()->viewport()->width(), 1024);
  EXPECT_LE(window->view()->viewport()->height(), 768);
}

TEST_F(QtHostTest, FortyFirstWindowIsRefusedAndAFreedSlotIsReused) {
  std::vector<int> numbers;
  auto w = worker([&] {
    for (int i = 0; i < 40; ++i) {
      numbers.push_back(host().text_window_open("W" + std::to_string(i)));
    }
  });
  ASSERT_TRUE(wait_done(w));
  ASSERT_EQ(numbers.size(), 40u);
  for (int i = 0; i < 39; ++i) {
    EXPECT_EQ(numbers[static_cast<std::size_t>(i)], 1025 + i);  // 1024 is the default window
  }
  EXPECT_EQ(numbers[39], -1);
  int again = 0;
  auto v = worker([&] {
    host().text_window_close(1030, false);
    again = host().text_window_open("again");
  });
  ASSERT_TRUE(wait_done(v));
  EXPECT_EQ(again, 1030);
  EXPECT_EQ(frame().text_window(1030)->title(), "again");
}

TEST_F(QtHostTest, CloseWithoutKeepRemovesTheWindowAndWithKeepMakesItClosable) {
  int gone = 0, write_after = 0;
  auto w = worker([&] {
    gone = host().text_window_open("GONE");
    host().text_window_write(gone, "x");
  });
  ASSERT_TRUE(wait_done(w));
  QPointer<TextWindow> gone_window(frame().text_window(gone));
  auto close = worker([&] {
    host().text_window_close(gone, false);
    write_after = host().text_window_write(gone, "y");
  });
  ASSERT_TRUE(wait_done(close));
  EXPECT_EQ(write_after, -1);
  EXPECT_EQ(frame().text_window(gone), nullptr);
  EXPECT_TRUE(QTest::qWaitFor([&] { return gone_window.isNull(); }, kWait));

  int kept = 0, write_kept = 0;
  auto keep = worker([&] {
    kept = host().text_window_open("KEPT");
    host().text_window_write(kept, "z");
    host().text_window_close(kept, true);
    write_kept = host().text_window_write(kept, "w");
  });
  ASSERT_TRUE(wait_done(keep));
  EXPECT_EQ(kept, gone);  // the freed slot
  TextWindow* window = frame().text_window(kept);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "KEPT-Closed");
  EXPECT_FALSE(window->isHidden());  // it stays on screen
  EXPECT_EQ(write_kept, 1);          // the slot is still taken
  QPointer<TextWindow> guard(window);
  EXPECT_TRUE(window->close());  // from now on the user may close it
  EXPECT_TRUE(QTest::qWaitFor([&] { return guard.isNull(); }, kWait));
  EXPECT_EQ(host().text_window_write(kept, "v"), -1);
}

// Every new window opens wholly inside the client area, however many the
// calculations before it opened, kept or closed: the progress window of a
// second calculation among the windows of the first.
TEST_F(QtHostTest, EachNewWindowOpensInsideTheClientArea) {
  frame().resize(900, 700);
  std::vector<int> shown;
  for (int calculation = 0; calculation < 4; ++calculation) {
    for (const char* title : {"APRESENTACAO", "EXECUCAO", "FOGUETE"}) {
      int number = 0;
      auto w = worker([&] {
        number = host().text_window_open(title);
        host().text_window_write(number, "x");
      });
      ASSERT_TRUE(wait_done(w));
      TextWindow* window = frame().text_window(number);
      ASSERT_NE(window, nullptr);
      const QRect area = frame().client_area()->viewport()->rect();
      EXPECT_TRUE(area.contains(window->geometry()))
          << title << " of calculation " << calculation + 1 << " at (" << window->x() << ", "
          << window->y() << ") " << window->width() << " x " << window->height() << " in "
          << area.width() << " x " << area.height();
      shown.push_back(number);
    }
    // The first two close with their units; the third stays, as the
    // rocket window does.
    auto c = worker([&] {
      host().text_window_close(shown[shown.size() - 3], false);
      host().text_window_close(shown[shown.size() - 2], false);
    });
    ASSERT_TRUE(wait_done(c));
  }
}

TEST_F(QtHostTest, CloseBoxDoesNothingWhileTheUnitIsOpen) {
  int number = 0;
  auto w = worker([&] {
    number = host().text_window_open("OPEN");
    host().text_window_write(number, "text");
  });
  ASSERT_TRUE(wait_done(w));
  TextWindow* window = frame().text_window(number);
  EXPECT_FALSE(window->close());
  QTest::qWait(20);
  EXPECT_EQ(frame().text_window(number), window);
  EXPECT_FALSE(window->isHidden());
}

TEST_F(QtHostTest, ReadOfTenAfterFifteenTypedLeavesFiveForTheNextReadWithoutWaiting) {
  int number = 0;
  auto open = worker([&] { number = host().text_window_open("READ"); });
  ASSERT_TRUE(wait_done(open));
  char first[32] = {}, second[32] = {};
  int got_first = -2, got_second = -2;
  auto reader = worker([&] {
    got_first = host().text_window_read_line(number, first, 10);
    got_second = host().text_window_read_line(number, second, 10);
  });
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return frame().input().pending_read_window() == number; }, kWait));
  EXPECT_EQ(frame().message_pane(), "Input pending in READ");
  EXPECT_TRUE(frame().menus().command_action(kCmdInput)->isEnabled());
  TextView* view = frame().text_window(number)->view();
  QTest::keyClicks(view, "abcdefghijklmno");
  EXPECT_EQ(row(number, 1), "abcdefghijklmno");  // echoed as typed
  QTest::keyClick(view, Qt::Key_Return);
  ASSERT_TRUE(wait_done(reader));
  EXPECT_EQ(got_first, 10);
  EXPECT_EQ(std::string(first, 10), "abcdefghij");
  EXPECT_EQ(got_second, 5);
  EXPECT_EQ(std::string(second, 5), "klmno");
  EXPECT_EQ(frame().message_pane(), "");
  EXPECT_FALSE(frame().menus().command_action(kCmdInput)->isEnabled());
  EXPECT_EQ(frame().input().pending_read_window(), 0);
}

TEST_F(QtHostTest, TypingBeepsWithoutAReadPastTheLineAndAtTheTopLeft) {
  int number = 0;
  auto open = worker([&] {
    number = host().text_window_open("KEYS");
    host().text_window_write(number, "");
  });
  ASSERT_TRUE(wait_done(open));
  TextView* view = frame().text_window(number)->view();
  int beeps = frame().input().beep_count();
  QTest::keyClick(view, Qt::Key_A);  // no read waits
  EXPECT_EQ(frame().input().beep_count(), beeps + 1);

  char line[200] = {};
  int got = -2;
  auto reader = worker([&] {
    host().text_window_write(number, "\r");  // back to row 1, column 1
    got = host().text_window_read_line(number, line, 200);
  });
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return frame().input().pending_read_window() == number; }, kWait));
  beeps = frame().input().beep_count();
  QTest::keyClick(view, Qt::Key_Backspace);  // nothing typed, position at row 1, column 1
  EXPECT_EQ(frame().input().beep_count(), beeps + 1);
  QTest::keyClicks(view, QString(128, QLatin1Char('q')));
  EXPECT_EQ(frame().input().beep_count(), beeps + 1);
  QTest::keyClick(view, Qt::Key_Z);  // the 129th character
  EXPECT_EQ(frame().input().beep_count(), beeps + 2);
  QTest::keyClick(view, Qt::Key_Backspace);
  QTest::keyClick(view, Qt::Key_Tab);  // 127 held: no blank fits below 126
  EXPECT_EQ(frame().input().beep_count(), beeps + 3);
  QTest::keyClick(view, Qt::Key_Return);
  ASSERT_TRUE(wait_done(reader));
  EXPECT_EQ(got, 127);
  EXPECT_EQ(std::string(line, 127), std::string(127, 'q'));
  // The row holds 127 q and the erased 128th; the line's end is not echoed.
  EXPECT_EQ(row(number, 1), std::string(127, 'q'));
}

TEST_F(QtHostTest, PausedWhileReadingTypedKeysBeep) {
  int number = 0;
  char line[8] = {};
  auto reader = worker([&] {
    number = host().text_window_open("P");
    host().text_window_read_line(number, line, 8);
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return frame().input().pending_read_window() != 0; }, kWait));
  TextView* view = frame().text_window(frame().input().pending_read_window())->view();
  frame().menus().run_command(kCmdPause);
  int beeps = frame().input().beep_count();
  QTest::keyClick(view, Qt::Key_A);
  EXPECT_EQ(frame().input().beep_count(), beeps + 1);
  frame().menus().run_command(kCmdResume);
  QTest::keyClick(view, Qt::Key_B);
  QTest::keyClick(view, Qt::Key_Return);
  ASSERT_TRUE(wait_done(reader));
  EXPECT_EQ(line[0], 'b');
}

// A computation that writes one character per step, passing the gate first.
struct Writer {
  std::atomic<int> count{0};
  std::atomic<bool> stop{false};
};

TEST_F(QtHostTest, PauseStopsTheComputationAndResumeContinuesIt) {
  int number = 0;
  auto open = worker([&] { number = host().text_window_open("SWEEP"); });
  ASSERT_TRUE(wait_done(open));
  Writer writer;
  auto w = worker([&] {
    while (!writer.stop) {
      host().pause_gate();
      host().text_window_write(number, "x");
      ++writer.count;
    }
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return writer.count > 20; }, kWait));
  QTest::keyClick(frame().text_window(number)->view(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(frame().run_state_pane(), "Paused");
  EXPECT_EQ(frame().menus().command_action(kCmdPause)->text(), "&Resume\tCtrl+Q");
  QTest::qWait(50);  // a write that had passed the gate ends
  int held = writer.count;
  QTest::qWait(300);
  EXPECT_EQ(writer.count, held);
  QTest::keyClick(frame().text_window(number)->view(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(frame().run_state_pane(), "Running");
  EXPECT_EQ(frame().menus().command_action(kCmdPause)->text(), "&Pause\tCtrl+S");
  EXPECT_TRUE(QTest::qWaitFor([&] { return writer.count > held + 20; }, kWait));
  writer.stop = true;
  ASSERT_TRUE(wait_done(w));
}

TEST_F(QtHostTest, SelectingTextPausesAndCopyPutsItOnTheClipboardAndResumes) {
  int number = 0;
  auto w = worker([&] {
    number = host().text_window_open("SEL");
    host().text_window_write(number, "first line\r\nsecond line");
  });
  ASSERT_TRUE(wait_done(w));
  TextWindow* window = frame().text_window(number);
  EXPECT_FALSE(frame().menus().command_action(kCmdCopy)->isEnabled());
  frame().menus().run_command(kCmdSelectText);
  EXPECT_EQ(host().gate().state(), RunState::paused);
  EXPECT_EQ(window->windowTitle(), "Mark Text - SEL");
  EXPECT_FALSE(frame().menus().command_action(kCmdCopy)->isEnabled());
  // Drag from the "f" of the first row to the "c" of the second.
  QTest::mousePress(window->view()->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
  QTest::mouseMove(window->view()->viewport(), QPoint(8 * 3 + 2, 16 + 2));
  QTest::mouseRelease(window->view()->viewport(), Qt::LeftButton, {}, QPoint(8 * 3 + 2, 16 + 2));
  EXPECT_EQ(window->windowTitle(), "Select Text - SEL");
  EXPECT_TRUE(frame().menus().command_action(kCmdCopy)->isEnabled());
  QTest::keyClick(window->view(), Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "firs\nseco");
  EXPECT_EQ(host().gate().state(), RunState::running);
  EXPECT_EQ(window->windowTitle(), "SEL");
}

TEST_F(QtHostTest, PauseChosenDuringASelectionOutlastsTheCopy) {
  auto w = worker([&] { host().text_window_write(1024, "graphics"); });
  ASSERT_TRUE(wait_done(w));
  frame().menus().run_command(kCmdSelectGraphics);
  EXPECT_EQ(frame().text_window(1024)->windowTitle(), "Mark Graphics - Graphic1");
  frame().menus().run_command(kCmdPause);
  frame().menus().run_command(kCmdSelectAll);
  EXPECT_EQ(frame().text_window(1024)->windowTitle(), "Select Graphics in Graphic1");
  frame().menus().run_command(kCmdCopy);
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(1024, 768));
  EXPECT_EQ(host().gate().state(), RunState::paused);
  EXPECT_EQ(frame().run_state_pane(), "Paused");
  frame().menus().run_command(kCmdResume);
  EXPECT_EQ(host().gate().state(), RunState::running);
}

TEST_F(QtHostTest, EscapeEndsASelectionAndResumes) {
  auto w = worker([&] { host().text_window_write(1024, "x"); });
  ASSERT_TRUE(wait_done(w));
  frame().menus().run_command(kCmdSelectText);
  QTest::keyClick(frame().text_window(1024)->view(), Qt::Key_Escape);
  EXPECT_FALSE(frame().text_window(1024)->selecting());
  EXPECT_EQ(host().gate().state(), RunState::running);
}

TEST_F(QtHostTest, PasteFeedsTheClipboardLineByLine) {
  int number = 0;
  auto open = worker([&] {
    number = host().text_window_open("PASTE");
    host().text_window_write(number, "");
  });
  ASSERT_TRUE(wait_done(open));
  QGuiApplication::clipboard()->setText("first\r\nsecond\n");
  frame().menus().run_command(kCmdPaste);  // no read yet: the paste waits
  EXPECT_FALSE(frame().menus().command_action(kCmdPaste)->isEnabled());
  EXPECT_TRUE(frame().menus().command_action(kCmdClearPaste)->isEnabled());
  char a[16] = {}, b[16] = {};
  int na = 0, nb = 0;
  auto reader = worker([&] {
    na = host().text_window_read_line(number, a, 16);
    nb = host().text_window_read_line(number, b, 16);
  });
  ASSERT_TRUE(wait_done(reader));
  EXPECT_EQ(std::string(a, static_cast<std::size_t>(na)), "first");
  EXPECT_EQ(std::string(b, static_cast<std::size_t>(nb)), "second");
  EXPECT_FALSE(frame().menus().command_action(kCmdClearPaste)->isEnabled());
}

TEST_F(QtHostTest, ClosingTheFrameWakesABlockedReaderAndAPausedComputation) {
  int number = 0;
  auto open = worker([&] { number = host().text_window_open("R"); });
  ASSERT_TRUE(wait_done(open));
  std::atomic<int> exits{0};
  char line[4];
  auto reader = worker([&] {
    try {
      host().text_window_read_line(number, line, 4);
    } catch (const ProgramExit&) {
      ++exits;
    }
  });
  frame().menus().run_command(kCmdPause);
  auto paused = worker([&] {
    try {
      host().pause_gate();
    } catch (const ProgramExit&) {
      ++exits;
    }
  });
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return frame().input().pending_read_window() == number; }, kWait));
  QTest::qWait(20);
  frame().menus().run_command(kCmdExit);
  ASSERT_TRUE(wait_done(reader));
  ASSERT_TRUE(wait_done(paused));
  EXPECT_EQ(exits, 2);
  EXPECT_FALSE(frame().isVisible());
  // Later requests are refused at once.
  auto late = worker([&] { EXPECT_THROW(host().text_window_open("late"), ProgramExit); });
  ASSERT_TRUE(wait_done(late));
}

TEST_F(QtHostTest, EndOfRunAsksWithNoAsTheDefaultAndKeepsTheWindows) {
  host().set_end_of_run_mode(EndOfRunMode::ask);
  QString caption, text;
  bool no_is_default = false;
  bool warning = false;
  on_next_box([&](QMessageBox& box) {
    caption = box.windowTitle();
    text = box.text();
    warning = box.icon() == QMessageBox::Warning;
    no_is_default =
        static_cast<QAbstractButton*>(box.defaultButton()) == box.button(QMessageBox::No);
    QTest::keyClick(&box, Qt::Key_Return);  // Enter answers No
  });
  auto run = worker([&] { host().end_of_run(1); });
  ASSERT_TRUE(wait_done(run));
  EXPECT_EQ(caption, "zuna4");
  EXPECT_EQ(text, "Program Terminated with exit code 1\nExit Window?");
  EXPECT_TRUE(warning);
  EXPECT_TRUE(no_is_default);
  EXPECT_TRUE(frame().isVisible());
  EXPECT_EQ(frame().run_state_pane(), "Finished");
  EXPECT_EQ(host().exit_code(), 1);
  // Pause after the end changes nothing.
  QString state_item = frame().menus().command_action(kCmdPause)->text();
  frame().menus().run_command(kCmdPause);
  EXPECT_EQ(frame().run_state_pane(), "Finished");
  EXPECT_EQ(frame().menus().command_action(kCmdPause)->text(), state_item);
  // The windows stay until Exit, which ends with the program's code.
  frame().menus().run_command(kCmdExitReduced);
  EXPECT_FALSE(frame().isVisible());
  EXPECT_EQ(host().finish(), 1);
}

TEST_F(QtHostTest, YesAtTheEndClosesTheFrame) {
  host().set_end_of_run_mode(EndOfRunMode::ask);
  on_next_box([&](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
  host().start([this] { host().text_window_write(1024, "x"); });  // returns: exit code 0
  ASSERT_TRUE(QTest::qWaitFor([&] { return host().computation_ended(); }, kWait));
  EXPECT_FALSE(frame().isVisible());
  EXPECT_EQ(host().finish(), 0);
}

TEST_F(QtHostTest, ExitWhileTheComputationRunsEndsItWithoutAQuestion) {
  host().set_end_of_run_mode(EndOfRunMode::ask);
  std::atomic<int> steps{0};
  host().start([&] {
    for (;;) {
      host().pause_gate();
      host().text_window_write(1024, "tick ");
      ++steps;
    }
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return steps > 10; }, kWait));
  QTest::keyClick(frame().text_window(1024)->view(), Qt::Key_C, Qt::ControlModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return host().computation_ended(); }, kWait));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(host().finish(), 0);
}

TEST_F(QtHostTest, MenuBarFollowsTheActiveTextWindow) {
  QList<QAction*> bar = frame().menuBar()->actions();
  auto visible_titles = [&] {
    QStringList titles;
    for (QAction* a : frame().menuBar()->actions()) {
      if (a->isVisible()) {
        titles << a->text();
      }
    }
    return titles;
  };
  EXPECT_EQ(visible_titles(), QStringList({"&File"}));
  EXPECT_EQ(frame().menus().command_action(kCmdExitReduced)->text(), "E&xit");
  auto w = worker([&] { host().text_window_write(1024, "x"); });
  ASSERT_TRUE(wait_done(w));
  EXPECT_EQ(visible_titles(),
            QStringList({"&File", "&Edit", "&View", "&State", "&Window", "&Help"}));
  EXPECT_EQ(frame().menus().command_action(kCmdExit)->text(), "E&xit\tCtrl+C");
  EXPECT_EQ(frame().menus().command_action(kCmdCopy)->text(), "&Copy\tCtrl+Ins");
  EXPECT_EQ(frame().menus().command_action(kCmdFullScreen)->text(), "&Full Screen\tAlt+Enter");
  EXPECT_FALSE(frame().menus().command_action(kCmdInput)->isEnabled());
  EXPECT_FALSE(frame().menus().command_action(kCmdClearPaste)->isEnabled());
  // Size To Fit is the active window's own check mark.
  EXPECT_FALSE(frame().menus().command_action(kCmdSizeToFit)->isChecked());
  frame().menus().run_command(kCmdSizeToFit);
  EXPECT_TRUE(frame().menus().command_action(kCmdSizeToFit)->isChecked());
  EXPECT_TRUE(frame().text_window(1024)->view()->size_to_fit());
  EXPECT_TRUE(frame().menus().command_action(kCmdStatusBar)->isChecked());
  frame().menus().run_command(kCmdStatusBar);
  EXPECT_FALSE(frame().menus().command_action(kCmdStatusBar)->isChecked());
  EXPECT_TRUE(frame().statusBar()->isHidden());
}

TEST_F(QtHostTest, KeysScrollTheViewOverTheVirtualScreen) {
  int number = 0;
  auto w = worker([&] {
    number = host().text_window_open("SCROLL");
    host().text_window_write(number, "x");
  });
  ASSERT_TRUE(wait_done(w));
  TextWindow* window = frame().text_window(number);
  window->resize(300, 200);  // smaller than the 1024 x 768 virtual screen
  TextView* view = window->view();
  EXPECT_EQ(view->view_origin(), QPoint(0, 0));
  QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
  QPoint corner = view->view_origin();
  EXPECT_EQ(corner.x(), 1024 - view->viewport()->width());
  EXPECT_EQ(corner.y(), 768 - view->viewport()->height());
  QTest::keyClick(view, Qt::Key_Up);
  EXPECT_EQ(view->view_origin().y(), corner.y() - 16);  // one row
  QTest::keyClick(view, Qt::Key_Left);
  EXPECT_EQ(view->view_origin().x(), corner.x() - 8);  // one column
  QTest::keyClick(view, Qt::Key_Home);
  EXPECT_EQ(view->view_origin().x(), 0);
  EXPECT_EQ(view->view_origin().y(), corner.y() - 16);  // Home alone keeps the row
  QTest::keyClick(view, Qt::Key_PageUp);
  EXPECT_EQ(view->view_origin().y(), std::max(0, corner.y() - 16 - view->viewport()->height()));
  QTest::keyClick(view, Qt::Key_PageDown, Qt::ControlModifier);  // a page to the right
  EXPECT_EQ(view->view_origin().x(), std::min(corner.x(), view->viewport()->width()));
  QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(view->view_origin(), QPoint(0, 0));
}

TEST_F(QtHostTest, AWaitingReadBringsTheCaretsLineIntoViewAndWritingDoesNot) {
  int number = 0;
  auto open = worker([&] { number = host().text_window_open("CARET"); });
  ASSERT_TRUE(wait_done(open));
  TextWindow* window = frame().text_window(number);
  window->resize(300, 200);  // a few of the virtual screen's 48 rows
  TextView* view = window->view();
  auto write_lines = [&](int count) {
    auto w = worker([&, count] {
      for (int k = 0; k < count; ++k) {
        host().text_window_write(number, "line\r\n");
      }
    });
    ASSERT_TRUE(wait_done(w));
  };
  write_lines(30);  // the caret is on row 31, far below the view
  EXPECT_EQ(view->view_origin(), QPoint(0, 0));

  char line[8] = {};
  auto reader = worker([&] { host().text_window_read_line(number, line, 8); });
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return frame().input().pending_read_window() == number; }, kWait));
  // Just far enough that row 31 (pixels 480..495) is the last one shown.
  EXPECT_EQ(view->view_origin(), QPoint(0, 31 * 16 - view->viewport()->height()))
      << view->viewport()->height();
  QTest::keyClick(view, Qt::Key_Return);
  ASSERT_TRUE(wait_done(reader));

  // Writing leaves the view where the read put it, and a read whose caret
  // is already in view leaves it there too.
  const QPoint after_read = view->view_origin();
  write_lines(1);
  EXPECT_EQ(view->view_origin(), after_read);
  QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
  write_lines(10);
  EXPECT_EQ(view->view_origin(), QPoint(0, 0));
  QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClick(view, Qt::Key_Home);  // the bottom rows, from column 1
  const QPoint bottom = view->view_origin();
  auto second = worker([&] { host().text_window_read_line(number, line, 8); });
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return frame().input().pending_read_window() == number; }, kWait));
  EXPECT_EQ(view->view_origin(), bottom);  // the caret, near row 42, was in view
  QTest::keyClick(view, Qt::Key_Return);
  ASSERT_TRUE(wait_done(second));
}

TEST_F(QtHostTest, WindowMenuListsTheWindowsAndInputActivatesTheReadingOne) {
  int first = 0, second = 0;
  auto w = worker([&] {
    first = host().text_window_open("ONE");
    host().text_window_write(first, "1");
    second = host().text_window_open("TWO");
    host().text_window_write(second, "2");
  });
  ASSERT_TRUE(wait_done(w));
  EXPECT_EQ(frame().active_window_number(), second);
  QMenu* window_menu = nullptr;
  for (QAction* a : frame().menuBar()->actions()) {
    if (a->text() == "&Window") {
      window_menu = a->menu();
    }
  }
  ASSERT_NE(window_menu, nullptr);
  emit window_menu->aboutToShow();
  QStringList items;
  for (QAction* a : window_menu->actions()) {
    if (!a->isSeparator()) {
      items << a->text();
    }
  }
  EXPECT_EQ(items, QStringList({"&Cascade", "&Tile", "&Arrange Icons", "&Input", "C&lear Paste",
                                "&Status Bar", "&1 ONE", "&2 TWO"}));
  char line[4];
  auto reader = worker([&] { host().text_window_read_line(first, line, 4); });
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return frame().input().pending_read_window() == first; }, kWait));
  frame().activate_window(second);
  EXPECT_EQ(frame().active_window_number(), second);
  frame().menus().run_command(kCmdInput);
  EXPECT_EQ(frame().active_window_number(), first);
  QTest::keyClick(frame().text_window(first)->view(), Qt::Key_Return);
  ASSERT_TRUE(wait_done(reader));
}

TEST_F(QtHostTest, F1InAMenuShowsTheItemsTopicOrSaysThereIsNone) {
  auto w = worker([&] { host().text_window_write(1024, "x"); });
  ASSERT_TRUE(wait_done(w));
  QMenu* edit = frame().menus().command_action(kCmdCopy)->associatedObjects().isEmpty()
                    ? nullptr
                    : qobject_cast<QMenu*>(
                          frame().menus().command_action(kCmdCopy)->associatedObjects().first());
  ASSERT_NE(edit, nullptr);
  QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
  QApplication::sendEvent(edit, &f1);
  EXPECT_TRUE(frame().menus().help_mode());
  frame().menus().command_action(kCmdSelectText)->trigger();
  EXPECT_FALSE(frame().menus().help_mode());
  EXPECT_FALSE(frame().text_window(1024)->selecting());  // help, not the command
  ASSERT_NE(frame().menus().help_viewer(), nullptr);
  EXPECT_TRUE(frame().menus().help_viewer()->isVisible());

  QString said;
  accept_next_box(said);
  QApplication::sendEvent(edit, &f1);
  frame().menus().command_action(kCmdAbout)->trigger();  // the Help menu's items have no topic
  EXPECT_EQ(said, "Help not available for menu item");
}

TEST_F(QtHostTest, SaveWritesTheWholeVirtualScreenAsABitmap) {
  auto w = worker([&] { host().text_window_write(1024, "saved"); });
  ASSERT_TRUE(wait_done(w));
  QString path = dir_.filePath(QStringLiteral("screen"));
  QStringList filters;
  testing::robot_accept_file_dialog([&](QFileDialog& dialog) {
    filters = dialog.nameFilters();
    dialog.selectFile(path);
  });
  frame().menus().run_command(kCmdSave);
  EXPECT_EQ(filters, QStringList({"Bitmap Files(*.bmp)", "All Files(*.*)"}));
  QImage saved(path + ".bmp");
  EXPECT_EQ(saved.size(), QSize(1024, 768));
  EXPECT_EQ(saved.pixel(1, 1), qRgb(0, 0, 0));
}

// Without a default printer, Print offers a PDF file: declined, the old
// message says why nothing was printed; accepted, the page goes to the file.
TEST_F(QtHostTest, PrintWithoutADefaultPrinterOffersAPdfFile) {
  if (!QPrinterInfo::defaultPrinter().isNull()) {
    GTEST_SKIP() << "a default printer is installed";
  }
  auto w = worker([&] { host().text_window_write(1024, "print"); });
  ASSERT_TRUE(wait_done(w));
  QString offer, said;
  on_next_box([&offer](QMessageBox& box) {
    offer = box.text();
    box.button(QMessageBox::No)->click();
  });
  accept_next_box(said);
  frame().menus().run_command(kCmdPrint);
  EXPECT_EQ(offer, "No Default Printer\n\nWrite the pages to a PDF file instead?");
  EXPECT_EQ(said, "No Default Printer");

  const QString path = dir_.filePath(QStringLiteral("screen"));
  on_next_box([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
  testing::robot_accept_file_dialog([&](QFileDialog& dialog) { dialog.selectFile(path); });
  frame().menus().run_command(kCmdPrint);
  QFile pdf(path + ".pdf");
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.read(5) == "%PDF-");
}

TEST_F(QtHostTest, HostErrorsAndRunTimeErrorsAreShownInTheirBoxes) {
  QString caption, text;
  accept_next_box(text, &caption);
  frame().show_host_error(HostErrorLevel::error, kHostInternalError, "/somewhere/frame-window.cpp",
                          42);
  EXPECT_EQ(caption, "Corvane Error");
  EXPECT_EQ(text, "Internal Error - unexpected error\nfile \"frame-window.cpp\", line 42");

  RuntimeErrorReport report;
  report.number = 6416;
  report.tag = ": OPEN(";
  report.tag_opens_paren = true;
  report.message = "file not found";
  accept_next_box(text, &caption);
  auto w = worker([&] { host().report_runtime_error(report); });
  ASSERT_TRUE(wait_done(w));
  EXPECT_EQ(caption, "run-time error ");
  EXPECT_EQ(text, from_cp1252(report.box_text()).replace("\r\n", "\n"));
}

TEST_F(QtHostTest, FatalHostErrorEndsWithMinusOne) {
  on_next_box([&](QMessageBox& box) {
    EXPECT_EQ(box.windowTitle(), "Corvane Fatal Error");
    EXPECT_TRUE(box.text().startsWith("Possible internal inconsistency, file \""));
    box.accept();
  });
  frame().show_host_error(HostErrorLevel::fatal, kHostInconsistency, __FILE__, __LINE__);
  EXPECT_FALSE(frame().isVisible());
  EXPECT_EQ(host().finish(), -1);
}

TEST_F(QtHostTest, CancelledFileSelectionAnswersNothingAndAsksNothing) {
  QString title;
  robot_then([&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      return false;
    }
    title = dialog->windowTitle();
    dialog->reject();
    return true;
  });
  std::optional<std::string> chosen = std::string("unset");
  auto w = worker([&] { chosen = host().select_file(7); });
  ASSERT_TRUE(wait_done(w));
  EXPECT_EQ(title, "Open: Select File for Unit 7");
  EXPECT_FALSE(chosen.has_value());
  EXPECT_TRUE(robot_idle());
}

// A unit written without a name and without command-line arguments: the
// file dialog, and after each cancel the run-time's one question. No brings
// the dialog back, Yes ends the program with exit code 1.
TEST_F(QtHostTest, CancelledFileSelectionIsQuestionedOnceAndYesEndsTheProgram) {
  int dialogs = 0;
  QStringList boxes;
  robot_then([&] {  // answers every modal window until the test ends
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      ++dialogs;
      dialog->reject();
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      boxes << box->windowTitle() + "|" + box->text();
      EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::No));
      box->button(boxes.size() == 1 ? QMessageBox::No : QMessageBox::Yes)->click();
    }
    return false;
  });
  host().start([this] {
    runtime_start(host(), 0, nullptr);
    begin_write(7, "(A)", -1);
    put_chars("never", 5);
    end_write();
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return host().computation_ended(); }, kWait));
  const QString question = "File Open Error|A File Must be Selected\n\nTerminate Program?";
  EXPECT_EQ(dialogs, 2);
  EXPECT_EQ(boxes, QStringList({question, question}));
  EXPECT_EQ(host().exit_code(), 1);
  EXPECT_TRUE(frame().isVisible()) << "the end of the run keeps the frame in this mode";
}

TEST_F(QtHostTest, AboutShowsTheProgramsOwnTextUnderItsName) {
  QString caption, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  on_next_box([&](QMessageBox& box) {
    caption = box.windowTitle();
    text = box.text();
    icon = box.icon();
    box.accept();
  });
  frame().menus().run_command(kCmdAbout);
  EXPECT_EQ(caption, "zuna4");
  EXPECT_TRUE(text.startsWith("zuna4 - combustion of hydrogen with oxygen"));
  EXPECT_EQ(icon, QMessageBox::Information);
}

// The command table is the one list the menus, the keys and the menu help
// draw on: every key of a text window names a command of it, and every help
// topic it gives is an anchor of the help text.
TEST(CommandTable, KeysAndHelpTopicsNameWhatExists) {
  for (int key_command : {kCmdExit, kCmdPause, kCmdResume, kCmdCopy, kCmdPaste, kCmdFullScreen}) {
    EXPECT_NE(find_command(key_command), nullptr) << key_command;
  }
  HelpViewer viewer(QStringLiteral("zuna4"), nullptr);
  auto* browser = viewer.findChild<QTextBrowser*>();
  ASSERT_NE(browser, nullptr);
  const QString html = browser->toHtml();
  int topics = 0;
  for (const CommandEntry& entry : command_table()) {
    EXPECT_EQ(find_command(entry.id), &entry) << "command " << entry.id << " twice";
    if (entry.help_topic != nullptr) {
      ++topics;
      EXPECT_TRUE(html.contains(QStringLiteral("name=\"%1\"").arg(entry.help_topic)))
          << entry.help_topic;
    }
  }
  EXPECT_GE(topics, 20);
}

// The help names every field of the rocket performance's dialog and every
// part of its result window, in the words they are shown with.
TEST(RocketHelp, EveryFieldAndQuantityIsExplained) {
  HelpViewer viewer(QStringLiteral("zuna4"), nullptr);
  auto* browser = viewer.findChild<QTextBrowser*>();
  ASSERT_NE(browser, nullptr);
  const QString text = browser->toPlainText();
  for (const char* shown :
       {"faixa de O/F", "pontos", "pressão na câmara", "razões de pressão Pc/Pe",
        "razões de área supersônicas Ae/At", "modelo da expansão", "reagentes",
        "vírgula decimal", "Copiar", "Salvar como CSV...", "extremo da faixa", "(no extremo)",
        "Ivac", "Isp", "janela dos resultados", "Novo Cálculo"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(shown))) << shown;
  }
}

TEST(QtHostSettings, CrvnMaximizedInTheProgramsSectionMaximizes) {
  QTemporaryDir dir;
  QString file = dir.filePath(QStringLiteral("settings.ini"));
  {
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(QStringLiteral("zuna4/CRVNMaximized"), 1);
    settings.setValue(QStringLiteral("other/CRVNMaximized"), 0);
  }
  WindowTable table;
  PauseGate gate;
  LineHandoff handoff;
  FrameOptions options;
  options.settings_file = file;
  FrameWindow frame(options, table, gate, handoff);
  EXPECT_TRUE(frame.starts_maximized());
  options.program_name = QStringLiteral("other");
  FrameWindow other(options, table, gate, handoff);
  EXPECT_FALSE(other.starts_maximized());
  options.settings_file = dir.filePath(QStringLiteral("missing.ini"));
  FrameWindow none(options, table, gate, handoff);
  EXPECT_FALSE(none.starts_maximized());
}

TEST(QtHostSettings, ProgramNameIsTheFileNameWithoutFolderAndExtension) {
  EXPECT_EQ(program_name_from_path("/opt/bin/zuna4"), "zuna4");
  EXPECT_EQ(program_name_from_path("build/zuna4.exe"), "zuna4");
  EXPECT_EQ(program_name_from_path(nullptr), "zuna4");
  EXPECT_EQ(program_name_from_path(""), "zuna4");
}

}  // namespace
}  // namespace zuna
