#include "dialogs/control-kind.h"

#include "dialogs/dialog-template.h"
#include "dialogs/template-styles.h"

namespace zuna {
namespace {

ItemClass classify_button(std::uint32_t style) {
  ItemClass c;
  c.kind = ControlKind::push_button;
  c.button_type = style & kBsTypeMask;
  switch (c.button_type) {
    case kBsPushButton: break;
    case kBsDefPushButton: c.default_button = true; break;
    case kBsCheckBox: c.kind = ControlKind::check_box; break;
    case kBsAutoCheckBox:
      c.kind = ControlKind::check_box;
      c.automatic = true;
      break;
    case kBs3State:
      c.kind = ControlKind::check_box;
      c.three_state = true;
      break;
    case kBsAuto3State:
      c.kind = ControlKind::check_box;
      c.automatic = true;
      c.three_state = true;
      break;
    case kBsRadioButton: c.kind = ControlKind::radio_button; break;
    case kBsAutoRadioButton:
      c.kind = ControlKind::radio_button;
      c.automatic = true;
      break;
    case kBsGroupBox: c.kind = ControlKind::group_box; break;
    default: c.foreign_button = true; break;  // user, owner-drawn, undefined
  }
  return c;
}

ItemClass of_kind(ControlKind kind) {
  ItemClass c;
  c.kind = kind;
  return c;
}

}  // namespace

ItemClass classify_item(const DialogTemplateItem& item) {
  if (!item.class_name.empty()) {
    return {};
  }
  switch (item.class_code) {
    case kClassButton: return classify_button(item.style);
    case kClassEdit: return of_kind(ControlKind::edit_box);
    case kClassStatic: return of_kind(ControlKind::static_text);
    case kClassListBox: return of_kind(ControlKind::list_box);
    case kClassScrollBar: return of_kind(ControlKind::scroll_bar);
    case kClassComboBox:
      return of_kind((item.style & kCbsTypeMask) == kCbsDropDownList ? ControlKind::drop_down_list
                                                                     : ControlKind::combo_box);
    default: return {};
  }
}

}  // namespace zuna
