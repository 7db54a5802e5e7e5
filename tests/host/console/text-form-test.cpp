// Dialogs as text forms: the layout of the program's two dialogs, and what
// each kind of typed line does.
#include "host/console/text-form.h"

#include <gtest/gtest.h>

#include "dialogs/dialog-template.h"
#include "fake-controller.h"
#include "host/console/cp1252.h"

namespace zuna {
namespace {

using testing::FakeController;
using Commands = std::vector<std::pair<int, int>>;

DialogTemplate stored(int id) {
  std::optional<DialogTemplate> t = parse_dialog_template(find_dialog_template(id));
  EXPECT_TRUE(t.has_value()) << "template " << id;
  return t.value_or(DialogTemplate{});
}

std::string shown(const TextForm& form) {
  std::string s;
  for (const std::string& line : form.render()) {
    s += cp1252_to_utf8(line) + "\n";
  }
  return s;
}

// The parameter dialog as the dialog manager fills it.
void fill_parameters(DialogWindow& w) {
  const char* texts[][2] = {{"1000", "0.5d0"}, {"1001", "2.0d0"},   {"1003", "10"},
                            {"1004", "20"},    {"1005", "1.0d0"},   {"1009", "1.0d-3"},
                            {"1010", "100"},   {"1011", "1.0d-10"}, {"1012", "200"}};
  for (auto& t : texts) {
    w.set_text(std::stoi(t[0]), t[1]);
  }
  for (int id = 1019; id <= 1022; ++id) {
    w.set_check(id, true);
  }
}

TEST(TextForm, ParameterFormStandsInTheTemplatesRows) {
  TextForm form(stored(101));
  fill_parameters(form);
  // Each edit box with its label on its row, padded to the box's width; the
  // OK button and the check boxes in the right-hand column.
  EXPECT_EQ(shown(form),
            "  1000=[0.5d0     ]  razão mínima em massa da mistura O2/H2\n"
            "  1001=[2.0d0     ]  razão máxima em massa da mistura O2/H2  1 <OK>\n"
            "  1003=[10        ]  pontos entre a razão mínima e a estequiométrica\n"
            "                                                    Reações de Dissociação\n"
            "  1004=[20        ]  pontos entre a razão máxima e a estequiométrica\n"
            "                                                    1019 [x] H2O <---> H + OH\n"
            "  1005=[1.0d0     ]  pressão total do sistema (atm)\n"
            "                                                    1020 [x] H2 <---> 2 H\n"
            "  1009=[1.0d-3    ]  tolerância da entalpia (J)     1021 [x] O2 <---> 2 O\n"
            "  1010=[100       ]  iterações para cálculo da entalpia  1022 [x] OH <---> O + H\n"
            "  1011=[1.0d-10   ]  tolerância dos coeficientes estequiométricos (n.moles)\n"
            "  1012=[200       ]  iterações para cálculo dos coeficientes estequiométricos\n");
}

TEST(TextForm, ResultsMenuShowsItsChoices) {
  TextForm form(stored(104));
  form.set_check(1013, true);
  // The OK button (y 13) and the title (y 15) share a row.
  EXPECT_EQ(shown(form),
            "   GRÁFICOS DOS RESULTADOS          1 <OK>\n"
            "   1013 (*) Temperatura de Chama Adiabática\n"
            "   1014 ( ) Frações Molares dos Produtos sem Dissociação\n"
            "   1015 ( ) Frações Molares dos Produtos com Dissociação\n"
            "   1016 ( ) Frações Molares das Reações de Dissociação\n"
            "   1030 ( ) Frações Mássicas dos Produtos sem Dissociação\n"
            "   1031 ( ) Frações Mássicas dos Produtos com Dissociação\n"
            "   1032 ( ) Massa Molecular dos Produtos\n"
            "   1033 ( ) Novo Cálculo\n"
            "   1034 ( ) Encerrar o Programa\n"
            "   1041 ( ) Listagem dos Resultados\n");
}

TEST(TextForm, RadioButtonClearsTheOthersOfItsGroupAcrossTheButton) {
  TextForm form(stored(104));
  form.set_check(1013, true);
  FakeController c;
  std::string hint;
  EXPECT_EQ(form.handle_input("1041", c, hint), TextForm::InputResult::done);
  EXPECT_FALSE(form.get_check(1013));
  EXPECT_TRUE(form.get_check(1041));
  EXPECT_EQ(form.handle_input(" 1034 ", c, hint), TextForm::InputResult::done);
  EXPECT_FALSE(form.get_check(1041));
  EXPECT_TRUE(form.get_check(1034));
  EXPECT_EQ(c.commands, (Commands{{1041, kBnClicked}, {1034, kBnClicked}}));
  EXPECT_FALSE(form.ended());
}

TEST(TextForm, CheckBoxToggles) {
  TextForm form(stored(101));
  fill_parameters(form);
  FakeController c;
  std::string hint;
  form.handle_input("1020", c, hint);
  EXPECT_FALSE(form.get_check(1020));
  EXPECT_TRUE(form.get_check(1019));
  form.handle_input("1020", c, hint);
  EXPECT_TRUE(form.get_check(1020));
  EXPECT_EQ(c.commands, (Commands{{1020, kBnClicked}, {1020, kBnClicked}}));
}

TEST(TextForm, EditTakesTheTextAsTyped) {
  TextForm form(stored(101));
  fill_parameters(form);
  FakeController c;
  std::string hint;
  EXPECT_EQ(form.handle_input("1003=15 pontos", c, hint), TextForm::InputResult::done);
  EXPECT_EQ(form.get_text(1003), "15 pontos");
  form.handle_input("1005 = 2,5", c, hint);
  EXPECT_EQ(form.get_text(1005), " 2,5");
  form.handle_input("1004=", c, hint);
  EXPECT_EQ(form.get_text(1004), "");
  EXPECT_EQ(c.commands, (Commands{{1003, kEnChange}, {1005, kEnChange}, {1004, kEnChange}}));
}

TEST(TextForm, LongTextsAreAnsweredWith255Characters) {
  TextForm form(stored(101));
  FakeController c;
  std::string hint;
  form.handle_input("1000=" + std::string(300, '7'), c, hint);
  EXPECT_EQ(form.get_text(1000), std::string(255, '7'));
}

TEST(TextForm, EmptyLinePressesTheDefaultButton) {
  TextForm form(stored(101));
  FakeController c;
  c.dialog_opened(form);
  std::string hint;
  EXPECT_EQ(form.handle_input("", c, hint), TextForm::InputResult::done);
  EXPECT_EQ(c.commands, (Commands{{1, kBnClicked}}));
  EXPECT_TRUE(form.ended());
  EXPECT_EQ(form.result(), 1);
}

TEST(TextForm, EmptyLinePressesTheTemplatesDefaultButtonWhateverItsIdentifier) {
  DialogTemplate t;
  DialogTemplateItem cancel;
  cancel.class_code = kClassButton;
  cancel.id = 2;
  cancel.title = u"Cancel";
  DialogTemplateItem accept = cancel;
  accept.id = 7;
  accept.style = 1;  // BS_DEFPUSHBUTTON
  accept.title = u"Accept";
  t.items = {cancel, accept};
  TextForm form(t);
  FakeController c;
  c.push_buttons = {2, 7};
  c.dialog_opened(form);
  std::string hint;
  form.handle_input("   ", c, hint);
  EXPECT_EQ(c.commands, (Commands{{7, kBnClicked}}));
  EXPECT_EQ(form.result(), 7);
}

TEST(TextForm, QuestionMarkAsksForTheForm) {
  TextForm form(stored(104));
  FakeController c;
  std::string hint;
  EXPECT_EQ(form.handle_input("?", c, hint), TextForm::InputResult::show_form);
  EXPECT_TRUE(c.commands.empty());
}

TEST(TextForm, LinesNotUnderstoodChangeNothingAndSayWhy) {
  TextForm form(stored(101));
  fill_parameters(form);
  FakeController c;
  const std::pair<const char*, const char*> cases[] = {
      {"abc", "type ID=text"},         {"999", "no control 999"}, {"1019=x", "takes no text"},
      {"1000", "type 1000=value"},     {"1002", "is a label"},    {"1000 x", "type ID=text"},
      {"12345678901", "type ID=text"},
  };
  for (const auto& [line, expected] : cases) {
    std::string hint;
    EXPECT_EQ(form.handle_input(line, c, hint), TextForm::InputResult::not_understood) << line;
    EXPECT_NE(hint.find(expected), std::string::npos) << line << ": " << hint;
  }
  EXPECT_TRUE(c.commands.empty());
  EXPECT_EQ(form.get_text(1000), "0.5d0");
  EXPECT_TRUE(form.get_check(1019));
}

TEST(TextForm, DisabledControlsRefuseInputAndSaySo) {
  TextForm form(stored(101));
  fill_parameters(form);
  form.set_enabled(1021, false);
  form.set_enabled(1000, false);
  FakeController c;
  std::string hint;
  EXPECT_EQ(form.handle_input("1021", c, hint), TextForm::InputResult::not_understood);
  EXPECT_EQ(form.handle_input("1000=1", c, hint), TextForm::InputResult::not_understood);
  EXPECT_NE(hint.find("disabled"), std::string::npos);
  EXPECT_TRUE(form.get_check(1021));
  EXPECT_EQ(form.get_text(1000), "0.5d0");
  EXPECT_NE(shown(form).find("1021 [x] O2 <---> 2 O (disabled)"), std::string::npos);
}

TEST(TextForm, ListsAndScrollBarsTakeValues) {
  DialogTemplate t;
  DialogTemplateItem list;
  list.class_code = kClassListBox;
  list.id = 300;
  DialogTemplateItem bar;
  bar.class_code = kClassScrollBar;
  bar.id = 301;
  bar.y = 20;
  t.items = {list, bar};
  TextForm form(t);
  form.list_add(300, "H2O");
  form.list_add(300, "OH");
  FakeController c;
  std::string hint;
  EXPECT_EQ(form.handle_input("300=OH", c, hint), TextForm::InputResult::done);
  EXPECT_TRUE(form.list_selected(300, 1));
  EXPECT_FALSE(form.list_selected(300, 0));
  EXPECT_EQ(form.handle_input("300=O", c, hint), TextForm::InputResult::not_understood);
  EXPECT_EQ(form.handle_input("301=42", c, hint), TextForm::InputResult::done);
  EXPECT_EQ(form.handle_input("301=4x", c, hint), TextForm::InputResult::not_understood);
  EXPECT_EQ(c.commands, (Commands{{300, kLbnSelChange}}));
  EXPECT_EQ(c.scrolls, (std::vector<std::vector<int>>{{301, kSbThumbPosition, 42}}));
  EXPECT_EQ(shown(form), "300 {H2O|*OH}\n301 <0/100>\n");
}

}  // namespace
}  // namespace zuna
