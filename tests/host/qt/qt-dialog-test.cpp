// Dialogs on screen: a binary template rendered as Qt controls at their
// converted positions, run modally for the computation, with Enter, Escape,
// the close box, typing and clicking as a user would, and every value read
// back through the controller.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <future>

#include "host/qt/dialog-view.h"
#include "host/qt/qt-host.h"
#include "qt-robot.h"
#include "tests/support/dialog-template-builder.h"

namespace zuna {
namespace {

using testing::robot_then;
constexpr int kWait = 30000;  // [ms]

using testing::TemplateBuilder;

constexpr std::uint32_t kDefPush = 1, kAutoCheck = 3, kAutoRadio = 9, kGroupBox = 7;
constexpr std::uint32_t kSunken = 0x1000, kDropDownList = 3, kDropDown = 2, kVertical = 1;

// Every kind of control of the predefined classes.
TemplateBuilder every_control() {
  TemplateBuilder t(u"Todos", 200, 150);
  t.item(kClassButton, kDefPush | kWsTabStop, 1, u"OK", 150, 5, 40, 14)
      .item(kClassButton, 0 | kWsTabStop, 3, u"&Mais", 150, 22, 40, 14)
      .item(kClassEdit, kWsBorder | kWsTabStop, 40, u"", 5, 5, 60, 12)
      .item(kClassStatic, 0, 51, u"&Nome", 70, 7, 40, 8)
      .item(kClassEdit, kWsBorder | kWsTabStop, 41, u"", 5, 20, 60, 12)
      .item(kClassButton, kAutoCheck | kWsTabStop, 10, u"Caixa", 5, 35, 60, 10)
      .item(kClassButton, kAutoRadio | kWsGroup, 20, u"Um", 5, 50, 40, 10)
      .item(kClassButton, kAutoRadio, 21, u"Dois", 5, 62, 40, 10)
      .item(kClassButton, kAutoRadio | kWsGroup, 22, u"Tr\u00eas", 50, 50, 40, 10)
      .item(kClassButton, kAutoRadio, 23, u"Quatro", 50, 62, 40, 10)
      .item(kClassButton, kGroupBox, 30, u"Grupo", 2, 45, 95, 30)
      .item(kClassStatic, kSunken | kWsBorder | kWsGroup, 50, u"AFUNDADO", 100, 50, 60, 11)
      .item(kClassListBox, kWsBorder | 0x1, 60, u"", 5, 80, 60, 40)
      .item(kClassScrollBar, 0, 70, u"", 70, 80, 60, 10)
      .item(kClassScrollBar, kVertical, 71, u"", 135, 80, 10, 40)
      .item(kClassComboBox, kDropDown | kWsTabStop, 80, u"", 5, 125, 60, 50)
      .item(kClassComboBox, kDropDownList | kWsTabStop, 81, u"", 70, 125, 60, 50)
      .named("Custom", 0, 90);
  return t;
}

// The dialog manager's side, scripted: it records what the dialog tells it
// and ends the dialog on a click of the push button `ending`, reading the
// controls back first.
class ScriptedController : public DialogController {
 public:
  std::function<void(DialogWindow&)> opened;
  std::function<void(DialogWindow&)> closing;
  int ending = 1;
  std::vector<std::pair<int, int>> commands;
  std::vector<std::pair<int, int>> scrolls;

  void dialog_opened(DialogWindow& window) override {
    window_ = &window;
    if (opened) {
      opened(window);
    }
  }
  bool dialog_command(int id, int notification) override {
    commands.emplace_back(id, notification);
    if (id == ending && notification == kBnClicked) {
      if (closing) {
        closing(*window_);
      }
      window_->end_dialog(id);
    }
    return true;
  }
  void dialog_scroll(int id, int request, int) override { scrolls.emplace_back(id, request); }
  bool saw(int id, int notification) const {
    return std::find(commands.begin(), commands.end(), std::make_pair(id, notification)) !=
           commands.end();
  }

 private:
  DialogWindow* window_ = nullptr;
};

DialogView* open_dialog(const QString& caption) {
  auto* dialog = qobject_cast<DialogView*>(QApplication::activeModalWidget());
  return dialog != nullptr && dialog->windowTitle() == caption && dialog->isVisible() ? dialog
                                                                                      : nullptr;
}

class DialogOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    FrameOptions options;
    options.screen_size = QSize(1024, 768);
    host_ = std::make_unique<QtHost>(options);
    host_->frame().show();
  }
  void TearDown() override {
    testing::robot_clear();
    host_->frame().close();
    if (run_.valid()) {
      run_.wait();
    }
    host_.reset();
    testing::reset_event_loops();
  }

  // The computation runs the dialog; answers its result once it has ended.
  int run_modal(const TemplateBuilder& bytes, ScriptedController& controller) {
    const std::vector<std::uint8_t> template_bytes = bytes.bytes();
    run_ = std::async(std::launch::async,
                      [&] { return host_->run_dialog_modal(template_bytes, controller); });
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return run_.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; },
        kWait));
    return run_.get();
  }

  std::unique_ptr<QtHost> host_;
  std::future<int> run_;
};

TEST_F(DialogOnScreen, EveryControlStandsAtItsConvertedGeometry) {
  TemplateBuilder bytes = every_control();
  DialogTemplate parsed = bytes.parsed();
  ScriptedController controller;
  DialogView view(parsed, controller, &host_->frame());

  EXPECT_EQ(view.windowTitle(), "Todos");
  EXPECT_EQ(view.font().family(), "MS Sans Serif");
  EXPECT_EQ(view.font().pointSize(), 8);
  QSize base = view.base_units();
  EXPECT_EQ(base, dialog_base_units(view.font()));
  EXPECT_GT(base.width(), 3);
  EXPECT_GT(base.height(), 8);
  EXPECT_EQ(view.size(), QSize(200 * base.width() / 4, 150 * base.height() / 8));
  for (const DialogTemplateItem& item : parsed.items) {
    QWidget* control = view.control(item.id);
    if (item.class_code == 0) {
      EXPECT_EQ(control, nullptr) << "a class given by name is not ours";
      continue;
    }
    ASSERT_NE(control, nullptr) << item.id;
    QRect expected = dialog_units_to_pixels(item.x, item.y, item.cx, item.cy, base);
    EXPECT_EQ(control->pos(), expected.topLeft()) << item.id;
    if (item.class_code == kClassStatic) {
      EXPECT_GE(control->width(), expected.width()) << "a one-line label may grow";
    } else {
      EXPECT_EQ(control->width(), expected.width()) << item.id;
    }
    if (item.class_code != kClassComboBox) {
      EXPECT_EQ(control->height(), expected.height()) << item.id;
    } else {
      EXPECT_LE(control->height(), expected.height()) << "the list drops below";
    }
  }
  auto* ok = qobject_cast<QPushButton*>(view.control(1));
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->isDefault());
  EXPECT_FALSE(qobject_cast<QPushButton*>(view.control(3))->isDefault());
  EXPECT_TRUE(qobject_cast<QLineEdit*>(view.control(40))->hasFrame());
  EXPECT_NE(qobject_cast<QCheckBox*>(view.control(10)), nullptr);
  EXPECT_NE(qobject_cast<QGroupBox*>(view.control(30)), nullptr);
  auto* sunken = qobject_cast<QLabel*>(view.control(50));
  ASSERT_NE(sunken, nullptr);
  EXPECT_EQ(sunken->frameShadow(), QFrame::Sunken);
  EXPECT_EQ(qobject_cast<QLabel*>(view.control(51))->buddy(), view.control(41));
  EXPECT_NE(qobject_cast<QListWidget*>(view.control(60)), nullptr);
  EXPECT_EQ(qobject_cast<QScrollBar*>(view.control(70))->orientation(), Qt::Horizontal);
  EXPECT_EQ(qobject_cast<QScrollBar*>(view.control(71))->orientation(), Qt::Vertical);
  EXPECT_TRUE(qobject_cast<QComboBox*>(view.control(80))->isEditable());
  EXPECT_FALSE(qobject_cast<QComboBox*>(view.control(81))->isEditable());
  // Radio buttons exclude each other within their WS_GROUP run only.
  auto radio = [&](int id) { return qobject_cast<QRadioButton*>(view.control(id)); };
  ASSERT_NE(radio(20)->group(), nullptr);
  EXPECT_EQ(radio(20)->group(), radio(21)->group());
  EXPECT_NE(radio(21)->group(), radio(22)->group());
  EXPECT_EQ(radio(22)->group(), radio(23)->group());
  // Only tab stops take the focus by Tab, in template order.
  EXPECT_EQ(view.control(1)->focusPolicy(), Qt::StrongFocus);
  EXPECT_EQ(radio(20)->focusPolicy(), Qt::ClickFocus);
  EXPECT_EQ(view.control(1)->nextInFocusChain(), view.control(3));
}

TEST_F(DialogOnScreen, EnterPressesTheDefaultButtonFromAnEdit) {
  TemplateBuilder bytes = every_control();
  ScriptedController controller;
  robot_then([] {
    DialogView* dialog = open_dialog("Todos");
    if (dialog == nullptr) {
      return false;
    }
    QTest::keyClick(dialog->control(40), Qt::Key_Return);
    return true;
  });
  EXPECT_EQ(run_modal(bytes, controller), 1);
  EXPECT_TRUE(controller.saw(1, kBnClicked));
}

TEST_F(DialogOnScreen, EnterWithoutADefaultButtonSendsTheOkCommand) {
  // As in the results menu: OK is a plain push button among radio buttons.
  TemplateBuilder bytes(u"Menu", 100, 60);
  bytes.item(kClassStatic, kWsGroup, 0xFFFF, u"Menu", 5, 5, 60, 10)
      .item(kClassButton, kAutoRadio, 1013, u"Primeiro", 5, 20, 60, 10)
      .item(kClassButton, 0 | kWsTabStop, 1, u"OK", 70, 5, 25, 14)
      .item(kClassButton, kAutoRadio, 1041, u"\u00daltimo", 5, 35, 60, 10);
  ScriptedController controller;
  controller.opened = [](DialogWindow& window) { window.set_check(1013, true); };
  bool last_checked = false;
  controller.closing = [&](DialogWindow& window) { last_checked = window.get_check(1041); };
  robot_then([] {
    DialogView* dialog = open_dialog("Menu");
    if (dialog == nullptr) {
      return false;
    }
    auto* last = qobject_cast<QRadioButton*>(dialog->control(1041));
    QTest::mouseClick(last, Qt::LeftButton);  // the focus goes with the click
    QTest::keyClick(last, Qt::Key_Return);
    return true;
  });
  EXPECT_EQ(run_modal(bytes, controller), 1);
  EXPECT_TRUE(last_checked);
  EXPECT_TRUE(controller.saw(1041, kBnClicked));
}

TEST_F(DialogOnScreen, EscapeAndTheCloseBoxLeaveTheDialogOpen) {
  TemplateBuilder bytes = every_control();
  ScriptedController controller;
  bool open_after_escape = false;
  bool open_after_close = false;
  robot_then([&] {
    DialogView* dialog = open_dialog("Todos");
    if (dialog == nullptr) {
      return false;
    }
    QTest::keyClick(dialog, Qt::Key_Escape);
    open_after_escape = dialog->isVisible();
    dialog->close();
    open_after_close = dialog->isVisible();
    QTest::keyClick(dialog, Qt::Key_Return);
    return true;
  });
  EXPECT_EQ(run_modal(bytes, controller), 1);
  EXPECT_TRUE(open_after_escape);
  EXPECT_TRUE(open_after_close);
  // The platform's cancel command reaches the manager, which has no control 2.
  EXPECT_TRUE(controller.saw(2, kBnClicked));
}

TEST_F(DialogOnScreen, TypedTextsAndChosenBoxesAreReadBack) {
  TemplateBuilder bytes = every_control();
  ScriptedController controller;
  controller.opened = [](DialogWindow& window) {
    window.set_text(40, "0.5d0");
    window.set_check(10, true);
    window.set_check(20, true);
    window.set_check(22, false);
    window.list_reset(60);
    window.list_add(60, "alfa");
    window.list_add(60, "beta");
    window.list_reset(81);
    window.list_add(81, "um");
    window.list_add(81, "dois");
    window.combo_set_current(81, 0);
    window.set_scroll_range(70, 1, 100);
    window.set_scroll_pos(70, 40);
    window.set_text(50, "op\xE7\xE3o");  // Windows-1252 "opção"
  };
  std::string typed, label;
  bool box = true, first = true, second = false, listed = false;
  int chosen = -1, position = 0;
  controller.closing = [&](DialogWindow& window) {
    typed = window.get_text(40);
    label = window.get_text(50);
    box = window.get_check(10);
    first = window.get_check(20);
    second = window.get_check(21);
    listed = window.list_selected(60, 1);
    chosen = window.combo_current(81);
    position = window.get_scroll_pos(70);
  };
  QString shown_label;
  robot_then([&] {
    DialogView* dialog = open_dialog("Todos");
    if (dialog == nullptr) {
      return false;
    }
    shown_label = qobject_cast<QLabel*>(dialog->control(50))->text();
    auto* edit = qobject_cast<QLineEdit*>(dialog->control(40));
    EXPECT_EQ(edit->text(), "0.5d0");
    edit->selectAll();
    QTest::keyClicks(edit, "1.0d-3");
    QTest::mouseClick(dialog->control(10), Qt::LeftButton);
    QTest::mouseClick(dialog->control(21), Qt::LeftButton);
    auto* list = qobject_cast<QListWidget*>(dialog->control(60));
    list->item(1)->setSelected(true);
    qobject_cast<QComboBox*>(dialog->control(81))->setCurrentIndex(1);
    qobject_cast<QScrollBar*>(dialog->control(70))
        ->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QTest::keyClick(dialog->control(1), Qt::Key_Return);
    return true;
  });
  EXPECT_EQ(run_modal(bytes, controller), 1);
  EXPECT_EQ(typed, "1.0d-3");
  EXPECT_EQ(shown_label, QString::fromUtf8("opção"));
  EXPECT_EQ(label, "op\xE7\xE3o");
  EXPECT_FALSE(box);
  EXPECT_FALSE(first);
  EXPECT_TRUE(second);
  EXPECT_TRUE(listed);
  EXPECT_EQ(chosen, 1);
  // The bar moves only as the manager says; Qt's own step is none.
  EXPECT_EQ(position, 40);
  EXPECT_TRUE(controller.saw(40, kEnChange));
  EXPECT_TRUE(controller.saw(40, kEnUpdate));
  EXPECT_TRUE(controller.saw(10, kBnClicked));
  ASSERT_FALSE(controller.scrolls.empty());
  EXPECT_EQ(controller.scrolls.front(), std::make_pair(70, static_cast<int>(kSbLineDown)));
}

TEST_F(DialogOnScreen, UncheckingTheCheckedRadioOfAGroupLeavesNoneChecked) {
  TemplateBuilder bytes = every_control();
  ScriptedController controller;
  bool any = true;
  controller.opened = [&](DialogWindow& window) {
    window.set_check(20, true);
    window.set_check(20, false);
    any = window.get_check(20) || window.get_check(21);
    window.end_dialog(7);  // ended before it is shown
  };
  EXPECT_EQ(run_modal(bytes, controller), 7);
  EXPECT_FALSE(any);
}

TEST_F(DialogOnScreen, AnIncompleteTemplateIsNotShown) {
  TemplateBuilder bytes = every_control();
  const std::vector<std::uint8_t> whole = bytes.bytes();
  std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + 40);
  ScriptedController controller;
  auto run =
      std::async(std::launch::async, [&] { return host_->run_dialog_modal(cut, controller); });
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return run.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; },
      kWait));
  EXPECT_EQ(run.get(), -1);
}

}  // namespace
}  // namespace zuna
