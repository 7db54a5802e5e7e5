// dialog_load: the control list built from a template, radio groups, shared
// identifiers and the styles that end the run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog-test-support.h"
#include "dialogs/dialog-template.h"
#include "tests/support/dialog-template-builder.h"

namespace zuna::testing {
namespace {

using DialogLoad = DialogTest;

TEST_F(DialogLoad, RunParametersModelBeforeAnythingIsSet) {
  ASSERT_TRUE(dialog_load(101, dialog));
  ASSERT_EQ(dialog.controls.size(), 24u);
  EXPECT_EQ(control(1).kind, ControlKind::push_button);
  EXPECT_EQ(control(1000).kind, ControlKind::edit_box);

  // The six labels stored with -1 are entered as 65535, all shared.
  int unnamed = 0;
  for (const DialogControl& c : dialog.controls) {
    if (c.id == 65535) {
      ++unnamed;
      EXPECT_TRUE(c.shared_id);
    } else {
      EXPECT_FALSE(c.shared_id) << c.id;
    }
  }
  EXPECT_EQ(unnamed, 6);
  EXPECT_EQ(model_text(65535), "raz\xE3o m\xEDnima em massa da mistura O2/H2");
  char buffer[8];
  bool flag = false;
  for (int id : {65535, -1}) {
    EXPECT_FALSE(dialog_set_text(dialog, id, "x"));
    EXPECT_FALSE(dialog_get_text(dialog, id, buffer, 8));
    EXPECT_FALSE(dialog_set_flag(dialog, id, false));
    EXPECT_FALSE(dialog_get_flag(dialog, id, flag));
    EXPECT_FALSE(dialog_set_callback(dialog, id, dialog_do_nothing));
  }
  EXPECT_EQ(model_text(65535), "raz\xE3o m\xEDnima em massa da mistura O2/H2");

  for (int id : {1019, 1020, 1021, 1022}) {
    flag = false;
    EXPECT_TRUE(dialog_get_flag(dialog, id, flag));
    EXPECT_TRUE(flag) << id;
  }
}

TEST_F(DialogLoad, ResultsMenuIsOneRadioGroupAcrossTheOkButton) {
  ASSERT_TRUE(dialog_load(104, dialog));
  ASSERT_EQ(dialog.controls.size(), 12u);
  EXPECT_EQ(dialog.controls[10].kind, ControlKind::push_button);
  for (int id : {1013, 1014, 1015, 1016, 1030, 1031, 1032, 1033, 1034, 1041}) {
    const DialogControl& c = control(id);
    EXPECT_EQ(c.kind, ControlKind::radio_button);
    EXPECT_EQ(c.ints, (std::vector<std::int32_t>{2, 12})) << id;
    EXPECT_EQ(c.flags[1], id == 1013) << id;
  }
}

TEST_F(DialogLoad, EveryKindWithItsStartingValuesAndOtherClassesSkipped) {
  std::vector<std::uint8_t> bytes = TemplateBuilder()
                                        .item(kClassStatic, 0, 10, "static")
                                        .item(kClassButton, 7, 11, "group")
                                        .item(kClassButton, 0, 12, "push")
                                        .item(kClassButton, 1, 13, "default")
                                        .item(kClassButton, 3, 14, "check")
                                        .named("RichEdit", 0, 15, "skipped")
                                        .item(kClassButton, 4, 16, "radio")
                                        .item(kClassEdit, 0x80, 17, "edit text")
                                        .item(kClassScrollBar, 0, 18)
                                        .item(0x86, 0, 19, "other code")
                                        .item(kClassListBox, 0, 20, "list")
                                        .item(kClassComboBox, 2, 21, "combo")
                                        .item(kClassComboBox, 1, 22)
                                        .item(kClassComboBox, 3, 23, "drop-down")
                                        .bytes();
  register_dialog_template(9101, bytes);
  ASSERT_TRUE(dialog_load(9101, dialog));
  using K = ControlKind;
  std::vector<K> kinds;
  for (const DialogControl& c : dialog.controls) {
    kinds.push_back(c.kind);
  }
  EXPECT_EQ(kinds, (std::vector<K>{K::static_text, K::group_box, K::push_button, K::push_button,
                                   K::check_box, K::radio_button, K::edit_box, K::scroll_bar,
                                   K::list_box, K::combo_box, K::combo_box, K::drop_down_list}));
  EXPECT_EQ(control(12).callbacks, std::vector<DialogCallback>{dialog_end_callback});
  EXPECT_TRUE(control(14).flags[1]);
  // A lone radio button is a group of its own, checked.
  EXPECT_EQ(control(16).ints, (std::vector<std::int32_t>{6, 6}));
  EXPECT_TRUE(control(16).flags[1]);
  EXPECT_EQ(model_text(17), "edit text");
  EXPECT_EQ(control(18).ints, (std::vector<std::int32_t>{0, 100, 1, 10}));
  EXPECT_TRUE(control(18).texts.empty());
  EXPECT_EQ(control(20).ints, (std::vector<std::int32_t>{0, 0}));
  EXPECT_EQ(model_text(20), "list");
  EXPECT_EQ(model_text(21), "");  // a combo box starts with a blank edit text
  EXPECT_EQ(control(21).callbacks.size(), 4u);
  EXPECT_EQ(control(23).ints, (std::vector<std::int32_t>{0, 0}));
  EXPECT_EQ(model_text(23), "");
  EXPECT_EQ(control(10).callbacks.size(), 0u);
  EXPECT_EQ(control(17).callbacks.size(), 2u);
}

TEST_F(DialogLoad, RadioGroupsEndBeforeTheNextGroupItem) {
  register_dialog_template(9102, TemplateBuilder()
                                     .item(kClassStatic, kWsGroup, 1, "first")
                                     .item(kClassButton, 9, 2)
                                     .item(kClassButton, 9, 3)
                                     .item(kClassButton, 9, 4)
                                     .item(kClassStatic, kWsGroup, 5, "second")
                                     .item(kClassButton, 9, 6)
                                     .item(kClassButton, 9, 7)
                                     .bytes());
  ASSERT_TRUE(dialog_load(9102, dialog));
  for (int id : {2, 3, 4}) {
    EXPECT_EQ(control(id).ints, (std::vector<std::int32_t>{2, 4}));
    EXPECT_EQ(control(id).flags[1], id == 2);
  }
  for (int id : {6, 7}) {
    EXPECT_EQ(control(id).ints, (std::vector<std::int32_t>{6, 7}));
    EXPECT_EQ(control(id).flags[1], id == 6);
  }
}

TEST_F(DialogLoad, MissingOrUnreadableTemplateAnswersFalse) {
  EXPECT_FALSE(dialog_load(555, dialog));
  EXPECT_FALSE(dialog.loaded);
  EXPECT_TRUE(dialog.controls.empty());
  EXPECT_EQ(dialog_run_modal(dialog), -1);
  EXPECT_TRUE(host.events.empty());

  std::vector<std::uint8_t> cut = TemplateBuilder().item(kClassButton, 0, 1, "OK").bytes();
  cut.pop_back();
  register_dialog_template(9103, cut);
  EXPECT_FALSE(dialog_load(9103, dialog));
}

struct Refusal {
  std::uint16_t class_code;
  std::uint32_t style;
  std::uint16_t id;
  std::string line;  // the record the default window shows
};

TEST(DialogLoadRefusal, RefusedStylesEndTheRunWithOneRecord) {
  const std::vector<Refusal> cases = {
      {kClassButton, 11, 77, "Invalid style BS_OWNERDRAW used for control 77                  "},
      {kClassButton, 8, 77, "Invalid style BS_USERBUTTON used for control 77                  "},
      {kClassButton, 2, 77, "Invalid style <unknown> used for control 77                  "},
      {kClassButton, 10, 77, "Invalid style <unknown> used for control 77                  "},
      {kClassButton, 15, 65535, "Invalid style <unknown> used for control 65535               "},
      {kClassEdit, 0x84, 1000, "Invalid style ES_MULTILINE used for control 1000                "},
      {kClassListBox, 0x30, 5,
       "Invalid style LBS_OWNERDRAWFIXED used for control 5                   "},
      {kClassListBox, 0x20, 5,
       "Invalid style LBS_OWNERDRAWVARIABLE used for control 5                   "},
      {kClassComboBox, 0x13, 6,
       "Invalid style CBS_OWNERDRAWFIXED used for control 6                   "},
      {kClassComboBox, 0x23, 6,
       "Invalid style CBS_OWNERDRAWVARIABLE used for control 6                   "},
  };
  for (const Refusal& r : cases) {
    SCOPED_TRACE(r.line);
    RecordingHost host;
    runtime_start(host);
    dialogs_start(host);
    register_dialog_template(9104, TemplateBuilder()
                                       .item(kClassStatic, 0, 1, "before")
                                       .item(r.class_code, r.style, r.id)
                                       .item(kClassStatic, 0, 2, "after")
                                       .bytes());
    Dialog dialog;
    EXPECT_THROW(dialog_load(9104, dialog), ProgramExit);
    EXPECT_EQ(host.output(), r.line + "\r\nStop - Program terminated.\r\n");
    EXPECT_EQ(host.exit_code, 0);
    EXPECT_FALSE(dialog.loaded);
  }
}

}  // namespace
}  // namespace zuna::testing
