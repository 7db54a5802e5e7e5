// Whole sessions of the program in the windowed host, driven by simulated
// keys as a user would: the presentation, the parameter dialog, the progress
// lines, the results menu, the stop line and the end-of-run question. The
// program runs on the computation thread exactly as in zuna4; the test's
// thread is the GUI thread.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cfenv>
#include <chrono>
#include <stdexcept>

#include "app/zuna4.h"
#include "dialogs/dialog-host.h"
#include "fio/fio.h"
#include "host/qt/commands.h"
#include "host/qt/cp1252.h"
#include "host/qt/dialog-view.h"
#include "host/qt/frame-menus.h"
#include "host/qt/help-viewer.h"
#include "host/qt/program-thread.h"
#include "host/qt/qt-host.h"
#include "host/qt/rocket-window.h"
#include "qt-robot.h"

namespace zuna {
namespace {

using testing::robot_then;
constexpr int kSession = 120000;  // [ms] a whole session, also under ThreadSanitizer

const QString kPresentation = QString::fromUtf8("APRESENTAÇÃO");
const QString kProgress = QString::fromUtf8("EXECUÇÃO DOS CÁLCULOS");

class ProgramSession : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(work_.isValid());
    previous_ = QDir::currentPath();
    QDir::setCurrent(work_.path());
    FrameOptions options;
    options.screen_size = QSize(1024, 768);
    options.screen_depth = 24;
    options.settings_file = work_.filePath(QStringLiteral("zuna4.ini"));
    host_ = std::make_unique<QtHost>(options);
    host_->frame().show();
  }

  void TearDown() override {
    testing::robot_clear();
    host_->frame().close();
    host_->finish();
    host_.reset();
    QDir::setCurrent(previous_);
    testing::reset_event_loops();
  }

  void copy_data_file() {
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZUNA_DATA_DIR "/zuna.dat"), work_.filePath("zuna.dat")));
  }

  void start_program() {
    host_->start([this] {
      static const char* const argv[] = {"zuna4", nullptr};
      runtime_start(*host_, 1, argv);
      dialogs_start(*host_);
      zuna4_main();
      end_program(0);
    });
  }

  FrameWindow& frame() { return host_->frame(); }

  TextWindow* window_titled(const QString& title) {
    for (int number = 1024; number < 1064; ++number) {
      TextWindow* window = frame().text_window(number);
      if (window != nullptr && window->title() == title) {
        return window;
      }
    }
    return nullptr;
  }

  // The rows of a window's screen, trailing blanks removed.
  static QStringList rows(TextWindow* window) {
    QStringList lines;
    std::lock_guard lock(window->state()->drawing);
    const TextScreen& screen = window->state()->screen;
    if (!screen.configured()) {
      return lines;
    }
    for (int r = 1; r <= screen.config().rows; ++r) {
      lines << from_cp1252(screen.row_text(r)).trimmed();
    }
    return lines;
  }

  static int count_starting(const QStringList& lines, const QString& start) {
    int n = 0;
    for (const QString& line : lines) {
      n += line.startsWith(start) ? 1 : 0;
    }
    return n;
  }

  // The window `title` waits for a line: Enter.
  void press_enter_in(const QString& title, QStringList* seen = nullptr) {
    robot_then([this, title, seen] {
      TextWindow* window = window_titled(title);
      if (window == nullptr || frame().input().pending_read_window() != window->number()) {
        return false;
      }
      if (seen != nullptr) {
        *seen = rows(window);
        status_ = frame().message_pane();
      }
      QTest::keyClick(window->view(), Qt::Key_Return);
      return true;
    });
  }

  // The dialog on screen titled `caption`: the modal one, or the results
  // menu, which is modal to no window; null when there is none.
  DialogView* shown_dialog(const QString& caption) {
    auto* dialog = qobject_cast<DialogView*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      dialog = qobject_cast<DialogView*>(frame().program_items().open_results_menu());
    }
    return dialog != nullptr && dialog->isVisible() && dialog->windowTitle() == caption ? dialog
                                                                                         : nullptr;
  }

  // The dialog `caption` is on screen: act, then Enter.
  void in_dialog(const QString& caption, std::function<void(DialogView&)> act) {
    robot_then([this, caption, act] {
      DialogView* dialog = shown_dialog(caption);
      if (dialog == nullptr) {
        return false;
      }
      act(*dialog);
      QTest::keyClick(dialog, Qt::Key_Return);
      return true;
    });
  }

  // A message box is on screen: keep its caption and text, then Enter.
  void answer_box(QString* caption, QString* text) {
    robot_then([caption, text] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) {
        return false;
      }
      *caption = box->windowTitle();
      *text = box->text();
      QTest::keyClick(box, Qt::Key_Return);
      return true;
    });
  }

  bool wait_for_end() {
    return QTest::qWaitFor([&] { return testing::robot_idle() && host_->computation_ended(); },
                           kSession);
  }

  QTemporaryDir work_;
  QString previous_;
  QString status_;
  std::unique_ptr<QtHost> host_;
};

void choose_end(DialogView& dialog) {
  auto* end = qobject_cast<QAbstractButton*>(dialog.control(1034));
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(end->text(), QString::fromUtf8("Encerrar o Programa"));
  end->click();
}

TEST_F(ProgramSession, OneCalculationFromThePresentationToTheStop) {
  copy_data_file();
  QStringList presentation, progress;
  QString presentation_status;
  QString rmin;
  QString question_caption, question;
  press_enter_in(kPresentation, &presentation);
  in_dialog(QStringLiteral("DADOS"), [&](DialogView& dialog) {
    presentation_status = status_;
    rmin = QString::fromStdString(dialog.get_text(1000));
  });
  press_enter_in(kProgress, &progress);
  in_dialog(QString::fromUtf8("gráficos"), choose_end);
  answer_box(&question_caption, &question);  // Enter answers No
  start_program();
  ASSERT_TRUE(wait_for_end());

  EXPECT_TRUE(presentation.contains(QStringLiteral("ZUNA - 5 Set 97")));
  EXPECT_EQ(presentation_status, QStringLiteral("Input pending in ") + kPresentation);
  EXPECT_FALSE(rmin.isEmpty());
  EXPECT_EQ(count_starting(progress, QString::fromUtf8("Pontos já processados =")), 33);
  EXPECT_TRUE(progress.contains(QString::fromUtf8("Pontos já processados =  1 de  33")));
  EXPECT_TRUE(progress.contains(QString::fromUtf8("Pontos já processados = 33 de  33")));
  EXPECT_EQ(question_caption, QStringLiteral("zuna4"));
  EXPECT_EQ(question, QStringLiteral("Program Terminated with exit code 0\nExit Window?"));

  // No keeps the windows: the stop line stands in the default window.
  EXPECT_TRUE(frame().isVisible());
  TextWindow* stop_window = frame().text_window(1024);
  ASSERT_NE(stop_window, nullptr);
  EXPECT_FALSE(stop_window->isHidden());
  EXPECT_TRUE(rows(stop_window).contains(QStringLiteral("Stop - Program terminated.")));
  EXPECT_EQ(window_titled(kPresentation), nullptr);  // its unit was closed
  EXPECT_EQ(window_titled(kProgress), nullptr);
  EXPECT_EQ(frame().run_state_pane(), QStringLiteral("Finished"));
  EXPECT_TRUE(QFile::exists(work_.filePath("saida")));
  EXPECT_TRUE(QFile::exists(work_.filePath("tad.dat")));

  // Pause after the end changes nothing; Exit ends with the program's code.
  frame().menus().run_command(kCmdPause);
  EXPECT_EQ(frame().run_state_pane(), QStringLiteral("Finished"));
  QTest::keyClick(stop_window->view(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_FALSE(frame().isVisible());
  EXPECT_EQ(host_->finish(), 0);
}

// The menu "Cálculo": hidden and disabled until a calculation has been
// made; in the results menu its item runs dialog 105 and shows its results
// in a top-level window of the frame, usable while the results menu waits;
// the plot and the listing only while they show the current results.
// "Novo Cálculo" closes the window and disables them until a new run.
TEST_F(ProgramSession, RocketItemRunsOnlyWhileTheResultsMenuWaits) {
  copy_data_file();
  auto program_menu_visible = [this] {
    for (QAction* a : frame().menuBar()->actions()) {
      if (a->text() == QString::fromUtf8("&Cálculo")) {
        return a->isVisible();
      }
    }
    return false;
  };
  const QString results = QString::fromUtf8("gráficos");
  const QString rocket = QStringLiteral("DESEMPENHO COMO MOTOR-FOGUETE");
  const QString csv = work_.filePath(QStringLiteral("tabela.csv"));
  bool visible_in_parameters = true, enabled_in_parameters = true;
  bool visible_in_menu = false, enabled_in_menu = false, plot_before = true;
  bool menu_disabled_meanwhile = false, plot_after = false, listing_after = false;
  bool window_usable = false, owned_by_frame = false, saved = false, reopened = true;
  int rows_shown = 0, columns_shown = 0, best_rows = 0;
  QString first_group, clipboard;
  bool window_after_new = true, plot_after_new = true, listing_after_new = true;
  bool rocket_after_new = false;
  QString caption, text;
  press_enter_in(kPresentation);
  in_dialog(QStringLiteral("DADOS"), [&](DialogView&) {
    visible_in_parameters = program_menu_visible();
    enabled_in_parameters = frame().menus().command_enabled(kCmdRocket);
  });
  press_enter_in(kProgress);
  robot_then([&] {
    DialogView* menu = shown_dialog(results);
    if (menu == nullptr) {
      return false;
    }
    visible_in_menu = program_menu_visible();
    enabled_in_menu = frame().menus().command_action(kCmdRocket)->isEnabled();
    plot_before = frame().menus().command_enabled(kCmdRocketPlot);
    QTimer::singleShot(0, &frame(),
                       [this] { frame().menus().command_action(kCmdRocket)->trigger(); });
    return true;
  });
  in_dialog(rocket, [&](DialogView&) {
    menu_disabled_meanwhile = frame().program_items().open_results_menu() != nullptr &&
                              !frame().program_items().open_results_menu()->isEnabled() &&
                              !frame().menus().command_enabled(kCmdRocket);
  });
  robot_then([&] {
    DialogView* menu = shown_dialog(results);
    RocketWindow* window = frame().program_items().rocket_window();
    if (menu == nullptr || !menu->isEnabled() || window == nullptr) {
      return false;
    }
    window_usable = window->isVisible() && window->isEnabled() && window->isWindow() &&
                    window->values()->isEnabled();
    owned_by_frame = window->parentWidget() == &frame();
    rows_shown = window->values()->rowCount();
    columns_shown = window->values()->columnCount();
    best_rows = window->best()->rowCount();
    if (QTableWidgetItem* head = window->values()->horizontalHeaderItem(1)) {
      first_group = head->text();
    }
    window->copy();
    clipboard = QApplication::clipboard()->text();
    saved = window->save_csv(csv);
    plot_after = frame().menus().command_enabled(kCmdRocketPlot);
    listing_after = frame().menus().command_enabled(kCmdRocketListing);
    // Closed by the user, the window stays closed until new results come.
    window->close();
    frame().program_items().show_rocket_results();
    reopened = frame().program_items().rocket_window() != nullptr &&
               frame().program_items().rocket_window()->isVisible();
    auto* again = qobject_cast<QAbstractButton*>(menu->control(1033));
    again->click();
    QTest::keyClick(menu, Qt::Key_Return);
    return true;
  });
  in_dialog(QStringLiteral("DADOS"), [](DialogView&) {});
  press_enter_in(kProgress);
  robot_then([&] {
    DialogView* menu = shown_dialog(results);
    if (menu == nullptr || !menu->isEnabled()) {
      return false;
    }
    window_after_new = frame().program_items().rocket_window() != nullptr;
    rocket_after_new = frame().menus().command_enabled(kCmdRocket);
    plot_after_new = frame().menus().command_enabled(kCmdRocketPlot);
    listing_after_new = frame().menus().command_enabled(kCmdRocketListing);
    choose_end(*menu);
    QTest::keyClick(menu, Qt::Key_Return);
    return true;
  });
  answer_box(&caption, &text);
  start_program();
  ASSERT_TRUE(wait_for_end());

  EXPECT_FALSE(visible_in_parameters);
  EXPECT_FALSE(enabled_in_parameters);
  EXPECT_TRUE(visible_in_menu);
  EXPECT_TRUE(enabled_in_menu);
  EXPECT_FALSE(plot_before);
  EXPECT_TRUE(menu_disabled_meanwhile);
  EXPECT_TRUE(plot_after);
  EXPECT_TRUE(listing_after);
  EXPECT_TRUE(window_usable);
  EXPECT_TRUE(owned_by_frame);
  EXPECT_EQ(rows_shown, 15);
  EXPECT_EQ(columns_shown, 11);  // O/F, Isp and Ivac of five exits
  EXPECT_EQ(best_rows, 5);
  EXPECT_EQ(first_group, QStringLiteral("Pc/Pe=10\nIsp (s)"));
  EXPECT_TRUE(clipboard.startsWith(QStringLiteral("O/F\tPc/Pe=10 Isp (s)\tPc/Pe=10 Ivac (s)\t")))
      << clipboard.left(80).toStdString();
  EXPECT_EQ(clipboard.count(QLatin1Char('\n')), 16);
  EXPECT_TRUE(saved);
  EXPECT_FALSE(reopened);
  QFile file(csv);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readLine().startsWith("O/F,Pc/Pe=10 Isp (s),"));
  EXPECT_TRUE(QFile::exists(work_.filePath("foguete")));
  EXPECT_TRUE(QFile::exists(work_.filePath("isp.dat")));
  EXPECT_FALSE(window_after_new) << "Novo Cálculo closes the results";
  EXPECT_TRUE(rocket_after_new);
  EXPECT_FALSE(plot_after_new);
  EXPECT_FALSE(listing_after_new);
  EXPECT_FALSE(frame().menus().command_enabled(kCmdRocket)) << "the results menu is gone";
}

// The results menu is a dialog of the frame that blocks no window and stays
// above the frame only, so that the help and the program's other windows
// can come above it; from the keyboard it works as a dialog of the
// platform: the focus on OK, the radio buttons out of the Tab order, the
// arrow keys moving through the choices and choosing, F1 its help.
TEST_F(ProgramSession, TheResultsMenuStaysAboveTheFrameOnlyAndWorksFromTheKeyboard) {
  copy_data_file();
  const QString results = QString::fromUtf8("gráficos");
  const std::vector<int> choices = {1013, 1014, 1015, 1016, 1030, 1031, 1032, 1033, 1034, 1041};
  bool owned_by_frame = false, on_top_of_all = true, blocks_a_window = true;
  bool focus_on_ok = false, radios_tab_stops = true;
  std::vector<int> chosen;  // the checked choice after each arrow key
  std::vector<int> focused;
  bool help_shown = false, menu_still_open = false;
  QString caption, text;
  press_enter_in(kPresentation);
  in_dialog(QStringLiteral("DADOS"), [](DialogView&) {});
  press_enter_in(kProgress);
  robot_then([&] {
    DialogView* menu = shown_dialog(results);
    if (menu == nullptr || !menu->isActiveWindow()) {
      return false;
    }
    owned_by_frame = menu->parentWidget() == &frame() && menu->isWindow();
    on_top_of_all = menu->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    blocks_a_window = menu->windowModality() != Qt::NonModal ||
                      QApplication::activeModalWidget() != nullptr;
    focus_on_ok = menu->focusWidget() == menu->control(1);
    radios_tab_stops = false;
    for (int id : choices) {
      radios_tab_stops = radios_tab_stops || (menu->control(id)->focusPolicy() & Qt::TabFocus);
    }
    auto checked = [&] {
      for (int id : choices) {
        if (menu->get_check(id)) {
          return id;
        }
      }
      return 0;
    };
    auto focus = [&] {
      for (int id : choices) {
        if (menu->focusWidget() == menu->control(id)) {
          return id;
        }
      }
      return menu->focusWidget() == menu->control(1) ? 1 : 0;
    };
    // Down twice from OK, then Up three times past the first choice, then
    // Left: the end of the program.
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up,
                        Qt::Key_Left}) {
      QTest::keyClick(menu->focusWidget(), key);
      chosen.push_back(checked());
      focused.push_back(focus());
    }
    QTest::keyClick(menu->focusWidget(), Qt::Key_F1);
    help_shown = frame().menus().help_viewer() != nullptr &&
                 frame().menus().help_viewer()->isVisible();
    menu_still_open = shown_dialog(results) == menu;
    QTest::keyClick(menu->focusWidget(), Qt::Key_Return);
    return true;
  });
  answer_box(&caption, &text);
  start_program();
  ASSERT_TRUE(wait_for_end());

  EXPECT_TRUE(owned_by_frame);
  EXPECT_FALSE(on_top_of_all);
  EXPECT_FALSE(blocks_a_window);
  EXPECT_TRUE(focus_on_ok);
  EXPECT_FALSE(radios_tab_stops);
  EXPECT_EQ(chosen, (std::vector<int>{1014, 1015, 1014, 1013, 1041, 1034}));
  EXPECT_EQ(focused, chosen);
  EXPECT_TRUE(help_shown);
  EXPECT_TRUE(menu_still_open);
  // "Encerrar o Programa", chosen by the keys, ended the program.
  EXPECT_EQ(text, QStringLiteral("Program Terminated with exit code 0\nExit Window?"));
}

TEST_F(ProgramSession, MissingDataFileEndsWithARunTimeErrorAndExitCodeOne) {
  // No zuna.dat in the working folder.
  QString error_caption, error_text, question_caption, question;
  press_enter_in(kPresentation);
  answer_box(&error_caption, &error_text);
  answer_box(&question_caption, &question);
  start_program();
  ASSERT_TRUE(wait_for_end());
  EXPECT_EQ(error_caption, QStringLiteral("run-time error "));
  EXPECT_TRUE(error_text.startsWith(QStringLiteral("F6"))) << error_text.toStdString();
  EXPECT_EQ(question, QStringLiteral("Program Terminated with exit code 1\nExit Window?"));
  EXPECT_EQ(host_->exit_code(), 1);
  EXPECT_FALSE(QFile::exists(work_.filePath("saida")));
  frame().menus().run_command(kCmdExit);
  EXPECT_EQ(host_->finish(), 1);
}

TEST_F(ProgramSession, PauseDuringTheSweepHoldsTheProgressLinesUntilResume) {
  copy_data_file();
  QStringList while_paused, progress;
  QString state_while_paused;
  QString question_caption, question;
  press_enter_in(kPresentation);
  in_dialog(QStringLiteral("DADOS"), [&](DialogView&) { frame().menus().run_command(kCmdPause); });
  // The sweep is held at its first point: no progress line appears.
  auto held_since = std::make_shared<std::chrono::steady_clock::time_point>();
  robot_then([this, held_since, &while_paused, &state_while_paused] {
    auto now = std::chrono::steady_clock::now();
    if (*held_since == std::chrono::steady_clock::time_point{}) {
      *held_since = now;
      return false;
    }
    if (now - *held_since < std::chrono::milliseconds(400)) {
      return false;
    }
    TextWindow* window = window_titled(kProgress);
    while_paused = window != nullptr ? rows(window) : QStringList();
    state_while_paused = frame().run_state_pane();
    frame().menus().run_command(kCmdResume);
    return true;
  });
  press_enter_in(kProgress, &progress);
  in_dialog(QString::fromUtf8("gráficos"), choose_end);
  answer_box(&question_caption, &question);
  start_program();
  ASSERT_TRUE(wait_for_end());
  EXPECT_EQ(state_while_paused, QStringLiteral("Paused"));
  EXPECT_EQ(count_starting(while_paused, QString::fromUtf8("Pontos já processados =")), 0);
  EXPECT_EQ(count_starting(progress, QString::fromUtf8("Pontos já processados =")), 33);
  EXPECT_EQ(host_->exit_code(), 0);
}

// The handshake with an item's thread: the GUI thread keeps its events
// flowing while it waits (the item's calls to it are answered), and it
// learns how the item ended.
std::atomic<bool> answered_on_gui_thread{false};

TEST(ProgramThread, EventsFlowWhileTheItemRunsAndItsEndIsTold) {
  answered_on_gui_thread = false;
  ProgramThread asks_the_gui(+[] {
    QMetaObject::invokeMethod(
        qApp, [] { answered_on_gui_thread = QThread::currentThread() == qApp->thread(); },
        Qt::BlockingQueuedConnection);
  });
  EXPECT_EQ(asks_the_gui.wait(), ProgramThread::Outcome::ended);
  EXPECT_TRUE(answered_on_gui_thread);

  ProgramThread ends_the_program(+[] { throw ProgramExit{1}; });
  EXPECT_EQ(ends_the_program.wait(), ProgramThread::Outcome::ended);
  ProgramThread throws(+[] { throw std::runtime_error("item"); });
  EXPECT_EQ(throws.wait(), ProgramThread::Outcome::failed);
}

// The floating-point flags that the GUI thread raised (printing raises
// some) are not the item's: its run-time would report them as its own
// fault and end the program.
TEST(ProgramThread, TheItemStartsWithNoFloatingPointFlagRaised) {
  static int raised_in_item = -1;
  std::feraiseexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  ProgramThread item(+[] { raised_in_item = std::fetestexcept(FE_ALL_EXCEPT); });
  EXPECT_EQ(item.wait(), ProgramThread::Outcome::ended);
  EXPECT_EQ(raised_in_item, 0);
  EXPECT_NE(std::fetestexcept(FE_INVALID), 0) << "the GUI thread's flags are its own";
  std::feclearexcept(FE_ALL_EXCEPT);
}

}  // namespace
}  // namespace zuna
