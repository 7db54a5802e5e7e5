// The window classes and styles of dialog templates, in one place: the
// template compiler reads their names, the template reader and the dialog
// manager test them, and both hosts render by them. classify_item
// (dialogs/control-kind.h) says what an item is; the style flags below say
// how it looks.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zuna {

// Predefined window classes (the ordinal form of a template's class).
inline constexpr std::uint16_t kClassButton = 0x80;
inline constexpr std::uint16_t kClassEdit = 0x81;
inline constexpr std::uint16_t kClassStatic = 0x82;
inline constexpr std::uint16_t kClassListBox = 0x83;
inline constexpr std::uint16_t kClassScrollBar = 0x84;
inline constexpr std::uint16_t kClassComboBox = 0x85;

// Window styles.
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsDisabled = 0x08000000;
inline constexpr std::uint32_t kWsBorder = 0x00800000;
inline constexpr std::uint32_t kWsGroup = 0x00020000;
inline constexpr std::uint32_t kWsTabStop = 0x00010000;
// Dialog styles.
inline constexpr std::uint32_t kDsSetFont = 0x40;
// Buttons: the low four bits are the button type, the rest are flags.
inline constexpr std::uint32_t kBsTypeMask = 0xF;
inline constexpr std::uint32_t kBsPushButton = 0x0;
inline constexpr std::uint32_t kBsDefPushButton = 0x1;
inline constexpr std::uint32_t kBsCheckBox = 0x2;
inline constexpr std::uint32_t kBsAutoCheckBox = 0x3;
inline constexpr std::uint32_t kBsRadioButton = 0x4;
inline constexpr std::uint32_t kBs3State = 0x5;
inline constexpr std::uint32_t kBsAuto3State = 0x6;
inline constexpr std::uint32_t kBsGroupBox = 0x7;
inline constexpr std::uint32_t kBsUserButton = 0x8;
inline constexpr std::uint32_t kBsAutoRadioButton = 0x9;
inline constexpr std::uint32_t kBsOwnerDraw = 0xB;
inline constexpr std::uint32_t kBsLeftText = 0x20;
// Edits.
inline constexpr std::uint32_t kEsCenter = 0x1;
inline constexpr std::uint32_t kEsRight = 0x2;
inline constexpr std::uint32_t kEsMultiline = 0x4;
inline constexpr std::uint32_t kEsPassword = 0x20;
inline constexpr std::uint32_t kEsReadOnly = 0x800;
// Statics: the low five bits are the static type.
inline constexpr std::uint32_t kSsTypeMask = 0x1F;
inline constexpr std::uint32_t kSsCenter = 0x1;
inline constexpr std::uint32_t kSsRight = 0x2;
inline constexpr std::uint32_t kSsNoPrefix = 0x80;
inline constexpr std::uint32_t kSsSunken = 0x1000;
// List boxes.
inline constexpr std::uint32_t kLbsNotify = 0x1;
inline constexpr std::uint32_t kLbsSort = 0x2;
inline constexpr std::uint32_t kLbsMultipleSel = 0x8;
inline constexpr std::uint32_t kLbsOwnerDrawFixed = 0x10;
inline constexpr std::uint32_t kLbsOwnerDrawVariable = 0x20;
inline constexpr std::uint32_t kLbsExtendedSel = 0x800;
// Scroll bars.
inline constexpr std::uint32_t kSbsVert = 0x1;
// Combo boxes: the low two bits are the combo type.
inline constexpr std::uint32_t kCbsTypeMask = 0x3;
inline constexpr std::uint32_t kCbsDropDownList = 0x3;
inline constexpr std::uint32_t kCbsOwnerDrawFixed = 0x10;
inline constexpr std::uint32_t kCbsOwnerDrawVariable = 0x20;

// The value of a style name of the template source ("WS_TABSTOP",
// "BS_AUTORADIOBUTTON", ...), and the code of a class name ("BUTTON", ...).
std::optional<std::uint32_t> style_by_name(std::string_view name);
std::optional<std::uint16_t> class_by_name(std::string_view name);

}  // namespace zuna
