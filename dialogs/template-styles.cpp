#include "dialogs/template-styles.h"

#include <map>
#include <string>

namespace zuna {

namespace {

const std::map<std::string, std::uint32_t, std::less<>>& style_names() {
  static const std::map<std::string, std::uint32_t, std::less<>> names = {
      // Window styles.
      {"WS_OVERLAPPED", 0x00000000},
      {"WS_POPUP", 0x80000000},
      {"WS_CHILD", 0x40000000},
      {"WS_MINIMIZE", 0x20000000},
      {"WS_VISIBLE", 0x10000000},
      {"WS_DISABLED", 0x08000000},
      {"WS_CLIPSIBLINGS", 0x04000000},
      {"WS_CLIPCHILDREN", 0x02000000},
      {"WS_MAXIMIZE", 0x01000000},
      {"WS_CAPTION", 0x00C00000},
      {"WS_BORDER", 0x00800000},
      {"WS_DLGFRAME", 0x00400000},
      {"WS_VSCROLL", 0x00200000},
      {"WS_HSCROLL", 0x00100000},
      {"WS_SYSMENU", 0x00080000},
      {"WS_THICKFRAME", 0x00040000},
      {"WS_GROUP", 0x00020000},
      {"WS_TABSTOP", 0x00010000},
      {"WS_MINIMIZEBOX", 0x00020000},
      {"WS_MAXIMIZEBOX", 0x00010000},
      // Dialog styles.
      {"DS_ABSALIGN", 0x01},
      {"DS_SYSMODAL", 0x02},
      {"DS_3DLOOK", 0x04},
      {"DS_FIXEDSYS", 0x08},
      {"DS_NOFAILCREATE", 0x10},
      {"DS_LOCALEDIT", 0x20},
      {"DS_SETFONT", kDsSetFont},
      {"DS_MODALFRAME", 0x80},
      {"DS_NOIDLEMSG", 0x100},
      {"DS_SETFOREGROUND", 0x200},
      {"DS_CONTROL", 0x400},
      {"DS_CENTER", 0x800},
      {"DS_CENTERMOUSE", 0x1000},
      {"DS_CONTEXTHELP", 0x2000},
      // Buttons.
      {"BS_PUSHBUTTON", 0x0},
      {"BS_DEFPUSHBUTTON", 0x1},
      {"BS_CHECKBOX", 0x2},
      {"BS_AUTOCHECKBOX", 0x3},
      {"BS_RADIOBUTTON", 0x4},
      {"BS_3STATE", 0x5},
      {"BS_AUTO3STATE", 0x6},
      {"BS_GROUPBOX", 0x7},
      {"BS_USERBUTTON", 0x8},
      {"BS_AUTORADIOBUTTON", 0x9},
      {"BS_PUSHBOX", 0xA},
      {"BS_OWNERDRAW", 0xB},
      {"BS_LEFTTEXT", 0x20},
      {"BS_TEXT", 0x0},
      {"BS_ICON", 0x40},
      {"BS_BITMAP", 0x80},
      {"BS_LEFT", 0x100},
      {"BS_RIGHT", 0x200},
      {"BS_CENTER", 0x300},
      {"BS_TOP", 0x400},
      {"BS_BOTTOM", 0x800},
      {"BS_VCENTER", 0xC00},
      {"BS_PUSHLIKE", 0x1000},
      {"BS_MULTILINE", 0x2000},
      {"BS_NOTIFY", 0x4000},
      {"BS_FLAT", 0x8000},
      // Edits.
      {"ES_LEFT", 0x0},
      {"ES_CENTER", 0x1},
      {"ES_RIGHT", 0x2},
      {"ES_MULTILINE", 0x4},
      {"ES_UPPERCASE", 0x8},
      {"ES_LOWERCASE", 0x10},
      {"ES_PASSWORD", 0x20},
      {"ES_AUTOVSCROLL", 0x40},
      {"ES_AUTOHSCROLL", 0x80},
      {"ES_NOHIDESEL", 0x100},
      {"ES_OEMCONVERT", 0x400},
      {"ES_READONLY", 0x800},
      {"ES_WANTRETURN", 0x1000},
      {"ES_NUMBER", 0x2000},
      // Statics.
      {"SS_LEFT", 0x0},
      {"SS_CENTER", 0x1},
      {"SS_RIGHT", 0x2},
      {"SS_ICON", 0x3},
      {"SS_BLACKRECT", 0x4},
      {"SS_GRAYRECT", 0x5},
      {"SS_WHITERECT", 0x6},
      {"SS_BLACKFRAME", 0x7},
      {"SS_GRAYFRAME", 0x8},
      {"SS_WHITEFRAME", 0x9},
      {"SS_SIMPLE", 0xB},
      {"SS_LEFTNOWORDWRAP", 0xC},
      {"SS_NOPREFIX", 0x80},
      {"SS_NOTIFY", 0x100},
      {"SS_CENTERIMAGE", 0x200},
      {"SS_SUNKEN", 0x1000},
      // List boxes.
      {"LBS_NOTIFY", 0x1},
      {"LBS_SORT", 0x2},
      {"LBS_NOREDRAW", 0x4},
      {"LBS_MULTIPLESEL", 0x8},
      {"LBS_OWNERDRAWFIXED", 0x10},
      {"LBS_OWNERDRAWVARIABLE", 0x20},
      {"LBS_HASSTRINGS", 0x40},
      {"LBS_USETABSTOPS", 0x80},
      {"LBS_NOINTEGRALHEIGHT", 0x100},
      {"LBS_MULTICOLUMN", 0x200},
      {"LBS_WANTKEYBOARDINPUT", 0x400},
      {"LBS_EXTENDEDSEL", 0x800},
      {"LBS_DISABLENOSCROLL", 0x1000},
      // Combo boxes.
      {"CBS_SIMPLE", 0x1},
      {"CBS_DROPDOWN", 0x2},
      {"CBS_DROPDOWNLIST", 0x3},
      {"CBS_OWNERDRAWFIXED", 0x10},
      {"CBS_OWNERDRAWVARIABLE", 0x20},
      {"CBS_AUTOHSCROLL", 0x40},
      {"CBS_OEMCONVERT", 0x80},
      {"CBS_SORT", 0x100},
      {"CBS_HASSTRINGS", 0x200},
      {"CBS_NOINTEGRALHEIGHT", 0x400},
      {"CBS_DISABLENOSCROLL", 0x800},
      // Scroll bars.
      {"SBS_HORZ", 0x0},
      {"SBS_VERT", 0x1},
  };
  return names;
}

const std::map<std::string, std::uint16_t, std::less<>>& class_codes() {
  static const std::map<std::string, std::uint16_t, std::less<>> codes = {
      {"BUTTON", kClassButton},   {"EDIT", kClassEdit},           {"STATIC", kClassStatic},
      {"LISTBOX", kClassListBox}, {"SCROLLBAR", kClassScrollBar}, {"COMBOBOX", kClassComboBox},
  };
  return codes;
}

}  // namespace

std::optional<std::uint32_t> style_by_name(std::string_view name) {
  auto it = style_names().find(name);
  if (it == style_names().end()) {
    return std::nullopt;
  }
  return it->second;
}

std::optional<std::uint16_t> class_by_name(std::string_view name) {
  auto it = class_codes().find(name);
  if (it == class_codes().end()) {
    return std::nullopt;
  }
  return it->second;
}

}  // namespace zuna
