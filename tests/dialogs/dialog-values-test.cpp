// Set and get on the model (no dialog on screen): which selector reaches
// which value, padding and truncation, the radio group rule, list sizes and
// callback slots.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog-test-support.h"
#include "dialogs/dialog-template.h"
#include "tests/support/dialog-template-builder.h"

namespace zuna::testing {
namespace {

using DialogValues = DialogTest;

TEST_F(DialogValues, TextsArePaddedAndTruncatedTo256AndCopiedToAnyBufferLength) {
  ASSERT_TRUE(dialog_load(101, dialog));
  ASSERT_TRUE(dialog_set_text(dialog, 1000, "0.5d0"));
  char full[256];
  ASSERT_TRUE(dialog_get_text(dialog, 1000, full, 256));
  EXPECT_EQ(std::string(full, 256), "0.5d0" + std::string(251, ' '));

  char shorter[3];
  ASSERT_TRUE(dialog_get_text(dialog, 1000, shorter, 3));
  EXPECT_EQ(std::string(shorter, 3), "0.5");

  std::vector<char> longer(300, '#');
  ASSERT_TRUE(dialog_get_text(dialog, 1000, longer.data(), 300));
  EXPECT_EQ(std::string(longer.begin(), longer.end()), "0.5d0" + std::string(295, ' '));

  ASSERT_TRUE(dialog_set_text(dialog, 1000, std::string(300, 'x')));
  ASSERT_TRUE(dialog_get_text(dialog, 1000, longer.data(), 300));
  EXPECT_EQ(std::string(longer.begin(), longer.end()),
            std::string(256, 'x') + std::string(44, ' '));
}

TEST_F(DialogValues, SelectorsThatDoNotApplyAnswerFalseAndChangeNothing) {
  ASSERT_TRUE(dialog_load(101, dialog));
  bool flag = true;
  std::int32_t value = 0;
  EXPECT_FALSE(dialog_set_text(dialog, 1000, "x", sel_title));  // an edit's text is its state
  EXPECT_TRUE(dialog_set_text(dialog, 1000, "y", sel_state));
  EXPECT_FALSE(dialog_set_flag(dialog, 1000, false, sel_state));
  EXPECT_FALSE(dialog_get_int(dialog, 1019, value));
  EXPECT_FALSE(dialog_set_flag(dialog, 1002, false, sel_state));       // a label has no check
  EXPECT_FALSE(dialog_set_callback(dialog, 1002, dialog_do_nothing));  // nor callbacks
  EXPECT_EQ(model_text(1000), "y");

  // Default reaches "checked" on a check box and "enabled" elsewhere.
  EXPECT_TRUE(dialog_set_flag(dialog, 1019, false));
  EXPECT_TRUE(dialog_get_flag(dialog, 1019, flag, sel_enable));
  EXPECT_TRUE(flag);
  EXPECT_TRUE(dialog_set_flag(dialog, 1000, false));
  EXPECT_FALSE(control(1000).flags[0]);
}

TEST_F(DialogValues, RadioGroupRuleLeavesExactlyOneChecked) {
  ASSERT_TRUE(dialog_load(104, dialog));
  auto checked = [&] {
    std::vector<int> ids;
    for (const DialogControl& c : dialog.controls) {
      if (c.kind == ControlKind::radio_button && c.flags[1]) {
        ids.push_back(c.id);
      }
    }
    return ids;
  };
  ASSERT_TRUE(dialog_set_flag(dialog, 1041, true));
  EXPECT_EQ(checked(), std::vector<int>{1041});
  ASSERT_TRUE(dialog_set_flag(dialog, 1041, false));  // the checked one: the first takes over
  EXPECT_EQ(checked(), std::vector<int>{1013});
  ASSERT_TRUE(dialog_set_flag(dialog, 1033, true, sel_state));
  ASSERT_TRUE(dialog_set_flag(dialog, 1016, false));  // also for an unchecked one
  EXPECT_EQ(checked(), std::vector<int>{1013});
  bool enabled = false;
  EXPECT_TRUE(dialog_get_flag(dialog, 1, enabled));  // the OK button in the group is untouched
  EXPECT_TRUE(enabled);
}

TEST_F(DialogValues, ScrollBarAndListValues) {
  register_dialog_template(9201, TemplateBuilder()
                                     .item(kClassScrollBar, 0, 30)
                                     .item(kClassListBox, 0, 31, "list")
                                     .item(kClassComboBox, 2, 32)
                                     .item(kClassComboBox, 3, 33)
                                     .bytes());
  ASSERT_TRUE(dialog_load(9201, dialog));
  std::int32_t v = -1;
  ASSERT_TRUE(dialog_set_int(dialog, 30, 40, sel_range));
  ASSERT_TRUE(dialog_set_int(dialog, 30, 7));
  ASSERT_TRUE(dialog_set_int(dialog, 30, 3, sel_smallstep));
  ASSERT_TRUE(dialog_set_int(dialog, 30, 9, sel_bigstep));
  EXPECT_EQ(control(30).ints, (std::vector<std::int32_t>{7, 40, 3, 9}));
  EXPECT_FALSE(dialog_set_int(dialog, 30, 1, sel_numitems));

  // List box: resizing keeps entries, blanks the current text, empties the
  // selection; entries beyond the count and out-of-range selections are refused.
  ASSERT_TRUE(dialog_set_int(dialog, 31, 3));
  EXPECT_EQ(control(31).ints, (std::vector<std::int32_t>{3, 0, 0, 0, 0}));
  EXPECT_EQ(model_text(31), "");
  for (int n = 1; n <= 3; ++n) {
    ASSERT_TRUE(dialog_set_text(dialog, 31, "entry " + std::to_string(n), n));
  }
  EXPECT_FALSE(dialog_set_text(dialog, 31, "x", 4));
  EXPECT_FALSE(dialog_set_text(dialog, 31, "x"));  // the current text follows the selection
  ASSERT_TRUE(dialog_set_int(dialog, 31, 2, 1));
  EXPECT_FALSE(dialog_set_int(dialog, 31, 4, 2));
  ASSERT_TRUE(dialog_get_int(dialog, 31, v, 1));
  EXPECT_EQ(v, 2);
  ASSERT_TRUE(dialog_get_int(dialog, 31, v, 9));
  EXPECT_EQ(v, 0);
  ASSERT_TRUE(dialog_set_int(dialog, 31, 2, sel_numitems));
  EXPECT_EQ(control(31).texts.size(), 3u);
  EXPECT_EQ(model_text(31, 2), "entry 2");
  EXPECT_EQ(control(31).ints, (std::vector<std::int32_t>{2, 0, 0, 0}));
  EXPECT_FALSE(dialog_set_int(dialog, 31, -1));
  EXPECT_FALSE(dialog_set_int(dialog, 31, kDialogMaxListItems + 1));

  // A drop-down list's current text follows its selection.
  ASSERT_TRUE(dialog_set_int(dialog, 33, 2));
  EXPECT_FALSE(dialog_set_text(dialog, 33, "x"));
  EXPECT_TRUE(dialog_set_int(dialog, 33, 2, sel_state));
  EXPECT_FALSE(dialog_set_int(dialog, 33, 3, sel_state));
}

}  // namespace
}  // namespace zuna::testing
