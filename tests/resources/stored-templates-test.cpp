// The stored templates read back with the template reader: every control's
// identifier, class, style bits, position, size and text as the dialogs were
// drawn.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/dialog-template.h"
#include "resources/stored-templates.h"

namespace zuna {
namespace {

constexpr std::uint32_t kChild = kWsChild | kWsVisible;
constexpr std::uint32_t kDialogStyle = 0x80 /* DS_MODALFRAME */ | 0x80000000 /* WS_POPUP */ |
                                       0x00C00000 /* WS_CAPTION */ | 0x00080000 /* WS_SYSMENU */ |
                                       kDsSetFont;
constexpr std::uint32_t kDefPush = 1 | kChild | kWsTabStop;
constexpr std::uint32_t kPush = 0 | kChild | kWsTabStop;
constexpr std::uint32_t kEdit = 0x80 /* ES_AUTOHSCROLL */ | kChild | kWsBorder | kWsTabStop;
constexpr std::uint32_t kLabel = 0 /* SS_LEFT */ | kChild;
constexpr std::uint32_t kCheck = 3 | kChild | kWsTabStop;
constexpr std::uint32_t kRadio = 9 | kChild;
constexpr std::uint32_t kRadioLeft = kRadio | 0x20 /* BS_LEFTTEXT */ | 0xC00 /* BS_VCENTER */;

struct Row {
  int id;  // -1 for the labels without an identifier
  std::uint16_t class_code;
  std::uint32_t style;
  int x, y, cx, cy;
  std::string text;  // Windows-1252
};

std::optional<DialogTemplate> stored(int id) {
  for (const StoredDialogTemplate& t : stored_dialog_templates()) {
    if (t.id == id) {
      return parse_dialog_template(t.bytes);
    }
  }
  return std::nullopt;
}

void expect_items(const DialogTemplate& t, const std::vector<Row>& rows) {
  ASSERT_EQ(t.items.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const DialogTemplateItem& item = t.items[i];
    const Row& row = rows[i];
    SCOPED_TRACE("item " + std::to_string(i + 1) + " (" + std::to_string(row.id) + ")");
    EXPECT_EQ(item.id, static_cast<std::uint16_t>(row.id));
    EXPECT_EQ(item.class_code, row.class_code);
    EXPECT_TRUE(item.class_name.empty());
    EXPECT_EQ(item.style, row.style) << std::hex << item.style;
    EXPECT_EQ(item.ex_style, 0u);
    EXPECT_EQ(item.x, row.x);
    EXPECT_EQ(item.y, row.y);
    EXPECT_EQ(item.cx, row.cx);
    EXPECT_EQ(item.cy, row.cy);
    EXPECT_FALSE(item.title_is_ordinal);
    EXPECT_EQ(low_bytes(item.title), row.text);
    EXPECT_EQ(item.creation_data_length, 0);
  }
}

void expect_header(const DialogTemplate& t, int cx, int cy, const std::string& caption) {
  EXPECT_EQ(t.style, kDialogStyle) << std::hex << t.style;
  EXPECT_EQ(t.cx, cx);
  EXPECT_EQ(t.cy, cy);
  EXPECT_EQ(low_bytes(t.caption), caption);
  EXPECT_EQ(t.point_size, 8);
  EXPECT_EQ(low_bytes(t.font_face), "MS Sans Serif");
}

TEST(StoredTemplates, OnlyTheProgramsThreeAreStoredAlignedForTheReader) {
  std::vector<int> ids;
  for (const StoredDialogTemplate& t : stored_dialog_templates()) {
    ids.push_back(t.id);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(t.bytes.data()) % 4, 0u);
  }
  EXPECT_EQ(ids, (std::vector<int>{101, 104, 105}));
}

TEST(StoredTemplates, RunParametersDialog) {
  std::optional<DialogTemplate> t = stored(101);
  ASSERT_TRUE(t);
  expect_header(*t, 327, 166, "DADOS");
  const std::uint16_t kB = kClassButton, kE = kClassEdit, kS = kClassStatic;
  expect_items(*t, {
                       {1, kB, kDefPush, 235, 20, 50, 14, "OK"},
                       {1000, kE, kEdit, 10, 5, 45, 13, ""},
                       {1001, kE, kEdit, 10, 20, 45, 13, ""},
                       {-1, kS, kLabel | kWsGroup, 60, 5, 134, 8,
                        "raz\xE3o m\xEDnima em massa da mistura O2/H2"},
                       {1002, kS, kLabel | kWsGroup, 60, 20, 135, 8,
                        "raz\xE3o m\xE1xima em massa da mistura O2/H2"},
                       {1003, kE, kEdit, 10, 45, 45, 12, ""},
                       {1004, kE, kEdit, 10, 60, 45, 12, ""},
                       {1005, kE, kEdit, 10, 80, 45, 12, ""},
                       {1006, kS, kLabel, 60, 45, 154, 8,
                        "pontos entre a raz\xE3o m\xEDnima e a estequiom\xE9trica"},
                       {1007, kS, kLabel, 60, 60, 154, 8,
                        "pontos entre a raz\xE3o m\xE1xima e a estequiom\xE9trica"},
                       {1008, kS, kLabel, 60, 80, 94, 8, "press\xE3o total do sistema (atm)"},
                       {1009, kE, kEdit, 10, 100, 45, 12, ""},
                       {1010, kE, kEdit, 10, 115, 45, 12, ""},
                       {-1, kS, kLabel, 60, 100, 78, 8, "toler\xE2ncia da entalpia (J)"},
                       {-1, kS, kLabel, 60, 115, 107, 8,
                        "itera\xE7\xF5"
                        "es para c\xE1lculo da entalpia"},
                       {1011, kE, kEdit, 10, 135, 45, 12, ""},
                       {1012, kE, kEdit, 10, 150, 45, 12, ""},
                       {-1, kS, kLabel, 60, 135, 170, 8,
                        "toler\xE2ncia dos coeficientes estequiom\xE9tricos (n.moles)"},
                       {-1, kS, kLabel, 60, 150, 178, 8,
                        "itera\xE7\xF5"
                        "es para c\xE1lculo dos coeficientes estequiom\xE9tricos"},
                       {-1, kS, kLabel, 235, 55, 92, 11,
                        "Rea\xE7\xF5"
                        "es de Dissocia\xE7\xE3o"},
                       {1019, kB, kCheck, 235, 70, 73, 10, "H2O <---> H + OH"},
                       {1020, kB, kCheck, 235, 85, 59, 10, "H2 <---> 2 H"},
                       {1021, kB, kCheck, 235, 100, 81, 10, "O2 <---> 2 O"},
                       {1022, kB, kCheck, 235, 115, 63, 10, "OH <---> O + H"},
                   });
}

TEST(StoredTemplates, ResultsMenuDialog) {
  std::optional<DialogTemplate> t = stored(104);
  ASSERT_TRUE(t);
  expect_header(*t, 201, 170,
                "gr\xE1"
                "ficos");
  const std::uint16_t kB = kClassButton, kS = kClassStatic;
  expect_items(*t,
               {
                   {-1, kS, kLabel | 0x1000 /* SS_SUNKEN */ | kWsBorder | kWsGroup, 17, 15, 139, 11,
                    "GR\xC1"
                    "FICOS DOS RESULTADOS"},
                   {1013, kB, kRadioLeft, 16, 32, 125, 10, "Temperatura de Chama Adiab\xE1tica"},
                   {1014, kB, kRadioLeft, 16, 43, 167, 10,
                    "Fra\xE7\xF5"
                    "es Molares dos Produtos sem Dissocia\xE7\xE3o"},
                   {1015, kB, kRadioLeft, 16, 54, 167, 10,
                    "Fra\xE7\xF5"
                    "es Molares dos Produtos com Dissocia\xE7\xE3o"},
                   {1016, kB, kRadioLeft, 16, 66, 163, 10,
                    "Fra\xE7\xF5"
                    "es Molares das Rea\xE7\xF5"
                    "es de Dissocia\xE7\xE3o"},
                   {1030, kB, kRadio, 16, 78, 171, 10,
                    "Fra\xE7\xF5"
                    "es M\xE1ssicas dos Produtos sem Dissocia\xE7\xE3o"},
                   {1031, kB, kRadio, 16, 89, 172, 10,
                    "Fra\xE7\xF5"
                    "es M\xE1ssicas dos Produtos com Dissocia\xE7\xE3o"},
                   {1032, kB, kRadioLeft, 16, 102, 113, 10, "Massa Molecular dos Produtos"},
                   {1033, kB, kRadio, 16, 114, 59, 10, "Novo C\xE1lculo"},
                   {1034, kB, kRadio, 16, 126, 81, 10, "Encerrar o Programa"},
                   {1, kB, kPush, 165, 13, 29, 16, "OK"},
                   {1041, kB, kRadio, 16, 139, 95, 10, "Listagem dos Resultados"},
               });
}

TEST(StoredTemplates, RocketPerformanceDialog) {
  std::optional<DialogTemplate> t = stored(105);
  ASSERT_TRUE(t);
  expect_header(*t, 262, 252, "DESEMPENHO COMO MOTOR-FOGUETE");
  // The input fields in tab order: the O/F range (first, last, count), the
  // chamber pressure, four pressure ratios, four area ratios; then the two radio groups, each opened by a
  // group box with WS_GROUP and its first button a tab stop; OK is the
  // default button and Cancelar has the cancel identifier.
  std::vector<int> edits, tab_stops;
  for (const DialogTemplateItem& item : t->items) {
    if (item.class_code == kClassEdit) {
      edits.push_back(item.id);
    }
    if (item.style & kWsTabStop) {
      tab_stops.push_back(item.id);
    }
  }
  EXPECT_EQ(edits, (std::vector<int>{1120, 1121, 1122, 1100, 1101, 1102, 1103, 1104, 1105, 1106,
                                     1107, 1108}));
  EXPECT_EQ(tab_stops, (std::vector<int>{1120, 1121, 1122, 1100, 1101, 1102, 1103, 1104, 1105,
                                         1106, 1107, 1108, 1110, 1113, 1, 2}));
  for (const DialogTemplateItem& item : t->items) {
    SCOPED_TRACE(item.id);
    if (item.id == 1110 || item.id == 1113 || item.id == 1) {
      EXPECT_TRUE(item.style & kWsGroup);
    }
    if (item.id == 1) {
      EXPECT_EQ(item.style & 0xF, 1u) << "BS_DEFPUSHBUTTON";
    }
    if (item.id == 2) {
      EXPECT_EQ(low_bytes(item.title), "Cancelar");
    }
  }
}

}  // namespace
}  // namespace zuna
