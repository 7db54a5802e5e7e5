// The template reader: complete templates read, anything short of one
// refused without a read outside the bytes (the sanitizer build checks that),
// and the table of templates the program finds.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "dialogs/dialog-template.h"
#include "tests/support/dialog-template-builder.h"

namespace zuna {
namespace {

using testing::TemplateBuilder;

std::vector<std::uint8_t> copy_of(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

TEST(DialogTemplateReader, EveryTruncationIsRefused) {
  std::vector<std::vector<std::uint8_t>> templates = {
      copy_of(find_dialog_template(101)), copy_of(find_dialog_template(104)),
      TemplateBuilder().named("MyClass", 0, 3, "x").item(kClassStatic, 0, 4, "ab", 6).bytes(),
      TemplateBuilder(0x80C80000).item(kClassButton, 0, 1, "OK").bytes()};
  for (const std::vector<std::uint8_t>& whole : templates) {
    ASSERT_TRUE(parse_dialog_template(whole));
    for (std::size_t n = 0; n < whole.size(); ++n) {
      // A buffer of exactly n bytes, so that any read past it is caught.
      std::vector<std::uint8_t> part(whole.begin(), whole.begin() + static_cast<long>(n));
      EXPECT_FALSE(parse_dialog_template(part)) << "prefix of " << n << " bytes";
    }
  }
}

TEST(DialogTemplateReader, NamedClassesOrdinalTitlesAndCreationData) {
  std::vector<std::uint8_t> bytes = TemplateBuilder()
                                        .named("MyClass", 0x1, 3, "named")
                                        .item(kClassStatic, 0, 4, "with data", 10)
                                        .item(kClassEdit, 0x80, 5, "after")
                                        .bytes();
  auto t = parse_dialog_template(bytes);
  ASSERT_TRUE(t);
  ASSERT_EQ(t->items.size(), 3u);
  EXPECT_EQ(t->items[0].class_code, 0);
  EXPECT_EQ(low_bytes(t->items[0].class_name), "MyClass");
  EXPECT_EQ(low_bytes(t->items[0].title), "named");
  EXPECT_EQ(t->items[1].creation_data_length, 10);
  // The creation data are skipped: the next item is read whole.
  EXPECT_EQ(t->items[2].id, 5);
  EXPECT_EQ(t->items[2].class_code, kClassEdit);
  EXPECT_EQ(low_bytes(t->items[2].title), "after");

  t = parse_dialog_template(TemplateBuilder().item(kClassStatic, 0, 9).ordinal_title(7).bytes());
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->items[0].title_is_ordinal);
  EXPECT_EQ(t->items[0].title_ordinal, 7);
}

TEST(DialogTemplateReader, HeaderWithoutFontAndRefusedHeaders) {
  auto t =
      parse_dialog_template(TemplateBuilder(0x80C80000).item(kClassButton, 1, 1, "OK").bytes());
  ASSERT_TRUE(t);
  EXPECT_EQ(t->point_size, 0);
  EXPECT_TRUE(t->font_face.empty());
  EXPECT_EQ(low_bytes(t->caption), "Test");
  EXPECT_EQ(low_bytes(t->items[0].title), "OK");

  // The extended form (version 1, signature 0xFFFF) is another layout.
  std::vector<std::uint8_t> extended = TemplateBuilder().item(kClassButton, 1, 1, "OK").bytes();
  extended[0] = 0x01;
  extended[1] = 0x00;
  extended[2] = 0xFF;
  extended[3] = 0xFF;
  EXPECT_FALSE(parse_dialog_template(extended));

  // More items announced than the bytes hold.
  std::vector<std::uint8_t> short_count = TemplateBuilder().item(kClassButton, 1, 1, "OK").bytes();
  short_count[8] = 0xFF;
  short_count[9] = 0xFF;
  EXPECT_FALSE(parse_dialog_template(short_count));
}

TEST(DialogTemplateReader, LowBytesKeepTheLowByteOfEachUnit) {
  EXPECT_EQ(low_bytes(u"a\u00E1\u00C7"), "a\xE1\xC7");
  EXPECT_EQ(low_bytes(u"\u20AC"), "\xAC");
}

TEST(DialogTemplateTable, RegisteredTemplatesReplaceAndHideStoredOnes) {
  EXPECT_TRUE(find_dialog_template(9001).empty());
  std::vector<std::uint8_t> mine = TemplateBuilder().item(kClassButton, 1, 1, "OK").bytes();
  register_dialog_template(9001, mine);
  mine[0] ^= 0xFF;  // the table keeps its own copy
  auto found = find_dialog_template(9001);
  ASSERT_EQ(found.size(), mine.size());
  EXPECT_NE(found[0], mine[0]);

  std::vector<std::uint8_t> stored = copy_of(find_dialog_template(104));
  ASSERT_FALSE(stored.empty());
  register_dialog_template(104, {});
  EXPECT_TRUE(find_dialog_template(104).empty());
  register_dialog_template(104, stored);
  EXPECT_EQ(copy_of(find_dialog_template(104)), stored);
}

// The one classification the manager and both hosts draw on: the kind of
// every button type with the variants beside it, the other classes, and the
// items that are no control.
TEST(ItemClassification, ButtonTypesAndClasses) {
  auto classify = [](std::uint16_t class_code, std::uint32_t style) {
    DialogTemplateItem item;
    item.class_code = class_code;
    item.style = style | kWsVisible;
    return classify_item(item);
  };
  using K = ControlKind;
  struct Case {
    std::uint32_t type;
    K kind;
    bool default_button, automatic, three_state, foreign;
  };
  const Case buttons[] = {
      {kBsPushButton, K::push_button, false, false, false, false},
      {kBsDefPushButton, K::push_button, true, false, false, false},
      {kBsCheckBox, K::check_box, false, false, false, false},
      {kBsAutoCheckBox, K::check_box, false, true, false, false},
      {kBs3State, K::check_box, false, false, true, false},
      {kBsAuto3State, K::check_box, false, true, true, false},
      {kBsRadioButton, K::radio_button, false, false, false, false},
      {kBsAutoRadioButton, K::radio_button, false, true, false, false},
      {kBsGroupBox, K::group_box, false, false, false, false},
      {kBsUserButton, K::push_button, false, false, false, true},
      {0xA, K::push_button, false, false, false, true},
      {kBsOwnerDraw, K::push_button, false, false, false, true},
      {0xF, K::push_button, false, false, false, true},
  };
  for (const Case& c : buttons) {
    // The flags above the type bits change nothing of what the item is.
    const ItemClass got = classify(kClassButton, c.type | kBsLeftText | kWsTabStop);
    SCOPED_TRACE(c.type);
    EXPECT_EQ(got.kind, c.kind);
    EXPECT_EQ(got.button_type, c.type);
    EXPECT_EQ(got.default_button, c.default_button);
    EXPECT_EQ(got.automatic, c.automatic);
    EXPECT_EQ(got.three_state, c.three_state);
    EXPECT_EQ(got.foreign_button, c.foreign);
  }
  EXPECT_EQ(classify(kClassEdit, kEsPassword).kind, K::edit_box);
  EXPECT_EQ(classify(kClassStatic, kSsCenter).kind, K::static_text);
  EXPECT_EQ(classify(kClassListBox, kLbsNotify).kind, K::list_box);
  EXPECT_EQ(classify(kClassScrollBar, kSbsVert).kind, K::scroll_bar);
  EXPECT_EQ(classify(kClassComboBox, 0x1).kind, K::combo_box);
  EXPECT_EQ(classify(kClassComboBox, 0x2).kind, K::combo_box);
  EXPECT_EQ(classify(kClassComboBox, kCbsDropDownList).kind, K::drop_down_list);
  EXPECT_FALSE(classify(0x86, 0).kind.has_value());
  DialogTemplateItem named;
  named.class_name = u"BUTTON";
  EXPECT_FALSE(classify_item(named).kind.has_value());
}

}  // namespace
}  // namespace zuna
