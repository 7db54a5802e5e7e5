// The modal run through the recording host: the model pushed when the dialog
// opens, commands and their callbacks, scrolling, the screen pulled when it
// closes, nesting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog-test-support.h"
#include "dialogs/dialog-template.h"
#include "tests/support/dialog-template-builder.h"

namespace zuna::testing {
namespace {

using DialogModal = DialogTest;

std::string text_of(Dialog& dialog, int id, int sel = sel_default) {
  char buffer[kDialogTextLength];
  if (!dialog_get_text(dialog, id, buffer, kDialogTextLength, sel)) {
    return "<false>";
  }
  std::string s(buffer, kDialogTextLength);
  return s.substr(0, s.find_last_not_of(' ') + 1);
}

TEST_F(DialogModal, OpeningShowsTheModelAndOkClosesWithItsIdentifier) {
  ASSERT_TRUE(dialog_load(101, dialog));
  ASSERT_TRUE(dialog_set_text(dialog, 1000, "0.5d0"));
  ASSERT_TRUE(dialog_set_text(dialog, 1001, std::string(256, 'y')));
  ASSERT_TRUE(dialog_set_flag(dialog, 1020, false));
  host.dialog_scripts.push_back([&](MemoryDialogWindow& w, DialogController& c) {
    EXPECT_EQ(dialog.window, &w);
    EXPECT_EQ(dialog_current(), &dialog);
    EXPECT_EQ(w.controls[1000].text, "0.5d0");
    EXPECT_EQ(w.controls[1001].text, std::string(255, 'y'));  // a full text shows 255
    EXPECT_EQ(w.controls[1002].text, "raz\xE3o m\xE1xima em massa da mistura O2/H2");
    EXPECT_TRUE(w.controls[1019].checked);
    EXPECT_FALSE(w.controls[1020].checked);
    EXPECT_EQ(w.controls.count(65535), 0u);  // shared labels keep the template's text
    // Escape, the close box, identifier 0 and a label's command change nothing.
    EXPECT_FALSE(c.dialog_command(2, kBnClicked));
    EXPECT_FALSE(c.dialog_command(0, kBnClicked));
    EXPECT_FALSE(c.dialog_command(1002, kBnClicked));
    EXPECT_FALSE(c.dialog_command(1000, kBnClicked));
    EXPECT_FALSE(w.ended);
    w.controls[1000].text = "2.5E0";
    w.controls[1019].checked = false;
    EXPECT_TRUE(c.dialog_command(1, kBnClicked));
    EXPECT_TRUE(w.ended);
    EXPECT_EQ(dialog.window, nullptr);
  });
  EXPECT_EQ(dialog_run_modal(dialog), 1);
  EXPECT_EQ(dialog_current(), nullptr);
  EXPECT_EQ(text_of(dialog, 1000), "2.5E0");
  bool on = true;
  ASSERT_TRUE(dialog_get_flag(dialog, 1019, on));
  EXPECT_FALSE(on);
}

// Reads the edit 1000 from the screen and sets it into 1001.
void copy_field(Dialog& dialog, int, int) { dialog_set_text(dialog, 1001, text_of(dialog, 1000)); }

// Sets a text, then ends the dialog as the OK button does.
void set_then_end(Dialog& dialog, int id, int type) {
  dialog_set_text(dialog, 1005, "set at the end");
  dialog_end_callback(dialog, id, type);
}

void greet(Dialog& dialog, int id, int type) {
  EXPECT_EQ(id, 101);
  EXPECT_EQ(type, sel_init);
  dialog_set_text(dialog, 1009, "hello");
}

TEST_F(DialogModal, CallbacksReadTheScreenAndTheirSetsAreShownAfterwards) {
  ASSERT_TRUE(dialog_load(101, dialog));
  ASSERT_TRUE(dialog_set_callback(dialog, 1019, copy_field));
  ASSERT_TRUE(dialog_set_callback(dialog, 1, set_then_end));
  ASSERT_TRUE(dialog_set_callback(dialog, 101, greet));
  host.dialog_scripts.push_back([&](MemoryDialogWindow& w, DialogController& c) {
    EXPECT_EQ(w.controls[1009].text, "hello");  // the opening callback's set
    EXPECT_FALSE(dialog_set_callback(dialog, 1, dialog_end_callback));
    w.controls[1000].text = "typed";
    EXPECT_TRUE(c.dialog_command(1019, kBnClicked));
    EXPECT_EQ(w.controls[1001].text, "typed");
    EXPECT_TRUE(c.dialog_command(1, kBnClicked));
  });
  EXPECT_EQ(dialog_run_modal(dialog), 1);
  // A value set in the closing callback is not overwritten by the screen.
  EXPECT_EQ(text_of(dialog, 1005), "set at the end");
  EXPECT_EQ(text_of(dialog, 1001), "typed");
}

class FailingHost : public RecordingHost {
 public:
  int run_dialog_modal(std::span<const std::uint8_t>, DialogController&) override { return -1; }
};

TEST(DialogModalHost, AHostThatCannotShowTheDialogAnswersMinusOne) {
  FailingHost host;
  runtime_start(host);
  dialogs_start(host);
  Dialog dialog;
  ASSERT_TRUE(dialog_load(104, dialog));
  EXPECT_EQ(dialog_run_modal(dialog), -1);
  EXPECT_TRUE(dialog.loaded);
  EXPECT_EQ(dialog_current(), nullptr);
  dialog_release(dialog);
}

Dialog inner;
Dialog* seen_inside = nullptr;

void open_inner(Dialog&, int, int) {
  EXPECT_TRUE(dialog_load(104, inner));
  EXPECT_EQ(dialog_run_modal(inner), 1);
  dialog_release(inner);
}

TEST_F(DialogModal, DialogsNest) {
  ASSERT_TRUE(dialog_load(101, dialog));
  ASSERT_TRUE(dialog_set_callback(dialog, 1020, open_inner));
  host.dialog_scripts.push_back([&](MemoryDialogWindow&, DialogController& c) {
    EXPECT_TRUE(c.dialog_command(1020, kBnClicked));
    EXPECT_EQ(seen_inside, &inner);
    EXPECT_EQ(dialog_current(), &dialog);
    c.dialog_command(1, kBnClicked);
  });
  host.dialog_scripts.push_back([&](MemoryDialogWindow&, DialogController& c) {
    seen_inside = dialog_current();
    c.dialog_command(1, kBnClicked);
  });
  EXPECT_EQ(dialog_run_modal(dialog), 1);
  EXPECT_EQ(dialog_current(), nullptr);
}

int scroll_calls = 0;
void count_scroll(Dialog&, int, int type) {
  EXPECT_EQ(type, sel_change);
  ++scroll_calls;
}

TEST_F(DialogModal, ScrollRequestsMoveWithinOneToTheRange) {
  register_dialog_template(9301, TemplateBuilder()
                                     .item(kClassButton, 1, 1, "OK")
                                     .item(kClassScrollBar, 0, 30)
                                     .item(kClassEdit, 0, 31)
                                     .item(kClassButton, 0, 8, "Fechar")
                                     .bytes());
  ASSERT_TRUE(dialog_load(9301, dialog));
  dialog_set_int(dialog, 30, 20, sel_range);
  dialog_set_int(dialog, 30, 10);
  dialog_set_int(dialog, 30, 2, sel_smallstep);
  dialog_set_int(dialog, 30, 5, sel_bigstep);
  ASSERT_TRUE(dialog_set_callback(dialog, 30, count_scroll));
  scroll_calls = 0;
  host.dialog_scripts.push_back([&](MemoryDialogWindow& w, DialogController& c) {
    EXPECT_EQ(w.controls[30].scroll_low, 1);
    EXPECT_EQ(w.controls[30].scroll_high, 20);
    const std::vector<std::pair<int, int>> steps = {
        {kSbLineUp, 8}, {kSbPageDown, 13}, {kSbBottom, 20},  {kSbLineDown, 20},
        {kSbTop, 1},    {kSbPageUp, 1},    {kSbEndScroll, 1}};
    for (auto [request, expected] : steps) {
      c.dialog_scroll(30, request, 0);
      EXPECT_EQ(w.controls[30].scroll_pos, expected) << "request " << request;
    }
    c.dialog_scroll(30, kSbThumbTrack, 17);
    EXPECT_EQ(w.controls[30].scroll_pos, 17);
    c.dialog_scroll(31, kSbLineDown, 0);  // not a scroll bar
    c.dialog_scroll(99, kSbLineDown, 0);  // not a control
    c.dialog_command(8, kBnClicked);
  });
  EXPECT_EQ(dialog_run_modal(dialog), 8);  // the button that closed it
  EXPECT_EQ(scroll_calls, 8);
  std::int32_t pos = 0;
  ASSERT_TRUE(dialog_get_int(dialog, 30, pos));
  EXPECT_EQ(pos, 17);
}

std::string text_in_callback;
void note_combo_text(Dialog& dialog, int id, int) { text_in_callback = text_of(dialog, id); }

TEST_F(DialogModal, ListsArePushedAndPulled) {
  register_dialog_template(9302, TemplateBuilder()
                                     .item(kClassButton, 1, 1, "OK")
                                     .item(kClassListBox, 0, 40)
                                     .item(kClassComboBox, 2, 41)
                                     .item(kClassComboBox, 3, 42)
                                     .bytes());
  ASSERT_TRUE(dialog_load(9302, dialog));
  for (int id : {40, 41, 42}) {
    dialog_set_int(dialog, id, 3);
    for (int n = 1; n <= 3; ++n) {
      dialog_set_text(dialog, id, "e" + std::to_string(n) + "   ", n);
    }
  }
  dialog_set_int(dialog, 40, 2, 1);  // entry 2 selected
  dialog_set_int(dialog, 42, 3, sel_state);
  dialog_set_callback(dialog, 41, note_combo_text, sel_selchange);
  dialog_set_callback(dialog, 41, note_combo_text, sel_change);
  host.dialog_scripts.push_back([&](MemoryDialogWindow& w, DialogController& c) {
    EXPECT_EQ(w.controls[40].entries, (std::vector<std::string>{"e1", "e2", "e3"}));
    EXPECT_EQ(w.controls[40].selected, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(w.controls[42].current, 2);
    // The user picks entries 1 and 3 of the list and entry 2 of the combo box.
    w.controls[40].selected = {true, false, true};
    w.controls[41].text = "typed";
    w.controls[41].current = 1;
    EXPECT_TRUE(c.dialog_command(41, kLbnSelChange));
    EXPECT_EQ(text_in_callback, "e2");  // during the selection change: the chosen entry
    EXPECT_TRUE(dialog.combo_text);
    EXPECT_TRUE(c.dialog_command(41, kCbnEditChange));
    EXPECT_EQ(text_in_callback, "typed");
    EXPECT_FALSE(c.dialog_command(41, kEnChange));
    w.controls[42].current = 0;
    c.dialog_command(1, kBnClicked);
  });
  ASSERT_EQ(dialog_run_modal(dialog), 1);
  std::int32_t v = 0;
  std::vector<std::int32_t> selection;
  for (int n = 1; n <= 3; ++n) {
    dialog_get_int(dialog, 40, v, n);
    selection.push_back(v);
  }
  EXPECT_EQ(selection, (std::vector<std::int32_t>{1, 3, 0}));
  EXPECT_EQ(text_of(dialog, 40), "e1");
  EXPECT_EQ(text_of(dialog, 41), "typed");
  dialog_get_int(dialog, 42, v, sel_state);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(text_of(dialog, 42), "e1");
}

}  // namespace
}  // namespace zuna::testing
